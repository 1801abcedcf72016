#include "paths/connectivity_load.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "paths/query.h"
#include "statement_text.h"

namespace ferrule {

namespace {

constexpr const char* kAppliName = "LoadConnectivityTable_InCache";
constexpr const char* kVersionTable = "vexa_connectivity_version";

// The version stamp; null when the database holds no version row.
constexpr const char* kStamp =
    "(select database_id||':'||version from %(connectivity_version))";

// The subsystem sets of the devices named :dfrom and :dto, in one text.
constexpr const char* kDeviceSets =
    "(select coalesce(string_agg(coalesce(system_name::text,'null'),',' order by system_name),'') "
    "from %(devices) where devicename in (:dfrom,:dto))";

// One row per used link of the filter, in its stored direction; the reversed
// rows are made from it in memory. The version and the device sets are
// read by the same statement, so they belong to the same snapshot.
constexpr const char* kLoadColumns =
    "select t.linkid,g.deviceid,f.deviceid,"
    "concat(g.port_nbr,'|',coalesce(g.port_type,'none')),"
    "concat(f.port_nbr,'|',coalesce(f.port_type,'none')),"
    "coalesce(t.link_type,0),coalesce(t.bidirectional_link_used,0),t.lkused,"
    "coalesce(t.link_weight,0),m.devicename,n.devicename,coalesce(t.link_info,'none'),";
constexpr const char* kLoadFrom =
    " from %(macro_connectivity) t "
    "join %(port_properties) g on g.portid=t.portidfrom "
    "join %(port_properties) f on f.portid=t.portidto "
    "join %(devices) m on m.deviceid=g.deviceid "
    "join %(devices) n on n.deviceid=f.deviceid "
    "where t.lkused=1";

enum LoadColumn {
  kLinkid, kNodeFrom, kNodeTo, kPortFrom, kPortTo, kLinkType, kBidirectional, kLkused,
  kLinkWeight, kNameFrom, kNameTo, kLinkInfo, kStampColumn, kDeviceSetsColumn,
};

const std::vector<QueryColumn> kLoadColumnKinds{
    QueryColumn::Int,  QueryColumn::Int,  QueryColumn::Int,  QueryColumn::Text,
    QueryColumn::Text, QueryColumn::Int,  QueryColumn::Int,  QueryColumn::Int,
    QueryColumn::Int,  QueryColumn::Text, QueryColumn::Text, QueryColumn::Text,
    QueryColumn::Text, QueryColumn::Text};

std::string DeviceSetsColumn(const ConnectivityFilter& filter) {
  return filter.by_devices() ? kDeviceSets : "''";
}

std::string LinkCondition(const ConnectivityFilter& filter) {
  if (filter.by_devices())
    return " and " + DeviceSetCondition("t.system_name", "%(macro_connectivity)");
  switch (filter.subsystems.form) {
    case FilterForm::All:
      return "";
    case FilterForm::One:
    case FilterForm::List:
      return " and " + SubsystemCondition(filter.subsystems, SetRelation::Related,
                                          "t.system_name", "%(macro_connectivity)");
    default:
      return " and false";
  }
}

std::vector<QueryBind> DeviceBinds(const ConnectivityFilter& filter) {
  if (!filter.by_devices()) return {};
  return {{":dfrom", filter.dfrom}, {":dto", filter.dto}};
}

std::string Expand(const std::string& tmpl) {
  return ExpandTemplate(tmpl.c_str(), {{"connectivity_version", kVersionTable}});
}

// A value as cached: up to its first '?'.
std::string_view CutAtMark(const char* text) {
  const char* mark = std::strchr(text, '?');
  return mark ? std::string_view(text, static_cast<std::size_t>(mark - text))
              : std::string_view(text);
}

}  // namespace

std::string FilterKey(const ConnectivityFilter& filter, const std::string& device_sets) {
  if (filter.by_devices()) return "devices:" + device_sets;
  switch (filter.subsystems.form) {
    case FilterForm::All:
      return "subsystems:ALL";
    case FilterForm::One:
      return "subsystems:" + std::to_string(filter.subsystems.set);
    case FilterForm::List:
      return "subsystems:in " + filter.subsystems.ids;
    default:
      return "subsystems:none";
  }
}

int ReadConnectivityVersion(const ConnectivityFilter& filter, VersionRead& out, char* ErrMess) {
  const std::string sql =
      Expand(std::string("select ") + kStamp +
             ",case when txid_current_if_assigned() is null then 0 else 1 end," +
             DeviceSetsColumn(filter));
  out = VersionRead{};
  return RunQuery(
      kAppliName, sql, DeviceBinds(filter),
      {QueryColumn::Text, QueryColumn::Int, QueryColumn::Text},
      [&](const QueryRow& row) {
        out.stamp = row.is_null(0) ? "" : row.text(0);
        out.own_writes = row.number(1) != 0;
        out.device_sets = row.text(2);
      },
      ErrMess);
}

int LoadConnectivity(const ConnectivityFilter& filter, Connectivity& out, char* ErrMess) {
  const std::string sql = Expand(kLoadColumns + std::string(kStamp) + "," +
                                 DeviceSetsColumn(filter) + kLoadFrom + LinkCondition(filter));
  ConnectivityBuilder builder(filter.by_devices() ? Reversal::Bidirectional : Reversal::Every);
  std::string stamp, device_sets;
  std::size_t longest_info = 0;
  const int result = RunQuery(
      kAppliName, sql, DeviceBinds(filter), kLoadColumnKinds,
      [&](const QueryRow& row) {
        StoredLink link{row.number(kLinkid),         row.number(kNodeFrom),
                        row.number(kNodeTo),         row.number(kLinkType),
                        row.number(kBidirectional),  row.number(kLkused),
                        row.number(kLinkWeight),     CutAtMark(row.text(kPortFrom)),
                        CutAtMark(row.text(kPortTo)), CutAtMark(row.text(kNameFrom)),
                        CutAtMark(row.text(kNameTo)), CutAtMark(row.text(kLinkInfo))};
        const std::size_t n = builder.link_count();
        if (n < 5) {
          longest_info = std::max(longest_info, link.link_info.size() + 1);
          std::printf("max_lkinfo_len =%zu\n", longest_info);
        }
        if (n == 0) {
          stamp = row.is_null(kStampColumn) ? "" : row.text(kStampColumn);
          device_sets = row.text(kDeviceSetsColumn);
          std::printf("before copy line by line port_nbrfrom=%.*s\n",
                      static_cast<int>(link.port_from.size()), link.port_from.data());
          std::printf("after copy line by line lkinfo_temp=%.*s\n",
                      static_cast<int>(link.link_info.size()), link.link_info.data());
        }
        builder.add(link);
      },
      ErrMess);
  if (result != 0) return result;
  out.rows = builder.build();
  out.index = Adjacency(out.rows);
  out.stamp = stamp;
  out.key = FilterKey(filter, device_sets);
  out.stored_links = builder.link_count();
  return 0;
}

}  // namespace ferrule
