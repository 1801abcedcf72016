#include "subsystems.h"

#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "reasons.h"
#include "session.h"

namespace ferrule {

namespace {

// Index of the table entry named exactly like the token, or -1. Table
// names have at most kSubsystemNameMax characters, so a token matches only
// when it has no more; a longer one is not looked for.
int find_entry(const std::string& token) {
  const SubsystemTable& table = subsystem_table();
  if (token.empty() || token.size() > static_cast<std::size_t>(kSubsystemNameBytes)) return -1;
  for (int i = 0; i < table.count && i < kSubsystemSlots; ++i)
    if (token == table.names[i]) return i;
  return -1;
}

// The one reader of a list: its names, split at its commas. False when a
// name is empty (a leading or trailing comma, two commas in a row): such a
// list is refused by every reader, where a walk that skipped the empty
// name, or ended at a trailing comma, would read a set the caller did not
// write. An empty text has no names and is no list with an empty name.
bool names_of(const char* names, std::vector<std::string>& tokens) {
  tokens.clear();
  if (!*names) return true;
  for (const char* p = names;; ++p) {
    const char* comma = std::strchr(p, ',');
    const char* end = comma ? comma : p + std::strlen(p);
    if (end == p) return false;
    tokens.emplace_back(p, end);
    if (!comma) return true;
    p = comma;
  }
}

bool write_text(const std::string& text, char* out, std::size_t size) {
  if (!out || text.size() + 1 > size) return false;
  std::memcpy(out, text.c_str(), text.size() + 1);
  return true;
}

// The product of the ids of the names, each subsystem once however often it
// is named. After each name a product still 1 ends the walk with -1: so an
// unknown first name gives -1.
SelectedSet selected_set(const char* names) {
  std::vector<std::string> tokens;
  if (!names) return {};
  if (!names_of(names, tokens)) return {-1, false, true};
  std::array<bool, kSubsystemSlots> counted{};
  std::int64_t product = 1;
  for (const std::string& token : tokens) {
    const int entry = find_entry(token);
    if (entry >= 0 && !counted[entry]) {
      counted[entry] = true;
      product *= subsystem_table().ids[entry];
      if (product > INT_MAX || product < INT_MIN) return {-1, true};
    }
    if (product == 1) return {};
  }
  return {static_cast<int>(product), false};
}

}  // namespace

StoredSet SystemNamesToStoredSet(const char* names) {
  std::vector<std::string> tokens;
  if (!names || !*names || !names_of(names, tokens)) return {};
  // Every name first, so that a list with an unknown name is refused as
  // such whatever the size of the rest.
  std::array<bool, kSubsystemSlots> named{};
  for (const std::string& token : tokens) {
    const int entry = find_entry(token);
    if (entry < 0) return {};
    named[entry] = true;
  }
  std::int64_t product = 1;
  for (int i = 0; i < kSubsystemSlots; ++i) {
    if (!named[i]) continue;
    product *= subsystem_table().ids[i];
    if (product > kLargestStoredSet || product < INT_MIN) return {-1, StoredSetFault::TooLarge};
  }
  return {static_cast<int>(product), StoredSetFault::None};
}

int SystemNamesToStoredSysID(const char* names) { return SystemNamesToStoredSet(names).value; }

const char* StoredSetRefusal(const StoredSet& set, const char* no_set) {
  switch (set.fault) {
    case StoredSetFault::None: return nullptr;
    case StoredSetFault::NoSet: return no_set;
    case StoredSetFault::TooLarge: return reason::kSubsystemSetTooLarge;
  }
  return no_set;
}

SelectedSet SystemNamesToSelectedSet(const char* names) { return selected_set(names); }

int SystemNamesToSysID(const char* names) { return selected_set(names).value; }

int SystemNamesToSysIDList(const char* names, char* out, std::size_t size) {
  std::vector<std::string> tokens;
  if (!names || !names_of(names, tokens)) return -1;
  std::string list;
  for (const std::string& token : tokens) {
    int entry = find_entry(token);
    if (entry < 0) continue;
    if (!list.empty()) list += ',';
    list += std::to_string(subsystem_table().ids[entry]);
  }
  if (list.empty()) return 0;
  return write_text(list, out, size) ? 0 : -1;
}

int SysIDToSystemNames(int value, char* out, std::size_t size) {
  if (value == -1) return write_text("none", out, size) ? 0 : -1;
  const SubsystemTable& table = subsystem_table();
  std::string text;
  for (int i = 0; i < table.count && i < kSubsystemSlots; ++i) {
    int id = table.ids[i];
    if (id == 0 || value % id != 0) continue;
    if (!text.empty()) text += ',';
    text += table.names[i];
  }
  if (!text.empty() && write_text(text, out, size)) return 0;
  write_text("ERROR_INVALID_SYSID", out, size);
  return -1;
}

int StatusCodeToName(int code, char* out, std::size_t size) {
  static const char* const kWords[] = {"IN_USE",   "SPARE",     "TEST",     "EXT_TEST",
                                       "IN_REPAIR", "DESTROYED", "NONE"};
  if (code >= 1 && code <= 7) return write_text(kWords[code - 1], out, size) ? 0 : -1;
  write_text("INVALID", out, size);
  return -1;
}

}  // namespace ferrule
