// Texts that hold '?' and '|' entered through the plug-in's own inserts and
// read back through the CTRL functions that pass the library's items and
// rows on, or split "name|id" items: each comes back whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plugin_db_fixture.h"

namespace {

using Texts = std::vector<std::string>;

Texts Sorted(Texts texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

// QM?DEV|B| (DAQ, port o?1|q out, type et?h|u) -> QM?DEV|A (DAQ, a node,
// hardware SN?1|A, port in?1|p in, type et?h|t): link type lk?a|b, info
// li?nk|info. Both of type QM?TYPE|1, at locations beginning "rack?".
class MarkedValuesThroughCtrl : public PluginDbTest {
 protected:
  void SetUp() override {
    PluginDbTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    // systems, name, nbrofinput, nbrofoutput, description, rgbcolor, last_rows
    ASSERT_EQ(
        Text("PVSSInsertDeviceType", {"DAQ", "QM?TYPE|1", 2, 2, "is it? yes|no", "#0?0|0", 0}),
        "Successful insertion");
    // sysname, dname, dtype, node, promiscuous_mode, serialnb, hwtype,
    // responsible, location, comments, last_rows
    ASSERT_EQ(Text("PVSSInsertFunctionalDevice", {"DAQ", "QM?DEV|A", "QM?TYPE|1", 1, 0, "SN?1|A",
                                                  "hw?type", "who?|me", "rack?5|B", "", 0}),
              "Successful insertion");
    ASSERT_EQ(Text("PVSSInsertFunctionalDevice", {"DAQ", "QM?DEV|B|", "QM?TYPE|1", 0, 0, "SN2?",
                                                  "hw?type", "", "rack?6|C|", "", 0}),
              "Successful insertion");
    // dname, pt_nb, pt_type, pway, bia, ipname, ipadd, subnet, macadd,
    // pxibooting, speed, phy, admin_status, last_rows
    ASSERT_EQ(Text("PVSSInsertPort", {"QM?DEV|A", "in?1|p", "et?h|t", 1, "bi?a|b", "ip?name|a",
                                      "10.0?0.1|a", "sub?net|a", "ma?c|d", 0, 100, "ph?y", 1, 0}),
              "Successful insertion");
    ASSERT_EQ(Text("PVSSInsertPort", {"QM?DEV|B|", "o?1|q", "et?h|u", 2, "bi?a|e", "ip?name|b",
                                      "10.0?0.2|b", "sub?net|b", "ma?c|f", 0, 100, "ph?y", 1, 0}),
              "Successful insertion");
    testdb::exec(
        "insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
        "(1, 'lk?a|b', 2)");
    // node_from, node_to, port_from, port_typefrom, port_to, port_typeto,
    // link_type_name, bidirectional_link, link_info, last_rows
    ASSERT_EQ(Text("PVSSInsertMacroLink", {"QM?DEV|B|", "QM?DEV|A", "o?1|q", "et?h|u", "in?1|p",
                                           "et?h|t", "lk?a|b", 1, "li?nk|info", 0}),
              "Successful insertion");
    device_a_ =
        std::stoi(Value("select deviceid from vexa_lg_devices where devicename='QM?DEV|A'"));
    device_b_ =
        std::stoi(Value("select deviceid from vexa_lg_devices where devicename='QM?DEV|B|'"));
  }
  int device_a_ = 0, device_b_ = 0;
};

TEST_F(MarkedValuesThroughCtrl, NamesSplitFromTheirIdsAtTheLastBar) {
  DynVar names(kTextVariable), ids(kIntegerVariable);
  ASSERT_EQ(Int("PVSSGetDeviceNamesPerType", {"QM?TYPE|1", Arg::Of(names), Arg::Of(ids)}), 0);
  const Texts name_list = Elements(&names), id_list = Elements(&ids);
  ASSERT_EQ(name_list.size(), 2u);
  ASSERT_EQ(id_list.size(), 2u);
  Texts pairs;
  for (std::size_t i = 0; i < 2; ++i) pairs.push_back(name_list[i] + "=" + id_list[i]);
  EXPECT_EQ(Sorted(pairs), (Texts{"QM?DEV|A=" + std::to_string(device_a_),
                                  "QM?DEV|B|=" + std::to_string(device_b_)}));
}

struct ListCase {
  const char* function;
  const char* key;
  Texts items;
};

TEST_F(MarkedValuesThroughCtrl, ListsAndRowsPassEveryTextWhole) {
  const ListCase cases[] = {
      {"PVSSGetFreeDeviceNamesPerType", {"QM?TYPE|1"}, {"QM?DEV|A", "QM?DEV|B|"}},
      {"PVSSGetDeviceNamesPerLocation", {"rack?"}, {"QM?DEV|A", "QM?DEV|B|"}},
      {"PVSSGetSpareHWPerType", {"hw?type"}, {"SN2?|none", "SN?1|A|none"}},
  };
  for (const ListCase& c : cases)
    EXPECT_EQ(Sorted(List(c.function, {c.key})), c.items) << c.function;
  EXPECT_EQ(List("PVSSGetMacIPAddPerDevID", {device_a_}),
            (Texts{"in?1|p|1|et?h|t|ma?c|d|10.0?0.1|a"}));
  EXPECT_EQ(Text("PVSSGetDeviceName_deviceid", {device_b_}), "QM?DEV|B|");
  EXPECT_EQ(Text("PVSSGetDeviceTypeRow", {"QM?TYPE|1"}).substr(0, 30),
            "|devicetype (C):QM?TYPE|1 |dev");
  const std::string row =
      Text("PVSSGetMacroConnectivityRow_lkid",
           {std::stoi(Value("select max(linkid) from vexa_macroscopic_connectivity"))});
  for (const char* field : {"|node_from (C):QM?DEV|B| |", "|port_nbrto (C):in?1|p |",
                            "|link_type (C):lk?a|b |", "|link_info (C):li?nk|info |"})
    EXPECT_NE(row.find(field), std::string::npos) << field << " in " << row;
}

TEST_F(MarkedValuesThroughCtrl, PathAndRoutingListsHoldEveryTextWhole) {
  DynVar nfrom(kTextVariable), pfrom(kTextVariable), nto(kTextVariable), pto(kTextVariable),
      info(kTextVariable), way_from(kIntegerVariable), way_to(kIntegerVariable),
      pathid(kIntegerVariable), link_pos(kIntegerVariable);
  TextVar err;
  ASSERT_EQ(Int("PVSSGetDetailedConnectivityBetweenDevices",
                {"QM?DEV|B|", "QM?DEV|A", Arg::Of(nfrom), Arg::Of(nto), Arg::Of(pfrom),
                 Arg::Of(way_from), Arg::Of(pto), Arg::Of(way_to), Arg::Of(pathid),
                 Arg::Of(link_pos), Arg::Of(info), Arg::Of(err)}),
            0)
      << err.getValue();
  EXPECT_EQ(Elements(&nfrom), (Texts{"QM?DEV|B|"}));
  EXPECT_EQ(Elements(&nto), (Texts{"QM?DEV|A"}));
  EXPECT_EQ(Elements(&pfrom), (Texts{"o?1|q|et?h|u"}));
  EXPECT_EQ(Elements(&pto), (Texts{"in?1|p|et?h|t"}));
  EXPECT_EQ(Elements(&info), (Texts{"li?nk|info"}));

  ASSERT_EQ(Int("PVSSCreateRoutingTable", {"QM?DEV|A", 0, Arg::Of(err)}), 0) << err.getValue();
  DynVar names(kAnyVariable), ports(kAnyVariable), next_ips(kAnyVariable),
      destination_ips(kAnyVariable), subnets(kAnyVariable), macs(kAnyVariable);
  ASSERT_EQ(
      Int("PVSSLoadRoutingTable",
          {std::to_string(device_a_).c_str(), Arg::Of(names), Arg::Of(ports), Arg::Of(next_ips),
           Arg::Of(destination_ips), Arg::Of(subnets), Arg::Of(macs), Arg::Of(err)}),
      0)
      << err.getValue();
  EXPECT_EQ(Elements(&names), (Texts{"QM?DEV|B|"}));
  EXPECT_EQ(Elements(&ports), (Texts{"in?1|p|et?h|t|1"}));
  EXPECT_EQ(Elements(&next_ips), (Texts{"10.0?0.2|b"}));
  EXPECT_EQ(Elements(&destination_ips), (Texts{"10.0?0.2|b"}));
  EXPECT_EQ(Elements(&subnets), (Texts{"sub?net|b"}));
  EXPECT_EQ(Elements(&macs), (Texts{"ma?c|d"}));

  ASSERT_EQ(Int("PVSSCreateDestinationTable", {"QM?DEV|B|", 10, Arg::Of(err)}), 0)
      << err.getValue();
  EXPECT_EQ(List("PVSSGetDestinationNamePerDevPort", {"QM?DEV|B|", "o?1|q", "et?h|u"}),
            (Texts{"QM?DEV|A"}));
}

}  // namespace
