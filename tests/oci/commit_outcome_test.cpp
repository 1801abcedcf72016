// A connection lost at commit. When COMMIT has left and no answer comes,
// the commit may or may not have happened, and the failure says so; when
// the connection was lost before, nothing was committed and it says only
// that the connection is lost.
#include "fault_proxy.h"
#include "oci_session.h"

#include <chrono>
#include <thread>

namespace {

using Fault = testdb::FaultProxy::Fault;

constexpr char kOutcomeUnknown[] = "; the outcome of the commit is unknown";

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class OciCommitOutcome : public OciTest {
 protected:
  // Opens the session again, through the proxy.
  void reopen_through(const testdb::FaultProxy& proxy) {
    db.close();
    testdb::Params params;
    ASSERT_TRUE(testdb::params(params));
    params.server = proxy.server_text();
    ASSERT_EQ(db.open(params), OCI_SUCCESS) << db.error_text();
  }
  std::string backend_pid() {
    OCIStmt* stmt = prepare("select pg_backend_pid()");
    char pid[16] = "";
    OCIDefine* define = nullptr;
    OCIDefineByPos(stmt, &define, db.err, 1, pid, sizeof pid, SQLT_STR, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(execute(stmt, 0), OCI_SUCCESS);
    EXPECT_EQ(fetch(stmt), OCI_SUCCESS);
    return pid;
  }
  std::string stored() { return value_direct("select count(*) from {item}"); }
};

TEST_F(OciCommitOutcome, CommitDroppedOnItsWayIsOfUnknownOutcome) {
  testdb::FaultProxy proxy;
  ASSERT_TRUE(proxy.listening());
  reopen_through(proxy);
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS) << error_text();
  proxy.arm(Fault::kDropBeforeCommit);
  EXPECT_EQ(commit(), OCI_ERROR);
  ASSERT_TRUE(proxy.struck());
  EXPECT_EQ(error_number(), 3114);
  EXPECT_TRUE(ends_with(error_text(), kOutcomeUnknown)) << error_text();
  // The client could not tell; here the commit never arrived.
  EXPECT_EQ(stored(), "0");
}

TEST_F(OciCommitOutcome, AnswerDroppedAfterTheCommitIsOfUnknownOutcome) {
  testdb::FaultProxy proxy;
  ASSERT_TRUE(proxy.listening());
  reopen_through(proxy);
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS) << error_text();
  proxy.arm(Fault::kDropAfterCommit);
  EXPECT_EQ(commit(), OCI_ERROR);
  ASSERT_TRUE(proxy.struck());
  EXPECT_EQ(error_number(), 3114);
  EXPECT_TRUE(ends_with(error_text(), kOutcomeUnknown)) << error_text();
  EXPECT_EQ(stored(), "1");
  // The connection is gone for good: the next call says only that.
  EXPECT_EQ(run("insert into {item}(id) values (2)"), OCI_ERROR);
  EXPECT_EQ(error_number(), 3114);
  EXPECT_EQ(error_text().find("outcome"), std::string::npos) << error_text();
}

TEST_F(OciCommitOutcome, SessionEndedBeforeCommitCommittedNothing) {
  const std::string pid = backend_pid();
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS) << error_text();
  ASSERT_EQ(testdb::value("select pg_terminate_backend(" + pid + ")"), "t");
  for (int i = 0; i < 100 && testdb::value("select count(*) from pg_stat_activity where pid = " +
                                           pid) != "0";
       ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(commit(), OCI_ERROR);
  EXPECT_EQ(error_number(), 3114);
  EXPECT_EQ(error_text().find("outcome"), std::string::npos) << error_text();
  EXPECT_EQ(stored(), "0");
}

}  // namespace
