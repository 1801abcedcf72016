// The one engine behind every single-row lookup: a table of per-export data
// (statement, key binds, columns, row format, names) drives the common steps
// of allocating, binding, executing, describing, defining, fetching and
// writing one row of text under the length protocol.
#pragma once

#include <vector>

#include "oci.h"

namespace ferrule {

enum class ColumnKind {
  Text,          // fetched as text, cut at the separator
  Int,           // fetched as a 32-bit integer, printed with %d
  SubsystemSet,  // fetched as an integer, printed as subsystem names
};

struct LookupColumn {
  ColumnKind kind;
  bool floor50 = false;               // define buffer at least 50 + 1 bytes
  const char* size_trace = nullptr;   // prints "<label><size>" after describe
};

// How a lookup answers when the fetch brings no row.
enum class NoRowsForm {
  Common,    // "NO_ROWS_SELECTED" as the reason, result 0
  Reported,  // fetch status as result code, the database's text as reason
};

struct RowLookupSpec {
  const char* appliName;
  const char* final_appliName;      // name of a closing failure form (null: appliName)
  const char* statement;            // template (statement_text.h)
  std::vector<LookupColumn> columns;  // select-list order = field order
  const char* format;               // one %s or %d per column
  NoRowsForm no_rows = NoRowsForm::Common;
  char separator = '?';
};

// A key bound by name: a text (with the reason given when it is null) or an
// integer.
struct KeyBind {
  const char* placeholder;
  const char* text = nullptr;
  int number = 0;
  bool is_text = false;
  const char* missing_reason = nullptr;

  static KeyBind Text(const char* placeholder, const char* value, const char* missing) {
    return KeyBind{placeholder, value, 0, true, missing};
  }
  static KeyBind Int(const char* placeholder, int value) {
    return KeyBind{placeholder, nullptr, value, false, nullptr};
  }
};

int RunRowLookup(const RowLookupSpec& spec, const std::vector<KeyBind>& keys, int* length,
                 char* row, char* ErrMess);

}  // namespace ferrule
