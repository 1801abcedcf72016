// A property of the server's routing and destination tables, on random
// small networks: each table lists exactly the devices that a route of at
// most its round-trip count reaches, each by its shortest routes (one per
// pair of first-step ports, the lowest in use), and its path details show
// shortest routes. Checked against reference_routes.h after the tables are
// built and after each of several refreshes that follow random changes,
// and so are the library's reads of the destination tables: the
// destinations that each output port of a start lists, and the ports that
// GetPortPerSubsystem lists.
//
// The networks mix nodes and non-nodes at random, with the link weights
// that the library's node rule gives, so that every weight occurs forwards
// and backwards; links are one-way or bidirectional, used or not.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "connected_fixture.h"
#include "reference_routes.h"

namespace {

constexpr int kPortsPerDevice = 4;
constexpr int kRounds = 8;

std::vector<std::vector<int>> Rows(const std::string& sql) {
  std::vector<std::vector<int>> rows;
  for (const std::string& text : testdb::column(sql)) {
    std::istringstream in(text);
    rows.emplace_back();
    for (int v; in >> v;) rows.back().push_back(v);
  }
  return rows;
}

class RouteReach : public ConnectedTest, public ::testing::WithParamInterface<int> {
 protected:
  struct Table {
    const char* kind;
    int start, bound;
  };

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  int random_port() { return (1 + pick(devices_)) * 10 + 1 + pick(kPortsPerDevice); }

  void add_link() {
    const int id = ++links_;
    testdb::exec("insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, "
                 "link_type, bidirectional_link_used, lkused) values (" +
                 std::to_string(id) + ", " + std::to_string(random_port()) + ", " +
                 std::to_string(random_port()) + ", 1, " + std::to_string(pick(2)) + ", " +
                 std::to_string(pick(6) == 0 ? 0 : 1) + ")");
  }

  // The weights of the library's node rule: the node flags of both ends
  // added up, one more when the link leads to a node.
  static void set_weights() {
    testdb::exec("update vexa_macroscopic_connectivity l set link_weight = "
                 "f.node + t.node + case when t.node = 1 then 1 else 0 end "
                 "from vexa_port_properties pf join vexa_lg_devices f on f.deviceid = pf.deviceid, "
                 "vexa_port_properties pt join vexa_lg_devices t on t.deviceid = pt.deviceid "
                 "where pf.portid = l.portidfrom and pt.portid = l.portidto");
  }

  void make_network() {
    devices_ = 6 + pick(5);
    for (int d = 1; d <= devices_; ++d) {
      testdb::exec("insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, "
                   "system_name) values ('d" + std::to_string(d) + "', 1, " +
                   std::to_string(d) + ", " + std::to_string(pick(2)) + ", 2)");
      for (int p = 1; p <= kPortsPerDevice; ++p)
        testdb::exec("insert into vexa_port_properties(portid, deviceid, port_nbr, port_way) "
                     "values (" + std::to_string(d * 10 + p) + ", " + std::to_string(d) +
                     ", '" + std::to_string(p) + "', " + std::to_string(1 + p % 2) + ")");
    }
    for (int i = devices_ + pick(2 * devices_); i > 0; --i) add_link();
    set_weights();
  }

  void build_tables() {
    static const int kBounds[] = {2, 3, 4, 10};
    for (int d = 1; d <= devices_; ++d) {
      for (const char* kind : {"RT", "TD"}) {
        const Table t{kind, d, kBounds[pick(4)]};
        const std::string fn = std::string(kind) == "RT" ? "createRT_all_devname" : "createTD_all_devname";
        ASSERT_EQ(testdb::value("select routingtable_pck." + fn + "('d" + std::to_string(d) +
                                "', 1, " + std::to_string(t.bound) + ", 1)"),
                  "0");
        tables_.push_back(t);
      }
    }
  }

  // One to three random changes of links, node flags or ports.
  void change() {
    for (int n = 1 + pick(3); n > 0; --n) {
      const int count = std::stoi(testdb::value("select count(*) from vexa_macroscopic_connectivity"));
      const std::string link =
          "(select linkid from vexa_macroscopic_connectivity order by linkid offset " +
          std::to_string(pick(std::max(count, 1))) + " limit 1)";
      switch (pick(7)) {
        case 0:
          testdb::exec("update vexa_macroscopic_connectivity set lkused = 1 - lkused "
                       "where linkid = " + link);
          break;
        case 1:
          testdb::exec("update vexa_macroscopic_connectivity set bidirectional_link_used = "
                       "1 - bidirectional_link_used where linkid = " + link);
          break;
        case 2:
          testdb::exec("update vexa_lg_devices set node = 1 - node where deviceid = " +
                       std::to_string(1 + pick(devices_)));
          break;
        case 3:
          testdb::exec("update vexa_macroscopic_connectivity set portidto = " +
                       std::to_string(random_port()) + " where linkid = " + link);
          break;
        case 4:
          testdb::exec("delete from vexa_macroscopic_connectivity where linkid = " + link);
          break;
        case 5:
          add_link();
          break;
        default:
          testdb::exec("update vexa_port_properties set deviceid = " +
                       std::to_string(1 + pick(devices_)) + ", port_nbr = 'moved" +
                       std::to_string(++moves_) + "' where portid = " +
                       std::to_string(random_port()));
      }
      set_weights();
    }
  }

  // The steps of the links as they are now.
  static std::vector<reference::Step> steps_now() {
    std::vector<reference::Link> links;
    for (const auto& r : Rows("select concat_ws(' ', l.portidfrom, l.portidto, f.deviceid, "
                              "t.deviceid, coalesce(l.bidirectional_link_used, 0), "
                              "coalesce(l.link_weight, 0), coalesce(l.lkused, 0)) "
                              "from vexa_macroscopic_connectivity l "
                              "join vexa_port_properties f on f.portid = l.portidfrom "
                              "join vexa_port_properties t on t.portid = l.portidto"))
      links.push_back({r[0], r[1], r[2], r[3], r[4], r[5], r[6]});
    return reference::StepsOf(links);
  }

  // Compares every stored table with the reference.
  void check(const std::string& when) {
    SCOPED_TRACE("network " + std::to_string(GetParam()) + ", " + when);
    const std::vector<reference::Step> steps = steps_now();
    const auto rt = Rows("select concat_ws(' ', nodeid_start0, nodeid_end1, pfromid0, ptoid0, "
                         "ptoid1, routingpathused) from vexa_routingtable");
    const auto td = Rows("select concat_ws(' ', nodeid_start0, nodeid_end1, pfromid0) "
                         "from vexa_destinationtable");
    // The devices of a route: node1 to node10 as far as they go, then
    // node11, the destination (which ends the list already when the route
    // has fewer than 10 steps).
    auto pd = Rows("select concat_ws(' ', node1, node2, node3, node4, node5, node6, node7, "
                   "node8, node9, node10, node11) from vexa_pdetails");
    for (auto& devices : pd)
      if (devices.size() > 2 && devices[devices.size() - 2] == devices.back()) devices.pop_back();

    for (const Table& t : tables_) {
      SCOPED_TRACE(std::string(t.kind) + " of d" + std::to_string(t.start) + ", bound " +
                   std::to_string(t.bound));
      const reference::ShortestRoutes routes(steps, t.start, std::min(t.bound, 10));
      std::vector<std::vector<int>> expected, listed;
      for (const auto& [dest, shortest] : routes.by_destination())
        for (const auto& [near, far] : routes.first_ports(dest))
          expected.push_back(t.kind[0] == 'R' ? std::vector<int>{dest, near, far}
                                              : std::vector<int>{dest, near});
      std::sort(expected.begin(), expected.end());
      expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
      if (t.kind[0] == 'R') {
        std::vector<int> in_use;
        for (const auto& r : rt) {
          if (r[0] != t.start) continue;
          listed.push_back({r[1], r[2], r[3]});
          EXPECT_TRUE(routes.by_destination().count(r[1]) && routes.has(r[1], r[2], r[3], r[4]))
              << "route to " << r[1] << " out of " << r[2] << " arriving at " << r[4];
          // The route in use has the lowest output port, then port across.
          if (r[5] == 1) in_use.push_back(r[1]);
          if (r[5] == 1 && routes.by_destination().count(r[1])) {
            EXPECT_EQ(std::make_pair(r[2], r[3]), *routes.first_ports(r[1]).begin());
          }
        }
        std::sort(in_use.begin(), in_use.end());
        std::vector<int> reached;
        for (const auto& entry : routes.by_destination()) reached.push_back(entry.first);
        EXPECT_EQ(in_use, reached) << "one route in use per destination";
      } else {
        for (const auto& r : td)
          if (r[0] == t.start) listed.push_back({r[1], r[2]});
        std::map<int, std::size_t> shown;
        for (const auto& devices : pd) {
          if (devices.front() != t.start) continue;
          ++shown[devices.back()];
          EXPECT_TRUE(routes.by_destination().count(devices.back()) &&
                      routes.has_devices(devices.back(), devices))
              << "path details " << ::testing::PrintToString(devices);
        }
        for (const auto& [dest, shortest] : routes.by_destination())
          EXPECT_EQ(shown[dest], routes.first_ports(dest).size()) << "path details of " << dest;
      }
      std::sort(listed.begin(), listed.end());
      EXPECT_EQ(listed, expected);
    }
  }

  // The items of a packed list, sorted; {"NO_ROWS_SELECTED"} when the
  // call found nothing.
  std::vector<std::string> items(int rc, const char* list, int len, const std::string& name) {
    EXPECT_EQ(rc, 0) << err_;
    if (std::string(err_) == "ERROR in " + name + " : NO_ROWS_SELECTED") return {"NO_ROWS_SELECTED"};
    std::vector<std::string> out;
    for (const char* at = list; at < list + len; at += std::strlen(at) + 1) out.emplace_back(at);
    std::sort(out.begin(), out.end());
    return out;
  }

  // Reads every destination table through the library: each output port
  // of its start lists the devices that a shortest route leaving through
  // it reaches, and GetPortPerSubsystem (every device is in DAQ) lists the
  // ports through which some shortest route leaves.
  void check_ports(const std::string& when) {
    SCOPED_TRACE("network " + std::to_string(GetParam()) + ", " + when);
    const std::vector<reference::Step> steps = steps_now();
    struct PortRow {
      int portid, deviceid, way;
      std::string nbr;
    };
    std::vector<PortRow> ports;
    for (const std::string& text : testdb::column(
             "select concat_ws(' ', portid, deviceid, port_way, port_nbr) "
             "from vexa_port_properties")) {
      std::istringstream in(text);
      PortRow p;
      in >> p.portid >> p.deviceid >> p.way >> p.nbr;
      ports.push_back(p);
    }
    const std::vector<std::string> none{"NO_ROWS_SELECTED"};
    for (const Table& t : tables_) {
      if (t.kind[0] != 'T') continue;
      const std::string name = "d" + std::to_string(t.start);
      SCOPED_TRACE("destination table of " + name);
      const reference::ShortestRoutes routes(steps, t.start, std::min(t.bound, 10));
      std::map<int, std::set<std::string>> reached;  // by output port
      for (const auto& [dest, shortest] : routes.by_destination())
        for (const reference::Route& r : shortest)
          reached[r.first_near].insert("d" + std::to_string(dest));
      std::set<std::string> expected_ports;
      std::vector<char> list(1000);
      for (const PortRow& p : ports) {
        if (p.deviceid != t.start) continue;
        if (reached.count(p.portid))
          expected_ports.insert(p.nbr + "|none|" + std::to_string(p.way));
        if (p.way != 2) continue;
        int len = static_cast<int>(list.size());
        const int rc = Quiet([&] {
          return GetDestinationNamePerDevPort(name.c_str(), p.nbr.c_str(), "none", &len,
                                              list.data(), err_);
        });
        const auto want = reached.find(p.portid);
        EXPECT_EQ(items(rc, list.data(), len, "GetDestinationNamePerDevPort"),
                  want == reached.end()
                      ? none
                      : std::vector<std::string>(want->second.begin(), want->second.end()))
            << "port " << p.nbr;
      }
      int len = static_cast<int>(list.size());
      const int rc = Quiet(
          [&] { return GetPortPerSubsystem(name.c_str(), "DAQ", &len, list.data(), err_); });
      EXPECT_EQ(items(rc, list.data(), len, "GetPortPerSubsystem"),
                expected_ports.empty()
                    ? none
                    : std::vector<std::string>(expected_ports.begin(), expected_ports.end()));
    }
  }

  std::mt19937 random_{static_cast<unsigned>(GetParam())};
  int devices_ = 0, links_ = 0, moves_ = 0;
  std::vector<Table> tables_;
};

TEST_P(RouteReach, TablesListWhatRoutesReachAfterBuildsAndRefreshes) {
  make_network();
  build_tables();
  check("built");
  for (int round = 1; round <= kRounds && !HasFailure(); ++round) {
    change();
    ASSERT_EQ(testdb::value("select routingtable_pck.updatepathused(1)"), "0");
    check("refresh " + std::to_string(round));
  }
}

TEST_P(RouteReach, PortsListWhatTheirRoutesReachAfterBuildsAndRefreshes) {
  make_network();
  build_tables();
  check_ports("built");
  for (int round = 1; round <= kRounds && !HasFailure(); ++round) {
    change();
    ASSERT_EQ(testdb::value("select routingtable_pck.updatepathused(1)"), "0");
    check_ports("refresh " + std::to_string(round));
  }
}

INSTANTIATE_TEST_SUITE_P(RandomNetworks, RouteReach, ::testing::Range(1, 31));

}  // namespace
