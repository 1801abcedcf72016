// The sweep that calls one export with hostile input: each text argument
// null, empty, 5000 characters long and holding an injection attempt; each
// integer argument at INT_MIN, -1, 0 and INT_MAX; each in/out length at 0,
// -1 and INT_MIN, and at small capacities with buffers of exactly that
// size, each with keys that find something and keys that find nothing; a
// null length pointer and a null buffer; for a cached form, the hostile
// texts in rows of an open batch; then a normal call, which must still
// work. Every call is checked as hostile_call.h says.
#pragma once

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "hostile_call.h"
#include "test_db.h"

namespace hostile {

inline std::string LongText() { return std::string(5000, 'a'); }

// Null, empty, long (long_text must outlive the list) and an injection.
inline std::vector<const char*> HostileTexts(const std::string& long_text) {
  return {nullptr, "", long_text.c_str(), kInjection};
}

inline int DeviceCount() {
  return std::stoi(testdb::value("select count(*) from vexa_lg_devices"));
}

// Ends with " : <reason>".
inline bool HasReason(const std::string& err, const std::string& reason) {
  const std::string tail = " : " + reason;
  return err.size() > tail.size() && err.compare(err.size() - tail.size(), tail.size(), tail) == 0;
}

inline void SweepTexts(const Export& ex) {
  const std::string long_text = LongText();
  const int devices = DeviceCount();
  for (std::size_t i = 0; i < ex.texts.size(); ++i) {
    for (const char* text : HostileTexts(long_text)) {
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

// Keys that find nothing, so that the answer for no row is written: the
// first text an injection attempt or, for an export keyed by integers
// alone, the first integer INT_MIN. False for an export without keys.
inline bool FindNothing(const Export& ex, Call& c) {
  if (!ex.texts.empty()) {
    c.t[0] = kInjection;
    return true;
  }
  if (!ex.values.empty()) {
    c.v[0] = INT_MIN;
    return true;
  }
  return false;
}

// A capacity below 1 is too small on every path: nothing is written into
// the buffer counted, and the call fails (or, for an output whose shortfall
// shows in its length alone, writes back the need). Tried with the normal
// keys and with keys that find nothing, where an answer that writes
// nothing at all ("NO_ROWS_SELECTED" in ErrMess) is sound too.
inline void SweepLengths(const Export& ex) {
  for (std::size_t i = 0; i < ex.lens.size(); ++i) {
    for (bool finds_nothing : {false, true}) {
      for (int capacity : {0, -1, INT_MIN}) {
        Call c = MakeCall(ex);
        if (finds_nothing && !FindNothing(ex, c)) continue;
        c.len[i] = capacity;
        const std::string what = "length " + std::to_string(i) + " = " +
                                 std::to_string(capacity) + (finds_nothing ? " (no match)" : "");
        const int rc = Run(ex, c, what);
        const bool nothing_found = finds_nothing && HasReason(c.err.text(), "NO_ROWS_SELECTED");
        if (ex.lens[i].fails && !nothing_found) {
          EXPECT_NE(rc, 0) << ex.name << " " << what << ": " << c.err.text();
        }
        if (!ex.lens[i].fails && rc == 0) {
          EXPECT_GT(c.len[i], 0) << ex.name << " " << what << ": the need";
        }
        for (int counted : ex.lens[i].counts)
          EXPECT_TRUE(c.out.at(counted).untouched())
              << ex.name << " " << what << ": wrote output " << counted;
      }
    }
  }
}

// Small capacities, each output counted by the length given exactly that
// many elements, so that a marker or row written whole past a short buffer
// shows in the guard. Tried with the normal keys and with keys that find
// nothing.
inline void SweepSmallCapacities(const Export& ex) {
  for (std::size_t i = 0; i < ex.lens.size(); ++i) {
    for (bool finds_nothing : {false, true}) {
      for (int capacity : {1, 2, 4, 5, 16, 17}) {
        Call c = MakeCall(ex);
        if (finds_nothing && !FindNothing(ex, c)) continue;
        c.len[i] = capacity;
        for (int counted : ex.lens[i].counts) {
          const std::size_t element = ex.outs.at(counted).ints ? sizeof(int) : 1;
          c.out.at(counted) = Buffer(static_cast<std::size_t>(capacity) * element);
        }
        Run(ex, c, "length " + std::to_string(i) + " = " + std::to_string(capacity) +
                       (finds_nothing ? " (no match)" : ""));
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

// The cached forms: their last two integers are the first and last flags
// of a batch. The updates by type run at once.
inline bool IsCached(const Export& ex) {
  const std::string name = ex.name;
  return (name.rfind("InsertMultiple", 0) == 0 || name.rfind("UpdateMultiple", 0) == 0) &&
         name.find("ByType") == std::string::npos;
}

// Hostile rows inside an open batch: a normal first row, one row per
// hostile text, and a normal last row that sends them all.
inline void SweepBatch(const Export& ex) {
  if (!IsCached(ex) || ex.values.size() < 2) return;
  const std::size_t first = ex.values.size() - 2, last = ex.values.size() - 1;
  const std::string long_text = LongText();
  auto row = [&](std::size_t text, const char* value, int first_flag, int last_flag,
                 const std::string& what) {
    Call c = MakeCall(ex);
    if (text < c.t.size()) c.t[text] = value;
    c.v[first] = first_flag;
    c.v[last] = last_flag;
    return Run(ex, c, "batch " + what);
  };
  for (std::size_t i = 0; i < ex.texts.size(); ++i) {
    EXPECT_EQ(row(ex.texts.size(), nullptr, 1, 0, "opening row"), 0) << ex.name;
    for (const char* text : HostileTexts(long_text))
      row(i, text, 0, 0, "row with text " + std::to_string(i));
    row(ex.texts.size(), nullptr, 0, 1, "closing row");
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
  SweepSmallCapacities(ex);
  SweepNullPointers(ex);
  SweepBatch(ex);
  ExpectNormalCall(ex, true);
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
