// Builds and schema jobs that the server refuses leave nothing of their own
// in the server session: on a connection with nothing pending, no
// transaction, no transaction id and no lock stays behind them; after work
// that earlier calls left pending, that work stays pending with exactly its
// locks, and its commit stores it.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "library_transaction.h"
#include "network_fixture.h"
#include "raising_trigger.h"

namespace {

enum class Job { kRoutingTable, kDestinationTable, kDropSchema, kCreateSchema };

// What makes the server refuse a job, made behind the library's back.
enum class Obstacle {
  kNone,
  kRaisingWrites,      // the build's writes raise: -3 with the database's words
  kNoRoutingTable,     // dropped: a routing table build is refused with -3
  kDependentView,      // a view on a dynamic table: dropping the tables fails
  kViewWhereATableIs,  // a view in a table's place: creating its index fails
};

struct Refusal {
  const char* name;
  Job job;
  const char* device;  // of a build
  int roundtrip;       // of a build
  Obstacle obstacle;
  int answer;
};

const Refusal kRefusals[] = {
    {"RoutingTableOfAnUnknownDevice", Job::kRoutingTable, "nobody", 10, Obstacle::kNone, -1},
    {"RoutingTableOfNoDevice", Job::kRoutingTable, nullptr, 10, Obstacle::kNone, -1},
    {"RoutingTableBelowOneRoundTrip", Job::kRoutingTable, "a", -4, Obstacle::kNone, -2},
    {"RoutingTableTheDatabaseRefuses", Job::kRoutingTable, "a", 10, Obstacle::kRaisingWrites, -3},
    {"RoutingTableWithoutItsTable", Job::kRoutingTable, "a", 10, Obstacle::kNoRoutingTable, -3},
    {"DestinationTableOfAnUnknownDevice", Job::kDestinationTable, "nobody", 10, Obstacle::kNone,
     -1},
    {"DestinationTableBelowOneRoundTrip", Job::kDestinationTable, "a", 0, Obstacle::kNone, -2},
    {"DestinationTableTheDatabaseRefuses", Job::kDestinationTable, "a", 10,
     Obstacle::kRaisingWrites, -3},
    {"SchemaTheDatabaseCannotDrop", Job::kDropSchema, nullptr, 0, Obstacle::kDependentView, -1},
    {"SchemaTheDatabaseCannotCreate", Job::kCreateSchema, nullptr, 0,
     Obstacle::kViewWhereATableIs, -1},
};

void PrintTo(const Refusal& refusal, std::ostream* os) { *os << refusal.name; }

int CallJob(Job job, const char* device, int roundtrip, char* ErrMess) {
  switch (job) {
    case Job::kRoutingTable:
      return CreateRoutingTable(device, roundtrip, ErrMess);
    case Job::kDestinationTable:
      return CreateDestinationTable(device, roundtrip, ErrMess);
    case Job::kDropSchema:
      return DropTableSchema(ErrMess);
    case Job::kCreateSchema:
      return CreateTableSchema(ErrMess);
  }
  return 1;
}

// How ErrMess begins when the job is refused.
std::string Reason(Job job) {
  switch (job) {
    case Job::kRoutingTable:
      return "ERROR in CreateRoutingTable : Couldn't create the routing table";
    case Job::kDestinationTable:
      return "ERROR in CreateDestinationTable : Couldn't create the destination table";
    case Job::kDropSchema:
      return "ERROR in DropTableSchema : Couldn't create the tables";
    case Job::kCreateSchema:
      return "ERROR in CreateTableSchema : Couldn't create the tables";
  }
  return "";
}

class RefusedJobs : public NetworkTest, public testing::WithParamInterface<Refusal> {
 protected:
  void SetUp() override {
    NetworkTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    testnet::OneLink();
    backend_ = testdb::LibraryBackend();
    ASSERT_GT(backend_, 0);
  }
  // The session ends before the obstacle goes, so that no lock it held
  // keeps the obstacle's removal waiting.
  void TearDown() override {
    NetworkTest::TearDown();
    trigger_.reset();
    if (GetParam().obstacle == Obstacle::kDependentView)
      testdb::exec("drop view ferrule_test_dependent");
    if (GetParam().obstacle == Obstacle::kViewWhereATableIs)
      testdb::exec("drop view vexa_pdetails");
    testdb::reset();  // brings dropped tables back
  }

  void PutObstacle() {
    switch (GetParam().obstacle) {
      case Obstacle::kNone:
        break;
      case Obstacle::kRaisingWrites:
        trigger_ = std::make_unique<RaisingTrigger>("routingtable_pck.built_tables",
                                                    "insert or update");
        break;
      case Obstacle::kNoRoutingTable:
        testdb::exec("drop view vexa_routingtable");
        break;
      case Obstacle::kDependentView:
        testdb::exec("create view ferrule_test_dependent as select * from vexa_path_temp");
        break;
      case Obstacle::kViewWhereATableIs:
        testdb::exec("drop table vexa_pdetails; "
                     "create view vexa_pdetails as select 1 as node1, 2 as node11");
        break;
    }
  }

  // The job done once and committed, so that its block's procedure is made
  // and a refusal makes none inside a pending transaction. The schema is
  // dropped and created again, as it was.
  void DoneOnce() {
    const Job job = GetParam().job;
    const bool build = job == Job::kRoutingTable || job == Job::kDestinationTable;
    ASSERT_EQ(Quiet([&] {
                return build ? CallJob(job, "a", 10, err_)
                             : DropTableSchema(err_) + CreateTableSchema(err_);
              }),
              0)
        << err_;
    commit_library();
  }

  void Refuse() {
    const Refusal& r = GetParam();
    EXPECT_EQ(Quiet([&] { return CallJob(r.job, r.device, r.roundtrip, err_); }), r.answer) << err_;
    EXPECT_EQ(std::string(err_).rfind(Reason(r.job), 0), 0u) << err_;
  }

  testdb::SessionTransaction Transaction() const { return testdb::TransactionOf(backend_); }

  int backend_ = -1;
  std::unique_ptr<RaisingTrigger> trigger_;
};

TEST_P(RefusedJobs, LeaveNoTransactionWhereNothingWasPending) {
  PutObstacle();
  ASSERT_TRUE(Transaction().outside_any()) << Transaction();
  Refuse();
  EXPECT_TRUE(Transaction().outside_any()) << Transaction();
}

TEST_P(RefusedJobs, LeaveWhatWasPendingAsItWasWithItsLocks) {
  DoneOnce();
  PutObstacle();
  ASSERT_EQ(Quiet([&] { return UpdateMultipleDeviceActiveByType("b", 1, 0, 0, err_); }), 0)
      << err_;
  const testdb::SessionTransaction pending = Transaction();
  ASSERT_EQ(pending.state, "idle in transaction");
  ASSERT_NE(pending.xid, "<null>");

  Refuse();
  const testdb::SessionTransaction after = Transaction();
  EXPECT_EQ(after.state, pending.state);
  EXPECT_EQ(after.xid, pending.xid);
  EXPECT_EQ(after.locks, pending.locks);
  const std::string active_b = "select active from vexa_lg_devices where devicename = 'b'";
  EXPECT_EQ(testdb::value(active_b), "0");

  commit_library();
  EXPECT_TRUE(Transaction().outside_any()) << Transaction();
  EXPECT_EQ(testdb::value(active_b), "1");
}

std::string RefusalName(const testing::TestParamInfo<Refusal>& refusal) {
  return refusal.param.name;
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedJobs, testing::ValuesIn(kRefusals), RefusalName);

}  // namespace
