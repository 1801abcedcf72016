// A connected library over one known network, for the lookups:
//
//   devices   sw1 (1), sw22 (2), sw3 (3): SWITCH, no hardware; core1 (4):
//             ROUTER on SN-CORE, subsystems DAQ; srv1 (5): SERVER on
//             SN-SRV1, DAQ,ECS; bar|dev (7): SERVER; board1 (9): BOARD on
//             SN-BOARD. sw1 is active and in DAQ,TFC.
//   ports     12 sw1 "3" out; 20 core1 "1" out, type eth, with its hardware
//             port and 192.0.2.1; 22 core1 "2" in, hardware port without bia
//             or mac, 192.0.2.2; 24 core1 "3" in, no administrative status;
//             30 srv1 "eth0" in; 40 sw3 "1" in; 50 board1 "0" out and 52
//             board1 "9" in (board ports).
//   links     1: core1 "1" -> srv1 "eth0" (cu); 2: sw1 "3" -> sw3 "1" (fo,
//             info "trunk").
//   link types cu 1/2, fo 2/3, mixed 3/6, fibre 4/5, big 5/30, huge 6/210.
//   hardware  SN-SPARE (disk, no name, spare, at "shelf"), SN-BAD (status 9),
//             SN-NULLST (no status).
//   components on board1: adc1 (11, ADC, on CS-1), adc2 (12, ADC, on a
//             component without serial number), fpga|x (13, FPGA, nothing
//             mounted); hardware components 3 (CS-3, status 9) and 5 (no
//             serial number) mounted nowhere.
//   micro links 1: board port 50 -> adc1 port 3 (cu); 2: adc1 4 -> adc2 1
//             (fo); 3: adc2 2 -> board port 52 (cu).
//   paths     from core1 out of its port "1" (20) through srv1 to srv1 and
//             to bar|dev, in its destination table and path details.
#pragma once

#include <string>
#include <vector>

#include "db_fixture.h"

class LookupTest : public ConnectedTest {
 protected:
  void SetUp() override {
    ConnectedTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    testdb::exec(
        "insert into vexa_lg_device_types(devicetypeID, devicetype) values "
        "(1,'SWITCH'),(2,'ROUTER'),(3,'SERVER'),(4,'BOARD');"
        "insert into vexa_hw_devices(serialnb, hwtype, hwname, responsible, user_comments, "
        "location, device_status) values "
        "('SN-CORE','router','corehw','net team',null,'rack A',1),"
        "('SN-SRV1','server','srvhw','it',null,'rack B',1),"
        "('SN-BOARD','board','boardhw','daq',null,'crate 1',1),"
        "('SN-SPARE','disk',null,null,'kept','shelf',2),"
        "('SN-BAD','disk','bad',null,null,null,9),"
        "('SN-NULLST','disk','nostatus',null,null,null,null);"
        "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, "
        "active, nodeused, system_name, serialnb, location) values "
        "('sw1',1,1,0,0,1,1,6,null,'rack A'),('sw22',1,2,0,0,0,1,null,null,null),"
        "('sw3',1,3,0,0,0,0,null,null,'rack C'),('core1',2,4,1,0,0,1,2,'SN-CORE','rack A'),"
        "('srv1',3,5,0,0,0,1,10,'SN-SRV1','rack B'),('bar|dev',3,7,0,0,0,1,null,null,'lab'),"
        "('board1',4,9,0,0,0,1,null,'SN-BOARD','crate 1');"
        "insert into vexa_ipinfo(ipaddress, subnet_info, ipname) values "
        "('192.0.2.1','255.255.255.0','ctrl1'),('192.0.2.2',null,null);"
        "insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type, "
        "administrative_status, speed, phy, pxi_booting, ipaddress) values "
        "(12,1,'3',2,null,1,1000,null,0,null),(20,4,'1',2,'eth',1,null,'copper',null,'192.0.2.1'),"
        "(22,4,'2',1,null,1,100,null,null,'192.0.2.2'),(24,4,'3',1,null,null,100,null,0,null),"
        "(30,5,'eth0',1,null,1,1000,null,1,null),(40,3,'1',1,null,1,10,null,0,null),"
        "(50,9,'0',2,null,1,10,null,0,null),(52,9,'9',1,null,1,10,null,0,null);"
        "insert into vexa_hwport_properties(serialnb, port_nbr, port_type, port_way, bia, "
        "macaddress) values ('SN-CORE','1','eth',2,'bia1','00:aa'),"
        "('SN-CORE','2',null,1,null,null);"
        "insert into vexa_link_types(linktypeID, link_name, link_nbr) values "
        "(1,'cu',2),(2,'fo',3),(3,'mixed',6),(4,'fibre',5),(5,'big',30),(6,'huge',210);"
        "insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type, "
        "bidirectional_link_used, link_weight, lkused, link_info, system_name) values "
        "(1,20,30,1,0,1,1,null,2),(2,12,40,2,1,0,1,'trunk',2);"
        "insert into vexa_hw_cpnts(snbid, serialnb, hwtype, hwname, responsible, user_comment, "
        "cpnt_status, replacable, location) values "
        "(1,'CS-1','adc','adc1hw','daq',null,1,1,'SN-BOARD'),"
        "(2,null,'adc','adc2hw',null,null,2,0,null),(3,'CS-3','fpga','f3',null,'old',9,1,null),"
        "(5,null,'fpga','f5',null,null,2,1,'shelf');"
        "insert into vexa_lg_cpnts(cpntname, cpnttype, cpntid, snbid, motherboardid) values "
        "('adc1','ADC',11,1,9),('adc2','ADC',12,2,9),('fpga|x','FPGA',13,null,9);"
        "insert into vexa_microscopic_connectivity(linkid, cpntidfrom, portidfrom, cpntidto, "
        "portidto, link_type, bidirectional_link_used, link_weight, lkused) values "
        "(1,-1,50,11,3,1,0,1,1),(2,11,4,12,1,2,1,0,1),(3,12,2,-1,52,1,0,2,0);"
        "insert into vexa_destinationtable(nodeid_start0, nodeid_end1, pfromid0) values "
        "(4,5,20),(4,7,20);"
        "insert into vexa_pdetails(pathid, node1, node2, node11) values (1,4,5,5),(2,4,5,7)");
  }

  // Runs f with the library's standard output caught into printed_.
  template <class F>
  int Traced(F f) {
    testing::internal::CaptureStdout();
    const int rc = f();
    printed_ = testing::internal::GetCapturedStdout();
    return rc;
  }

  // The items of a packed list of `length` bytes.
  static std::vector<std::string> ListItems(const char* list, int length) {
    std::vector<std::string> items;
    for (int at = 0; at < length; at += static_cast<int>(items.back().size()) + 1)
      items.emplace_back(list + at);
    return items;
  }

  std::string Err() const { return err_; }

  std::string printed_;
};
