// What the database keeps of link-type numbers whatever writes them: a
// number is a product of distinct primes and has one holder, a prime
// divides no other number, a new simple type's prime is free, and a
// composite list's number comes from numbered types only.
#include <gtest/gtest.h>

#include <string>

#include "sql_session.h"
#include "test_db.h"

namespace {

class LinkTypeNumbers : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DB();
    testdb::reset();
    testdb::exec(
        "CREATE OR REPLACE FUNCTION pg_temp.sqlstate_of(q text) RETURNS text "
        "LANGUAGE plpgsql AS $$ BEGIN EXECUTE q; RETURN '00000'; "
        "EXCEPTION WHEN OTHERS THEN RETURN SQLSTATE; END $$");
  }
  static std::string sqlstate_of(const std::string& sql) {
    return testdb::value("SELECT pg_temp.sqlstate_of($q$" + sql + "$q$)");
  }
  static void add(int id, const std::string& name, const std::string& number) {
    testdb::exec("INSERT INTO vexa_link_types(linktypeID, link_name, link_nbr) VALUES (" +
                 std::to_string(id) + ", '" + name + "', " + number + ")");
  }
  static std::string insert(int id, const std::string& number) {
    return sqlstate_of("INSERT INTO vexa_link_types(linktypeID, link_name, link_nbr) VALUES (" +
                       std::to_string(id) + ", 't" + std::to_string(id) + "', " + number + ")");
  }
};

}  // namespace

TEST_F(LinkTypeNumbers, IsPrimeAgreesWithThePrimeTable) {
  EXPECT_EQ(testdb::value("SELECT count(*) FROM generate_series(-3, 7919) n "
                          "WHERE vexa_is_prime(n) IS DISTINCT FROM "
                          "EXISTS (SELECT 1 FROM vexa_prime_number WHERE prime_nb = n)"),
            "0");
  EXPECT_EQ(testdb::value("SELECT vexa_is_prime(2147483647)"), "t");
  EXPECT_EQ(testdb::value("SELECT vexa_is_prime(7907 * 7919)"), "f");
}

TEST_F(LinkTypeNumbers, APrimeHasOneHolderAndDividesNoOtherNumber) {
  add(1, "a", "2");
  add(2, "b", "3");
  add(3, "ab", "6");
  EXPECT_EQ(insert(4, "2"), "23505");  // held
  EXPECT_EQ(insert(5, "6"), "23505");  // a composite's too
  add(6, "big", "35");
  EXPECT_EQ(insert(7, "5"), "23505");  // a factor of big's number
  EXPECT_EQ(insert(8, "7"), "23505");
  EXPECT_EQ(sqlstate_of("UPDATE vexa_link_types SET link_nbr = 3 WHERE link_name = 'a'"),
            "23505");
  EXPECT_EQ(insert(9, "11"), "00000");
  // A number that stays, and other columns, may change.
  EXPECT_EQ(sqlstate_of("UPDATE vexa_link_types SET link_nbr = link_nbr, link_name = "
                        "link_name || 'x'"),
            "00000");
  EXPECT_EQ(testdb::value("SELECT string_agg(link_name || '=' || link_nbr, ',' ORDER BY "
                          "linktypeID) FROM vexa_link_types"),
            "ax=2,bx=3,abx=6,bigx=35,t9x=11");
}

TEST_F(LinkTypeNumbers, ANumberIsAProductOfDistinctPrimes) {
  // Squarefree by trial of every square, for every number up to 20000.
  EXPECT_EQ(testdb::value("SELECT count(*) FROM generate_series(-3, 20000) n "
                          "WHERE vexa_is_squarefree(n) IS DISTINCT FROM (n >= 1 AND NOT EXISTS "
                          "(SELECT 1 FROM generate_series(2, 142) d WHERE n % (d * d) = 0))"),
            "0");
  EXPECT_EQ(testdb::value("SELECT vexa_is_squarefree(2147483647)"), "t");       // a prime
  EXPECT_EQ(testdb::value("SELECT vexa_is_squarefree(46337 * 46337)"), "f");    // its square
  EXPECT_EQ(testdb::value("SELECT vexa_is_squarefree(2 * 3 * 46337)"), "t");
  EXPECT_EQ(insert(1, "12"), "23514");
  EXPECT_EQ(insert(2, "0"), "23514");
  EXPECT_EQ(insert(3, "-6"), "23514");
  add(4, "ab", "6");
  EXPECT_EQ(sqlstate_of("UPDATE vexa_link_types SET link_nbr = 18 WHERE link_name = 'ab'"),
            "23514");
  // Types without a number, and numbers cleared, are many; so are deletions.
  add(5, "none1", "NULL");
  add(6, "none2", "NULL");
  add(7, "one", "1");
  EXPECT_EQ(sqlstate_of("UPDATE vexa_link_types SET link_nbr = NULL WHERE link_name = 'ab'"),
            "00000");
  EXPECT_EQ(sqlstate_of("DELETE FROM vexa_link_types WHERE link_name = 'one'"), "00000");
  EXPECT_EQ(insert(8, "6"), "00000");
  EXPECT_EQ(testdb::value("SELECT string_agg(link_name || '=' || coalesce(link_nbr::text, '-'), "
                          "',' ORDER BY linktypeID) FROM vexa_link_types"),
            "ab=-,none1=-,none2=-,t8=6");
}

TEST_F(LinkTypeNumbers, TheIndexRefusesASecondHolderThatTheTriggerCannotSee) {
  // Two repeatable-read transactions: the second's snapshot predates the
  // first's commit, so only the unique index can tell.
  testdb::Params p;
  ASSERT_TRUE(testdb::params(p));
  testdb::Session first(p), second(p);
  first.run("BEGIN ISOLATION LEVEL REPEATABLE READ");
  second.run("BEGIN ISOLATION LEVEL REPEATABLE READ");
  EXPECT_EQ(second.run("SELECT count(*) FROM vexa_link_types"), "0");
  EXPECT_EQ(first.run("INSERT INTO vexa_link_types(linktypeID, link_name, link_nbr) "
                      "VALUES (1, 'one', 2)"),
            "");
  second.send("INSERT INTO vexa_link_types(linktypeID, link_name, link_nbr) VALUES (2, 'two', 2)");
  testdb::UntilWaiting(second);
  EXPECT_EQ(first.run("COMMIT"), "");
  EXPECT_NE(second.wait().find("duplicate key"), std::string::npos);
  second.run("ROLLBACK");
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_link_types"), "1");
}

TEST_F(LinkTypeNumbers, FreePrimeStartsAtThePositionAndSkipsHeldPrimesAndFactors) {
  EXPECT_EQ(testdb::value("SELECT link_type_free_prime(1)"), "2");
  EXPECT_EQ(testdb::value("SELECT link_type_free_prime(3)"), "5");
  add(1, "c", "5");
  add(2, "de", "7 * 11");
  EXPECT_EQ(testdb::value("SELECT link_type_free_prime(3)"), "13");
  EXPECT_EQ(testdb::value("SELECT link_type_free_prime(1)"), "2");
  EXPECT_EQ(testdb::value("SELECT link_type_free_prime(1001)"), "<null>");
}

TEST_F(LinkTypeNumbers, ListNumberIsTheProductOfNumberedTypesOnly) {
  testdb::exec("INSERT INTO vexa_link_types(linktypeID, link_name, link_nbr) VALUES "
               "(1, 'a', 2), (2, 'b', 3), (3, 'it''s', 5), (4, 'x,y', 7), (5, 'ab', 6), "
               "(6, 'none', NULL), (7, 'bc', 15), (8, 'p7907', 7907), (9, 'p7919', 7919)");
  const struct {
    const char* list;
    const char* own;
    const char* number;
  } cases[] = {
      {"a,b", "new", "<null>"},      // ab's simple types: ab's number
      {"'it''s','x,y',a", "new", "70"},
      {"ab,'ab'", "new", "<null>"},  // one composite part, named twice: ab's number
      {"a,ab", "new", "<null>"},     // ab's again
      {"b,a", "ab", "6"},            // ab's own, for ab
      {"ab,'it''s'", "ab", "<null>"},  // ab itself named
      {"ab,bc", "new", "30"},        // 3 once
      {"a,'it''s',bc", "new", "30"},
      {"p7907,p7919,'x,y',ab", "new", "2629852386"},  // beyond an integer, returned
      {"a,nosuch", "new", "<null>"},
      {"a, b", "new", "<null>"},
      {"a,", "new", "<null>"},
      {"", "new", "<null>"},
      {"a,none", "new", "<null>"},  // no number
      {"b", "new", "<null>"},       // b's prime, a second holder
      {"b", "b", "<null>"},         // b itself
  };
  for (const auto& c : cases)
    EXPECT_EQ(testdb::value(std::string("SELECT link_type_list_number($l$") + c.list +
                            "$l$, '" + c.own + "')"),
              c.number)
        << c.list;
  EXPECT_EQ(testdb::value("SELECT link_type_list_number(NULL, 'new')"), "<null>");
}
