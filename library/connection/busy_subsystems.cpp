// Which subsystems have active devices: the names of the subsystems that
// have devices, as a packed list, and beside them the highest active flag
// of each one's devices. Read from the database's subsystem list, not from
// the table loaded at connection.
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "ferrule.h"
#include "lookup_query.h"
#include "reasons.h"
#include "report.h"
#include "session.h"
#include "statement_text.h"

namespace ferrule {
namespace {

constexpr const char* kAppliName = "GetBusySubsystems";
constexpr const char* kInvalidList = "INVALID SYSTEMLIST";
// The active array holds one element per subsystem the library can load.
constexpr int kMostSubsystems = kSubsystemSlots - 1;

// A device belongs to a subsystem when its subsystem set is a multiple of the
// subsystem's prime.
constexpr const char* kAllSubsystems =
    "select t.system_name||'|',max(e.active) from %(subsystem_list) t,%(devices) e "
    "where  vexa_mod(e.system_name,t.systemid)=0  group by t.system_name ";
constexpr const char* kNamedSubsystems =
    "select t.system_name||'|',max(e.active) from %(subsystem_list) t,%(devices) e "
    "where  vexa_mod(e.system_name,t.systemid)=0 and t.system_name in (%(names)) "
    "group by t.system_name ";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The names of a selection written as an SQL list of quoted names:
// 'DAQ','TFC' (a quote inside a name doubled, blanks around the items
// allowed). False for anything else: the selection is bound name by name,
// never placed into the statement.
bool parse_selection(const char* text, std::vector<std::string>& names) {
  const char* p = text;
  for (;;) {
    while (is_blank(*p)) ++p;
    if (*p++ != '\'') return false;
    std::string name;
    for (;; ++p) {
      if (*p == '\0') return false;
      if (*p == '\'') {
        if (p[1] != '\'') break;
        ++p;
      }
      name += *p;
    }
    ++p;  // the closing quote
    names.push_back(std::move(name));
    while (is_blank(*p)) ++p;
    if (*p == '\0') return true;
    if (*p++ != ',') return false;
  }
}

struct BusySubsystem {
  std::string name;
  int active;
};

int answer(const char* reason, char* ErrMess) {
  ReportFailure(kAppliName, reason, ErrMess);
  return -1;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetBusySubsystems(int* len_array, const char* systemnames, char* names,
                                 int* /*unused*/, int* active, char* ErrMess) {
  if (!systemnames) return answer("systemnames MUST be given", ErrMess);
  PrintLine(" entering fct %s", systemnames);
  const bool all = std::strncmp(systemnames, "ALL", 3) == 0;
  std::vector<std::string> selected;
  if (std::strchr(systemnames, ';') || (!all && !parse_selection(systemnames, selected)))
    return answer(kInvalidList, ErrMess);
  if (!len_array || !names || !active) return answer(reason::kBufferTooSmall, ErrMess);

  LookupQuery query(kAppliName, ErrMess);
  if (!query.open("OCIStmtHAndleAlloc unsuccessful")) return -1;
  std::vector<KeyBind> keys;
  std::vector<std::string> placeholders(selected.size());
  std::string list;
  for (std::size_t i = 0; i < selected.size(); ++i) {
    placeholders[i] = ":sys" + std::to_string(i);
    list += (i ? "," : "") + placeholders[i];
    keys.push_back(KeyBind::Text(placeholders[i].c_str(), selected[i].c_str(), nullptr));
  }
  const std::string text =
      all ? ExpandTemplate(kAllSubsystems) : ExpandTemplate(kNamedSubsystems, {{"names", list}});
  query.run(text, keys, 100);
  PrintLine("selectdevID=%s", text.c_str());
  if (!query.define({TextColumn(), IntColumn()})) return query.finish();

  std::vector<BusySubsystem> rows;
  std::string gathered;
  try {
    while (query.fetch()) {
      rows.push_back({query.text(0, '|'), query.number(1)});
      gathered += rows.back().name;
      gathered += '\0';
    }
  } catch (const std::bad_alloc&) {
    query.answer(reason::kReallocUnsuccessful);
    return query.finish();
  }
  if (!query.ok()) return query.finish();

  if (rows.empty()) {
    query.answer_no_rows_text({NoRowsForm::Hybrid, "OCIFETCH unsuccessful"}, names, len_array);
    return query.finish();
  }
  // More subsystems than the active array is documented to hold.
  if (static_cast<int>(rows.size()) > kMostSubsystems) {
    query.answer(reason::kBufferTooSmall);
    return query.finish();
  }
  for (std::size_t i = 0; i < rows.size(); ++i) active[i] = rows[i].active;
  const int size = static_cast<int>(gathered.size());
  if (*len_array < size) {
    *len_array = size;
    query.answer(reason::kBufferTooSmall);
    return query.finish();
  }
  std::memcpy(names, gathered.data(), gathered.size());
  *len_array = size;
  return query.finish();
}
