// Routing and destination tables of a small network with known routes:
// which route is in use, what a refresh changes after a link stops being
// used or is deleted, where a route may not pass, the two reads with
// their length rules, and the destinations listed per output port.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "network_fixture.h"

namespace {

using testnet::Device;
using testnet::Link;
using testnet::Port;

// h1 reaches s1 and s2 over one link each, and h2 through either switch;
// s3 hangs behind h2, a node, so routes from h1 cannot pass h2 to reach it.
//
//        L1 +-- s1 --+ L3
//   h1 -----+        +----- h2 --L5-- s3
//        L2 +-- s2 --+ L4
class RoutingTables : public NetworkTest {
 protected:
  void SetUp() override {
    NetworkTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    testnet::TwoSwitches();
    Device(109, "s3", 0);
    Port(1018, 107, "o1", 2, "10.0.4.1");
    Port(1020, 109, "in1", 1, "10.0.4.254");
    Link(5, 1018, 1020);
  }

  // The builds leave their work in the library's open transaction.
  int build(const char* device) {
    int rc = CreateRoutingTable(device, 0, err_);
    commit_library();
    return rc;
  }
  // dest:pfromid0:routingpathused of every row of a start, sorted.
  static std::vector<std::string> rows_of(int start) {
    return testdb::column(
        "select nodeid_end1 || ':' || pfromid0 || ':' || routingpathused from vexa_routingtable "
        "where nodeid_start0 = " + std::to_string(start) + " order by 1");
  }
  static void refresh() { EXPECT_EQ(one("select routingtable_pck.updatepathused(1)"), "0"); }
};

TEST_F(RoutingTables, EachDestinationHasItsShortestRoutesAndOneInUse) {
  ASSERT_EQ(build("h1"), 0) << err_;
  EXPECT_STREQ(err_, "NO_ERROR in CreateRoutingTable");
  EXPECT_EQ(rows_of(101), (std::vector<std::string>{"103:1002:1", "105:1004:1", "107:1002:1",
                                                      "107:1004:0"}));
  // The route in use to h2 crosses s1: output port in1, s1's port across,
  // h2's port in1.
  EXPECT_EQ(one("select ptoid0 || '/' || ptoid1 from vexa_routingtable where nodeid_start0 = 101 "
                "and nodeid_end1 = 107 and routingpathused = 1"),
            "1006/1014");
}

TEST_F(RoutingTables, ARouteDoesNotPassANodeItEnteredFromTheSecondLinkOn) {
  ASSERT_EQ(build("h1"), 0) << err_;
  EXPECT_EQ(one("select count(*) from vexa_routingtable where nodeid_start0 = 101 "
                "and nodeid_end1 = 109"),
            "0");
  // From s1 the first link enters h2, so the route may pass it to s3; s2 is
  // reached through h1 and through h2, equally short.
  ASSERT_EQ(build("s1"), 0) << err_;
  EXPECT_EQ(rows_of(103), (std::vector<std::string>{"101:1006:1", "105:1006:1", "105:1008:0",
                                                      "107:1008:1", "109:1008:1"}));
}

TEST_F(RoutingTables, RoundTripCountBoundsTheLinksOfARoute) {
  ASSERT_EQ(CreateRoutingTable("h1", 1, err_), 0) << err_;
  commit_library();
  EXPECT_EQ(one("select string_agg(nodeid_end1::text, ',' order by nodeid_end1) from "
                "vexa_routingtable where nodeid_start0 = 101"),
            "103,105");
}

TEST_F(RoutingTables, RefreshFollowsALinkThatStopsAndStartsBeingUsed) {
  ASSERT_EQ(build("h1"), 0) << err_;
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 1");
  refresh();
  // s1 is not reached any more (h2, a node entered from s2, lets no route
  // pass); h2 is reached through s2 only.
  EXPECT_EQ(rows_of(101), (std::vector<std::string>{"105:1004:1", "107:1004:1"}));
  // Used again: the routes over it come back, the one in use to h2 with them.
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 1 where linkid = 1");
  EXPECT_EQ(one("select pathqueries_pck.CheckAndUpdateDynamicTables(1)"), "ROUTES_REFRESHED: 2");
  EXPECT_EQ(rows_of(101), (std::vector<std::string>{"103:1002:1", "105:1004:1", "107:1002:1",
                                                      "107:1004:0"}));
  EXPECT_EQ(one("select pathqueries_pck.CheckAndUpdateDynamicTables(1)"), "NOTHING_TO_UPDATE");
}

TEST_F(RoutingTables, RefreshFollowsADirectionThatIsNoLongerAllowed) {
  ASSERT_EQ(build("h1"), 0) << err_;
  // h1 walks L2 backwards; a one-way L2 leaves h1 without s2.
  testdb::exec("update vexa_macroscopic_connectivity set bidirectional_link_used = 0 "
               "where linkid = 2");
  refresh();
  EXPECT_EQ(rows_of(101), (std::vector<std::string>{"103:1002:1", "107:1002:1"}));
}

TEST_F(RoutingTables, RefreshAddsTheRoutesOfANewLink) {
  ASSERT_EQ(build("h1"), 0) << err_;
  ASSERT_EQ(build("s3"), 0) << err_;
  // A new link from s1 to s3: h1 reaches s3 over s1, and s3 reaches s1 in
  // one step and h1 in two instead of three (over h2, which s3 enters
  // first and so may pass).
  Port(1022, 103, "o3", 2, "");
  Port(1024, 109, "in2", 1, "");
  Link(6, 1022, 1024);
  EXPECT_EQ(one("select pathqueries_pck.CheckAndUpdateDynamicTables(1)"), "ROUTES_REFRESHED: 3");
  EXPECT_EQ(rows_of(101), (std::vector<std::string>{"103:1002:1", "105:1004:1", "107:1002:1",
                                                      "107:1004:0", "109:1002:1"}));
  EXPECT_EQ(rows_of(109), (std::vector<std::string>{"101:1024:1", "103:1024:1", "105:1020:1",
                                                      "107:1020:1"}));
}

TEST_F(RoutingTables, DeletedLinkTakesItsRoutesAlong) {
  ASSERT_EQ(build("h1"), 0) << err_;
  ASSERT_EQ(CreateDestinationTable("h1", 10, err_), 0) << err_;
  commit_library();
  testdb::exec("delete from vexa_macroscopic_connectivity where linkid = 3");
  EXPECT_EQ(one("select routingtable_pck.deleteLinksInPaths(1008, 1014)"), "0");
  EXPECT_EQ(rows_of(101), (std::vector<std::string>{"103:1002:1", "105:1004:1", "107:1004:1"}));
  // The destination table and the path details lose the route too.
  EXPECT_EQ(one("select string_agg(nodeid_end1 || ':' || pfromid0, ',' order by 1) from "
                "vexa_destinationtable where nodeid_start0 = 101"),
            "103:1002,105:1004,107:1004");
  EXPECT_EQ(one("select count(*) from vexa_pdetails where node1 = 101 and node11 = 107"), "1");
  EXPECT_EQ(one("select routingtable_pck.deleteLinksInPaths(NULL, 1014)"), "-1");
}

TEST_F(RoutingTables, DestinationTableHoldsThePathsBehindEachPort) {
  ASSERT_EQ(CreateDestinationTable("h1", 10, err_), 0) << err_;
  commit_library();
  EXPECT_EQ(one("select string_agg(node1 || '>' || node2 || '>' || coalesce(node3::text, '-') "
                "|| '>' || node11, ',' order by node2, node11) from vexa_pdetails"),
            "101>103>->103,101>103>107>107,101>105>->105,101>105>107>107");
}

TEST_F(RoutingTables, LoadRoutingtableGivesTheRoutesInUseAsParallelLists) {
  // Values longer than 20 and 15 bytes come back whole.
  const std::string long_ip = "10.0.0.254.with.a.long.suffix";
  const std::string long_mac = "00:11:22:33:44:55:66:77:88";
  testdb::exec("update vexa_ipinfo set ipaddress = '" + long_ip + "' where ipaddress = '10.0.0.254'");
  testdb::exec("update vexa_hwport_properties set macaddress = '" + long_mac +
               "' where macaddress = 'mac-h1-in1'");
  ASSERT_EQ(build("h1"), 0) << err_;

  std::vector<std::vector<char>> lists(6, std::vector<char>(1000));
  int lens[6] = {1000, 1000, 1000, 1000, 1000, 1000};
  ASSERT_EQ(LoadRoutingtable("101", &lens[0], lists[0].data(), &lens[1], lists[1].data(),
                             &lens[2], lists[2].data(), &lens[3], lists[3].data(), &lens[4],
                             lists[4].data(), &lens[5], lists[5].data(), err_),
            0)
      << err_;
  EXPECT_STREQ(err_, "NO_ERROR in LoadRoutingtable");
  // Route i = item i of every list.
  std::set<std::string> routes;
  std::vector<const char*> at(6);
  for (int l = 0; l < 6; ++l) at[l] = lists[l].data();
  for (int i = 0; i < 3; ++i) {
    std::string route;
    for (int l = 0; l < 6; ++l) {
      route += std::string(at[l]) + ";";
      at[l] += std::strlen(at[l]) + 1;
    }
    routes.insert(route);
  }
  for (int l = 0; l < 6; ++l) EXPECT_EQ(at[l] - lists[l].data(), lens[l]) << l;
  const std::string h1in1 = "in1|none|1;" + long_ip + ";subnet_of_10.0.0.254;";
  EXPECT_EQ(routes, (std::set<std::string>{
                        "s1;" + long_ip + ";" + h1in1 + long_mac + ";",
                        "h2;10.0.2.1;" + h1in1 + long_mac + ";",
                        "s2;10.0.1.254;in2|none|1;10.0.1.254;subnet_of_10.0.1.254;mac-h1-in2;"}));
}

TEST_F(RoutingTables, LoadRoutingtableNeedsMoreThanEachTotal) {
  ASSERT_EQ(build("h1"), 0) << err_;
  std::vector<std::vector<char>> lists(6, std::vector<char>(1000, 'x'));
  int lens[6] = {1000, 1000, 1000, 1000, 1000, 1000};
  auto load = [&] {
    return LoadRoutingtable("101", &lens[0], lists[0].data(), &lens[1], lists[1].data(),
                            &lens[2], lists[2].data(), &lens[3], lists[3].data(), &lens[4],
                            lists[4].data(), &lens[5], lists[5].data(), err_);
  };
  ASSERT_EQ(load(), 0) << err_;
  const int names_total = lens[0];
  // A capacity equal to the total is too small; only that list is withheld.
  lens[0] = names_total;
  lists[0].assign(1000, 'x');
  EXPECT_EQ(load(), -1);
  EXPECT_STREQ(err_, "ERROR in LoadRoutingtable : BUFFER_TOO_SMALL");
  EXPECT_EQ(lens[0], names_total + 1);
  EXPECT_EQ(lists[0][0], 'x');
  EXPECT_EQ(load(), 0) << err_;
  EXPECT_EQ(lens[0], names_total);
  int zero = 0;
  EXPECT_EQ(LoadRoutingtable("101", &zero, lists[0].data(), &lens[1], lists[1].data(), &lens[2],
                             lists[2].data(), &lens[3], lists[3].data(), &lens[4],
                             lists[4].data(), &lens[5], lists[5].data(), err_),
            -1);
  EXPECT_EQ(zero, names_total + 1);
}

TEST_F(RoutingTables, LoadRoutingtableWithoutARouteInUse) {
  ASSERT_EQ(build("h1"), 0) << err_;
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 0 where linkid in (1, 2)");
  refresh();
  commit_library();
  std::vector<char> buf(100, 'x');
  int lens[6] = {100, 100, 100, 100, 100, 100};
  for (const char* start : {"101", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(LoadRoutingtable(start, &lens[0], buf.data(), &lens[1], buf.data(), &lens[2],
                               buf.data(), &lens[3], buf.data(), &lens[4], buf.data(), &lens[5],
                               buf.data(), err_),
              -1);
    EXPECT_STREQ(err_, "ERROR in LoadRoutingtable : NO_ROWS_SELECTED");
  }
  EXPECT_EQ(buf[0], 'x');
}

TEST_F(RoutingTables, GetPortPerSubsystemListsTheOutputPortsTowardsASubsystem) {
  testdb::exec("update vexa_lg_devices set system_name = 3 where devicename = 's2'");
  ASSERT_EQ(CreateDestinationTable("h1", 10, err_), 0) << err_;
  char list[100];
  int len = sizeof list;
  ASSERT_EQ(GetPortPerSubsystem("h1", "TFC", &len, list, err_), 0) << err_;
  EXPECT_EQ(std::string(list, len), std::string("in2|none|1\0", 11));
  len = sizeof list;
  ASSERT_EQ(GetPortPerSubsystem("h1", "DAQ", &len, list, err_), 0) << err_;
  EXPECT_EQ(std::string(list, len), std::string("in1|none|1\0in2|none|1\0", 22));
  EXPECT_STREQ(err_, "NO_ERROR in GetPortPerSubsystem");

  // A capacity equal to the total is too small: total + last item + 1.
  len = 22;
  EXPECT_EQ(GetPortPerSubsystem("h1", "DAQ", &len, list, err_), -1);
  EXPECT_EQ(len, 22 + 10 + 1);
  EXPECT_STREQ(list, "BUFFER_TOO_SMALL");
  EXPECT_STREQ(err_, "ERROR in GetPortPerSubsystem : BUFEER_TOO_SMALL");
  // The word is written only where it fits.
  std::memset(list, 'x', sizeof list);
  len = 5;
  EXPECT_EQ(GetPortPerSubsystem("h1", "DAQ", &len, list, err_), -1);
  EXPECT_EQ(list[0], 'x');
  len = -3;
  EXPECT_EQ(GetPortPerSubsystem("h1", "DAQ", &len, list, err_), -1);
  EXPECT_EQ(list[0], 'x');
}

TEST_F(RoutingTables, GetPortPerSubsystemRefusalsAndEmptyAnswers) {
  char list[100] = "untouched";
  int len = sizeof list;
  EXPECT_EQ(GetPortPerSubsystem("h1", "DAQ,TFC", &len, list, err_), -1);
  EXPECT_STREQ(err_, "ERROR in GetPortPerSubsystem : One subsystem name should be given");
  EXPECT_EQ(GetPortPerSubsystem("h1", "NOPE", &len, list, err_), -1);
  EXPECT_STREQ(err_, "ERROR in GetPortPerSubsystem : Invalid subsystem name");
  for (const char* device : {"h1", "nobody", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(GetPortPerSubsystem(device, "DAQ", &len, list, err_), 0);
    EXPECT_STREQ(err_, "ERROR in GetPortPerSubsystem : NO_ROWS_SELECTED");
  }
  EXPECT_STREQ(list, "untouched");
  EXPECT_EQ(len, 100);
}

// S reaches M out of its ports 1 and 2 (links 11 and 12), and D behind M
// (link 13); X reaches S's input port 1 over a bidirectional link (14),
// which S walks backwards, so that S's input port 1 leads to X.
//
//   S 1 --L11--> M --L13--> D
//   S 2 --L12--> M
//   S in 1 <--L14-- X
// A port lists the destinations of the routes that leave through it, as
// GetPortPerSubsystem reads the destination table: a port whose link is
// not used lists none, even where another link leads to the same device.
class PortDestinations : public NetworkTest {
 protected:
  void SetUp() override {
    NetworkTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Device(121, "S", 0);
    Device(123, "M", 0);
    Device(125, "D", 0);
    Device(127, "X", 0);
    Port(1210, 121, "1", 2, "");
    Port(1212, 121, "2", 2, "");
    Port(1214, 121, "1", 1, "");
    Port(1230, 123, "1", 1, "");
    Port(1232, 123, "2", 1, "");
    Port(1234, 123, "3", 2, "");
    Port(1250, 125, "1", 1, "");
    Port(1270, 127, "1", 2, "");
    Link(11, 1210, 1230, 0);
    Link(12, 1212, 1232, 0);
    Link(13, 1234, 1250, 0);
    Link(14, 1270, 1214, 1);
  }

  void build() {
    ASSERT_EQ(CreateDestinationTable("S", 10, err_), 0) << err_;
    commit_library();
  }
  // The destinations listed for S's output port, sorted, or
  // "NO_ROWS_SELECTED".
  std::vector<std::string> destinations(const char* port_nbr) {
    std::vector<char> list(200, 'x');
    int len = static_cast<int>(list.size());
    const int rc = Quiet([&] {
      return GetDestinationNamePerDevPort("S", port_nbr, "none", &len, list.data(), err_);
    });
    EXPECT_EQ(rc, 0) << err_;
    if (std::strcmp(err_, "ERROR in GetDestinationNamePerDevPort : NO_ROWS_SELECTED") == 0)
      return {list.data()};
    return items(list.data(), len);
  }
  // S's ports towards DAQ (every device), sorted.
  std::vector<std::string> ports() {
    std::vector<char> list(200);
    int len = static_cast<int>(list.size());
    EXPECT_EQ(Quiet([&] { return GetPortPerSubsystem("S", "DAQ", &len, list.data(), err_); }), 0)
        << err_;
    return items(list.data(), len);
  }
  static std::vector<std::string> items(const char* list, int len) {
    std::vector<std::string> out;
    for (const char* at = list; at < list + len; at += std::strlen(at) + 1) out.emplace_back(at);
    std::sort(out.begin(), out.end());
    return out;
  }
  // Sends one row of UpdateMultipleLkUsedLinks for S's output port.
  void use_link_of(const char* port_nbr, int lkused) {
    ASSERT_EQ(Quiet([&] {
                return UpdateMultipleLkUsedLinks("S", "none", port_nbr, nullptr, nullptr, nullptr,
                                                 lkused, 1, 1, err_);
              }),
              0)
        << err_;
  }

  using Names = std::vector<std::string>;
  const Names kNone{"NO_ROWS_SELECTED"};
};

TEST_F(PortDestinations, APortListsOnlyWhatItsUsedLinksReach) {
  build();
  EXPECT_EQ(destinations("1"), (Names{"D", "M"}));
  EXPECT_EQ(destinations("2"), (Names{"D", "M"}));
  // X lies behind the input port 1, which no call of the output ports names.
  EXPECT_EQ(ports(), (Names{"1|none|1", "1|none|2", "2|none|2"}));

  // Link 12 not used: port 2 reaches nothing, although port 1 reaches M.
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 0 where linkid = 12");
  build();
  EXPECT_EQ(destinations("1"), (Names{"D", "M"}));
  EXPECT_EQ(destinations("2"), kNone);
  EXPECT_EQ(ports(), (Names{"1|none|1", "1|none|2"}));
}

TEST_F(PortDestinations, APortListsWhatTheRefreshLeavesAfterALinkUpdate) {
  build();
  use_link_of("2", 0);
  EXPECT_EQ(destinations("2"), kNone);
  EXPECT_EQ(destinations("1"), (Names{"D", "M"}));
  EXPECT_EQ(ports(), (Names{"1|none|1", "1|none|2"}));
  use_link_of("1", 0);
  EXPECT_EQ(destinations("1"), kNone);
  EXPECT_EQ(ports(), (Names{"1|none|1"}));
  use_link_of("2", 1);
  EXPECT_EQ(destinations("2"), (Names{"D", "M"}));
  EXPECT_EQ(destinations("1"), kNone);
  EXPECT_EQ(ports(), (Names{"1|none|1", "2|none|2"}));
}

// A bidirectional link that arrives at an output port leaves through it
// when walked backwards: the port lists what lies behind it, as
// GetPortPerSubsystem lists the port.
TEST_F(PortDestinations, ABidirectionalLinkIntoAnOutputPortLeavesThroughIt) {
  Port(1216, 121, "3", 2, "");
  Port(1252, 125, "2", 2, "");
  Link(15, 1252, 1216, 1);
  build();
  EXPECT_EQ(destinations("3"), (Names{"D"}));
  EXPECT_EQ(destinations("1"), (Names{"M"}));
  EXPECT_EQ(ports(), (Names{"1|none|1", "1|none|2", "2|none|2", "3|none|2"}));
}

// A read that the database refused answers with the database's reason,
// as LoadRoutingtable does for the same failure, although the commit that
// follows the failure succeeds before ErrMess is written.
class RoutingTablesRefused : public RoutingTables {
 protected:
  void TearDown() override {
    RoutingTables::TearDown();
    testdb::reset();  // brings dropped tables back for the next tests
  }
  // The reason of LoadRoutingtable's answer for the start dfrom.
  std::string routes_reason(const char* dfrom) {
    std::vector<char> buf(100);
    int lens[6] = {100, 100, 100, 100, 100, 100};
    Quiet([&] {
      return LoadRoutingtable(dfrom, &lens[0], buf.data(), &lens[1], buf.data(), &lens[2],
                              buf.data(), &lens[3], buf.data(), &lens[4], buf.data(), &lens[5],
                              buf.data(), err_);
    });
    const std::string prefix = "ERROR in LoadRoutingtable : ";
    EXPECT_EQ(std::string(err_).substr(0, prefix.size()), prefix);
    return std::string(err_).substr(std::min(prefix.size(), std::strlen(err_)));
  }
  int ports(const char* devicename, char* list, int* len) {
    return Quiet([&] { return GetPortPerSubsystem(devicename, "DAQ", len, list, err_); });
  }
};

TEST_F(RoutingTablesRefused, GetPortPerSubsystemKeepsTheDatabasesReason) {
  char list[100] = "untouched";
  int len = sizeof list;
  // A name that is not valid UTF-8.
  const std::string not_utf8 = routes_reason("\xff\xfe");
  EXPECT_EQ(not_utf8.rfind("invalid byte sequence", 0), 0u) << not_utf8;
  EXPECT_EQ(ports("\xff\xfe", list, &len), 20000);
  EXPECT_EQ(std::string(err_), "ERROR in GetPortPerSubsystem : " + not_utf8);

  // The destination table dropped.
  ASSERT_EQ(Quiet([&] { return DropTableSchema(err_); }), 0) << err_;
  EXPECT_EQ(ports("h1", list, &len), 942);
  EXPECT_STREQ(err_,
               "ERROR in GetPortPerSubsystem : relation \"vexa_destinationtable\" does not exist");
  EXPECT_EQ(routes_reason("101"), "relation \"vexa_routingtable\" does not exist");
  EXPECT_STREQ(list, "untouched");
  EXPECT_EQ(len, 100);
}

}  // namespace
