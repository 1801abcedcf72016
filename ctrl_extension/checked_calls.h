// The shared steps of the wrappers that write: argument checks with fixed
// messages, then at most one library call whose result becomes a fixed
// success text or the library's ErrMess text. A refused check never calls
// the library, so no cached batch of the library is touched.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "ctrl_reasons.h"
#include "variables.h"

namespace ferrule::ctrl {

inline constexpr char kInserted[] = "Successful insertion";
inline constexpr char kUpdated[] = "Successful update";

// The ErrMess buffer of the insert and update wrappers.
constexpr int kWriteErrMessSize = 1000;

// A name is given when it has at least 2 characters.
inline bool IsName(const std::string& text) { return text.size() >= 2; }
inline bool IsFlag(int value) { return value == 0 || value == 1; }
inline bool IsPortWay(int value) { return value == 1 || value == 2; }

struct Check {
  bool fails;
  const char* message;
};

// The message of the first failing check (checks that run in order and
// stop at the first failure), or null when none fails.
const char* FirstFailure(std::initializer_list<Check> checks);
// The message of the last failing check (every check runs and a later
// failure overwrites an earlier one), or null when none fails.
const char* LastFailure(std::initializer_list<Check> checks);

// The check of most cached updates: last_rows must be 0 or 1.
inline const char* LastRowsRefusal(int last) {
  return IsFlag(last) ? nullptr : reason::kLastRowsFlag;
}

// A call that writes ErrMess only.
using WriteCall = std::function<int(char* err)>;

// With a refusal, the result is its message and nothing is called.
// Otherwise a result of 0 gives the success text and any other the ErrMess
// text.
void RunChecked(TextVar& result, const char* refusal, const char* success,
                const WriteCall& call);

// The integer form: a refusal gives -1 and its message in errmess_arg;
// otherwise the result code, with the ErrMess text in errmess_arg.
int RunCheckedForStatus(TextVar* errmess_arg, const char* refusal, const WriteCall& call);

}  // namespace ferrule::ctrl
