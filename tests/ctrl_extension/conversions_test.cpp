// The shared conversions of the wrappers against library calls played by
// the tests: when the second call is made and with which sizes, and that
// everything read stays inside what the library wrote.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "call_buffers.h"
#include "checked_calls.h"
#include "ctrl_values.h"
#include "lookup_patterns.h"

namespace ferrule::ctrl {
namespace {

// Plays a library function: each call gets the next answer.
struct Answer {
  int result;
  std::string bytes;      // written into the buffer when it fits
  int length;             // written back
  std::string err = "ERROR in F : REASON";
};

struct FakeLibrary {
  FakeLibrary(std::initializer_list<Answer> list) : answers(list) {}

  std::vector<Answer> answers;
  std::vector<int> capacities;  // in/out length seen by each call

  int operator()(int* length, char* buffer, char* err) {
    const Answer& a = answers.at(capacities.size());
    capacities.push_back(*length);
    if (static_cast<int>(a.bytes.size()) <= *length) {
      std::memcpy(buffer, a.bytes.data(), a.bytes.size());
    }
    *length = a.length;
    std::strcpy(err, a.err.c_str());
    return a.result;
  }
};

std::string Packed(std::initializer_list<std::string> items) { return PackTexts(items); }

TEST(RowWithRetry, SecondCallOnlyWhenTheLibraryAsksForMore) {
  const RowShape shape{1000, 1000};
  const std::string long_row(1500, 'r');
  FakeLibrary grows{{-1, "", 1501}, {0, long_row + '\0', 1501}};
  EXPECT_EQ(RowWithRetry(shape, std::ref(grows)), long_row);
  EXPECT_EQ(grows.capacities, (std::vector<int>{1000, 1501}));

  FakeLibrary fails{{-1, "", 1000, "ERROR in F : NOT CONNECTED TO ANY DB"}};
  EXPECT_EQ(RowWithRetry(shape, std::ref(fails)), "ERROR in F : NOT CONNECTED TO ANY DB");
  FakeLibrary no_rows{{-1, "NO_ROWS_SELECTED", 1000}};
  EXPECT_EQ(RowWithRetry(shape, std::ref(no_rows)), "NO_ROWS_SELECTED");
  EXPECT_EQ(no_rows.capacities.size(), 1u);
  FakeLibrary fails_again{{-1, "", 2000}, {-1, "", 2000, "ERROR in F : second"}};
  EXPECT_EQ(RowWithRetry(shape, std::ref(fails_again)), "ERROR in F : second");

  // Only the word itself is the no-rows answer: a failed call whose row
  // merely begins with it answers with ErrMess, a text that begins with it
  // on success is the answer.
  FakeLibrary begins{{-1, "NO_ROWS_SELECTED_1", 1000, "ERROR in F : BUFFER_TOO_SMALL"}};
  EXPECT_EQ(RowWithRetry(shape, std::ref(begins)), "ERROR in F : BUFFER_TOO_SMALL");
  FakeLibrary named{{0, "NO_ROWS_SELECTED and more", 2000}};
  EXPECT_EQ(RowWithRetry({2000, 600}, std::ref(named)), "NO_ROWS_SELECTED and more");
  // A row that fills the whole buffer without its NUL is read up to the end.
  FakeLibrary unterminated{{0, std::string(1000, 'x'), 1000}};
  EXPECT_EQ(RowWithRetry(shape, std::ref(unterminated)), std::string(1000, 'x'));
}

TEST(PackedLists, ItemsAreReadWholeAndOnlyBelowWhatWasWritten) {
  const std::string big(600, 'b');  // more than an element buffer of 500 bytes
  FakeLibrary lib{{0, Packed({"a", big, "c"}), 605}};
  DynVar list;
  FillTextList(list, FetchPackedList(50000, 1000, std::ref(lib)), NoRowsMarker::BufferText);
  ASSERT_EQ(list.getArrayLength(), 3u);
  EXPECT_STREQ(static_cast<TextVar*>(list.getAt(1))->getValue(), big.c_str());

  // A written-back length beyond the buffer, the last item without its NUL.
  FakeLibrary overlong{{0, std::string("x\0", 2) + std::string(18, 'y'), 100000}};
  const ListAnswer answer = FetchPackedList(20, 1000, std::ref(overlong));
  EXPECT_EQ(answer.items, (std::vector<std::string>{"x", std::string(18, 'y')}));

  FakeLibrary grows{{-1, "", 60000}, {0, Packed({"late"}), 5}};
  EXPECT_EQ(FetchPackedList(50000, 1000, std::ref(grows)).items,
            (std::vector<std::string>{"late"}));
  EXPECT_EQ(grows.capacities, (std::vector<int>{50000, 60000}));
}

TEST(PackedLists, NoRowsAndFailuresAreMarkedInTheList) {
  auto elements = [](const ListAnswer& answer, NoRowsMarker marker) {
    DynVar list;
    FillTextList(list, answer, marker);
    std::vector<std::string> texts;
    for (Variable* v = list.getFirstVar(); v; v = list.getNextVar()) {
      texts.push_back(static_cast<TextVar*>(v)->getValue());
    }
    return texts;
  };
  FakeLibrary none{{-1, "NO_ROWS_SELECTED", 50000}};
  const ListAnswer no_rows = FetchPackedList(50000, 1000, std::ref(none));
  EXPECT_EQ(elements(no_rows, NoRowsMarker::BufferText),
            (std::vector<std::string>{"NO_ROWS_SELECTED"}));
  EXPECT_EQ(elements(no_rows, NoRowsMarker::TwoWords),
            (std::vector<std::string>{"NO_ROWS_SELECTED", "NO_ROWS_SELECTED"}));
  FakeLibrary fails{{-1, "", 100}};
  EXPECT_EQ(elements(FetchPackedList(50000, 1000, std::ref(fails)), NoRowsMarker::TwoWords),
            (std::vector<std::string>{"ERROR in F : REASON", "ERROR in F : REASON"}));
}

TEST(PackedLists, ItemsThatBeginWithTheNoRowsWordOrAreItAreItems) {
  const std::string kOk = "NO_ERROR in F";
  FakeLibrary first{{0, Packed({"NO_ROWS_SELECTED_1", "sw2"}), 23, kOk}};
  EXPECT_EQ(FetchPackedList(50000, 1000, std::ref(first)).items,
            (std::vector<std::string>{"NO_ROWS_SELECTED_1", "sw2"}));
  FakeLibrary only{{0, Packed({"NO_ROWS_SELECTED"}), 17, kOk}};
  const ListAnswer one = FetchPackedList(50000, 1000, std::ref(only));
  EXPECT_EQ(one.outcome, ListAnswer::Items);
  EXPECT_EQ(one.items, (std::vector<std::string>{"NO_ROWS_SELECTED"}));

  // The library's no-rows answers: with its reason and 0, or with a failure
  // code (the reported form).
  FakeLibrary common{{0, Packed({"NO_ROWS_SELECTED"}), 50000, "ERROR in F : NO_ROWS_SELECTED"}};
  EXPECT_EQ(FetchPackedList(50000, 1000, std::ref(common)).outcome, ListAnswer::NoRows);
  FakeLibrary reported{{100, Packed({"NO_ROWS_SELECTED"}), 50000, "ERROR in F : no data"}};
  EXPECT_EQ(FetchPackedList(50000, 1000, std::ref(reported)).outcome, ListAnswer::NoRows);
  EXPECT_EQ(reported.capacities.size(), 1u) << "no second call for nothing found";
}

TEST(IntegerLists, ValuesPairOfMinusOnesOrTheFailedResult) {
  auto call = [](std::vector<int> values, int count, int result) {
    return [=](int* length, int* out, char* err) {
      if (static_cast<int>(values.size()) <= *length) std::copy(values.begin(), values.end(), out);
      *length = count;
      std::strcpy(err, "ERROR in F : REASON");
      return result;
    };
  };
  auto elements = [](const IntListAnswer& answer) {
    DynVar list;
    FillIntList(list, answer);
    std::vector<int> values;
    for (Variable* v = list.getFirstVar(); v; v = list.getNextVar()) {
      values.push_back(static_cast<IntegerVar*>(v)->getValue());
    }
    return values;
  };
  EXPECT_EQ(elements(FetchIntList(1000, 1000, call({4, 5, 6}, 3, 0))),
            (std::vector<int>{4, 5, 6}));
  EXPECT_EQ(elements(FetchIntList(1000, 1000, call({-1, -1}, 1000, 0))),
            (std::vector<int>{-1, -1}));
  EXPECT_EQ(elements(FetchIntList(1000, 1000, call({}, 1000, 1403))), (std::vector<int>{1403}));
  // A count beyond the array is not read past it.
  EXPECT_EQ(FetchIntList(2, 1000, call({7, 8}, 500, 0)).values, (std::vector<int>{7, 8}));
  // A larger need: the second call gets an array of that size.
  std::vector<int> seen;
  const IntListAnswer grown = FetchIntList(1000, 1000, [&](int* length, int* out, char*) {
    seen.push_back(*length);
    if (*length < 2500) {
      *length = 2500;
      return -1;
    }
    for (int i = 0; i < 2500; ++i) out[i] = i;
    return 0;
  });
  EXPECT_EQ(seen, (std::vector<int>{1000, 2500}));
  EXPECT_EQ(grown.values.size(), 2500u);
}

TEST(BusySubsystems, BuffersHoldEverySubsystemTheLibraryCanName) {
  // A library that answers for all 49 subsystems whatever it was asked,
  // one name and one active flag each (the buffers are checked under the
  // address sanitizer).
  std::string asked;
  auto every_subsystem = [&](int* len, const char* systemnames, char* names, int*, int* active,
                             char* err) {
    asked = systemnames;
    std::string packed;
    for (int i = 0; i < 49; ++i) {
      packed += "SYSTEM_" + std::to_string(10 + i) + '\0';
      active[i] = i % 2;
    }
    if (static_cast<int>(packed.size()) > *len) return -1;
    std::memcpy(names, packed.data(), packed.size());
    *len = static_cast<int>(packed.size());
    std::strcpy(err, "NO_ERROR in GetBusySubsystems");
    return 0;
  };
  DynVar names, statuses;
  names.append(TextVar("DAQ"));
  EXPECT_EQ(FillBusySubsystems(names, statuses, every_subsystem), 0);
  EXPECT_EQ(asked, "'DAQ'");
  ASSERT_EQ(names.getArrayLength(), 49u);
  ASSERT_EQ(statuses.getArrayLength(), 49u);
  EXPECT_STREQ(static_cast<TextVar*>(names.getAt(48))->getValue(), "SYSTEM_58");
  EXPECT_EQ(static_cast<IntegerVar*>(statuses.getAt(47))->getValue(), 1);

  DynVar none;
  EXPECT_EQ(FillBusySubsystems(none, statuses, every_subsystem), 0);
  EXPECT_EQ(none.getArrayLength(), 49u);
}

TEST(CallBuffers, SecondCallGetsAtLeastTheFirstCapacity) {
  // A list that fitted may come back with its exact total while the fit
  // test is strict: its next buffer keeps the first capacity.
  TextBuffer fitted(100);
  *fitted.length() = 40;
  EXPECT_FALSE(fitted.Grew());
  fitted.Regrow();
  EXPECT_EQ(*fitted.length(), 100);
  TextBuffer short_one(100);
  *short_one.length() = 150;
  short_one.Regrow();
  EXPECT_EQ(*short_one.length(), 150);
  EXPECT_GE(short_one.Capacity(), 150);

  IntBuffer rows(10, 2);
  *rows.length() = 3;
  rows.data(1)[2] = 9;
  EXPECT_EQ(rows.At(1, 2), 9);
  EXPECT_EQ(rows.At(1, 3), -1) << "past the written-back count";

  // Lists read in step stay aligned when one runs out.
  const std::string two = Packed({"a", "b"});
  PackedReader reader(two.data(), two.size());
  EXPECT_EQ(reader.Next(), "a");
  EXPECT_EQ(reader.Next(), "b");
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.Next(), "");

  ErrMessBuffer err(1000);
  std::strcpy(err.data(), "ERROR in LoadRoutingtable : BUFFER_TOO_SMALL");
  EXPECT_TRUE(err.ReportsShortfall());
  std::strcpy(err.data(), "ERROR in GetPortPerSubsystem : BUFEER_TOO_SMALL");
  EXPECT_FALSE(err.ReportsShortfall());
}

TEST(CtrlValues, JoinedNamesPackedTextsAndListElements) {
  EXPECT_EQ(JoinQuoted({"ALPHA", "BETA"}), "'ALPHA','BETA'");
  EXPECT_EQ(JoinQuoted({"ALPHA"}), "'ALPHA'");
  EXPECT_EQ(JoinQuoted({"O'Neil", "x"}), "'O''Neil','x'") << "a quote inside a name is doubled";
  EXPECT_EQ(JoinQuoted({}), "");
  EXPECT_EQ(PackTexts({"10.0.0.1", "10.0.0.2"}).size(), 18u);

  const NameAndId device = SplitNameAndId("sw01|101");
  EXPECT_EQ(device.name, "sw01");
  EXPECT_EQ(device.id, 101);
  EXPECT_EQ(SplitNameAndId("no bar").name, "no bar");
  EXPECT_EQ(SplitNameAndId("no bar").id, -1);
  EXPECT_EQ(SplitNameAndId("name|").id, -1);
  EXPECT_EQ(SplitNameAndId("name|99999999999").id, -1);
  // A name may hold '|', an id never does.
  const struct {
    const char* item;
    const char* name;
    int id;
  } kSplits[] = {{"a|b|7", "a|b", 7}, {"QM?DEV|B||103", "QM?DEV|B|", 103}, {"|x|-2", "|x", -2}};
  for (const auto& s : kSplits) {
    EXPECT_EQ(SplitNameAndId(s.item).name, s.name) << s.item;
    EXPECT_EQ(SplitNameAndId(s.item).id, s.id) << s.item;
  }

  DynVar mixed;
  mixed.append(TextVar("a"));
  mixed.append(IntegerVar(3));
  EXPECT_EQ(TextsOf(&mixed), (std::vector<std::string>{"a", "3"}));
  EXPECT_THROW(IntsOf(&mixed), int) << "the dispatch turns the int into a refusal";
  mixed.append(DynVar());
  EXPECT_THROW(TextsOf(&mixed), int);
}

TEST(CheckedCalls, RefusalSuccessAndFailureTexts) {
  EXPECT_STREQ(FirstFailure({{false, "a"}, {true, "b"}, {true, "c"}}), "b");
  EXPECT_STREQ(LastFailure({{true, "a"}, {true, "b"}, {false, "c"}}), "b");
  EXPECT_EQ(FirstFailure({{false, "a"}}), nullptr);

  int calls = 0;
  auto library = [&](int result) {
    return [&, result](char* err) {
      ++calls;
      std::strcpy(err, "ERROR in F : COULDNOT_INSERT_THIS_ROW");
      return result;
    };
  };
  TextVar result;
  RunChecked(result, "Error:wrong input value", kInserted, library(0));
  EXPECT_STREQ(result.getValue(), "Error:wrong input value");
  EXPECT_EQ(calls, 0);
  RunChecked(result, nullptr, kUpdated, library(0));
  EXPECT_STREQ(result.getValue(), "Successful update");
  RunChecked(result, nullptr, kInserted, library(-1));
  EXPECT_STREQ(result.getValue(), "ERROR in F : COULDNOT_INSERT_THIS_ROW");

  TextVar err;
  EXPECT_EQ(RunCheckedForStatus(&err, "active is 1 or 0", library(0)), -1);
  EXPECT_STREQ(err.getValue(), "active is 1 or 0");
  EXPECT_EQ(RunCheckedForStatus(&err, nullptr, library(2291)), 2291);
  EXPECT_STREQ(err.getValue(), "ERROR in F : COULDNOT_INSERT_THIS_ROW");
  EXPECT_EQ(calls, 3);
}

}  // namespace
}  // namespace ferrule::ctrl
