// The shared steps of the wrappers that read: a result code with the
// ErrMess text; one row or status as text, with the retry at the
// written-back length; a packed list or an integer list, with the same
// retry, turned into CTRL list elements. Each takes the library call as a
// function of the buffers, so a wrapper only names its call and its sizes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "variables.h"

namespace ferrule::ctrl {

// A call that writes ErrMess only.
using StatusCall = std::function<int(char* err)>;
// A call that writes a result text and its in/out length.
using TextCall = std::function<int(int* length, char* buffer, char* err)>;
// A call that writes a result text without a length.
using FixedTextCall = std::function<int(char* buffer, char* err)>;
// A call that writes integers and their in/out count.
using IntsCall = std::function<int(int* count, int* values, char* err)>;

// Calls once; writes the ErrMess text into errmess_arg and returns the
// result code.
int CallForStatus(int errmess_size, TextVar* errmess_arg, const StatusCall& call);

struct RowShape {
  int capacity;  // first capacity of the row buffer
  int errmess_size;
};

// A row: the row text on success or when the row is "NO_ROWS_SELECTED";
// otherwise the ErrMess text, after a second call when the library wrote
// back a larger length.
std::string RowWithRetry(const RowShape& shape, const TextCall& call);

// What a text without a length answers to; the library is called once.
enum class NoRowsText {
  Answer,   // "NO_ROWS_SELECTED" is the answer, whatever the code, when the
            // buffer holds it, or with a result of 0 when only ErrMess says it
  Failure,  // only a result of 0 gives the buffer's text
};
std::string TextFromOneCall(int capacity, int errmess_size, NoRowsText no_rows,
                            const FixedTextCall& call);

// A packed list after the retry: its items, the no-rows answer, or a
// failure with the ErrMess text. The no-rows answer is the list that is
// "NO_ROWS_SELECTED" alone, from a call that did not succeed or whose
// ErrMess says "NO_ROWS_SELECTED": a list that succeeded is items, one
// named so included.
struct ListAnswer {
  enum Outcome { Items, NoRows, Failed };
  Outcome outcome = Failed;
  int result = 0;
  std::string err;
  std::string no_rows_text;        // the buffer's text, for NoRows
  std::vector<std::string> items;  // for Items
};
ListAnswer FetchPackedList(int capacity, int errmess_size, const TextCall& call);

// How a list shows that nothing was found.
enum class NoRowsMarker {
  BufferText,  // one element, the buffer's text
  TwoWords,    // two elements "NO_ROWS_SELECTED"
};
// The items one element each; a failure as two elements holding the
// ErrMess text.
void FillTextList(DynVar& list, const ListAnswer& answer, NoRowsMarker marker);
// The text list pattern whole: the list emptied, then filled from the
// packed list that the call writes.
void FillTextListFromCall(DynVar& list, int capacity, int errmess_size, NoRowsMarker marker,
                          const TextCall& call);

// A list of texts whose call answers with a result code (the ports of a
// device): the items; nothing found, when the library says so in ErrMess
// only and no_rows_in_errmess is set, as two "NO_ROWS_SELECTED"; a failure
// as two ErrMess texts. The ErrMess text goes to errmess_arg; returns the
// result code.
int FillTextListForStatus(DynVar& list, int capacity, int errmess_size, bool no_rows_in_errmess,
                          TextVar* errmess_arg, const TextCall& call);

// The busy subsystems. names holds the names asked for, which the library
// gets joined in quotes; it receives the names of the busy ones, and
// statuses their highest active flag, in step. Nothing busy appends two
// "NO_ROWS_SELECTED" to names, a failure two ErrMess texts (result -1).
// The buffers hold every subsystem the library can name, whatever was
// asked for. Returns the result.
using BusyCall = std::function<int(int* len, const char* systemnames, char* names, int* count,
                                   int* active, char* err)>;
int FillBusySubsystems(DynVar& names, DynVar& statuses, const BusyCall& call);

// An integer list after the retry.
struct IntListAnswer {
  enum Outcome { Values, NoRows, Failed };
  Outcome outcome = Failed;
  int result = 0;
  std::string err;
  std::vector<int> values;  // for Values
};
IntListAnswer FetchIntList(int capacity, int errmess_size, const IntsCall& call);
// The values, or -1 and -1 when nothing was found, or one element holding
// the result code of the failed call.
void FillIntList(DynVar& list, const IntListAnswer& answer);

}  // namespace ferrule::ctrl
