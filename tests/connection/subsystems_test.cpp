// Subsystem sets against an in-memory table; no database involved.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
      std::strcpy(t.names[t.count], name);
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
  EXPECT_EQ(SystemNamesToSysID("A,A"), 4);
  EXPECT_EQ(SystemNamesToSysID("A,X"), 2);
  EXPECT_EQ(SystemNamesToSysID("X,A"), -1);
  EXPECT_EQ(SystemNamesToSysID(""), 1);
  EXPECT_EQ(SystemNamesToSysID(nullptr), -1);
  EXPECT_EQ(SystemNamesToSysID("a"), -1) << "names compare with their case";
  EXPECT_EQ(SystemNamesToSysID("A,"), 2) << "a trailing comma ends the list";
  EXPECT_EQ(SystemNamesToSysID("AVERYLONGNAMEINDEED,A"), -1);
}

TEST_F(SubsystemSets, ProductThatDoesNotFitIsRefusedNotWrapped) {
  load({{"P1", 65521}, {"P2", 65537}});
  EXPECT_EQ(SystemNamesToSysID("P1"), 65521);
  EXPECT_EQ(SystemNamesToSysID("P1,P2"), -1);
  EXPECT_EQ(SystemNamesToSysID("P1,P1"), -1);
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

TEST_F(SubsystemSets, IdListNeverOverflowsItsBuffer) {
  std::string many;
  for (int i = 0; i < 40; ++i) many += "D,";
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

TEST_F(SubsystemSets, FullTableOfLongNamesFitsTheRowBuffer) {
  SubsystemTable& t = subsystem_table();
  t = SubsystemTable{};
  for (int i = 0; i < 49; ++i) {
    std::snprintf(t.names[i], sizeof t.names[i], "SUBSYS%03d", i);
    t.ids[i] = 1;
  }
  t.count = 49;
  std::string all = names_of(1);
  EXPECT_EQ(all.size(), 49u * 10 - 1);
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
