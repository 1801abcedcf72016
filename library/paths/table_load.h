// The engine of the whole-table loads: one select per call, limited to the
// caller's subsystems, whose integer columns go to growing arrays and whose
// text columns go to growing packed texts (each value without the marker
// that the select closes every text column with, stored with its NUL).
// Each export then tests and copies its outputs by its own rules.
#pragma once

#include <string>
#include <vector>

#include "paths/query.h"

namespace ferrule {

struct TableLoad {
  const char* appliName;
  const char* select;  // template: select ... from ... t
  const char* where;   // fixed condition, or null
  // Table whose subsystem sets the filter tests (system_name of t), or null
  // when the load has no subsystem filter.
  const char* filtered_table;
  std::vector<QueryColumn> columns;
  char marker;            // closes every text column of the select
  bool check_indicators;  // a NULL text is "NULL", a cut one "ERROR_BUFFER_TOOSMALL"
  const char* no_rows_trace;
  bool trace_counts;      // prints the row count and the result
};

struct LoadedTable {
  std::vector<std::vector<int>> numbers;  // per integer column, in column order
  std::vector<std::string> texts;         // per text column, in column order
  int rows = 0;
};

// Runs the load. 0 with the rows (maybe none); otherwise the failing step's
// result with "ERROR in <appliName> : <reason>" in ErrMess.
int RunTableLoad(const TableLoad& load, const char* systemnameList, LoadedTable& out,
                 char* ErrMess);

// An output's need against its capacity, as every export tests it: the
// capacity is read as a signed int, and below 1 it holds nothing.
inline bool Fits(long long need, int capacity, bool strict) {
  return strict ? need < capacity : need <= capacity;
}

// The need as the int written back.
int NeedAsInt(std::size_t need);

}  // namespace ferrule
