#include "sweep_network.h"

#include "test_db.h"

namespace sweep {
namespace {

constexpr const char* kNetwork = R"sql(
insert into vexa_subsystemList(system_name, systemID) values
  ('DAQ',2),('TFC',3),('ECS',5),('LHC',7);
insert into vexa_lg_device_types(devicetypeID, devicetype, nbrofinput, nbrofoutput, system_name)
  values (nextval('vexa_devtype_seq'), 'SWITCH', 1, 1, 30),
         (nextval('vexa_devtype_seq'), 'BOARD', 1, 1, 2);
insert into vexa_hw_devices(serialnb, hwtype, device_status) values
  ('SN-sw1','hw',1),('SN-sw2','hw',1),('SN-sw3','hw',1),('SN-sw4','hw',1),
  ('SN-board1','hw',1),('SP-1','hw',2);
insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode,
                            system_name, serialnb, location)
  select v.name, t.devicetypeID, nextval('vexa_lg_deviceseq'), v.node, 0, v.sys,
         'SN-' || v.name, 'rack'
  from (values (1,'sw1','SWITCH',1,6),(2,'sw2','SWITCH',0,2),(3,'sw3','SWITCH',0,10),
               (4,'sw4','SWITCH',0,5),(5,'board1','BOARD',0,2)) v(n,name,type,node,sys)
  join vexa_lg_device_types t on t.devicetype = v.type order by v.n;
insert into vexa_ipinfo(ipaddress, subnet_info, ipname) values
  ('10.0.0.12','255.0.0.0','ip12'),('10.0.0.3','255.0.0.0','ip3'),
  ('10.0.0.4','255.0.0.0','ip4');
insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type,
                                 administrative_status, speed, pxi_booting, ipaddress)
  select nextval('vexa_portseq'), d.deviceid, v.nbr, v.way, v.type, 1, 1000, 0, v.ip
  from (values (1,'sw1','1',2,null,null),(2,'sw1','2',2,null,'10.0.0.12'),
               (3,'sw2','1',1,null,null),(4,'sw2','2',1,null,null),
               (5,'sw2','3',2,'eth','10.0.0.3'),(6,'sw3','1',1,null,'10.0.0.4'),
               (7,'sw3','2',2,null,null),(8,'sw4','1',1,null,null),
               (9,'board1','1',1,null,null)) v(n,device,nbr,way,type,ip)
  join vexa_lg_devices d on d.devicename = v.device order by v.n;
insert into vexa_link_types(linktypeID, link_name, link_nbr)
  select nextval('vexa_lktypeseq'), v.name, v.nbr
  from (values (1,'data',2),(2,'ctrl',3),(3,'mgmt',5),(4,'aux',7),(5,'opt',11),(6,'ca',21),
               (7,'far1',7907),(8,'far2',7919)) v(n,name,nbr)
  order by v.n;
insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type,
    bidirectional_link_used, link_weight, lkused, link_info, system_name)
  select nextval('vexa_macroconnseq'), f.portid, t.portid, k.linktypeID, 0, 1, 1, v.info, 2
  from (values (1,'sw1','1','sw2','1','data','a'),(2,'sw2','3','sw3','1','ctrl','b'))
         v(n,dfrom,pfrom,dto,pto,type,info)
  join vexa_lg_devices a on a.devicename = v.dfrom
  join vexa_port_properties f on f.deviceid = a.deviceid and f.port_nbr = v.pfrom
  join vexa_lg_devices b on b.devicename = v.dto
  join vexa_port_properties t on t.deviceid = b.deviceid and t.port_nbr = v.pto
  join vexa_link_types k on k.link_name = v.type order by v.n;
insert into vexa_hw_cpnts(snbid, serialnb, hwtype, hwname, cpnt_status, replacable, location)
  values (nextval('VEXA_HW_CPNTS_SNBID_SEQ'),'CS-1','chip','c1',1,0,'SN-board1'),
         (nextval('VEXA_HW_CPNTS_SNBID_SEQ'),'CS-2','chip','c2',1,0,'SN-board1');
insert into vexa_lg_cpnts(cpntname, cpnttype, cpntid, snbid, motherboardid)
  select h.hwname, 'chip', nextval('VEXA_LG_CPNTS_DEVICEID_SEQ'), h.snbid, d.deviceid
  from vexa_hw_cpnts h, vexa_lg_devices d
  where h.serialnb in ('CS-1','CS-2') and d.devicename = 'board1' order by h.snbid;
-- The path data derived from the links, in line with them as the library
-- leaves it after each change.
select pathqueries_pck.CheckAndUpdateDynamicTables(1), routingtable_pck.updatepathused(1);
)sql";

}  // namespace

void SeedNetwork() {
  testdb::reset();
  testdb::exec(kNetwork);
}

}  // namespace sweep
