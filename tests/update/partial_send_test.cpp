// Sends in which some row changed nothing, of the exports that keep the
// rows that did change something: those rows go with their refresh and
// follow-up into one commit, or are not kept at all; and a commit that
// fails is the answer, whatever the call would have answered otherwise.
#include "update_fixture.h"

namespace {

class PartialSendTest : public UpdateTest {
 protected:
  void TearDown() override {
    testdb::exec("drop trigger if exists ferrule_test_refuse_commit on vexa_lg_devices; "
                 "drop function if exists ferrule_test_refuse_commit()");
    UpdateTest::TearDown();
  }

  // From now on a commit of a transaction that changed a device fails: the
  // check runs at the commit, as a deferred constraint does.
  static void RefuseCommitsOfDeviceChanges() {
    testdb::exec("create function ferrule_test_refuse_commit() returns trigger "
                 "language plpgsql as $$ begin raise exception 'commit refused by the test'; end $$; "
                 "create constraint trigger ferrule_test_refuse_commit after update on "
                 "vexa_lg_devices deferrable initially deferred for each row "
                 "execute function ferrule_test_refuse_commit()");
  }

  int LkUsed(const char* from, int value, int first, int last) {
    return Quiet([&] {
      return UpdateMultipleLkUsedLinks(from, "none", "1", nullptr, nullptr, nullptr, value, first,
                                       last, err_);
    });
  }
  int Attributes(const char* device, int node, int first, int last) {
    return Quiet([&] {
      return UpdateMultipleAttributesDevices(device, node, -1, nullptr, first, last, err_);
    });
  }
};

TEST_F(PartialSendTest, KeptRowsAreCommittedWithTheirRefreshAndFollowUp) {
  // The stored paths are refreshed for the link that is now unused.
  EXPECT_EQ(LkUsed("sw1", 0, 1, 0), 0);
  EXPECT_EQ(LkUsed("ghost", 0, 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleLkUsedLinks : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(LinkFrom("sw1", "lkused"), "0");
  EXPECT_EQ(Calls("updatepathused"), (std::vector<std::string>{"1"}));

  // The link weights follow the node flag that changed: sw2 is a node now,
  // so the link into it from the node sw1 weighs 1 + 1 + 1.
  EXPECT_EQ(Attributes("sw2", 1, 1, 0), 0);
  EXPECT_EQ(Attributes("ghost", 1, 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleAttributesDevices : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(Device("sw2", "node"), "1");
  EXPECT_EQ(LinkFrom("sw1", "link_weight"), "3");
  EXPECT_EQ(Calls("checkandupdatedynamictables"), (std::vector<std::string>{"1"}));

  // The new links are in the server's path tables.
  AddPort("sw1", "2", 2);
  AddPort("sw3", "2", 1);
  auto link = [&](const char* to, int first, int last) {
    return Quiet([&] {
      return InsertMultipleMacroLinks("sw1", to, "2", "2", nullptr, nullptr, "data", "new", 0,
                                      first, last, err_);
    });
  };
  EXPECT_EQ(link("sw3", 1, 0), 0);
  EXPECT_EQ(link("ghost", 0, 1), -1);
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 3);
  EXPECT_EQ(Calls("checkandupdatedynamictables").size(), 2u);
}

TEST_F(PartialSendTest, KeptRowsWhoseRefreshFailsAreUndone) {
  ServerSpy::Answer("updatepathused", "-1");
  EXPECT_EQ(LkUsed("sw1", 0, 1, 0), 0);
  EXPECT_EQ(LkUsed("ghost", 0, 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleLkUsedLinks : PATH_REFRESH_FAILED");
  // Nothing of the send waits in the transaction for a later commit.
  EXPECT_EQ(UpdateMultipleLkInfoLinks("sw2", "none", "2", nullptr, "eth", nullptr, "later", 1, 1,
                                      err_),
            0)
      << Err();
  EXPECT_EQ(LinkFrom("sw1", "lkused"), "1");
}

TEST_F(PartialSendTest, ACommitThatFailsIsTheAnswer) {
  RefuseCommitsOfDeviceChanges();
  // A partial send: not "COULDNOT_UPDATE_ALL_ROWS", which would say that
  // the node flag of sw2 is in.
  EXPECT_EQ(Attributes("sw2", 1, 1, 0), 0);
  const int rc = Attributes("ghost", 1, 0, 1);
  EXPECT_NE(rc, 0);
  EXPECT_NE(rc, -1);
  EXPECT_NE(Err().find("commit refused by the test"), std::string::npos) << Err();
  EXPECT_EQ(Device("sw2", "node"), "0");

  // Calls that commit whatever the transaction holds, here a by-type update
  // left open: each answers the failed commit instead of its own answer.
  auto leave_pending = [&] {
    ASSERT_EQ(UpdateMultipleDeviceActiveByType("SWITCH", 1, 1, 0, err_), 0) << Err();
  };
  auto expect_failed_commit = [&](const char* name, int result) {
    EXPECT_NE(result, 0) << name;
    EXPECT_NE(result, -1) << name;
    EXPECT_EQ(Err().rfind(std::string("ERROR in ") + name + " : ", 0), 0u) << Err();
    EXPECT_NE(Err().find("commit refused by the test"), std::string::npos) << Err();
  };
  leave_pending();
  expect_failed_commit("DeleteLinkRow", Quiet([&] { return DeleteLinkRow(999, 1, err_); }));
  leave_pending();
  char ports[100];
  int len = sizeof ports;
  expect_failed_commit("GetPortPerSubsystem", Quiet([&] {
                         return GetPortPerSubsystem("sw1", "DAQ", &len, ports, err_);
                       }));
  leave_pending();
  int pathid[10], link_pos[10], len_array = 10, len_nfrom = 100, len_nto = 100, len_last_nfrom = 100,
      len_last_nto = 100;
  char nfrom[100], nto[100], last_nfrom[100], last_nto[100];
  expect_failed_commit("GetMicroConnectFromPortid", Quiet([&] {
                         return GetMicroConnectFromPortid(999, 998, nullptr, pathid, link_pos, &len_array,
                                                          nfrom, &len_nfrom, nto, &len_nto,
                                                          last_nfrom, &len_last_nfrom, last_nto,
                                                          &len_last_nto, err_);
                       }));
  EXPECT_EQ(Count("vexa_lg_devices", "active = 1"), 0);
}

}  // namespace
