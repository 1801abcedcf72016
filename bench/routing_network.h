// The network of the routing benchmarks, written with plain SQL after
// emptying the database: 2 core switches, `edges` edge switches each linked
// to both cores, 39 hosts per edge switch (nodes), every link bidirectional.
// Devices 1-2 "core1", "core2", then "edge1".."edge<edges>", then
// "host1".."host<39 * edges>"; port ids device*1000 + n. The edge switches'
// ports towards their hosts are numbered 1 to 39 (port_way 2), host h of
// edge e being device 2 + edges + (e-1)*39 + h. kRoutingNetwork has 50 edge
// switches: 2,002 devices, hosts from device 53 on.
#pragma once

#include <string>

namespace bench {

inline constexpr int kHostsPerEdge = 39;

inline std::string RoutingNetwork(int edges) {
  std::string sql = R"SQL(
SELECT ferrule_reset();
INSERT INTO vexa_subsystemList VALUES ('DAQ', 2);
INSERT INTO vexa_lg_devices(devicename, devicetypeID, deviceid, node, system_name)
SELECT 'core'||g, 1, g, 0, 2 FROM generate_series(1,2) g
UNION ALL SELECT 'edge'||g, 1, 2+g, 0, 2 FROM generate_series(1,@E) g
UNION ALL SELECT 'host'||g, 1, 2+@E+g, 1, 2 FROM generate_series(1,@E*39) g;
INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way)
SELECT c*1000+i, c, i::text, 1 FROM generate_series(1,2) c, generate_series(1,@E) i
UNION ALL SELECT (2+e)*1000+900+c, 2+e, 'up'||c, 2 FROM generate_series(1,@E) e, generate_series(1,2) c
UNION ALL SELECT (2+e)*1000+h, 2+e, h::text, 2 FROM generate_series(1,@E) e, generate_series(1,39) h
UNION ALL SELECT d*1000+1, d, '1', 1 FROM generate_series(3+@E, 2+@E*40) d;
INSERT INTO vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type,
  bidirectional_link_used, link_weight, lkused, system_name)
SELECT nextval('vexa_macroconnseq'), (2+e)*1000+900+c, c*1000+e, 1, 1, 0, 1, 2
FROM generate_series(1,@E) e, generate_series(1,2) c
UNION ALL
SELECT nextval('vexa_macroconnseq'), (2+e)*1000+h, (2+@E+(e-1)*39+h)*1000+1, 1, 1, 2, 1, 2
FROM generate_series(1,@E) e, generate_series(1,39) h;
)SQL";
  const std::string count = std::to_string(edges);
  for (auto at = sql.find("@E"); at != std::string::npos; at = sql.find("@E", at))
    sql.replace(at, 2, count);
  return sql;
}

inline const std::string kRoutingNetwork = RoutingNetwork(50);

}  // namespace bench
