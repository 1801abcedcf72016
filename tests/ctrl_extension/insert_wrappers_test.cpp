// The insert wrappers against the private database: each check with its
// message, and each CTRL argument reaching the library parameter it names.
#include <gtest/gtest.h>

#include <string>

#include "plugin_db_fixture.h"

namespace {

class InsertWrappers : public PluginDbTest {
 protected:
  void SetUp() override {
    PluginDbTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    ASSERT_EQ(Insert("PVSSInsertDeviceType", {"DAQ,TFC", "SWITCH", 4, 4, "", "", 0}),
              "Successful insertion");
  }
  std::string Insert(const char* function, std::initializer_list<Arg> args) {
    return TextResult(Quiet([&] { return ctrl_.Call(function, args); }));
  }
  // sysname, dname, dtype, node, promiscuous_mode, serialnb, hwtype,
  // responsible, location, comments, last_rows
  std::string Device(const char* name, const char* type = "SWITCH", int node = 0,
                     int promiscuous = 0, int last = 0) {
    return Insert("PVSSInsertFunctionalDevice", {"DAQ", name, type, node, promiscuous,
                                                 (std::string("SN-") + name).c_str(), "hw",
                                                 "anna", "rack 7", "fresh", last});
  }
  // dname, pt_nb, pt_type, pway, bia, ipname, ipadd, subnet, macadd,
  // pxibooting, speed, phy, admin_status, last_rows
  std::string Port(const char* device, const char* nbr, const char* type, int way, int pxi = 0,
                   int admin = 1, int last = 0) {
    return Insert("PVSSInsertPort", {device, nbr, type, way, "", "", "none", "", "", pxi, 100,
                                     "", admin, last});
  }
  static int Count(const std::string& table, const std::string& where) {
    return std::stoi(testdb::value("select count(*) from " + table + " where " + where));
  }
};

TEST_F(InsertWrappers, DeviceTypeChecksAndDescription) {
  EXPECT_EQ(Insert("PVSSInsertDeviceType", {"DAQ", "R", 1, 1, "", "", 0}),
            "Error:No Devtype given");
  EXPECT_EQ(Insert("PVSSInsertDeviceType", {"DAQ", "R", 1, 1, "", "", 2}),
            "Error:No Devtype given") << "the first failing check stands";
  EXPECT_EQ(Insert("PVSSInsertDeviceType", {"DAQ", "ROUTER", 1, 1, "", "", 2}),
            "Error:last_rows is 1 or 0");
  EXPECT_EQ(Insert("PVSSInsertDeviceType", {"DAQ", "ROUTER", 1, 2, "", "blue", 1}),
            "Successful insertion");
  EXPECT_EQ(Value("select concat_ws('|', description, nbrofinput, nbrofoutput, rgbcolor) "
                  "from vexa_lg_device_types where devicetype='ROUTER'"),
            "ROUTER|1|2|blue") << "an empty description is the type's name";
  EXPECT_EQ(Insert("PVSSInsertDeviceType", {"XYZ", "OTHER", 1, 1, "d", "", 0}),
            "ERROR in InsertDeviceType : systemnameList is null");

  const char* kFlags = "Error:last_rows and first time are equal to 1 or 0";
  EXPECT_EQ(Insert("PVSSInsertMultipleDeviceTypes", {"DAQ", "B1", 1, 1, "d", "", 2, 1}), kFlags);
  EXPECT_EQ(Insert("PVSSInsertMultipleDeviceTypes", {"DAQ", "B1", 1, 1, "d", "", 1, 2}), kFlags);
  EXPECT_EQ(Insert("PVSSInsertMultipleDeviceTypes", {"DAQ", "B", 1, 1, "d", "", 2, 2}),
            "Error:No Devtype given");
  // A refused row leaves the open batch as it was.
  EXPECT_EQ(Insert("PVSSInsertMultipleDeviceTypes", {"DAQ", "B1", 1, 1, "", "", 1, 0}),
            "Successful insertion ");
  EXPECT_EQ(Insert("PVSSInsertMultipleDeviceTypes", {"DAQ", "x", 1, 1, "", "", 0, 1}),
            "Error:No Devtype given");
  EXPECT_EQ(Insert("PVSSInsertMultipleDeviceTypes", {"TFC", "B2", 1, 1, "two", "", 0, 1}),
            "Successful insertion ");
  EXPECT_EQ(testdb::column("select devicetype || ':' || description from vexa_lg_device_types "
                           "where devicetype like 'B%' order by 1"),
            (std::vector<std::string>{"B1:B1", "B2:two"}));
}

TEST_F(InsertWrappers, FunctionalDeviceChecksAndArgumentOrder) {
  const char* kNames = "Error:No Devtype or devicename given";
  EXPECT_EQ(Device("d", "SWITCH"), kNames);
  EXPECT_EQ(Device("sw1", "S"), kNames);
  EXPECT_EQ(Device("sw1", "SWITCH", 2, 0, 3), "Error:last_rows is 1 or 0")
      << "last_rows is checked before node";
  EXPECT_EQ(Device("sw1", "SWITCH", 2), "Error:node is 1 or 0");
  EXPECT_EQ(Device("sw1", "SWITCH", 0, 2), "Error:promiscuous_mode is 1 or 0");
  EXPECT_EQ(Device("sw9", "NOTYPE"), "ERROR in InsertFunctionalDevice : COULDNOT_INSERT_THIS_ROW");

  ASSERT_EQ(Device("sw1", "SWITCH", 1, 1), "Successful insertion");
  EXPECT_EQ(Value("select concat_ws('|', d.node, d.promiscuous_mode, d.serialnb, d.location, "
                  "h.hwtype, h.responsible, h.user_comments) from vexa_lg_devices d "
                  "join vexa_hw_devices h using (serialnb) where d.devicename = 'sw1'"),
            "1|1|SN-sw1|rack 7|hw|anna|fresh");

  // The batch form checks alike and passes first_time on.
  auto batch = [&](const char* name, int node, int first, int last) {
    return Insert("PVSSInsertMultipleFunctionalDevices",
                  {"TFC", name, "SWITCH", node, 0, name, "hw", "bob", "rack 9", "batch", first,
                   last});
  };
  EXPECT_EQ(batch("b1", 0, 1, 0), "Successful insertion");
  EXPECT_EQ(batch("b2", 5, 0, 0), "Error:node is 1 or 0");
  EXPECT_EQ(batch("b3", 0, 0, 1), "Successful insertion");
  EXPECT_EQ(testdb::column("select devicename || ':' || location from vexa_lg_devices "
                           "where devicename like 'b%' order by 1"),
            (std::vector<std::string>{"b1:rack 9", "b3:rack 9"}));
}

TEST_F(InsertWrappers, PortChecksAndEachValueInItsOwnColumn) {
  ASSERT_EQ(Device("sw1"), "Successful insertion");
  const char* kWrong = "Error:wrong input value";
  EXPECT_EQ(Port("s", "p1", "eth", 1), kWrong);
  EXPECT_EQ(Port("sw1", "p1", "eth", 0), kWrong);
  EXPECT_EQ(Port("sw1", "p1", "eth", 3), kWrong);
  EXPECT_EQ(Port("sw1", "p1", "eth", 1, 2), kWrong);
  EXPECT_EQ(Port("sw1", "p1", "eth", 1, 0, 2), kWrong);
  EXPECT_EQ(Port("sw1", "p1", "eth", 0, 0, 1, 2), kWrong) << "checked before last_rows";
  EXPECT_EQ(Port("sw1", "p1", "eth", 1, 0, 1, 2), "Error:last_rows is 1 or 0");

  ASSERT_EQ(Insert("PVSSInsertPort", {"sw1", "p1", "eth", 2, "bia-1", "name-1", "10.1.1.1",
                                      "sub-1", "mac-1", 1, 1000, "phy-1", 0, 1}),
            "Successful insertion");
  EXPECT_EQ(Value("select concat_ws('|', port_nbr, port_type, port_way, administrative_status, "
                  "speed, pxi_booting, phy, ipaddress) from vexa_port_properties"),
            "p1|eth|2|0|1000|1|phy-1|10.1.1.1");
  EXPECT_EQ(Value("select concat_ws('|', ipname, subnet_info) from vexa_ipinfo"),
            "name-1|sub-1");
  EXPECT_EQ(Value("select concat_ws('|', serialnb, port_nbr, port_type, port_way, bia, "
                  "macaddress) from vexa_hwport_properties"),
            "SN-sw1|p1|eth|2|bia-1|mac-1");

  auto batch = [&](const char* nbr, int way, int first, int last) {
    return Insert("PVSSInsertMultiplePorts", {"sw1", nbr, "eth", way, "b", "n", "10.1.1.2",
                                              "s", "m", 0, 10, "ph", 1, first, last});
  };
  EXPECT_EQ(batch("q1", 1, 1, 0), "Successful insertion");
  EXPECT_EQ(batch("q2", 3, 0, 0), kWrong);
  EXPECT_EQ(batch("q3", 1, 0, 4), "Error:last_rows is 1 or 0");
  EXPECT_EQ(batch("q4", 1, 0, 1), "Successful insertion");
  EXPECT_EQ(testdb::column("select port_nbr from vexa_port_properties where port_nbr like 'q%' "
                           "order by 1"),
            (std::vector<std::string>{"q1", "q4"}));
}

TEST_F(InsertWrappers, SparePortChecksAndArgumentOrder) {
  // serialnb, pt_nb, pt_type, pway, bia, macadd, last_rows
  const char* kWrong = "Error:wrong input value";
  EXPECT_EQ(Insert("PVSSInsertSparePort", {"S", "p1", "eth", 1, "b", "m", 0}), kWrong);
  EXPECT_EQ(Insert("PVSSInsertSparePort", {"SN-9", "p1", "eth", 3, "b", "m", 0}), kWrong);
  EXPECT_EQ(Insert("PVSSInsertSparePort", {"SN-9", "p1", "eth", 1, "b", "m", 2}),
            "Error:last_rows is 1 or 0");
  ASSERT_EQ(Insert("PVSSInsertSparePort", {"SN-9", "p1", "eth", 2, "bia-9", "mac-9", 0}),
            "Successful insertion");
  EXPECT_EQ(Value("select concat_ws('|', serialnb, port_nbr, port_type, port_way, bia, "
                  "macaddress) from vexa_hwport_properties"),
            "SN-9|p1|eth|2|bia-9|mac-9");

  EXPECT_EQ(Insert("PVSSInsertMultipleSparePorts", {"SN-9", "p2", "x", 0, "b", "m", 1, 1}),
            kWrong);
  EXPECT_EQ(Insert("PVSSInsertMultipleSparePorts", {"SN-9", "p2", "x", 1, "b", "m", 1, 1}),
            "Successful insertion");
  EXPECT_EQ(Count("vexa_hwport_properties", "serialnb = 'SN-9'"), 2);
}

TEST_F(InsertWrappers, MacroLinkChecksAndArgumentOrder) {
  ASSERT_EQ(Device("sw1"), "Successful insertion");
  ASSERT_EQ(Device("sw2"), "Successful insertion");
  ASSERT_EQ(Port("sw1", "out", "7", 2), "Successful insertion");
  ASSERT_EQ(Port("sw2", "in", "8", 1), "Successful insertion");
  ASSERT_EQ(Port("sw1", "out2", "t-out", 2), "Successful insertion");
  ASSERT_EQ(Port("sw2", "in2", "t-in", 1), "Successful insertion");
  testdb::exec("insert into vexa_link_types(linktypeID, link_name, link_nbr) values (7,'data',2)");

  // node_from, node_to, port_from, port_typefrom, port_to, port_typeto,
  // link_type_name, bidirectional_link, link_info, last_rows
  const char* kNoType = "Error:No lktype given";
  EXPECT_EQ(Insert("PVSSInsertMacroLink", {"", "sw2", "out", 7, "in", 8, "data", 1, "i", 0}),
            kNoType);
  EXPECT_EQ(Insert("PVSSInsertMacroLink", {"sw1", "", "out", 7, "in", 8, "data", 1, "i", 0}),
            kNoType);
  EXPECT_EQ(Insert("PVSSInsertMacroLink", {"sw1", "sw2", "out", 7, "in", 8, "", 1, "i", 0}),
            kNoType);
  EXPECT_EQ(Insert("PVSSInsertMacroLink", {"sw1", "sw2", "out", 7, "in", 8, "data", 1, "i", 2}),
            "Error:last_rows is equal to 1 or 0");
  EXPECT_NE(Insert("PVSSInsertMacroLink", {"s", "sw2", "out", 7, "in", 8, "data", 1, "i", 0}),
            kNoType) << "a one-character name reaches the library";

  // Port types given as integers, as the parameter string declares them.
  ASSERT_EQ(Insert("PVSSInsertMacroLink",
                   {"sw1", "sw2", "out", 7, "in", 8, "data", 1, "first link", 0}),
            "Successful insertion");
  ASSERT_EQ(Insert("PVSSInsertMultipleMacroLinks", {"sw1", "sw2", "out2", "t-out", "in2", "t-in",
                                                    "data", 0, "second link", 1, 1}),
            "Successful insertion");
  EXPECT_EQ(testdb::column(
                "select concat_ws('|', f.port_nbr, f.port_type, t.port_nbr, t.port_type, "
                "c.bidirectional_link_used, c.link_info) from vexa_macroscopic_connectivity c "
                "join vexa_port_properties f on f.portid = c.portidfrom "
                "join vexa_port_properties t on t.portid = c.portidto order by c.link_info"),
            (std::vector<std::string>{"out|7|in|8|1|first link",
                                      "out2|t-out|in2|t-in|0|second link"}));
}

}  // namespace
