// The path queries against the private database: every list filled in step
// and each by the name its parameter string gives it, the failure elements,
// the second call after a shortfall, and the from-ports alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin_network_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class PathWrappers : public PluginNetworkTest {
 protected:
  // The lists of a path query, and "pathid.pos:nfrom/pfrom/wayfrom>nto/pto/wayto:info"
  // per link.
  struct Paths {
    DynVar nfrom{kTextVariable}, pfrom{kTextVariable}, nto{kTextVariable}, pto{kTextVariable};
    DynVar link_info{kTextVariable};
    DynVar way_from{kIntegerVariable}, way_to{kIntegerVariable};
    DynVar pathid{kIntegerVariable}, link_pos{kIntegerVariable};
    TextVar err;
    Texts Links() {
      const Texts nf = Elements(&nfrom), pf = Elements(&pfrom), wf = Elements(&way_from);
      const Texts nt = Elements(&nto), pt = Elements(&pto), wt = Elements(&way_to);
      const Texts id = Elements(&pathid), pos = Elements(&link_pos), info = Elements(&link_info);
      Texts links;
      for (std::size_t i = 0; i < nf.size(); ++i) {
        links.push_back(id.at(i) + "." + (pos.empty() ? "" : pos.at(i)) + ":" + nf[i] + "/" +
                        pf.at(i) + "/" + wf.at(i) + ">" + nt.at(i) + "/" + pt.at(i) + "/" +
                        wt.at(i) + ":" + info.at(i));
      }
      return links;
    }
  };
  int Between(const char* from, const char* to, Paths& p) {
    return Int("PVSSGetConnectivityBetweenDevices",
               {from, to, Arg::Of(p.nfrom), Arg::Of(p.pfrom), Arg::Of(p.way_from), Arg::Of(p.nto),
                Arg::Of(p.pto), Arg::Of(p.way_to), Arg::Of(p.pathid), Arg::Of(p.link_info),
                Arg::Of(p.err)});
  }
  // The lists by the names of the parameter string.
  int Detailed(const char* from, const char* to, Paths& p) {
    return Int("PVSSGetDetailedConnectivityBetweenDevices",
               {from, to, Arg::Of(p.nfrom), Arg::Of(p.nto), Arg::Of(p.pfrom), Arg::Of(p.way_from),
                Arg::Of(p.pto), Arg::Of(p.way_to), Arg::Of(p.pathid), Arg::Of(p.link_pos),
                Arg::Of(p.link_info), Arg::Of(p.err)});
  }
  int ToType(const char* from, const char* to, int type_given, Paths& p) {
    return Int("PVSSGetDetailedConnBetweenDeviceDevType",
               {from, to, type_given, Arg::Of(p.nfrom), Arg::Of(p.pfrom), Arg::Of(p.way_from),
                Arg::Of(p.nto), Arg::Of(p.pto), Arg::Of(p.way_to), Arg::Of(p.pathid),
                Arg::Of(p.link_pos), Arg::Of(p.link_info), Arg::Of(p.err)});
  }
};

TEST_F(PathWrappers, EveryLinkOfEveryPathInEveryList) {
  Paths between;
  ASSERT_EQ(Between("sw1", "sw3", between), 0) << between.err.getValue();
  EXPECT_STREQ(between.err.getValue(), "NO_ERROR in GetConnectivityBetweenDevices");
  const Texts kPath{"0.1:sw1/1|none/2>sw2/1|none/1:a", "0.2:sw2/2|eth/2>sw3/1|none/1:b"};
  EXPECT_EQ(between.Links(),
            (Texts{"0.:sw1/1|none/2>sw2/1|none/1:a", "0.:sw2/2|eth/2>sw3/1|none/1:b"}))
      << "this query shows no positions";

  Paths detailed;
  ASSERT_EQ(Detailed("sw1", "sw3", detailed), 0) << detailed.err.getValue();
  EXPECT_EQ(detailed.Links(), kPath);

  // To the devices of a type: a path ends at the first one it reaches.
  Paths to_type;
  ASSERT_EQ(ToType("sw1", "SWITCH", 1, to_type), 0) << to_type.err.getValue();
  EXPECT_EQ(to_type.Links(), (Texts{kPath[0]}));
  Paths to_device;
  ASSERT_EQ(ToType("sw1", "sw3", 0, to_device), 0) << to_device.err.getValue();
  EXPECT_EQ(to_device.Links(), kPath);
}

TEST_F(PathWrappers, NoPathGivesTheErrorTextOnceInEveryList) {
  Paths none;
  EXPECT_EQ(Detailed("sw3", "sw1", none), -1);
  const std::string err = none.err.getValue();
  EXPECT_NE(err.find("ERROR in GetDetailedConnectivityBetweenDevices : "), std::string::npos);
  EXPECT_EQ(none.Links(),
            (Texts{"-1.-1:" + err + "/" + err + "/-1>" + err + "/" + err + "/-1:" + err}));
}

TEST_F(PathWrappers, PathsBeyondTheFirstSizesComeWithTheSecondCall) {
  // From a device with a long name through 100 others to sw3: the names at
  // the near ends need more than the first 10000 bytes.
  const std::string start(100, 'L');
  ASSERT_EQ(Text("PVSSInsertFunctionalDevice",
                 {"DAQ", start.c_str(), "SWITCH", 1, 0, "SN-L", "hw", "", "", "", 0}),
            "Successful insertion");
  testdb::exec(
      "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, system_name) "
      "select 'm' || g, devicetypeID, 5000 + g, 0, 2 from vexa_lg_device_types, "
      "generate_series(1, 100) g;"
      "insert into vexa_port_properties(portid, deviceid, port_nbr, port_way) "
      "select 6000 + g, deviceid, 'o' || g, 2 from vexa_lg_devices, generate_series(1, 100) g "
      "where devicename = '" +
      start +
      "' union all "
      "select 7000 + g, 5000 + g, 'i', 1 from generate_series(1, 100) g union all "
      "select 8000 + g, 5000 + g, 'o', 2 from generate_series(1, 100) g union all "
      "select 9000 + g, deviceid, 'i' || g, 1 from vexa_lg_devices, generate_series(1, 100) g "
      "where devicename = 'sw3';"
      "insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, link_type, "
      "bidirectional_link_used, link_weight, lkused, system_name) "
      "select 10000 + g, 6000 + g, 7000 + g, 1, 0, 1, 1, 2 from generate_series(1, 100) g "
      "union all select 20000 + g, 8000 + g, 9000 + g, 1, 0, 1, 1, 2 "
      "from generate_series(1, 100) g");
  Paths paths;
  ASSERT_EQ(Between(start.c_str(), "sw3", paths), 0) << paths.err.getValue();
  EXPECT_EQ(Elements(&paths.nfrom).size(), 200u);
  EXPECT_EQ(Elements(&paths.pathid).back(), "99");
  EXPECT_EQ(Elements(&paths.nto).back(), "sw3");
}

TEST_F(PathWrappers, FromPortsAlone) {
  DynVar ports(kTextVariable);
  TextVar err;
  auto out = [&](const char* to, int type_given) {
    return Int("PVSSGetConnOutBetweenDeviceDeviceType",
               {"sw1", to, type_given, Arg::Of(ports), Arg::Of(err)});
  };
  ports.append(TextVar("kept"));
  EXPECT_EQ(out("sw3", 2), -1);
  EXPECT_STREQ(err.getValue(),
               "dtype_given is 1 if it's the devtype you give or 0 if it's a fixed part");
  EXPECT_EQ(Elements(&ports), (Texts{"kept"})) << "refused before anything else";
  EXPECT_EQ(out("sw3", 0), 0);
  EXPECT_EQ(Elements(&ports), (Texts{"1|none", "2|eth"}));
  EXPECT_EQ(out("SWITCH", 1), 0);
  EXPECT_EQ(Elements(&ports), (Texts{"1|none"}));
  EXPECT_EQ(out("nothing", 0), -1);
  const Texts failed = Elements(&ports);
  ASSERT_EQ(failed.size(), 2u);
  EXPECT_EQ(failed[0], err.getValue());
}

}  // namespace
