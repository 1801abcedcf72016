// Whole columns read as one value each. The loads of the path searches
// fetch a table's column as one aggregate: one value per column costs the
// server and the client layer far less than one row per link or port.
//
// Integers come as a text list, "1,2,3" (string_agg: numbers need no
// quoting); texts as the text form of an array, "{a,\"b c\",NULL}"
// (array_agg), in which an element in double quotes has its quotes and
// backslashes escaped with a backslash and an unquoted NULL is a null
// element. An aggregate over no rows is null, read as an empty text: no
// entries. The aggregates of one select see its rows in the same order, so
// the lists and arrays of one select are parallel.
#pragma once

#include <cstddef>
#include <iterator>
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
  // An empty text is an empty array.
  bool next(std::string_view& value, bool& is_null);
  bool failed() const { return failed_; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  std::string unescaped_;
  bool failed_ = false;
};

// Reads parallel columns: ids as a list, and per id one element of each
// array, handed to on_entry(id, values, nulls). False when a column is
// unreadable or they differ in length.
template <std::size_t Arrays, class OnEntry>
bool ReadParallel(std::string_view ids, const std::string_view (&arrays)[Arrays],
                  OnEntry&& on_entry) {
  std::vector<int> numbers;
  if (!ReadIntList(ids, numbers)) return false;
  std::vector<ArrayElements> elements(std::begin(arrays), std::end(arrays));
  std::string_view values[Arrays];
  bool nulls[Arrays];
  for (const int id : numbers) {
    for (std::size_t a = 0; a < Arrays; ++a)
      if (!elements[a].next(values[a], nulls[a])) return false;
    on_entry(id, values, nulls);
  }
  std::string_view rest;
  bool is_null = false;
  for (ArrayElements& e : elements)
    if (e.next(rest, is_null) || e.failed()) return false;
  return true;
}

}  // namespace ferrule
