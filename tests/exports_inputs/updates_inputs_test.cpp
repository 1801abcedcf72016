// Every update, the swap and the deletions against hostile input. A normal
// call of a cached update is a batch of one row (first and last flag 1).
#include <gtest/gtest.h>

#include <string>

#include "hostile_inputs.h"
#include "update_fixture.h"

namespace {

using hostile::Call;
using hostile::Export;

// The links of the network by their from end: sw1 port 1, none of the to
// end.
#define FROM_SW1 "sw1", "none", "1", "none", "none", "none"

const Export kUpdates[] = {
    {"UpdateMultipleBidirectionalLinks", {FROM_SW1}, {1, 1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleBidirectionalLinks(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5],
                                               c.v[0], c.v[1], c.v[2], c.e());
     }},
    {"UpdateMultipleLkUsedLinks", {FROM_SW1}, {1, 1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleLkUsedLinks(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.v[0],
                                        c.v[1], c.v[2], c.e());
     }},
    {"UpdateMultipleLkTypeLinks", {FROM_SW1, "ctrl"}, {1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleLkTypeLinks(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.t[6],
                                        c.v[0], c.v[1], c.e());
     }},
    {"UpdateMultipleLkInfoLinks", {FROM_SW1, "new info"}, {1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleLkInfoLinks(c.t[0], c.t[1], c.t[2], c.t[3], c.t[4], c.t[5], c.t[6],
                                        c.v[0], c.v[1], c.e());
     }},
    {"UpdateMultipleAttributesDevices", {"sw1", "rack B"}, {1, 0, 1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleAttributesDevices(c.t[0], c.v[0], c.v[1], c.t[1], c.v[2], c.v[3],
                                              c.e());
     }},
    {"UpdateMultipleDeviceNodeUsed", {"sw1"}, {1, 1, 1}, {}, {},
     [](Call& c) { return UpdateMultipleDeviceNodeUsed(c.t[0], c.v[0], c.v[1], c.v[2], c.e()); }},
    {"UpdateMultipleDeviceActive", {"sw1"}, {1, 1, 1}, {}, {},
     [](Call& c) { return UpdateMultipleDeviceActive(c.t[0], c.v[0], c.v[1], c.v[2], c.e()); }},
    {"UpdateMultipleDevNamesDevices", {"sw3", "sw3b"}, {1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleDevNamesDevices(c.t[0], c.t[1], c.v[0], c.v[1], c.e());
     },
     0, {"sw2", "sw2b"}},
    {"UpdateMultipleDTypeDevices", {"sw1", "HUB"}, {1, 1}, {}, {},
     [](Call& c) { return UpdateMultipleDTypeDevices(c.t[0], c.t[1], c.v[0], c.v[1], c.e()); }},
    {"UpdateMultipleDeviceSystemList", {"sw1", "DAQ,ECS"}, {1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleDeviceSystemList(c.t[0], c.t[1], c.v[0], c.v[1], c.e());
     }},
    {"UpdateMultipleDeviceNodeUsedByType", {"SWITCH"}, {1, 1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleDeviceNodeUsedByType(c.t[0], c.v[0], c.v[1], c.v[2], c.e());
     }},
    {"UpdateMultipleDeviceActiveByType", {"SWITCH"}, {1, 1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleDeviceActiveByType(c.t[0], c.v[0], c.v[1], c.v[2], c.e());
     }},
    {"UpdateMultipleDeviceTypeAttributes", {"SWITCH", "desc", "blue"}, {2, 2, 1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleDeviceTypeAttributes(c.t[0], c.t[1], c.v[0], c.v[1], c.t[2], c.v[2],
                                                 c.v[3], c.e());
     }},
    {"UpdateMultipleDeviceTypes", {"SWITCH", "SWITCH2"}, {1, 1}, {}, {},
     [](Call& c) { return UpdateMultipleDeviceTypes(c.t[0], c.t[1], c.v[0], c.v[1], c.e()); },
     0, {"HUB", "HUB2"}},
    {"UpdateMultipleLinkTypeNames", {"ctrl", "ctrl2"}, {1, 1}, {}, {},
     [](Call& c) { return UpdateMultipleLinkTypeNames(c.t[0], c.t[1], c.v[0], c.v[1], c.e()); },
     0, {"data", "data2"}},
    {"UpdateMultipleCompositeLinkTypes", {"comp", "data,ctrl"}, {1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleCompositeLinkTypes(c.t[0], c.t[1], c.v[0], c.v[1], c.e());
     }},
    {"UpdateMultipleAttributeMacIPs", {"10.9.0.1", "255.255.0.0", "newname"}, {1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultipleAttributeMacIPs(c.t[0], c.t[1], c.t[2], c.v[0], c.v[1], c.e());
     }},
    {"UpdateMultipleIPAddresses", {"10.9.0.2", "10.9.0.1"}, {1, 1}, {}, {},
     [](Call& c) { return UpdateMultipleIPAddresses(c.t[0], c.t[1], c.v[0], c.v[1], c.e()); },
     0, {"10.9.0.6", "10.9.0.5"}},
    {"UpdateMultiplePorts", {"sw1", "1", "", "phy"}, {2, 100, 1, 1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultiplePorts(c.t[0], c.t[1], c.v[0], c.t[2], c.v[1], c.t[3], c.v[2], c.v[3],
                                  c.v[4], c.e());
     }},
    {"UpdateMultiplePortStatuses", {"sw1", "1", ""}, {2, 1, 1, 1}, {}, {},
     [](Call& c) {
       return UpdateMultiplePortStatuses(c.t[0], c.t[1], c.v[0], c.t[2], c.v[1], c.v[2], c.v[3],
                                         c.e());
     }},
    {"SwapTwoDevices", {"sw1", "sw2", "swapped"}, {}, {}, {},
     [](Call& c) { return SwapTwoDevices(c.t[0], c.t[1], c.t[2], c.e()); }},
    // Link 1 joins sw1 and sw2, link 2 sw2 and sw3; port 2 is sw1's, port 8
    // sw3's.
    {"DeleteLinkRow", {}, {1, 1}, {}, {},
     [](Call& c) { return DeleteLinkRow(c.v[0], c.v[1], c.e()); }, 0, {}, {2, 1}},
    {"DeletePortRow", {}, {2}, {}, {}, [](Call& c) { return DeletePortRow(c.v[0], c.e()); }, 0,
     {}, {8}},
};

#undef FROM_SW1

// The update network, with a device type HUB, a link type comp, and the
// addresses 10.9.0.1 and 10.9.0.5 on two more ports of sw3.
class UpdateInputs : public UpdateTest, public testing::WithParamInterface<Export> {
 protected:
  void SetUp() override {
    UpdateTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    ASSERT_EQ(Quiet([&] {
                return InsertDeviceType("DAQ", "HUB", 1, 1, nullptr, nullptr, 0, err_);
              }),
              0)
        << err_;
    testdb::exec("insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
                 "(3, 'comp', 5)");
    for (const auto& [nbr, ip] : {std::pair{"8", "10.9.0.1"}, {"9", "10.9.0.5"}}) {
      ASSERT_EQ(Quiet([&, n = nbr, a = ip] {
                  return InsertPort("sw3", n, 1, 1, 1000, 0, nullptr, nullptr, a, "ipn",
                                    "255.0.0.0", nullptr, nullptr, 0, err_);
                }),
                0)
          << err_;
    }
    ASSERT_EQ(testdb::value("select string_agg(concat(l.linkid, ':', f.portid, '>', t.portid), "
                            "',' order by l.linkid) from vexa_macroscopic_connectivity l "
                            "join vexa_port_properties f on f.portid = l.portidfrom "
                            "join vexa_port_properties t on t.portid = l.portidto"),
              "1:2>4,2:6>8");
  }
};

TEST_P(UpdateInputs, SurviveHostileInput) { hostile::Sweep(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Exports, UpdateInputs, testing::ValuesIn(kUpdates),
                         hostile::ExportName);

class UpdatesUnconnected : public DatabaseTest {};

// A subsystem list is read through the table that the connection loads:
// before the first connection the list names no subsystem.
TEST_F(UpdatesUnconnected, AreRefusedBeforeAnyConnection) {
  for (const Export& ex : kUpdates)
    hostile::ExpectRefusedWithoutConnection(
        ex, std::string(ex.name) == "UpdateMultipleDeviceSystemList"
                ? "new_systemList is invalid: not inserted in the cache"
                : nullptr);
}

}  // namespace
