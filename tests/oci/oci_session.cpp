#include "oci_session.h"

#include <unistd.h>

#include <cstring>

namespace {

const OraText* text_of(const std::string& s) { return reinterpret_cast<const OraText*>(s.c_str()); }

}  // namespace

sword OciConnection::open(const testdb::Params& params, ub4 call_timeout_ms) {
  OCIEnvCreate(&env, OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
  OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
  OCIHandleAlloc(env, reinterpret_cast<void**>(&server), OCI_HTYPE_SERVER, 0, nullptr);
  OCIHandleAlloc(env, reinterpret_cast<void**>(&svc), OCI_HTYPE_SVCCTX, 0, nullptr);
  OCIHandleAlloc(env, reinterpret_cast<void**>(&session), OCI_HTYPE_SESSION, 0, nullptr);
  sword status = OCIServerAttach(server, err, text_of(params.server),
                                 static_cast<sb4>(params.server.size()), OCI_DEFAULT);
  if (status != OCI_SUCCESS) return status;
  OCIAttrSet(svc, OCI_HTYPE_SVCCTX, server, 0, OCI_ATTR_SERVER, err);
  OCIAttrSet(svc, OCI_HTYPE_SVCCTX, &call_timeout_ms, 0, OCI_ATTR_CALL_TIMEOUT, err);
  OCIAttrSet(session, OCI_HTYPE_SESSION, const_cast<char*>(params.user.c_str()),
             static_cast<ub4>(params.user.size()), OCI_ATTR_USERNAME, err);
  OCIAttrSet(session, OCI_HTYPE_SESSION, const_cast<char*>(params.password.c_str()),
             static_cast<ub4>(params.password.size()), OCI_ATTR_PASSWORD, err);
  status = OCISessionBegin(svc, err, session, OCI_CRED_RDBMS, OCI_DEFAULT);
  if (status == OCI_SUCCESS) OCIAttrSet(svc, OCI_HTYPE_SVCCTX, session, 0, OCI_ATTR_SESSION, err);
  return status;
}

void OciConnection::close() {
  if (env) OCIHandleFree(env, OCI_HTYPE_ENV);
  *this = OciConnection{};
}

int OciConnection::error_number() const {
  sb4 code = 0;
  OraText text[512];
  OCIErrorGet(err, 1, nullptr, &code, text, sizeof text, OCI_HTYPE_ERROR);
  return code;
}

std::string OciConnection::error_text() const {
  sb4 code = 0;
  OraText text[512];
  OCIErrorGet(err, 1, nullptr, &code, text, sizeof text, OCI_HTYPE_ERROR);
  return reinterpret_cast<char*>(text);
}

std::string OciConnection::first_value(const std::string& query) const {
  OCIStmt* stmt = nullptr;
  OCIHandleAlloc(env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  OCIStmtPrepare(stmt, err, text_of(query), static_cast<ub4>(query.size()), OCI_NTV_SYNTAX,
                 OCI_DEFAULT);
  char value[300] = "";
  OCIDefine* define = nullptr;
  OCIDefineByPos(stmt, &define, err, 1, value, sizeof value, SQLT_STR, nullptr, nullptr, nullptr,
                 OCI_DEFAULT);
  const sword status = OCIStmtExecute(svc, stmt, err, 1, 0, nullptr, nullptr, OCI_DEFAULT);
  OCIHandleFree(stmt, OCI_HTYPE_STMT);
  if (status != OCI_SUCCESS)
    return "failed: " + std::to_string(error_number()) + " " + error_text();
  return value;
}

std::string key_value_text(const std::string& server) {
  const auto colon = server.find(':'), slash = server.find('/');
  return "host=" + server.substr(0, colon) + " port=" + server.substr(colon + 1, slash - colon - 1) +
         " dbname=" + server.substr(slash + 1);
}

std::string OciTest::sql(std::string text) {
  const std::string suffix = "_" + std::to_string(getpid());
  for (size_t open = text.find('{'); open != std::string::npos; open = text.find('{', open)) {
    size_t close = text.find('}', open);
    std::string name = "oci_test_" + text.substr(open + 1, close - open - 1) + suffix;
    text.replace(open, close - open + 1, name);
    open += name.size();
  }
  return text;
}

void OciTest::SetUp() {
  testdb::Params params;
  if (!testdb::params(params)) GTEST_SKIP() << "no test database set";
  exec_direct(
      "SET client_min_messages = warning;"
      "DROP TABLE IF EXISTS {child}, {parent}, {item} CASCADE;"
      "CREATE TABLE {parent}(id integer PRIMARY KEY, name varchar(30));"
      "CREATE TABLE {child}(id integer PRIMARY KEY,"
      "  parent_id integer REFERENCES {parent}(id), note text);"
      "CREATE TABLE {item}(id integer PRIMARY KEY, name varchar(30), note text,"
      "  qty integer, price numeric(10,2), code varchar(10) NOT NULL DEFAULT 'c')");
  ASSERT_EQ(db.open(params), OCI_SUCCESS) << db.error_text();
}

void OciTest::TearDown() {
  // Closing the session first releases any locks it holds on the tables.
  db.close();
  testdb::Params params;
  if (testdb::params(params)) exec_direct("SET client_min_messages = warning; DROP TABLE IF EXISTS {child}, {parent}, {item} CASCADE");
}

OCIStmt* OciTest::prepare(const std::string& text) {
  OCIStmt* stmt = nullptr;
  OCIHandleAlloc(db.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  std::string full = sql(text);
  OCIStmtPrepare(stmt, db.err, text_of(full), static_cast<ub4>(full.size()), OCI_NTV_SYNTAX,
                 OCI_DEFAULT);
  return stmt;
}

sword OciTest::execute(OCIStmt* stmt, ub4 iters) {
  return OCIStmtExecute(db.svc, stmt, db.err, iters, 0, nullptr, nullptr, OCI_DEFAULT);
}

ub4 OciTest::row_count(OCIStmt* stmt) {
  ub4 rows = 0;
  OCIAttrGet(stmt, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, db.err);
  return rows;
}

void OciTest::bind_text(OCIStmt* stmt, const char* name, char* buffer, sb4 size,
                        sb2* indicator) {
  OCIBind* bind = nullptr;
  ASSERT_EQ(OCIBindByName(stmt, &bind, db.err, reinterpret_cast<const OraText*>(name), -1,
                          buffer, size, SQLT_STR, indicator, nullptr, nullptr, 0, nullptr,
                          OCI_DEFAULT),
            OCI_SUCCESS)
      << error_text();
}

void OciTest::bind_int(OCIStmt* stmt, const char* name, int* value, sb2* indicator) {
  OCIBind* bind = nullptr;
  ASSERT_EQ(OCIBindByName(stmt, &bind, db.err, reinterpret_cast<const OraText*>(name), -1,
                          value, sizeof(int), SQLT_INT, indicator, nullptr, nullptr, 0, nullptr,
                          OCI_DEFAULT),
            OCI_SUCCESS)
      << error_text();
}
