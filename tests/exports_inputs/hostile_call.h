// One call of an export as the hostile-input sweep (hostile_inputs.h) makes
// it: the export described by its arguments, and the caller's buffers.
//
// Every caller buffer lives on the heap with guard bytes after it, all
// filled with a pattern: a write past a buffer shows in its guard (and to
// AddressSanitizer past the guard), a write into a buffer whose capacity is
// below 1 shows as a changed byte. ErrMess must come back as a NUL-ended
// text within its 312 bytes after every call.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "database_fixture.h"
#include "library_transaction.h"

namespace hostile {

constexpr std::size_t kGuardBytes = 32;
constexpr char kFill = '\x5a';
constexpr std::size_t kErrMessBytes = 312;
constexpr const char* kInjection = "x'); delete from vexa_lg_devices; --";

// A caller buffer of a given size, or a null pointer in its place.
class Buffer {
 public:
  explicit Buffer(std::size_t bytes) : bytes_(bytes), block_(new char[bytes + kGuardBytes]) {
    std::memset(block_.get(), kFill, bytes + kGuardBytes);
  }
  void make_null() { null_ = true; }
  void* data() const { return null_ ? nullptr : block_.get(); }
  bool guard_intact() const { return filled(bytes_, bytes_ + kGuardBytes); }
  bool untouched() const { return filled(0, bytes_ + kGuardBytes); }
  // A NUL within the buffer's own bytes.
  bool holds_text() const { return std::memchr(block_.get(), '\0', bytes_) != nullptr; }
  const char* text() const { return block_.get(); }

 private:
  bool filled(std::size_t from, std::size_t to) const {
    for (std::size_t i = from; i < to; ++i)
      if (block_[i] != kFill) return false;
    return true;
  }
  std::size_t bytes_;
  std::unique_ptr<char[]> block_;
  bool null_ = false;
};

// An output of an export: its size in elements (chars or ints), and whether
// the header lets a caller pass a null pointer for it (not when it names a
// fixed size the buffer must hold).
struct Out {
  int count;
  bool ints = false;
  bool nullable = true;
};
inline Out Chars(int count) { return {count, false, true}; }
inline Out Ints(int count) { return {count, true, true}; }
inline Out FixedChars(int count) { return {count, false, false}; }
inline Out FixedInts(int count) { return {count, true, false}; }

// An in/out length: its capacity on entry and the outputs it counts. A
// shortfall of a few outputs shows only in the need written back, the call
// still succeeding (fails false).
struct Len {
  int capacity;
  std::vector<int> counts;
  bool fails = true;
};

// The arguments of one call.
struct Call {
  std::vector<const char*> t;     // text arguments
  std::vector<int> v;             // integer arguments
  std::vector<Buffer> out;        // outputs
  std::vector<int> len;           // in/out lengths
  std::vector<bool> len_null;     // a null pointer instead of the length
  Buffer err{kErrMessBytes};

  char* c(std::size_t i) { return static_cast<char*>(out.at(i).data()); }
  int* n(std::size_t i) { return static_cast<int*>(out.at(i).data()); }
  int* l(std::size_t i) { return len_null.at(i) ? nullptr : &len.at(i); }
  char* e() { return static_cast<char*>(err.data()); }
};

struct Export {
  const char* name;
  std::vector<const char*> texts;  // of a normal call
  std::vector<int> values;         // of a normal call
  std::vector<Out> outs;
  std::vector<Len> lens;
  std::function<int(Call&)> call;
  int normal_result = 0;  // what a normal call answers
  // The texts and integers of the normal call after the sweep, where a
  // second call with the first ones cannot work (a name inserted twice, a
  // row already deleted); empty: the first ones.
  std::vector<const char*> final_texts = {};
  std::vector<int> final_values = {};
};

inline Call MakeCall(const Export& ex, bool final_call = false) {
  Call c;
  c.t = final_call && !ex.final_texts.empty() ? ex.final_texts : ex.texts;
  c.v = final_call && !ex.final_values.empty() ? ex.final_values : ex.values;
  for (const Out& o : ex.outs)
    c.out.emplace_back(static_cast<std::size_t>(o.count) * (o.ints ? sizeof(int) : 1));
  for (const Len& l : ex.lens) c.len.push_back(l.capacity);
  c.len_null.assign(ex.lens.size(), false);
  return c;
}

// Some exports name themselves in ErrMess with other capitals.
inline std::string Lower(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return text;
}

// Commits what earlier calls left pending on the library's connection, so
// that whatever the next call leaves is its own; false when not connected.
inline bool CommitPending() {
  ferrule::Session& s = ferrule::session();
  if (!s.connected()) return false;
  EXPECT_EQ(OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT), OCI_SUCCESS);
  return true;
}

// A call that answered anything but 0 (refused, or failed) where nothing
// was pending leaves no transaction, transaction id or lock of its own in
// the server session: a client that then only reads would keep them for
// days, holding up VACUUM and schema changes.
inline void ExpectNoTransactionLeft(const Export& ex, const std::string& what, int rc) {
  const int backend = testdb::LibraryBackend();
  if (rc == 0 || backend < 0) return;
  const testdb::SessionTransaction left = testdb::TransactionOf(backend);
  EXPECT_TRUE(left.outside_any()) << ex.name << " " << what << " answered " << rc << ": " << left;
}

// Runs one call with the library's diagnostics swallowed, and checks what
// must hold after any call: no guard touched, ErrMess a text in its bounds,
// and, where it answered anything but 0, no transaction left open.
inline int Run(const Export& ex, Call& c, const std::string& what) {
  const bool connected = CommitPending();
  const int rc = Quiet([&] { return ex.call(c); });
  if (connected) ExpectNoTransactionLeft(ex, what, rc);
  for (std::size_t i = 0; i < c.out.size(); ++i)
    EXPECT_TRUE(c.out[i].guard_intact()) << ex.name << " " << what << ": wrote past output " << i;
  EXPECT_TRUE(c.err.guard_intact()) << ex.name << " " << what << ": wrote past ErrMess";
  EXPECT_TRUE(c.err.holds_text()) << ex.name << " " << what << ": ErrMess not ended";
  if (c.err.holds_text()) {
    const std::string err = c.err.text();
    EXPECT_TRUE(err.rfind("NO_ERROR in ", 0) == 0 || err.rfind("ERROR in ", 0) == 0)
        << ex.name << " " << what << ": " << err;
  }
  return rc;
}

}  // namespace hostile
