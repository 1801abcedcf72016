// The texts of the links on the paths found: read after the search with the
// version of the rows, or with the rows when that version cannot be
// checked; kept with the copy; never mixed from two versions.
#include <string>
#include <vector>

#include "path_fixture.h"
#include "paths/connectivity_cache.h"

namespace {

using ferrule::ConnectivityCache;
using ferrule::ConnectivityLoadCount;
using Texts = std::vector<std::string>;

// A text as an SQL literal, null for NULL.
std::string Literal(const char* text) {
  if (!text) return "null";
  std::string quoted = "'";
  for (const char* c = text; *c; ++c) quoted += *c == '\'' ? std::string("''") : std::string(1, *c);
  return quoted + "'";
}

class LinkTexts : public PathTest {
 protected:
  void TearDown() override {
    ferrule::ForgetKeptConnectivity();
    PathTest::TearDown();
  }

  // Link id from device `from` to device `to` (ids), with the port texts
  // and link_info given (null for NULL); its ports get ids 2*id-1, 2*id.
  static void TextLink(int id, int from, int to, const char* nbr_from, const char* type_from,
                       const char* nbr_to, const char* type_to, const char* info,
                       int bidirectional = 0) {
    const std::string i = std::to_string(id);
    testdb::exec(
        "insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type) values"
        " (" + std::to_string(2 * id - 1) + "," + std::to_string(from) + "," + Literal(nbr_from) +
        ",2," + Literal(type_from) + "), (" + std::to_string(2 * id) + "," + std::to_string(to) +
        "," + Literal(nbr_to) + ",1," + Literal(type_to) + ");"
        "insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type, "
        "bidirectional_link_used, link_weight, lkused, link_info, system_name) values (" + i +
        "," + std::to_string(2 * id - 1) + "," + std::to_string(2 * id) + ",1," +
        std::to_string(bidirectional) + ",0,1," + Literal(info) + ",2)");
  }

  // Each entry as "nfrom pfrom > nto pto [lkinfo] way_a way_b".
  Texts Entries(const char* from, const char* to) {
    std::vector<PathEntry> entries;
    if (Paths(from, to, 0, &entries) != 0) return {err_};
    Texts out;
    for (const PathEntry& e : entries)
      out.push_back(e.nfrom + " " + e.pfrom + " > " + e.nto + " " + e.pto + " [" + e.lkinfo +
                    "] " + std::to_string(e.way_a) + " " + std::to_string(e.way_b));
    return out;
  }

  // The cache rows of a load by the device named from, kept or loaded.
  std::vector<int> LoadRows(const char* from) {
    std::vector<int> columns[7];
    for (auto& c : columns) c.resize(100);
    int count = 100;
    const int rc = Quietly([&] {
      return ferrule::LoadConnectivityTable_InCache(
          "ALL", from, "none", 0, &count, columns[0].data(), columns[1].data(),
          columns[2].data(), columns[3].data(), columns[4].data(), columns[5].data(),
          columns[6].data(), err_);
    });
    EXPECT_EQ(rc, 0) << err_;
    std::vector<int> rows;
    for (int r = 0; r < (rc == 0 ? count : 0); ++r) rows.push_back(r);
    return rows;
  }

  // Whether the texts of the stored link of each row are known.
  static std::vector<bool> Known() {
    std::vector<bool> known;
    const ferrule::Connectivity* cache = ConnectivityCache();
    if (!cache) return known;
    for (int r = 0; r < cache->rows.size(); ++r)
      known.push_back(cache->texts.known(cache->rows.stored[r]));
    return known;
  }
};

TEST_F(LinkTexts, TextsThatArraysQuoteComeBackAsStoredWhetherReadAfterOrWithTheRows) {
  Device("A,1", 1);
  Device("B \"q\"", 2);
  Device("C{x}", 3);
  Device("NULL", 4);
  TextLink(1, 1, 2, "o,1", nullptr, "\"i\"", "t{}", "NULL");
  TextLink(2, 2, 3, nullptr, "a b", "x\\y", "", "");
  TextLink(3, 3, 4, "{p}", "NULL", "q", nullptr, "c,d \"e\"", 1);

  const Texts forward = {
      "A,1 o,1|none > B \"q\" \"i\"|t{} [NULL] 2 1",
      "B \"q\" |a b > C{x} x\\y|none [none] 2 1",
      "C{x} {p}|NULL > NULL q|none [c,d \"e\"] 2 1"};
  const Texts backward = {"NULL q|none > C{x} {p}|NULL [c,d \"e\"] 1 2"};
  EXPECT_EQ(Entries("A,1", "NULL"), forward);
  EXPECT_EQ(Entries("NULL", "C{x}"), backward);

  // Without a version the texts read later could not be checked against
  // the rows: each query loads again with every text.
  testdb::exec("delete from vexa_connectivity_version");
  const long before = ConnectivityLoadCount();
  EXPECT_EQ(Entries("A,1", "NULL"), forward);
  EXPECT_EQ(Entries("NULL", "C{x}"), backward);
  EXPECT_EQ(ConnectivityLoadCount() - before, 4);
}

TEST_F(LinkTexts, OnlyTheLinksOfThePathsFoundAreReadAndTheCopyKeepsThem) {
  Chain(LinkOptions(), LinkOptions().info("second"));

  const long before = ConnectivityLoadCount();
  std::vector<int> rows = LoadRows("A");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(Known(), (std::vector<bool>{false, false}));
  bool stale = true;
  ASSERT_EQ(ferrule::ReadTextsOfRows({0}, stale, err_), 0) << err_;
  EXPECT_FALSE(stale);
  EXPECT_EQ(Known(), (std::vector<bool>{true, false}));
  EXPECT_EQ(ConnectivityCache()->texts.from(ConnectivityCache()->rows.stored[0]), "o1|none");
  ferrule::ReleaseConnectivityCache();

  // The next query answers from the same copy and reads only what it lacks.
  rows = LoadRows("A");
  EXPECT_EQ(Known(), (std::vector<bool>{true, false}));
  ferrule::ReleaseConnectivityCache();
  EXPECT_EQ(Entries("B", "C"), (Texts{"B o2|none > C i2|t [second] 2 1"}));
  LoadRows("A");
  EXPECT_EQ(Known(), (std::vector<bool>{true, true}));
  ferrule::ReleaseConnectivityCache();
  EXPECT_EQ(ConnectivityLoadCount() - before, 1);
}

TEST_F(LinkTexts, TextsChangedAfterTheLoadAreNeverGivenWithItsRows) {
  Device("A", 1);
  Device("B", 2);
  Link(1, "A", "B");

  LoadRows("A");
  testdb::exec("update vexa_port_properties set port_nbr = 'renamed' where portid = 1");
  bool stale = false;
  ASSERT_EQ(ferrule::ReadTextsOfRows({0}, stale, err_), 0) << err_;
  EXPECT_TRUE(stale);
  EXPECT_EQ(Known(), (std::vector<bool>{false})) << "nothing of the newer version is taken";
  ferrule::ReleaseConnectivityCache();

  EXPECT_EQ(Entries("A", "B"), (Texts{"A renamed|none > B i1|t [none] 2 1"}));
}

}  // namespace
