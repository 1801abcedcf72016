// Anonymous blocks: in/out binds, what is written back and what is not.
#include "oci_session.h"

#include <cstring>

namespace {

using OciBlock = OciTest;

TEST_F(OciBlock, AssignedBindsAreWrittenBackInputsAreNotTouched) {
  OCIStmt* stmt = prepare(
      "DECLARE doubled integer; BEGIN doubled := :qty * 2;"
      " insert into {item}(id, name, qty) values (:id, :name, doubled);"
      " GET DIAGNOSTICS :numrows = ROW_COUNT; :name := upper(:name); :qty := doubled; END;");
  int id = 1, qty = 21, numrows = -1;
  // An indicator the block must leave alone when the value comes back
  // unchanged: any write would reset it.
  sb2 id_ind = 5;
  char name[16] = "widget";
  bind_int(stmt, "id", &id, &id_ind);
  bind_int(stmt, "qty", &qty);
  bind_text(stmt, "name", name, sizeof name);
  bind_int(stmt, "numrows", &numrows);
  ASSERT_EQ(execute(stmt), OCI_SUCCESS) << error_text();
  EXPECT_EQ(qty, 42);
  EXPECT_EQ(numrows, 1);
  EXPECT_STREQ(name, "WIDGET");
  EXPECT_EQ(id_ind, 5);
  EXPECT_EQ(row_count(stmt), 1u);

  // The same text again: the procedure made for it is reused.
  id = 2;
  ASSERT_EQ(execute(stmt), OCI_SUCCESS) << error_text();
  EXPECT_EQ(qty, 84);
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(value_direct("select string_agg(name || qty, ',' order by id) from {item}"),
            "widget42,WIDGET84");
}

TEST_F(OciBlock, NullAndTooLongOutputs) {
  OCIStmt* stmt = prepare("BEGIN :gone := NULL; :long := repeat('y', 10); :n := NULL; END;");
  char gone[8] = "here", long_text[4] = "";
  int n = 3;
  sb2 gone_ind = 0, long_ind = 0, n_ind = 0;
  bind_text(stmt, "gone", gone, sizeof gone, &gone_ind);
  bind_text(stmt, "long", long_text, sizeof long_text, &long_ind);
  bind_int(stmt, "n", &n, &n_ind);
  ASSERT_EQ(execute(stmt), OCI_SUCCESS) << error_text();
  EXPECT_EQ(gone_ind, -1);
  EXPECT_STREQ(gone, "");
  EXPECT_STREQ(long_text, "yyy");
  EXPECT_EQ(long_ind, 10);
  EXPECT_EQ(n_ind, -1);
  EXPECT_EQ(n, 3);
}

// The outputs travel as the fields of one composite value: texts holding
// its separators and quotes must come back whole, and a single bind alone.
TEST_F(OciBlock, OutputsHoldingSeparatorsQuotesAndBlanksComeBackWhole) {
  OCIStmt* stmt = prepare(
      "BEGIN :a := 'x,\"y\"\\z (w)'; :b := ' lead'; :c := '\"\"'; :n := :n + 1; END;");
  char a[32] = "", b[32] = "", c[32] = "";
  int n = 41;
  bind_text(stmt, "a", a, sizeof a);
  bind_text(stmt, "b", b, sizeof b);
  bind_text(stmt, "c", c, sizeof c);
  bind_int(stmt, "n", &n);
  ASSERT_EQ(execute(stmt), OCI_SUCCESS) << error_text();
  EXPECT_STREQ(a, "x,\"y\"\\z (w)");
  EXPECT_STREQ(b, " lead");
  EXPECT_STREQ(c, "\"\"");
  EXPECT_EQ(n, 42);

  char only[16] = "in";
  OCIStmt* single = prepare("BEGIN :only := :only || ',(out)'; END;");
  bind_text(single, "only", only, sizeof only);
  ASSERT_EQ(execute(single), OCI_SUCCESS) << error_text();
  EXPECT_STREQ(only, "in,(out)");
}

TEST_F(OciBlock, FailingBlockWritesNothingAndKeepsTheTransaction) {
  ASSERT_EQ(run("insert into {item}(id) values (1)"), OCI_SUCCESS);
  OCIStmt* stmt = prepare("BEGIN :out := 'set'; insert into {item}(id) values (:id); END;");
  char out[8] = "before";
  int id = 1;
  bind_text(stmt, "out", out, sizeof out);
  bind_int(stmt, "id", &id);
  EXPECT_EQ(execute(stmt), OCI_ERROR);
  EXPECT_EQ(error_number(), 1);
  EXPECT_STREQ(out, "before");

  // A block that does not compile fails when its procedure is created.
  EXPECT_EQ(run("BEGIN this is not plpgsql; END;"), OCI_ERROR);
  EXPECT_EQ(error_number(), 900);
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(value_direct("select count(*) from {item}"), "1");
}

}  // namespace
