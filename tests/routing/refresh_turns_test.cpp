// Two sessions that change links and refresh the stored routes at once,
// driven through two libpq connections in orders where, unless the writers
// of the routes take turns, they deadlock, or one splices bundles that the
// other has just rewritten and routes are lost or doubled. Either way the
// stored tables must end as a build gives them.
#include <gtest/gtest.h>

#include <string>

#include "database_fixture.h"
#include "network_rows.h"
#include "sql_session.h"

namespace {

using testdb::Session;

class RefreshTurns : public DatabaseTest {
 protected:
  // h1 reaches h2 over s1 (links 1, 3) and over s2 (links 2, 4); its
  // routing and destination tables are stored.
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    testnet::TwoSwitches();
    ASSERT_EQ(testdb::value("select routingtable_pck.createRT_all_devname('h1', 1, 10, 1) + "
                            "routingtable_pck.createTD_all_devname('h1', 1, 10, 1)"),
              "0");
  }

  // With links 3 and 4 out of use, h2 is out of reach, as a build gives.
  static void expect_h2_out_of_reach() {
    const std::string routes =
        "select string_agg(nodeid_end1 || ':' || pfromid0, ',' order by nodeid_end1) "
        "from vexa_routingtable where nodeid_start0 = 101";
    const std::string destinations =
        "select string_agg(nodeid_end1 || ':' || pfromid0, ',' order by nodeid_end1) "
        "from vexa_destinationtable where nodeid_start0 = 101";
    EXPECT_EQ(testdb::value(routes), "103:1002,105:1004");
    EXPECT_EQ(testdb::value(destinations), "103:1002,105:1004");
    EXPECT_EQ(testdb::value("select count(*) from vexa_pdetails where node11 = 107"), "0");
  }
};

// One session builds a table and keeps its transaction open (the library's
// builders do not commit); the other refreshes and waits for the rows that
// build rewrote; then the first refreshes too.
TEST_F(RefreshTurns, ABuildAndTwoRefreshesInOpenTransactionsDoNotDeadlock) {
  Session first(params_), second(params_);
  // The second session rebuilds the destination table of h1, uncommitted.
  ASSERT_EQ(second.run("BEGIN"), "");
  ASSERT_EQ(second.run("select routingtable_pck.createTD_all_devname('h1', 1, 10, 1)"), "0");
  // The first takes link 3 out of use and refreshes: the routing table
  // first, then the destination table, which the second holds.
  ASSERT_EQ(first.run("BEGIN"), "");
  ASSERT_EQ(first.run("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 3"), "");
  first.send("select pathqueries_pck.CheckAndUpdateDynamicTables(1)");
  testdb::UntilWaiting(first);
  // The second takes link 4 out of use and refreshes, in the same
  // transaction as its build.
  ASSERT_EQ(second.run("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 4"), "");
  EXPECT_EQ(second.run("select routingtable_pck.updatepathused(1)"), "0");
  ASSERT_EQ(second.run("COMMIT"), "");
  const std::string first_answer = first.wait();
  EXPECT_EQ(first_answer.rfind("ROUTES_REFRESHED: ", 0), 0u) << first_answer;
  ASSERT_EQ(first.run("COMMIT"), "");
  expect_h2_out_of_reach();
}

// A refresh that waits for another one to commit goes on from what that
// one wrote, instead of splicing the bundles it had read before.
TEST_F(RefreshTurns, ARefreshAfterAnotherKeepsBothChanges) {
  Session first(params_), second(params_);
  ASSERT_EQ(first.run("BEGIN"), "");
  ASSERT_EQ(first.run("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 3"), "");
  ASSERT_EQ(first.run("select routingtable_pck.updatepathused(1)"), "0");
  ASSERT_EQ(second.run("BEGIN"), "");
  ASSERT_EQ(second.run("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 4"), "");
  second.send("select routingtable_pck.updatepathused(1)");
  testdb::UntilWaiting(second);
  ASSERT_EQ(first.run("COMMIT"), "");
  EXPECT_EQ(second.wait(), "0");
  ASSERT_EQ(second.run("COMMIT"), "");
  expect_h2_out_of_reach();
}

}  // namespace
