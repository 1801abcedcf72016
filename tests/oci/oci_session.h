// A session opened through the client layer, and the tables the tests use.
// Table names carry the process id (`{item}` in SQL becomes
// oci_test_item_<pid>) so that test processes running side by side never
// share a table.
#pragma once

#include "oci.h"
#include "test_db.h"

#include <gtest/gtest.h>

#include <string>

// Opens env, error, server, session and service context, the context with
// its call timeout (OCI_ATTR_CALL_TIMEOUT, 0: none) set before the session
// begins; the failure is left in `err` when the session cannot begin.
struct OciConnection {
  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
  OCIServer* server = nullptr;
  OCISession* session = nullptr;
  OCISvcCtx* svc = nullptr;

  sword open(const testdb::Params& params, ub4 call_timeout_ms = 0);
  void close();  // frees the environment and everything allocated from it
  int error_number() const;
  std::string error_text() const;
  // The first column of the query's first row, as text, or
  // "failed: <number> <text>".
  std::string first_value(const std::string& query) const;
};

// "host=127.0.0.1 port=<port> dbname=<dbname>" from "host:port/dbname", to
// which a test adds settings of its own.
std::string key_value_text(const std::string& server);

class OciTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static std::string sql(std::string text);
  static void exec_direct(const std::string& text) { testdb::exec(sql(text)); }
  static std::string value_direct(const std::string& text) { return testdb::value(sql(text)); }

  // A new statement handle with `text` prepared.
  OCIStmt* prepare(const std::string& text);
  sword execute(OCIStmt* stmt, ub4 iters = 1);
  sword fetch(OCIStmt* stmt) { return OCIStmtFetch2(stmt, db.err, 1, OCI_FETCH_NEXT, 0, 0); }
  // Prepares and executes a statement without binds once.
  sword run(const std::string& text) { return execute(prepare(text)); }
  sword commit() { return OCITransCommit(db.svc, db.err, 0); }
  sword rollback() { return OCITransRollback(db.svc, db.err, 0); }
  ub4 row_count(OCIStmt* stmt);

  void bind_text(OCIStmt* stmt, const char* name, char* buffer, sb4 size, sb2* indicator = nullptr);
  void bind_int(OCIStmt* stmt, const char* name, int* value, sb2* indicator = nullptr);

  int error_number() const { return db.error_number(); }
  std::string error_text() const { return db.error_text(); }

  OciConnection db;
};
