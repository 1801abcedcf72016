// A simple link type's prime is one that no link type holds and that
// divides no link type's number, whatever the table went through: types
// made composite or simple again, numbers cleared, rows deleted, another
// session giving out a prime at the same time. A composite number is
// stored only when it fits and no other type holds it; a row whose number
// does not fit is refused alone, and says why.
#include <atomic>
#include <thread>

#include "insert_fixture.h"
#include "sql_session.h"
#include "update/update_caches.h"

class LinkTypeNumbersTest : public InsertTest {
 protected:
  void TearDown() override {
    InsertTest::TearDown();
    ferrule::FreeUpdateCompositeLinkTypesCache();
  }
  static std::string Number(const char* link_name) {
    return testdb::value(std::string("select coalesce(link_nbr::text, 'null') from "
                                     "vexa_link_types where link_name = '") + link_name + "'");
  }
  static std::string Prime(int position) {
    return testdb::value("select prime_nb from vexa_prime_number where prime_nb_position = " +
                         std::to_string(position));
  }
  // Link types whose number another type holds too.
  static std::string Shared() {
    return testdb::value("select coalesce(string_agg(link_name, ',' order by link_name), '') "
                         "from vexa_link_types a where exists (select 1 from vexa_link_types b "
                         "where b.link_nbr = a.link_nbr and b.linktypeID <> a.linktypeID)");
  }
  void Simple(const char* name) { ASSERT_EQ(InsertSimpleLinkType(name, 1, err_), 0) << Err(); }
  int Redefine(const char* name, const char* list) {
    return UpdateMultipleCompositeLinkTypes(name, list, 1, 1, err_);
  }
};

TEST_F(LinkTypeNumbersTest, ATypeMadeSimpleAgainSkipsThePrimeOfALaterType) {
  Simple("a");  // 2
  Simple("b");  // 3
  ASSERT_EQ(InsertCompositeLinkType("ab", "a,b", 1, err_), 0) << Err();  // 6, position 3 used
  Simple("c");                                                           // position 4: 7
  EXPECT_EQ(Number("c"), Prime(4));
  // Three simple types: 'none' starts at position 4, which c holds.
  ASSERT_EQ(Redefine("ab", "none"), 0) << Err();
  EXPECT_EQ(Number("ab"), Prime(5));
  EXPECT_EQ(Shared(), "");
}

TEST_F(LinkTypeNumbersTest, ClearedNumbersMakeTheNextTypesSkipTheHeldPrimes) {
  Simple("PA");  // 2
  Simple("PB");  // 3
  Simple("PC");  // 5
  testdb::exec("update vexa_link_types set link_nbr = null where link_name = 'PA'");
  // Two numbered types: position 3, PC's 5, is held.
  Simple("PD");
  EXPECT_EQ(Number("PD"), "7");
  testdb::exec("insert into vexa_link_types(linktypeID, link_name) values (-1, 'PX')");
  testdb::exec("update vexa_link_types set link_nbr = null where link_name = 'PB'");
  // Two simple types (PC, PD): position 3 and 4, 5 and 7, are held.
  ASSERT_EQ(Redefine("PX", "none"), 0) << Err();
  EXPECT_EQ(Number("PX"), "11");
  EXPECT_EQ(Shared(), "");
}

TEST_F(LinkTypeNumbersTest, APrimeThatACompositeHoldsIsNotGivenAgain) {
  Simple("a");  // 2
  Simple("b");  // 3
  Simple("c");  // 5
  ASSERT_EQ(InsertCompositeLinkType("bc", "b,c", 1, err_), 0) << Err();  // 15
  testdb::exec("delete from vexa_link_types where link_name in ('b', 'c')");
  // Two numbered types: position 3 is 5, a factor of bc's 15.
  Simple("d");
  EXPECT_EQ(Number("d"), "7");
  EXPECT_EQ(Number("bc"), "15");
}

TEST_F(LinkTypeNumbersTest, TwoSessionsGivingPrimesTakeTurns) {
  Simple("a");  // 2
  testdb::Session other(params_);
  other.run("BEGIN");
  // Another session stores the next prime and has not committed yet.
  ASSERT_EQ(other.run("insert into vexa_link_types(linktypeID, link_name, link_nbr) "
                      "values (-1, 'theirs', 3)"),
            "");
  std::atomic<bool> done{false};
  int result = -99;
  std::thread caller([&] {
    result = Quiet([&] { return InsertSimpleLinkType("mine", 1, err_); });
    done = true;
  });
  testdb::WaitUntil([&] { return done || testdb::AnotherWaitsForALock(other.pid()); });
  const bool waited = !done;
  EXPECT_EQ(other.run("COMMIT"), "");
  caller.join();
  EXPECT_TRUE(waited);
  EXPECT_EQ(result, 0) << Err();
  EXPECT_EQ(Number("mine"), "5");
  EXPECT_EQ(Shared(), "");
}

// Types t1 to t10 hold the first ten primes, 2 to 29: the product of the
// first nine fits an integer, that of all ten (6,469,693,230) does not.
constexpr const char* kFirstNine = "t1,t2,t3,t4,t5,t6,t7,t8,t9";
constexpr const char* kAllTen = "t1,t2,t3,t4,t5,t6,t7,t8,t9,t10";

TEST_F(LinkTypeNumbersTest, ANumberBeyondAnIntegerIsRefusedAloneAsTooLarge) {
  for (int i = 1; i <= 10; ++i)
    ASSERT_EQ(InsertMultipleSimpleLinkTypes(("t" + std::to_string(i)).c_str(), i == 1, i == 10,
                                            err_),
              0)
        << Err();
  const std::string ids = testdb::value("select last_value from vexa_lktypeseq");

  EXPECT_EQ(InsertCompositeLinkType("all", kAllTen, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertCompositeLinkType : LINK_TYPE_NUMBER_TOO_LARGE");
  EXPECT_EQ(testdb::value("select last_value from vexa_lktypeseq"), ids);  // no id drawn

  // The rows around it are stored.
  EXPECT_EQ(InsertMultipleCompositeLinkTypes("nine", kFirstNine, 1, 0, err_), 0);
  EXPECT_EQ(InsertMultipleCompositeLinkTypes("all", kAllTen, 0, 0, err_), 0);
  EXPECT_EQ(InsertMultipleCompositeLinkTypes("last2", "t9,t10", 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleCompositeLinkTypes : LINK_TYPE_NUMBER_TOO_LARGE");
  EXPECT_EQ(Number("nine"), "223092870");
  EXPECT_EQ(Number("last2"), "667");
  EXPECT_EQ(Number("all"), "");

  // The first row that stored nothing gives the reason.
  EXPECT_EQ(InsertMultipleCompositeLinkTypes("x", "t1,nosuch", 1, 0, err_), 0);
  EXPECT_EQ(InsertMultipleCompositeLinkTypes("all", kAllTen, 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(InsertMultipleCompositeLinkTypes("all", kAllTen, 1, 0, err_), 0);
  EXPECT_EQ(InsertMultipleCompositeLinkTypes("x", "t1,nosuch", 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleCompositeLinkTypes : LINK_TYPE_NUMBER_TOO_LARGE");

  // A redefinition likewise, its other rows committed.
  EXPECT_EQ(UpdateMultipleCompositeLinkTypes("last2", kAllTen, 1, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleCompositeLinkTypes : LINK_TYPE_NUMBER_TOO_LARGE");
  EXPECT_EQ(UpdateMultipleCompositeLinkTypes("nine", kAllTen, 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleCompositeLinkTypes("last2", "t8,t10", 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleCompositeLinkTypes : LINK_TYPE_NUMBER_TOO_LARGE");
  EXPECT_EQ(Number("nine"), "223092870");
  EXPECT_EQ(Number("last2"), "551");
  EXPECT_EQ(Count("vexa_link_types", "link_name in ('all', 'x')"), 0);
}

TEST_F(LinkTypeNumbersTest, TwoSessionsMakingOneNumberTakeTurns) {
  Simple("a");  // 2
  Simple("b");  // 3
  testdb::Session other(params_);
  other.run("BEGIN");
  // Another session makes a and b's number, as the library does, and has
  // not committed yet.
  ASSERT_EQ(other.run("insert into vexa_link_types(linktypeID, link_name, link_nbr) "
                      "select -1, 'theirs', link_type_list_number('a,b', 'theirs')"),
            "");
  std::atomic<bool> done{false};
  int result = -99;
  std::thread caller([&] {
    result = Quiet([&] { return InsertCompositeLinkType("mine", "b,a", 1, err_); });
    done = true;
  });
  testdb::WaitUntil([&] { return done || testdb::AnotherWaitsForALock(other.pid()); });
  const bool waited = !done;
  EXPECT_EQ(other.run("COMMIT"), "");
  caller.join();
  EXPECT_TRUE(waited);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(Err(), "ERROR in InsertCompositeLinkType : COULDNOT_INSERT_THIS_ROW");
  EXPECT_EQ(Number("theirs"), "6");
  EXPECT_EQ(Number("mine"), "");
}
