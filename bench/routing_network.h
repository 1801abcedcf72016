// The network of the routing benchmarks, written with plain SQL after
// emptying the database: 2 core switches, 50 edge switches each linked to
// both cores, 39 hosts per edge switch (nodes), every link bidirectional.
// Devices 1-2 "core1", "core2", 3-52 "edge1".."edge50", 53-2002
// "host1".."host1950"; port ids device*1000 + n. The edge switches' ports
// towards their hosts are numbered 1 to 39 (port_way 2), host h of edge e
// being device 52 + (e-1)*39 + h.
#pragma once

namespace bench {

inline const char* const kRoutingNetwork = R"SQL(
SELECT ferrule_reset();
INSERT INTO vexa_subsystemList VALUES ('DAQ', 2);
INSERT INTO vexa_lg_devices(devicename, devicetypeID, deviceid, node, system_name)
SELECT 'core'||g, 1, g, 0, 2 FROM generate_series(1,2) g
UNION ALL SELECT 'edge'||g, 1, 2+g, 0, 2 FROM generate_series(1,50) g
UNION ALL SELECT 'host'||g, 1, 52+g, 1, 2 FROM generate_series(1,1950) g;
INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way)
SELECT c*1000+i, c, i::text, 1 FROM generate_series(1,2) c, generate_series(1,50) i
UNION ALL SELECT (2+e)*1000+900+c, 2+e, 'up'||c, 2 FROM generate_series(1,50) e, generate_series(1,2) c
UNION ALL SELECT (2+e)*1000+h, 2+e, h::text, 2 FROM generate_series(1,50) e, generate_series(1,39) h
UNION ALL SELECT d*1000+1, d, '1', 1 FROM generate_series(53, 2002) d;
INSERT INTO vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type,
  bidirectional_link_used, link_weight, lkused, system_name)
SELECT nextval('vexa_macroconnseq'), (2+e)*1000+900+c, c*1000+e, 1, 1, 0, 1, 2
FROM generate_series(1,50) e, generate_series(1,2) c
UNION ALL
SELECT nextval('vexa_macroconnseq'), (2+e)*1000+h, (52+(e-1)*39+h)*1000+1, 1, 1, 2, 1, 2
FROM generate_series(1,50) e, generate_series(1,39) h;
)SQL";

}  // namespace bench
