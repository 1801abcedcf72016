// The wrappers of library functions that fill several outputs at once (the
// path queries, the paths inside a board, the routing table): packed texts
// and integer arrays that describe one row each at the same index. Each
// output goes to a CTRL list of the caller, one element per row; a failure
// puts one element into every list instead: the ErrMess text into text
// lists, -1 into integer lists.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "call_buffers.h"
#include "variables.h"

namespace ferrule::ctrl {

class OutputLists {
 public:
  // A packed text output of the first capacity whose items go to list;
  // null: no list, the wrapper reads the buffer itself.
  TextBuffer& Text(int capacity, DynVar* list);
  // The integer outputs, one array per list (null: an array the library
  // fills that no list shows), of the first capacity; they share one in/out
  // count.
  IntBuffer& Ints(int capacity, std::initializer_list<DynVar*> lists);

  void ClearLists();
  // Some output wrote back a size above its first one.
  bool AnyGrew() const;
  // Every buffer anew at the larger of its first and its written-back size
  // (a library may write back the exact size of an output that fitted
  // while its fit test is strict).
  void RegrowAll();
  // Rows 0 to rows - 1 of every output appended to its list. The outputs
  // are read in step: an output that holds fewer rows gives empty texts or
  // -1 for the missing ones, so element i of every list is row i.
  void AppendRows(int rows);
  void AppendFailure(const std::string& err);

 private:
  struct TextOutput {
    TextBuffer buffer;
    DynVar* list;
  };
  std::vector<std::unique_ptr<TextOutput>> texts_;
  std::unique_ptr<IntBuffer> ints_;
  std::vector<DynVar*> int_lists_;
};

// When the library is called a second time.
enum class RetryWhen {
  Shortfall,  // the ErrMess text ends in the reason "BUFFER_TOO_SMALL"
  SizeGrew,   // some output wrote back a size above its first one
};

struct ListCallAnswer {
  int result;
  std::string err;  // the ErrMess text of the last call
};

// Empties the lists, calls the library (a second time per retry), then
// appends the rows, whose number rows() reads from the buffers after a
// result of 0, or the failure elements.
ListCallAnswer FillListsFromCall(OutputLists& outputs, RetryWhen retry,
                                 const std::function<int(char* err)>& call,
                                 const std::function<int()>& rows);

}  // namespace ferrule::ctrl
