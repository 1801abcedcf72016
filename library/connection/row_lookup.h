// The one engine behind every single-row lookup: a table of per-export data
// (statement, key binds, columns, row format, names) drives the common steps
// of allocating, binding, executing, describing, defining, fetching and
// writing one row of text under the length protocol. A lookup may read a
// second statement when the first finds no row.
#pragma once

#include <vector>

#include "lookup_keys.h"
#include "lookup_query.h"
#include "reasons.h"

namespace ferrule {

// The length protocol of a row: the capacity must hold the row, its NUL and
// `extra` bytes more (some rows ask for more than they write).
struct RowLength {
  const char* too_small_reason = reason::kBufferTooSmall;
  int extra = 0;
};

struct RowLookupSpec {
  const char* appliName;
  const char* final_appliName;        // name of a closing failure form (null: appliName)
  const char* statement;              // template (statement_text.h)
  std::vector<LookupColumn> columns;  // select-list order
  const char* format;                 // one %s or %d per field
  NoRowsForm no_rows = NoRowsForm::Common;
  char mark = '?';  // closes every text column not made with UnmarkedTextColumn()
  // What only some lookups need; their data sets these by name.
  const char* fetch_label = "OCIFETCH unsuccessful";  // traced no-rows forms
  FailedFetch failed_fetch = FailedFetch::EndsRows;
  const char* no_rows_text = reason::kNoRowsSelected;  // the row when nothing matched
  const StepLabels* steps = nullptr;           // null: the lookups' labels
  std::vector<int> fields = {};               // select positions (from 1) in format order;
                                              // empty: select order
  const RowLookupSpec* fallback = nullptr;    // statement, columns, format and fields read
                                              // when this statement finds no row
  RowLength length = {};
  const char* final_success_name = nullptr;   // name of the closing success form
  const char* prepare_trace = nullptr;        // printed before the statement text, once run
  const char* row_trace = nullptr;            // printed when a row is fetched
};

int RunRowLookup(const RowLookupSpec& spec, const std::vector<KeyBind>& keys, int* length,
                 char* row, char* ErrMess);

}  // namespace ferrule
