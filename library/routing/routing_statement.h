// Steps that the routing, destination and micro-path exports share: binds
// by name, the row prefetch, text columns defined at the size the database
// reports for them (so that no value is cut), and the packed lists that
// gather one column's values, each with its NUL.
#pragma once

#include <string>
#include <vector>

#include "oci.h"
#include "step_chain.h"

namespace ferrule::routing {

// A text bound by name as a NUL-terminated string; a null text binds NULL.
sword BindText(OCIStmt* stmt, OCIError* errhp, const char* placeholder, const char* value);

// A 4-byte integer bound by name; the block may write it back.
sword BindInt(OCIStmt* stmt, OCIError* errhp, const char* placeholder, int* value);

sword SetPrefetch(OCIStmt* stmt, OCIError* errhp, int rows);

// A text column of a query: describe() reads its size, define() gives it a
// buffer of that size plus one, value() is the fetched text without the '?'
// that the statements close every text column with (closing_mark.h).
class TextColumn {
 public:
  explicit TextColumn(int position) : position_(position) {}
  // Describes the column; a fixed size (when above 0) is used instead.
  sword describe(OCIStmt* stmt, OCIError* errhp, int fixed_size = 0);
  // False when the buffer cannot be allocated.
  bool allocate();
  sword define(OCIStmt* stmt, OCIError* errhp);
  std::string value() const;

 private:
  int position_;
  int size_ = 0;
  std::vector<char> buffer_;
  sb2 indicator_ = 0;
  OCIDefine* define_ = nullptr;
};

sword DefineInt(OCIStmt* stmt, OCIError* errhp, int position, int* value);

// The items of one output list, each followed by its NUL.
struct PackedList {
  std::string bytes;
  std::string last;  // the last item, without its NUL

  void add(const std::string& item) {
    bytes += item;
    bytes.push_back('\0');
    last = item;
  }
  int total() const { return static_cast<int>(bytes.size()); }
};

// Fetches the next row: true for a row (0 or 1, success with information).
bool FetchRow(OCIStmt* stmt, OCIError* errhp, int* status);

// Copies text with its NUL into a buffer of capacity bytes when it fits;
// returns whether it did. A capacity below 1 never fits.
bool CopyIfFits(const char* text, char* out, int capacity);

}  // namespace ferrule::routing
