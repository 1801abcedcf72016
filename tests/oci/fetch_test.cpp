// Defines: indicators, truncation, NULLs, integer conversion, the end of
// the rows, fetching many rows at once, and describing columns.
#include "oci_session.h"

#include <cstring>

namespace {

class OciFetch : public OciTest {
 protected:
  void define_text(OCIStmt* stmt, ub4 position, char* buffer, sb4 size, sb2* indicator,
                   ub2* length = nullptr) {
    OCIDefine* define = nullptr;
    ASSERT_EQ(OCIDefineByPos(stmt, &define, db.err, position, buffer, size, SQLT_STR, indicator,
                             length, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
  }
  void define_int(OCIStmt* stmt, ub4 position, int* value, sb2* indicator) {
    OCIDefine* define = nullptr;
    ASSERT_EQ(OCIDefineByPos(stmt, &define, db.err, position, value, sizeof(int), SQLT_INT,
                             indicator, nullptr, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
  }
  // Strides of an array define: elements `skip` bytes apart.
  void define_array(OCIStmt* stmt, ub4 position, void* value, sb4 size, ub2 type, ub4 skip,
                    sb2* indicators) {
    OCIDefine* define = nullptr;
    ASSERT_EQ(OCIDefineByPos(stmt, &define, db.err, position, value, size, type, indicators,
                             nullptr, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    ASSERT_EQ(OCIDefineArrayOfStruct(define, db.err, skip, sizeof(sb2), 0, 0), OCI_SUCCESS);
  }
  sword fetch_rows(OCIStmt* stmt, ub4 rows) {
    return OCIStmtFetch2(stmt, db.err, rows, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
  }
  ub4 rows_fetched(OCIStmt* stmt) {
    ub4 rows = 0;
    OCIAttrGet(stmt, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROWS_FETCHED, db.err);
    return rows;
  }
  ub4 data_size(OCIStmt* stmt, ub4 position) {
    void* param = nullptr;
    EXPECT_EQ(OCIParamGet(stmt, OCI_HTYPE_STMT, db.err, &param, position), OCI_SUCCESS);
    int size = -1;
    OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, db.err);
    return static_cast<ub4>(size);
  }
};

TEST_F(OciFetch, LongTextIsCutAndIndicatorGivesFullLength) {
  OCIStmt* stmt = prepare("select 'abcdefghij', 'abcd', repeat('x', 40000)");
  char cut[5], fits[5], huge[8];
  sb2 cut_ind = 0, fits_ind = 7, huge_ind = 0;
  ub2 cut_len = 0;
  define_text(stmt, 1, cut, sizeof cut, &cut_ind, &cut_len);
  define_text(stmt, 2, fits, sizeof fits, &fits_ind);
  define_text(stmt, 3, huge, sizeof huge, &huge_ind);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS) << error_text();

  EXPECT_EQ(fetch(stmt), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(error_number(), 1406);
  EXPECT_STREQ(cut, "abcd");
  EXPECT_EQ(cut_ind, 10);
  EXPECT_EQ(cut_len, 10);
  EXPECT_STREQ(fits, "abcd");
  EXPECT_EQ(fits_ind, 0);
  EXPECT_EQ(huge_ind, -2);  // beyond what an sb2 holds
}

TEST_F(OciFetch, NullNeedsAnIndicator) {
  OCIStmt* stmt = prepare("select NULL::text, NULL::integer");
  char text[8] = "old";
  int number = 42;
  sb2 text_ind = 0, number_ind = 0;
  define_text(stmt, 1, text, sizeof text, &text_ind);
  define_int(stmt, 2, &number, &number_ind);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS);
  ASSERT_EQ(fetch(stmt), OCI_SUCCESS);
  EXPECT_EQ(text_ind, -1);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(number_ind, -1);
  EXPECT_EQ(number, 42);

  define_int(stmt, 2, &number, nullptr);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS);
  EXPECT_EQ(fetch(stmt), OCI_ERROR);
  EXPECT_EQ(error_number(), 1405);
}

TEST_F(OciFetch, IntegersFromNumbersAndNumericText) {
  OCIStmt* stmt = prepare("select 2.5::numeric, -2.5::numeric, ' 42', 7::bigint, 'abc'");
  int values[5] = {};
  sb2 indicators[5] = {};
  for (ub4 i = 0; i < 4; ++i) define_int(stmt, i + 1, &values[i], &indicators[i]);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS);
  ASSERT_EQ(fetch(stmt), OCI_SUCCESS);
  EXPECT_EQ(values[0], 3);
  EXPECT_EQ(values[1], -3);
  EXPECT_EQ(values[2], 42);
  EXPECT_EQ(values[3], 7);

  define_int(stmt, 5, &values[4], &indicators[4]);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS);
  EXPECT_EQ(fetch(stmt), OCI_ERROR);
  EXPECT_EQ(error_number(), 1722);
}

TEST_F(OciFetch, EndOfRowsIsNoDataFound) {
  exec_direct("insert into {item}(id) values (1), (2)");
  OCIStmt* stmt = prepare("select id from {item} order by id");
  int id = 0;
  define_int(stmt, 1, &id, nullptr);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS);
  ASSERT_EQ(fetch(stmt), OCI_SUCCESS);
  ASSERT_EQ(OCIStmtFetch(stmt, db.err, 1, OCI_FETCH_NEXT, 0), OCI_SUCCESS);
  EXPECT_EQ(id, 2);
  EXPECT_EQ(row_count(stmt), 2u);
  for (int again = 0; again < 2; ++again) {
    EXPECT_EQ(fetch(stmt), OCI_NO_DATA);
    EXPECT_EQ(error_number(), 1403);
    EXPECT_EQ(error_text(), "no data found");
  }
}

// Rows of one fetch go to the elements of the defines, at their strides.
struct Slot {
  int id;
  char name[6];
};

TEST_F(OciFetch, ArrayFetchFillsElementsUpToTheEndOfTheRows) {
  OCIStmt* stmt = prepare("select g, 'n' || g || case when g = 2 then 'long' else '' end "
                          "from generate_series(1, 5) g order by g");
  Slot slots[2] = {};
  sb2 id_ind[2] = {7, 7}, name_ind[2] = {7, 7};
  define_array(stmt, 1, &slots[0].id, sizeof(int), SQLT_INT, sizeof(Slot), id_ind);
  define_array(stmt, 2, slots[0].name, sizeof slots[0].name, SQLT_STR, sizeof(Slot), name_ind);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS) << error_text();

  EXPECT_EQ(fetch_rows(stmt, 2), OCI_SUCCESS_WITH_INFO) << "n2long is cut";
  EXPECT_EQ(error_number(), 1406);
  EXPECT_EQ(rows_fetched(stmt), 2u);
  EXPECT_EQ(slots[0].id, 1);
  EXPECT_STREQ(slots[0].name, "n1");
  EXPECT_EQ(name_ind[0], 0);
  EXPECT_EQ(slots[1].id, 2);
  EXPECT_STREQ(slots[1].name, "n2lon");
  EXPECT_EQ(name_ind[1], 6);

  EXPECT_EQ(fetch_rows(stmt, 2), OCI_SUCCESS);
  EXPECT_EQ(rows_fetched(stmt), 2u);
  EXPECT_EQ(slots[1].id, 4);
  EXPECT_EQ(name_ind[1], 0);

  // Fewer rows than asked: those delivered, and the end of the rows.
  EXPECT_EQ(fetch_rows(stmt, 2), OCI_NO_DATA);
  EXPECT_EQ(error_number(), 1403);
  EXPECT_EQ(rows_fetched(stmt), 1u);
  EXPECT_EQ(slots[0].id, 5);
  EXPECT_STREQ(slots[0].name, "n5");
  EXPECT_EQ(row_count(stmt), 5u);
  EXPECT_EQ(fetch_rows(stmt, 2), OCI_NO_DATA);
  EXPECT_EQ(rows_fetched(stmt), 0u);
}

TEST_F(OciFetch, ArrayFetchStopsAtTheFirstRowThatCannotBeStored) {
  // Row 3 has a NULL without indicator in column 1 and row 2 a text that
  // is no number in column 2: row 2 fails first, on column 2.
  OCIStmt* stmt = prepare(
      "select case when s.g = 3 then NULL else s.g end, case when s.g = 2 then 'abc' else '7' end "
      "from generate_series(1, 4) s(g) order by s.g");
  int first[4] = {}, second[4] = {};
  define_array(stmt, 1, first, sizeof(int), SQLT_INT, sizeof(int), nullptr);
  define_array(stmt, 2, second, sizeof(int), SQLT_INT, sizeof(int), nullptr);
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS) << error_text();

  EXPECT_EQ(fetch_rows(stmt, 4), OCI_ERROR);
  EXPECT_EQ(error_number(), 1722);
  EXPECT_EQ(rows_fetched(stmt), 1u);
  EXPECT_EQ(first[0], 1);
  EXPECT_EQ(second[0], 7);
  // The failing row is used up, as when it is fetched alone.
  EXPECT_EQ(fetch_rows(stmt, 4), OCI_ERROR);
  EXPECT_EQ(error_number(), 1405);
  EXPECT_EQ(rows_fetched(stmt), 0u);
  EXPECT_EQ(fetch_rows(stmt, 4), OCI_NO_DATA);
  EXPECT_EQ(rows_fetched(stmt), 1u);
  EXPECT_EQ(first[0], 4);
  EXPECT_EQ(row_count(stmt), 4u);
}

TEST_F(OciFetch, DataSizeIsDeclaredOrLongestValue) {
  exec_direct("insert into {item}(id, name, note) values (1, 'ab', 'abcdef'), (2, NULL, 'abc')");
  OCIStmt* stmt = prepare("select name, note, price, qty, note || '' from {item} where id < 0");
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS);
  ub4 columns = 0;
  OCIAttrGet(stmt, OCI_HTYPE_STMT, &columns, nullptr, OCI_ATTR_PARAM_COUNT, db.err);
  EXPECT_EQ(columns, 5u);
  EXPECT_EQ(data_size(stmt, 1), 30u);
  EXPECT_EQ(data_size(stmt, 2), 1u);  // no rows: still room for something
  EXPECT_EQ(data_size(stmt, 3), 22u);
  EXPECT_EQ(data_size(stmt, 4), 22u);

  stmt = prepare("select note from {item}");
  ASSERT_EQ(execute(stmt, 0), OCI_SUCCESS);
  EXPECT_EQ(data_size(stmt, 1), 6u);
  void* param = nullptr;
  EXPECT_EQ(OCIParamGet(stmt, OCI_HTYPE_STMT, db.err, &param, 2), OCI_ERROR);
}

}  // namespace
