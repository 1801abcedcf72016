// The call timeout of a service context: a call that waits longer for the
// server is abandoned, its connection closed, and the server stops what it
// was doing for it; without one, a call waits as long as the server takes.
#include "fault_proxy.h"
#include "libpq_connect.h"
#include "oci_session.h"

#include <chrono>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct PgConnCloser {
  void operator()(PGconn* conn) const { PQfinish(conn); }
};
using PgConn = std::unique_ptr<PGconn, PgConnCloser>;

class OciCallTimeout : public OciTest {
 protected:
  void set_call_timeout(ub4 milliseconds) {
    ASSERT_EQ(OCIAttrSet(db.svc, OCI_HTYPE_SVCCTX, &milliseconds, 0, OCI_ATTR_CALL_TIMEOUT,
                         db.err),
              OCI_SUCCESS);
  }
  // Another session, which holds {item} locked until it ends.
  PgConn lock_items() {
    testdb::Params params;
    EXPECT_TRUE(testdb::params(params));
    PgConn holder(testdb::ConnectLibpq(params.server, params.user, params.password));
    PGresult* locked =
        PQexec(holder.get(), sql("begin; lock table {item} in access exclusive mode").c_str());
    EXPECT_EQ(PQresultStatus(locked), PGRES_COMMAND_OK) << PQerrorMessage(holder.get());
    PQclear(locked);
    return holder;
  }
  std::string backend_pid() {
    OCIStmt* stmt = prepare("select pg_backend_pid()");
    char pid[16] = "";
    OCIDefine* define = nullptr;
    OCIDefineByPos(stmt, &define, db.err, 1, pid, sizeof pid, SQLT_STR, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(execute(stmt, 1), OCI_SUCCESS) << error_text();
    return pid;
  }
  static bool backend_ends_within(const std::string& pid, std::chrono::milliseconds limit) {
    for (const auto end = Clock::now() + limit; Clock::now() < end;
         std::this_thread::sleep_for(20ms))
      if (testdb::value("select count(*) from pg_stat_activity where pid = " + pid) == "0")
        return true;
    return false;
  }
};

TEST_F(OciCallTimeout, CallWaitingForALockIsAbandonedAndTheServerStopsWaiting) {
  const std::string pid = backend_pid();
  PgConn holder = lock_items();
  set_call_timeout(500);
  const auto start = Clock::now();
  EXPECT_EQ(run("select count(*) from {item}"), OCI_ERROR);
  const auto took = Clock::now() - start;
  EXPECT_EQ(error_number(), 3156);
  EXPECT_EQ(error_text(), "call timed out: no answer from the server within 500 ms");
  EXPECT_GE(took, 500ms);
  EXPECT_LT(took, 3s);
  // While the lock is still held, the session is gone from the server.
  EXPECT_TRUE(backend_ends_within(pid, 5s));
  EXPECT_EQ(run("select 1"), OCI_ERROR);
  EXPECT_EQ(error_number(), 3114);
}

TEST_F(OciCallTimeout, WithoutTimeoutACallWaitsAsLongAsTheServerTakes) {
  set_call_timeout(500);
  set_call_timeout(0);
  PgConn holder = lock_items();
  std::thread release([&] {
    std::this_thread::sleep_for(1500ms);
    PQclear(PQexec(holder.get(), "commit"));
  });
  const auto start = Clock::now();
  EXPECT_EQ(run("select count(*) from {item}"), OCI_SUCCESS) << error_text();
  EXPECT_GE(Clock::now() - start, 1500ms);
  release.join();
}

TEST_F(OciCallTimeout, SessionBeginOnAServerThatFrozeAfterTheLoginGivesUp) {
  testdb::FaultProxy proxy;
  ASSERT_TRUE(proxy.listening());
  proxy.arm(testdb::FaultProxy::Fault::kFreezeAfterLogin);
  testdb::Params params;
  ASSERT_TRUE(testdb::params(params));
  params.server = proxy.server_text();
  OciConnection frozen;
  const auto start = Clock::now();
  EXPECT_EQ(frozen.open(params, 700), OCI_ERROR);
  const auto took = Clock::now() - start;
  EXPECT_TRUE(proxy.struck());
  EXPECT_EQ(frozen.error_number(), 3156);
  EXPECT_EQ(frozen.error_text(), "call timed out: no answer from the server within 700 ms");
  EXPECT_GE(took, 700ms);
  EXPECT_LT(took, 3s);
  // No connection is left open.
  EXPECT_TRUE(proxy.client_closed_within(2s));
  frozen.close();
}

}  // namespace
