#include "paths/connectivity_load.h"

#include "paths/connectivity_statements.h"
#include "paths/whole_columns.h"
#include "report.h"

namespace ferrule {

namespace {

constexpr const char* kAppliName = "LoadConnectivityTable_InCache";
// A result that is not the columns the statement makes: nothing is loaded
// from it.
constexpr const char* kUnreadable = "UNREADABLE CONNECTIVITY ROWS";

// The subsystem sets of the devices as the statements list them, those that
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
  out = VersionRead{};
  return RunQuery(
      kAppliName, VersionStatement(filter), DeviceBinds(filter),
      {QueryColumn::Text, QueryColumn::Text, QueryColumn::Text},
      [&](const QueryRow& row) {
        out.stamp = row.value(0);
        out.own_writes = row.value(1) != "0";
        out.device_sets = row.value(2);
      },
      ErrMess);
}

int LoadConnectivity(const ConnectivityFilter& filter, TextLoad texts, Connectivity& out,
                     char* ErrMess) {
  const bool with_texts = texts == TextLoad::WithRows;
  ConnectivityBuilder builder(filter.by_devices() ? Reversal::Bidirectional : Reversal::Every);
  LoadRows rows(builder);
  const int result = RunQuery(
      kAppliName, LoadStatement(filter, with_texts), DeviceBinds(filter),
      std::vector<QueryColumn>(kLoadColumns, QueryColumn::Text),
      [&](const QueryRow& row) { rows.read(row); }, ErrMess);
  if (result != 0) return result;

  if (filter.by_devices()) builder.only_related_to(DeviceSets(rows.device_sets));
  bool readable = rows.readable;
  if (readable) builder.build(out.rows, out.texts);
  if (readable && with_texts) {
    std::vector<int> every(out.texts.size());
    for (std::size_t s = 0; s < every.size(); ++s) every[s] = static_cast<int>(s);
    readable = rows.texts.fill(every, out.texts);
    if (readable) PrintFirstTexts(out.texts);
  }
  if (!readable) {
    ReportFailure(kAppliName, kUnreadable, ErrMess);
    return -1;
  }
  out.index = Adjacency(out.rows);
  out.stamp = rows.stamp;
  out.own_writes = rows.own_writes;
  out.key = FilterKey(filter, rows.device_sets);
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

  std::string stamp;
  bool readable = true;
  TextsRead read;
  const int result = RunQuery(
      kAppliName, TextReadStatement(), {{":ports", port_ids.c_str()}, {":links", link_ids.c_str()}},
      std::vector<QueryColumn>(1 + kTextColumns, QueryColumn::Text),
      [&](const QueryRow& row) {
        stamp = row.value(kReadStamp);
        readable = read.read(row, kReadTexts);
      },
      ErrMess);
  if (result != 0) return result;
  if (!readable) {
    ReportFailure(kAppliName, kUnreadable, ErrMess);
    return -1;
  }
  // A link or port that is gone moved the version too.
  stale = stamp != connectivity.stamp || !read.fill(stored, connectivity.texts);
  return 0;
}

}  // namespace ferrule
