// The inserts of link types, spare hardware, board components and test
// boards against the private database: the checks (the first or the last
// failing one stands, as each function says), lists passed as joined or
// packed texts, and location and comments each in its own column.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin_db_fixture.h"

namespace {

using Texts = std::vector<std::string>;

DynVar TextList(std::initializer_list<const char*> texts) {
  DynVar list(kAnyVariable);
  for (const char* text : texts) list.append(TextVar(text));
  return list;
}

DynVar IntList(std::initializer_list<int> values) {
  DynVar list(kAnyVariable);
  for (int value : values) list.append(IntegerVar(value));
  return list;
}

class HardwareInsertWrappers : public PluginDbTest {};

TEST_F(HardwareInsertWrappers, LinkTypesSimpleAndComposite) {
  EXPECT_EQ(Text("PVSSInsertSimpleLinkType", {"d", 2}), "Error:No lktype given");
  EXPECT_EQ(Text("PVSSInsertSimpleLinkType", {"data", 2}), "Error:last_rows is 1 or 0");
  EXPECT_EQ(Text("PVSSInsertSimpleLinkType", {"data", 1}), "Successful insertion");
  EXPECT_EQ(Text("PVSSInsertMultipleSimpleLinkTypes", {"ctrl", 2, 1}),
            "Error:last_rows and first time are equal to 1 or 0");
  EXPECT_EQ(Text("PVSSInsertMultipleSimpleLinkTypes", {"ctrl", 1, 1}), "Successful insertion");

  const DynVar none = TextList({});
  const DynVar both = TextList({"data", "ctrl"});
  EXPECT_EQ(Text("PVSSInsertCompositeLinkType", {"x", Arg::Value(none), 5}),
            "Error:No lktype given");
  EXPECT_EQ(Text("PVSSInsertCompositeLinkType", {"mixed", Arg::Value(none), 5}),
            "Error:last_rows is 1 or 0");
  EXPECT_EQ(Text("PVSSInsertCompositeLinkType", {"mixed", Arg::Value(none), 1}),
            "Error:list of link is empty");
  EXPECT_EQ(Text("PVSSInsertCompositeLinkType", {"mixed", Arg::Value(both), 1}),
            "Successful insertion");
  // One type alone would give its number a second holder.
  EXPECT_EQ(Text("PVSSInsertMultipleCompositeLinkTypes",
                 {"again", Arg::Value(TextList({"mixed"})), 1, 1}),
            "ERROR in InsertMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Text("PVSSInsertMultipleCompositeLinkTypes",
                 {"twice", Arg::Value(TextList({"ctrl"})), 1, 1}),
            "ERROR in InsertMultipleCompositeLinkTypes : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Text("PVSSInsertMultipleCompositeLinkTypes", {"x2", Arg::Value(none), 1, 1}),
            "Error:list of link is empty");
  EXPECT_EQ(testdb::column("select link_name || '=' || link_nbr from vexa_link_types "
                           "order by link_nbr, link_name"),
            (Texts{"data=2", "ctrl=3", "mixed=6"}));
}

TEST_F(HardwareInsertWrappers, CompositePartsKeepTheirQuotesAndCommas) {
  for (const char* name : {"it's", "eth", "a,b"})
    ASSERT_EQ(Text("PVSSInsertSimpleLinkType", {name, 1}), "Successful insertion") << name;
  EXPECT_EQ(Text("PVSSInsertCompositeLinkType",
                 {"CQ", Arg::Value(TextList({"it's", "eth"})), 1}),
            "Successful insertion");
  EXPECT_EQ(Text("PVSSInsertMultipleCompositeLinkTypes",
                 {"CC", Arg::Value(TextList({"a,b", "it's", "it's"})), 1, 1}),
            "Successful insertion");
  EXPECT_EQ(testdb::column("select link_name || '=' || link_nbr from vexa_link_types "
                           "where link_name in ('CQ', 'CC') order by 1"),
            (Texts{"CC=10", "CQ=6"}));
}

TEST_F(HardwareInsertWrappers, SpareDevicesAndComponentsReportTheLastFailingCheck) {
  // hwname, hwtype, serialnb, responsible, location, comments, first, last
  EXPECT_EQ(Text("PVSSInsertMultipleSpareDevices", {"hw", "pc", "", "me", "store", "c", 2, 2}),
            "Error:first is 1 or 0");
  EXPECT_EQ(Text("PVSSInsertMultipleSpareDevices", {"hw", "pc", "", "me", "store", "c", 1, 2}),
            "Error:last is 1 or 0");
  EXPECT_EQ(Text("PVSSInsertSpareDevice", {"hw", "pc", "S", "me", "store", "c", 0}),
            "Error: No serialnb given");
  EXPECT_EQ(Value("select count(*) from vexa_hw_devices"), "0");
  EXPECT_EQ(Text("PVSSInsertSpareDevice", {"hw1", "pc", "SN1", "anna", "store", "fresh", 0}),
            "Successful insertion");
  EXPECT_EQ(
      Text("PVSSInsertMultipleSpareDevices", {"hw2", "pc", "SN2", "bob", "shelf", "old", 1, 1}),
      "Successful insertion");
  EXPECT_EQ(testdb::column("select concat_ws('|', serialnb, hwname, responsible, location, "
                           "user_comments) from vexa_hw_devices order by 1"),
            (Texts{"SN1|hw1|anna|store|fresh", "SN2|hw2|bob|shelf|old"}));

  // cpntname, cpnttype, replacable, motherboardname, serialnb, hwtype,
  // responsible, location, comments, first, last
  auto cpnt = [&](const char* board, const char* location, int replacable, int first, int last) {
    return Text("PVSSInsertMultipleBoardCpnts", {"c1", "asic", replacable, board, "SNc1", "hwt",
                                                 "bob", location, "note", first, last});
  };
  EXPECT_EQ(cpnt("none", "", 0, 1, 1), "Error: you should give a location");
  EXPECT_EQ(cpnt("", "none", 0, 1, 1), "Error: you should give the motherboardname");
  EXPECT_EQ(cpnt("", "none", 2, 2, 2), "Error: you should give the motherboardname");
  EXPECT_EQ(cpnt("none", "shelf", 2, 2, 2), "Error:first is 1 or 0");
  EXPECT_EQ(cpnt("none", "shelf", 2, 1, 1), "Error:replacable is 1 or 0");
  EXPECT_EQ(Value("select count(*) from vexa_hw_cpnts where snbid <> -1"), "0");
  EXPECT_EQ(cpnt("none", "shelf", 1, 1, 1), "Successful insertion");
  EXPECT_EQ(Value("select concat_ws('|', serialnb, hwname, cpnt_status, replacable, location, "
                  "user_comment) from vexa_hw_cpnts where snbid <> -1"),
            "SNc1|c1|2|1|shelf|note");
}

TEST_F(HardwareInsertWrappers, TestBoardListsArePackedWithTheirSizes) {
  const DynVar two_addresses = TextList({"10.0.0.1", "10.0.0.2"});
  const DynVar two_names = TextList({"n1", "n2"});
  const DynVar one_subnet = TextList({"s1"});
  const DynVar two_subnets = TextList({"s1", "s2"});
  const DynVar ports = TextList({"p1", "p2"});
  const DynVar types = TextList({"eth"});
  // location, ipaddList, ipnameList, subnetList, portnbList,
  // port_typeList, port_wayList, last
  auto board = [&](const DynVar& subnets, const DynVar& ways, int last) {
    return Text("PVSSInsertTestFunctionalDevice",
                {"lab", Arg::Value(two_addresses), Arg::Value(two_names), Arg::Value(subnets),
                 Arg::Value(ports), Arg::Value(types), Arg::Value(ways), last});
  };
  EXPECT_EQ(board(one_subnet, IntList({1, 2}), 0),
            "nb of ipadd, nb of subnet and nb of ipname should be equal");
  EXPECT_EQ(board(two_subnets, IntList({1}), 0),
            "nb of  nb of portnb and nb of port_way should be equal");
  EXPECT_EQ(board(one_subnet, IntList({1}), 3),
            "nb of  nb of portnb and nb of port_way should be equal")
      << "the last failing check stands";
  EXPECT_EQ(board(two_subnets, IntList({1, 2}), 3), "Error:last_rows is 1 or 0");
  EXPECT_EQ(Value("select count(*) from vexa_port_properties"), "0");

  EXPECT_EQ(board(two_subnets, IntList({1, 2}), 1), "Successful insertion");
  // A list shorter than the ports (one type for two ports) leaves the
  // second port without a value.
  EXPECT_EQ(testdb::column("select concat_ws('|', p.port_nbr, p.port_way, "
                           "coalesce(p.port_type, '-'), p.ipaddress, i.ipname, i.subnet_info) "
                           "from vexa_port_properties p join vexa_ipinfo i using (ipaddress) "
                           "order by p.portid"),
            (Texts{"p1|1|eth|10.0.0.1|n1|s1", "p2|2|-|10.0.0.2|n2|s2"}));
  EXPECT_EQ(Value("select location from vexa_lg_devices where devicename like 'TESTBOARD%'"),
            "lab");
}

}  // namespace
