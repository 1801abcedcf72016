// A connected library against a freshly reset database (subsystems DAQ 2,
// TFC 3, ECS 5), small networks written behind the library's back with the
// ids the tests name, and the path queries' outputs read back as entries.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db_fixture.h"
#include "ferrule.h"
#include "report.h"
#include "test_db.h"

// One link of one returned path.
struct PathEntry {
  int pathid, link_pos, way_a, way_b;
  std::string nfrom, nto, pfrom, pto, lkinfo;
};

// Runs f with the library's standard-output diagnostics swallowed.
template <class F>
auto Quietly(F f) {
  testing::internal::CaptureStdout();
  auto result = f();
  testing::internal::GetCapturedStdout();
  return result;
}

// The items of a packed text of total bytes.
inline std::vector<std::string> Unpack(const char* packed, int total) {
  std::vector<std::string> items;
  for (int at = 0; at < total;) {
    items.emplace_back(packed + at);
    at += static_cast<int>(items.back().size()) + 1;
  }
  return items;
}

// What a test link differs in from a plain one (one-way, weight 0, used,
// DAQ only, no link_info): LinkOptions().weight(2).info("x").
struct LinkOptions {
  int weight_ = 0, bidirectional_ = 0, subsystems_ = 2, lkused_ = 1;
  const char* info_ = nullptr;

  LinkOptions& weight(int w) { weight_ = w; return *this; }
  LinkOptions& bidirectional() { bidirectional_ = 1; return *this; }
  LinkOptions& subsystems(int set) { subsystems_ = set; return *this; }
  LinkOptions& unused() { lkused_ = 0; return *this; }
  LinkOptions& info(const char* text) { info_ = text; return *this; }
};

class PathTest : public ConnectedTest {
 protected:
  void SetUp() override {
    ConnectedTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    testdb::exec(
        "insert into vexa_lg_device_types(devicetypeID, devicetype, nbrofinput, nbrofoutput, "
        "system_name) values (1, 'SWITCH', 8, 8, 30), (2, 'HOST', 1, 1, 30), "
        "(3, 'EMPTYTYPE', 1, 1, 30)");
  }

  // A device of type SWITCH (node 0) or HOST (node 1).
  static void Device(const std::string& name, int id, int subsystems = 2, bool host = false) {
    testdb::exec("insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, "
                 "promiscuous_mode, active, nodeused, system_name) values ('" + name + "', " +
                 (host ? "2" : "1") + ", " + std::to_string(id) + ", " + (host ? "1" : "0") +
                 ", 0, 1, 1, " + std::to_string(subsystems) + ")");
  }

  // Link id from a port "o<id>" (way 2) of from to a port "i<id>" (way 1,
  // port type "t") of to; the ports get ids 2*id-1 and 2*id.
  static void Link(int id, const std::string& from, const std::string& to, const LinkOptions& spec = LinkOptions()) {
    const std::string i = std::to_string(id);
    const std::string out_port = std::to_string(2 * id - 1), in_port = std::to_string(2 * id);
    testdb::exec(
        "insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type) "
        "select " + out_port + ", deviceid, 'o" + i + "', 2, null from vexa_lg_devices "
        "where devicename='" + from + "';"
        "insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type) "
        "select " + in_port + ", deviceid, 'i" + i + "', 1, 't' from vexa_lg_devices "
        "where devicename='" + to + "';"
        "insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type, "
        "bidirectional_link_used, link_weight, lkused, link_info, system_name) values (" + i +
        ", " + out_port + ", " + in_port + ", 1, " + std::to_string(spec.bidirectional_) + ", " +
        std::to_string(spec.weight_) + ", " + std::to_string(spec.lkused_) + ", " +
        (spec.info_ ? "'" + std::string(spec.info_) + "'" : "null") + ", " +
        std::to_string(spec.subsystems_) + ")");
  }

  // A (1) -> B (2) -> C (3) over the links 1 and 2; C is a HOST when
  // c_is_host is set, a SWITCH otherwise.
  static void Chain(const LinkOptions& first = LinkOptions(),
                    const LinkOptions& second = LinkOptions(), bool c_is_host = false) {
    Device("A", 1);
    Device("B", 2);
    Device("C", 3, 2, c_is_host);
    Link(1, "A", "B", first);
    Link(2, "B", "C", second);
  }

  // GetDetailedConnBetweenDeviceDevType with room for everything; the
  // result code, and the entries on success.
  int Paths(const char* dfrom, const char* dto, int type_given = 0,
            std::vector<PathEntry>* entries = nullptr, int room = 100000) {
    std::vector<char> nfrom(room), nto(room), pfrom(room), pto(room), lkinfo(room);
    std::vector<int> way_a(room), way_b(room), pathid(room), link_pos(room);
    int n = room, ln = room, lp = room, lnt = room, lpt = room, li = room;
    const int rc = Quietly([&] {
      return GetDetailedConnBetweenDeviceDevType(
          dfrom, dto, type_given, nfrom.data(), pfrom.data(), pto.data(), &n, &ln, &lp, &lnt,
          &lpt, &li, way_a.data(), way_b.data(), nto.data(), pathid.data(), link_pos.data(),
          lkinfo.data(), err_);
    });
    if (rc == 0 && entries) {
      const auto nf = Unpack(nfrom.data(), ln), nt = Unpack(nto.data(), lnt),
                 pf = Unpack(pfrom.data(), lp), pt = Unpack(pto.data(), lpt),
                 inf = Unpack(lkinfo.data(), li);
      EXPECT_EQ(nf.size(), static_cast<std::size_t>(n));
      entries->clear();
      for (int i = 0; i < n; ++i)
        entries->push_back({pathid[i], link_pos[i], way_a[i], way_b[i], nf.at(i), nt.at(i),
                            pf.at(i), pt.at(i), inf.at(i)});
    }
    return rc;
  }

  // The paths as device sequences, "A>B>C", in the order returned.
  std::vector<std::string> Routes(const char* dfrom, const char* dto, int type_given = 0) {
    std::vector<PathEntry> entries;
    if (Paths(dfrom, dto, type_given, &entries) != 0) return {err_};
    return RoutesOf(entries);
  }

  static std::vector<std::string> RoutesOf(const std::vector<PathEntry>& entries) {
    std::vector<std::string> routes;
    for (const PathEntry& e : entries) {
      if (e.link_pos == 1) routes.push_back(e.nfrom);
      routes.back() += ">" + e.nto;
    }
    return routes;
  }

  // GetAllPathsPerDevice as "pathid:linkid,linkid,...", in the order
  // returned; the ErrMess text when it fails.
  std::vector<std::string> AllPaths(const char* systems, const char* device) {
    std::vector<int> linkid(10000), pathid(10000), link_pos(10000);
    int n = 10000;
    const int rc = Quietly([&] {
      return GetAllPathsPerDevice(systems, device, &n, linkid.data(), pathid.data(),
                                  link_pos.data(), err_);
    });
    if (rc != 0) return {err_};
    std::vector<std::string> paths;
    for (int i = 0; i < n; ++i) {
      if (link_pos[i] == 1) paths.push_back(std::to_string(pathid[i]) + ":");
      else paths.back() += ",";
      paths.back() += std::to_string(linkid[i]);
    }
    return paths;
  }
};
