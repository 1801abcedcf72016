// A connected plug-in over a small network, entered through the plug-in's
// own insert functions:
//
//   sw1 (DAQ,TFC) port 1 out            -> sw2 (DAQ) port 1 in   link "data", info "a"
//   sw2 port 2 out, type eth, 10.0.0.2  -> sw3 (DAQ) port 1 in   link "data", info "b"
//
// Device type SWITCH; link types data (2) and ctrl (3).
#pragma once

#include <string>

#include "plugin_db_fixture.h"

class PluginNetworkTest : public PluginDbTest {
 protected:
  void SetUp() override {
    PluginDbTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    ASSERT_EQ(Text("PVSSInsertDeviceType", {"DAQ,TFC", "SWITCH", 4, 4, "", "", 0}),
              "Successful insertion");
    for (const char* row : {"sw1|DAQ,TFC", "sw2|DAQ", "sw3|DAQ"}) {
      const std::string name = std::string(row).substr(0, 3);
      const std::string systems = std::string(row).substr(4);
      // sysname, dname, dtype, node, promiscuous_mode, serialnb, hwtype,
      // responsible, location, comments, last_rows
      ASSERT_EQ(Text("PVSSInsertFunctionalDevice",
                     {systems.c_str(), name.c_str(), "SWITCH", 1, 0, ("SN-" + name).c_str(),
                      "hw", "anna", "rack 7", "", 0}),
                "Successful insertion");
    }
    AddPort("sw1", "1", "", 2);
    AddPort("sw2", "1", "", 1);
    AddPort("sw2", "2", "eth", 2, "10.0.0.2");
    AddPort("sw3", "1", "", 1);
    testdb::exec("insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
                 "(1, 'data', 2), (2, 'ctrl', 3)");
    AddLink("sw1", "1", "", "sw2", "1", "a");
    AddLink("sw2", "2", "eth", "sw3", "1", "b");
  }

  void AddPort(const char* device, const char* nbr, const char* type, int way,
               const char* ipadd = "") {
    // dname, pt_nb, pt_type, pway, bia, ipname, ipadd, subnet, macadd,
    // pxibooting, speed, phy, admin_status, last_rows
    ASSERT_EQ(Text("PVSSInsertPort", {device, nbr, type, way, "", *ipadd ? "ip-name" : "", ipadd,
                                      *ipadd ? "255.0.0.0" : "", "", 0, 100, "", 1, 0}),
              "Successful insertion");
  }
  void AddLink(const char* from, const char* from_port, const char* from_type, const char* to,
               const char* to_port, const char* info) {
    // node_from, node_to, port_from, port_typefrom, port_to, port_typeto,
    // link_type_name, bidirectional_link, link_info, last_rows
    ASSERT_EQ(Text("PVSSInsertMacroLink",
                   {from, to, from_port, from_type, to_port, "", "data", 0, info, 0}),
              "Successful insertion");
  }

  // Columns of committed rows, as another session sees them.
  static std::string LinkFrom(const std::string& device, const std::string& columns) {
    return Value("select concat_ws('|', " + columns +
                 ") from vexa_macroscopic_connectivity c "
                 "join vexa_port_properties p on p.portid = c.portidfrom "
                 "join vexa_lg_devices d on d.deviceid = p.deviceid "
                 "where d.devicename = '" + device + "'");
  }
  static std::string DeviceColumns(const std::string& device, const std::string& columns) {
    return Value("select concat_ws('|', " + columns + ") from vexa_lg_devices "
                 "where devicename = '" + device + "'");
  }
  static std::string PortColumns(const std::string& device, const std::string& nbr,
                                 const std::string& columns) {
    return Value("select concat_ws('|', " + columns + ") from vexa_port_properties p "
                 "join vexa_lg_devices d on d.deviceid = p.deviceid "
                 "where d.devicename = '" + device + "' and p.port_nbr = '" + nbr + "'");
  }
};
