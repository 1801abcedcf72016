// A client keeps its one connection for weeks: refused calls, each undoing
// its own work, must leave its server session as they found it, whatever
// the open transaction holds, and on a new connection as well.
#include "backend_memory.h"
#include "inventory_fixture.h"
#include "library_transaction.h"

namespace {

class LeanSession : public InventoryTest {
 protected:
  void SetUp() override {
    InventoryTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    LinkedSwitches();
    testdb::exec("insert into vexa_lg_device_types(devicetypeID, devicetype) values (77, 'SWITCH')");
    if (testdb::BackendMemory(testdb::LibraryBackend()) < 0)
      GTEST_SKIP() << "the server's memory is not readable";
  }

  // The server's memory grown by `calls` refusals after a warm-up of 100.
  template <class Refusal>
  long long GrownBy(int calls, Refusal refused) {
    const int backend = testdb::LibraryBackend();
    long long warmed_up = 0;
    for (int call = 1; call <= 100 + calls; ++call) {
      if (!refused()) {
        ADD_FAILURE() << "call " << call << " answered " << err_;
        return -1;
      }
      if (call == 100) warmed_up = testdb::BackendMemory(backend);
    }
    return testdb::BackendMemory(backend) - warmed_up;
  }

  bool ReplacementRefused() {
    const int result = Quiet([&] {
      return ReplaceFunctionalDevice("sw1", "SPARE", "store", nullptr, "26/03/01/00/00/00", "SN2",
                                     "26/03/02/00/00/00", err_);
    });
    return result == -1 &&
           Err(err_) == "ERROR in ReplaceFunctionalDevice : Error The given serial nb is not a SPARE";
  }
  bool DuplicateTypeRefused() {
    const int result = Quiet(
        [&] { return InsertDeviceType("DAQ", "SWITCH", 4, 4, nullptr, nullptr, 1, err_); });
    return result == 1;
  }
  // Where nothing is pending, the refusal rolls back the whole transaction
  // it began, and with it the block's procedure made in it.
  bool BuildRefused() {
    return Quiet([&] { return CreateRoutingTable("nobody", 10, err_); }) == -1;
  }

  static constexpr long long kFlat = 4 << 20;
};

TEST_F(LeanSession, RefusedInventoryChangesInsertsAndBuildsKeepTheSessionFlat) {
  EXPECT_LT(GrownBy(2000, [&] { return ReplacementRefused(); }), kFlat);
  EXPECT_LT(GrownBy(2000, [&] { return DuplicateTypeRefused(); }), kFlat);
  EXPECT_LT(GrownBy(2000, [&] { return BuildRefused(); }), kFlat);

  // An earlier change waits in the open transaction: each refusal undoes
  // its own work only.
  ASSERT_EQ(Quiet([&] { return UpdateMultipleDeviceActiveByType("sw2", 0, 0, 0, err_); }), 0)
      << err_;
  EXPECT_LT(GrownBy(1000, [&] { return ReplacementRefused(); }), kFlat);
  EXPECT_LT(GrownBy(1000, [&] { return DuplicateTypeRefused(); }), kFlat);
  EXPECT_LT(GrownBy(1000, [&] { return BuildRefused(); }), kFlat);
  ASSERT_EQ(Quiet([&] { return UpdateMultipleDeviceActiveByType("sw1", 1, 0, 1, err_); }), 0)
      << err_;
  EXPECT_EQ(Value("select string_agg(active::text, ',' order by devicename) from "
                  "vexa_lg_devices where devicename in ('sw1', 'sw2')"),
            "1,0");

  // And on a new connection.
  TearDown();
  Connect();
  EXPECT_LT(GrownBy(1000, [&] { return ReplacementRefused(); }), kFlat);
  EXPECT_LT(GrownBy(1000, [&] { return DuplicateTypeRefused(); }), kFlat);
  EXPECT_LT(GrownBy(1000, [&] { return BuildRefused(); }), kFlat);
  EXPECT_EQ(Value("select count(*) from vexa_lg_device_types"), "1");
  EXPECT_EQ(Value("select serialnb from vexa_lg_devices where devicename = 'sw1'"), "SN1");
}

}  // namespace
