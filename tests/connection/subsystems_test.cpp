// Subsystem sets against an in-memory table; no database involved.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ferrule.h"
#include "report.h"
#include "session.h"
#include "subsystems.h"

namespace ferrule {
namespace {

class SubsystemSets : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = subsystem_table();
    load({{"A", 2}, {"B", 3}, {"D", 5}});
  }
  void TearDown() override { subsystem_table() = saved_; }

  static void load(std::initializer_list<std::pair<const char*, int>> entries) {
    SubsystemTable& t = subsystem_table();
    t = SubsystemTable{};
    for (auto& [name, id] : entries) {
      std::snprintf(t.names[t.count], sizeof t.names[t.count], "%s", name);
      t.ids[t.count++] = id;
    }
  }
  static std::string names_of(int value, int* rc = nullptr) {
    char out[kSystemNamesTextSize];
    int r = SysIDToSystemNames(value, out, sizeof out);
    if (rc) *rc = r;
    return out;
  }
  static std::string ids_of(const char* list) {
    char out[80] = "untouched";
    EXPECT_EQ(SystemNamesToSysIDList(list, out, sizeof out), 0);
    return out;
  }

 private:
  SubsystemTable saved_;
};

TEST_F(SubsystemSets, NameListToProduct) {
  EXPECT_EQ(SystemNamesToSysID("A,D"), 10);
  EXPECT_EQ(SystemNamesToSysID("D,A"), 10);
  EXPECT_EQ(SystemNamesToSysID("A,A"), 2) << "a subsystem named twice is selected once";
  EXPECT_EQ(SystemNamesToSysID("A,X"), 2);
  EXPECT_EQ(SystemNamesToSysID("X,A"), -1);
  EXPECT_EQ(SystemNamesToSysID(""), 1);
  EXPECT_EQ(SystemNamesToSysID(nullptr), -1);
  EXPECT_EQ(SystemNamesToSysID("a"), -1) << "names compare with their case";
  EXPECT_EQ(SystemNamesToSysID("A,"), -1) << "a trailing comma leaves an empty name";
  EXPECT_EQ(SystemNamesToSysID("AVERYLONGNAMEINDEED,A"), -1);
}

// The set a write stores has every name of its list; the set a selection
// reads skips an unknown name after a known one.
TEST_F(SubsystemSets, StoredSetRefusesAnUnknownNameWhereverItStands) {
  const struct {
    const char* list;
    int stored;
    int selected;
  } kLists[] = {
      {"A,D", 10, 10},      {"D,A,A", 10, 10},  {"A,", -1, -1},      {"", -1, 1},
      {"A,X", -1, 2},       {"X,A", -1, -1},    {"A,D,X", -1, 10},   {"A,,D", -1, -1},
      {",A", -1, -1},       {"A,a", -1, 2},     {"A, D", -1, 2},     {nullptr, -1, -1},
      {"A,AVERYLONGNAME", -1, 2},
  };
  for (const auto& c : kLists) {
    const std::string shown = c.list ? c.list : "(null)";
    EXPECT_EQ(SystemNamesToStoredSysID(c.list), c.stored) << shown;
    EXPECT_EQ(SystemNamesToSysID(c.list), c.selected) << shown;
  }
}

// A stored set names each subsystem once; an empty list names none, as a
// null one.
TEST_F(SubsystemSets, StoredSetCountsEachSubsystemOnceAndNeedsOne) {
  const struct {
    const char* list;
    int stored;
  } kLists[] = {{"A,A", 2}, {"B,A,B,A", 6}, {"D,D,D", 5}, {"D,D,D,", -1}, {"", -1}, {",", -1}};
  for (const auto& c : kLists) {
    const StoredSet set = SystemNamesToStoredSet(c.list);
    EXPECT_EQ(set.value, c.stored) << c.list;
    EXPECT_EQ(set.refused(), c.stored == -1) << c.list;
  }
  EXPECT_EQ(SystemNamesToStoredSet("").fault, StoredSetFault::NoSet);
  EXPECT_EQ(SystemNamesToStoredSet(nullptr).fault, StoredSetFault::NoSet);
  EXPECT_EQ(SystemNamesToSysID("B,A,B,A"), 6) << "a selection counts a subsystem once too";
}

// The stored column is an int: 2147483647 (a prime) fits, one subsystem
// more does not. A list with an unknown name is refused as such, wherever
// it stands and however large the rest.
TEST_F(SubsystemSets, StoredSetAboveTheColumnIsRefusedAsTooLarge) {
  load({{"A", 2}, {"B", 3}, {"C", 5}, {"D", 7}, {"E", 11}, {"F", 13}, {"G", 17}, {"H", 19},
        {"I", 23}, {"J", 29}, {"M", kLargestStoredSet}});
  EXPECT_EQ(SystemNamesToStoredSet("A,B,C,D,E,F,G,H,I").value, 223092870);
  EXPECT_EQ(SystemNamesToStoredSet("M").value, 2147483647);
  EXPECT_EQ(SystemNamesToStoredSet("M,M").value, 2147483647);
  for (const char* list : {"A,B,C,D,E,F,G,H,I,J", "M,A", "A,M"}) {
    const StoredSet set = SystemNamesToStoredSet(list);
    EXPECT_EQ(set.fault, StoredSetFault::TooLarge) << list;
    EXPECT_EQ(set.value, -1) << list;
    EXPECT_STREQ(StoredSetRefusal(set, "no set"), "SUBSYSTEM_SET_TOO_LARGE") << list;
  }
  for (const char* list : {"M,A,X", "X,M,A", "M,A,,B"}) {
    const StoredSet set = SystemNamesToStoredSet(list);
    EXPECT_EQ(set.fault, StoredSetFault::NoSet) << list;
    EXPECT_STREQ(StoredSetRefusal(set, "no set"), "no set") << list;
  }
  EXPECT_EQ(StoredSetRefusal(SystemNamesToStoredSet("A"), "no set"), nullptr);
}

TEST_F(SubsystemSets, ProductThatDoesNotFitIsRefusedNotWrapped) {
  load({{"P1", 65521}, {"P2", 65537}});
  EXPECT_EQ(SystemNamesToSysID("P1"), 65521);
  EXPECT_EQ(SystemNamesToSysID("P1,P2"), -1);
  EXPECT_EQ(SystemNamesToSysID("P1,P1"), 65521);
  EXPECT_EQ(SystemNamesToStoredSysID("P1,P2"), -1);
  EXPECT_TRUE(SystemNamesToSelectedSet("P1,P2").too_large);
  EXPECT_FALSE(SystemNamesToSelectedSet("P1,P1").too_large);
  EXPECT_FALSE(SystemNamesToSelectedSet("X,P1").too_large);
}

// No stored set can belong to every subsystem of a selection beyond an int:
// the lists by status refuse it, before any statement, where -1 selected
// every device.
TEST_F(SubsystemSets, SelectionBeyondAnIntIsRefusedByTheStatusLists) {
  load({{"P1", 65521}, {"P2", 65537}});
  char list[64] = "";
  int len = sizeof list;
  char err[kErrMessMax] = "";
  EXPECT_EQ(GetFunctionalDeviceByStatus("P1,P2", "NONE", &len, list, err), -1);
  EXPECT_STREQ(err, "ERROR in GetFunctionalDeviceByStatus : SUBSYSTEM_SET_TOO_LARGE");
  EXPECT_EQ(GetHWDeviceByStatus("P2,P1", "IN_USE", &len, list, err), -1);
  EXPECT_STREQ(err, "ERROR in GetHWDeviceByStatus : SUBSYSTEM_SET_TOO_LARGE");
}

// Nine characters of two bytes ("ДЕТЕКТОРЫ", 18 bytes) and of four: a name
// is counted in characters, in the table and in the lists alike.
TEST_F(SubsystemSets, NamesOfNineCharactersAreWholeWhateverTheirBytes) {
  const std::string cyrillic = "ДЕТЕКТОРЫ";
  std::string clefs;
  for (int i = 0; i < 9; ++i) clefs += "𝄞";
  load({{"A", 2}, {cyrillic.c_str(), 3}, {clefs.c_str(), 5}});
  EXPECT_EQ(subsystem_table().names[1], cyrillic);
  EXPECT_EQ(subsystem_table().names[2], clefs);
  const std::string both = cyrillic + "," + clefs;
  EXPECT_EQ(SystemNamesToStoredSysID(both.c_str()), 15);
  EXPECT_EQ(SystemNamesToSysID(cyrillic.c_str()), 3);
  EXPECT_EQ(SystemNamesToStoredSysID("ДЕТЕКТОР"), -1) << "the cut is not the name";
  EXPECT_EQ(names_of(30), "A," + both);
}

TEST_F(SubsystemSets, NameListToIdList) {
  EXPECT_EQ(ids_of("A,D"), "2,5");
  EXPECT_EQ(ids_of("B"), "3");
  EXPECT_EQ(ids_of("A,X,D"), "2,5") << "an unknown name is skipped";
  EXPECT_EQ(ids_of(""), "untouched");
  char out[8] = "keep";
  EXPECT_EQ(SystemNamesToSysIDList(nullptr, out, sizeof out), -1);
  EXPECT_STREQ(out, "keep");
}

// One reader splits every list: an empty name (a leading or trailing
// comma, two in a row) refuses the list for a write, a selection and an id
// list alike, wherever it stands and whatever the other names are. An
// empty text is no such list.
TEST_F(SubsystemSets, ListWithAnEmptyNameIsRefusedByEveryReader) {
  for (const char* list : {"A,", ",A", "A,,D", "A,D,", ",", ",,", "X,", ",X,A"}) {
    EXPECT_EQ(SystemNamesToStoredSet(list).fault, StoredSetFault::NoSet) << list;
    const SelectedSet selected = SystemNamesToSelectedSet(list);
    EXPECT_TRUE(selected.empty_name) << list;
    EXPECT_EQ(selected.value, -1) << list;
    char out[16] = "keep";
    EXPECT_EQ(SystemNamesToSysIDList(list, out, sizeof out), -1) << list;
    EXPECT_STREQ(out, "keep") << list;
  }
  for (const char* list : {"", "A", "A,D", "X,A"})
    EXPECT_FALSE(SystemNamesToSelectedSet(list).empty_name) << list;
}

TEST_F(SubsystemSets, IdListNeverOverflowsItsBuffer) {
  std::string many = "D";
  for (int i = 1; i < 40; ++i) many += ",D";
  char big[200];
  EXPECT_EQ(SystemNamesToSysIDList(many.c_str(), big, sizeof big), 0);
  EXPECT_EQ(std::strlen(big), 79u);  // forty "5" joined by commas
  char small[10] = "keep";
  EXPECT_EQ(SystemNamesToSysIDList(many.c_str(), small, sizeof small), -1);
  EXPECT_STREQ(small, "keep");
}

TEST_F(SubsystemSets, ProductToNames) {
  int rc = 0;
  EXPECT_EQ(names_of(30), "A,B,D");
  EXPECT_EQ(names_of(10), "A,D");
  EXPECT_EQ(names_of(-1, &rc), "none");
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(names_of(7, &rc), "ERROR_INVALID_SYSID");
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(names_of(0), "A,B,D");
}

// Names of nine characters: of one byte, then of four.
TEST_F(SubsystemSets, FullTableOfLongNamesFitsTheRowBuffer) {
  std::string clefs;
  for (int i = 0; i < 9; ++i) clefs += "𝄞";
  for (const std::string& name : {std::string("SUBSYS099"), clefs}) {
    SubsystemTable& t = subsystem_table();
    t = SubsystemTable{};
    for (int i = 0; i < 49; ++i) {
      std::snprintf(t.names[i], sizeof t.names[i], "%s", name.c_str());
      t.ids[i] = 1;
    }
    t.count = 49;
    EXPECT_EQ(names_of(1).size(), 49 * (name.size() + 1) - 1) << name;
  }
}

TEST(StatusWords, CodesOneToSeven) {
  char out[16];
  EXPECT_EQ(StatusCodeToName(5, out, sizeof out), 0);
  EXPECT_STREQ(out, "IN_REPAIR");
  EXPECT_EQ(StatusCodeToName(7, out, sizeof out), 0);
  EXPECT_STREQ(out, "NONE");
  EXPECT_EQ(StatusCodeToName(0, out, sizeof out), -1);
  EXPECT_STREQ(out, "INVALID");
  EXPECT_EQ(StatusCodeToName(8, out, sizeof out), -1);
  EXPECT_STREQ(out, "INVALID");
}

}  // namespace
}  // namespace ferrule
