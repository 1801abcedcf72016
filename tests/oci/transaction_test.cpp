// Transactions as the classic server has them: begun by the first change,
// ended only by commit or rollback, and never lost to a failed statement.
#include "oci_session.h"

namespace {

class OciTransaction : public OciTest {
 protected:
  // The state the server shows for this session's backend.
  std::string backend_state() {
    if (backend_pid_.empty()) {
      OCIStmt* stmt = prepare("select pg_backend_pid()");
      char pid[16] = "";
      OCIDefine* define = nullptr;
      OCIDefineByPos(stmt, &define, db.err, 1, pid, sizeof pid, SQLT_STR, nullptr, nullptr, nullptr, 0);
      EXPECT_EQ(execute(stmt, 0), OCI_SUCCESS);
      EXPECT_EQ(fetch(stmt), OCI_SUCCESS);
      backend_pid_ = pid;
    }
    return testdb::value("select state from pg_stat_activity where pid = " + backend_pid_);
  }
  std::string backend_pid_;
};

TEST_F(OciTransaction, QueriesAloneOpenNoTransactionChangesDo) {
  EXPECT_EQ(backend_state(), "idle");
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS);
  EXPECT_EQ(backend_state(), "idle in transaction");
  EXPECT_EQ(value_direct("select count(*) from {item}"), "0");
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(backend_state(), "idle");
  EXPECT_EQ(commit(), OCI_SUCCESS);  // nothing open: nothing to do
}

TEST_F(OciTransaction, FailedStatementsUndoOnlyThemselves) {
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS);
  EXPECT_EQ(run("insert into {item}(id) values (1)"), OCI_ERROR);
  EXPECT_EQ(run("select 1/0"), OCI_ERROR);  // a query inside the transaction
  EXPECT_EQ(error_number(), 1476);
  ASSERT_EQ(run("insert into {item}(id) values (2)"), OCI_SUCCESS);
  ASSERT_EQ(commit(), OCI_SUCCESS) << error_text();
  EXPECT_EQ(value_direct("select string_agg(id::text, ',' order by id) from {item}"), "1,2");
}

TEST_F(OciTransaction, RollbackAndClosingTheSessionDiscardWork) {
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS);
  ASSERT_EQ(rollback(), OCI_SUCCESS);
  ASSERT_EQ(run("insert into {item}(id) values (2)"), OCI_SUCCESS);
  OCIHandleFree(db.session, OCI_HTYPE_SESSION);
  EXPECT_EQ(run("insert into {item}(id) values (3)"), OCI_ERROR);
  EXPECT_EQ(error_number(), 3114);
  EXPECT_EQ(value_direct("select count(*) from {item}"), "0");
}

TEST_F(OciTransaction, BlockProcedureDroppedByRollbackIsMadeAgain) {
  const char* block = "BEGIN insert into {item}(id) values (:id); END;";
  int id = 1;
  OCIStmt* stmt = prepare(block);
  bind_int(stmt, "id", &id);
  ASSERT_EQ(execute(stmt), OCI_SUCCESS) << error_text();
  ASSERT_EQ(rollback(), OCI_SUCCESS);
  ASSERT_EQ(execute(stmt), OCI_SUCCESS) << error_text();
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(value_direct("select count(*) from {item}"), "1");
}

TEST_F(OciTransaction, LostConnectionIsNotConnected) {
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS);
  backend_state();
  testdb::exec("select pg_terminate_backend(" + backend_pid_ + ")");
  EXPECT_EQ(run("select 1"), OCI_ERROR);
  EXPECT_EQ(error_number(), 3114);
  EXPECT_EQ(commit(), OCI_ERROR);
  EXPECT_EQ(error_number(), 3114);
  EXPECT_EQ(value_direct("select count(*) from {item}"), "0");
}

TEST_F(OciTransaction, FailedCommitIsReported) {
  exec_direct(
      "alter table {child} drop constraint {child}_parent_id_fkey;"
      "alter table {child} add foreign key (parent_id) references {parent}(id)"
      " deferrable initially deferred");
  ASSERT_EQ(run("insert into {child}(id, parent_id) values (1, 99)"), OCI_SUCCESS);
  EXPECT_EQ(commit(), OCI_ERROR);
  EXPECT_EQ(error_number(), 2291);
  EXPECT_EQ(value_direct("select count(*) from {child}"), "0");
}

}  // namespace
