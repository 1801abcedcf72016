// Device updates: what each writes, how the links follow (weights, usage,
// subsystem sets), which sends roll back, and the updates by type or name
// prefix.
#include "update_fixture.h"

class DeviceUpdateTest : public UpdateTest {};

TEST_F(DeviceUpdateTest, NodeFlagsSetLinkWeightsOnlyWhenANodeFlagIsGiven) {
  testdb::exec("update vexa_macroscopic_connectivity set link_weight = 99");
  EXPECT_EQ(UpdateMultipleAttributesDevices("sw2", 5, 1, "none", 1, 1, err_), 0) << Err();
  EXPECT_EQ(Device("sw2", "concat_ws('|', node, promiscuous_mode, location)"), "0|1|rack");
  EXPECT_EQ(LinkFrom("sw1", "link_weight"), "99");
  EXPECT_TRUE(Calls("checkandupdatedynamictables").empty());

  EXPECT_EQ(UpdateMultipleAttributesDevices("sw3", 5, -1, "hall", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleAttributesDevices("sw2", 1, 0, nullptr, 0, 1, err_), 0) << Err();
  EXPECT_EQ(Device("sw2", "concat_ws('|', node, promiscuous_mode, location)"), "1|0|rack");
  EXPECT_EQ(Device("sw3", "location"), "hall");
  // Weight: the two node flags, one more when the far device is a node.
  EXPECT_EQ(LinkFrom("sw1", "link_weight"), "3");
  EXPECT_EQ(LinkFrom("sw2", "link_weight"), "1");
  EXPECT_EQ(Calls("checkandupdatedynamictables"), (std::vector<std::string>{"1"}));
}

TEST_F(DeviceUpdateTest, NodeUsedSetsLinkUsageOncePerSendOrRollsTheSendBack) {
  EXPECT_EQ(UpdateMultipleDeviceNodeUsed("sw1", 0, 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDeviceNodeUsed("sw3", 0, 0, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDeviceNodeUsed("sw2", 7, 0, 1, err_), 0) << Err();  // keeps its flag
  EXPECT_EQ(Device("sw1", "nodeused") + Device("sw2", "nodeused") + Device("sw3", "nodeused"),
            "010");
  EXPECT_EQ(LinkFrom("sw1", "lkused") + LinkFrom("sw2", "lkused"), "00");
  EXPECT_EQ(Calls("updatepathused"), (std::vector<std::string>{"1"}));

  // The last row counts its device too, though links change with it.
  EXPECT_EQ(UpdateMultipleDeviceNodeUsed("sw1", 1, 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDeviceNodeUsed("sw3", 1, 0, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDeviceNodeUsed("ghost", 1, 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in updateMultipleDeviceNodeUsed : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(Device("sw1", "nodeused") + Device("sw3", "nodeused"), "00");
}

TEST_F(DeviceUpdateTest, SubsystemListsSetTheSharedSubsystemsOfLinks) {
  EXPECT_EQ(LinkFrom("sw1", "system_name") + "|" + LinkFrom("sw2", "system_name"), "2|2");
  // A list whose first name is unknown is refused; the open batch goes on.
  EXPECT_EQ(UpdateMultipleDeviceSystemList("sw2", "TFC,ECS", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDeviceSystemList("sw3", "XYZ,ECS", 0, 0, err_), -1);
  EXPECT_EQ(Err(),
            "ERROR in UpdateMultipleDeviceSystemList : new_systemList is invalid: not inserted "
            "in the cache");
  EXPECT_EQ(UpdateMultipleDeviceSystemList("sw1", "TFC", 0, 1, err_), 0) << Err();
  EXPECT_EQ(Device("sw1", "system_name") + "|" + Device("sw2", "system_name"), "3|15");
  EXPECT_EQ(LinkFrom("sw1", "system_name") + "|" + LinkFrom("sw2", "system_name"), "3|5");
  EXPECT_EQ(Calls("checkandupdatedynamictables"), (std::vector<std::string>{"1"}));

  EXPECT_EQ(UpdateMultipleDeviceSystemList("sw2", "LHC", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDeviceSystemList("ghost", "DAQ", 0, 1, err_), -1);
  EXPECT_EQ(Device("sw2", "system_name"), "15");  // rolled back
}

// The list is stored as the device's set: a list naming a subsystem that is
// not recorded, wherever it stands, is refused, and the open batch goes on
// without it.
TEST_F(DeviceUpdateTest, SubsystemListWithAnUnknownNameAnywhereIsRefusedAndNotCached) {
  ASSERT_EQ(UpdateMultipleDeviceSystemList("sw2", "ECS", 1, 0, err_), 0);
  for (const char* list : {"DAQ,TFCC", "TFCC,DAQ", "DAQ,TFC,TYPO", "DAQ,,TFC", "DAQ,daq"}) {
    EXPECT_EQ(UpdateMultipleDeviceSystemList("sw1", list, 0, 0, err_), -1) << list;
    EXPECT_EQ(Err(),
              "ERROR in UpdateMultipleDeviceSystemList : new_systemList is invalid: not inserted "
              "in the cache")
        << list;
    EXPECT_EQ(UpdateMultipleDeviceSystemList("sw3", list, 0, 1, err_), -1) << list;
  }
  EXPECT_EQ(Device("sw1", "system_name") + "|" + Device("sw3", "system_name"), "6|10");
  ASSERT_EQ(UpdateMultipleDeviceSystemList("sw3", "LHC", 0, 1, err_), 0) << Err();
  EXPECT_EQ(Device("sw1", "system_name") + "|" + Device("sw2", "system_name") + "|" +
                Device("sw3", "system_name"),
            "6|5|7");
  EXPECT_EQ(Calls("checkandupdatedynamictables"), (std::vector<std::string>{"1"}));
}

// A device that leaves every subsystem of the devices across its links
// takes those links out of every subsystem; when it is set back, so are
// they, and the paths over them are found again.
TEST_F(DeviceUpdateTest, LinksThatLostTheirSubsystemsGetThemBackWithTheirDevice) {
  auto paths_from_sw1_to_sw3 = [&] {
    int lengths[6] = {20, 200, 200, 200, 200, 200};
    std::vector<char> nfrom(200), nto(200), pfrom(200), pto(200), lkinfo(200);
    std::vector<int> way_a(20), way_b(20), pathid(20), link_pos(20);
    return Quiet([&] {
      return GetConnectivityBetweenDevices(
          "sw1", "sw3", &lengths[0], &lengths[1], &lengths[2], &lengths[3], &lengths[4],
          &lengths[5], nfrom.data(), nto.data(), pfrom.data(), way_a.data(), pto.data(),
          way_b.data(), pathid.data(), link_pos.data(), lkinfo.data(), err_);
    });
  };
  ASSERT_EQ(paths_from_sw1_to_sw3(), 0) << Err();

  EXPECT_EQ(UpdateMultipleDeviceSystemList("sw2", "LHC", 1, 1, err_), 0) << Err();
  EXPECT_EQ(LinkFrom("sw1", "system_name") + "|" + LinkFrom("sw2", "system_name"),
            "<null>|<null>");
  EXPECT_EQ(paths_from_sw1_to_sw3(), -1);

  EXPECT_EQ(UpdateMultipleDeviceSystemList("sw2", "DAQ", 1, 1, err_), 0) << Err();
  EXPECT_EQ(LinkFrom("sw1", "system_name") + "|" + LinkFrom("sw2", "system_name"), "2|2");
  EXPECT_EQ(paths_from_sw1_to_sw3(), 0) << Err();
}

TEST_F(DeviceUpdateTest, ActivityNamesAndTypesAreWrittenAndMatchedRowsCommitted) {
  EXPECT_EQ(UpdateMultipleDeviceActive("sw1", 1, 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDeviceActive("sw2", 3, 0, 0, err_), 0);  // keeps 0
  EXPECT_EQ(UpdateMultipleDeviceActive("ghost", 1, 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in updateMultipleDeviceActive : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(Device("sw1", "active") + Device("sw2", "active"), "10");

  EXPECT_EQ(UpdateMultipleDevNamesDevices("sw1", "core1", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDevNamesDevices("sw2", "none", 0, 1, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_lg_devices", "devicename in ('core1','sw2')"), 2);

  EXPECT_EQ(UpdateMultipleDTypeDevices("sw2", "NOSUCHTYPE", 1, 1, err_), 0) << Err();
  EXPECT_EQ(Device("sw2", "devicetypeid"), "-1");
}

TEST_F(DeviceUpdateTest, ByTypeAndByPrefixChangeEveryMatchingDeviceAndCommitOnTheLastCall) {
  testdb::exec("update vexa_lg_devices set devicename = 'x''y' where devicename = 'sw3'");
  // A name prefix is bound: a quote in it is a character like any other.
  EXPECT_EQ(UpdateMultipleDeviceActiveByType("x'", 1, 0, 0, err_), 0) << Err();
  EXPECT_EQ(Device("x'y", "active"), "0");  // not committed yet
  EXPECT_EQ(UpdateMultipleDeviceActiveByType("SWITCH", 1, 1, 1, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_lg_devices", "active = 1"), 3);
  EXPECT_EQ(UpdateMultipleDeviceActiveByType("s_", 0, 0, 1, err_), 0);  // '_' matches any one
  EXPECT_EQ(Count("vexa_lg_devices", "active = 1"), 1);

  EXPECT_EQ(UpdateMultipleDeviceNodeUsedByType("sw", 0, 0, 1, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_lg_devices", "nodeused = 0 and devicename like 'sw%'"), 2);
  EXPECT_EQ(LinkFrom("sw1", "lkused") + LinkFrom("sw2", "lkused"), "00");
  EXPECT_EQ(Calls("updatepathused"), (std::vector<std::string>{"1"}));
  // A type without devices changes nothing, links or not.
  EXPECT_EQ(UpdateMultipleDeviceNodeUsedByType("NOSUCHTYPE", 1, 1, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in updateMultipleDeviceNodeUsedByType : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(UpdateMultipleDeviceActiveByType(nullptr, 1, 0, 1, err_), -1);
}
