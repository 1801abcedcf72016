// The row, name and id lookups against the private database: each key
// argument reaches the library parameter it names (a row of another port,
// way or link would show), nothing found reads the marker, and a component
// row is exactly the marker then.
#include <gtest/gtest.h>

#include <string>

#include "plugin_network_fixture.h"

namespace {

class LookupRows : public PluginNetworkTest {
 protected:
  void SetUp() override {
    PluginNetworkTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    sw1_ = std::stoi(DeviceColumns("sw1", "deviceid"));
    sw2_ = std::stoi(DeviceColumns("sw2", "deviceid"));
    // Component c1 on sw1 with its hardware K1; links from the board's port
    // 1 to c1 and from c1 to c2.
    testdb::exec(
        "insert into vexa_hw_cpnts(snbid,serialnb,hwname,hwtype,cpnt_status,replacable,location)"
        " values (71,'K1','c1','asic',1,1,'SN-sw1');"
        "insert into vexa_lg_cpnts(cpntname,cpnttype,cpntid,snbid,motherboardid) values "
        "('c1','fpga',81,71," +
        std::to_string(sw1_) + "),('c2','fpga',82,null," + std::to_string(sw1_) +
        ");"
        "insert into vexa_microscopic_connectivity(linkid,cpntidfrom,portidfrom,cpntidto,"
        "portidto,link_type,bidirectional_link_used,lkused) values "
        "(91,-1,1,81,3,1,0,1),(92,81,4,82,5,1,0,1)");
  }
  // Whether a row holds every one of the fields.
  static testing::AssertionResult Holds(const std::string& row,
                                        std::initializer_list<const char*> fields) {
    for (const char* field : fields) {
      if (row.find(field) == std::string::npos)
        return testing::AssertionFailure() << "no \"" << field << "\" in " << row;
    }
    return testing::AssertionSuccess();
  }
  int sw1_ = 0, sw2_ = 0;
};

TEST_F(LookupRows, PortsLinksAndAddressesByEveryKey) {
  const int port = std::stoi(PortColumns("sw2", "2", "portid"));
  const char* kPort = "|devicename (C):sw2 |port_nbr (C):2 |port_way (I):2 ";
  EXPECT_TRUE(Holds(Text("PVSSGetPortRow_pid", {port}), {kPort, "10.0.0.2"}));
  // devID, pt_nb, pway, ptype
  EXPECT_TRUE(Holds(Text("PVSSGetPortRow_devid", {sw2_, "2", 2, "eth"}), {kPort}));
  EXPECT_EQ(Text("PVSSGetPortRow_devid", {sw2_, "2", 1, "eth"}), "NO_ROWS_SELECTED");
  EXPECT_EQ(Text("PVSSGetPortRow_devid", {sw2_, "2", 2, "fibre"}), "NO_ROWS_SELECTED");
  EXPECT_TRUE(Holds(Text("PVSSGetIPInfoRow", {"10.0.0.2"}), {"ip-name", "255.0.0.0"}));

  // nodeID, ptnb, pway, ptype: the way tells the link leaving or arriving.
  EXPECT_TRUE(Holds(Text("PVSSGetMacroConnectivityRow_node", {sw2_, "2", 2, "eth"}),
                    {"|node_from (C):sw2 |", "|link_info (C):b |"}));
  EXPECT_TRUE(Holds(Text("PVSSGetMacroConnectivityRow_node", {sw2_, "1", 1, ""}),
                    {"|node_from (C):sw1 |", "|link_info (C):a |"}));
  EXPECT_TRUE(Holds(Text("PVSSGetMacroConnectivityRow_nodename", {"sw3", "1", 1, ""}),
                    {"|link_info (C):b |"}));
  const int link = std::stoi(LinkFrom("sw1", "linkid"));
  EXPECT_TRUE(Holds(Text("PVSSGetMacroConnectivityRow_lkid", {link}), {"|link_info (C):a |"}));
  EXPECT_EQ(Text("PVSSGetMacroConnectivityRow_lkid", {link + 100}), "NO_ROWS_SELECTED");

  EXPECT_TRUE(Holds(Text("PVSSGetLkTypeRow_lkname", {"ctrl"}), {"|link_name (C):ctrl |"}));
  EXPECT_TRUE(Holds(Text("PVSSGetLkTypeRow_lknb", {1}), {"|link_name (C):data |"}));
  EXPECT_EQ(Text("PVSSGetLkTypeRow_lknb", {99}), "NO_ROWS_SELECTED");
  EXPECT_TRUE(Holds(Text("PVSSGetHWDeviceRow_serialnb", {"SN-sw3"}), {"devicename (C):sw3 |"}));
}

TEST_F(LookupRows, ComponentsAndLinksInsideABoard) {
  const char* kC1 = "|cpntname (C):c1 |cpnttype (C):fpga |cpntid  (I):81 ";
  EXPECT_TRUE(Holds(Text("PVSSGetBoardCpntRow_cpntname", {"c1"}), {kC1}));
  EXPECT_TRUE(Holds(Text("PVSSGetBoardCpntRow_cpntid", {81}), {kC1}));
  EXPECT_EQ(Text("PVSSGetBoardCpntRow_cpntid", {999}), "NO_ROWS_SELECTED");
  EXPECT_EQ(Text("PVSSGetBoardCpntRow_cpntname", {"nothing"}), "NO_ROWS_SELECTED");
  EXPECT_TRUE(Holds(Text("PVSSGetHWCpntRow_serialnb", {"K1"}), {"|snbid (I):71 |hwname (C):c1"}));
  EXPECT_TRUE(Holds(Text("PVSSGetHWCpntRow_snbid", {71}), {"|snbid (I):71 |hwname (C):c1"}));
  EXPECT_EQ(Text("PVSSGetHWCpntRow_snbid", {72}), "NO_ROWS_SELECTED");

  EXPECT_TRUE(Holds(Text("PVSSGetMicroConnectivityRow_lkid", {92}), {"|linkid (I):92 |"}));
  // nodeID, ptnb, way: the link leaving c1 by its port 4, arriving by 3.
  EXPECT_TRUE(Holds(Text("PVSSGetMicroConnectivityRow_node", {81, 4, 2}), {"|linkid (I):92 |"}));
  EXPECT_TRUE(Holds(Text("PVSSGetMicroConnectivityRow_node", {81, 3, 1}), {"|linkid (I):91 |"}));
  EXPECT_EQ(Text("PVSSGetMicroConnectivityRow_node", {81, 4, 1}), "NO_ROWS_SELECTED");
}

TEST_F(LookupRows, NamesAndIdsBothWays) {
  TextVar err;
  EXPECT_EQ(Text("PVSSGetDeviceName_deviceid", {sw2_}), "sw2");
  EXPECT_EQ(Text("PVSSGetDeviceName_deviceid", {-5}), "NO_ROWS_SELECTED");
  EXPECT_EQ(Int("PVSSGetDeviceID_devicename", {"sw2", Arg::Of(err)}), sw2_);
  EXPECT_STREQ(err.getValue(), "NO_ERROR in GetDeviceID_devicename");
  // No device of that name: the library answers 0 and writes no id.
  EXPECT_EQ(Int("PVSSGetDeviceID_devicename", {"ghost", Arg::Of(err)}), -1);
  EXPECT_EQ(std::string(err.getValue()).find("NO_ROWS_SELECTED") != std::string::npos, true)
      << err.getValue();

  EXPECT_EQ(Text("PVSSGetCpntName_cpntid", {82}), "c2");
  const std::string unknown = Text("PVSSGetCpntName_cpntid", {999});
  EXPECT_EQ(unknown.rfind("ERROR in GetCpntName_cpntid : ", 0), 0u) << unknown;
  EXPECT_EQ(Int("PVSSGetCpntID_cpntname", {"c2", Arg::Of(err)}), 82);
  EXPECT_EQ(Int("PVSSGetCpntID_cpntname", {"ghost", Arg::Of(err)}), -1);
  EXPECT_EQ(std::string(err.getValue()).rfind("ERROR in GetCpntID_cpntname : ", 0), 0u)
      << err.getValue();
}

}  // namespace
