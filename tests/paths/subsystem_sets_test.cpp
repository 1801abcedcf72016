// The subsystem-set relation that the searches by devices test in memory
// must be the one the statements test with vexa_mod on the server.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "paths/subsystem_filter.h"
#include "test_db.h"

namespace {

TEST(SubsystemRelation, InMemoryExactlyWhenRelatedOnTheServer) {
  REQUIRE_TEST_DB();
  const std::vector<int> sets = {0, 1, -1, 2, 3, 5, 6, 7, 10, 15, 30, -30, 210, INT_MAX, INT_MIN};
  std::string values;
  for (const int s : sets) values += (values.empty() ? "" : ",") + std::to_string(s);
  const std::string table = "unnest(array[" + values + "]::int[]) with ordinality";
  // One row per pair, in the order of the loops below.
  const std::vector<std::string> server = testdb::column(
      "select (vexa_mod(a.s,b.s)=0 or vexa_mod(b.s,a.s)=0)::text from " + table + " a(s,i), " +
      table + " b(s,j) order by a.i, b.j");
  ASSERT_EQ(server.size(), sets.size() * sets.size());
  std::size_t row = 0;
  for (const int a : sets) {
    for (const int b : sets) {
      EXPECT_EQ(ferrule::SetsRelated(a, b), server[row] == "true") << a << " and " << b;
      ++row;
    }
  }
}

}  // namespace
