#include "paths/connectivity_statements.h"

#include "paths/whole_columns.h"
#include "statement_text.h"

namespace ferrule {

namespace {

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

// What a load reads. Joining the links to their ports on the server costs
// more than sending the ports: the client joins them. Only ids and
// numbers: the texts of the links on the paths found are read afterwards,
// unless they are asked for with the rows.
//
// The numbers of a port or a link go as one entry of a list ("portid,
// deviceid,portid,deviceid,..."): one text per row costs the server less
// than one per value. concat_ws skips nulls, so none may be null.
constexpr const char* kPortList = "string_agg(concat_ws(',',p.portid,p.deviceid),',')";
constexpr const char* kDeviceLists = "string_agg(d.deviceid::text,','),array_agg(d.devicename)::text";
constexpr const char* kLinkList =
    "string_agg(concat_ws(',',t.linkid,t.portidfrom,t.portidto,coalesce(t.link_type,0),"
    "coalesce(t.bidirectional_link_used,0),coalesce(t.link_weight,0),"
    "coalesce(t.system_name,0)),',')";
// Numbers of one entry.
constexpr std::size_t kPortFields = 2;  // portid, deviceid
constexpr std::size_t kLinkFields = 7;  // linkid, ports from and to, type, bidirectional, weight, set

// The rows of a load: the kind, then up to three texts.
enum LoadRowKind : char {
  kVersionRow = 'v',    // stamp, devices' subsystem sets, own writes
  kSizesRow = 'n',      // kSizes
  kPortsRow = 'p',      // kPortList
  kDevicesRow = 'd',    // kDeviceLists
  kLinksRow = 'l',      // kLinkList
  kPortTextsRow = 'q',  // kPortTexts (link_texts.h), when loaded with the rows
  kLinkInfosRow = 'i',  // kLinkInfos, likewise
};

// The numbers of ports and of links as the statistics of the tables
// estimate them (-1 before the first analysis): room made for them at once
// spares the builder growing its tables, each growth a copy into memory
// that must be mapped first. The chunks read the true numbers.
constexpr const char* kSizes =
    "(select greatest(reltuples,0)::bigint::text from pg_class "
    "where oid='%(port_properties)'::regclass),"
    "(select greatest(reltuples,0)::bigint::text from pg_class "
    "where oid='%(macro_connectivity)'::regclass),null";
enum VersionColumn { kStampColumn = 1, kDeviceSetsColumn, kOwnWritesColumn };

std::string DeviceSetsColumn(const ConnectivityFilter& filter) {
  return filter.by_devices() ? kDeviceSets : "''";
}

// By devices, the subsystem sets of the links are tested here, against the
// sets of the devices read by the same statement: the server would read
// the links twice to test their distinct sets. A link without a set is
// related to nothing.
std::string LinkCondition(const ConnectivityFilter& filter) {
  if (filter.by_devices()) return " and t.system_name is not null";
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

std::string Expand(const std::string& tmpl) {
  return ExpandTemplate(tmpl.c_str(), {{"connectivity_version", kVersionTable}});
}

// select_list of columns columns, padded with nulls to the load's width.
std::string Padded(const std::string& select_list, std::size_t columns) {
  std::string padded = select_list;
  for (std::size_t c = columns; c + 1 < kLoadColumns; ++c) padded += ",null";
  return padded;
}

// An estimate as a count, 0 when it is none (or absurd).
std::size_t Estimate(std::string_view text) {
  std::vector<int> number;
  return ReadIntList(text, number) && number.size() == 1 && number[0] > 0
             ? static_cast<std::size_t>(number[0])
             : 0;
}

}  // namespace

std::vector<QueryBind> DeviceBinds(const ConnectivityFilter& filter) {
  if (!filter.by_devices()) return {};
  return {{":dfrom", filter.dfrom}, {":dto", filter.dto}};
}

std::string VersionStatement(const ConnectivityFilter& filter) {
  return Expand(std::string("select ") + kStamp + "," + kOwnWrites + "," +
                DeviceSetsColumn(filter));
}

std::string LoadStatement(const ConnectivityFilter& filter, bool with_texts) {
  auto chunks = [](char kind, const std::string& select_list, const char* table,
                   const char* alias, const std::string& condition) {
    return " union all " + InBlockChunks(std::string("'") + kind + "'", select_list, table, alias,
                                         condition);
  };
  std::string sql = std::string("select '") + static_cast<char>(kVersionRow) + "'::text," +
                    kStamp + "," + DeviceSetsColumn(filter) + "," + kOwnWrites;
  sql += std::string(" union all select '") + static_cast<char>(kSizesRow) + "'," + kSizes;
  sql += chunks(kPortsRow, Padded(kPortList, 1), "%(port_properties)", "p", "");
  sql += chunks(kDevicesRow, Padded(kDeviceLists, 2), "%(devices)", "d", "");
  sql += chunks(kLinksRow, Padded(kLinkList, 1), "%(macro_connectivity)", "t",
                " and t.lkused=1" + LinkCondition(filter));
  if (with_texts) {
    sql += chunks(kPortTextsRow, Padded(kPortTexts, kPortTextColumns), "%(port_properties)",
                  "x", "");
    sql += chunks(kLinkInfosRow, Padded(kLinkInfos, kLinkInfoColumns), "%(macro_connectivity)",
                  "x", " and x.lkused=1");
  }
  return Expand(sql);
}

std::string TextReadStatement() {
  return Expand(std::string("select ") + kStamp + "," + kTextColumnList + " from " +
                TextFromList(" where portid=any(cast(:ports as int[]))",
                             " where linkid=any(cast(:links as int[]))"));
}

template <class OnEntry>
bool LoadRows::read_entries(std::string_view list, std::size_t fields, OnEntry&& on_entry) {
  numbers_.clear();
  if (!ReadIntList(list, numbers_) || numbers_.size() % fields != 0) return false;
  for (std::size_t i = 0; i < numbers_.size(); i += fields) on_entry(numbers_.data() + i);
  return true;
}

bool LoadRows::read_devices(const QueryRow& row) {
  const std::string_view names[] = {row.value(2)};
  return ReadParallel(row.value(1), names,
                      [&](int deviceid, const std::string_view* name, const bool* is_null) {
                        builder_.add_device(deviceid, is_null[0] ? "" : name[0]);
                      });
}

void LoadRows::read(const QueryRow& row) {
  const std::string_view kind = row.value(0);
  switch (kind.size() == 1 ? kind[0] : '\0') {
    case kVersionRow:
      stamp = row.value(kStampColumn);
      device_sets = row.value(kDeviceSetsColumn);
      own_writes = row.value(kOwnWritesColumn) != "0";
      break;
    case kSizesRow:
      builder_.reserve(Estimate(row.value(1)), Estimate(row.value(2)));
      break;
    case kPortsRow:
      readable = readable && read_entries(row.value(1), kPortFields, [&](const int* p) {
                   builder_.add_port(p[0], p[1]);
                 });
      break;
    case kDevicesRow:
      readable = readable && read_devices(row);
      break;
    case kLinksRow:
      readable = readable && read_entries(row.value(1), kLinkFields, [&](const int* l) {
                   builder_.add_link({l[0], l[1], l[2], l[3], l[4], l[5], l[6]});
                 });
      break;
    case kPortTextsRow:
      readable = readable && texts.read_ports(row, 1);
      break;
    case kLinkInfosRow:
      readable = readable && texts.read_infos(row, 1);
      break;
    default:
      readable = false;
  }
}

}  // namespace ferrule
