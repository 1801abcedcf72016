#include "paths/connectivity_load.h"

#include "paths/link_texts.h"
#include "paths/query.h"
#include "paths/whole_columns.h"
#include "report.h"
#include "statement_text.h"

namespace ferrule {

namespace {

constexpr const char* kAppliName = "LoadConnectivityTable_InCache";
constexpr const char* kVersionTable = "vexa_connectivity_version";
// A result that is not the columns the statement makes: nothing is loaded
// from it.
constexpr const char* kUnreadable = "UNREADABLE CONNECTIVITY ROWS";

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

// One statement, so one snapshot, and one row in which each column is a
// whole table or column (whole_columns.h). Joining the links to their
// ports on the server costs more than sending the ports: the client joins
// them. Only ids and numbers: the texts of the links on the paths found
// are read afterwards, unless they are asked for with the rows.
//
// The numbers of a port or a link go as one entry of a list ("portid,
// deviceid,portid,deviceid,..."): one text per row costs the server less
// than one per value. concat_ws skips nulls, so none may be null.
constexpr const char* kPorts =
    "(select string_agg(concat_ws(',',portid,deviceid),',') from %(port_properties)) p";
constexpr const char* kDevices =
    "(select string_agg(deviceid::text,','),array_agg(devicename) from %(devices)) d";
constexpr const char* kLinks =
    "(select string_agg(concat_ws(',',t.linkid,t.portidfrom,t.portidto,coalesce(t.link_type,0),"
    "coalesce(t.bidirectional_link_used,0),coalesce(t.link_weight,0),"
    "coalesce(t.system_name,0)),',') "
    "from %(macro_connectivity) t where t.lkused=1";
// Numbers of one entry.
constexpr std::size_t kPortFields = 2;  // portid, deviceid
constexpr std::size_t kLinkFields = 7;  // linkid, ports from and to, type, bidirectional, weight, set

enum LoadColumn {
  kStampColumn, kDeviceSetsColumn, kOwnWritesColumn,
  kPortsColumn, kDeviceIdsColumn, kDeviceNamesColumn, kLinksColumn,
  kLoadTexts,  // the text columns, when loaded with the rows
  kLoadColumns = kLoadTexts,
};
enum TextReadColumn { kReadStamp, kReadTexts };

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

std::vector<QueryBind> DeviceBinds(const ConnectivityFilter& filter) {
  if (!filter.by_devices()) return {};
  return {{":dfrom", filter.dfrom}, {":dto", filter.dto}};
}

std::string Expand(const std::string& tmpl) {
  return ExpandTemplate(tmpl.c_str(), {{"connectivity_version", kVersionTable}});
}

std::string TextOf(const QueryRow& row, std::size_t column) {
  return row.is_null(column) ? "" : row.text(column);
}

// The ports, devices and links of a load.
bool ReadTables(const QueryRow& row, ConnectivityBuilder& builder) {
  std::vector<int> ports, links;
  if (!ReadIntList(row.value(kPortsColumn), ports) || ports.size() % kPortFields != 0 ||
      !ReadIntList(row.value(kLinksColumn), links) || links.size() % kLinkFields != 0)
    return false;
  builder.reserve(ports.size() / kPortFields);
  for (std::size_t i = 0; i < ports.size(); i += kPortFields) builder.add_port(ports[i], ports[i + 1]);
  for (const int* l = links.data(); l != links.data() + links.size(); l += kLinkFields)
    builder.add_link({l[0], l[1], l[2], l[3], l[4], l[5], l[6]});

  const std::string_view names[] = {row.value(kDeviceNamesColumn)};
  return ReadParallel(row.value(kDeviceIdsColumn), names,
                      [&](int deviceid, const std::string_view* name, const bool* is_null) {
                        builder.add_device(deviceid, CutAtMark(is_null[0] ? "" : name[0]));
                      });
}

// The subsystem sets of the devices as kDeviceSets lists them, those that
// have one.
std::vector<int> DeviceSets(std::string_view listed) {
  std::vector<int> sets;
  while (!listed.empty()) {
    const std::size_t comma = listed.find(',');
    ReadIntList(listed.substr(0, comma), sets);  // "null" is no number: skipped
    listed = comma == std::string_view::npos ? std::string_view() : listed.substr(comma + 1);
  }
  return sets;
}

// "{1,2,3}"
std::string IntArrayText(const std::vector<int>& values) {
  std::string text = "{";
  for (const int v : values) {
    if (text.size() > 1) text += ',';
    text += std::to_string(v);
  }
  return text + '}';
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
        out.stamp = TextOf(row, 0);
        out.own_writes = row.text(1)[0] != '0';
        out.device_sets = row.text(2);
      },
      ErrMess);
}

int LoadConnectivity(const ConnectivityFilter& filter, TextLoad texts, Connectivity& out,
                     char* ErrMess) {
  const bool with_texts = texts == TextLoad::WithRows;
  std::string sql = std::string("select ") + kStamp + "," + DeviceSetsColumn(filter) + "," +
                    kOwnWrites + ",p.*,d.*,l.*";
  if (with_texts) sql += std::string(",") + kTextColumnList;
  sql += std::string(" from ") + kPorts + "," + kDevices + "," + kLinks + LinkCondition(filter) +
         ") l";
  if (with_texts) sql += "," + TextFromList("", " where lkused=1");

  ConnectivityBuilder builder(filter.by_devices() ? Reversal::Bidirectional : Reversal::Every);
  std::string stamp, device_sets;
  bool own_writes = true, readable = true;
  TextsRead read;
  const std::vector<QueryColumn> columns(kLoadColumns + (with_texts ? kTextColumns : 0),
                                         QueryColumn::Text);
  const int result = RunQuery(
      kAppliName, Expand(sql), DeviceBinds(filter), columns,
      [&](const QueryRow& row) {
        stamp = TextOf(row, kStampColumn);
        device_sets = TextOf(row, kDeviceSetsColumn);
        own_writes = row.text(kOwnWritesColumn)[0] != '0';
        readable = ReadTables(row, builder) &&
                   (!with_texts || read.read(row, kLoadTexts));
      },
      ErrMess);
  if (result != 0) return result;

  if (filter.by_devices()) builder.only_related_to(DeviceSets(device_sets));
  if (readable) builder.build(out.rows, out.texts);
  if (readable && with_texts) {
    std::vector<int> every(out.texts.size());
    for (std::size_t s = 0; s < every.size(); ++s) every[s] = static_cast<int>(s);
    readable = read.fill(every, out.texts);
    if (readable) PrintFirstTexts(out.texts);
  }
  if (!readable) {
    SetErrMess(kAppliName, kUnreadable, ErrMess, 1);
    return -1;
  }
  out.index = Adjacency(out.rows);
  out.stamp = stamp;
  out.own_writes = own_writes;
  out.key = FilterKey(filter, device_sets);
  return 0;
}

int ReadLinkTexts(const Connectivity& connectivity, const std::vector<int>& stored, bool& stale,
                  char* ErrMess) {
  stale = false;
  if (stored.empty()) return 0;
  if (connectivity.stamp.empty()) {
    stale = true;
    return 0;
  }
  const LinkTexts& texts = connectivity.texts;
  std::vector<int> ports, links;
  for (const int s : stored) {
    ports.push_back(texts.port_from[s]);
    ports.push_back(texts.port_to[s]);
    links.push_back(texts.linkid[s]);
  }
  const std::string port_ids = IntArrayText(ports), link_ids = IntArrayText(links);
  const std::string sql =
      Expand(std::string("select ") + kStamp + "," + kTextColumnList + " from " +
             TextFromList(" where portid=any(cast(:ports as int[]))",
                          " where linkid=any(cast(:links as int[]))"));

  std::string stamp;
  bool readable = true;
  TextsRead read;
  const int result = RunQuery(
      kAppliName, sql, {{":ports", port_ids.c_str()}, {":links", link_ids.c_str()}},
      std::vector<QueryColumn>(1 + kTextColumns, QueryColumn::Text),
      [&](const QueryRow& row) {
        stamp = TextOf(row, kReadStamp);
        readable = read.read(row, kReadTexts);
      },
      ErrMess);
  if (result != 0) return result;
  if (!readable) {
    SetErrMess(kAppliName, kUnreadable, ErrMess, 1);
    return -1;
  }
  // A link or port that is gone moved the version too.
  stale = stamp != connectivity.stamp || !read.fill(stored, connectivity.texts);
  return 0;
}

}  // namespace ferrule
