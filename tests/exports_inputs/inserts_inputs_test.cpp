// Every insert, single-row and cached, against hostile input. A normal call
// of a cached form is a batch of one row (first and last flag 1).
#include <gtest/gtest.h>

#include <string>

#include "hostile_inputs.h"
#include "insert_fixture.h"

namespace {

using hostile::Call;
using hostile::Export;

// A packed list of one item, with its size.
constexpr char kIpList[] = "10.2.0.1";
constexpr char kFinalIpList[] = "10.2.0.2";
constexpr int kWays[] = {1};

const Export kInserts[] = {
    {"InsertMultipleDeviceTypes", {"DAQ", "T1", "desc", "red"}, {2, 3, 1, 1}, {}, {},
     [](Call& c) {
       return InsertMultipleDeviceTypes(c.t[0], c.t[1], c.v[0], c.v[1], c.t[2], c.t[3], c.v[2],
                                        c.v[3], c.e());
     },
     0, {"DAQ", "T2", "desc", "red"}},
    {"InsertDeviceType", {"DAQ,TFC", "T1", "desc", "red"}, {2, 3, 1}, {}, {},
     [](Call& c) {
       return InsertDeviceType(c.t[0], c.t[1], c.v[0], c.v[1], c.t[2], c.t[3], c.v[2], c.e());
     },
     0, {"DAQ,TFC", "T2", "desc", "red"}},
    {"InsertMultipleFunctionalDevices",
     {"DAQ", "dev1", "SWITCH", "SN-dev1", "hw", "me", "note", "rack"}, {0, 0, 1, 1}, {}, {},
     [](Call& c) {
       return InsertMultipleFunctionalDevices(c.t[0], c.t[1], c.t[2], c.v[0], c.v[1], c.t[3],
                                              c.t[4], c.t[5], c.t[6], c.t[7], c.v[2], c.v[3],
                                              c.e());
     },
     0, {"DAQ", "dev2", "SWITCH", "SN-dev2", "hw", "me", "note", "rack"}},
    {"InsertFunctionalDevice", {"DAQ", "dev1", "SWITCH", "SN-dev1", "hw", "me", "note", "rack"},
     {1, 0, 1}, {}, {},
     [](Call& c) {
       return InsertFunctionalDevice(c.t[0], c.t[1], c.t[2], c.v[0], c.v[1], c.t[3], c.t[4],
                                     c.t[5], c.t[6], c.t[7], c.v[2], c.e());
     },
     0, {"DAQ", "dev2", "SWITCH", "SN-dev2", "hw", "me", "note", "rack"}},
    {"InsertMultiplePorts",
     {"d1", "p1", "eth", "bia", "10.1.0.1", "ipn", "255.0.0.0", "mac", "phy"},
     {1, 2, 1000, 0, 1, 1}, {}, {},
     [](Call& c) {
       return InsertMultiplePorts(c.t[0], c.t[1], c.v[0], c.v[1], c.v[2], c.v[3], c.t[2], c.t[3],
                                  c.t[4], c.t[5], c.t[6], c.t[7], c.t[8], c.v[4], c.v[5], c.e());
     },
     0, {"d1", "p2", "eth", "bia", "10.1.0.2", "ipn", "255.0.0.0", "mac", "phy"}},
    {"InsertPort", {"d1", "p1", "eth", "bia", "10.1.0.1", "ipn", "255.0.0.0", "mac", "phy"},
     {1, 2, 1000, 0, 1}, {}, {},
     [](Call& c) {
       return InsertPort(c.t[0], c.t[1], c.v[0], c.v[1], c.v[2], c.v[3], c.t[2], c.t[3], c.t[4],
                         c.t[5], c.t[6], c.t[7], c.t[8], c.v[4], c.e());
     },
     0, {"d1", "p2", "eth", "bia", "10.1.0.2", "ipn", "255.0.0.0", "mac", "phy"}},
    {"InsertMultipleSparePorts", {"SN-SPARE", "s1", "eth", "bia", "mac"}, {1, 1, 1}, {}, {},
     [](Call& c) {
       return InsertMultipleSparePorts(c.t[0], c.t[1], c.v[0], c.t[2], c.t[3], c.t[4], c.v[1],
                                       c.v[2], c.e());
     },
     0, {"SN-SPARE", "s2", "eth", "bia", "mac"}},
    {"InsertSparePort", {"SN-SPARE", "s1", "eth", "bia", "mac"}, {1, 1}, {}, {},
     [](Call& c) {
       return InsertSparePort(c.t[0], c.t[1], c.v[0], c.t[2], c.t[3], c.t[4], c.v[1], c.e());
     },
     0, {"SN-SPARE", "s2", "eth", "bia", "mac"}},
    {"InsertMultipleMacroLinks", {"d1", "d2", "o1", "i1", "", "", "wire", "info"}, {0, 1, 1},
     {}, {},
     [](Call& c) {
       return InsertMultipleMacroLinks(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.t[6],
                                       c.t[7], c.v[0], c.v[1], c.v[2], c.e());
     },
     0, {"d1", "d2", "o2", "i2", "", "", "wire", "info"}},
    {"InsertMacroLink", {"d1", "d2", "o1", "i1", "", "", "wire", "info"}, {0, 1}, {}, {},
     [](Call& c) {
       return InsertMacroLink(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.t[6], c.t[7],
                              c.v[0], c.v[1], c.e());
     },
     0, {"d1", "d2", "o2", "i2", "", "", "wire", "info"}},
    {"InsertMultipleSpareDevices", {"hw", "pc", "SN-A", "me", "note", "store"}, {1, 1}, {}, {},
     [](Call& c) {
       return InsertMultipleSpareDevices(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.v[0],
                                         c.v[1], c.e());
     },
     0, {"hw", "pc", "SN-B", "me", "note", "store"}},
    {"InsertSpareDevice", {"hw", "pc", "SN-A", "me", "note", "store"}, {1}, {}, {},
     [](Call& c) {
       return InsertSpareDevice(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.v[0], c.e());
     },
     0, {"hw", "pc", "SN-B", "me", "note", "store"}},
    {"InsertMultipleBoardCpnts",
     {"c9", "asic", "b1", "SN-c9", "hwt", "bob", "note", "shelf"}, {0, 1, 1}, {}, {},
     [](Call& c) {
       return InsertMultipleBoardCpnts(c.t[0], c.t[1], c.v[0], c.t[2], c.t[3], c.t[4], c.t[5],
                                       c.t[6], c.t[7], c.v[1], c.v[2], c.e());
     },
     0, {"c10", "asic", "b1", "SN-c10", "hwt", "bob", "note", "shelf"}},
    {"InsertMultipleMicroLinks", {"c1", "c2", "wire"}, {1, 2, 1, 1, 1}, {}, {},
     [](Call& c) {
       return InsertMultipleMicroLinks(c.t[0], c.t[1], c.v[0], c.v[1], c.t[2], c.v[2], c.v[3],
                                       c.v[4], c.e());
     },
     0, {"c1", "c2", "wire"}, {3, 4, 1, 1, 1}},
    {"InsertMultipleSimpleLinkTypes", {"lk1"}, {1, 1}, {}, {},
     [](Call& c) { return InsertMultipleSimpleLinkTypes(c.t[0], c.v[0], c.v[1], c.e()); }, 0,
     {"lk2"}},
    {"InsertMultipleCompositeLinkTypes", {"comp1", "wire,fibre"}, {1, 1}, {}, {},
     [](Call& c) {
       return InsertMultipleCompositeLinkTypes(c.t[0], c.t[1], c.v[0], c.v[1], c.e());
     },
     0, {"comp2", "'wire','copper'"}},
    {"InsertSimpleLinkType", {"lk1"}, {1}, {}, {},
     [](Call& c) { return InsertSimpleLinkType(c.t[0], c.v[0], c.e()); }, 0, {"lk2"}},
    {"InsertCompositeLinkType", {"comp1", "wire,fibre"}, {1}, {}, {},
     [](Call& c) { return InsertCompositeLinkType(c.t[0], c.t[1], c.v[0], c.e()); }, 0,
     {"comp2", "wire,copper"}},
    // One port: each packed list holds one item, its size counting the NUL.
    {"InsertTestFunctionalDevice", {"lab", kIpList, "ipn", "255.0.0.0", "p1", "eth"},
     {sizeof kIpList, 4, 10, 3, 4, 1, 0}, {}, {},
     [](Call& c) {
       // port_wayList holds nbports ints: a count beyond the one way given
       // comes without the list.
       const int* ways = c.v[5] <= 1 ? kWays : nullptr;
       return InsertTestFunctionalDevice(c.t[0], c.t[1], c.v[0], c.t[2], c.v[1], c.t[3], c.v[2],
                                         c.t[4], c.v[3], c.t[5], c.v[4], ways, c.v[5], c.v[6],
                                         c.e());
     },
     0, {"lab", kFinalIpList, "ipn", "255.0.0.0", "p1", "eth"}},
};

// Devices d1 (ports o1, o2 out), d2 (ports i1, i2 in) and the board b1 with
// the components c1 and c2, all in DAQ; link types wire, fibre and copper
// (a composite insert's call after the sweep names another pair than its
// first call, whose number is held then); the spare hardware SN-SPARE.
class InsertInputs : public InsertTest, public testing::WithParamInterface<hostile::Export> {
 protected:
  void SetUp() override {
    InsertTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    AddDevice("d1", "DAQ");
    AddDevice("d2", "DAQ");
    AddDevice("b1", "DAQ");
    AddPort("d1", "o1", 2);
    AddPort("d1", "o2", 2);
    AddPort("d2", "i1", 1);
    AddPort("d2", "i2", 1);
    const auto setup = [&](auto insert) { ASSERT_EQ(Quiet(insert), 0) << err_; };
    setup([&] { return InsertSimpleLinkType("wire", 0, err_); });
    setup([&] { return InsertSimpleLinkType("fibre", 0, err_); });
    setup([&] { return InsertSimpleLinkType("copper", 0, err_); });
    setup([&] {
      return InsertSpareDevice("hw", "pc", "SN-SPARE", "me", nullptr, "store", 0, err_);
    });
    setup([&] {
      return InsertMultipleBoardCpnts("c1", "asic", 0, "b1", "SN-c1", nullptr, nullptr, nullptr,
                                      nullptr, 1, 0, err_);
    });
    setup([&] {
      return InsertMultipleBoardCpnts("c2", "asic", 0, "b1", "SN-c2", nullptr, nullptr, nullptr,
                                      nullptr, 0, 1, err_);
    });
  }
};

TEST_P(InsertInputs, SurviveHostileInput) { hostile::Sweep(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Exports, InsertInputs, testing::ValuesIn(kInserts),
                         hostile::ExportName);

class InsertsUnconnected : public DatabaseTest {};

// The subsystem names are read through the table that the connection
// loads: before the first connection they name no subsystem.
TEST_F(InsertsUnconnected, AreRefusedBeforeAnyConnection) {
  for (const Export& ex : kInserts) {
    const std::string name = ex.name;
    const bool reads_subsystems = name.find("DeviceType") != std::string::npos ||
                                  name.find("FunctionalDevice") != std::string::npos;
    hostile::ExpectRefusedWithoutConnection(
        ex, reads_subsystems && name != "InsertTestFunctionalDevice" ? "systemnameList is null"
                                                                     : nullptr);
  }
  EXPECT_EQ(testdb::value("select count(*) from vexa_lg_device_types"), "0");
}

}  // namespace
