// Calls of the library that lose a deadlock against another client, which
// holds the routes (a build or a refresh not yet committed) and then waits
// for a row that the call holds. The server ends the call that waited
// first: here the library's. Its answer keeps its own code and word, with
// the database's words after them, so that a caller can tell a deadlock to
// retry; what the call did is undone, and made again, it goes through.
#include <atomic>
#include <chrono>
#include <thread>

#include "network_fixture.h"
#include "sql_session.h"

namespace {

class DeadlockAnswers : public NetworkTest {
 protected:
  // h1's routing table is stored.
  void SetUp() override {
    NetworkTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    testnet::TwoSwitches();
    ASSERT_EQ(one("select routingtable_pck.createRT_all_devname('h1', 1, 10, 1)"), "0");
  }

  // Makes call on a thread of its own and returns its answer once it ran;
  // `meanwhile` runs as soon as the call waits for a lock that `other`
  // holds.
  template <class Call, class Meanwhile>
  int CallWhileWaiting(testdb::Session& other, Call call, Meanwhile meanwhile) {
    std::atomic<bool> done{false};
    int rc = -99;
    std::thread caller([&] {
      rc = Quiet(call);
      done = true;
    });
    testdb::WaitUntil([&] { return done || testdb::AnotherWaitsForALock(other.pid()); });
    EXPECT_FALSE(done) << "the call did not wait";
    // The server ends the waiter whose deadlock check (a second after its
    // wait began) comes first: the call's, well ahead of the other's.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    meanwhile();
    caller.join();
    return rc;
  }

  int TakeLink3OutOfUse() {
    return UpdateMultipleLkUsedLinks("s1", "none", "o2", nullptr, nullptr, nullptr, 0, 1, 1, err_);
  }
};

// The send updated link 3 and its refresh waits for the routes; the other
// client, which holds them, changes link 3 too.
TEST_F(DeadlockAnswers, ASendWhoseRefreshLosesIsUndoneAndMayBeSentAgain) {
  testdb::Session other(params_);
  other.run("BEGIN");
  ASSERT_EQ(other.run("select routingtable_pck.createRT_all_devname('h2', 1, 10, 1)"), "0");
  std::string other_change;
  const int rc = CallWhileWaiting(other, [&] { return TakeLink3OutOfUse(); }, [&] {
    other_change =
        other.run("update vexa_macroscopic_connectivity set link_info = 'other' where linkid = 3");
  });
  ASSERT_EQ(other.run("COMMIT"), "");

  EXPECT_EQ(rc, -1);
  EXPECT_STREQ(err_, "ERROR in UpdateMultipleLkUsedLinks : PATH_REFRESH_FAILED: deadlock detected");
  EXPECT_EQ(other_change, "");
  EXPECT_EQ(one("select concat_ws(':', lkused, link_info) from vexa_macroscopic_connectivity "
                "where linkid = 3"),
            "1:other");

  ASSERT_EQ(Quiet([&] { return TakeLink3OutOfUse(); }), 0) << err_;
  EXPECT_EQ(one("select lkused from vexa_macroscopic_connectivity where linkid = 3"), "0");
}

// The build waits for the routes, which the other client's refresh holds;
// that client then changes a device that an earlier call of the library
// left changed and uncommitted.
TEST_F(DeadlockAnswers, ABuildThatLosesIsUndoneAndMayBeMadeAgain) {
  ASSERT_EQ(UpdateMultipleDeviceActiveByType("h2", 1, 0, 0, err_), 0) << err_;  // left pending
  testdb::Session other(params_);
  other.run("BEGIN");
  ASSERT_EQ(other.run("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 4"), "");
  ASSERT_EQ(other.run("select routingtable_pck.updatepathused(1)"), "0");
  const int rc = CallWhileWaiting(other, [&] { return CreateRoutingTable("h1", 10, err_); }, [&] {
    other.send("update vexa_lg_devices set location = 'other' where devicename = 'h2'");
  });

  EXPECT_EQ(rc, -3);
  EXPECT_STREQ(err_, "ERROR in CreateRoutingTable : Couldn't create the routing table: "
                     "deadlock detected");
  // The earlier call's work is still there; committed, it lets the other
  // client go on.
  ASSERT_EQ(Quiet([&] { return UpdateMultipleDeviceActiveByType("h1", 1, 0, 1, err_); }), 0)
      << err_;
  EXPECT_EQ(other.wait(), "");
  ASSERT_EQ(other.run("COMMIT"), "");
  EXPECT_EQ(one("select string_agg(concat_ws(':', devicename, active, location), ',' order by "
                "devicename) from vexa_lg_devices where devicename in ('h1', 'h2')"),
            "h1:1,h2:1:other");

  ASSERT_EQ(CreateRoutingTable("h1", 10, err_), 0) << err_;
  EXPECT_STREQ(err_, "NO_ERROR in CreateRoutingTable");
}

}  // namespace
