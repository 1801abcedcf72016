// Whole columns read as one value each. The loads of the path searches
// fetch a table's column as one aggregate: one value per column costs the
// server and the client layer far less than one row per link or port.
//
// An integer column comes as a text list, "1,2,3" (string_agg: its numbers
// need no quoting); a text column as the text form of an array,
// "{a,\"b c\",NULL}" (array_agg), in which an element in double quotes has
// its quotes and backslashes escaped with a backslash and an unquoted NULL
// is a null element. The aggregates of one select see its rows in the same
// order, so the lists of one select are parallel.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ferrule {

// Appends the numbers of a list; false when it is not a list of ints.
bool ReadIntList(std::string_view text, std::vector<int>& out);

// The elements of an array's text form, in order, whatever the nesting.
class ArrayElements {
 public:
  explicit ArrayElements(std::string_view text) : text_(text) {}

  // The next element: false at the end of the array, or when the text is
  // not an array (then failed() is true). value lives until the next call.
  bool next(std::string_view& value, bool& is_null);
  bool failed() const { return failed_; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::string unescaped_;
  bool failed_ = false;
};

}  // namespace ferrule
