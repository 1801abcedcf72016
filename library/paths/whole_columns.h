// Whole columns read as a few values each. The loads of the path searches
// fetch a table's column as aggregates: one value per column costs the
// server and the client layer far less than one row per link or port. Yet
// a value the size of a whole column (a megabyte for 70,000 ports) costs
// the server more than the aggregate itself: it is copied several times on
// its way out, each time into fresh memory whose pages the system must
// first map. So a column is aggregated in chunks of the table's heap
// blocks (InBlockChunks), one row per chunk, each value a few dozen
// kilobytes in memory that the server reuses: on 10,000 devices that cuts
// the server's time for a load by about two fifths.
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

// "select <kind>,c.* from ..." : one row per chunk of kBlocksPerChunk heap
// blocks of table (a template field such as "%(devices)"), each the kind
// (an SQL expression) followed by select_list computed over the rows of
// the chunk that pass condition ("" or " and ..."); table's rows are
// named alias. A TID range scan reads the blocks of one chunk alone, and
// the chunks together read the table once: the blocks are counted when
// the statement runs, after its snapshot was taken, so every row the
// snapshot sees lies in one of them. An aggregate over a chunk without
// rows is null, which reads as an empty text.
constexpr int kBlocksPerChunk = 64;
std::string InBlockChunks(const std::string& kind, const std::string& select_list,
                          const std::string& table, const std::string& alias,
                          const std::string& condition);

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
