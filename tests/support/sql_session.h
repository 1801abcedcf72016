// A session of its own on the test database, for tests that drive two or
// more transactions at once through plain libpq: synchronous statements, or
// one statement sent and its answer awaited later, and a wait until a sent
// statement waits for a lock.
#pragma once

#include <gtest/gtest.h>

#include <libpq-fe.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "libpq_connect.h"
#include "test_db.h"

namespace testdb {

class Session {
 public:
  explicit Session(const Params& p) : conn_(ConnectLibpq(p.server, p.user, p.password)) {
    EXPECT_EQ(PQstatus(conn_.get()), CONNECTION_OK) << PQerrorMessage(conn_.get());
    // A hang would be a failure too, not a stuck test.
    run("SET statement_timeout = '30s'");
  }

  // The first value of the answer, or "error: <message>".
  std::string run(const std::string& sql) {
    PGresult* r = PQexec(conn_.get(), sql.c_str());
    std::string out = answer(r);
    PQclear(r);
    return out;
  }

  void send(const std::string& sql) { ASSERT_EQ(PQsendQuery(conn_.get(), sql.c_str()), 1); }

  bool busy() {
    PQconsumeInput(conn_.get());
    return PQisBusy(conn_.get()) != 0;
  }

  // The answer of the statement sent, as run() gives it.
  std::string wait() {
    std::string out;
    for (PGresult* r; (r = PQgetResult(conn_.get())) != nullptr; PQclear(r)) out = answer(r);
    return out;
  }

  int pid() const { return PQbackendPID(conn_.get()); }

 private:
  struct Closer {
    void operator()(PGconn* c) const { PQfinish(c); }
  };

  std::string answer(PGresult* r) const {
    const auto status = PQresultStatus(r);
    if (status == PGRES_TUPLES_OK && PQntuples(r) > 0) return PQgetvalue(r, 0, 0);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return "";
    return std::string("error: ") + PQerrorMessage(conn_.get());
  }

  std::unique_ptr<PGconn, Closer> conn_;
};

// Whether the server process pid waits for a lock now.
inline bool WaitsForALock(int pid) {
  return value("select count(*) from pg_locks where not granted and pid = " +
               std::to_string(pid)) != "0";
}

// Whether a server process other than pid waits for a lock now.
inline bool AnotherWaitsForALock(int pid) {
  return value("select count(*) from pg_locks where not granted and pid <> " +
               std::to_string(pid)) != "0";
}

// Waits (5 s at most) until ready() holds.
template <class Ready>
void WaitUntil(Ready ready) {
  for (int i = 0; i < 500 && !ready(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// Waits until the statement that session sent waits for a lock, or has its
// answer.
inline void UntilWaiting(Session& session) {
  WaitUntil([&] { return !session.busy() || WaitsForALock(session.pid()); });
}

}  // namespace testdb
