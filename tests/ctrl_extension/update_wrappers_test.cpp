// The update wrappers against the private database: the checks that refuse
// a row before the library sees it, every CTRL argument reaching the column
// it names, and the library's own refusals passed on as its ErrMess text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin_network_fixture.h"

namespace {

class UpdateWrappers : public PluginNetworkTest {};

TEST_F(UpdateWrappers, PortAndAddressRowsAreCheckedBeforeTheLibrary) {
  // dname, pt_nb, pt_type, pway, pxibooting, speed, phy, first_time, last_rows
  auto ports = [&](const char* dname, int way, int pxi, int last) {
    return Text("PVSSUpdateMultiplePorts", {dname, "2", "eth", way, pxi, 10, "x", 1, last});
  };
  EXPECT_EQ(ports("s", 2, 0, 5), "Error:wrong input value") << "checked before last_rows";
  EXPECT_EQ(ports("sw2", 3, 0, 1), "Error:wrong input value");
  EXPECT_EQ(ports("sw2", 2, 2, 1), "Error:wrong input value");
  EXPECT_EQ(ports("sw2", 1, 0, 5), "Error:last_rows is 1 or 0");
  // dname, pt_nb, pt_type, pway, admin_status, first_time, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultiplePortStatuses", {"sw2", "2", "eth", 3, 0, 1, 1}),
            "Error:wrong input value");
  EXPECT_EQ(Text("PVSSUpdateMultiplePortStatuses", {"sw2", "2", "eth", 2, 2, 1, 1}),
            "Error:wrong input value");
  EXPECT_EQ(Text("PVSSUpdateMultiplePortStatuses", {"sw2", "2", "eth", 2, 0, 1, -1}),
            "Error:last_rows is 1 or 0");
  EXPECT_EQ(Text("PVSSUpdateMultipleAttributeMacIPs", {"1", "m", "n", 1, 1}),
            "Error:wrong input value");
  EXPECT_EQ(Text("PVSSUpdateMultipleIPAddresses", {"10.0.0.9", "10.0.0.2", 1, 2}),
            "Error:last_rows is 1 or 0");
  EXPECT_EQ(PortColumns("sw2", "2", "speed, pxi_booting, administrative_status"), "100|0|1")
      << "refused rows change nothing";

  EXPECT_EQ(ports("sw2", 2, 1, 1), "Successful update");
  EXPECT_EQ(PortColumns("sw2", "2", "speed, phy, pxi_booting"), "10|x|1");
  EXPECT_EQ(Text("PVSSUpdateMultiplePortStatuses", {"sw2", "2", "eth", 2, 0, 1, 1}),
            "Successful update");
  EXPECT_EQ(PortColumns("sw2", "2", "administrative_status"), "0");

  // ipadd, subnet_mask, ipname, first_time, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleAttributeMacIPs", {"10.0.0.2", "255.255.0.0", "gw", 1, 1}),
            "Successful update");
  EXPECT_EQ(Value("select concat_ws('|', subnet_info, ipname) from vexa_ipinfo"),
            "255.255.0.0|gw");
  // ipadd (the new one), old_ipadd, first_time, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleIPAddresses", {"10.0.0.9", "10.0.0.2", 1, 1}),
            "Successful update");
  EXPECT_EQ(PortColumns("sw2", "2", "ipaddress"), "10.0.0.9");
  EXPECT_EQ(Text("PVSSUpdateMultipleIPAddresses", {"10.0.0.8", "10.7.7.7", 1, 1}),
            "ERROR in UpdateMultipleIPAddresses : COULDNOT_UPDATE_ALL_ROWS");
}

TEST_F(UpdateWrappers, LinkRowsNameTheirLinkByEitherEnd) {
  // node_from, node_to, portnb_from, portnb_to, portype_from, portype_to,
  // value, first_rows, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleLkInfoLinks", {"sw2", "none", "2", "", "eth", "", "new", 1, 2}),
            "Error:last_rows is 1 or 0");
  EXPECT_EQ(Text("PVSSUpdateMultipleLkInfoLinks", {"sw2", "none", "2", "", "eth", "", "new", 1, 1}),
            "Successful update");
  EXPECT_EQ(
      Text("PVSSUpdateMultipleLkTypeLinks", {"sw2", "none", "2", "", "eth", "", "ctrl", 1, 1}),
      "Successful update");
  EXPECT_EQ(Text("PVSSUpdateMultipleBidrectionalLinks", {"none", "sw3", "", "1", "", "", 1, 1, 1}),
            "Successful update");
  EXPECT_EQ(Text("PVSSUpdateMultipleLkUsedLinks", {"sw1", "none", "1", "", "", "", 0, 1, 1}),
            "Successful update");
  EXPECT_EQ(LinkFrom("sw2", "link_info, link_type, bidirectional_link_used, lkused"),
            "new|2|1|1");
  EXPECT_EQ(LinkFrom("sw1", "link_info, link_type, bidirectional_link_used, lkused"), "a|1|0|0");

  // A batch with a row that finds no link: the library's answer.
  EXPECT_EQ(Text("PVSSUpdateMultipleLkInfoLinks", {"sw1", "none", "1", "", "", "", "x", 1, 0}),
            "Successful update");
  EXPECT_EQ(Text("PVSSUpdateMultipleLkInfoLinks", {"ghost", "none", "1", "", "", "", "y", 0, 1}),
            "ERROR in UpdateMultipleLkInfoLinks : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(LinkFrom("sw1", "link_info"), "x");
}

TEST_F(UpdateWrappers, TypeRowsPassOldAndNewNamesInOrder) {
  // devtype, description, nbinput, nboutput, rgbcolor, first_time, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleDeviceTypeAttributes", {"SWITCH", "big", 48, 2, "blue", 1, 3}),
            "Error:last_rows is 1 or 0");
  EXPECT_EQ(Text("PVSSUpdateMultipleDeviceTypeAttributes", {"SWITCH", "big", 48, 2, "blue", 1, 1}),
            "Successful update");
  EXPECT_EQ(Value("select concat_ws('|', description, nbrofinput, nbrofoutput, rgbcolor) "
                  "from vexa_lg_device_types"),
            "big|48|2|blue");
  // old_devtype, devtype, first_time, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleDeviceTypes", {"SWITCH", "ROUTER", 1, 1}),
            "Successful update");
  EXPECT_EQ(Value("select devicetype from vexa_lg_device_types"), "ROUTER");
  // old name, new name, first_time, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleLinkTypeNames", {"ctrl", "control", 1, 1}),
            "Successful update");
  EXPECT_EQ(testdb::column("select link_name from vexa_link_types order by 1"),
            (std::vector<std::string>{"control", "data"}));
  // link_name, simple_linkList (one text, passed as given), first_time, last_rows
  testdb::exec("insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
               "(3, 'mixed', 1)");
  EXPECT_EQ(Text("PVSSUpdateMultipleCompositeLinkTypes", {"mixed", "'data','control'", 1, 1}),
            "Successful update");
  EXPECT_EQ(Value("select link_nbr from vexa_link_types where link_name = 'mixed'"), "6");
  testdb::exec("insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
               "(4, 'it''s', 5)");
  EXPECT_EQ(Text("PVSSUpdateMultipleCompositeLinkTypes", {"mixed", "'it''s','data'", 1, 1}),
            "Successful update");
  EXPECT_EQ(Value("select link_nbr from vexa_link_types where link_name = 'mixed'"), "10");
  EXPECT_EQ(Text("PVSSUpdateMultipleCompositeLinkTypes", {"nosuch", "none", 1, 1}),
            "ERROR in UpdateMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
}

TEST_F(UpdateWrappers, DeviceRowsReachTheirColumns) {
  // devname, node, promiscuous_mode, location, first_rows, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleAttributesDevices", {"sw2", 0, 1, "rack 9", 1, 7}),
            "Error:last_rows is 1 or 0");
  EXPECT_EQ(Text("PVSSUpdateMultipleAttributesDevices", {"sw2", 0, 1, "rack 9", 1, 1}),
            "Successful update");
  EXPECT_EQ(DeviceColumns("sw2", "node, promiscuous_mode, location"), "0|1|rack 9");
  // devname, new_systemList, first_rows, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleDeviceSystemList", {"sw3", "DAQ,ECS", 1, 1}),
            "Successful update");
  EXPECT_EQ(DeviceColumns("sw3", "system_name"), "10");
  // devname, nodeused, first_rows, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleDeviceNodeUsed", {"sw3", 0, 1, 1}), "Successful update");
  EXPECT_EQ(DeviceColumns("sw3", "nodeused"), "0");
  // devtype, nodeused, devtype_given, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleDeviceNodeUsedByType", {"SWITCH", 1, 1, 2}),
            "Error:last_rows is 1 or 0");
  EXPECT_EQ(Text("PVSSUpdateMultipleDeviceNodeUsedByType", {"SWITCH", 1, 1, 1}),
            "Successful update");
  EXPECT_EQ(DeviceColumns("sw3", "nodeused"), "1");
  // devname, devtype, first_rows, last_rows
  testdb::exec("insert into vexa_lg_device_types (devicetypeID, devicetype) values (77, 'HUB')");
  EXPECT_EQ(Text("PVSSUpdateMultipleDTypeDevices", {"sw1", "HUB", 1, 1}), "Successful update");
  EXPECT_EQ(DeviceColumns("sw1", "devicetypeID"), "77");
  // old_devname, devname, first_rows, last_rows
  EXPECT_EQ(Text("PVSSUpdateMultipleDevNamesDevices", {"sw1", "core1", 1, 1}),
            "Successful update");
  EXPECT_EQ(DeviceColumns("core1", "devicetypeID"), "77");
  EXPECT_EQ(Text("PVSSUpdateMultipleDevNamesDevices", {"ghost", "g2", 1, 1}),
            "ERROR in UpdateMultipleDevNamesDevices : COULDNOT_UPDATE_ALL_ROWS");
}

TEST_F(UpdateWrappers, ActivitySwitchesAnswerACodeAndTheirMessage) {
  TextVar err;
  auto active = [&](const char* name, int value, int first, int last) {
    return Int("PVSSUpdateMultipleDeviceActive", {name, value, first, last, Arg::Of(err)});
  };
  EXPECT_EQ(active("sw1", 2, 2, 2), -1);
  EXPECT_STREQ(err.getValue(), "last_rows is 1 or 0") << "the first failing check stands";
  EXPECT_EQ(active("sw1", 2, 2, 1), -1);
  EXPECT_STREQ(err.getValue(), "first_rows is 1 or 0");
  EXPECT_EQ(active("sw1", 2, 1, 1), -1);
  EXPECT_STREQ(err.getValue(), "active is 1 or 0");
  EXPECT_EQ(DeviceColumns("sw1", "active"), "0") << "no library call";
  EXPECT_EQ(active("sw1", 1, 1, 1), 0);
  EXPECT_STREQ(err.getValue(), "NO_ERROR in updateMultipleDeviceActive");
  EXPECT_EQ(DeviceColumns("sw1", "active"), "1");
  EXPECT_EQ(active("ghost", 0, 1, 1), -1);
  EXPECT_EQ(std::string(err.getValue()).rfind("ERROR in updateMultipleDeviceActive : COULDNOT_", 0),
            0u) << err.getValue();

  // devicename, active, devtype_given, last_rows, errMess
  auto by_type = [&](const char* name, int value, int given, int last) {
    return Int("PVSSUpdateMultipleDeviceActiveByType", {name, value, given, last, Arg::Of(err)});
  };
  EXPECT_EQ(by_type("SWITCH", 2, 2, 1), -1);
  EXPECT_STREQ(err.getValue(), "active is 1 or 0");
  EXPECT_EQ(by_type("SWITCH", 0, 2, 1), -1);
  EXPECT_STREQ(err.getValue(), "devtype_given is 1 or 0");
  const std::string kActive = "select string_agg(active::text, '' order by devicename) "
                              "from vexa_lg_devices where devicename like 'sw%'";
  EXPECT_EQ(by_type("SWITCH", 1, 1, 1), 0) << err.getValue();
  EXPECT_EQ(Value(kActive), "111");
  EXPECT_EQ(by_type("sw", 0, 0, 1), 0) << "names beginning with the text";
  EXPECT_EQ(Value(kActive), "000");
}

TEST_F(UpdateWrappers, SwapAndDeletionsAnswerTheLibrarysText) {
  EXPECT_EQ(Text("PVSSDeleteLinkRow", {999, 1}),
            "ERROR in DeleteLinkRow : LINKID DOESN'T EXIST");
  const int link = std::stoi(Value(
      "select linkid from vexa_macroscopic_connectivity where link_info = 'a'"));
  EXPECT_EQ(Text("PVSSDeleteLinkRow", {link, 1}), "Successful update");
  EXPECT_EQ(Value("select string_agg(link_info, ',') from vexa_macroscopic_connectivity"), "b");

  EXPECT_EQ(Text("PVSSDeletePortRow", {999}), "ERROR in DeletePortRow : PORTID DOESN'T EXIST");
  const int port = std::stoi(Value(
      "select portid from vexa_port_properties p join vexa_lg_devices d using (deviceid) "
      "where devicename = 'sw3'"));
  EXPECT_EQ(Text("PVSSDeletePortRow", {port}), "Successful update");
  EXPECT_EQ(Value("select count(*) from vexa_macroscopic_connectivity"), "0");

  EXPECT_EQ(Text("PVSSSwapTwoDevices", {"sw1", "sw2", "swapped"}), "Successful update");
  EXPECT_EQ(DeviceColumns("sw1", "serialnb") + "," + DeviceColumns("sw2", "serialnb"),
            "SN-sw2,SN-sw1");
  const std::string refused = Text("PVSSSwapTwoDevices", {"sw1", "ghost", "x"});
  EXPECT_EQ(refused.rfind("ERROR in SwapTwoDevices : ", 0), 0u) << refused;
}

}  // namespace
