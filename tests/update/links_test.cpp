// Link updates: which link a row finds, what it writes, and which server
// refresh follows a send.
#include "update_fixture.h"

class LinkUpdateTest : public UpdateTest {};

TEST_F(LinkUpdateTest, ARowFindsItsLinkByEitherEndWithPortTypesNoneByDefault) {
  // From end: node_to "none" in any case; the untyped port of sw1 is found
  // with a null, empty or one-character type.
  EXPECT_EQ(UpdateMultipleBidirectionalLinks("sw1", "NoNe", "1", nullptr, nullptr, nullptr, 1, 1,
                                             0, err_), 0);
  EXPECT_EQ(UpdateMultipleBidirectionalLinks("sw1", nullptr, "1", nullptr, "", nullptr, 0, 0, 0,
                                             err_), 0);
  EXPECT_EQ(Quiet([&] {
              return UpdateMultipleBidirectionalLinks("sw1", "none", "1", nullptr, "x", nullptr,
                                                      1, 0, 1, err_);
            }), 0) << Err();
  EXPECT_EQ(LinkFrom("sw1", "bidirectional_link_used"), "1");
  // To end, and a typed from port.
  EXPECT_EQ(UpdateMultipleLkUsedLinks(nullptr, "sw3", nullptr, "1", nullptr, nullptr, 0, 1, 0,
                                      err_), 0);
  EXPECT_EQ(Quiet([&] {
              return UpdateMultipleLkUsedLinks("sw1", "none", "1", nullptr, "none", nullptr, 7, 0,
                                               1, err_);
            }), 0) << Err();
  EXPECT_EQ(LinkFrom("sw2", "lkused"), "0");
  EXPECT_EQ(LinkFrom("sw1", "lkused"), "7");
  EXPECT_EQ(UpdateMultipleLkInfoLinks("sw2", "none", "2", nullptr, "eth", nullptr, nullptr, 1, 1,
                                      err_), 0) << Err();
  EXPECT_EQ(LinkFrom("sw2", "link_info"), "<null>");
}

TEST_F(LinkUpdateTest, RowsThatFindNoLinkAreReportedAndTheOthersCommitted) {
  auto info = [&](const char* from, const char* to, const char* type_from, int first, int last) {
    return UpdateMultipleLkInfoLinks(from, to, "2", "1", type_from, nullptr, "new", first, last,
                                     err_);
  };
  info("sw2", "none", "eth", 1, 0);
  info("sw2", "sw3", "eth", 0, 0);    // both ends named: changes nothing
  info("sw2", "none", "fibre", 0, 0);  // no such port
  EXPECT_EQ(info("ghost", "none", nullptr, 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleLkInfoLinks : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(LinkFrom("sw2", "link_info"), "new");

  EXPECT_EQ(UpdateMultipleBidirectionalLinks("ghost", "none", "1", "1", nullptr, nullptr, 1, 1, 1,
                                             err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleBidirectionalLinks : COULDNOT_INSERT_ALL_ROWS");
  // A partial send is refreshed like a complete one, even with nothing to refresh.
  EXPECT_EQ(Calls("checkandupdatedynamictables"), (std::vector<std::string>{"1"}));
}

TEST_F(LinkUpdateTest, LinkTypeNamesBecomeTypeIds) {
  auto type = [&](const char* from, const char* to, const char* type_from, const char* name) {
    return Quiet([&] {
      return UpdateMultipleLkTypeLinks(from, to, from ? "1" : "2", "1", type_from, nullptr, name,
                                       1, 1, err_);
    });
  };
  EXPECT_EQ(type("sw1", "none", nullptr, "ctrl"), 0) << Err();
  EXPECT_EQ(LinkFrom("sw1", "link_type"), "2");
  // An unknown name: -1 by the from end, NULL by the to end; still done.
  EXPECT_EQ(type("sw1", "none", nullptr, "nosuch"), 0);
  EXPECT_EQ(LinkFrom("sw1", "link_type"), "-1");
  EXPECT_EQ(type(nullptr, "sw3", nullptr, "nosuch"), 0);
  EXPECT_EQ(LinkFrom("sw2", "link_type"), "<null>");
}

TEST_F(LinkUpdateTest, CompleteSendsRefreshTheServersPathData) {
  auto row = [&](auto update, auto value) {
    return Quiet([&] {
      return update("sw1", "none", "1", nullptr, nullptr, nullptr, value, 1, 1, err_);
    });
  };
  EXPECT_EQ(row(UpdateMultipleBidirectionalLinks, 1), 0) << Err();
  EXPECT_EQ(row(UpdateMultipleLkTypeLinks, "ctrl"), 0) << Err();
  EXPECT_EQ(row(UpdateMultipleLkInfoLinks, "i"), 0) << Err();
  EXPECT_EQ(Calls("checkandupdatedynamictables"), (std::vector<std::string>{"1", "1"}));
  EXPECT_TRUE(Calls("updatepathused").empty());

  EXPECT_EQ(row(UpdateMultipleLkUsedLinks, 0), 0) << Err();
  EXPECT_EQ(Calls("updatepathused"), (std::vector<std::string>{"1"}));
  EXPECT_EQ(LinkFrom("sw1", "lkused"), "0");

  // Usage and its path refresh are committed together, or not at all.
  ServerSpy::Answer("updatepathused", "fails");
  EXPECT_NE(row(UpdateMultipleLkUsedLinks, 1), 0);
  EXPECT_EQ(Err().rfind("ERROR in UpdateMultipleLkUsedLinks : ", 0), 0u) << Err();
  EXPECT_EQ(LinkFrom("sw1", "lkused"), "0");
}
