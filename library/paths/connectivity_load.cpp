#include "paths/connectivity_load.h"

#include <algorithm>
#include <cstdio>

#include "paths/int_index.h"
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
// whole column of a table (whole_columns.h). Joining the links to their
// ports on the server costs more than sending the ports: the client joins
// them. Only ids and numbers: the texts of the links on the paths found
// are read afterwards, unless they are asked for with the rows.
constexpr const char* kPorts =
    "(select string_agg(portid::text,','),string_agg(deviceid::text,',') "
    "from %(port_properties)) p";
constexpr const char* kDevices =
    "(select string_agg(deviceid::text,','),array_agg(devicename) from %(devices)) d";
constexpr const char* kLinks =
    "(select string_agg(t.linkid::text,','),string_agg(t.portidfrom::text,','),"
    "string_agg(t.portidto::text,','),string_agg(coalesce(t.link_type,0)::text,','),"
    "string_agg(coalesce(t.bidirectional_link_used,0)::text,','),"
    "string_agg(coalesce(t.link_weight,0)::text,','),"
    "string_agg(coalesce(t.system_name,0)::text,',') "
    "from %(macro_connectivity) t where t.lkused=1";

// The texts of ports and links: the same five columns whether they come
// with the rows or afterwards for chosen ports and links.
constexpr const char* kPortTexts =
    "(select string_agg(portid::text,','),array_agg(port_nbr),array_agg(port_type) "
    "from %(port_properties)";
constexpr const char* kLinkTexts =
    "(select string_agg(t.linkid::text,','),array_agg(t.link_info) "
    "from %(macro_connectivity) t where ";

enum LoadColumn {
  kStampColumn, kDeviceSetsColumn, kOwnWritesColumn,
  kPortIds, kPortDevices, kDeviceIds, kDeviceNames,
  kLinkIds, kLinkPortsFrom, kLinkPortsTo, kLinkTypes, kLinkBidirectional, kLinkWeights,
  kLinkSets,
  kLoadTexts,  // the text columns, when loaded with the rows
  kLoadColumns = kLoadTexts,
};
enum TextColumnOffset { kTextPortIds, kTextPortNbrs, kTextPortTypes, kTextLinkIds, kTextLinkInfos,
                        kTextColumns };
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

// An aggregate over no rows is null: no value.
std::string_view ListOf(const QueryRow& row, std::size_t column) {
  return row.is_null(column) ? std::string_view() : std::string_view(row.text(column));
}
std::string_view ArrayOf(const QueryRow& row, std::size_t column) {
  return row.is_null(column) ? std::string_view("{}") : std::string_view(row.text(column));
}

// A value as cached: up to its first '?'.
std::string_view CutAtMark(std::string_view text) {
  return text.substr(0, text.find('?'));
}

// Reads the parallel lists of one select: ids as a list, and per id one
// element of each array, handed to on_entry(id, values, nulls). False when
// a list or array is unreadable or they differ in length.
template <std::size_t Arrays, class OnEntry>
bool ReadParallel(std::string_view ids, const std::string_view (&arrays)[Arrays],
                  OnEntry&& on_entry) {
  std::vector<int> numbers;
  if (!ReadIntList(ids, numbers)) return false;
  std::vector<ArrayElements> elements;
  for (const std::string_view array : arrays) elements.emplace_back(array);
  std::string_view values[Arrays];
  bool nulls[Arrays];
  for (const int id : numbers) {
    for (std::size_t a = 0; a < Arrays; ++a)
      if (!elements[a].next(values[a], nulls[a])) return false;
    on_entry(id, values, nulls);
  }
  std::string_view rest;
  bool is_null = false;
  for (ArrayElements& e : elements)
    if (e.next(rest, is_null) || e.failed()) return false;
  return true;
}

// The ports, devices and links of a load.
bool ReadTables(const QueryRow& row, ConnectivityBuilder& builder) {
  std::vector<int> port_ids, port_devices;
  if (!ReadIntList(ListOf(row, kPortIds), port_ids) ||
      !ReadIntList(ListOf(row, kPortDevices), port_devices) ||
      port_ids.size() != port_devices.size())
    return false;
  builder.reserve(port_ids.size());
  for (std::size_t i = 0; i < port_ids.size(); ++i) builder.add_port(port_ids[i], port_devices[i]);

  constexpr std::size_t kLinkLists = kLinkSets - kLinkIds + 1;
  std::vector<int> links[kLinkLists];
  for (std::size_t c = 0; c < kLinkLists; ++c) {
    if (!ReadIntList(ListOf(row, kLinkIds + c), links[c]) || links[c].size() != links[0].size())
      return false;
  }
  for (std::size_t i = 0; i < links[0].size(); ++i)
    builder.add_link({links[0][i], links[1][i], links[2][i], links[3][i], links[4][i],
                      links[5][i], links[6][i]});

  const std::string_view names[] = {ArrayOf(row, kDeviceNames)};
  return ReadParallel(ListOf(row, kDeviceIds), names,
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

// Texts read by port and by link, each as the outputs show it.
struct ReadTexts {
  IntIndex port_entry, info_entry;  // portid, linkid -> entry below
  TextColumn port, info;
};

// The five text columns from column first: "port_nbr|port_type" with the
// type "none" when it has none, and link_info, "none" when it has none (the
// database this library was made for stores an empty text as NULL).
bool ReadTextColumns(const QueryRow& row, std::size_t first, ReadTexts& out) {
  std::string port;
  const std::string_view port_texts[] = {ArrayOf(row, first + kTextPortNbrs),
                                         ArrayOf(row, first + kTextPortTypes)};
  const std::string_view link_infos[] = {ArrayOf(row, first + kTextLinkInfos)};
  return ReadParallel(ListOf(row, first + kTextPortIds), port_texts,
                      [&](int portid, const std::string_view* value, const bool* is_null) {
                        port.assign(is_null[0] ? std::string_view() : value[0]);
                        port += '|';
                        port += is_null[1] || value[1].empty() ? "none" : value[1];
                        out.port_entry.add(portid, static_cast<int>(out.port.size()));
                        out.port.push(CutAtMark(port));
                      }) &&
         ReadParallel(ListOf(row, first + kTextLinkIds), link_infos,
                      [&](int linkid, const std::string_view* value, const bool* is_null) {
                        out.info_entry.add(linkid, static_cast<int>(out.info.size()));
                        out.info.push(CutAtMark(is_null[0] || value[0].empty() ? "none" : value[0]));
                      });
}

// Gives the stored links their texts; false, with nothing written, when
// one of them was not read.
bool FillTexts(const ReadTexts& read, const std::vector<int>& stored, LinkTexts& texts) {
  struct Found {
    int from, to, info;
  };
  std::vector<Found> found(stored.size());
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const int s = stored[i];
    if (!read.port_entry.find(texts.port_from[s], found[i].from) ||
        !read.port_entry.find(texts.port_to[s], found[i].to) ||
        !read.info_entry.find(texts.linkid[s], found[i].info))
      return false;
  }
  for (std::size_t i = 0; i < stored.size(); ++i)
    texts.add(stored[i], read.port.view(found[i].from), read.port.view(found[i].to),
              read.info.view(found[i].info));
  return true;
}

// The lines a load prints for its first links when it reads their texts.
void PrintFirstTexts(const LinkTexts& texts) {
  std::size_t longest_info = 0;
  for (std::size_t s = 0; s < texts.size() && s < 5; ++s) {
    longest_info = std::max(longest_info, texts.info(s).size() + 1);
    std::printf("max_lkinfo_len =%zu\n", longest_info);
    if (s == 0) {
      std::printf("before copy line by line port_nbrfrom=%s\n", texts.from(s).data());
      std::printf("after copy line by line lkinfo_temp=%s\n", texts.info(s).data());
    }
  }
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
                    kOwnWrites + ",p.*,d.*,l.*" + (with_texts ? ",pt.*,lt.*" : "") + " from " +
                    kPorts + "," + kDevices + "," + kLinks + LinkCondition(filter) + ") l";
  if (with_texts)
    sql += std::string(",") + kPortTexts + ") pt," + kLinkTexts + "t.lkused=1) lt";

  ConnectivityBuilder builder(filter.by_devices() ? Reversal::Bidirectional : Reversal::Every);
  std::string stamp, device_sets;
  bool own_writes = true, readable = true;
  ReadTexts read;
  const std::vector<QueryColumn> columns(kLoadColumns + (with_texts ? kTextColumns : 0),
                                         QueryColumn::Text);
  const int result = RunQuery(
      kAppliName, Expand(sql), DeviceBinds(filter), columns,
      [&](const QueryRow& row) {
        stamp = TextOf(row, kStampColumn);
        device_sets = TextOf(row, kDeviceSetsColumn);
        own_writes = row.text(kOwnWritesColumn)[0] != '0';
        readable = ReadTables(row, builder) &&
                   (!with_texts || ReadTextColumns(row, kLoadTexts, read));
      },
      ErrMess);
  if (result != 0) return result;

  if (filter.by_devices()) builder.only_related_to(DeviceSets(device_sets));
  if (readable) builder.build(out.rows, out.texts);
  if (readable && with_texts) {
    std::vector<int> every(out.texts.size());
    for (std::size_t s = 0; s < every.size(); ++s) every[s] = static_cast<int>(s);
    readable = FillTexts(read, every, out.texts);
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
  const std::string sql = Expand(std::string("select ") + kStamp + ",pt.*,lt.* from " +
                                 kPortTexts + " where portid=any(cast(:ports as int[]))) pt," +
                                 kLinkTexts + "t.linkid=any(cast(:links as int[]))) lt");

  std::string stamp;
  bool readable = true;
  ReadTexts read;
  const int result = RunQuery(
      kAppliName, sql, {{":ports", port_ids.c_str()}, {":links", link_ids.c_str()}},
      std::vector<QueryColumn>(1 + kTextColumns, QueryColumn::Text),
      [&](const QueryRow& row) {
        stamp = TextOf(row, kReadStamp);
        readable = ReadTextColumns(row, kReadTexts, read);
      },
      ErrMess);
  if (result != 0) return result;
  if (!readable) {
    SetErrMess(kAppliName, kUnreadable, ErrMess, 1);
    return -1;
  }
  // A link or port that is gone moved the version too.
  stale = stamp != connectivity.stamp || !FillTexts(read, stored, connectivity.texts);
  return 0;
}

}  // namespace ferrule
