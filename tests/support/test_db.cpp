#include "test_db.h"

#include "libpq_connect.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <memory>

namespace testdb {
namespace {

struct ConnCloser {
  void operator()(PGconn* c) const { PQfinish(c); }
};
struct ResultClearer {
  void operator()(PGresult* r) const { PQclear(r); }
};
using Conn = std::unique_ptr<PGconn, ConnCloser>;
using Result = std::unique_ptr<PGresult, ResultClearer>;

PGconn* shared_conn() {
  static Conn conn;
  if (!conn || PQstatus(conn.get()) != CONNECTION_OK) {
    Params p;
    if (!params(p)) return nullptr;
    conn.reset(ConnectLibpq(p.server, p.user, p.password));
  }
  return conn.get();
}

Result run(const std::string& sql) {
  PGconn* c = shared_conn();
  if (!c) {
    ADD_FAILURE() << "no test database set";
    return nullptr;
  }
  Result r(PQexec(c, sql.c_str()));
  auto st = PQresultStatus(r.get());
  if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
    ADD_FAILURE() << "SQL failed: " << PQerrorMessage(c) << "\n" << sql;
  }
  return r;
}

}  // namespace

bool params(Params& out) {
  const char* s = std::getenv("FERRULE_SERVER");
  const char* u = std::getenv("FERRULE_USER");
  const char* p = std::getenv("FERRULE_PASSWORD");
  if (!s || !u || !p) return false;
  out = Params{s, u, p};
  return true;
}

void exec(const std::string& sql) { run(sql); }

std::vector<std::string> column(const std::string& sql) {
  std::vector<std::string> out;
  Result r = run(sql);
  if (!r || PQresultStatus(r.get()) != PGRES_TUPLES_OK) return out;
  for (int i = 0; i < PQntuples(r.get()); ++i)
    out.push_back(PQgetisnull(r.get(), i, 0) ? "<null>" : PQgetvalue(r.get(), i, 0));
  return out;
}

std::string value(const std::string& sql) {
  auto col = column(sql);
  return col.empty() ? std::string() : col.front();
}

void reset() { exec("SELECT ferrule_reset()"); }

}  // namespace testdb
