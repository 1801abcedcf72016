// Binds: what counts as NULL, names, positions, and type inference.
#include "oci_session.h"

#include <cstring>

namespace {

using OciBind = OciTest;

TEST_F(OciBind, NullPointerEmptyTextIndicatorAndZeroLengthAreNull) {
  OCIStmt* stmt = prepare("insert into {item}(id, name, note, qty) values (:id, :name, :note, :qty)");
  int id = 1;
  char empty[8] = "", note[8] = "kept";
  sb2 null_ind = -1;
  bind_int(stmt, "id", &id);
  bind_text(stmt, "name", empty, sizeof empty);
  bind_text(stmt, "note", note, sizeof note, &null_ind);
  bind_int(stmt, "qty", nullptr);
  ASSERT_EQ(execute(stmt), OCI_SUCCESS) << error_text();

  OCIBind* bind = nullptr;
  id = 2;
  ASSERT_EQ(OCIBindByName(stmt, &bind, db.err, reinterpret_cast<const OraText*>(":note"), 5, note,
                          0, SQLT_CHR, nullptr, nullptr, nullptr, 0, nullptr, 0),
            OCI_SUCCESS);
  ASSERT_EQ(execute(stmt), OCI_SUCCESS) << error_text();
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(value_direct("select count(*) from {item} where name is null and note is null"
                         " and qty is null"),
            "2");
}

TEST_F(OciBind, NamesAnyCaseOneBindPerNameAndPositions) {
  exec_direct("insert into {item}(id, qty, name) values (1, 1, 'one'), (2, 2, 'two'), (3, 9, 'x')");
  // A text bind compared with an integer column: the server infers its type.
  OCIStmt* stmt = prepare("select name from {item} where id = :Key or qty = :key order by id");
  char key[4] = "2";
  bind_text(stmt, ":KEY", key, sizeof key);
  char name[8];
  OCIDefine* define = nullptr;
  OCIDefineByPos(stmt, &define, db.err, 1, name, sizeof name, SQLT_STR, nullptr, nullptr, nullptr, 0);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS) << error_text();
  ASSERT_EQ(fetch(stmt), OCI_SUCCESS);
  EXPECT_STREQ(name, "two");
  EXPECT_EQ(fetch(stmt), OCI_NO_DATA);

  // Positions count distinct names in order of first appearance.
  stmt = prepare("select count(*) from {item} where qty = :b or id = :a or qty = :b");
  int a = 1, b = 9, count = 0;
  OCIBind* bind = nullptr;
  OCIBindByPos(stmt, &bind, db.err, 1, &b, sizeof b, SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, 0);
  OCIBindByPos(stmt, &bind, db.err, 2, &a, sizeof a, SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, 0);
  OCIDefineByPos(stmt, &define, db.err, 1, &count, sizeof count, SQLT_INT, nullptr, nullptr, nullptr, 0);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS) << error_text();
  ASSERT_EQ(fetch(stmt), OCI_SUCCESS);
  EXPECT_EQ(count, 2);
}

TEST_F(OciBind, UnknownAndMissingBinds) {
  OCIStmt* stmt = prepare("select 1 from {item} where id = :a and qty = :b");
  int a = 1;
  OCIBind* bind = nullptr;
  EXPECT_EQ(OCIBindByName(stmt, &bind, db.err, reinterpret_cast<const OraText*>(":c"), -1, &a,
                          sizeof a, SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, 0),
            OCI_ERROR);
  EXPECT_EQ(error_number(), 1036);
  bind_int(stmt, "a", &a);
  EXPECT_EQ(execute(stmt, 0), OCI_ERROR);
  EXPECT_EQ(error_number(), 1008);

  // Preparing again drops the binds of the earlier text.
  OCIStmtPrepare(stmt, db.err, reinterpret_cast<const OraText*>("select :a"), 9, 0, 0);
  EXPECT_EQ(execute(stmt, 0), OCI_ERROR);
  EXPECT_EQ(error_number(), 1008);
}

}  // namespace
