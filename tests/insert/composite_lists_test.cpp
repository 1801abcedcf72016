// A composite link type's list names numbered link types only, and gives a
// number no other type holds. A list with any other name (unknown, empty,
// with a blank beside its comma, a type without a number), with one type
// alone, or with the simple types of another type stores nothing: the
// single-row insert answers COULDNOT_INSERT_THIS_ROW, a cached send
// COULDNOT_INSERT_ALL_ROWS with its other rows committed. Parts that share
// a prime give it once.
#include "insert_fixture.h"

namespace {

// Simple types data2 = 2, xq = 3, it's = 5, KP1 = 7, and unnumbered, a
// type without a number.
const char* const kRefusedLists[] = {
    "'data2','nosuch'",      // an unknown name after a known one
    "nosuch",                // unknown names only
    "data2, xq",             // " xq"
    "data2 ,xq",             // "data2 "
    "'data2', 'xq'",         // " 'xq'" is not a quoted name
    "data2,,xq",             // an empty name
    "data2,",                // likewise, at the end
    "",                      // one empty name
    "''",                    // quoted, still empty
    "'data2','unnumbered'",  // a type without a number
    "'data2'",               // one simple type: its prime would have two holders
    "data2,data2",           // the same, named twice
    "it''s",                 // not between quotes: the name has two quotes
};

}  // namespace

class CompositeListsTest : public InsertTest {
 protected:
  void SetUp() override {
    InsertTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    for (const char* name : {"data2", "xq", "it's", "KP1"})
      ASSERT_EQ(InsertSimpleLinkType(name, 1, err_), 0) << Err();
    testdb::exec("insert into vexa_link_types(linktypeID, link_name) values (-5, 'unnumbered')");
  }
  static std::vector<std::string> Types() {
    return Column("select link_name || '=' || coalesce(link_nbr::text, 'null') "
                  "from vexa_link_types order by link_name");
  }
};

TEST_F(CompositeListsTest, SingleRowWithARefusedListStoresNothing) {
  const std::vector<std::string> before = Types();
  for (const char* list : kRefusedLists) {
    EXPECT_EQ(InsertCompositeLinkType("C5_18", list, 1, err_), -1) << list;
    EXPECT_EQ(Err(), "ERROR in InsertCompositeLinkType : COULDNOT_INSERT_THIS_ROW") << list;
  }
  EXPECT_EQ(Types(), before);
  EXPECT_EQ(testdb::value("select last_value from vexa_lktypeseq"), "4");  // no id drawn

  // Lists of numbered types are stored as before.
  EXPECT_EQ(InsertCompositeLinkType("C1", "'data2','xq'", 1, err_), 0) << Err();
  EXPECT_EQ(InsertCompositeLinkType("C2", "data2,'it''s',KP1,'data2'", 1, err_), 0) << Err();
  // One composite part alone would give C1's number a second holder.
  EXPECT_EQ(InsertCompositeLinkType("C3", "C1", 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertCompositeLinkType : COULDNOT_INSERT_THIS_ROW");
  EXPECT_EQ(Column("select link_name || '=' || link_nbr from vexa_link_types "
                   "where link_name like 'C%' order by 1"),
            (std::vector<std::string>{"C1=6", "C2=70"}));
}

TEST_F(CompositeListsTest, ANumberAnotherTypeHoldsIsNotStoredAgain) {
  ASSERT_EQ(InsertCompositeLinkType("dx", "data2,xq", 1, err_), 0) << Err();  // 6
  ASSERT_EQ(InsertCompositeLinkType("xi", "xq,'it''s'", 1, err_), 0) << Err();  // 15
  const char* const held[] = {
      "dx",            // a composite named alone
      "dx,dx",         // twice
      "'dx',dx",       // quoted and bare
      "xq,data2",      // dx's simple types under a new name
      "dx,data2",      // the same set: data2's prime is dx's already
      "dx,xi,xq",      // the set of the next row, xq given three times
  };
  ASSERT_EQ(InsertCompositeLinkType("dxi", "dx,xi", 1, err_), 0) << Err();
  for (const char* list : held) {
    EXPECT_EQ(InsertCompositeLinkType("new", list, 1, err_), -1) << list;
    EXPECT_EQ(Err(), "ERROR in InsertCompositeLinkType : COULDNOT_INSERT_THIS_ROW") << list;
    EXPECT_EQ(InsertMultipleCompositeLinkTypes("ok", "data2,KP1", 1, 0, err_), 0);
    EXPECT_EQ(InsertMultipleCompositeLinkTypes("new", list, 0, 1, err_), -1) << list;
    EXPECT_EQ(Err(), "ERROR in InsertMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
    EXPECT_EQ(Count("vexa_link_types", "link_name = 'ok' and link_nbr = 14"), 1) << list;
    testdb::exec("delete from vexa_link_types where link_name = 'ok'");
  }
  // dx and xi share xq's prime 3, which dxi holds once: 2*3*5, not 2*9*5.
  EXPECT_EQ(Types(), (std::vector<std::string>{"KP1=7", "data2=2", "dx=6", "dxi=30", "it's=5",
                                               "unnumbered=null", "xi=15", "xq=3"}));
}

TEST_F(CompositeListsTest, CachedRowsWithARefusedListStoreNothingAndTheOthersAreCommitted) {
  for (const char* list : kRefusedLists) {
    EXPECT_EQ(InsertMultipleCompositeLinkTypes("ok1", "data2,xq", 1, 0, err_), 0);
    EXPECT_EQ(InsertMultipleCompositeLinkTypes("bad", list, 0, 0, err_), 0);
    EXPECT_EQ(InsertMultipleCompositeLinkTypes("ok2", "'it''s',KP1", 0, 1, err_), -1) << list;
    EXPECT_EQ(Err(), "ERROR in InsertMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS")
        << list;
    EXPECT_EQ(Column("select link_name || '=' || link_nbr from vexa_link_types "
                     "where link_name in ('ok1', 'bad', 'ok2') order by 1"),
              (std::vector<std::string>{"ok1=6", "ok2=35"}))
        << list;
    testdb::exec("delete from vexa_link_types where link_name in ('ok1', 'ok2')");
  }
  // A null list, which the cached form sends on, stores nothing either.
  EXPECT_EQ(InsertMultipleCompositeLinkTypes("bad", nullptr, 1, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Count("vexa_link_types", "link_name = 'bad'"), 0);
}

TEST_F(CompositeListsTest, AListMayNameATypeAnEarlierRowOfTheBatchInserted) {
  EXPECT_EQ(InsertMultipleCompositeLinkTypes("first", "data2,xq", 1, 0, err_), 0);
  EXPECT_EQ(InsertMultipleCompositeLinkTypes("second", "first,KP1", 0, 1, err_), 0) << Err();
  EXPECT_EQ(Column("select link_name || '=' || link_nbr from vexa_link_types "
                   "where link_name in ('first', 'second') order by 1"),
            (std::vector<std::string>{"first=6", "second=42"}));
}
