// Routes that enter a node from a non-node (a step of weight 2) end there.
// A device first reached by such a route must still be passed by a longer
// route that may go on, and within one round the route that goes on is the
// one kept: otherwise the devices behind it are missed, or reached by a
// longer route through another output port. Each network is checked after
// a build and after a refresh that makes its weight-2 step usable.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "network_fixture.h"

namespace {

using testnet::Device;
using testnet::Port;

class RouteRules : public NetworkTest {
 protected:
  // A one-way link between two new ports: port way 2 on the from device,
  // way 1 on the to device; weights follow the node flags (testnet::Link).
  static void Step(int linkid, int from_port, int to_port) {
    const int from_dev = from_port / 100, to_dev = to_port / 100;
    Port(from_port, from_dev, "o" + std::to_string(from_port), 2,
         "10." + std::to_string(from_dev) + ".0." + std::to_string(from_port % 100));
    Port(to_port, to_dev, "i" + std::to_string(to_port), 1,
         "10." + std::to_string(to_dev) + ".1." + std::to_string(to_port % 100));
    testnet::Link(linkid, from_port, to_port, /*bidirectional=*/0);
  }

  // Builds the routing and destination tables of start, committed.
  void build(const char* start) {
    ASSERT_EQ(CreateRoutingTable(start, 0, err_), 0) << err_;
    ASSERT_EQ(CreateDestinationTable(start, 10, err_), 0) << err_;
    commit_library();
  }
  static void refresh() { EXPECT_EQ(one("select routingtable_pck.updatepathused(1)"), "0"); }

  // dest:pfromid0:ptoid1:routingpathused of every routing-table row of start.
  static std::vector<std::string> routes_of(int start) {
    return testdb::column(
        "select nodeid_end1 || ':' || pfromid0 || ':' || ptoid1 || ':' || routingpathused "
        "from vexa_routingtable where nodeid_start0 = " + std::to_string(start) +
        " order by nodeid_end1, pfromid0");
  }
  // The devices of every listed route of start to dest, "a>b>c".
  static std::vector<std::string> paths_to(int start, int dest) {
    return testdb::column(
        "select concat_ws('>', node1, node2, node3, node4, node5, node6, node7, node8, node9, "
        "node10) from vexa_pdetails where node1 = " + std::to_string(start) +
        " and node11 = " + std::to_string(dest) + " order by 1");
  }
};

// S -> H -> P and S -> A -> B -> P, then P -> Q. H is no node and P is one,
// so the step H -> P reads weight 2 and the 2-step route over H ends at P;
// A and B are nodes, so the 3-step route over them goes on to Q.
TEST_F(RouteRules, ADeviceFirstReachedByARouteThatEndsIsPassedByALongerOne) {
  Device(1, "S", 0);
  Device(3, "H", 0);
  Device(5, "A", 1);
  Device(7, "B", 1);
  Device(9, "P", 1);
  Device(11, "Q", 0);
  Step(1, 102, 301);   // S -> H
  Step(3, 104, 501);   // S -> A
  Step(4, 502, 701);   // A -> B
  Step(5, 702, 903);   // B -> P
  Step(6, 904, 1101);  // P -> Q
  Step(2, 302, 901);   // H -> P, weight 2
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 2");
  build("S");
  const std::vector<std::string> without_h_to_p{"3:102:301:1", "5:104:501:1", "7:104:701:1",
                                                "9:104:903:1", "11:104:1101:1"};
  ASSERT_EQ(routes_of(1), without_h_to_p);

  // H -> P in use: P is reached in 2 steps over H, where the route ends;
  // Q is still reached, over A, B and P.
  const std::vector<std::string> with_h_to_p{"3:102:301:1", "5:104:501:1", "7:104:701:1",
                                             "9:102:901:1", "11:104:1101:1"};
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 1 where linkid = 2");
  refresh();
  EXPECT_EQ(routes_of(1), with_h_to_p);
  EXPECT_EQ(paths_to(1, 11), std::vector<std::string>{"1>5>7>9>11"});
  EXPECT_EQ(paths_to(1, 9), std::vector<std::string>{"1>3>9"});
  build("S");
  EXPECT_EQ(routes_of(1), with_h_to_p);
  EXPECT_EQ(paths_to(1, 11), std::vector<std::string>{"1>5>7>9>11"});

  // The library's read lists Q too.
  std::vector<std::vector<char>> lists(6, std::vector<char>(1000));
  int lens[6] = {1000, 1000, 1000, 1000, 1000, 1000};
  ASSERT_EQ(LoadRoutingtable("1", &lens[0], lists[0].data(), &lens[1], lists[1].data(),
                             &lens[2], lists[2].data(), &lens[3], lists[3].data(), &lens[4],
                             lists[4].data(), &lens[5], lists[5].data(), err_),
            0)
      << err_;
  std::vector<std::string> names;
  for (const char* at = lists[0].data(); at < lists[0].data() + lens[0]; at += std::strlen(at) + 1)
    names.push_back(at);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "H", "P", "Q"}));
}

// S -> A, then A -> C -> P and A -> B -> P: two 3-step routes to P with the
// same first step. C is no node, so the one over C ends at P; the one over
// B goes on to Q, though its last link has the higher number.
TEST_F(RouteRules, OfTwoEquallyShortRoutesWithOneFirstStepTheOneThatGoesOnIsKept) {
  Device(1, "S", 0);
  Device(5, "A", 1);
  Device(13, "C", 0);
  Device(7, "B", 1);
  Device(9, "P", 1);
  Device(11, "Q", 0);
  Step(1, 104, 501);   // S -> A
  Step(2, 502, 1301);  // A -> C
  Step(4, 504, 701);   // A -> B
  Step(5, 702, 903);   // B -> P
  Step(6, 904, 1101);  // P -> Q
  Step(3, 1302, 901);  // C -> P, weight 2
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 3");
  build("S");
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 1 where linkid = 3");
  refresh();
  const std::vector<std::string> expected{"5:104:501:1", "7:104:701:1", "9:104:903:1",
                                          "11:104:1101:1", "13:104:1301:1"};
  EXPECT_EQ(routes_of(1), expected);
  EXPECT_EQ(paths_to(1, 11), std::vector<std::string>{"1>5>7>9>11"});
  build("S");
  EXPECT_EQ(routes_of(1), expected);
  EXPECT_EQ(paths_to(1, 9), std::vector<std::string>{"1>5>7>9"});
}

// S -> X -> H -> P and S -> X -> Y -> P, then P -> Q; and a 5-step way
// S -> Z -> W -> V -> U -> Q. The route over H ends at P (weight 2), the
// one over Y goes on: Q is 4 steps away through the port towards X.
TEST_F(RouteRules, TheRouteThatGoesOnKeepsTheShortestWayBehindIt) {
  Device(1, "S", 0);
  Device(15, "X", 1);
  Device(3, "H", 0);
  Device(17, "Y", 1);
  Device(9, "P", 1);
  Device(11, "Q", 0);
  Device(19, "Z", 0);
  Device(21, "W", 0);
  Device(23, "V", 0);
  Device(25, "U", 0);
  Step(1, 102, 1501);   // S -> X
  Step(2, 1502, 301);   // X -> H
  Step(3, 302, 901);    // H -> P, weight 2
  Step(4, 1504, 1701);  // X -> Y
  Step(5, 1702, 903);   // Y -> P
  Step(6, 904, 1101);   // P -> Q
  Step(7, 104, 1901);   // S -> Z
  Step(8, 1902, 2101);  // Z -> W
  Step(9, 2102, 2301);  // W -> V
  Step(10, 2302, 2501); // V -> U
  Step(11, 2502, 1103); // U -> Q
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 3");
  build("S");
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 1 where linkid = 3");
  refresh();
  const std::string q_routes =
      "select string_agg(pfromid0 || ':' || ptoid1, ',') from vexa_routingtable "
      "where nodeid_start0 = 1 and nodeid_end1 = 11";
  EXPECT_EQ(one(q_routes), "102:1101");
  EXPECT_EQ(paths_to(1, 11), std::vector<std::string>{"1>15>17>9>11"});
  build("S");
  EXPECT_EQ(one(q_routes), "102:1101");
  EXPECT_EQ(paths_to(1, 11), std::vector<std::string>{"1>15>17>9>11"});
}

// S -> A -> B, and links from a port of S to another of its ports (one-way
// and both ways), and from A to itself: no route returns to a device, so
// the tables are those of S -> A -> B alone, after a build as after a
// refresh that puts the links to use.
TEST_F(RouteRules, LinksFromADeviceToItselfAddNoRoute) {
  Device(1, "S", 0);
  Device(5, "A", 0);
  Device(7, "B", 0);
  Step(3, 104, 501);  // S -> A
  Step(4, 502, 701);  // A -> B
  Step(1, 102, 101);  // S -> S
  testnet::Port(106, 1, "o106", 2, "10.1.0.6");
  testnet::Port(105, 1, "i105", 1, "10.1.1.5");
  testnet::Link(2, 106, 105, /*bidirectional=*/1);  // S <-> S
  Step(5, 504, 503);  // A -> A
  const std::vector<std::string> expected{"5:104:501:1", "7:104:701:1"};
  build("S");
  EXPECT_EQ(routes_of(1), expected);
  EXPECT_EQ(paths_to(1, 7), std::vector<std::string>{"1>5>7"});
  EXPECT_EQ(one("select count(*) from vexa_destinationtable where nodeid_start0 = 1"), "2");

  testdb::exec("update vexa_macroscopic_connectivity set lkused = 0 where linkid in (1, 2, 5)");
  build("S");
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 1 where linkid in (1, 2, 5)");
  refresh();
  EXPECT_EQ(routes_of(1), expected);
  EXPECT_EQ(paths_to(1, 7), std::vector<std::string>{"1>5>7"});
  EXPECT_EQ(paths_to(1, 1), std::vector<std::string>{});
}

}  // namespace
