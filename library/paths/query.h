// One select through the client layer, for the path searches and the
// whole-table loads: text binds by name, a row prefetch, each column
// defined as a 4-byte integer or as a text whose buffer holds the longest
// value the column describes, and the rows handed to the caller one by one.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "oci.h"

namespace ferrule {

struct QueryBind {
  const char* placeholder;
  const char* value;  // null binds NULL
};

enum class QueryColumn { Int, Text };

// The current row of a query: column i (from 0) as defined.
class QueryRow {
 public:
  struct Cell {
    std::vector<char> text;
    int number = 0;
    sb2 indicator = 0;
    OCIDefine* define = nullptr;
  };
  explicit QueryRow(std::vector<Cell>& cells) : cells_(cells) {}
  int number(std::size_t i) const { return cells_[i].number; }
  const char* text(std::size_t i) const { return cells_[i].text.data(); }
  // The text of a text column; empty for NULL.
  std::string_view value(std::size_t i) const {
    return is_null(i) ? std::string_view() : std::string_view(text(i));
  }
  bool is_null(std::size_t i) const { return cells_[i].indicator == -1; }
  int indicator(std::size_t i) const { return cells_[i].indicator; }

 private:
  std::vector<Cell>& cells_;
};

// Runs sql and calls on_row for each row, in the server's order. Returns 0
// when every row was fetched. Otherwise the result code of the first failing
// step (-1 for a missing connection), with "ERROR in <appliName> : <reason>"
// in ErrMess; a row that cannot be fetched is such a failure, so a caller
// never takes part of the rows for all of them.
int RunQuery(const char* appliName, const std::string& sql, const std::vector<QueryBind>& binds,
             const std::vector<QueryColumn>& columns,
             const std::function<void(const QueryRow&)>& on_row, char* ErrMess);

}  // namespace ferrule
