// Whole columns as a load reads them: integer lists from string_agg, the
// text form of arrays from array_agg, and the map that joins ports and
// devices in memory.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "paths/int_index.h"
#include "paths/whole_columns.h"

namespace {

using ferrule::ArrayElements;
using ferrule::IntIndex;
using ferrule::ReadIntList;

std::vector<int> List(const std::string& text, bool expect_ok = true) {
  std::vector<int> out;
  EXPECT_EQ(ReadIntList(text, out), expect_ok) << "\"" << text << "\"";
  return out;
}

TEST(WholeColumns, IntListsGiveEveryIntAndRefuseAnythingElse) {
  EXPECT_EQ(List("1,-2,0,2147483647,-2147483648"),
            (std::vector<int>{1, -2, 0, INT_MAX, INT_MIN}));
  EXPECT_EQ(List(""), std::vector<int>{}) << "an aggregate over no rows";
  EXPECT_EQ(List("007"), std::vector<int>{7});
  for (const char* bad : {"2147483648", "-2147483649", "99999999999999999999", "1,,2", "1,",
                          ",1", "-", "1-2", "NULL", "1 ,2", "{1,2}", "1.5"})
    List(bad, false);
}

// The elements of an array's text form with their null flags, or "FAILED".
std::vector<std::string> Elements(const std::string& text) {
  ArrayElements elements(text);
  std::vector<std::string> out;
  std::string_view value;
  bool is_null = false;
  while (elements.next(value, is_null)) out.push_back(is_null ? "<null>" : std::string(value));
  if (elements.failed()) out.push_back("FAILED");
  return out;
}

TEST(WholeColumns, ArrayElementsAreUnquotedAndOnlyABareNullIsNull) {
  // As array_out writes {a,"b c","NULL",NULL,"","x,y","{z}","q\"q","b\\s"}.
  EXPECT_EQ(Elements(R"({a,"b c","NULL",NULL,"","x,y","{z}","q\"q","b\\s"})"),
            (std::vector<std::string>{"a", "b c", "NULL", "<null>", "", "x,y", "{z}", "q\"q",
                                      "b\\s"}));
  EXPECT_EQ(Elements("{{1,2},{3,NULL}}"), (std::vector<std::string>{"1", "2", "3", "<null>"}));
  EXPECT_EQ(Elements("{}"), std::vector<std::string>{});
  EXPECT_EQ(Elements(""), std::vector<std::string>{}) << "an aggregate over no rows";
  EXPECT_EQ(Elements(R"({"open)"), std::vector<std::string>{"FAILED"});
  EXPECT_EQ(Elements("a,b"), std::vector<std::string>{"FAILED"}) << "not an array";
}

TEST(WholeColumns, ParallelColumnsMustHaveOneElementPerId) {
  std::vector<std::string> seen;
  auto take = [&](int id, const std::string_view* value, const bool* is_null) {
    seen.push_back(std::to_string(id) + "=" + (is_null[0] ? "<null>" : std::string(value[0])));
  };
  const std::string_view names[] = {R"({x,NULL,"y z"})"};
  EXPECT_TRUE(ferrule::ReadParallel("3,1,2", names, take));
  EXPECT_EQ(seen, (std::vector<std::string>{"3=x", "1=<null>", "2=y z"}));

  const std::string_view shorter[] = {"{x,y}"};
  const std::string_view longer[] = {"{x,y,z,w}"};
  const std::string_view broken[] = {R"({x,y,"z)"};
  EXPECT_FALSE(ferrule::ReadParallel("3,1,2", shorter, take));
  EXPECT_FALSE(ferrule::ReadParallel("3,1,2", longer, take));
  EXPECT_FALSE(ferrule::ReadParallel("3,1,2", broken, take));
  EXPECT_FALSE(ferrule::ReadParallel("3,x,2", names, take));
}

TEST(IntIndexTest, FindsEveryKeyWithItsFirstValue) {
  IntIndex index;
  int value = 0;
  EXPECT_FALSE(index.find(1, value)) << "empty";

  // Keys that share their low bits, negative keys and the extremes, enough
  // of them to grow the table several times.
  std::vector<int> keys = {0, -1, INT_MIN, INT_MAX};
  for (int i = 1; i <= 5000; ++i) keys.push_back(i * 65536);
  for (int i = 2; i <= 5001; ++i) keys.push_back(-i);
  for (std::size_t k = 0; k < keys.size(); ++k)
    EXPECT_EQ(index.add(keys[k], static_cast<int>(k)), static_cast<int>(k));
  EXPECT_EQ(index.add(INT_MIN, 77), 2) << "a key added again keeps its first value";

  for (std::size_t k = 0; k < keys.size(); ++k) {
    ASSERT_TRUE(index.find(keys[k], value)) << keys[k];
    EXPECT_EQ(value, static_cast<int>(k));
  }
  EXPECT_FALSE(index.find(65536 * 5001, value));
  EXPECT_FALSE(index.find(1, value));
}

}  // namespace
