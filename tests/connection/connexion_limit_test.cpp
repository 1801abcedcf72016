// DBConnexion ends within its limit, the login and the subsystem load
// together, with the reason that the server did not answer, and leaves no
// session behind; the calls after it wait as long as the server takes.
// The limit is shortened here, so that each case takes seconds.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "fault_proxy.h"
#include "ferrule.h"
#include "libpq_connect.h"
#include "session.h"
#include "test_db.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct PgConnCloser {
  void operator()(PGconn* conn) const { PQfinish(conn); }
};
using PgConn = std::unique_ptr<PGconn, PgConnCloser>;

constexpr std::chrono::seconds kTestLimit{2};
// A call that never ends fails the test program rather than hanging it.
constexpr unsigned kAlarmSeconds = 30;

class ConnexionLimit : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DB();
    testdb::reset();
    testdb::exec("insert into vexa_subsystemList(system_name, systemID) values ('DAQ', 2)");
    ASSERT_TRUE(testdb::params(params_));
    ferrule::connexion_limit() = kTestLimit;
  }
  void TearDown() override {
    ferrule::connexion_limit() = ferrule::kConnexionLimit;
    char err[400];
    testing::internal::CaptureStdout();
    DBDeconnexion(err);
    testing::internal::GetCapturedStdout();
  }

  // DBConnexion, timed.
  int connect(const std::string& server) {
    testing::internal::CaptureStdout();
    alarm(kAlarmSeconds);
    const auto start = Clock::now();
    const int rc = DBConnexion(server.c_str(), params_.user.c_str(), params_.password.c_str(), err_);
    took_ = Clock::now() - start;
    alarm(0);
    printed_ = testing::internal::GetCapturedStdout();
    return rc;
  }
  // Another session that holds `table` locked until it ends.
  PgConn lock(const std::string& table) {
    PgConn holder(testdb::ConnectLibpq(params_.server, params_.user, params_.password));
    PGresult* locked =
        PQexec(holder.get(), ("begin; lock table " + table + " in access exclusive mode").c_str());
    EXPECT_EQ(PQresultStatus(locked), PGRES_COMMAND_OK) << PQerrorMessage(holder.get());
    PQclear(locked);
    return holder;
  }
  // The sessions of the test user on the server, but testdb's own.
  int sessions(const std::string& condition = "true") {
    return std::stoi(testdb::value("select count(*) from pg_stat_activity where usename = '" +
                                   params_.user + "' and pid <> pg_backend_pid() and " +
                                   condition));
  }
  // Backends end a little after their client closed: poll a while.
  bool sessions_become(int expected, const std::string& condition = "true") {
    for (const auto end = Clock::now() + 5s; Clock::now() < end;
         std::this_thread::sleep_for(20ms))
      if (sessions(condition) == expected) return true;
    return false;
  }
  void expect_within_limit() {
    EXPECT_GE(took_, kTestLimit);
    EXPECT_LT(took_, kTestLimit + 3s);
  }
  bool not_connected_answer() {
    char row[100];
    int len = sizeof row;
    return GetDeviceRow_devid(1, &len, row, err_) == -1 &&
           std::string(err_) == "ERROR in GetDeviceRow_devid : NOT CONNECTED TO ANY DB";
  }

  testdb::Params params_;
  char err_[400] = "";
  std::string printed_;
  Clock::duration took_{};
};

TEST_F(ConnexionLimit, ServerFrozenAfterTheLoginIsGivenUp) {
  testdb::FaultProxy proxy;
  ASSERT_TRUE(proxy.listening());
  proxy.arm(testdb::FaultProxy::Fault::kFreezeAfterLogin);
  EXPECT_EQ(connect(proxy.server_text()), -1);
  EXPECT_TRUE(proxy.struck());
  EXPECT_STREQ(err_, "ERROR in Connect : timeout expired: no answer from the server within 2 s");
  EXPECT_NE(printed_.find("OCI Connection not successfully established ....\n"),
            std::string::npos);
  expect_within_limit();
  // The session is closed, not left half open: the proxy sees its client go
  // and the server's session ends with it.
  EXPECT_TRUE(proxy.client_closed_within(2s));
  EXPECT_TRUE(sessions_become(0));
  EXPECT_TRUE(not_connected_answer());
}

TEST_F(ConnexionLimit, SubsystemTableLockedElsewhereIsGivenUp) {
  PgConn holder = lock("vexa_subsystemList");
  EXPECT_EQ(connect(params_.server), -1);
  EXPECT_STREQ(err_,
               "ERROR in LoadSubsystemTable : timeout expired: no answer from the server within 2 s");
  EXPECT_NE(printed_.find("Connection aborted : couldn't load subsystem table\n"),
            std::string::npos);
  expect_within_limit();
  // While the lock is still held, nothing waits for it any more: the
  // holder's is the one session left.
  EXPECT_TRUE(sessions_become(0, "wait_event_type = 'Lock'"));
  EXPECT_TRUE(sessions_become(1));
  EXPECT_TRUE(not_connected_answer());

  holder.reset();
  EXPECT_EQ(connect(params_.server), 0) << err_;
}

TEST_F(ConnexionLimit, CallsAfterTheConnexionWaitAsLongAsTheServerTakes) {
  ASSERT_EQ(connect(params_.server), 0) << err_;
  char row[200];
  int len = sizeof row;
  testing::internal::CaptureStdout();
  const int unlocked = GetDeviceRow_devid(1, &len, row, err_);
  testing::internal::GetCapturedStdout();
  const std::string unlocked_err = err_;

  PgConn holder = lock("vexa_lg_devices");
  constexpr auto kHeld = kTestLimit + 1s;
  std::thread release([&] {
    std::this_thread::sleep_for(kHeld);
    PQclear(PQexec(holder.get(), "commit"));
  });
  len = sizeof row;
  testing::internal::CaptureStdout();
  const auto start = Clock::now();
  EXPECT_EQ(GetDeviceRow_devid(1, &len, row, err_), unlocked);
  const auto took = Clock::now() - start;
  testing::internal::GetCapturedStdout();
  release.join();
  EXPECT_EQ(err_, unlocked_err);
  EXPECT_GE(took, kHeld);
}

}  // namespace
