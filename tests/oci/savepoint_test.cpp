// Savepoints set and rolled back to by statements, as the classic server
// has them: a rollback to one undoes what followed it, failed array rows
// included, and keeps what came before it in the transaction.
#include "backend_memory.h"
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

// The server keeps the compiled copy of a dropped procedure until the
// session ends: a block undone call after call, as a refused call of the
// library undoes its own work, must not leave one behind each time (64 kB
// or more), with or without earlier work pending in the transaction.
TEST_F(OciSavepoint, BlocksUndoneAgainAndAgainDoNotGrowTheSession) {
  const int backend = std::stoi(db.first_value("select pg_backend_pid()"));
  if (testdb::BackendMemory(backend) < 0) GTEST_SKIP() << "the server's memory is not readable";
  int id = 0;
  OCIStmt* first = prepare("BEGIN insert into {item}(id) values (:id); END;");
  OCIStmt* second = prepare("BEGIN update {item} set id = id where id = :id; END;");
  bind_int(first, "id", &id);
  bind_int(second, "id", &id);
  for (bool transaction_open : {false, true}) {
    if (transaction_open) {
      ASSERT_EQ(run("insert into {item}(id) values (-1)"), OCI_SUCCESS);
    }
    long long warmed_up = 0;
    for (int call = 1; call <= 300; ++call) {
      id = call;
      ASSERT_EQ(run("SAVEPOINT call_start"), OCI_SUCCESS);
      ASSERT_EQ(execute(first), OCI_SUCCESS) << error_text();
      ASSERT_EQ(execute(second), OCI_SUCCESS) << error_text();
      ASSERT_EQ(run("ROLLBACK TO SAVEPOINT call_start"), OCI_SUCCESS) << error_text();
      if (call == 20) warmed_up = testdb::BackendMemory(backend);
    }
    EXPECT_LT(testdb::BackendMemory(backend) - warmed_up, 4 << 20)
        << "transaction open: " << transaction_open;
  }
  // Made again after every undo, the blocks still run.
  id = 7;
  ASSERT_EQ(execute(first), OCI_SUCCESS) << error_text();
  ASSERT_EQ(execute(second), OCI_SUCCESS) << error_text();
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(value_direct("select string_agg(id::text, ',' order by id) from {item}"), "-1,7");
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
