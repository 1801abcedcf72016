// Links inside boards and link types: which ends a micro link joins and its
// weight, and the numbers the database gives simple and composite types.
#include "insert_fixture.h"

class LinkInsertsTest : public InsertTest {
 protected:
  static std::string Value(const std::string& sql) { return testdb::value(sql); }
  // Primes by position, as vexa_prime_number holds them.
  static std::string Prime(int position) {
    return Value("select prime_nb from vexa_prime_number where prime_nb_position = " +
                 std::to_string(position));
  }
  static std::string Number(const char* link_name) {
    return Value(std::string("select coalesce(link_nbr::text, 'null') from vexa_link_types "
                             "where link_name = '") + link_name + "'");
  }
  int Simple(const char* name, int first, int last) {
    return InsertMultipleSimpleLinkTypes(name, first, last, err_);
  }
  int Composite(const char* name, const char* list, int first, int last) {
    return InsertMultipleCompositeLinkTypes(name, list, first, last, err_);
  }
};

class MicroLinksTest : public LinkInsertsTest {
 protected:
  // Two boards, each with a port, and components: c1 and c2 on board b1,
  // c3 on board b2. The link type "wire".
  void SetUp() override {
    LinkInsertsTest::SetUp();
    AddDevice("b1", "DAQ");
    AddDevice("b2", "DAQ");
    AddPort("b1", "p", 1);
    AddPort("b2", "p", 1);
    ASSERT_EQ(InsertSimpleLinkType("wire", 0, err_), 0) << Err();
    int first = 1;
    for (const auto& [name, board] : {std::pair{"c1", "b1"}, {"c2", "b1"}, {"c3", "b2"}}) {
      ASSERT_EQ(Quiet([&, n = name, b = board] {
                  return InsertMultipleBoardCpnts(n, "asic", 0, b, (std::string("SN") + n).c_str(),
                                                  nullptr, nullptr, nullptr, nullptr, first,
                                                  n == std::string("c3"), err_);
                }),
                0)
          << Err();
      first = 0;
    }
  }
  static int BoardPort(const char* board) {
    return std::stoi(Value(std::string("select portid from vexa_port_properties p join "
                                       "vexa_lg_devices d using (deviceid) where devicename = '") +
                           board + "'"));
  }
  int Link(const char* from, const char* to, int port_from, int port_to, int first, int last,
           const char* type = "wire") {
    return InsertMultipleMicroLinks(from, to, port_from, port_to, type, 1, first, last, err_);
  }
  static std::vector<std::string> Links() {
    return Column("select concat_ws('|', coalesce(f.cpntname, '?'), m.portidfrom, "
                  "coalesce(t.cpntname, '?'), m.portidto, m.link_weight, m.lkused, "
                  "m.bidirectional_link_used, m.link_type = k.linktypeid) "
                  "from vexa_microscopic_connectivity m "
                  "left join vexa_lg_cpnts f on f.cpntid = m.cpntidfrom "
                  "left join vexa_lg_cpnts t on t.cpntid = m.cpntidto "
                  "join vexa_link_types k on k.link_name = 'wire' order by m.linkid");
  }
};

TEST_F(MicroLinksTest, EndsAndWeightsFollowTheMotherboardName) {
  const int b1 = BoardPort("b1");
  const std::string p = std::to_string(b1);
  EXPECT_EQ(Link("motherboard", "c1", b1, 5, 1, 0), 0);
  EXPECT_EQ(Link("c2", "motherboard", 6, b1, 0, 0), 0);
  EXPECT_EQ(Link("c1", "c2", 7, 8, 0, 1), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertMultipleMicroLinks");
  EXPECT_EQ(Links(), (std::vector<std::string>{"motherboard|" + p + "|c1|5|1|1|1|t",
                                               "c2|6|motherboard|" + p + "|2|1|1|t",
                                               "c1|7|c2|8|0|1|1|t"}));
  EXPECT_EQ(Value("select concat_ws('|', author, terminal_name, created is not null) "
                  "from vexa_microscopic_connectivity limit 1"),
            Me().substr(Me().find('|') + 1) + "|t");
}

TEST_F(MicroLinksTest, EndsOnAnotherBoardOrUnknownAreLeftOut) {
  const int b1 = BoardPort("b1"), b2 = BoardPort("b2");
  EXPECT_EQ(Link("c1", "c2", 1, 2, 1, 0), 0);
  EXPECT_EQ(Link("c1", "c3", 1, 2, 0, 0), 0);              // two boards
  EXPECT_EQ(Link("motherboard", "c1", b2, 2, 0, 0), 0);    // port of the other board
  EXPECT_EQ(Link("c3", "motherboard", 1, b1, 0, 0), 0);    // likewise
  EXPECT_EQ(Link("motherboard", "motherboard", b1, b1, 0, 0), 0);
  EXPECT_EQ(Link("MOTHERBOARD", "c1", b1, 2, 0, 0), 0);    // an ordinary, unknown name
  EXPECT_EQ(Link("c1", "c2", 3, 4, 0, 0, nullptr), 0);     // no link type
  EXPECT_EQ(Link("c2", "c1", 5, 6, 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleMicroLinks : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Links(), (std::vector<std::string>{"c1|1|c2|2|0|1|1|t", "c2|5|c1|6|0|1|1|t"}));
}

TEST_F(LinkInsertsTest, SimpleTypesTakeConsecutivePrimesAndCompositesTheProduct) {
  EXPECT_EQ(Simple("a", 1, 0), 0);
  EXPECT_EQ(Simple("b", 0, 0), 0);
  EXPECT_EQ(Simple("c", 0, 1), 0) << Err();
  EXPECT_EQ(Number("a") + Number("b") + Number("c"), Prime(1) + Prime(2) + Prime(3));
  EXPECT_EQ(Value("select concat_ws('|', author, user_update, terminal_name) from "
                  "vexa_link_types where link_name = 'a'"),
            Me());

  ASSERT_EQ(InsertCompositeLinkType("ab", "a,b", 0, err_), 0) << Err();
  EXPECT_EQ(Number("ab"), "6");
  // A composite uses up a position: the next simple type skips its prime.
  ASSERT_EQ(InsertSimpleLinkType("d", 0, err_), 0) << Err();
  EXPECT_EQ(Number("d"), Prime(5));
  // A composite part contributes its own number; a name twice counts once;
  // a blank after a comma makes the item another name, which is not a link
  // type: that row stores nothing, the others are committed.
  EXPECT_EQ(Composite("abc", "ab,c,c", 1, 0), 0);
  EXPECT_EQ(Composite("ad", "a, d", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Number("abc"), "30");
  EXPECT_EQ(Count("vexa_link_types", "link_name = 'ad'"), 0);
}

TEST_F(LinkInsertsTest, CompositeListsMayQuoteTheirNamesAndUnknownNamesStoreNothing) {
  Simple("x", 1, 0);
  Simple("y", 0, 0);
  Simple("z", 0, 1);
  EXPECT_EQ(Composite("q1", "'x','y'", 1, 0), 0);
  EXPECT_EQ(Composite("q2", "x,'z'", 0, 0), 0);
  EXPECT_EQ(Composite("u1", "x,nosuch", 0, 0), 0);
  EXPECT_EQ(Composite("u2", "nosuch", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Number("q1"), "6");
  EXPECT_EQ(Number("q2"), "10");
  EXPECT_EQ(Count("vexa_link_types", "link_name in ('u1', 'u2')"), 0);

  // There is nothing to find afterwards.
  char row[200];
  int len = sizeof row;
  EXPECT_EQ(Quiet([&] { return GetLkTypeRow_lkname("u2", &len, row, err_); }), 0);
  EXPECT_EQ(Err(), "ERROR in GetLkTypeRow_lkname : NO_ROWS_SELECTED");
}

TEST_F(LinkInsertsTest, QuotedNamesReadADoubledQuoteAsOneAndMayHoldCommas) {
  Simple("a", 1, 0);      // 2
  Simple("it's", 0, 0);   // 3
  Simple("data2", 0, 0);  // 5
  Simple("x,y", 0, 1);    // 7
  ASSERT_EQ(InsertCompositeLinkType("C1", "'it''s','data2'", 1, err_), 0) << Err();
  EXPECT_EQ(Composite("C2", "'x,y','it''s'", 1, 0), 0);
  EXPECT_EQ(Composite("C3", "a,'it''s',data2,'a'", 0, 0), 0);  // mixed, a once
  EXPECT_EQ(Composite("C4", "it's,a", 0, 0), 0);               // bare, as it is
  EXPECT_EQ(Composite("C5", "x,y", 0, 1), -1);                // two bare names, unknown
  EXPECT_EQ(Number("C1"), "15");
  EXPECT_EQ(Number("C2"), "21");
  EXPECT_EQ(Number("C3"), "30");
  EXPECT_EQ(Number("C4"), "6");
  EXPECT_EQ(Count("vexa_link_types", "link_name = 'C5'"), 0);
}

TEST_F(LinkInsertsTest, SingleRowsRefuseMissingTextsAndNoPrimeLeftInsertsNothing) {
  EXPECT_EQ(InsertSimpleLinkType(nullptr, 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertSimpleLinkType : Link name can't be null");
  EXPECT_EQ(InsertCompositeLinkType(nullptr, nullptr, 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertCompositeLinkType : Link name can't be null");
  EXPECT_EQ(InsertCompositeLinkType("ab", nullptr, 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertCompositeLinkType : simple_lk_list can't be null");
  // The cached forms send a null name on: the database refuses it.
  EXPECT_EQ(Quiet([&] { return Simple(nullptr, 1, 1); }), 1400);
  EXPECT_EQ(Count("vexa_link_types"), 0);

  // Every prime given out: the next simple type finds none.
  testdb::exec("insert into vexa_link_types(linktypeID, link_name, link_nbr) "
               "select -prime_nb_position, 'full' || prime_nb_position, prime_nb "
               "from vexa_prime_number");
  EXPECT_EQ(InsertSimpleLinkType("late", 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertSimpleLinkType : COULDNOT_INSERT_THIS_ROW");
  EXPECT_EQ(Simple("late", 1, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleSimpleLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Count("vexa_link_types", "link_name = 'late'"), 0);
}
