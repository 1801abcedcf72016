// The column caches, the row cache built on them, the port input rules and
// the formatting of insert blocks: no database needed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "column_cache.h"
#include "insert/insert_statement.h"
#include "insert/port_rules.h"
#include "insert/row_cache.h"

using namespace ferrule;

namespace {

std::vector<std::string> Unpacked(const StringColumnCache& column, int width) {
  std::vector<char> slots(static_cast<std::size_t>(column.count) * width, 'x');
  EXPECT_EQ(UnpackStringCache(column, column.count, width, slots.data()), 0);
  std::vector<std::string> out;
  for (int i = 0; i < column.count; ++i) out.emplace_back(slots.data() + i * width);
  return out;
}

}  // namespace

TEST(StringColumnCache, AppendsBackToBackAndUnpacksIntoSlots) {
  StringColumnCache column;
  ASSERT_EQ(AppendToStringCache("a", column, 1), 0);
  ASSERT_EQ(AppendToStringCache("abc", column, 0), 0);
  EXPECT_EQ(column.total, 6);
  EXPECT_EQ(column.count, 2);
  EXPECT_EQ(column.longest, 4);
  EXPECT_EQ(std::string(column.buffer.begin(), column.buffer.end()), std::string("a\0abc\0", 6));

  char slots[8];
  std::memset(slots, 'x', sizeof slots);
  ASSERT_EQ(UnpackStringCache(column, 2, 4, slots), 0);
  EXPECT_EQ(std::string(slots, 8), std::string("a\0xxabc\0", 8));  // slot tail untouched
}

TEST(StringColumnCache, FirstFlagStartsAfreshAndReleaseKeepsCounters) {
  StringColumnCache column;
  AppendToStringCache("first", column, 1);
  AppendToStringCache("second", column, 0);
  ASSERT_EQ(AppendToStringCache("xy", column, 1), 0);
  EXPECT_EQ(column.count, 1);
  EXPECT_EQ(column.total, 3);
  EXPECT_EQ(column.longest, 3);

  column.release();
  EXPECT_FALSE(column.has_storage());
  EXPECT_EQ(column.count, 1);
  char slot[8];
  EXPECT_EQ(UnpackStringCache(column, 1, 8, slot), -1);
  StringColumnCache never_filled;
  EXPECT_EQ(UnpackStringCache(never_filled, 0, 8, slot), -1);

  // A column without storage starts afresh even when the flag says append.
  ASSERT_EQ(AppendToStringCache("z", column, 0), 0);
  EXPECT_EQ(column.count, 1);
  EXPECT_EQ(column.total, 2);
}

TEST(StringColumnCache, NullValueKeepsItsPlace) {
  StringColumnCache column;
  AppendToStringCache(nullptr, column, 1);
  AppendToStringCache("b", column, 0);
  AppendToStringCache("", column, 0);
  EXPECT_EQ(Unpacked(column, column.longest), (std::vector<std::string>{"", "b", ""}));
  EXPECT_EQ(NullIndicator(nullptr), -1);
  EXPECT_EQ(NullIndicator(""), 0);
  EXPECT_EQ(NullIndicator("b"), 0);
}

TEST(StringColumnCache, UnpackRefusesSlotsTooNarrowOrTooMany) {
  StringColumnCache column;
  AppendToStringCache("abc", column, 1);
  AppendToStringCache("a", column, 0);
  char slots[16];
  std::memset(slots, 'x', sizeof slots);
  EXPECT_EQ(UnpackStringCache(column, 2, 3, slots), -1);  // "abc" needs 4
  EXPECT_EQ(slots[0], 'x');                                // nothing written
  EXPECT_EQ(UnpackStringCache(column, 3, 4, slots), -1);  // only 2 rows
  EXPECT_EQ(UnpackStringCache(column, 1, 4, slots), 0);   // a prefix is fine
}

TEST(IntColumnCache, AppendsAndStartsAfresh) {
  IntColumnCache column;
  ASSERT_EQ(AppendToIntCache(7, column, 1), 0);
  EXPECT_EQ(column.array, std::vector<int>{7});
  EXPECT_EQ(column.count, 1);
  ASSERT_EQ(AppendToIntCache(-1, column, 0), 0);
  EXPECT_EQ(column.array, (std::vector<int>{7, -1}));
  EXPECT_EQ(column.count, 2);
  ASSERT_EQ(AppendToIntCache(3, column, 1), 0);
  EXPECT_EQ(column.array, std::vector<int>{3});
  column.release();
  EXPECT_FALSE(column.has_storage());
}

TEST(RowCache, KeepsColumnsAlignedAndReleasesThemAll) {
  RowCache cache(2, 1);
  cache.initialised = 1;
  ASSERT_EQ(cache.append(RowValues{{"dev1", nullptr}, {4}}, 1), 0);
  ASSERT_EQ(cache.append(RowValues{{"dev2", "port"}, {5}}, 0), 0);
  EXPECT_EQ(cache.rows(), 2);
  EXPECT_EQ(cache.indicators[1].array, (std::vector<int>{-1, 0}));
  EXPECT_EQ(cache.indicators[0].array, (std::vector<int>{0, 0}));
  EXPECT_EQ(cache.values[0].array, (std::vector<int>{4, 5}));
  EXPECT_EQ(Unpacked(cache.texts[1], cache.texts[1].longest), (std::vector<std::string>{"", "port"}));

  EXPECT_EQ(cache.release(), 0);
  EXPECT_EQ(cache.initialised, 0);
  EXPECT_FALSE(cache.lead_has_storage());
  EXPECT_EQ(cache.rows(), 0);
  for (const auto& c : cache.values) EXPECT_FALSE(c.has_storage());
  for (const auto& c : cache.indicators) EXPECT_FALSE(c.has_storage());
}

TEST(PortRules, IpRuleKeepsOnlyDottedAddressesOfFiveOrMoreCharacters) {
  EXPECT_EQ(ApplyIpRule(nullptr), "none");
  EXPECT_EQ(ApplyIpRule("1.2."), "none");      // 4 characters
  EXPECT_EQ(ApplyIpRule("localhost"), "none");  // no '.'
  EXPECT_EQ(ApplyIpRule("1.2.3"), "1.2.3");
  const std::string long_address = "10.130.240.251.with.a.long.suffix.of.text";
  EXPECT_EQ(ApplyIpRule(long_address.c_str()), long_address);  // never cut
}

TEST(PortRules, MissingPortTypeIsNone) {
  EXPECT_EQ(PortTypeKey(nullptr), "none");
  EXPECT_EQ(PortTypeKey(""), "none");
  const std::string long_type(150, 't');
  EXPECT_EQ(PortTypeKey(long_type.c_str()), long_type);
}

TEST(InsertStatement, CallerNamesCannotLeaveTheirQuotes) {
  const InsertStatement statement{
      "insert into %s(a,b,c) values(:a,'%s','%s') -- %s",
      {TemplateArg::Text("t"), TemplateArg::Login(), TemplateArg::Host(),
       TemplateArg::Text("ROW_COUNT")},
      {":a"},
      {},
      {}};
  CallerIdentity who{"host'); drop table t; --", "o'neil"};
  EXPECT_EQ(statement.format(who),
            "insert into t(a,b,c) values(:a,'o''neil','host''); drop table t; --') -- ROW_COUNT");
}
