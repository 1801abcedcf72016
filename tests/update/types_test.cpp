// Device type and link type updates: attributes, new names (never an empty
// one), and link type numbers from simple types.
#include "update_fixture.h"

class TypeUpdateTest : public UpdateTest {
 protected:
  static std::string LinkNumber(const std::string& name) {
    return testdb::value("select coalesce(link_nbr::text, 'null') from vexa_link_types "
                         "where link_name = '" + name + "'");
  }
};

TEST_F(TypeUpdateTest, DeviceTypeAttributesKeepWhatIsNotGiven) {
  testdb::exec("update vexa_lg_device_types set description = 'd', rgbcolor = 'red'");
  EXPECT_EQ(UpdateMultipleDeviceTypeAttributes("SWITCH", "none", -1, -1, nullptr, 1, 1, err_), 0)
      << Err();
  EXPECT_EQ(testdb::value("select concat_ws('|', description, nbrofinput, nbrofoutput, rgbcolor) "
                          "from vexa_lg_device_types where devicetype = 'SWITCH'"),
            "d|1|1|red");
  EXPECT_EQ(UpdateMultipleDeviceTypeAttributes("SWITCH", "big", 48, 0, "blue", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDeviceTypeAttributes("ROUTER", "x", 1, 1, "x", 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleDeviceTypeAttributes : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(testdb::value("select concat_ws('|', description, nbrofinput, nbrofoutput, rgbcolor) "
                          "from vexa_lg_device_types where devicetype = 'SWITCH'"),
            "big|48|0|blue");
}

TEST_F(TypeUpdateTest, RenamesKeepTheirKeyAndRefuseAnEmptyName) {
  EXPECT_EQ(UpdateMultipleDeviceTypes("SWITCH", "", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDeviceTypes("SWITCH", nullptr, 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleDeviceTypes : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(UpdateMultipleDeviceTypes("SWITCH", "ROUTER", 1, 1, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_lg_device_types", "devicetype = 'ROUTER'"), 1);

  EXPECT_EQ(UpdateMultipleLinkTypeNames("data", "", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleLinkTypeNames("ctrl", "control", 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleLinkTypenames : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(Column("select link_name from vexa_link_types order by 1"),
            (std::vector<std::string>{"control", "data"}));
}

TEST_F(TypeUpdateTest, CompositeNumbersAreProductsOfTheNamedTypes) {
  testdb::exec("insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
               "(3, 'mixed', 1), (4, 'dat', 5)");
  auto define = [&](const char* name, const char* list) {
    return UpdateMultipleCompositeLinkTypes(name, list, 1, 1, err_);
  };
  EXPECT_EQ(define("mixed", "'data','ctrl'"), 0) << Err();
  EXPECT_EQ(LinkNumber("mixed"), "6");  // 'dat', inside 'data', is not named
  EXPECT_EQ(define("mixed", "'ctrl','dat'"), 0);
  EXPECT_EQ(LinkNumber("mixed"), "15");
  // A refused list changes nothing.
  EXPECT_EQ(define("mixed", "'nothing'"), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(LinkNumber("mixed"), "15");
  // 'none' (exactly) makes it simple: the prime after the three simple ones.
  EXPECT_EQ(define("mixed", "NONE"), -1);
  EXPECT_EQ(LinkNumber("mixed"), "15");
  EXPECT_EQ(define("mixed", "none"), 0);
  EXPECT_EQ(LinkNumber("mixed"), "7");
  EXPECT_EQ(define("nosuch", "none"), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
}

TEST_F(TypeUpdateTest, CompositeListsReadQuotedNamesAsTheInsertsDo) {
  testdb::exec("insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
               "(3, 'mixed', 1), (4, 'it''s', 5), (5, 'x,y', 7)");
  const struct {
    const char* list;
    const char* number;  // after the row; a refused row keeps the one before
  } cases[] = {
      {"'it''s','ctrl'", "15"},  // a doubled quote is one
      {"'x,y','it''s'", "35"},   // a comma inside quotes
      {"ctrl,it's,data", "30"},  // bare names, as the inserts read them
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UpdateMultipleCompositeLinkTypes("mixed", c.list, 1, 1, err_), 0) << Err();
    EXPECT_EQ(LinkNumber("mixed"), c.number) << c.list;
  }
}

TEST_F(TypeUpdateTest, CompositeListsNamingAnythingButNumberedTypesChangeNothing) {
  testdb::exec("insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
               "(3, 'mixed', 6), (4, 'KP1', 5), (5, 'unnumbered', null), (6, 'it''s', 7)");
  const char* const refused[] = {
      "'KP1','nosuch'",         // an unknown name after a known one
      "'nosuch'",               // unknown names only: the number was cleared
      "data, ctrl",             // " ctrl"
      "ctrl;it's",              // one name, unknown: ';' separates nothing
      "data,,ctrl",             // an empty name
      "",                       // likewise
      "'data','unnumbered'",    // a type without a number
      "'ctrl'",                 // one simple type: its prime would have two holders
      "'it''s','it''s'",        // the same, named twice
      "it''s",                  // not between quotes: two quotes
  };
  for (const char* list : refused) {
    EXPECT_EQ(UpdateMultipleCompositeLinkTypes("mixed", list, 1, 1, err_), -1) << list;
    EXPECT_EQ(Err(), "ERROR in UpdateMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
    EXPECT_EQ(LinkNumber("mixed"), "6") << list;
  }
  EXPECT_EQ(UpdateMultipleCompositeLinkTypes("mixed", nullptr, 1, 1, err_), -1);
  EXPECT_EQ(LinkNumber("mixed"), "6");
  // The other rows of the send are committed.
  EXPECT_EQ(UpdateMultipleCompositeLinkTypes("mixed", "'KP1','nosuch'", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleCompositeLinkTypes("unnumbered", "data,KP1", 0, 1, err_), -1);
  EXPECT_EQ(LinkNumber("mixed"), "6");
  EXPECT_EQ(LinkNumber("unnumbered"), "10");
  // A list naming the type itself is refused: it keeps its number.
  EXPECT_EQ(UpdateMultipleCompositeLinkTypes("KP1", "KP1", 1, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(LinkNumber("KP1"), "5");
}

TEST_F(TypeUpdateTest, CompositeNumbersNeverNameTheTypeItselfNorAnotherTypesNumber) {
  testdb::exec("insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
               "(3, 'LA', 6), (4, 'T6', 13), (5, 'LB', 15)");
  // Each send would multiply LA's own number by 13 once more.
  for (int send = 1; send <= 3; ++send) {
    EXPECT_EQ(UpdateMultipleCompositeLinkTypes("LA", "LA,T6", 1, 1, err_), -1) << send;
    EXPECT_EQ(Err(), "ERROR in UpdateMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
    EXPECT_EQ(LinkNumber("LA"), "6") << send;
  }
  const struct {
    const char* type;
    const char* list;
  } held[] = {
      {"T6", "data,ctrl"},  // LA's number
      {"T6", "LA"},         // LA named alone
      {"LB", "LA,ctrl"},    // LA's again, ctrl's prime given once
      {"T6", "data"},       // data's prime
  };
  for (const auto& h : held) {
    EXPECT_EQ(UpdateMultipleCompositeLinkTypes(h.type, h.list, 1, 1, err_), -1) << h.list;
    EXPECT_EQ(Err(), "ERROR in UpdateMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  }
  // A type given its own parts again keeps its number; parts that share a
  // prime give it once.
  EXPECT_EQ(UpdateMultipleCompositeLinkTypes("LA", "ctrl,data", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleCompositeLinkTypes("LB", "LA,T6,ctrl", 0, 1, err_), 0) << Err();
  EXPECT_EQ(Column("select link_name || '=' || link_nbr from vexa_link_types order by 1"),
            (std::vector<std::string>{"LA=6", "LB=78", "T6=13", "ctrl=3", "data=2"}));
}

TEST_F(TypeUpdateTest, MakingATypeSimpleWithNoPrimeLeftChangesNothing) {
  testdb::exec("insert into vexa_link_types (linktypeID, link_name, link_nbr) "
               "select -prime_nb_position, 'p' || prime_nb_position, prime_nb "
               "from vexa_prime_number where prime_nb_position > 2; "
               "insert into vexa_link_types (linktypeID, link_name, link_nbr) "
               "values (3, 'mixed', 6)");
  EXPECT_EQ(UpdateMultipleCompositeLinkTypes("mixed", "none", 1, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(LinkNumber("mixed"), "6");
}
