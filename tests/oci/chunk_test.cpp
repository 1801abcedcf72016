// Blocks over many array rows, which the layer runs in chunks of rows: each
// row must see what it would see in a call of its own, and a failing row
// must leave exactly what a batch of single rows would.
#include "block_procedure.h"
#include "oci_session.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using OciChunks = OciTest;

// Enough rows for three chunks, the last one partial.
constexpr int kRows = 2500;
constexpr int kNameSize = 24;

struct Rows {
  std::vector<int> ids = std::vector<int>(kRows);
  std::vector<sb2> id_indicators = std::vector<sb2>(kRows, 5);
  std::vector<char> names = std::vector<char>(kRows * kNameSize, '\0');
  std::vector<sb2> name_indicators = std::vector<sb2>(kRows, 0);
  std::vector<int> counts = std::vector<int>(kRows, -1);
  std::vector<int> before = std::vector<int>(kRows, -1);

  Rows() { fill(); }
  // Every value as first set; the buffers stay where they are.
  void fill() {
    for (int i = 0; i < kRows; ++i) {
      ids[i] = i + 1;
      id_indicators[i] = 5;
      name_indicators[i] = 0;
      counts[i] = before[i] = -1;
      std::memset(name(i), 0, kNameSize);
      if (i % 10 != 7) std::snprintf(name(i), kNameSize, "r%d \"q\" \\ ,{NULL}", i);
    }
    name_indicators[9] = -1;  // with a text, but NULL by its indicator
    std::snprintf(name(9), kNameSize, "ignored");
  }
  char* name(int row) { return &names[row * kNameSize]; }
};

void bind_array(OCIStmt* stmt, OCIError* err, const char* name, void* values, sb4 size,
                ub2 type, sb2* indicators = nullptr) {
  OCIBind* bind = nullptr;
  ASSERT_EQ(OCIBindByName(stmt, &bind, err, reinterpret_cast<const OraText*>(name), -1, values,
                          size, type, indicators, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(OCIBindArrayOfStruct(bind, err, static_cast<ub4>(size), indicators ? sizeof(sb2) : 0,
                                 0, 0),
            OCI_SUCCESS);
}

// Each row reports what it saw before its own statements: ROW_COUNT, FOUND
// and a DECLAREd variable must read 0, false and NULL in every row, though
// the row before it inserted and set the variable.
const char* kInsertBlock =
    "DECLARE seen integer; BEGIN"
    " GET DIAGNOSTICS :before = ROW_COUNT;"
    " IF FOUND OR seen IS NOT NULL THEN :before := -2; END IF; seen := 1;"
    " insert into {item}(id, name, qty) values (:id, :name, :id * 2);"
    " GET DIAGNOSTICS :n = ROW_COUNT; :name := :name || '!'; END;";

void bind_rows(OCIStmt* stmt, OCIError* err, Rows& rows) {
  bind_array(stmt, err, ":id", rows.ids.data(), sizeof(int), SQLT_INT, rows.id_indicators.data());
  bind_array(stmt, err, ":name", rows.names.data(), kNameSize, SQLT_STR,
             rows.name_indicators.data());
  bind_array(stmt, err, ":n", rows.counts.data(), sizeof(int), SQLT_INT);
  bind_array(stmt, err, ":before", rows.before.data(), sizeof(int), SQLT_INT);
}

TEST_F(OciChunks, EveryRowGetsItsOwnOutputsAndStartsAfresh) {
  Rows rows;
  OCIStmt* stmt = prepare(kInsertBlock);
  bind_rows(stmt, db.err, rows);
  // Made in a transaction that rolls back, the layer's function is made
  // again for the next execution.
  ASSERT_EQ(execute(stmt, kRows), OCI_SUCCESS) << error_text();
  ASSERT_EQ(rollback(), OCI_SUCCESS);
  rows.fill();
  ASSERT_EQ(execute(stmt, kRows), OCI_SUCCESS) << error_text();
  EXPECT_EQ(row_count(stmt), static_cast<ub4>(kRows));
  ASSERT_EQ(commit(), OCI_SUCCESS);

  for (int i = 0; i < kRows; ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(rows.counts[i], 1);
    ASSERT_EQ(rows.before[i], 0);
    // Inputs that come back as they went keep their indicators.
    ASSERT_EQ(rows.id_indicators[i], 5);
    if (i == 9 || i % 10 == 7) {
      ASSERT_EQ(rows.name_indicators[i], i == 9 ? -1 : 0);
    } else {
      char expected[kNameSize + 1];
      std::snprintf(expected, sizeof expected, "r%d \"q\" \\ ,{NULL}!", i);
      ASSERT_STREQ(rows.name(i), expected);
    }
  }
  EXPECT_EQ(value_direct("select count(*) from {item} where name is null"),
            std::to_string(kRows / 10 + 1));
  EXPECT_EQ(value_direct("select name from {item} where id = 2"), "r1 \"q\" \\ ,{NULL}");
  EXPECT_EQ(value_direct("select sum(qty) from {item}"), std::to_string(kRows * (kRows + 1)));
}

// Rows fail at either end of a chunk and in the middle of one: the rows
// before are kept with their outputs, the failing row and all after it
// leave nothing, and the work pending before the batch stays.
TEST_F(OciChunks, FailingRowKeepsTheRowsBeforeItInEveryChunk) {
  for (int failing : {0, 999, 1000, 1700, kRows - 1}) {
    SCOPED_TRACE(failing);
    exec_direct("TRUNCATE {item}, {parent} CASCADE");
    ASSERT_EQ(run("insert into {parent}(id) values (1)"), OCI_SUCCESS);
    exec_direct("insert into {item}(id) values (" + std::to_string(failing + 1) + ")");
    Rows rows;
    OCIStmt* stmt = prepare(kInsertBlock);
    bind_rows(stmt, db.err, rows);

    EXPECT_EQ(execute(stmt, kRows), OCI_ERROR);
    EXPECT_EQ(error_number(), 1);
    EXPECT_NE(error_text().find("duplicate key"), std::string::npos) << error_text();
    EXPECT_EQ(row_count(stmt), static_cast<ub4>(failing));
    for (int i = 0; i < kRows; ++i) ASSERT_EQ(rows.counts[i], i < failing ? 1 : -1) << i;

    ASSERT_EQ(commit(), OCI_SUCCESS) << error_text();
    EXPECT_EQ(value_direct("select count(*) from {parent}"), "1");
    EXPECT_EQ(value_direct("select count(*) from {item}"), std::to_string(failing + 1));
    EXPECT_EQ(value_direct("select coalesce(max(id), 0) from {item} where qty is not null"),
              std::to_string(failing));
  }
}

// A block that may leave early (RETURN, EXIT), and one that ends without
// a semicolon but with a comment, run as they would row by row.
TEST_F(OciChunks, BlocksOfEveryShapeRunEachRowOnce) {
  std::vector<int> ids(kRows);
  for (int i = 0; i < kRows; ++i) ids[i] = i + 1;
  const char* blocks[] = {
      "BEGIN IF :id % 2 = 0 THEN RETURN; END IF; insert into {item}(id) values (:id); END;",
      "BEGIN FOR i IN 1..3 LOOP EXIT WHEN i = 2; END LOOP; IF :id % 2 = 1 THEN"
      " insert into {item}(id) values (:id); END IF; END",
      "BEGIN IF :id % 2 = 1 THEN insert into {item}(id, note) values (:id, 'end;');"
      " END IF; END -- no semicolon;",
  };
  for (const char* block : blocks) {
    SCOPED_TRACE(block);
    exec_direct("TRUNCATE {item}");
    OCIStmt* stmt = prepare(block);
    bind_array(stmt, db.err, ":id", ids.data(), sizeof(int), SQLT_INT);
    ASSERT_EQ(execute(stmt, kRows), OCI_SUCCESS) << error_text();
    ASSERT_EQ(commit(), OCI_SUCCESS);
    EXPECT_EQ(value_direct("select count(*) from {item}"), std::to_string(kRows / 2));
  }
}

// Integers of every width travel as arrays of their own type: 8 bytes
// beyond 32 bits either way, 2 bytes, and NULL elements; an output wider
// than 32 bits comes back whole.
TEST_F(OciChunks, IntegersOfEveryWidthKeepTheirValues) {
  constexpr int kWideRows = 200;
  std::vector<std::int64_t> wide(kWideRows), doubled(kWideRows, 0);
  std::vector<std::int16_t> small(kWideRows);
  std::vector<sb2> wide_indicators(kWideRows, 0);
  for (int i = 0; i < kWideRows; ++i) {
    wide[i] = (i % 2 ? -1 : 1) * (std::int64_t{5000000000} + i);
    small[i] = static_cast<std::int16_t>(i % 3 ? -i : 30000 - i);
  }
  wide_indicators[5] = -1;
  OCIStmt* stmt = prepare(
      "BEGIN insert into {item}(id, note, qty) values (:small + 40000, :wide::text, :small);"
      " :doubled := :wide * 2; END;");
  bind_array(stmt, db.err, ":wide", wide.data(), sizeof(std::int64_t), SQLT_INT,
             wide_indicators.data());
  bind_array(stmt, db.err, ":small", small.data(), sizeof(std::int16_t), SQLT_INT);
  bind_array(stmt, db.err, ":doubled", doubled.data(), sizeof(std::int64_t), SQLT_INT);
  ASSERT_EQ(execute(stmt, kWideRows), OCI_SUCCESS) << error_text();
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(doubled[0], 10000000000);
  EXPECT_EQ(doubled[1], -10000000002);
  EXPECT_EQ(doubled[5], 0) << "a NULL result leaves the element as it was";
  EXPECT_EQ(wide_indicators[5], -1);
  EXPECT_EQ(value_direct("select note from {item} where id = 40000 - 1"), "-5000000001");
  EXPECT_EQ(value_direct("select count(*) from {item} where note is null"), "1");
  EXPECT_EQ(value_direct("select qty from {item} where id = 70000"), "30000");
  EXPECT_EQ(value_direct("select min(qty) from {item}"), "-199");
}

// A chunk that the server cancels (its rows together outlast the statement
// timeout) runs again row by row: every row is done once and reported.
TEST_F(OciChunks, ChunkThatCannotFinishRunsRowByRow) {
  constexpr int kSlowRows = 300;
  ASSERT_EQ(run("SET statement_timeout = 150"), OCI_SUCCESS);
  ASSERT_EQ(commit(), OCI_SUCCESS);
  std::vector<int> ids(kSlowRows), counts(kSlowRows, -1);
  for (int i = 0; i < kSlowRows; ++i) ids[i] = i + 1;
  OCIStmt* stmt = prepare(
      "BEGIN PERFORM pg_sleep(0.001); insert into {item}(id) values (:id);"
      " GET DIAGNOSTICS :n = ROW_COUNT; END;");
  bind_array(stmt, db.err, ":id", ids.data(), sizeof(int), SQLT_INT);
  bind_array(stmt, db.err, ":n", counts.data(), sizeof(int), SQLT_INT);
  ASSERT_EQ(execute(stmt, kSlowRows), OCI_SUCCESS) << error_text();
  EXPECT_EQ(row_count(stmt), static_cast<ub4>(kSlowRows));
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(counts.front(), 1);
  EXPECT_EQ(counts.back(), 1);
  EXPECT_EQ(value_direct("select count(*) from {item}"), std::to_string(kSlowRows));
}

// Rows are stamped with the time their own run started in, to the second,
// though a chunk of them is one call: here each chunk's rows would take
// two seconds together, and the rows sent behind a chunk that stopped at
// the turn of a second must run once, in order.
TEST_F(OciChunks, EveryRowRunsWithinTheSecondItsStatementTimeGives) {
  constexpr int kSlowRows = 1100;
  std::vector<int> ids(kSlowRows);
  for (int i = 0; i < kSlowRows; ++i) ids[i] = i + 1;
  OCIStmt* stmt = prepare(
      "DECLARE started timestamptz := clock_timestamp(); BEGIN PERFORM pg_sleep(0.002);"
      " insert into {item}(id, note) values (:id,"
      " extract(epoch from started - statement_timestamp())::text); END;");
  bind_array(stmt, db.err, ":id", ids.data(), sizeof(int), SQLT_INT);
  ASSERT_EQ(execute(stmt, kSlowRows), OCI_SUCCESS) << error_text();
  EXPECT_EQ(row_count(stmt), static_cast<ub4>(kSlowRows));
  ASSERT_EQ(commit(), OCI_SUCCESS);
  EXPECT_EQ(value_direct("select count(*) from {item}"), std::to_string(kSlowRows));
  EXPECT_EQ(value_direct("select count(*) from {item} where note::float8 >= 1"), "0")
      << value_direct("select max(note::float8) from {item}");
}

// The layer's function for a chunk of rows holds the block as a nested
// block, which needs a final semicolon that a block of its own may omit.
TEST(OciChunkFunction, CompilesWhateverTheBlockEndsWith) {
  REQUIRE_TEST_DB();
  for (const char* block : {"BEGIN :x := 1; END;", "BEGIN :x := 1; END",
                            "BEGIN :x := 1; END -- done;", "DECLARE v integer; BEGIN v := :x;"
                            " END; /* done */"}) {
    SCOPED_TRACE(block);
    testdb::exec("BEGIN; " +
                 ferrule::oci::create_block_chunk_sql(ferrule::oci::parse_statement(block),
                                                      "chunk_compiles", {"integer"}) +
                 "; ROLLBACK");
  }
}

}  // namespace
