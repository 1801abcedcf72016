// The path queries of the path benchmark: the library's four exports with
// room for any answer, and the same answer computed by a recursive query
// in PostgreSQL over the same links, both as one text per path, sorted.
#pragma once

#include <libpq-fe.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ferrule.h"

namespace bench {

// Every path of the search rules, each as "nfrom,pfrom,nto,pto;" per link:
// the links of the subsystems related to the source's, reversed when
// bidirectional; a path completes at a target, dies on a later link of
// weight 2, and has at most 11 links with no device twice.
inline std::string RecursiveQuery(bool by_type) {
  const std::string targets =
      by_type ? "devicetypeID = (select devicetypeID from vexa_lg_device_types "
                "where devicetype = $2)"
              : "devicename = $2";
  return R"SQL(
with recursive
l as (
  select g.deviceid a, f.deviceid b,
         m.devicename || ',' || concat(g.port_nbr,'|',coalesce(g.port_type,'none')) ae,
         n.devicename || ',' || concat(f.port_nbr,'|',coalesce(f.port_type,'none')) be,
         t.link_weight w, t.bidirectional_link_used bi
  from vexa_macroscopic_connectivity t
  join vexa_port_properties g on g.portid = t.portidfrom
  join vexa_port_properties f on f.portid = t.portidto
  join vexa_lg_devices m on m.deviceid = g.deviceid
  join vexa_lg_devices n on n.deviceid = f.deviceid
  where t.lkused = 1 and exists (
    select 1 from vexa_lg_devices d where d.devicename in ($1, 'none')
    and (vexa_mod(d.system_name, t.system_name) = 0 or vexa_mod(t.system_name, d.system_name) = 0))),
tgt as (select deviceid from vexa_lg_devices where )SQL" +
         targets + R"SQL(),
e as (
  select a f, b t, ae || ',' || be || ';' txt, w, b in (select deviceid from tgt) tt from l
  union all
  select b, a, be || ',' || ae || ';', case w when 1 then 2 when 2 then 1 else 0 end,
         a in (select deviceid from tgt) from l where bi = 1),
p as (
  select e.t last, array[e.f, e.t] nodes, e.txt, case when e.tt then 1 else 0 end st, 1 n
  from e where e.f = (select deviceid from vexa_lg_devices where devicename = $1)
  union all
  select e.t, p.nodes || e.t, p.txt || e.txt,
         case when e.tt then 1 when e.w = 2 then -1 else 0 end, p.n + 1
  from p join e on e.f = p.last
  where p.st = 0 and p.n < 11 and e.t <> all(p.nodes))
select txt from p where st = 1
)SQL";
}

inline std::vector<std::string> Recursive(PGconn* c, const std::string& sql, const char* from,
                                          const char* to) {
  const char* params[] = {from, to};
  PGresult* r = PQexecParams(c, sql.c_str(), 2, nullptr, params, nullptr, nullptr, 0);
  std::vector<std::string> paths;
  if (PQresultStatus(r) != PGRES_TUPLES_OK) {
    std::fprintf(stderr, "recursive query: %s\n", PQerrorMessage(c));
  } else {
    for (int i = 0; i < PQntuples(r); ++i) paths.emplace_back(PQgetvalue(r, i, 0));
  }
  PQclear(r);
  std::sort(paths.begin(), paths.end());
  return paths;
}

inline std::vector<std::string> Items(const std::vector<char>& packed, int total) {
  std::vector<std::string> items;
  for (int at = 0; at < total;) {
    items.emplace_back(packed.data() + at);
    at += static_cast<int>(items.back().size()) + 1;
  }
  return items;
}

// Room for the outputs of one query, and its paths in the recursive
// query's form.
struct Outputs {
  static constexpr int kRoom = 1 << 20;
  std::vector<char> nfrom, nto, pfrom, pto, lkinfo;
  std::vector<int> way_a, way_b, pathid, link_pos;
  int len[6];  // len_array, len_pfrom, len_nfrom, len_pto, len_nto, len_lkinfo
  Outputs()
      : nfrom(kRoom), nto(kRoom), pfrom(kRoom), pto(kRoom), lkinfo(kRoom), way_a(kRoom / 8),
        way_b(kRoom / 8), pathid(kRoom / 8), link_pos(kRoom / 8) {}
  void reset() {
    len[0] = kRoom / 8;
    for (int i = 1; i < 6; ++i) len[i] = kRoom;
  }
  std::vector<std::string> paths() const {
    const auto nf = Items(nfrom, len[2]), nt = Items(nto, len[4]), pf = Items(pfrom, len[1]),
               pt = Items(pto, len[3]);
    std::vector<std::string> out;
    for (int i = 0; i < len[0]; ++i) {
      if (link_pos[i] == 1) out.emplace_back();
      out.back() += nf[i] + "," + pf[i] + "," + nt[i] + "," + pt[i] + ";";
    }
    std::sort(out.begin(), out.end());
    return out;
  }
};

// The four exports.
enum class Export { Connectivity, Detailed, DetailedType, PortsOnly };

inline const char* ExportName(Export e) {
  switch (e) {
    case Export::Connectivity: return "GetConnectivityBetweenDevices";
    case Export::Detailed: return "GetDetailedConnectivityBetweenDevices";
    case Export::DetailedType: return "GetDetailedConnBetweenDeviceDevType";
    default: return "GetConnOutBetweenDeviceDeviceType";
  }
}

// One call of an export into o (reset first); PortsOnly fills only
// o.pfrom and o.len[1].
inline int CallExport(Export e, const char* from, const char* to, bool by_type, Outputs& o,
                      char* err) {
  o.reset();
  const int type_given = by_type ? 1 : 0;
  switch (e) {
    case Export::Connectivity:
      return GetConnectivityBetweenDevices(from, to, &o.len[0], &o.len[1], &o.len[2], &o.len[3],
                                           &o.len[4], &o.len[5], o.nfrom.data(), o.nto.data(),
                                           o.pfrom.data(), o.way_a.data(), o.pto.data(),
                                           o.way_b.data(), o.pathid.data(), o.link_pos.data(),
                                           o.lkinfo.data(), err);
    case Export::Detailed:
      return GetDetailedConnectivityBetweenDevices(
          from, to, o.nfrom.data(), &o.len[0], &o.len[2], &o.len[1], &o.len[4], &o.len[3],
          &o.len[5], o.pfrom.data(), o.pto.data(), o.way_a.data(), o.way_b.data(), o.nto.data(),
          o.pathid.data(), o.link_pos.data(), o.lkinfo.data(), err);
    case Export::DetailedType:
      return GetDetailedConnBetweenDeviceDevType(
          from, to, type_given, o.nfrom.data(), o.pfrom.data(), o.pto.data(), &o.len[0],
          &o.len[2], &o.len[1], &o.len[4], &o.len[3], &o.len[5], o.way_a.data(), o.way_b.data(),
          o.nto.data(), o.pathid.data(), o.link_pos.data(), o.lkinfo.data(), err);
    default:
      return GetConnOutBetweenDeviceDeviceType(from, to, type_given, &o.len[1], o.pfrom.data(),
                                               err);
  }
}

}  // namespace bench
