// What each insert writes: device types, functional devices with their
// hardware and history rows, ports with the IP rule, macroscopic links with
// their weight and subsystem set.
#include "insert_fixture.h"

class ExportsTest : public InsertTest {
 protected:
  static std::string Value(const std::string& sql) { return testdb::value(sql); }
  int Port(const char* nbr, const char* ipadd) {
    return InsertPort("sw1", nbr, 1, 2, 1000, 0, "eth", "bia-1", ipadd, "name-1", "sub-1", "mac-1",
                      "phy-1", 0, err_);
  }
  // A device with an output port "out" and an input port "in".
  void AddLinkedDevice(const char* name, const char* subsystems, int node = 0) {
    AddDevice(name, subsystems, node);
    AddPort(name, "out", 2);
    AddPort(name, "in", 1);
  }
  int Link(const char* from, const char* to, const char* from_port = "out",
           const char* to_port = "in", const char* type_from = nullptr,
           const char* type_to = nullptr) {
    return Quiet([&] {
      return InsertMacroLink(from, to, from_port, to_port, type_from, type_to, "data", "info", 1,
                             0, err_);
    });
  }
  static std::string LinkValue(const char* column, const char* from, const char* to) {
    return testdb::value(std::string("select ") + column +
                         " from vexa_macroscopic_connectivity c "
                         "join vexa_port_properties f on f.portid = c.portidfrom "
                         "join vexa_lg_devices a on a.deviceid = f.deviceid and a.devicename = '" +
                         from + "' join vexa_port_properties t on t.portid = c.portidto "
                         "join vexa_lg_devices b on b.deviceid = t.deviceid and b.devicename = '" +
                         to + "'");
  }
};

TEST_F(ExportsTest, DeviceTypeStoresItsColumnsAndSubsystemProduct) {
  ASSERT_EQ(InsertDeviceType("TFC,LHC", "T1", 48, 24, nullptr, "blue", 0, err_), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertDeviceType");
  EXPECT_EQ(Value("select concat_ws('|', nbrofinput, nbrofoutput, coalesce(description,'-'), "
                  "rgbcolor, system_name, author, user_update, terminal_name) "
                  "from vexa_lg_device_types where devicetype='T1'"),
            "48|24|-|blue|21|" + Me());
  // Every name must be known, and none empty: a trailing comma ends no list.
  EXPECT_EQ(InsertDeviceType("XYZ,DAQ", "T2", 1, 1, nullptr, nullptr, 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertDeviceType : systemnameList is null");
  EXPECT_EQ(InsertDeviceType("DAQ,", "T3", 1, 1, nullptr, nullptr, 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertDeviceType : systemnameList is null");
  EXPECT_EQ(Count("vexa_lg_device_types", "devicetype in ('T2','T3')"), 0);

  // In a batch the refused row is not cached. Not marked first, it leaves
  // the batch as it is; marked first, it opens none and ends the one before.
  auto batch = [&](const char* sysname, const char* name, int first, int last) {
    return InsertMultipleDeviceTypes(sysname, name, 2, 3, "d", "red", first, last, err_);
  };
  EXPECT_EQ(batch("DAQ", "B1", 1, 0), 0);
  EXPECT_EQ(batch("NOPE", "B2", 0, 0), -1);
  EXPECT_EQ(batch("NOPE", "B3", 1, 1), -1);
  EXPECT_EQ(batch("ECS", "B4", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleDeviceTypes : CACHE HAS NOT BEEN INITIALIZED");
  EXPECT_EQ(batch("DAQ", "B5", 1, 0), 0);
  EXPECT_EQ(batch("NOPE", "B6", 0, 0), -1);
  EXPECT_EQ(batch("ECS", "B7", 0, 1), 0) << Err();
  EXPECT_EQ(Column("select devicetype from vexa_lg_device_types where devicetype like 'B%' "
                   "order by 1"),
            (std::vector<std::string>{"B5", "B7"}));
}

TEST_F(ExportsTest, FunctionalDeviceWritesHardwareDeviceAndHistoryRows) {
  ASSERT_EQ(InsertFunctionalDevice("DAQ,TFC", "sw1", "SWITCH", 1, 0, "SN1", "hp", "anna", "new",
                                   "rack A", 0, err_), 0) << Err();
  EXPECT_EQ(Value("select concat_ws('|', hwtype, responsible, user_comments, device_status, "
                  "coalesce(location,'-')) from vexa_hw_devices where serialnb='SN1'"),
            "hp|anna|new|1|-");
  EXPECT_EQ(Value("select concat_ws('|', node, promiscuous_mode, system_name, serialnb, location, "
                  "nodeused, author, user_update, terminal_name) from vexa_lg_devices "
                  "where devicename='sw1' and devicetypeID = (select devicetypeID from "
                  "vexa_lg_device_types where devicetype='SWITCH')"),
            "1|0|6|SN1|rack A|1|" + Me());
  EXPECT_EQ(Value("select concat_ws('|', h.serialnb, h.device_status, h.user_comment, h.location, "
                  "h.system_name, h.status_change = d.created, h.created is not null) "
                  "from vexa_device_history h join vexa_lg_devices d using (deviceid) "
                  "where d.devicename='sw1'"),
            "SN1|IN_USE|new|rack A|6|t|t");

  // Null texts; subsystem lists: one name, empty, first name unknown.
  ASSERT_EQ(InsertFunctionalDevice("ECS", "d1", "SWITCH", 0, 0, "SN2", nullptr, nullptr,
                                   nullptr, nullptr, 0, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_lg_devices d join vexa_hw_devices w using (serialnb)",
                  "d.system_name = 5 and d.location is null and w.hwtype is null and "
                  "w.responsible is null and w.user_comments is null"), 1);
  // An empty list names no subsystem: refused as a null one.
  EXPECT_EQ(InsertFunctionalDevice("", "d2", "SWITCH", 0, 0, "SN3", "", "", "", "", 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertFunctionalDevice : systemnameList is null");
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb = 'SN3'"), 0);
  EXPECT_EQ(InsertFunctionalDevice("XYZ,ECS", "d3", "SWITCH", 0, 0, "SN4", "", "", "", "", 0,
                                   err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertFunctionalDevice : systemnameList is null");

  // A batch row refused, not marked first, sends nothing even marked last;
  // the batch goes on.
  auto batch = [&](const char* sysname, const char* name, int first, int last) {
    return InsertMultipleFunctionalDevices(sysname, name, "SWITCH", 0, 0, name, "hw", "me",
                                           nullptr, "rack", first, last, err_);
  };
  EXPECT_EQ(batch("DAQ", "b1", 1, 0), 0);
  EXPECT_EQ(batch("NOPE", "b2", 0, 1), -1);
  EXPECT_EQ(Count("vexa_lg_devices", "devicename like 'b%'"), 0);
  EXPECT_EQ(batch("TFC", "b3", 0, 1), 0) << Err();
  EXPECT_EQ(Column("select devicename || system_name from vexa_lg_devices "
                   "where devicename like 'b%' order by 1"),
            (std::vector<std::string>{"b12", "b33"}));
}

TEST_F(ExportsTest, UnknownDeviceTypeGivesNoHistoryRowToAnotherDevice) {
  AddDevice("sw1", "DAQ");
  EXPECT_EQ(InsertFunctionalDevice("DAQ", "sw1", "NOSUCHTYPE", 0, 0, "SN-other", "hw", "r", "c",
                                   "l", 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertFunctionalDevice : COULDNOT_INSERT_THIS_ROW");
  ASSERT_EQ(InsertDeviceType("DAQ", "ANOTHER", 1, 1, nullptr, nullptr, 0, err_), 0);  // commits
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb='SN-other'"), 0);  // refused with the device
  EXPECT_EQ(Count("vexa_device_history"), 1);
}

TEST_F(ExportsTest, PortsFollowTheIpRule) {
  AddDevice("sw1", "DAQ");
  int nbr = 0;
  for (const char* no_address : {(const char*)nullptr, "none", "1.2.", "no-dot", "10.none.1"})
    ASSERT_EQ(Port(std::to_string(++nbr).c_str(), no_address), 0) << Err();
  EXPECT_EQ(Count("vexa_port_properties", "ipaddress is null"), 5);
  EXPECT_EQ(Count("vexa_hwport_properties") + Count("vexa_ipinfo"), 0);
  EXPECT_EQ(Value("select concat_ws('|', port_nbr, port_way, administrative_status, speed, "
                  "port_type, phy, pxi_booting, author, user_update, terminal_name) "
                  "from vexa_port_properties where port_nbr='1'"),
            "1|2|1|1000|eth|phy-1|0|" + Me());

  // An address: recorded once, with the hardware port and the port row.
  ASSERT_EQ(Port("a1", "10.1.2.3"), 0) << Err();
  ASSERT_EQ(Port("a2", "10.1.2.3"), 0) << Err();
  EXPECT_EQ(Value("select concat_ws('|', ipaddress, ipname, subnet_info) from vexa_ipinfo"),
            "10.1.2.3|name-1|sub-1");
  EXPECT_EQ(Value("select concat_ws('|', serialnb, port_type, port_way, bia, macaddress, "
                  "created is not null) from vexa_hwport_properties where port_nbr='a1'"),
            "SN-sw1|eth|2|bia-1|mac-1|t");
  EXPECT_EQ(Count("vexa_port_properties", "ipaddress='10.1.2.3'"), 2);
  // Without mounted hardware, the hardware port has no serial number.
  testdb::exec("update vexa_lg_devices set serialnb = null where devicename = 'sw1'");
  ASSERT_EQ(Port("a3", "10.0.0.1"), 0) << Err();
  EXPECT_EQ(Count("vexa_hwport_properties", "serialnb is null and port_nbr = 'a3'"), 1);

  // Long addresses are never cut: stored whole, or refused by the database.
  const std::string address = "10.20.30.40.and.a.rather.long.name.of.fifty.chars";
  ASSERT_EQ(Port("l1", address.c_str()), 0) << Err();
  EXPECT_EQ(Value("select ipaddress from vexa_port_properties where port_nbr='l1'"), address);
  const std::string too_long = "10." + std::string(120, '1');
  EXPECT_EQ(Quiet([&] { return Port("l2", too_long.c_str()); }), 12899);
  EXPECT_EQ(Count("vexa_port_properties", "port_nbr = 'l2'"), 0);
}

TEST_F(ExportsTest, LinkGetsTheSharedSubsystemsAndItsWeight) {
  testdb::exec("insert into vexa_link_types(linktypeID, link_name, link_nbr) values (7,'data',2)");
  AddLinkedDevice("a", "DAQ,TFC", 0);  // 6
  AddLinkedDevice("b", "DAQ,ECS", 1);  // 10
  AddLinkedDevice("c", "TFC", 1);      // 3
  AddLinkedDevice("d", "ECS", 0);      // 5
  ASSERT_EQ(Link("a", "b"), 0) << Err();
  EXPECT_EQ(LinkValue("concat_ws('|', c.system_name, c.link_weight, c.link_type, "
                      "c.bidirectional_link_used, c.lkused, c.link_info, c.author, c.user_update, "
                      "c.terminal_name)", "a", "b"),
            "2|2|7|1|1|info|" + Me());
  ASSERT_EQ(Link("b", "a"), 0);
  ASSERT_EQ(Link("c", "a"), 0);
  ASSERT_EQ(Link("b", "c"), -1);  // 10 and 3 share nothing
  EXPECT_EQ(Err(), "ERROR in InsertMacroLink : COULDNOT_INSERT_THIS_ROWS: CHECK SYSTEM COMPATIBILITY");
  EXPECT_EQ(LinkValue("c.link_weight", "b", "a"), "1");
  EXPECT_EQ(LinkValue("c.link_weight || '/' || c.system_name", "c", "a"), "1/3");
  AddLinkedDevice("e", "TFC", 1);
  ASSERT_EQ(Link("c", "e"), 0);
  ASSERT_EQ(Link("d", "b"), 0);
  EXPECT_EQ(LinkValue("c.link_weight", "c", "e"), "3");
  EXPECT_EQ(LinkValue("c.link_weight", "d", "b"), "2");

  // Ports: the from port must be an output; a missing type matches ports
  // without type or typed "none"; a typed port needs its type.
  EXPECT_EQ(Link("a", "b", "in", "in"), -1);
  AddPort("d", "n", 1, "none");
  AddPort("d", "g", 1, "gbe");
  testdb::exec("update vexa_lg_devices set system_name = 10 where devicename = 'd'");
  EXPECT_EQ(Link("b", "d", "out", "in", "", nullptr), 0) << Err();
  EXPECT_EQ(Link("b", "d", "out", "n", nullptr, ""), 0) << Err();
  EXPECT_EQ(Link("b", "d", "out", "g"), -1);
  EXPECT_EQ(Link("b", "d", "out", "g", nullptr, "gbe"), 0) << Err();
}

TEST_F(ExportsTest, BatchOfLinksGetsItsSetsAndTheRefresh) {
  testdb::exec("insert into vexa_link_types(linktypeID, link_name, link_nbr) values (7,'data',2)");
  AddLinkedDevice("a", "DAQ,TFC");
  AddLinkedDevice("b", "TFC,ECS");
  AddLinkedDevice("c", "DAQ,TFC,ECS");
  auto link = [&](const char* from, const char* to, const char* type, int first, int last) {
    return InsertMultipleMacroLinks(from, to, "out", "in", nullptr, "", type, nullptr, 0, first,
                                    last, err_);
  };
  EXPECT_EQ(link("a", "b", "data", 1, 0), 0);
  EXPECT_EQ(link("b", "c", "data", 0, 1), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertMultipleMacroLinks");
  EXPECT_EQ(LinkValue("c.system_name", "a", "b"), "3");
  EXPECT_EQ(LinkValue("c.system_name", "b", "c"), "15");
  // A link of an unknown type is left out; the others are committed.
  EXPECT_EQ(link("c", "a", "data", 1, 0), 0);
  EXPECT_EQ(link("c", "b", "nosuchtype", 0, 1), -1);
  EXPECT_EQ(Err(),
            "ERROR in InsertMultipleMacroLinks : COULDNOT_INSERT_ALL_ROWS:CHECK SYSTEM COMPATIBILITY");
  EXPECT_EQ(LinkValue("c.system_name", "c", "a"), "6");
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 3);
}
