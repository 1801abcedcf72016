// The networks of the path benchmark, each written by one SQL text that
// empties the database and fills it on the server (generate_series), so
// that setting one up takes a second or two.
//
// Devices get names of a fixed width per kind, so that no name begins with
// another one and the searches' prefix test picks exactly one device.
#pragma once

namespace bench {

// A shallow readout network (10,001 devices, 36,096 links): front-end
// boards with two uplinks each into a layer of edge switches, each edge
// switch to four core switches, each core switch to a block of farm
// switches, each farm node fed by two farm switches; control and timing
// switches linked to every board. Between two devices it has 4 paths.
inline const char* const kShallowNetwork = R"SQL(
select ferrule_reset();
insert into vexa_subsystemList(system_name, systemID) values ('DAQ',2),('TFC',3),('ECS',5);
insert into vexa_link_types(linktypeID, link_name, link_nbr) values (1,'data',2),(2,'control',3);
insert into vexa_lg_device_types(devicetypeID, devicetype, nbrofinput, nbrofoutput, system_name)
values (1,'FEBOARD',4,4,30),(2,'EDGESW',128,8,2),(3,'CORESW',64,64,2),(4,'FARMSW',8,64,2),
       (5,'FARMNODE',2,0,2),(6,'ECSSW',1,80,5),(7,'TFCSW',1,160,3);
insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, active,
                            nodeused, system_name)
select name, t, id, node, 0, 1, 1, sys from (
  select 'fe'||lpad(g::text,5,'0') as name, 1 t, g id, 1 node, 30 sys from generate_series(1,8000) g
  union all select 'edge'||lpad(g::text,3,'0'), 2, 10000+g, 0, 2 from generate_series(1,160) g
  union all select 'core'||lpad(g::text,2,'0'), 3, 11000+g, 0, 2 from generate_series(1,16) g
  union all select 'farmsw'||lpad(g::text,2,'0'), 4, 12000+g, 0, 2 from generate_series(1,64) g
  union all select 'farm'||lpad(g::text,4,'0'), 5, 13000+g, 1, 2 from generate_series(1,1600) g
  union all select 'ecssw'||lpad(g::text,3,'0'), 6, 15000+g, 0, 5 from generate_series(1,100) g
  union all select 'tfcsw'||lpad(g::text,2,'0'), 7, 16000+g, 0, 3 from generate_series(1,60) g) d;
drop table if exists gl;
create temp table gl(n serial, dfrom int, dto int, pfrom text, pto text, bidi int, sys int);
insert into gl(dfrom,dto,pfrom,pto,bidi,sys)
select g, 10000 + ((g-1)/100)*2 + k + 1, 'up'||k, 'in'||g, 0, 2
  from generate_series(1,8000) g, generate_series(0,1) k;
insert into gl(dfrom,dto,pfrom,pto,bidi,sys)
select 10000+e, 11000 + ((e-1) + 5*k) % 16 + 1, 'up'||k, 'in'||e, 0, 2
  from generate_series(1,160) e, generate_series(0,3) k;
insert into gl(dfrom,dto,pfrom,pto,bidi,sys)
select 11000+c, 12000 + ((c-1)%4)*16 + k + 1, 'out'||k, 'in'||c, 0, 2
  from generate_series(1,16) c, generate_series(0,15) k;
insert into gl(dfrom,dto,pfrom,pto,bidi,sys)
select 12000 + ((f-1)/50*2 + k) % 64 + 1, 13000+f, 'out'||f, 'in'||k, 0, 2
  from generate_series(1,1600) f, generate_series(0,1) k;
insert into gl(dfrom,dto,pfrom,pto,bidi,sys)
select 15000 + (g-1)/80 + 1, g, 'p'||g, 'ecs', 1, 5 from generate_series(1,8000) g;
insert into gl(dfrom,dto,pfrom,pto,bidi,sys)
select 16000 + (g-1)/134 + 1, g, 'p'||g, 'tfc', 0, 3 from generate_series(1,8000) g;
insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type)
select 2*n-1, dfrom, pfrom, 2, null from gl union all select 2*n, dto, pto, 1, 'eth' from gl;
insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type,
  bidirectional_link_used, link_weight, lkused, link_info, system_name)
select gl.n, 2*n-1, 2*n, case sys when 2 then 1 else 2 end, bidi,
  case b.node when 1 then a.node+b.node+1 else a.node+b.node end, 1,
  case when n%3=0 then null else 'cable '||n end, sys
from gl join vexa_lg_devices a on a.deviceid=gl.dfrom join vexa_lg_devices b on b.deviceid=gl.dto;
analyze vexa_lg_devices; analyze vexa_port_properties; analyze vexa_macroscopic_connectivity;
analyze vexa_lg_device_types; analyze vexa_subsystemList;
)SQL";

// A deep readout fabric (10,364 devices, 37,068 links, 1,048 of them
// unused spares), subsystems DAQ (2) and ECS (5), uplinks in both (10):
// - 8,000 front-end boards fe00001..., board g with 1 + g%4 one-way data
//   links (weight 1, DAQ) to its readout board and one bidirectional
//   control link from it (weight 2, ECS);
// - 1,000 readout boards rb0001..., each uplinked by two parallel
//   bidirectional links (weight 1) to each switch of one of 32 pairs of L1
//   switches l1sw01...; the two switches of a pair joined (bidirectional);
// - 8 pods of 4 pairs, every L1 switch of a pod one-way to the 3 L2
//   switches l2sw01... of the pod, every L2 switch one-way (weight 1) to
//   each of 4 core routers core1..core4, which form a bidirectional ring;
// - 24 racks of 50 servers srvRR-SS (device type RACKRR), each server
//   linked bidirectionally (weight 2) to both top-of-rack switches torRRa
//   and torRRb, and to the rack's management switch mgmtRR (ECS); core
//   routers 1 and 3 one-way to the a switch of every rack, 2 and 4 to b.
// A path from a board to a server runs board, readout board, L1 (one or
// two), L2, core routers (one to four), top-of-rack switch: 6 to 10 links.
inline const char* const kDeepFabric = R"SQL(
select ferrule_reset();
insert into vexa_subsystemList(system_name, systemID) values ('DAQ',2),('TFC',3),('ECS',5);
insert into vexa_link_types(linktypeID, link_name, link_nbr) values (1,'data',2),(2,'control',3);
insert into vexa_lg_device_types(devicetypeID, devicetype, nbrofinput, nbrofoutput, system_name)
select * from (values (1,'FEBOARD',1,5,10),(2,'READOUT',8,4,10),(3,'L1SWITCH',128,4,10),
                      (4,'L2SWITCH',8,4,2),(5,'CORE',8,30,10),(6,'TOR',2,50,10),(7,'MGMTSW',0,50,5)) t
union all select 100+r, 'RACK'||lpad(r::text,2,'0'), 3, 0, 2 from generate_series(1,24) r;
insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, active,
                            nodeused, system_name)
select name, t, id, 0, 0, 1, 1, sys from (
  select 'fe'||lpad(g::text,5,'0') as name, 1 t, g id, 10 sys from generate_series(1,8000) g
  union all select 'rb'||lpad(g::text,4,'0'), 2, 10000+g, 10 from generate_series(1,1000) g
  union all select 'l1sw'||lpad(g::text,2,'0'), 3, 12000+g, 10 from generate_series(1,64) g
  union all select 'l2sw'||lpad(g::text,2,'0'), 4, 12100+g, 2 from generate_series(1,24) g
  union all select 'core'||g, 5, 12200+g, 10 from generate_series(1,4) g
  union all select 'tor'||lpad(r::text,2,'0')||chr(97+k), 6, 13001+2*(r-1)+k, 10
    from generate_series(1,24) r, generate_series(0,1) k
  union all select 'mgmt'||lpad(r::text,2,'0'), 7, 13100+r, 5 from generate_series(1,24) r
  union all select 'srv'||lpad(r::text,2,'0')||'-'||lpad(s::text,2,'0'), 100+r, 20000+100*r+s, 2
    from generate_series(1,24) r, generate_series(1,50) s) d;
drop table if exists gl;
create temp table gl(n serial, dfrom int, dto int, bidi int, weight int, sys int, used int);
-- data links of the boards, then their control links
insert into gl(dfrom,dto,bidi,weight,sys,used)
select g, 10000 + (g-1)/8 + 1, 0, 1, 2, 1 from generate_series(1,8000) g, generate_series(0,3) k
 where k <= g%4;
insert into gl(dfrom,dto,bidi,weight,sys,used)
select 10000 + (g-1)/8 + 1, g, 1, 2, 5, 1 from generate_series(1,8000) g;
-- uplinks of the readout boards (two to each switch of the pair, one spare)
insert into gl(dfrom,dto,bidi,weight,sys,used)
select 10000+r, 12000 + 2*((r-1)%32) + 1 + least(k,1) - (k=2)::int, 1, 1, 10, (k<4)::int
  from generate_series(1,1000) r, generate_series(0,4) k;
-- the switches of a pair, L1 to L2 within a pod, L2 to every core router, the ring
insert into gl(dfrom,dto,bidi,weight,sys,used)
select 12000 + 2*p - 1, 12000 + 2*p, 1, 0, 10, 1 from generate_series(1,32) p;
insert into gl(dfrom,dto,bidi,weight,sys,used)
select 12000+l, 12100 + 3*((l-1)/8) + j, 0, 0, 10, 1
  from generate_series(1,64) l, generate_series(1,3) j;
insert into gl(dfrom,dto,bidi,weight,sys,used)
select 12100+s, 12200+c, 0, 1, 10, 1 from generate_series(1,24) s, generate_series(1,4) c;
insert into gl(dfrom,dto,bidi,weight,sys,used)
select 12200+c, 12200 + c%4 + 1, 1, 0, 10, 1 from generate_series(1,4) c;
-- core routers to the racks (and a spare uplink per top-of-rack switch)
insert into gl(dfrom,dto,bidi,weight,sys,used)
select 12200+c, 13001 + 2*(r-1) + (c-1)%2, 0, 0, 10, 1
  from generate_series(1,4) c, generate_series(1,24) r;
insert into gl(dfrom,dto,bidi,weight,sys,used)
select 13000+t, 12201 + t%4, 1, 0, 10, 0 from generate_series(1,48) t;
-- servers: dual-homed, and managed
insert into gl(dfrom,dto,bidi,weight,sys,used)
select 13001 + 2*(r-1) + k, 20000+100*r+s, 1, 2, 2, 1
  from generate_series(1,24) r, generate_series(0,1) k, generate_series(1,50) s;
insert into gl(dfrom,dto,bidi,weight,sys,used)
select 13100+r, 20000+100*r+s, 1, 2, 5, 1 from generate_series(1,24) r, generate_series(1,50) s;
insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type)
select 2*n-1, dfrom, 'out'||n, 2, null from gl
union all select 2*n, dto, 'in'||n, 1, case when n%2=0 then 'eth' end from gl;
insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type,
  bidirectional_link_used, link_weight, lkused, link_info, system_name)
select n, 2*n-1, 2*n, case sys when 5 then 2 else 1 end, bidi, weight, used,
  case when n%3=0 then null else 'cable '||n end, sys
from gl;
analyze vexa_lg_devices; analyze vexa_port_properties; analyze vexa_macroscopic_connectivity;
analyze vexa_lg_device_types; analyze vexa_subsystemList;
)SQL";

}  // namespace bench
