// Sends whose refresh of the server's path data fails: the send, its
// follow-up and the refresh are committed together or not at all, nothing
// of a failed send waits in the transaction for a later commit, and the
// answer tells which.
#include "raising_trigger.h"
#include "update_fixture.h"
#include "utf8_text.h"

namespace {

// A refresh fails by answering so (updatepathused -1, an "ERROR: " text of
// CheckAndUpdateDynamicTables) or by raising, as a statement timeout does.
enum class Failure { Answered, Raised };

class RefreshFailureTest : public UpdateTest, public testing::WithParamInterface<Failure> {
 protected:
  static constexpr const char* kLockTimeout = "ERROR: canceling statement due to lock timeout";

  static void BreakRefreshes() {
    if (GetParam() == Failure::Answered) {
      ServerSpy::Answer("updatepathused", "-1");
      ServerSpy::Answer("checkandupdatedynamictables", kLockTimeout);
    } else {
      ServerSpy::Raise("updatepathused", "57014");
      ServerSpy::Raise("checkandupdatedynamictables", "57014");
    }
  }

  // Commits whatever the library's transaction holds, through a send that
  // refreshes nothing.
  void CommitTheSession() {
    ASSERT_EQ(UpdateMultipleLkInfoLinks("sw2", "none", "2", nullptr, "eth", nullptr, "later", 1, 1,
                                        err_),
              0)
        << Err();
  }

  // The call failed; when the refresh answered, the reason is its answer.
  void ExpectRefused(int rc, const std::string& name, const char* answer) {
    EXPECT_NE(rc, 0) << name;
    if (GetParam() == Failure::Answered) {
      EXPECT_EQ(rc, -1) << name;
      EXPECT_EQ(Err(), "ERROR in " + name + " : " + answer);
    } else {
      EXPECT_EQ(Err().rfind("ERROR in " + name + " : ", 0), 0u) << Err();
    }
  }
  void ExpectPathsUsedRefused(int rc, const std::string& name) {
    ExpectRefused(rc, name, "PATH_REFRESH_FAILED");
  }
  void ExpectTablesRefused(int rc, const std::string& name) {
    ExpectRefused(rc, name, kLockTimeout);
  }
};

TEST_P(RefreshFailureTest, LinkUpdatesAreNotCommittedWithoutTheirRefresh) {
  BreakRefreshes();
  auto row = [&](auto update, auto value) {
    return Quiet([&] {
      return update("sw1", "none", "1", nullptr, nullptr, nullptr, value, 1, 1, err_);
    });
  };
  ExpectTablesRefused(row(UpdateMultipleBidirectionalLinks, 1),
                      "UpdateMultipleBidirectionalLinks");
  ExpectTablesRefused(row(UpdateMultipleLkTypeLinks, "ctrl"), "UpdateMultipleLkTypeLinks");
  ExpectPathsUsedRefused(row(UpdateMultipleLkUsedLinks, 0), "UpdateMultipleLkUsedLinks");
  ExpectPathsUsedRefused(Quiet([&] {
                           return UpdateMultiplePortStatuses("sw2", "1", 1, nullptr, 0, 1, 1,
                                                             err_);
                         }),
                         "UpdateMultiplePortStatuses");
  CommitTheSession();
  EXPECT_EQ(LinkFrom("sw1", "bidirectional_link_used || '|' || c.link_type || '|' || c.lkused"),
            "0|1|1");
  EXPECT_EQ(testdb::value("select administrative_status from vexa_port_properties p "
                          "join vexa_lg_devices d using (deviceid) "
                          "where d.devicename = 'sw2' and p.port_nbr = '1'"),
            "1");

  // Once the refresh works again, the same send is committed with it.
  ServerSpy::Heal("updatepathused");
  EXPECT_EQ(row(UpdateMultipleLkUsedLinks, 0), 0) << Err();
  EXPECT_EQ(LinkFrom("sw1", "lkused"), "0");
}

TEST_P(RefreshFailureTest, DeviceUpdatesAreNotCommittedWithoutTheirRefresh) {
  BreakRefreshes();
  ExpectTablesRefused(Quiet([&] {
                        return UpdateMultipleAttributesDevices("sw2", 1, -1, "hall", 1, 1, err_);
                      }),
                      "UpdateMultipleAttributesDevices");
  ExpectPathsUsedRefused(Quiet([&] { return UpdateMultipleDeviceNodeUsed("sw2", 0, 1, 1, err_); }),
                         "updateMultipleDeviceNodeUsed");
  ExpectTablesRefused(
      Quiet([&] { return UpdateMultipleDeviceSystemList("sw2", "LHC", 1, 1, err_); }),
      "UpdateMultipleDeviceSystemList");
  ExpectPathsUsedRefused(
      Quiet([&] { return UpdateMultipleDeviceNodeUsedByType("SWITCH", 0, 1, 1, err_); }),
      "updateMultipleDeviceNodeUsedByType");
  CommitTheSession();
  EXPECT_EQ(Device("sw2", "concat_ws('|', node, location, nodeused, system_name)"), "0|rack|1|2");
  EXPECT_EQ(Device("sw1", "nodeused"), "1");
  EXPECT_EQ(LinkFrom("sw1", "link_weight || '|' || c.lkused || '|' || c.system_name"), "1|1|2");
}

TEST_P(RefreshFailureTest, LinkInsertsAreNotCommittedWithoutTheirRefresh) {
  AddPort("sw1", "2", 2);
  AddPort("sw3", "2", 1);
  BreakRefreshes();
  auto batch = [&](int first, int last) {
    return Quiet([&] {
      return InsertMultipleMacroLinks("sw1", "sw3", "2", "2", nullptr, nullptr, "data", "new", 0,
                                      first, last, err_);
    });
  };
  EXPECT_EQ(batch(1, 0), 0);
  ExpectTablesRefused(batch(0, 1), "InsertMultipleMacroLinks");
  ExpectTablesRefused(Quiet([&] {
                        return InsertMacroLink("sw1", "sw3", "2", "2", nullptr, nullptr, "data",
                                               "new", 0, 1, err_);
                      }),
                      "InsertMacroLink");
  CommitTheSession();
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 2);

  // A retry after the failure stores each link once.
  ServerSpy::Heal("checkandupdatedynamictables");
  EXPECT_EQ(batch(1, 1), 0) << Err();
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 3);
}

INSTANTIATE_TEST_SUITE_P(Refreshes, RefreshFailureTest,
                         testing::Values(Failure::Answered, Failure::Raised),
                         [](const testing::TestParamInfo<Failure>& failure) {
                           return failure.param == Failure::Answered ? std::string("Answered")
                                                                     : std::string("Raised");
                         });

class RefreshAnswerTest : public UpdateTest {};

TEST_F(RefreshAnswerTest, RefreshedRoutesAreASuccess) {
  ServerSpy::Answer("checkandupdatedynamictables", "ROUTES_REFRESHED: 3");
  EXPECT_EQ(UpdateMultipleBidirectionalLinks("sw1", "none", "1", nullptr, nullptr, nullptr, 1, 1,
                                             1, err_),
            0)
      << Err();
  EXPECT_EQ(Err(), "NO_ERROR in UpdateMultipleBidirectionalLinks");
  EXPECT_EQ(LinkFrom("sw1", "bidirectional_link_used"), "1");
}

// The refresh of sw1's routing table refuses in the database's words,
// long and in two-byte characters: the answer keeps as many whole
// characters as the 159 bytes read of them hold, 79.
TEST_F(RefreshAnswerTest, LongWordsOfARefusalEndOnAWholeCharacter) {
  ASSERT_EQ(testdb::value("select routingtable_pck.createRT_all_devname('sw1', 1, 10, 1)"), "0");
  const RaisingTrigger trigger("routingtable_pck.route_changes", "delete");
  EXPECT_EQ(Quiet([&] {
              return UpdateMultipleLkUsedLinks("sw1", "none", "1", nullptr, nullptr, nullptr, 0,
                                               1, 1, err_);
            }),
            -1);
  EXPECT_TRUE(testutf8::IsWellFormed(Err()));
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleLkUsedLinks : PATH_REFRESH_FAILED: " +
                       testutf8::Repeated(RaisingTrigger::kCharacter, 79));
}

}  // namespace
