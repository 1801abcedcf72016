// A connected library and a small network written with plain SQL: devices
// with their hardware, ports with addresses and MAC addresses, and links
// whose weights follow the node rule (from node + to node, plus 1 when the
// to device is a node).
#pragma once

#include <string>

#include "../connection/db_fixture.h"
#include "session.h"

class NetworkTest : public ConnectedTest {
 protected:
  static void device(int id, const std::string& name, int node, int system_name = 2) {
    testdb::exec("insert into vexa_hw_devices(serialnb) values ('sn_" + name + "');"
                 "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, "
                 "system_name, serialnb) values ('" + name + "', 1, " + std::to_string(id) +
                 ", " + std::to_string(node) + ", " + std::to_string(system_name) + ", 'sn_" +
                 name + "')");
  }
  // A port with an IP address (ip "" for none) and the matching port of the
  // device's hardware with a MAC address.
  static void port(int portid, int deviceid, const std::string& nbr, int way,
                   const std::string& ip, const std::string& mac = "mac") {
    const std::string ipvalue = ip.empty() ? "NULL" : "'" + ip + "'";
    if (!ip.empty())
      testdb::exec("insert into vexa_ipinfo(ipaddress, subnet_info) values ('" + ip +
                   "', 'subnet_of_" + ip + "')");
    testdb::exec("insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, "
                 "ipaddress) values (" + std::to_string(portid) + ", " +
                 std::to_string(deviceid) + ", '" + nbr + "', " + std::to_string(way) + ", " +
                 ipvalue + ");"
                 "insert into vexa_hwport_properties(serialnb, port_nbr, port_way, macaddress) "
                 "select serialnb, '" + nbr + "', " + std::to_string(way) + ", '" + mac +
                 "' from vexa_lg_devices where deviceid = " + std::to_string(deviceid));
  }
  static void link(int linkid, int portfrom, int portto, int bidirectional = 1) {
    testdb::exec(
        "insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type, "
        "bidirectional_link_used, link_weight, lkused, system_name) "
        "select " + std::to_string(linkid) + ", " + std::to_string(portfrom) + ", " +
        std::to_string(portto) + ", 1, " + std::to_string(bidirectional) +
        ", f.node + t.node + case when t.node = 1 then 1 else 0 end, 1, 2 "
        "from vexa_port_properties pf join vexa_lg_devices f on f.deviceid = pf.deviceid, "
        "vexa_port_properties pt join vexa_lg_devices t on t.deviceid = pt.deviceid "
        "where pf.portid = " + std::to_string(portfrom) + " and pt.portid = " +
        std::to_string(portto));
  }
  static std::string one(const std::string& sql) { return testdb::value(sql); }
  // Commits the library's open transaction, so that other connections see
  // what the builds wrote.
  static void commit_library() {
    ferrule::Session& s = ferrule::session();
    ASSERT_EQ(OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT), 0);
  }
};
