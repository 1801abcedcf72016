// The engine of the inventory lists (histories, items by status): run a
// one-column query, gather every row as an item of a packed list (each
// item closed by its NUL), and deliver it under the length protocol.
#pragma once

#include <string>
#include <vector>

#include "inventory/text_query.h"

namespace ferrule {

struct ListCall {
  const char* appliName;
  std::string statement;  // the expanded query text
  std::vector<QueryKey> keys;
  QueryLabels labels;
  bool reports_end_of_rows;  // prints the fetch status that ended an empty list
};

// list receives the items and *length their total size (NULs included).
// No item: "NO_ROWS_SELECTED" (which needs 17 bytes), *length unchanged,
// result 0. The items, or the marker, do not fit *length bytes: *length
// receives the size needed, "BUFFER_TOO_SMALL", -1, list untouched. A
// database failure, the end of the rows included, leaves list untouched.
int RunPackedList(const ListCall& call, char* list, int* length, char* ErrMess);

// Rows come from the server this many at a time.
constexpr int kListPrefetchRows = 8000;

}  // namespace ferrule
