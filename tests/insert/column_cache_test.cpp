// The column caches of a batch, without a database.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "column_cache.h"

using namespace ferrule;

TEST(ColumnCache, TextsGoBackToBackAndUnpackIntoSlots) {
  StringColumnCache column;
  ASSERT_EQ(AppendToStringCache("a", column, 1), 0);
  ASSERT_EQ(AppendToStringCache("abc", column, 0), 0);
  EXPECT_EQ(std::string(column.buffer.begin(), column.buffer.end()), std::string("a\0abc\0", 6));
  EXPECT_EQ(column.total, 6);
  EXPECT_EQ(column.count, 2);
  EXPECT_EQ(column.longest, 4);

  char slots[8];
  std::memset(slots, 'x', sizeof slots);
  ASSERT_EQ(UnpackStringCache(column, 2, 4, slots), 0);
  EXPECT_EQ(std::string(slots, 8), std::string("a\0xxabc\0", 8));  // slot tails untouched
  // Slots too narrow, or more rows than cached: refused, nothing written.
  std::memset(slots, 'x', sizeof slots);
  EXPECT_EQ(UnpackStringCache(column, 2, 3, slots), -1);
  EXPECT_EQ(UnpackStringCache(column, 3, 4, slots), -1);
  EXPECT_EQ(slots[0], 'x');

  // A first row starts the column afresh.
  ASSERT_EQ(AppendToStringCache("xy", column, 1), 0);
  EXPECT_EQ(column.count, 1);
  EXPECT_EQ(column.total, 3);
  EXPECT_EQ(column.longest, 3);
  // Released or never filled: nothing to unpack.
  column.release();
  EXPECT_EQ(UnpackStringCache(column, 1, 8, slots), -1);
  EXPECT_EQ(UnpackStringCache(StringColumnCache{}, 0, 8, slots), -1);
}

TEST(ColumnCache, NullTextKeepsItsPlaceAndItsIndicatorTellsItApart) {
  StringColumnCache column;
  AppendToStringCache(nullptr, column, 1);
  AppendToStringCache("b", column, 0);
  char slots[4] = {'x', 'x', 'x', 'x'};
  ASSERT_EQ(UnpackStringCache(column, 2, 2, slots), 0);
  EXPECT_EQ(std::string(slots, 4), std::string("\0xb\0", 4));
  EXPECT_EQ(NullIndicator(nullptr), -1);
  EXPECT_EQ(NullIndicator(""), 0);
}

TEST(ColumnCache, IntegersAppendAndStartAfresh) {
  IntColumnCache column;
  ASSERT_EQ(AppendToIntCache(7, column, 1), 0);
  ASSERT_EQ(AppendToIntCache(-1, column, 0), 0);
  EXPECT_EQ(column.array, (std::vector<int>{7, -1}));
  EXPECT_EQ(column.count, 2);
  ASSERT_EQ(AppendToIntCache(3, column, 1), 0);
  EXPECT_EQ(column.array, std::vector<int>{3});
  EXPECT_EQ(column.count, 1);
}
