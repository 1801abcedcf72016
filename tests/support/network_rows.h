// Small networks written with plain SQL behind the library's back, for the
// routing tests of the library, of the plug-in and of the hostile-input
// sweep: devices with their hardware, ports with addresses and MAC
// addresses, links whose weights follow the node rule (from node + to
// node, plus 1 when the to device is a node), and one board with its
// components.
#pragma once

#include <string>

#include "test_db.h"

namespace testnet {

// A device of type 1 with the hardware "sn_<name>".
inline void Device(int id, const std::string& name, int node, int system_name = 2) {
  testdb::exec("insert into vexa_hw_devices(serialnb) values ('sn_" + name + "');"
               "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, "
               "system_name, serialnb) values ('" + name + "', 1, " + std::to_string(id) +
               ", " + std::to_string(node) + ", " + std::to_string(system_name) + ", 'sn_" +
               name + "')");
}

// A port with an IP address (ip "" for none) and the matching port of the
// device's hardware with a MAC address.
inline void Port(int portid, int deviceid, const std::string& nbr, int way,
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

inline void Link(int linkid, int portfrom, int portto, int bidirectional = 1) {
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

// The smallest network a build covers: b (203) reaches a (201, a node)
// over link 1, from its port out (2004) into a's port in (2002).
inline void OneLink() {
  Device(201, "a", 1);
  Device(203, "b", 0);
  Port(2002, 201, "in", 1, "10.1.0.1");
  Port(2004, 203, "out", 2, "10.1.0.2");
  Link(1, 2004, 2002);
}

// h1 (101, a node) reaches s1 (103) and s2 (105, subsystem set s2_systems)
// over one link each (links 1 and 2, into its ports in1 and in2), and h2
// (107, a node) through either switch (links 3 and 4). Ports and addresses:
//   h1 in1 1002 10.0.0.1 (MAC mac-h1-in1), in2 1004 10.0.1.1 (mac-h1-in2)
//   s1 o1 1006 10.0.0.254, o2 1008 10.0.2.254
//   s2 o1 1010 10.0.1.254, o2 1012 10.0.3.254
//   h2 in1 1014 10.0.2.1, in2 1016 10.0.3.1
inline void TwoSwitches(int s2_systems = 2) {
  Device(101, "h1", 1);
  Device(103, "s1", 0);
  Device(105, "s2", 0, s2_systems);
  Device(107, "h2", 1);
  Port(1002, 101, "in1", 1, "10.0.0.1", "mac-h1-in1");
  Port(1004, 101, "in2", 1, "10.0.1.1", "mac-h1-in2");
  Port(1006, 103, "o1", 2, "10.0.0.254");
  Port(1008, 103, "o2", 2, "10.0.2.254");
  Port(1010, 105, "o1", 2, "10.0.1.254");
  Port(1012, 105, "o2", 2, "10.0.3.254");
  Port(1014, 107, "in1", 1, "10.0.2.1");
  Port(1016, 107, "in2", 1, "10.0.3.1");
  Link(1, 1006, 1002);
  Link(2, 1010, 1004);
  Link(3, 1008, 1014);
  Link(4, 1012, 1016);
}

// Board "brd" (device 31): port in (301, way 1) feeds c1, and c1 reaches
// port out (303, way 2) through c2 or c3 (components c1, c2 of type fpga,
// c3 of type asic; microscopic links 1 to 5).
//   in -> c1 -> c2 -> out
//         c1 -> c3 -> out
inline void Board() {
  Device(31, "brd", 0);
  Port(301, 31, "in", 1, "");
  Port(303, 31, "out", 2, "");
  testdb::exec(
      "insert into vexa_lg_cpnts(cpntname, cpnttype, cpntid, motherboardid) values "
      "('c1', 'fpga', 1, 31), ('c2', 'fpga', 2, 31), ('c3', 'asic', 3, 31);"
      "insert into vexa_microscopic_connectivity(linkid, cpntidfrom, portidfrom, cpntidto, "
      "portidto, link_type, bidirectional_link_used, link_weight, lkused) values "
      "(1, -1, 301, 1, 1, 1, 0, 1, 1), (2, 1, 2, 2, 1, 1, 0, 0, 1), "
      "(3, 2, 2, -1, 303, 1, 0, 2, 1), (4, 1, 3, 3, 1, 1, 0, 0, 1), "
      "(5, 3, 2, -1, 303, 1, 0, 2, 1)");
}

// Microscopic link 6 of the board: c1 straight to port out.
inline void BoardShortcut() {
  testdb::exec(
      "insert into vexa_microscopic_connectivity(linkid, cpntidfrom, portidfrom, cpntidto, "
      "portidto, link_type, bidirectional_link_used, link_weight, lkused) values "
      "(6, 1, 4, -1, 303, 1, 0, 2, 1)");
}

}  // namespace testnet
