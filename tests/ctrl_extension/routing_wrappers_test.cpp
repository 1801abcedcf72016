// The wrappers of the server's tables against the private database: the
// schema and table builders, the ports towards a subsystem, the routing
// table as six lists in step, and the paths inside a board, with their
// failure elements and the second call that larger answers need.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "network_rows.h"
#include "plugin_db_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class RoutingWrappers : public PluginDbTest {
 protected:
  // h1 reaches s1 and s2 over one link each, and h2 through s1 or s2; s2
  // belongs to TFC only.
  static void Network() { testnet::TwoSwitches(/*s2_systems=*/3); }

  // The board of network_rows.h, with c1 also straight to out.
  static void Board() {
    testnet::Board();
    testnet::BoardShortcut();
  }

  // The outputs of a path query inside a board.
  struct MicroOutputs {
    DynVar nfrom{kTextVariable}, nto{kTextVariable};
    DynVar pathid{kIntegerVariable}, link_pos{kIntegerVariable};
    TextVar last_from{"before"}, last_to{"before"}, err;
    // "pathid.link_pos:nfrom>nto" per element index.
    Texts Rows() {
      const Texts f = Elements(&nfrom), t = Elements(&nto), p = Elements(&pathid),
                  l = Elements(&link_pos);
      Texts rows;
      for (std::size_t i = 0; i < f.size(); ++i) {
        rows.push_back(p.at(i) + "." + l.at(i) + ":" + f[i] + ">" + t.at(i));
      }
      return rows;
    }
  };
  int FromComponent(const char* component, int port, MicroOutputs& o) {
    return Int("PVSSGetMicroConnectBetweenBoardCpntAndMotherBoard",
               {component, port, Arg::Of(o.nfrom), Arg::Of(o.last_from), Arg::Of(o.last_to),
                Arg::Of(o.nto), Arg::Of(o.pathid), Arg::Of(o.link_pos), Arg::Of(o.err)});
  }
};

TEST_F(RoutingWrappers, BuildersAnswerTheServersResult) {
  Network();
  TextVar err;
  EXPECT_EQ(Int("PVSSCreateRoutingTable", {"h1", 0, Arg::Of(err)}), 0);
  EXPECT_STREQ(err.getValue(), "NO_ERROR in CreateRoutingTable");
  EXPECT_EQ(Int("PVSSCreateRoutingTable", {"nobody", 10, Arg::Of(err)}), -1);
  EXPECT_STREQ(err.getValue(), "ERROR in CreateRoutingTable : Couldn't create the routing table");
  EXPECT_EQ(Int("PVSSCreateDestinationTable", {"h1", 0, Arg::Of(err)}), -2)
      << "0 round trips reach the server unchanged";
  EXPECT_EQ(Int("PVSSDropTableSchema", {Arg::Of(err)}), 0);
  EXPECT_STREQ(err.getValue(), "NO_ERROR in DropTableSchema");
  EXPECT_EQ(Int("PVSSCreateTableSchema", {Arg::Of(err)}), 0);
  EXPECT_STREQ(err.getValue(), "NO_ERROR in CreateTableSchema");
}

TEST_F(RoutingWrappers, RoutesComeAsSixListsInStep) {
  Network();
  TextVar err;
  ASSERT_EQ(Int("PVSSCreateRoutingTable", {"h1", 0, Arg::Of(err)}), 0) << err.getValue();
  DynVar names(kAnyVariable), ports(kAnyVariable), next_ips(kAnyVariable),
      destination_ips(kAnyVariable), subnets(kAnyVariable), macs(kAnyVariable);
  auto load = [&](const char* start) {
    return Int("PVSSLoadRoutingTable",
               {start, Arg::Of(names), Arg::Of(ports), Arg::Of(next_ips), Arg::Of(destination_ips),
                Arg::Of(subnets), Arg::Of(macs), Arg::Of(err)});
  };
  ASSERT_EQ(load("101"), 0) << err.getValue();
  EXPECT_STREQ(err.getValue(), "NO_ERROR in LoadRoutingtable");
  const std::vector<Texts> lists{Elements(&names),    Elements(&ports),
                                 Elements(&next_ips), Elements(&destination_ips),
                                 Elements(&subnets),  Elements(&macs)};
  std::set<std::string> routes;
  for (std::size_t i = 0; i < 3; ++i) {
    std::string route;
    for (const Texts& list : lists) route += list.at(i) + ";";
    routes.insert(route);
  }
  for (const Texts& list : lists) EXPECT_EQ(list.size(), 3u);
  // destination; next port; next IP; destination IP; next subnet; next MAC
  EXPECT_EQ(routes, (std::set<std::string>{
                        "s1;in1|none|1;10.0.0.254;10.0.0.254;subnet_of_10.0.0.254;mac-h1-in1;",
                        "h2;in1|none|1;10.0.0.254;10.0.2.1;subnet_of_10.0.0.254;mac-h1-in1;",
                        "s2;in2|none|1;10.0.1.254;10.0.1.254;subnet_of_10.0.1.254;mac-h1-in2;"}));

  // No route in use: the ErrMess text once in every list.
  ASSERT_EQ(load("103"), -1);
  EXPECT_STREQ(err.getValue(), "ERROR in LoadRoutingtable : NO_ROWS_SELECTED");
  for (DynVar* list : {&names, &ports, &next_ips, &destination_ips, &subnets, &macs}) {
    EXPECT_EQ(Elements(list), (Texts{err.getValue()}));
  }
}

TEST_F(RoutingWrappers, PortsTowardsOneSubsystem) {
  Network();
  TextVar err;
  ASSERT_EQ(Int("PVSSCreateDestinationTable", {"h1", 10, Arg::Of(err)}), 0) << err.getValue();
  DynVar ports(kAnyVariable);
  auto ports_to = [&](const char* subsystem) {
    return Int("PVSSGetPortPerSubsystem", {"h1", subsystem, Arg::Of(ports), Arg::Of(err)});
  };
  EXPECT_EQ(ports_to("TFC"), 0);
  EXPECT_EQ(Elements(&ports), (Texts{"in2|none|1"}));
  EXPECT_EQ(ports_to("DAQ"), 0);
  EXPECT_EQ(Elements(&ports), (Texts{"in1|none|1", "in2|none|1"}));
  EXPECT_EQ(ports_to("ECS"), 0);
  EXPECT_EQ(Elements(&ports), (Texts{"NO_ROWS_SELECTED", "NO_ROWS_SELECTED"}));
  EXPECT_EQ(ports_to("DAQ,TFC"), -1);
  const std::string kOneName = "ERROR in GetPortPerSubsystem : One subsystem name should be given";
  EXPECT_EQ(Elements(&ports), (Texts{kOneName, kOneName}));
  EXPECT_EQ(err.getValue(), kOneName);
}

TEST_F(RoutingWrappers, PathsInsideABoardAsListsAndTheirEnds) {
  Board();
  MicroOutputs o;
  ASSERT_EQ(FromComponent("c1", 303, o), 0) << o.err.getValue();
  EXPECT_EQ(o.Rows(), (Texts{"0.1:c1>brd", "1.1:c1>c2", "1.2:c2>brd", "2.1:c1>c3", "2.2:c3>brd"}));
  EXPECT_STREQ(o.last_from.getValue(), "c3");
  EXPECT_STREQ(o.last_to.getValue(), "brd");
  EXPECT_STREQ(o.err.getValue(), "NO_ERROR in GetMicroConnectBetweenBoardCpntAndMotherBoard");

  // mboardportid_from, mboardportid_to, cpntname
  MicroOutputs to_c3;
  ASSERT_EQ(
      Int("PVSSGetMicroConnectFromPortid",
          {301, 0, "c3", Arg::Of(to_c3.nfrom), Arg::Of(to_c3.last_from), Arg::Of(to_c3.last_to),
           Arg::Of(to_c3.nto), Arg::Of(to_c3.pathid), Arg::Of(to_c3.link_pos), Arg::Of(to_c3.err)}),
      0);
  EXPECT_EQ(to_c3.Rows(), (Texts{"0.1:brd>c1", "0.2:c1>c3"}));
  // mboardportid_from, cpnttype_given, cpnttype
  MicroOutputs fpga;
  ASSERT_EQ(
      Int("PVSSGetMicroConnectToCpntType",
          {301, 1, "fpga", Arg::Of(fpga.nfrom), Arg::Of(fpga.last_from), Arg::Of(fpga.last_to),
           Arg::Of(fpga.nto), Arg::Of(fpga.pathid), Arg::Of(fpga.link_pos), Arg::Of(fpga.err)}),
      0);
  EXPECT_EQ(fpga.Rows(), (Texts{"0.1:brd>c1", "1.1:brd>c1", "1.2:c1>c2"}));

  // A failure, and no path: one element each, the text in both ends.
  for (const char* component : {"nobody", "c2"}) {
    MicroOutputs failed;
    const int port = component == std::string("c2") ? 301 : 303;
    EXPECT_EQ(FromComponent(component, port, failed), -1);
    const std::string err = failed.err.getValue();
    EXPECT_EQ(failed.Rows(), (Texts{"-1.-1:" + err + ">" + err}));
    EXPECT_EQ(failed.last_from.getValue(), err);
    EXPECT_EQ(failed.last_to.getValue(), err);
  }
}

TEST_F(RoutingWrappers, PathsInsideABoardBeyondTheFirstSizesComeWhole) {
  Board();
  // From a component with a long name through 100 others to the port out:
  // its names need more than the first 10000 bytes, the names at the other
  // end fit and come back with their exact total.
  const std::string start(100, 'L');
  testdb::exec(
      "insert into vexa_lg_cpnts(cpntname, cpntid, motherboardid) select 'm' || g, "
      "100 + g, 31 from generate_series(1, 100) g;"
      "insert into vexa_lg_cpnts(cpntname, cpntid, motherboardid) values ('" +
      start +
      "', 99, 31);"
      "insert into vexa_microscopic_connectivity(linkid, cpntidfrom, portidfrom, "
      "cpntidto, portidto, link_type, bidirectional_link_used, link_weight, lkused) "
      "select 1000 + g, 99, g, 100 + g, 1, 1, 0, 0, 1 from generate_series(1, 100) g "
      "union all select 2000 + g, 100 + g, 2, -1, 303, 1, 0, 2, 1 "
      "from generate_series(1, 100) g");
  MicroOutputs o;
  ASSERT_EQ(FromComponent(start.c_str(), 303, o), 0) << o.err.getValue();
  const Texts rows = o.Rows();
  ASSERT_EQ(rows.size(), 200u);
  EXPECT_EQ(rows.front().substr(0, 6), "0.1:LL");
  EXPECT_EQ(rows.back().rfind("99.2:m", 0), 0u) << rows.back();
  EXPECT_STREQ(o.last_to.getValue(), "brd");
}

}  // namespace
