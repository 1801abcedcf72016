// Handles, connecting, and the error record when there is nothing to say.
#include "oci_session.h"

TEST(OciHandles, NullAndMismatchedHandlesAreInvalid) {
  void* handle = nullptr;
  EXPECT_EQ(OCIHandleAlloc(nullptr, &handle, OCI_HTYPE_ERROR, 0, nullptr), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIHandleFree(nullptr, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIStmtExecute(nullptr, nullptr, nullptr, 1, 0, nullptr, nullptr, 0),
            OCI_INVALID_HANDLE);

  OCIEnv* env = nullptr;
  ASSERT_EQ(OCIEnvCreate(&env, OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr),
            OCI_SUCCESS);
  ASSERT_EQ(OCIHandleAlloc(env, &handle, OCI_HTYPE_ERROR, 0, nullptr), OCI_SUCCESS);
  EXPECT_EQ(OCIHandleFree(handle, OCI_HTYPE_STMT), OCI_INVALID_HANDLE);
  EXPECT_EQ(OCIHandleFree(handle, OCI_HTYPE_ERROR), OCI_SUCCESS);
  // Handles still allocated go with their environment.
  ASSERT_EQ(OCIHandleAlloc(env, &handle, OCI_HTYPE_STMT, 0, nullptr), OCI_SUCCESS);
  EXPECT_EQ(OCIHandleFree(env, OCI_HTYPE_ENV), OCI_SUCCESS);
  EXPECT_EQ(OCITerminate(OCI_DEFAULT), OCI_SUCCESS);
}

TEST(OciHandles, ErrorGetWithoutARecordGivesEmptyText) {
  OraText text[16] = "stale";
  sb4 code = 7;
  EXPECT_EQ(OCIErrorGet(nullptr, 1, nullptr, &code, text, sizeof text, OCI_HTYPE_ERROR),
            OCI_NO_DATA);
  EXPECT_EQ(text[0], '\0');

  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
  OCIEnvCreate(&env, OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
  OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
  text[0] = 'x';
  EXPECT_EQ(OCIErrorGet(err, 1, nullptr, &code, text, sizeof text, OCI_HTYPE_ERROR), OCI_NO_DATA);
  EXPECT_EQ(text[0], '\0');

  // A malformed server text fails at attach, recorded in the error handle.
  OCIServer* server = nullptr;
  OCIHandleAlloc(env, reinterpret_cast<void**>(&server), OCI_HTYPE_SERVER, 0, nullptr);
  const char* bad = "host:port/db";
  EXPECT_EQ(OCIServerAttach(server, err, reinterpret_cast<const OraText*>(bad), -1, 0), OCI_ERROR);
  EXPECT_EQ(OCIErrorGet(err, 1, nullptr, &code, text, sizeof text, OCI_HTYPE_ERROR), OCI_SUCCESS);
  EXPECT_EQ(strlen(reinterpret_cast<char*>(text)), sizeof text - 1);  // cut to fit
  OCIHandleFree(env, OCI_HTYPE_ENV);
}

TEST(OciHandles, WrongPasswordFailsAtSessionBeginWith1017) {
  testdb::Params params;
  if (!testdb::params(params)) GTEST_SKIP() << "no test database set";
  params.password += "-wrong";
  OciConnection db;
  EXPECT_EQ(db.open(params), OCI_ERROR);
  EXPECT_EQ(db.error_number(), 1017);
  EXPECT_NE(db.error_text().find("password authentication failed"), std::string::npos)
      << db.error_text();
  db.close();
}

TEST(OciHandles, ExecuteWithoutSessionIsNotConnected) {
  OciConnection db;
  testdb::Params unreachable{"127.0.0.1:1/none", "nobody", "x"};
  EXPECT_EQ(db.open(unreachable), OCI_ERROR);
  EXPECT_EQ(db.error_number(), 3114);
  OCIStmt* stmt = nullptr;
  OCIHandleAlloc(db.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  const char* text = "select 1";
  OCIStmtPrepare(stmt, db.err, reinterpret_cast<const OraText*>(text), 8, 0, 0);
  EXPECT_EQ(OCIStmtExecute(db.svc, stmt, db.err, 0, 0, nullptr, nullptr, 0), OCI_ERROR);
  EXPECT_EQ(db.error_number(), 3114);
  db.close();
}
