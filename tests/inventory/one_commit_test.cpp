// The inventory changes that empty or fill an item recompute the usage of
// its links in a second block. The change and the recompute are one
// transaction: while the recompute waits for a link that another client
// holds, nobody sees the change, and a recompute that fails (here: its
// statement is cancelled) undoes the change with it, while what an earlier
// call left uncommitted stays for the next commit.
#include <atomic>
#include <functional>
#include <thread>

#include "inventory_fixture.h"
#include "sql_session.h"

namespace {

struct TwoBlockCall {
  const char* name;
  const char* links;  // the table of the links the second block rewrites
  std::function<int(char*)> call;
};

void PrintTo(const TwoBlockCall& c, std::ostream* os) { *os << c.name; }

const char* const kMacroLinks = "vexa_macroscopic_connectivity";
const char* const kMicroLinks = "vexa_microscopic_connectivity";
const char* const kDate = "26/03/01/10/00/00";

const TwoBlockCall kCalls[] = {
    {"ReplaceFunctionalDevice", kMacroLinks,
     [](char* err) {
       return ReplaceFunctionalDevice("sw1", "IN_REPAIR", "lab", "c", kDate, "none", nullptr, err);
     }},
    {"SetToTestUseStatus", kMacroLinks,
     [](char* err) { return SetToTestUseStatus("sw1", "c", kDate, nullptr, "tb", nullptr, err); }},
    {"UpdateHWDeviceStatus", kMacroLinks,
     [](char* err) { return UpdateHWDeviceStatus("SP1", "IN_USE", "x", "c", kDate, "empty", err); }},
    {"ReplaceFunctionalBoardCpnt", kMicroLinks,
     [](char* err) {
       return ReplaceFunctionalBoardCpnt("c1", "IN_REPAIR", "lab", "c", kDate, nullptr, nullptr,
                                         err);
     }},
    {"UpdateHWBoardCpntStatus", kMicroLinks,
     [](char* err) { return UpdateHWBoardCpntStatus("CS", "IN_USE", "x", "c", kDate, "c3", err); }},
};

}  // namespace

class OneCommitTest : public InventoryTest, public testing::WithParamInterface<TwoBlockCall> {
 protected:
  void SetUp() override {
    InventoryTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    LinkedSwitches();
    Device("empty", "");
    Device("tb", "");
    Link("empty", "sw2");
    Hardware("SP1", 2);
    Device("b1", "HB1");
    HwCpnt("C1", "c1", 1, "HB1");
    HwCpnt("C2", "c2", 1, "HB1");
    HwCpnt("CS", "c3", 2, "shelf");
    Cpnt("c1", "b1", "C1");
    Cpnt("c2", "b1", "C2");
    Cpnt("c3", "b1", "");
    MicroLink("c1", "c2");
    MicroLink("c3", "c2");
  }
};

TEST_P(OneCommitTest, ChangeAndLinkRecomputeCommitTogetherOrNotAtAll) {
  const TwoBlockCall& c = GetParam();
  const std::string before = Snapshot();
  // Work of an earlier call, left uncommitted.
  ASSERT_EQ(Quiet([&] { return UpdateMultipleDeviceActiveByType("sw2", 1, 0, 0, err_); }), 0)
      << err_;

  testdb::Session holder(params_);
  holder.run("BEGIN");
  ASSERT_NE(holder.run(std::string("select count(*) from (select 1 from ") + c.links +
                       " for update) held"),
            "0");
  std::atomic<bool> done{false};
  int result = -99;
  std::thread caller([&] {
    result = Quiet([&] { return c.call(err_); });
    done = true;
  });
  testdb::WaitUntil([&] { return done || testdb::AnotherWaitsForALock(holder.pid()); });
  const bool waited = !done;
  // While the link recompute waits, the change is not there for others.
  const std::string while_waiting = Snapshot();
  testdb::value("select count(pg_cancel_backend(pid)) from pg_locks where not granted and pid <> " +
                std::to_string(holder.pid()));
  caller.join();
  holder.run("ROLLBACK");

  ASSERT_TRUE(waited) << result << " " << err_;
  EXPECT_EQ(while_waiting, before);
  EXPECT_EQ(result, 1013) << err_;
  EXPECT_EQ(Err(err_), std::string("ERROR in ") + c.name +
                           " : canceling statement due to user request");
  EXPECT_EQ(Snapshot(), before);
  // The next call that commits commits the earlier call's work, and the
  // cancelled call left nothing behind for it.
  ASSERT_EQ(Quiet([&] { return UpdateMultipleDeviceActiveByType("tb", 1, 0, 1, err_); }), 0)
      << err_;
  EXPECT_EQ(Value("select string_agg(devicename,',' order by devicename) from vexa_lg_devices "
                  "where active=1"),
            "sw2,tb");
  EXPECT_EQ(Snapshot(), before);

  // Unhindered, the same call commits its change and the recompute.
  ASSERT_EQ(Quiet([&] { return c.call(err_); }), 0) << err_;
  EXPECT_NE(Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(InventoryChanges, OneCommitTest, testing::ValuesIn(kCalls),
                         [](const testing::TestParamInfo<TwoBlockCall>& param) {
                           return std::string(param.param.name);
                         });
