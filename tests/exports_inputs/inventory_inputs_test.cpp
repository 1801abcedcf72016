// The inventory exports (status words, replacement, test use, status
// changes, mounted hardware, histories, lists by status) against hostile
// input.
#include <gtest/gtest.h>

#include <string>

#include "hostile_inputs.h"
#include "inventory_fixture.h"

namespace {

using hostile::Call;
using hostile::Chars;
using hostile::Export;
using hostile::FixedChars;

constexpr const char* kDate = "26/03/01/10/00/00";
constexpr const char* kLater = "26/03/01/12/00/00";

const Export kInventory[] = {
    {"GetFunctionalDeviceStatus", {"sw1"}, {}, {FixedChars(10)}, {},
     [](Call& c) { return GetFunctionalDeviceStatus(c.t[0], c.c(0), c.e()); }},
    {"GetHWDeviceStatus", {"SN1"}, {}, {FixedChars(10)}, {},
     [](Call& c) { return GetHWDeviceStatus(c.t[0], c.c(0), c.e()); }},
    {"GetFunctionalBoardCpntStatus", {"a"}, {}, {FixedChars(10)}, {},
     [](Call& c) { return GetFunctionalBoardCpntStatus(c.t[0], c.c(0), c.e()); }},
    {"GetHWBoardCpntStatus", {"K1"}, {-1}, {FixedChars(10)}, {},
     [](Call& c) { return GetHWBoardCpntStatus(c.t[0], c.v[0], c.c(0), c.e()); }},
    {"ReplaceFunctionalDevice", {"sw1", "IN_REPAIR", "lab", "note", kDate, "SP1", kLater}, {},
     {}, {},
     [](Call& c) {
       return ReplaceFunctionalDevice(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.t[6],
                                      c.e());
     },
     0, {"sw2", "IN_REPAIR", "lab", "note", kDate, "SP2", kLater}},
    {"ReplaceFunctionalBoardCpnt", {"a", "IN_REPAIR", "lab", "note", kDate, "KS1", kLater}, {},
     {}, {},
     [](Call& c) {
       return ReplaceFunctionalBoardCpnt(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.t[6],
                                         c.e());
     },
     0, {"b", "IN_REPAIR", "lab", "note", kDate, "KS2", kLater}},
    {"UpdateHWDeviceStatus", {"SP3", "IN_REPAIR", "lab", "note", kDate, "none"}, {}, {}, {},
     [](Call& c) {
       return UpdateHWDeviceStatus(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.e());
     },
     0, {"SP4", "IN_REPAIR", "lab", "note", kDate, "none"}},
    {"UpdateHWBoardCpntStatus", {"KS3", "IN_REPAIR", "lab", "note", kDate, "none"}, {}, {}, {},
     [](Call& c) {
       return UpdateHWBoardCpntStatus(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.e());
     },
     0, {"KS4", "IN_REPAIR", "lab", "note", kDate, "none"}},
    {"SetToTestUseStatus", {"sw3", "note", kDate, "none", "tb1", kLater}, {}, {}, {},
     [](Call& c) {
       return SetToTestUseStatus(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.e());
     },
     0, {"sw4", "note", kDate, "none", "tb2", kLater}},
    {"GetHWLastFunctionalDevice", {"SN1"}, {}, {Chars(100)}, {{100, {0}}},
     [](Call& c) { return GetHWLastFunctionalDevice(c.t[0], c.c(0), c.l(0), c.e()); }},
    {"GetFunctionalDeviceLastHW", {"sw1"}, {}, {Chars(100)}, {{100, {0}}},
     [](Call& c) { return GetFunctionalDeviceLastHW(c.t[0], c.c(0), c.l(0), c.e()); }},
    {"GetHWLastFunctionalBoardCpntName", {"K1"}, {-1}, {Chars(100)}, {{100, {0}}},
     [](Call& c) {
       return GetHWLastFunctionalBoardCpntName(c.t[0], c.v[0], c.c(0), c.l(0), c.e());
     }},
    {"GetFunctionalBoardCpntNameLastHW", {"a"}, {}, {Chars(100)}, {{100, {0}}},
     [](Call& c) { return GetFunctionalBoardCpntNameLastHW(c.t[0], c.c(0), c.l(0), c.e()); }},
    {"GetHistoryOfFunctionalDevice", {"sw1", "none", "none"}, {}, {Chars(4000)}, {{4000, {0}}},
     [](Call& c) {
       return GetHistoryOfFunctionalDevice(c.t[0], c.c(0), c.l(0), c.t[1], c.t[2], c.e());
     }},
    {"GetHistoryOfHWDevice", {"SN1", "none", "none"}, {}, {Chars(4000)}, {{4000, {0}}},
     [](Call& c) { return GetHistoryOfHWDevice(c.t[0], c.c(0), c.l(0), c.t[1], c.t[2], c.e()); }},
    {"GetHistoryOfFunctionalBoardCpntName", {"a", "none", "none"}, {}, {Chars(4000)},
     {{4000, {0}}},
     [](Call& c) {
       return GetHistoryOfFunctionalBoardCpntName(c.t[0], c.c(0), c.l(0), c.t[1], c.t[2],
                                                  c.e());
     }},
    {"GetHistoryOfHWBoardCpnt", {"K1", "none", "none"}, {-1}, {Chars(4000)}, {{4000, {0}}},
     [](Call& c) {
       return GetHistoryOfHWBoardCpnt(c.t[0], c.v[0], c.c(0), c.l(0), c.t[1], c.t[2], c.e());
     }},
    {"GetFunctionalDeviceByStatus", {"all", "IN_USE"}, {}, {Chars(4000)}, {{4000, {0}}},
     [](Call& c) { return GetFunctionalDeviceByStatus(c.t[0], c.t[1], c.l(0), c.c(0), c.e()); }},
    {"GetHWDeviceByStatus", {"DAQ", "SPARE"}, {}, {Chars(4000)}, {{4000, {0}}},
     [](Call& c) { return GetHWDeviceByStatus(c.t[0], c.t[1], c.l(0), c.c(0), c.e()); }},
    {"GetHWBoardCpntByStatus", {"SPARE"}, {}, {Chars(4000)}, {{4000, {0}}},
     [](Call& c) { return GetHWBoardCpntByStatus(c.t[0], c.c(0), c.l(0), c.e()); }},
};

// Devices sw1 ... sw4 on the hardware SN1 ... SN4, linked both ways
// between sw1 and sw2; test boards tb1 and tb2 without hardware; spare
// hardware SP1 ... SP4. On sw1 the positions a and b hold the components K1
// and K2; KS1 ... KS4 are spare components. One history row tells that SN1
// was in use in sw1, and one that K1 was in use in a.
class InventoryInputs : public InventoryTest, public testing::WithParamInterface<Export> {
 protected:
  void SetUp() override {
    InventoryTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    for (const char* n : {"1", "2", "3", "4"}) {
      Device(std::string("sw") + n, std::string("SN") + n, 2, "rack");
      Hardware(std::string("SP") + n, 2);
      HwCpnt(std::string("KS") + n, std::string("spare") + n, 2, "store");
    }
    Device("tb1", "", 2, "bench");
    Device("tb2", "", 2, "bench");
    Link("sw1", "sw2");
    Link("sw2", "sw1");
    HwCpnt("K1", "k1", 1, "SN1");
    HwCpnt("K2", "k2", 1, "SN1");
    Cpnt("a", "sw1", "K1");
    Cpnt("b", "sw1", "K2");
    MicroLink("a", "b");
    testdb::exec(
        "insert into vexa_device_history(historydeviceid,serialnb,deviceid,device_status,"
        "location,status_change) select nextval('vexa_history_deviceseq'),'SN1',deviceid,"
        "'IN_USE','rack',timestamp '2026-01-01' from vexa_lg_devices where devicename='sw1';"
        "insert into vexa_cpnt_history(historycpntid,snbid,cpntid,cpnt_status,location,"
        "status_change) select nextval('VEXA_CPNT_HISTORY_COMPTID_SEQ'),h.snbid,c.cpntid,"
        "'IN_USE','SN1',timestamp '2026-01-01' from vexa_hw_cpnts h, vexa_lg_cpnts c "
        "where h.serialnb='K1' and c.cpntname='a'");
  }
};

TEST_P(InventoryInputs, SurviveHostileInput) { hostile::Sweep(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Exports, InventoryInputs, testing::ValuesIn(kInventory),
                         hostile::ExportName);

class InventoryUnconnected : public DatabaseTest {};

TEST_F(InventoryUnconnected, AreRefusedBeforeAnyConnection) {
  for (const Export& ex : kInventory) hostile::ExpectRefusedWithoutConnection(ex);
}

}  // namespace
