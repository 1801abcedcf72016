// Paths between devices on small hand-made networks with known answers.
#include <string>
#include <vector>

#include "path_fixture.h"

namespace {

using RouteList = std::vector<std::string>;

class PathSearch : public PathTest {};

TEST_F(PathSearch, LineGivesEachLinkWithDevicesPortsWaysAndInfo) {
  Device("A", 1);
  Device("B", 2);
  Device("C", 3);
  Device("D", 4);
  Link(1, "A", "B", LinkOptions().info("a to b?c"));
  Link(2, "B", "C");
  Link(3, "C", "D");

  std::vector<PathEntry> e;
  ASSERT_EQ(Paths("A", "D", 0, &e), 0) << err_;
  EXPECT_STREQ(err_, "NO_ERROR in GetDetailedConnBetweenDeviceDevType");
  ASSERT_EQ(e.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(e[i].pathid, 0);
    EXPECT_EQ(e[i].link_pos, i + 1);
    EXPECT_EQ(e[i].way_a, 2) << "walked in its stored direction";
    EXPECT_EQ(e[i].way_b, 1);
  }
  EXPECT_EQ(e[0].nfrom, "A");
  EXPECT_EQ(e[0].nto, "B");
  EXPECT_EQ(e[0].pfrom, "o1|none");
  EXPECT_EQ(e[0].pto, "i1|t");
  EXPECT_EQ(e[0].lkinfo, "a to b?c") << "a text is kept whole, its '?' too";
  EXPECT_EQ(e[1].lkinfo, "none");
  EXPECT_EQ(e[2].nto, "D");

  // Two devices joined by one link: one path of one entry.
  ASSERT_EQ(Paths("A", "B", 0, &e), 0) << err_;
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].link_pos, 1);

  // One-way links are walked only in their stored direction.
  EXPECT_EQ(Paths("C", "A"), -1);
  EXPECT_STREQ(err_, "ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED");
}

TEST_F(PathSearch, BidirectionalRingWalkedBothWaysNeverRevisitsADevice) {
  Device("A", 1);
  Device("B", 2);
  Device("C", 3);
  Device("D", 4);
  const LinkOptions both = LinkOptions().bidirectional();
  Link(1, "A", "B", both);
  Link(2, "B", "C", both);
  Link(3, "C", "D", both);
  Link(4, "D", "A", both);

  // Cache order is by cache linkid, so the reversed link -4 (A to D) leaves
  // A before link 1 (A to B).
  std::vector<PathEntry> e;
  ASSERT_EQ(Paths("A", "C", 0, &e), 0) << err_;
  EXPECT_EQ(RoutesOf(e), (RouteList{"A>D>C", "A>B>C"}));

  // Link 4 runs from D to A: walked from A it is reversed, so its near end
  // is its stored to end.
  EXPECT_EQ(e[0].nfrom, "A");
  EXPECT_EQ(e[0].nto, "D");
  EXPECT_EQ(e[0].pfrom, "i4|t");
  EXPECT_EQ(e[0].pto, "o4|none");
  EXPECT_EQ(e[0].way_a, 1);
  EXPECT_EQ(e[0].way_b, 2);
  EXPECT_EQ(e[2].way_a, 2) << "link 1 walked forward";

  EXPECT_EQ(Routes("A", "A"), (RouteList{"ERROR in GetDetailedConnBetweenDeviceDevType : "
                                      "NO_ROWS_SELECTED"}))
      << "a path never comes back to its source";
}

// Links from one port of the source to another of its own ports, one-way
// and both ways: a path that began with one would visit the source twice.
TEST_F(PathSearch, ALinkFromTheSourceToItselfBeginsNoPath) {
  Device("A", 1);
  Device("B", 2);
  Device("C", 3, 2, true);
  Link(1, "A", "A");
  Link(2, "A", "A", LinkOptions().bidirectional());
  Link(5, "A", "A", LinkOptions().weight(2));
  Link(3, "A", "B");
  Link(4, "B", "C", LinkOptions().weight(2));
  const RouteList none{"ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED"};

  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>B>C"}));
  EXPECT_EQ(Routes("A", "HOST", 1), (RouteList{"A>B>C"}));
  // The source is never the end of its own paths, a type it belongs to
  // included.
  EXPECT_EQ(Routes("A", "A"), none);
  EXPECT_EQ(Routes("A", "SWITCH", 1), (RouteList{"A>B"}));

  // The export that gives only the from-ports: those of the one path.
  std::vector<char> out(1000);
  int len = static_cast<int>(out.size());
  ASSERT_EQ(Quietly([&] {
              return GetConnOutBetweenDeviceDeviceType("A", "C", 0, &len, out.data(), err_);
            }), 0) << err_;
  EXPECT_EQ(Unpack(out.data(), len), (RouteList{"o3|none", "o4|none"}));
}

TEST_F(PathSearch, PathsOfEqualLengthComeInCacheOrderShortestFirst) {
  Device("A", 1);
  Device("B", 2);
  Device("C", 3);
  Device("D", 4);
  Device("E", 5);
  Link(5, "A", "B");
  Link(2, "A", "C");
  Link(3, "B", "D");
  Link(4, "C", "D");
  Link(1, "A", "E");
  Link(6, "E", "B");

  // The same database gives the same order every time: by linkid of the
  // link leaving each device, never by insertion order.
  const RouteList expected{"A>C>D", "A>B>D", "A>E>B>D"};
  EXPECT_EQ(Routes("A", "D"), expected);
  EXPECT_EQ(Routes("A", "D"), expected);

  std::vector<PathEntry> e;
  ASSERT_EQ(Paths("A", "D", 0, &e), 0);
  ASSERT_EQ(e.size(), 7u);
  EXPECT_EQ(e[2].pathid, 1);
  EXPECT_EQ(e[4].pathid, 2);
  EXPECT_EQ(e[6].link_pos, 3);
}

TEST_F(PathSearch, WeightTwoEndsAPartialPathExceptOnItsFirstLink) {
  Device("A", 1);
  Device("B", 2);
  Device("C", 3);
  Device("H", 4);
  Link(1, "A", "B", LinkOptions().weight(2));  // first link: stays open
  Link(2, "B", "H", LinkOptions().weight(2));  // later link into a device that is not the target: dead
  Link(3, "H", "C");
  Link(4, "B", "C", LinkOptions().weight(2));  // into the target: complete

  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>B>C"}));
  EXPECT_EQ(Routes("A", "H"), (RouteList{"A>B>H"}));
}

TEST_F(PathSearch, NamesMatchByTheirBeginning) {
  Device("src", 1);
  Device("sw10", 2);
  Device("sw1", 3);
  Device("dst", 4);
  Link(1, "sw10", "dst");
  Link(2, "src", "sw10");
  Link(3, "sw1", "src");

  EXPECT_EQ(Routes("src", "sw1"), (RouteList{"src>sw10"})) << "sw10 begins with sw1";
  // The device named exactly sw1 is the source, although link 1 leaves
  // sw10 first in cache order.
  EXPECT_EQ(Routes("sw1", "dst"), (RouteList{"sw1>src>sw10>dst"}));
  // The links are those related to the subsystems of the device named
  // exactly dfrom: a name that is only the beginning of others loads none.
  EXPECT_EQ(Paths("sw", "dst"), -1);
  EXPECT_STREQ(err_,
               "ERROR in GetDetailedConnBetweenDeviceDevType : ERROR in "
               "LoadConnectivityTable_InCache : NO_ROWS_SELECTED");
}

TEST_F(PathSearch, APathEndsAtTheFirstDeviceWhoseNameBeginsWithTheTarget) {
  Device("A", 1);
  Device("sw1", 2);
  Device("sw10", 3);
  Link(1, "A", "sw1");
  Link(2, "sw1", "sw10");

  EXPECT_EQ(Routes("A", "sw1"), (RouteList{"A>sw1"}));
  EXPECT_EQ(Routes("A", "sw10"), (RouteList{"A>sw1>sw10"}));
}

// sw1 and sw10 each with a link leaving them; the reversed row of link 1
// (sw10 to h) comes first in cache order.
TEST_F(PathSearch, EverySearchStartsAtTheDeviceOfExactlyTheNameGiven) {
  Device("sw10", 1);
  Device("sw1", 2);
  Device("h", 3, 2, true);
  Device("sw", 4);
  Link(1, "h", "sw10", LinkOptions().bidirectional());
  Link(2, "sw1", "h");
  Link(3, "sw10", "sw1");
  Link(4, "sw1", "sw");  // nothing leaves sw

  EXPECT_EQ(Routes("sw1", "h"), (RouteList{"sw1>h"}));
  EXPECT_EQ(Routes("sw10", "h"), (RouteList{"sw10>h", "sw10>sw1>h"}));
  EXPECT_EQ(Routes("sw1", "SWITCH", 1), (RouteList{"sw1>sw", "sw1>h>sw10"}));
  // A device of exactly that name with no link leaving it is a source
  // without links, whatever the devices whose names begin with it have.
  EXPECT_EQ(Paths("sw", "h"), -1);
  EXPECT_STREQ(err_, "ERROR in GetDetailedConnBetweenDeviceDevType : Not existent device");

  // The other three exports.
  const int room = 1000;
  std::vector<char> nfrom(room), nto(room), pfrom(room), pto(room), lkinfo(room);
  std::vector<int> way_a(room), way_b(room), pathid(room), link_pos(room);
  int n = room, ln = room, lp = room, lnt = room, lpt = room, li = room;
  ASSERT_EQ(Quietly([&] {
              return GetConnectivityBetweenDevices("sw1", "h", &n, &lp, &ln, &lpt, &lnt, &li,
                                                   nfrom.data(), nto.data(), pfrom.data(),
                                                   way_a.data(), pto.data(), way_b.data(),
                                                   pathid.data(), link_pos.data(),
                                                   lkinfo.data(), err_);
            }), 0) << err_;
  EXPECT_EQ(Unpack(nfrom.data(), ln), (RouteList{"sw1"}));
  n = ln = lp = lnt = lpt = li = room;
  ASSERT_EQ(Quietly([&] {
              return GetDetailedConnectivityBetweenDevices(
                  "sw1", "h", nfrom.data(), &n, &ln, &lp, &lnt, &lpt, &li, pfrom.data(),
                  pto.data(), way_a.data(), way_b.data(), nto.data(), pathid.data(),
                  link_pos.data(), lkinfo.data(), err_);
            }), 0) << err_;
  EXPECT_EQ(Unpack(nfrom.data(), ln), (RouteList{"sw1"}));
  int len = room;
  ASSERT_EQ(Quietly([&] {
              return GetConnOutBetweenDeviceDeviceType("sw1", "SWITCH", 1, &len, pfrom.data(),
                                                       err_);
            }), 0) << err_;
  EXPECT_EQ(Unpack(pfrom.data(), len), (RouteList{"o4|none", "o2|none", "o1|none"}));
}

TEST_F(PathSearch, OnlyLinksSharingASubsystemWithTheSourceAreWalked) {
  Device("A", 1, 2);
  Device("B", 2, 6);
  Device("C", 3, 3);
  Device("D", 4, 10);
  Link(1, "A", "B", LinkOptions().subsystems(2));
  Link(2, "B", "C", LinkOptions().subsystems(3));
  Link(3, "B", "D", LinkOptions().subsystems(10));  // a multiple of A's set: taken
  Link(4, "C", "D", LinkOptions().subsystems(3));

  EXPECT_EQ(Routes("A", "C"),
            (RouteList{"ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED"}));
  EXPECT_EQ(Routes("A", "D"), (RouteList{"A>B>D"}));
  // From B (set 6), link 3 (set 10) neither divides nor is divided by 6.
  EXPECT_EQ(Routes("B", "D"), (RouteList{"B>C>D"}));
}

// The target's subsystems load nothing: link 2 shares C's, not A's.
TEST_F(PathSearch, TheLinksWalkedAreThoseOfTheSourcesSubsystemsNotTheTargets) {
  Device("A", 1, 6);   // TFC and DAQ
  Device("B", 2, 10);  // ECS and DAQ
  Device("C", 3, 10);
  Link(1, "A", "B", LinkOptions().subsystems(2));
  Link(2, "B", "C", LinkOptions().subsystems(10));

  EXPECT_EQ(Routes("A", "C"),
            (RouteList{"ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED"}));
  EXPECT_EQ(Routes("A", "B"), (RouteList{"A>B"}));
  EXPECT_EQ(Routes("B", "C"), (RouteList{"B>C"}));

  // The whole-table load of DAQ lists both links.
  std::vector<int> ints(6 * 10);
  std::vector<char> texts(3 * 100);
  int rows = 10, lp = 100, lt = 100, li = 100;
  ASSERT_EQ(Quietly([&] {
              return LoadConnectivityTable("DAQ", &rows, &ints[0], &ints[10], &ints[20], &lp,
                                           &lt, &texts[0], &texts[100], &ints[30], &ints[40],
                                           &ints[50], &texts[200], &li, err_);
            }), 0) << err_;
  EXPECT_EQ(rows, 2);
}

// As the library writes link weights, a link from a device that is not a
// node into a node has weight 2 (a node to one that is not, 1).
TEST_F(PathSearch, APathThatEntersANodeFromADeviceThatIsNotOneEndsThere) {
  Device("A", 1);
  Device("B", 2);
  Device("C", 3);
  Device("H", 4, 2, true);
  Device("N", 5, 2, true);
  testdb::exec("insert into vexa_link_types(linktypeID, link_name, link_nbr) values (7,'data',2)");
  int port = 0;
  auto link = [&](const char* from, const char* to) {
    const std::string out = std::to_string(++port), in = std::to_string(++port);
    testdb::exec("insert into vexa_port_properties(portid, deviceid, port_nbr, port_way) "
                 "select " + out + ", deviceid, 'o" + out + "', 2 from vexa_lg_devices "
                 "where devicename='" + from + "';"
                 "insert into vexa_port_properties(portid, deviceid, port_nbr, port_way) "
                 "select " + in + ", deviceid, 'i" + in + "', 1 from vexa_lg_devices "
                 "where devicename='" + to + "'");
    ASSERT_EQ(Quietly([&] {
                return InsertMacroLink(from, to, ("o" + out).c_str(), ("i" + in).c_str(),
                                       nullptr, nullptr, "data", nullptr, 0, 1, err_);
              }), 0) << err_;
  };
  link("A", "B");
  link("B", "H");
  link("H", "C");
  link("A", "N");  // the first link of a path may enter a node
  link("N", "C");

  EXPECT_EQ(Routes("A", "C"), (RouteList{"A>N>C"}));
  EXPECT_EQ(Routes("A", "H"), (RouteList{"A>B>H"})) << "unless the node is the target";
  EXPECT_EQ(Routes("B", "C"), (RouteList{"B>H>C"}));
}

TEST_F(PathSearch, PathsOfElevenLinksAreReturnedEvenWithLongerOnesStillOpen) {
  // N0 ... N11 is 11 links long; N0, M1 ... M12 goes on past the limit, so
  // the search stops with partial paths still open.
  for (int i = 0; i <= 12; ++i) Device("N" + std::to_string(i), 100 + i);
  for (int i = 1; i <= 12; ++i) Device("M" + std::to_string(i), 200 + i);
  for (int i = 0; i < 12; ++i)
    Link(100 + i, "N" + std::to_string(i), "N" + std::to_string(i + 1));
  Link(200, "N0", "M1");
  for (int i = 1; i < 12; ++i)
    Link(200 + i, "M" + std::to_string(i), "M" + std::to_string(i + 1));

  std::vector<PathEntry> e;
  ASSERT_EQ(Paths("N0", "N11", 0, &e), 0) << err_;
  EXPECT_EQ(e.size(), 11u);
  EXPECT_EQ(e.back().link_pos, 11);
  EXPECT_EQ(e.back().nto, "N11");

  EXPECT_EQ(Paths("N0", "N12"), -1) << "12 links is beyond the limit";
  EXPECT_STREQ(err_, "ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED");
}

TEST_F(PathSearch, ToADeviceTypeEndsAtEveryDeviceOfTheType) {
  Device("A", 1);
  Device("B", 2);
  Device("H1", 3, 2, true);
  Device("H2", 4, 2, true);
  Device("H3", 5, 2, true);
  Link(1, "A", "B");
  Link(3, "B", "H2", LinkOptions().weight(2));
  Link(2, "B", "H1", LinkOptions().weight(2));
  Link(4, "H1", "H3");

  EXPECT_EQ(Routes("A", "HOST", 1), (RouteList{"A>B>H1", "A>B>H2"}))
      << "a path ends at the first device of the type";
  EXPECT_EQ(Routes("A", "B", 1),
            (RouteList{"ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED"}))
      << "B is no type";
  EXPECT_EQ(Routes("A", "EMPTYTYPE", 1),
            (RouteList{"ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED"}));
  EXPECT_EQ(Paths("A", nullptr, 1), -1);
  EXPECT_STREQ(err_, "ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED");
}

TEST_F(PathSearch, MissingDevicesAreNotFound) {
  Device("A", 1);
  Device("B", 2);
  Device("lonely", 3);
  Link(1, "A", "B");

  // No device of that name: the load finds nothing for it. The loader's
  // whole text is the reason.
  EXPECT_EQ(Paths("nobody", "B"), -1);
  EXPECT_STREQ(err_,
               "ERROR in GetDetailedConnBetweenDeviceDevType : ERROR in "
               "LoadConnectivityTable_InCache : NO_ROWS_SELECTED");
  EXPECT_EQ(Paths(nullptr, "B"), -1);
  EXPECT_STREQ(err_,
               "ERROR in GetDetailedConnBetweenDeviceDevType : ERROR in "
               "LoadConnectivityTable_InCache : NO_ROWS_SELECTED");

  // A device whose subsystem has links, but none leaving it.
  EXPECT_EQ(Paths("lonely", "B"), -1);
  EXPECT_STREQ(err_, "ERROR in GetDetailedConnBetweenDeviceDevType : Not existent device");

  EXPECT_EQ(Paths("A", nullptr), -1);
  EXPECT_STREQ(err_, "ERROR in GetDetailedConnBetweenDeviceDevType : NO_ROWS_SELECTED");
}

}  // namespace
