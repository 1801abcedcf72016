// Savepoints set and rolled back to by statements, as the classic server
// has them: a rollback to one undoes what followed it, failed array rows
// included, and keeps what came before it in the transaction.
#include "oci_session.h"

namespace {

using OciSavepoint = OciTest;

TEST_F(OciSavepoint, RollbackToASavepointKeepsWhatCameBeforeIt) {
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS);
  ASSERT_EQ(run("SAVEPOINT batch_start"), OCI_SUCCESS) << error_text();
  ASSERT_EQ(run("insert into {item}(id) values (2)"), OCI_SUCCESS);
  ASSERT_EQ(run("rollback to savepoint BATCH_START"), OCI_SUCCESS) << error_text();
  // It stays set: once more.
  ASSERT_EQ(run("insert into {item}(id) values (3)"), OCI_SUCCESS);
  ASSERT_EQ(run("ROLLBACK TO batch_start;"), OCI_SUCCESS) << error_text();
  ASSERT_EQ(run("insert into {item}(id) values (4)"), OCI_SUCCESS);
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(value_direct("select string_agg(id::text, ',' order by id) from {item}"), "1,4");
}

TEST_F(OciSavepoint, RollbackUndoesTheRowsKeptBeforeAFailingArrayRow) {
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS);
  ASSERT_EQ(run("SAVEPOINT batch_start"), OCI_SUCCESS);
  int ids[3] = {10, 20, 1};
  OCIStmt* stmt = prepare("BEGIN insert into {item}(id) values (:id); END;");
  OCIBind* bind = nullptr;
  OCIBindByName(stmt, &bind, db.err, reinterpret_cast<const OraText*>(":id"), -1, ids,
                sizeof(int), SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, 0);
  OCIBindArrayOfStruct(bind, db.err, sizeof(int), 0, 0, 0);
  ASSERT_EQ(execute(stmt, 3), OCI_ERROR);
  EXPECT_EQ(error_number(), 1);
  ASSERT_EQ(run("ROLLBACK TO SAVEPOINT batch_start"), OCI_SUCCESS) << error_text();

  // Nothing of the failed rows holds a key another session needs.
  exec_direct("set lock_timeout = '2s'; insert into {item}(id) values (10); reset lock_timeout");
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(value_direct("select string_agg(id::text, ',' order by id) from {item}"), "1,10");
}

// Outside a transaction a savepoint stands for the start of the next one.
// Either way a block made after it goes with the rollback, and is made again.
TEST_F(OciSavepoint, BlockMadeAfterASavepointIsMadeAgainAfterTheRollback) {
  int id = 0;
  OCIStmt* stmt = prepare("BEGIN insert into {item}(id) values (:id); END;");
  bind_int(stmt, "id", &id);
  for (bool transaction_open : {false, true}) {
    if (transaction_open) {
      ASSERT_EQ(run("insert into {item}(id) values (10)"), OCI_SUCCESS);
    }
    ASSERT_EQ(run("SAVEPOINT batch_start"), OCI_SUCCESS);
    for (int i = 1; i <= 3; ++i) {
      id = i + (transaction_open ? 10 : 0);
      ASSERT_EQ(execute(stmt), OCI_SUCCESS) << error_text();
      if (i < 3) {
        ASSERT_EQ(run("ROLLBACK TO SAVEPOINT batch_start"), OCI_SUCCESS) << error_text();
      }
    }
    ASSERT_EQ(commit(), OCI_SUCCESS);
  }
  EXPECT_EQ(value_direct("select string_agg(id::text, ',' order by id) from {item}"), "3,10,13");
}

TEST_F(OciSavepoint, SavepointsEndWithTheirTransaction) {
  EXPECT_EQ(run("ROLLBACK TO SAVEPOINT never_set"), OCI_ERROR);
  EXPECT_EQ(error_number(), 1086);
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS);
  ASSERT_EQ(run("SAVEPOINT batch_start"), OCI_SUCCESS);
  ASSERT_EQ(commit(), OCI_SUCCESS);
  ASSERT_EQ(run("insert into {item}(id) values (2)"), OCI_SUCCESS);
  EXPECT_EQ(run("ROLLBACK TO SAVEPOINT batch_start"), OCI_ERROR);
  EXPECT_EQ(error_number(), 1086);
  // The savepoint the layer sets around each statement is not the caller's.
  EXPECT_EQ(run("SAVEPOINT ferrule_statement"), OCI_ERROR);
  EXPECT_EQ(run("ROLLBACK TO SAVEPOINT ferrule_statement"), OCI_ERROR);
  EXPECT_EQ(error_number(), 1086);
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(value_direct("select string_agg(id::text, ',' order by id) from {item}"), "1,2");
}

}  // namespace
