// The sweep that calls one export with hostile input: each text argument
// null, empty, 5000 characters long and holding an injection attempt; each
// integer argument at INT_MIN, -1, 0 and INT_MAX; each in/out length at 0,
// -1 and INT_MIN; a null length pointer and a null buffer; then a normal
// call, which must still work.
//
// Every caller buffer lives on the heap with guard bytes after it, all
// filled with a pattern: a write past a buffer shows in its guard (and to
// AddressSanitizer past the guard), a write into a buffer whose capacity is
// below 1 shows as a changed byte. ErrMess must come back as a NUL-ended
// text within its 312 bytes after every call.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "database_fixture.h"
#include "test_db.h"

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

inline std::string LongText() { return std::string(5000, 'a'); }

inline int DeviceCount() { return std::stoi(testdb::value("select count(*) from vexa_lg_devices")); }

// Runs one call with the library's diagnostics swallowed, and checks what
// must hold after any call: no guard touched, ErrMess a text in its bounds.
inline int Run(const Export& ex, Call& c, const std::string& what) {
  const int rc = Quiet([&] { return ex.call(c); });
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

inline void SweepTexts(const Export& ex) {
  const std::string long_text = LongText();
  const int devices = DeviceCount();
  for (std::size_t i = 0; i < ex.texts.size(); ++i) {
    for (const char* text : {static_cast<const char*>(nullptr), "", long_text.c_str(), kInjection}) {
      Call c = MakeCall(ex);
      c.t[i] = text;
      const std::string what = "text " + std::to_string(i) + " " +
                               (text ? std::string(text).substr(0, 40) : std::string("null"));
      Run(ex, c, what);
    }
  }
  EXPECT_GE(DeviceCount(), devices) << ex.name << ": an injected statement ran";
}

inline void SweepValues(const Export& ex) {
  for (std::size_t i = 0; i < ex.values.size(); ++i) {
    for (int value : {INT_MIN, -1, 0, INT_MAX}) {
      Call c = MakeCall(ex);
      c.v[i] = value;
      Run(ex, c, "integer " + std::to_string(i) + " = " + std::to_string(value));
    }
  }
}

// A capacity below 1 is too small on every path: nothing is written into
// the buffer counted, and the call fails (or, for an output whose shortfall
// shows in its length alone, writes back the need). Tried with the normal
// keys and with a first text that finds nothing, where an answer that
// writes nothing at all ("NO_ROWS_SELECTED" in ErrMess) is sound too.
inline void SweepLengths(const Export& ex) {
  for (std::size_t i = 0; i < ex.lens.size(); ++i) {
    for (bool finds_nothing : {false, true}) {
      if (finds_nothing && ex.texts.empty()) continue;
      for (int capacity : {0, -1, INT_MIN}) {
        Call c = MakeCall(ex);
        if (finds_nothing) c.t[0] = kInjection;
        c.len[i] = capacity;
        const std::string what = "length " + std::to_string(i) + " = " +
                                 std::to_string(capacity) + (finds_nothing ? " (no match)" : "");
        const int rc = Run(ex, c, what);
        const bool nothing_found =
            finds_nothing && std::string(c.err.text()).find(" : NO_ROWS_SELECTED") != std::string::npos;
        if (ex.lens[i].fails && !nothing_found)
          EXPECT_NE(rc, 0) << ex.name << " " << what << ": " << c.err.text();
        if (!ex.lens[i].fails && rc == 0)
          EXPECT_GT(c.len[i], 0) << ex.name << " " << what << ": the need";
        for (int counted : ex.lens[i].counts)
          EXPECT_TRUE(c.out.at(counted).untouched())
              << ex.name << " " << what << ": wrote output " << counted;
      }
    }
  }
}

// A null length or a null output (where allowed) fails without a crash.
inline void SweepNullPointers(const Export& ex) {
  for (std::size_t i = 0; i < ex.lens.size(); ++i) {
    Call c = MakeCall(ex);
    c.len_null[i] = true;
    const std::string what = "null length " + std::to_string(i);
    EXPECT_NE(Run(ex, c, what), 0) << ex.name << " " << what << ": " << c.err.text();
  }
  for (std::size_t i = 0; i < ex.outs.size(); ++i) {
    if (!ex.outs[i].nullable) continue;
    Call c = MakeCall(ex);
    c.out[i].make_null();
    const std::string what = "null output " + std::to_string(i);
    EXPECT_NE(Run(ex, c, what), 0) << ex.name << " " << what << ": " << c.err.text();
  }
}

inline void ExpectNormalCall(const Export& ex, bool final_call) {
  Call c = MakeCall(ex, final_call);
  const std::string what = final_call ? "normal call after the sweep" : "normal call";
  EXPECT_EQ(Run(ex, c, what), ex.normal_result) << ex.name << " " << what << ": " << c.err.text();
  const std::string success = Lower("NO_ERROR in " + std::string(ex.name));
  EXPECT_EQ(Lower(c.err.text()).substr(0, success.size()), success) << what;
}

inline void Sweep(const Export& ex) {
  ExpectNormalCall(ex, false);
  SweepTexts(ex);
  SweepValues(ex);
  SweepLengths(ex);
  SweepNullPointers(ex);
  ExpectNormalCall(ex, true);
}

// Ends with " : <reason>".
inline bool HasReason(const std::string& err, const std::string& reason) {
  const std::string tail = " : " + reason;
  return err.size() > tail.size() && err.compare(err.size() - tail.size(), tail.size(), tail) == 0;
}

// Called with no connection: a refusal, the outputs and lengths untouched.
// The reason is "NOT CONNECTED TO ANY DB", or the export's own refusal of an
// input that it reads before it needs the database (subsystem names, read
// through the table that the first connection loads).
inline void ExpectRefusedWithoutConnection(const Export& ex, const char* own_refusal = nullptr) {
  Call c = MakeCall(ex);
  EXPECT_NE(Run(ex, c, "not connected"), 0) << ex.name;
  const std::string err = c.err.text();
  EXPECT_TRUE(err.rfind("ERROR in ", 0) == 0 &&
              (HasReason(err, "NOT CONNECTED TO ANY DB") ||
               (own_refusal && HasReason(err, own_refusal))))
      << ex.name << ": " << err;
  for (std::size_t i = 0; i < c.out.size(); ++i)
    EXPECT_TRUE(c.out[i].untouched()) << ex.name << ": output " << i << " written";
  for (std::size_t i = 0; i < c.len.size(); ++i)
    EXPECT_EQ(c.len[i], ex.lens[i].capacity) << ex.name << ": length " << i << " written";
}

inline void PrintTo(const Export& ex, std::ostream* os) { *os << ex.name; }

// Test names from the export names.
inline std::string ExportName(const testing::TestParamInfo<Export>& info) {
  return info.param.name;
}

}  // namespace hostile
