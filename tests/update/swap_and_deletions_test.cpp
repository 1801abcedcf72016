// The device swap and the deletions of links and ports, with the server's
// answers deciding between commit and rollback.
#include "update_fixture.h"

class SwapAndDeletionTest : public UpdateTest {
 protected:
  static int LinkId(const std::string& from_device) {
    return std::stoi(LinkFrom(from_device, "linkid"));
  }
  static int PortId(const std::string& device, const std::string& nbr) {
    return std::stoi(testdb::value("select portid from vexa_port_properties join vexa_lg_devices "
                                   "using (deviceid) where devicename = '" + device +
                                   "' and port_nbr = '" + nbr + "'"));
  }
};

TEST_F(SwapAndDeletionTest, SwapExchangesTheHardwareOrRollsBackWithTheServersReason) {
  const int history = Count("vexa_device_history");
  EXPECT_EQ(SwapTwoDevices("sw1", "sw2", "", err_), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in SwapTwoDevices");
  EXPECT_EQ(Device("sw1", "serialnb") + "|" + Device("sw2", "serialnb"), "SN-sw2|SN-sw1");
  EXPECT_EQ(Column("select concat_ws('|', serialnb, device_status, coalesce(user_comment, '-')) "
                   "from vexa_device_history where historydeviceid > " + std::to_string(history) +
                   " order by deviceid"),
            (std::vector<std::string>{"SN-sw2|IN_USE|-", "SN-sw1|IN_USE|-"}));

  // A refusal of the server undoes the swap's own work alone: what earlier
  // calls left in the transaction stays for its commit.
  EXPECT_EQ(UpdateMultipleDeviceActiveByType("SWITCH", 1, 1, 0, err_), 0);  // left pending
  EXPECT_EQ(SwapTwoDevices("sw1", "ghost", "c", err_), -1);
  EXPECT_EQ(Err(), "ERROR in SwapTwoDevices : UNKNOWN_DEVICE: ghost");
  EXPECT_EQ(UpdateMultipleDeviceActiveByType("sw1", 0, 0, 1, err_), 0);  // commits
  EXPECT_EQ(Column("select devicename from vexa_lg_devices where active = 1 order by 1"),
            (std::vector<std::string>{"sw2", "sw3"}));

  EXPECT_EQ(SwapTwoDevices("sw1", "none", "c", err_), -1);  // the reserved device
  EXPECT_EQ(SwapTwoDevices("sw1", "sw1", "c", err_), -1);
  EXPECT_EQ(Err(), "ERROR in SwapTwoDevices : SAME_DEVICE_TWICE");
  EXPECT_EQ(SwapTwoDevices(nullptr, nullptr, "c", err_), -1);
  EXPECT_EQ(Err(), "ERROR in SwapTwoDevices : functional_devicename1 can't be null");
  EXPECT_EQ(Device("sw1", "serialnb") + "|" + Device("sw2", "serialnb"), "SN-sw2|SN-sw1");
}

TEST_F(SwapAndDeletionTest, DeletingALinkRemovesItsPathsOrNothing) {
  const int link = LinkId("sw1");
  ServerSpy::Answer("deletelinksinpaths", "3");  // the path removal fails
  EXPECT_EQ(UpdateMultipleDeviceActiveByType("SWITCH", 1, 1, 0, err_), 0);  // left pending
  EXPECT_EQ(DeleteLinkRow(link, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in DeleteLinkRow : ERROR in deleting paths");
  // The deletion is undone; what an earlier call left pending is not.
  EXPECT_EQ(UpdateMultipleDeviceActiveByType("sw1", 0, 0, 1, err_), 0);  // commits
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 2);
  EXPECT_EQ(Count("vexa_lg_devices", "active = 1"), 2);

  testdb::exec("delete from ferrule_test_answers");
  EXPECT_EQ(DeleteLinkRow(link, 1, err_), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in DeleteLinkRow");
  EXPECT_EQ(Calls("deletelinksinpaths"),
            (std::vector<std::string>{std::to_string(PortId("sw1", "1")) + "," +
                                      std::to_string(PortId("sw2", "1"))}));
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 1);
  EXPECT_EQ(DeleteLinkRow(link, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in DeleteLinkRow : LINKID DOESN'T EXIST");

  // Links inside a board: no paths to remove.
  testdb::exec("insert into vexa_lg_cpnts (cpntname, cpntid, motherboardid) "
               "select 'chip', 1, deviceid from vexa_lg_devices where devicename = 'sw1'; "
               "insert into vexa_microscopic_connectivity (linkid, cpntidfrom, portidfrom, "
               "cpntidto, portidto) values (5, 1, 1, -1, 7)");
  EXPECT_EQ(DeleteLinkRow(5, 0, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_microscopic_connectivity"), 0);
  EXPECT_EQ(Calls("deletelinksinpaths").size(), 1u);
}

TEST_F(SwapAndDeletionTest, DeletingAPortTakesItsLinkAndHardwarePortAlong) {
  testdb::exec("insert into vexa_hwport_properties (serialnb, port_nbr, port_way, port_type) "
               "values ('SN-sw2', '2', 2, 'eth'), ('SN-sw2', '2', 1, 'eth'), "
               "('SN-sw3', '2', 2, 'eth')");
  const int port = PortId("sw2", "2");
  ServerSpy::Answer("deletelinksinpaths", "1");
  EXPECT_EQ(UpdateMultipleDeviceActiveByType("SWITCH", 1, 1, 0, err_), 0);  // left pending
  EXPECT_EQ(DeletePortRow(port, err_), -1);
  EXPECT_EQ(Err(), "ERROR in DeletePortRow : ERROR in deleting port: couldn't delete paths");
  EXPECT_EQ(UpdateMultipleDeviceActiveByType("sw1", 0, 0, 1, err_), 0);  // commits
  EXPECT_EQ(Count("vexa_port_properties", "portid = " + std::to_string(port)), 1);
  EXPECT_EQ(Count("vexa_lg_devices", "active = 1"), 2);

  testdb::exec("delete from ferrule_test_answers");
  EXPECT_EQ(DeletePortRow(port, err_), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in DeletePortRow");
  EXPECT_EQ(Count("vexa_port_properties", "portid = " + std::to_string(port)), 0);
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 1);
  EXPECT_EQ(Column("select serialnb || port_way from vexa_hwport_properties order by 1"),
            (std::vector<std::string>{"SN-sw21", "SN-sw32"}));

  AddPort("sw3", "9", 2);
  EXPECT_EQ(DeletePortRow(PortId("sw3", "9"), err_), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in DeletePortRow but no link was deleted");
  EXPECT_EQ(DeletePortRow(port, err_), -1);
  EXPECT_EQ(Err(), "ERROR in DeletePortRow : PORTID DOESN'T EXIST");
  EXPECT_EQ(Calls("deletelinksinpaths").size(), 1u);

  Quiet([] { char err[ferrule::kErrMessMax]; return DBDeconnexion(err); });
  EXPECT_EQ(Quiet([&] { return DeletePortRow(port, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in DeletePortRow : NOT CONNECTED TO ANY DB");
}
