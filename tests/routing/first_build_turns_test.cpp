// The first routing and destination tables of a database, built while other
// sessions change links: whichever transaction commits first, the stored
// tables must end as a build after both gives them, and the sessions must
// not wait for each other for good. Driven through libpq sessions, as
// refresh_turns_test.cpp does once tables are stored.
#include <gtest/gtest.h>

#include <string>

#include "database_fixture.h"
#include "network_rows.h"
#include "sql_session.h"

namespace {

using testdb::Session;

constexpr const char* kBuild =
    "select routingtable_pck.createRT_all_devname('h1', 1, 10, 1) + "
    "routingtable_pck.createTD_all_devname('h1', 1, 10, 1)";
constexpr const char* kRefresh = "select routingtable_pck.updatepathused(1)";

std::string Unused(int linkid) {
  return "update vexa_macroscopic_connectivity set lkused = 0 where linkid = " +
         std::to_string(linkid);
}

// h1 reaches h2 over s1 (links 1, 3) and over s2 (links 2, 4); no table is
// stored.
class FirstBuildTurns : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    testnet::TwoSwitches();
  }

  // What the tables of h1 show: routing rows, destination rows and the
  // devices of each route.
  static constexpr const char* kTablesOfH1 =
      "select concat_ws(' / ', "
      "(select string_agg(concat_ws(':', nodeid_end1, pfromid0, ptoid0, ptoid1, "
      "routingpathused), ',' order by nodeid_end1, pfromid0, ptoid0) "
      "from vexa_routingtable where nodeid_start0 = 101), "
      "(select string_agg(nodeid_end1 || ':' || pfromid0, ',' order by nodeid_end1, pfromid0) "
      "from vexa_destinationtable where nodeid_start0 = 101), "
      "(select string_agg(concat_ws(':', node2, node3, node4, node11), ',' "
      "order by node11, node2, node3, node4) from vexa_pdetails where node1 = 101))";

  // The stored tables of h1 are those that building them now gives, and
  // the link set unused carries no route of theirs.
  void expect_as_a_fresh_build(const std::string& unused_port) {
    const std::string stored = testdb::value(kTablesOfH1);
    Session fresh(params_);
    ASSERT_EQ(fresh.run("BEGIN"), "");
    ASSERT_EQ(fresh.run(kBuild), "0");
    const std::string built = fresh.run(kTablesOfH1);
    fresh.run("ROLLBACK");
    EXPECT_EQ(stored, built);
    EXPECT_EQ(testdb::value("select count(*) from vexa_routingtable where ptoid1 = " +
                            unused_port),
              "0");
  }
};

// The build commits first: the change, made while the build was open,
// still reaches the table through its refresh.
TEST_F(FirstBuildTurns, ALinkChangedWhileTheFirstBuildIsOpenReachesTheTable) {
  Session build(params_), change(params_);
  ASSERT_EQ(build.run("BEGIN"), "");
  ASSERT_EQ(build.run(kBuild), "0");
  ASSERT_EQ(change.run("BEGIN"), "");
  change.send(Unused(3));
  testdb::UntilWaiting(change);
  ASSERT_EQ(build.run("COMMIT"), "");
  ASSERT_EQ(change.wait(), "");
  EXPECT_EQ(change.run(kRefresh), "0");
  ASSERT_EQ(change.run("COMMIT"), "");
  expect_as_a_fresh_build("1014");
}

// The change commits first: the build, begun while the change was not yet
// committed, reads the links with it.
TEST_F(FirstBuildTurns, TheFirstBuildReadsALinkChangeCommittedWhileItRan) {
  Session build(params_), change(params_);
  ASSERT_EQ(change.run("BEGIN"), "");
  ASSERT_EQ(change.run(Unused(3)), "");
  EXPECT_EQ(change.run(kRefresh), "0");
  ASSERT_EQ(build.run("BEGIN"), "");
  build.send(kBuild);
  testdb::UntilWaiting(build);
  ASSERT_EQ(change.run("COMMIT"), "");
  EXPECT_EQ(build.wait(), "0");
  ASSERT_EQ(build.run("COMMIT"), "");
  expect_as_a_fresh_build("1014");
}

// Two changes made while the build is open both reach the table, and
// their refreshes take turns: the first does not wait for the second's
// transaction.
TEST_F(FirstBuildTurns, TwoLinkChangesThatWaitedForTheFirstBuildRefreshInTurn) {
  Session build(params_), first(params_), second(params_);
  ASSERT_EQ(build.run("BEGIN"), "");
  ASSERT_EQ(build.run(kBuild), "0");
  ASSERT_EQ(first.run("BEGIN"), "");
  ASSERT_EQ(second.run("BEGIN"), "");
  first.send(Unused(3));
  second.send(Unused(4));
  testdb::UntilWaiting(first);
  testdb::UntilWaiting(second);
  ASSERT_EQ(build.run("COMMIT"), "");
  ASSERT_EQ(first.wait(), "");
  ASSERT_EQ(second.wait(), "");

  first.send(kRefresh);
  testdb::UntilWaiting(first);
  ASSERT_FALSE(first.busy()) << "the refresh waits for the other change's transaction";
  EXPECT_EQ(first.wait(), "0");
  second.send(kRefresh);
  testdb::UntilWaiting(second);
  ASSERT_EQ(first.run("COMMIT"), "");
  EXPECT_EQ(second.wait(), "0");
  ASSERT_EQ(second.run("COMMIT"), "");
  expect_as_a_fresh_build("1016");
  EXPECT_EQ(testdb::value("select count(*) from vexa_routingtable where nodeid_end1 = 107"), "0");
}

}  // namespace
