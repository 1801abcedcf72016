// Cached link batches whose commit is cut off: the answer is the lost
// connection, never the send's own answer, and it says that the outcome is
// unknown, since links have no unique key and a caller who sends the batch
// again stores every link twice.
#include "fault_proxy.h"
#include "insert_fixture.h"

namespace {

using Fault = testdb::FaultProxy::Fault;

class LinkBatchCommitTest : public InsertTest {
 protected:
  void AddLinkEnds() {
    testdb::exec(
        "insert into vexa_link_types(linktypeID, link_name, link_nbr) values (7,'data',2)");
    AddDevice("a", "DAQ");
    AddDevice("b", "DAQ");
    AddPort("a", "1", 2);
    AddPort("b", "1", 1);
  }
  void ReconnectThrough(const testdb::FaultProxy& proxy) {
    Quiet([] {
      char err[ferrule::kErrMessMax];
      return DBDeconnexion(err);
    });
    const std::string server = proxy.server_text();
    ASSERT_EQ(Quiet([&] {
                return DBConnexion(server.c_str(), params_.user.c_str(),
                                   params_.password.c_str(), err_);
              }),
              0)
        << err_;
  }
};

TEST_F(LinkBatchCommitTest, AnswerLostAfterTheCommitSaysTheOutcomeIsUnknown) {
  testdb::FaultProxy proxy;
  ASSERT_TRUE(proxy.listening());
  ReconnectThrough(proxy);
  if (HasFatalFailure()) return;
  AddLinkEnds();

  proxy.arm(Fault::kDropAfterCommit);
  const int rc = Quiet([&] {
    return InsertMultipleMacroLinks("a", "b", "1", "1", nullptr, nullptr, "data", nullptr, 0, 1,
                                    1, err_);
  });
  ASSERT_TRUE(proxy.struck());
  EXPECT_EQ(rc, 3114);
  EXPECT_EQ(Err(),
            "ERROR in InsertMultipleMacroLinks : server closed the connection unexpectedly; the "
            "outcome of the commit is unknown");
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 1);
}

// A partial send (a row found no port) commits the rows that got in: when
// that commit is lost, the answer is not "COULDNOT_INSERT_ALL_ROWS", which
// would say that they are in.
TEST_F(LinkBatchCommitTest, PartialSendWhoseCommitIsLostAnswersTheLostConnection) {
  testdb::FaultProxy proxy;
  ASSERT_TRUE(proxy.listening());
  ReconnectThrough(proxy);
  if (HasFatalFailure()) return;
  AddLinkEnds();

  proxy.arm(Fault::kDropBeforeCommit);
  auto link = [&](const char* to_port, int first, int last) {
    return Quiet([&] {
      return InsertMultipleMacroLinks("a", "b", "1", to_port, nullptr, nullptr, "data", nullptr, 0,
                                      first, last, err_);
    });
  };
  EXPECT_EQ(link("1", 1, 0), 0);
  const int rc = link("9", 0, 1);
  ASSERT_TRUE(proxy.struck());
  EXPECT_EQ(rc, 3114);
  EXPECT_EQ(Err(),
            "ERROR in InsertMultipleMacroLinks : server closed the connection unexpectedly; the "
            "outcome of the commit is unknown");
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 0);
}

}  // namespace
