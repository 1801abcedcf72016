// The length protocol and argument orders of the four path query exports.
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "path_fixture.h"

namespace {

// Output buffers of one call, filled with a mark so that a test sees what
// was written.
struct Outputs {
  explicit Outputs(int room)
      : nfrom(room, '#'), nto(room, '#'), pfrom(room, '#'), pto(room, '#'), lkinfo(room, '#'),
        way_a(room, -7), way_b(room, -7), pathid(room, -7), link_pos(room, -7) {}
  std::vector<char> nfrom, nto, pfrom, pto, lkinfo;
  std::vector<int> way_a, way_b, pathid, link_pos;
  // len_array, len_pfrom, len_nfrom, len_pto, len_nto, len_lkinfo
  int len[6] = {0, 0, 0, 0, 0, 0};

  bool operator==(const Outputs& o) const {
    return nfrom == o.nfrom && nto == o.nto && pfrom == o.pfrom && pto == o.pto &&
           lkinfo == o.lkinfo && way_a == o.way_a && way_b == o.way_b && pathid == o.pathid &&
           link_pos == o.link_pos && std::equal(len, len + 6, o.len);
  }
  bool untouched() const { return nfrom[0] == '#' && pathid[0] == -7 && lkinfo[0] == '#'; }
};

class PathProtocol : public PathTest {
 protected:
  void SetUp() override {
    PathTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    Chain(LinkOptions(), LinkOptions().info("fibre"));
  }

  int Connectivity(const char* from, const char* to, Outputs& o) {
    return Quietly([&] {
      return GetConnectivityBetweenDevices(from, to, &o.len[0], &o.len[1], &o.len[2], &o.len[3],
                                           &o.len[4], &o.len[5], o.nfrom.data(), o.nto.data(),
                                           o.pfrom.data(), o.way_a.data(), o.pto.data(),
                                           o.way_b.data(), o.pathid.data(), o.link_pos.data(),
                                           o.lkinfo.data(), err_);
    });
  }
  int Detailed(const char* from, const char* to, Outputs& o) {
    return Quietly([&] {
      return GetDetailedConnectivityBetweenDevices(
          from, to, o.nfrom.data(), &o.len[0], &o.len[2], &o.len[1], &o.len[4], &o.len[3],
          &o.len[5], o.pfrom.data(), o.pto.data(), o.way_a.data(), o.way_b.data(), o.nto.data(),
          o.pathid.data(), o.link_pos.data(), o.lkinfo.data(), err_);
    });
  }
  int ByType(const char* from, const char* to, int type_given, Outputs& o) {
    return Quietly([&] {
      return GetDetailedConnBetweenDeviceDevType(
          from, to, type_given, o.nfrom.data(), o.pfrom.data(), o.pto.data(), &o.len[0],
          &o.len[2], &o.len[1], &o.len[4], &o.len[3], &o.len[5], o.way_a.data(),
          o.way_b.data(), o.nto.data(), o.pathid.data(), o.link_pos.data(), o.lkinfo.data(),
          err_);
    });
  }
  int ConnOut(const char* from, const char* to, int type_given, int* len, char* out) {
    return Quietly([&] { return GetConnOutBetweenDeviceDeviceType(from, to, type_given, len, out, err_); });
  }
};

// A to C: 2 entries; "A\0B\0", "B\0C\0", "o1|none\0o2|none\0", "i1|t\0i2|t\0",
// "none\0fibre\0".
constexpr int kNeeds[6] = {2, 16, 4, 10, 4, 11};

TEST_F(PathProtocol, CapacitiesEqualToTheNeedsAreTooSmallAndTheNeedsPlusOneFit) {
  Outputs o(64);
  std::copy(kNeeds, kNeeds + 6, o.len);
  EXPECT_EQ(Connectivity("A", "C", o), -1);
  EXPECT_STREQ(err_, "ERROR in GetConnectivityBetweenDevices : BUFFER_TOO_SMALL");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(o.len[i], kNeeds[i] + 1) << "length " << i;
  EXPECT_TRUE(o.untouched());

  // One output short is enough for nothing to be copied.
  for (int i = 0; i < 6; ++i) o.len[i] = 64;
  o.len[5] = kNeeds[5];
  EXPECT_EQ(Connectivity("A", "C", o), -1);
  EXPECT_TRUE(o.untouched());
  EXPECT_EQ(o.len[0], kNeeds[0] + 1);

  for (int i = 0; i < 6; ++i) o.len[i] = kNeeds[i] + 1;
  ASSERT_EQ(Connectivity("A", "C", o), 0) << err_;
  EXPECT_STREQ(err_, "NO_ERROR in GetConnectivityBetweenDevices");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(o.len[i], kNeeds[i]) << "length " << i;
  EXPECT_EQ(Unpack(o.lkinfo.data(), o.len[5]), (std::vector<std::string>{"none", "fibre"}));
  EXPECT_EQ(o.lkinfo[kNeeds[5]], '#') << "nothing past the need";
}

TEST_F(PathProtocol, CapacitiesBelowOneAndMissingBuffersAreRefused) {
  for (const int capacity : {0, -5, INT_MIN}) {
    Outputs o(64);
    for (int i = 0; i < 6; ++i) o.len[i] = 64;
    o.len[0] = capacity;
    EXPECT_EQ(Connectivity("A", "C", o), -1);
    EXPECT_STREQ(err_, "ERROR in GetConnectivityBetweenDevices : BUFFER_TOO_SMALL");
    EXPECT_TRUE(o.untouched());
  }
  Outputs o(64);
  for (int i = 0; i < 6; ++i) o.len[i] = 64;
  EXPECT_EQ(Quietly([&] {
              return GetConnectivityBetweenDevices("A", "C", &o.len[0], &o.len[1], &o.len[2],
                                                   &o.len[3], &o.len[4], nullptr, o.nfrom.data(),
                                                   o.nto.data(), o.pfrom.data(), o.way_a.data(),
                                                   o.pto.data(), o.way_b.data(), o.pathid.data(),
                                                   o.link_pos.data(), o.lkinfo.data(), err_);
            }),
            -1);
  EXPECT_STREQ(err_, "ERROR in GetConnectivityBetweenDevices : BUFFER_TOO_SMALL");
}

TEST_F(PathProtocol, TheThreeFormsFillTheSameOutputs) {
  Device("D", 4);
  Link(3, "A", "D", LinkOptions().bidirectional().info("x"));
  Link(4, "D", "C", LinkOptions().weight(2));
  Outputs a(256), b(256), c(256);
  for (Outputs* o : {&a, &b, &c})
    for (int i = 0; i < 6; ++i) o->len[i] = 256;
  ASSERT_EQ(Connectivity("A", "C", a), 0) << err_;
  ASSERT_EQ(Detailed("A", "C", b), 0) << err_;
  EXPECT_STREQ(err_, "NO_ERROR in GetDetailedConnectivityBetweenDevices");
  ASSERT_EQ(ByType("A", "C", 0, c), 0) << err_;
  EXPECT_EQ(a.len[0], 4);
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(a == c);
}

TEST_F(PathProtocol, ConnOutGivesTheFromPortsWithinTheCallersCapacity) {
  char out[64];
  std::memset(out, '#', sizeof out);
  int len = kNeeds[1];
  ASSERT_EQ(ConnOut("A", "C", 0, &len, out), 0) << err_;
  EXPECT_STREQ(err_, "NO_ERROR in GetConnOutBetweenDeviceDeviceType");
  EXPECT_EQ(len, kNeeds[1]);
  EXPECT_EQ(Unpack(out, len), (std::vector<std::string>{"o1|none", "o2|none"}));

  std::memset(out, '#', sizeof out);
  len = kNeeds[1] - 1;
  EXPECT_EQ(ConnOut("A", "C", 0, &len, out), -1);
  EXPECT_STREQ(err_, "ERROR in GetConnOutBetweenDeviceDeviceType : BUFFER_TOO_SMALL");
  EXPECT_EQ(len, kNeeds[1]);
  EXPECT_EQ(out[0], '#');

  len = 64;
  EXPECT_EQ(ConnOut("C", "A", 0, &len, out), -1);
  EXPECT_EQ(len, 64) << "a failed search leaves the length alone";
  EXPECT_EQ(ConnOut("A", "C", 0, nullptr, out), -1);
  EXPECT_STREQ(err_, "ERROR in GetConnOutBetweenDeviceDeviceType : BUFFER_TOO_SMALL");
}

// A kept copy is never an answer without a database to confirm it.
TEST_F(PathProtocol, WithoutAConnectionNothingIsAnswered) {
  Outputs o(64);
  for (int i = 0; i < 6; ++i) o.len[i] = 64;
  ASSERT_EQ(Connectivity("A", "C", o), 0) << err_;
  char err[ferrule::kErrMessMax];
  Quietly([&] { return DBDeconnexion(err); });

  EXPECT_EQ(Connectivity("A", "C", o), -1);
  EXPECT_STREQ(err_, "ERROR in GetConnectivityBetweenDevices : ERROR in "
                     "LoadConnectivityTable_InCache : NOT CONNECTED TO ANY DB");
  int rows = 1, bytes = 1, ids[1];
  char names[1];
  EXPECT_EQ(Quietly([&] { return LoadLinkTypeTable(&rows, ids, &bytes, names, err_); }), -1);
  EXPECT_STREQ(err_, "ERROR in LoadLinkTypeTable : NOT CONNECTED TO ANY DB");
}

// More than 1000 links leave the source, more than 4999 entries and 49999
// bytes of ports come back, texts longer than 200 bytes come back whole.
TEST_F(PathProtocol, LargeResultsHaveNoFixedLimits) {
  const std::string info(1000, 'i');
  const std::string port(96, 'p'), type(100, 't');
  testdb::exec(
      "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, "
      "active, nodeused, system_name) select 'host' || g, 2, 1000 + g, 1, 0, 1, 1, 2 "
      "from generate_series(1, 5001) g;"
      "insert into vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type) "
      "select 100000 + g, 1, '" + port + "' || g, 2, '" + type + "' from generate_series(1, 5001) g "
      "union all select 200000 + g, 1000 + g, 'in', 1, null from generate_series(1, 5001) g;"
      "insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type, "
      "bidirectional_link_used, link_weight, lkused, link_info, system_name) "
      "select 1000 + g, 100000 + g, 200000 + g, 1, 0, 2, 1, '" + info + "', 2 "
      "from generate_series(1, 5001) g");

  std::vector<PathEntry> e;
  ASSERT_EQ(Paths("A", "HOST", 1, &e, 6000000), 0) << err_;
  ASSERT_EQ(e.size(), 5001u);
  EXPECT_EQ(e[0].nto, "host1");
  EXPECT_EQ(e[0].lkinfo, info);
  EXPECT_EQ(e[0].pfrom, port + "1|" + type);

  int len = 0;
  EXPECT_EQ(ConnOut("A", "HOST", 1, &len, nullptr), -1);
  len = 1;
  char one[1];
  EXPECT_EQ(ConnOut("A", "HOST", 1, &len, one), -1);
  EXPECT_STREQ(err_, "ERROR in GetConnOutBetweenDeviceDeviceType : BUFFER_TOO_SMALL");
  ASSERT_GT(len, 49999);
  std::vector<char> out(static_cast<std::size_t>(len));
  ASSERT_EQ(ConnOut("A", "HOST", 1, &len, out.data()), 0) << err_;
  EXPECT_EQ(Unpack(out.data(), len).size(), 5001u);
}

}  // namespace
