// Server errors carry the classic numbers and PostgreSQL's own message.
#include "oci_session.h"

namespace {

using OciErrors = OciTest;

TEST_F(OciErrors, ConstraintViolationsAndMissingObjects) {
  exec_direct("insert into {parent} values (1, 'p'); insert into {child} values (1, 1, 'c')");
  struct Case {
    const char* sql;
    int number;
  } cases[] = {
      {"insert into {parent} values (1, 'again')", 1},
      {"insert into {item}(id, code) values (1, NULL)", 1400},
      {"insert into {child} values (2, 42, 'orphan')", 2291},
      {"delete from {parent} where id = 1", 2292},
      {"insert into {parent} values (2, repeat('n', 31))", 12899},
      {"insert into oci_test_no_such_table values (1)", 942},
      {"update {item} set no_such_column = 1", 904},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.sql), OCI_ERROR) << c.sql;
    EXPECT_EQ(error_number(), c.number) << c.sql << ": " << error_text();
  }
}

TEST_F(OciErrors, MessageIsThePrimaryTextCutToTheBuffer) {
  EXPECT_EQ(run("insert into oci_test_no_such_table values (1)"), OCI_ERROR);
  EXPECT_EQ(error_text(), "relation \"oci_test_no_such_table\" does not exist");
  OraText small[9];
  sb4 code = 0;
  EXPECT_EQ(OCIErrorGet(db.err, 1, nullptr, &code, small, sizeof small, OCI_HTYPE_ERROR),
            OCI_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(small), "relation");
  EXPECT_EQ(code, 942);
}

// Record 1 belongs to the last call that recorded an error: calls that
// succeed after it, a commit among them, leave it for a report made later;
// the next failure replaces it.
TEST_F(OciErrors, TheLastFailureStaysUntilTheNextOne) {
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS);
  EXPECT_EQ(run("insert into oci_test_no_such_table values (1)"), OCI_ERROR);
  ASSERT_EQ(run("insert into {item}(id) values (2)"), OCI_SUCCESS);
  ASSERT_EQ(execute(prepare("select id from {item}"), 0), OCI_SUCCESS);
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(error_number(), 942);
  EXPECT_EQ(error_text(), "relation \"oci_test_no_such_table\" does not exist");
  EXPECT_EQ(value_direct("select count(*) from {item}"), "2");

  EXPECT_EQ(run("select 1/0"), OCI_ERROR);
  ASSERT_EQ(rollback(), OCI_SUCCESS);
  EXPECT_EQ(error_number(), 1476);
}

}  // namespace
