// A query with one text column, read row by row. The statements append a
// '?' to the column, so that a value is never NULL and its end is known:
// each value is cut at its first '?'. The last-mounted lookups and the
// history and status lists read their rows through it.
#pragma once

#include <string>
#include <vector>

#include "oci.h"
#include "step_chain.h"

namespace ferrule {

// A key bound by name: a text, or an integer when text is null.
struct QueryKey {
  const char* placeholder;
  const char* text;
  int number;
  const char* label;  // diagnostic context when the bind fails

  static QueryKey Text(const char* placeholder, const char* value, const char* label) {
    return {placeholder, value, 0, label};
  }
  static QueryKey Int(const char* placeholder, int value, const char* label) {
    return {placeholder, nullptr, value, label};
  }
};

// Diagnostic contexts of the steps, as each family prints them.
struct QueryLabels {
  const char* prefetch;
  const char* define;
};

class TextColumnQuery {
 public:
  TextColumnQuery(OCIStmt* stmt, StepChain& chain) : stmt_(stmt), chain_(chain) {}

  // Prepares, binds the keys, sets the prefetch (none for 0), executes,
  // and defines column 1 with the size the database describes. Every step
  // runs on the chain.
  void Run(const std::string& text, const std::vector<QueryKey>& keys, int prefetch_rows,
           const QueryLabels& labels);

  // False when the define buffer could not be allocated (the chain then
  // holds the failure).
  bool allocated() const { return allocated_; }

  // The next row: OCI_SUCCESS with the value cut at its first '?', or the
  // fetch status (OCI_NO_DATA after the last row).
  sword Next(std::string& value);

 private:
  OCIStmt* stmt_;
  StepChain& chain_;
  std::vector<int> numbers_;  // integer keys, alive until the execution
  std::vector<char> buffer_;
  bool allocated_ = true;
};

}  // namespace ferrule
