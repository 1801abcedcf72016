#include "paths/connectivity_load.h"

#include <algorithm>
#include <cstdio>

#include "paths/query.h"
#include "statement_text.h"

namespace ferrule {

namespace {

constexpr const char* kAppliName = "LoadConnectivityTable_InCache";
constexpr const char* kVersionTable = "vexa_connectivity_version";

// The version stamp; null when the database holds no version row.
constexpr const char* kStamp =
    "(select database_id||':'||version from %(connectivity_version))";

// Whether this session holds writes it has not committed: the version
// cannot show them yet.
constexpr const char* kOwnWrites =
    "case when txid_current_if_assigned() is null then '0' else '1' end";

// The subsystem sets of the devices named :dfrom and :dto, in one text.
constexpr const char* kDeviceSets =
    "(select coalesce(string_agg(coalesce(system_name::text,'null'),',' order by system_name),'') "
    "from %(devices) where devicename in (:dfrom,:dto))";

// One statement, so one snapshot, with three kinds of rows: each used link
// of the filter in its stored direction with its two ports (the reversed
// rows are made from it in memory), each device with its name, and one row
// with the version and the device sets. Names come once per device rather
// than once per link end: joining the devices to every link costs the
// server more than the whole rest of the statement.
constexpr const char* kLinkRows =
    "select 0,t.linkid,g.deviceid,f.deviceid,coalesce(t.link_type,0),"
    "coalesce(t.bidirectional_link_used,0),coalesce(t.link_weight,0),"
    "g.port_nbr,g.port_type,f.port_nbr,f.port_type,t.link_info "
    "from %(macro_connectivity) t "
    "join %(port_properties) g on g.portid=t.portidfrom "
    "join %(port_properties) f on f.portid=t.portidto "
    "where t.lkused=1";
constexpr const char* kDeviceRows =
    " union all select 1,deviceid,null,null,null,null,null,devicename,null,null,null,null "
    "from %(devices)";
constexpr const char* kVersionRow = " union all select 2,null,null,null,null,null,null,";

// Only used links are loaded.
constexpr int kUsed = 1;

enum RowKind { kLinkRow = 0, kDeviceRow = 1, kVersionRowKind = 2 };

enum LoadColumn {
  kKind, kId, kNodeFrom, kNodeTo, kLinkType, kBidirectional, kLinkWeight,
  kPortNbrFrom, kPortTypeFrom, kPortNbrTo, kPortTypeTo, kLinkInfo,
  // The device and version rows use the first text columns for their own.
  kDeviceName = kPortNbrFrom,
  kStampText = kPortNbrFrom,
  kDeviceSetsText = kPortTypeFrom,
  kOwnWritesText = kPortNbrTo,
};

const std::vector<QueryColumn> kLoadColumnKinds{
    QueryColumn::Int,  QueryColumn::Int,  QueryColumn::Int,  QueryColumn::Int,
    QueryColumn::Int,  QueryColumn::Int,  QueryColumn::Int,  QueryColumn::Text,
    QueryColumn::Text, QueryColumn::Text, QueryColumn::Text, QueryColumn::Text};

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
std::string_view CutAtMark(std::string_view text) {
  return text.substr(0, text.find('?'));
}

// A text column that is NULL or empty: the database this library was made
// for stores an empty text as NULL.
bool IsNone(const QueryRow& row, std::size_t column) {
  return row.is_null(column) || row.text(column)[0] == '\0';
}

// "port_nbr|port_type", the type "none" when it has none.
void PortText(const QueryRow& row, std::size_t nbr, std::size_t type, std::string& out) {
  out.assign(row.is_null(nbr) ? "" : row.text(nbr));
  out += '|';
  out += IsNone(row, type) ? "none" : row.text(type);
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
  const std::string sql = Expand(std::string("select ") + kStamp + "," + kOwnWrites + "," +
                                 DeviceSetsColumn(filter));
  out = VersionRead{};
  return RunQuery(
      kAppliName, sql, DeviceBinds(filter),
      {QueryColumn::Text, QueryColumn::Text, QueryColumn::Text},
      [&](const QueryRow& row) {
        out.stamp = row.is_null(0) ? "" : row.text(0);
        out.own_writes = row.text(1)[0] != '0';
        out.device_sets = row.text(2);
      },
      ErrMess);
}

int LoadConnectivity(const ConnectivityFilter& filter, Connectivity& out, char* ErrMess) {
  const std::string sql = Expand(kLinkRows + LinkCondition(filter) + kDeviceRows + kVersionRow +
                                 kStamp + "," + DeviceSetsColumn(filter) + "," + kOwnWrites +
                                 ",null,null");
  ConnectivityBuilder builder(filter.by_devices() ? Reversal::Bidirectional : Reversal::Every);
  std::string stamp, device_sets, port_from, port_to;
  bool own_writes = true;
  std::size_t longest_info = 0;
  const int result = RunQuery(
      kAppliName, sql, DeviceBinds(filter), kLoadColumnKinds,
      [&](const QueryRow& row) {
        switch (row.number(kKind)) {
          case kDeviceRow:
            builder.add_device(row.number(kId), CutAtMark(row.text(kDeviceName)));
            return;
          case kVersionRowKind:
            stamp = row.is_null(kStampText) ? "" : row.text(kStampText);
            device_sets = row.text(kDeviceSetsText);
            own_writes = row.text(kOwnWritesText)[0] != '0';
            return;
          default:
            break;
        }
        PortText(row, kPortNbrFrom, kPortTypeFrom, port_from);
        PortText(row, kPortNbrTo, kPortTypeTo, port_to);
        const StoredLink link{row.number(kId),          row.number(kNodeFrom),
                              row.number(kNodeTo),      row.number(kLinkType),
                              row.number(kBidirectional), kUsed,
                              row.number(kLinkWeight),  CutAtMark(port_from),
                              CutAtMark(port_to),
                              CutAtMark(IsNone(row, kLinkInfo) ? "none" : row.text(kLinkInfo))};
        const std::size_t n = builder.link_count();
        if (n < 5) {
          longest_info = std::max(longest_info, link.link_info.size() + 1);
          std::printf("max_lkinfo_len =%zu\n", longest_info);
        }
        if (n == 0) {
          std::printf("before copy line by line port_nbrfrom=%.*s\n",
                      static_cast<int>(link.port_from.size()), link.port_from.data());
          std::printf("after copy line by line lkinfo_temp=%.*s\n",
                      static_cast<int>(link.link_info.size()), link.link_info.data());
        }
        builder.add_link(link);
      },
      ErrMess);
  if (result != 0) return result;
  out.rows = builder.build();
  out.index = Adjacency(out.rows);
  out.stamp = stamp;
  out.own_writes = own_writes;
  out.key = FilterKey(filter, device_sets);
  return 0;
}

}  // namespace ferrule
