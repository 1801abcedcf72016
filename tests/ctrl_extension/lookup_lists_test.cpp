// The list lookups against the private database: integer lists with their
// -1, -1 answer, text lists with the marker of their family, names split
// from their ids, the busy subsystems, and the links inside a board.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plugin_network_fixture.h"

namespace {

using Texts = std::vector<std::string>;

// The lists come in the table's order, which the lookups leave open: a
// table that held many rows before puts new and updated rows wherever it
// has room.
Texts Sorted(Texts texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

// Names and ids given in step, as "name=id" pairs in name order.
Texts Pairs(const Texts& names, const Texts& ids) {
  Texts pairs;
  for (std::size_t i = 0; i < names.size() && i < ids.size(); ++i)
    pairs.push_back(names[i] + "=" + ids[i]);
  return Sorted(pairs);
}

class LookupLists : public PluginNetworkTest {
 protected:
  void SetUp() override {
    PluginNetworkTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    for (const char* name : {"sw1", "sw2", "sw3"}) ids_.push_back(DeviceColumns(name, "deviceid"));
  }
  Texts ids_;
};

TEST_F(LookupLists, IdListsOfDevicesLinksAndPorts) {
  TextVar err;
  EXPECT_EQ(Sorted(List("PVSSGetDeviceIDsPerType", {"SWITCH", Arg::Of(err)})), Sorted(ids_));
  EXPECT_STREQ(err.getValue(), "NO_ERROR in GetDeviceIDsPerType");
  EXPECT_EQ(List("PVSSGetDeviceIDsPerType", {"HUB", Arg::Of(err)}), (Texts{"-1", "-1"}));
  EXPECT_EQ(std::string(err.getValue()), "ERROR in GetDeviceIDsPerType : NO_ROWS_SELECTED");

  const int sw2 = std::stoi(ids_[1]);
  EXPECT_EQ(List("PVSSGetLkFromDevID", {sw2, Arg::Of(err)}), (Texts{LinkFrom("sw2", "linkid")}));
  EXPECT_EQ(List("PVSSGetLkToDevID", {sw2, Arg::Of(err)}), (Texts{LinkFrom("sw1", "linkid")}));
  EXPECT_EQ(List("PVSSGetPortIDPerDevID", {sw2, Arg::Of(err)}).size(), 2u);

  // A failed list holds the failed call's result code.
  Quiet([&] { return ctrl_.Call("PVSSDBDeconnexion", {Arg::Of(err)}); });
  EXPECT_EQ(List("PVSSGetLkToDevID", {sw2, Arg::Of(err)}), (Texts{"-1"}));
  EXPECT_EQ(std::string(err.getValue()), "ERROR in GetLkToDevID : NOT CONNECTED TO ANY DB");
}

TEST_F(LookupLists, TextListsOfADeviceOrAType) {
  EXPECT_EQ(Sorted(List("PVSSGetFreeDeviceNamesPerType", {"SWITCH"})),
            (Texts{"sw1", "sw2", "sw3"}));
  EXPECT_EQ(List("PVSSGetFreeDeviceNamesPerType", {"HUB"}), (Texts{"NO_ROWS_SELECTED"}));
  EXPECT_EQ(List("PVSSGetDestinationNamePerDevPort", {"sw2", "2", "eth"}),
            (Texts{"NO_ROWS_SELECTED"}));
  const Texts ports = List("PVSSGetMacIPAddPerDevID", {std::stoi(ids_[1])});
  ASSERT_EQ(ports.size(), 1u);
  EXPECT_EQ(ports[0].rfind("2|2|eth|", 0), 0u) << "one element per port, fields kept together";

  // Names and ids split into two lists in step.
  DynVar names(kTextVariable), ids(kIntegerVariable);
  names.append(TextVar("left from before"));
  EXPECT_EQ(Int("PVSSGetDeviceNamesPerType", {"SWITCH", Arg::Of(names), Arg::Of(ids)}), 0);
  EXPECT_EQ(Pairs(Elements(&names), Elements(&ids)),
            Pairs({"sw1", "sw2", "sw3"}, ids_));
  EXPECT_EQ(Elements(&ids).size(), 3u);
  EXPECT_EQ(Int("PVSSGetDeviceNamesPerType", {"HUB", Arg::Of(names), Arg::Of(ids)}), 0);
  EXPECT_EQ(Elements(&names), (Texts{"NO_ROWS_SELECTED", "NO_ROWS_SELECTED"}));
  EXPECT_TRUE(Elements(&ids).empty());

  // A failed text list holds the ErrMess text twice.
  TextVar err;
  Quiet([&] { return ctrl_.Call("PVSSDBDeconnexion", {Arg::Of(err)}); });
  const std::string kNotConnected = "ERROR in GetFreeDeviceNamesPerType : NOT CONNECTED TO ANY DB";
  EXPECT_EQ(List("PVSSGetFreeDeviceNamesPerType", {"SWITCH"}),
            (Texts{kNotConnected, kNotConnected}));
  EXPECT_NE(Int("PVSSGetDeviceNamesPerType", {"SWITCH", Arg::Of(names), Arg::Of(ids)}), 0);
  EXPECT_EQ(Elements(&names).size(), 2u);
}

TEST_F(LookupLists, ComponentAndHardwareListsMarkNothingFoundTwice) {
  const std::string sw1 = ids_[0];
  testdb::exec(
      "insert into vexa_hw_cpnts(snbid,serialnb,hwname,hwtype,cpnt_status,replacable,location) "
      "values (71,'K1','c1','asic',1,1,'SN-sw1'),(72,'K2','spare','asic',2,1,'shelf');"
      "insert into vexa_lg_cpnts(cpntname,cpnttype,cpntid,snbid,motherboardid) values "
      "('c1','fpga',81,71," +
      sw1 +
      ");"
      "insert into vexa_hw_devices(serialnb,hwname,hwtype,device_status,location) values "
      "('SP1','box','pc',2,'shelf')");
  const Texts kNone{"NO_ROWS_SELECTED", "NO_ROWS_SELECTED"};
  EXPECT_EQ(List("PVSSGetBoardCpntPerType", {"fpga"}), (Texts{"c1|81"}));
  EXPECT_EQ(List("PVSSGetBoardCpntPerType", {"dsp"}), kNone);
  EXPECT_EQ(List("PVSSGetCpntNamesPerBoard", {"sw1"}), (Texts{"c1"}));
  EXPECT_EQ(List("PVSSGetCpntNamesPerBoard", {"sw2"}), kNone);
  EXPECT_EQ(Sorted(List("PVSSGetDeviceNamesPerLocation", {"rack"})),
            (Texts{"sw1", "sw2", "sw3"}));
  EXPECT_EQ(List("PVSSGetSpareHWPerLocation", {"shelf"}), (Texts{"SP1|box"}));
  EXPECT_EQ(List("PVSSGetSpareHWPerType", {"pc"}), (Texts{"SP1|box"}));
  EXPECT_EQ(List("PVSSGetSpareHWPerType", {"mainframe"}), kNone);
  EXPECT_EQ(List("PVSSGetSpareHWCpntPerLocation", {"shelf"}), (Texts{"72|K2|spare"}));
  EXPECT_EQ(List("PVSSGetSpareHWCpntPerType", {"asic"}).size(), 2u);
  testdb::exec(
      "insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
      "(3, 'mixed', 6)");
  EXPECT_EQ(List("PVSSGetLkTypeDecomposition_lknb", {6}).size(), 2u);
}

// Devices whose names begin with the library's no-rows word, or are that
// word, are devices like any other: the lists hold them all, whatever their
// order. The word alone stands for nothing found only when the library
// says so.
TEST_F(LookupLists, NamesThatBeginWithTheNoRowsWordAreItems) {
  for (const char* type : {"ODD", "LONE"})
    ASSERT_EQ(Text("PVSSInsertDeviceType", {"DAQ", type, 2, 2, "", "", 0}), "Successful insertion");
  for (const char* row : {"NO_ROWS_SELECTED_1|ODD|cellar", "NO_ROWS_SELECTED_2|ODD|cellar",
                          "NO_ROWS_SELECTED|LONE|attic"}) {
    const std::string text(row);
    const std::size_t bar = text.find('|'), second = text.rfind('|');
    const std::string name = text.substr(0, bar), type = text.substr(bar + 1, second - bar - 1),
                      place = text.substr(second + 1);
    // sysname, dname, dtype, node, promiscuous_mode, serialnb, hwtype,
    // responsible, location, comments, last_rows
    ASSERT_EQ(Text("PVSSInsertFunctionalDevice", {"DAQ", name.c_str(), type.c_str(), 0, 0,
                                                  ("SN-" + name).c_str(), "hw", "anna",
                                                  place.c_str(), "", 0}),
              "Successful insertion");
  }
  const Texts odd{"NO_ROWS_SELECTED_1", "NO_ROWS_SELECTED_2"};
  const Texts lone{"NO_ROWS_SELECTED"};
  auto ids_of = [](const Texts& names) {
    Texts ids;
    for (const std::string& name : names) ids.push_back(DeviceColumns(name, "deviceid"));
    return ids;
  };

  DynVar names(kTextVariable), ids(kIntegerVariable);
  EXPECT_EQ(Int("PVSSGetDeviceNamesPerType", {"ODD", Arg::Of(names), Arg::Of(ids)}), 0);
  EXPECT_EQ(Pairs(Elements(&names), Elements(&ids)), Pairs(odd, ids_of(odd)));
  EXPECT_EQ(Elements(&ids).size(), 2u);
  EXPECT_EQ(Int("PVSSGetDeviceNamesPerType", {"LONE", Arg::Of(names), Arg::Of(ids)}), 0);
  EXPECT_EQ(Elements(&names), lone);
  EXPECT_EQ(Elements(&ids), ids_of(lone));

  EXPECT_EQ(Sorted(List("PVSSGetDeviceNamesPerLocation", {"cellar"})), odd);
  EXPECT_EQ(List("PVSSGetDeviceNamesPerLocation", {"attic"}), lone);
  EXPECT_EQ(Sorted(List("PVSSGetFreeDeviceNamesPerType", {"ODD"})), odd);
  EXPECT_EQ(List("PVSSGetFreeDeviceNamesPerType", {"LONE"}), lone);

  // A list of one item that begins with the word: the history row that the
  // insert wrote.
  const Texts history =
      List("PVSSGetHistoryOfFunctionalDevice", {"NO_ROWS_SELECTED_1", "none", "none"});
  ASSERT_EQ(history.size(), 1u);
  EXPECT_EQ(history[0].rfind("NO_ROWS_SELECTED_1|SN-NO_ROWS_SELECTED_1|IN_USE|", 0), 0u)
      << history[0];

  // Nothing found still reads as before, in both families of markers.
  EXPECT_EQ(List("PVSSGetDeviceNamesPerLocation", {"nowhere"}),
            (Texts{"NO_ROWS_SELECTED", "NO_ROWS_SELECTED"}));
  EXPECT_EQ(List("PVSSGetFreeDeviceNamesPerType", {"HUB"}), (Texts{"NO_ROWS_SELECTED"}));
  EXPECT_EQ(Int("PVSSGetDeviceNamesPerType", {"HUB", Arg::Of(names), Arg::Of(ids)}), 0);
  EXPECT_EQ(Elements(&names), (Texts{"NO_ROWS_SELECTED", "NO_ROWS_SELECTED"}));
  EXPECT_TRUE(Elements(&ids).empty());
}

TEST_F(LookupLists, BusySubsystemsAnswerInTheNameList) {
  testdb::exec("update vexa_lg_devices set active = 1 where devicename = 'sw1'");
  // The names asked for are replaced by those that have devices.
  DynVar names(kAnyVariable), statuses(kAnyVariable);
  for (const char* name : {"TFC", "DAQ", "ECS"}) names.append(TextVar(name));
  statuses.append(IntegerVar(9));
  EXPECT_EQ(Int("PVSSGetStatusSubsystem", {Arg::Of(names), Arg::Of(statuses)}), 0);
  Texts busy = Elements(&names);
  std::sort(busy.begin(), busy.end());
  EXPECT_EQ(busy, (Texts{"DAQ", "TFC"}));
  EXPECT_EQ(Elements(&statuses), (Texts{"1", "1"}));

  // Nothing busy: the marker twice after the names asked for.
  DynVar quiet(kAnyVariable);
  quiet.append(TextVar("ECS"));
  EXPECT_EQ(Int("PVSSGetStatusSubsystem", {Arg::Of(quiet), Arg::Of(statuses)}), 0);
  EXPECT_EQ(Elements(&quiet), (Texts{"ECS", "NO_ROWS_SELECTED", "NO_ROWS_SELECTED"}));
  EXPECT_TRUE(Elements(&statuses).empty());

  // A name holding a quote reaches the library as one name.
  DynVar odd(kAnyVariable);
  odd.append(TextVar("D'AQ"));
  EXPECT_EQ(Int("PVSSGetStatusSubsystem", {Arg::Of(odd), Arg::Of(statuses)}), 0);
  EXPECT_EQ(Elements(&odd), (Texts{"D'AQ", "NO_ROWS_SELECTED", "NO_ROWS_SELECTED"}));

  // A list the library refuses: -1 and its text twice.
  DynVar none(kAnyVariable);
  EXPECT_EQ(Int("PVSSGetStatusSubsystem", {Arg::Of(none), Arg::Of(statuses)}), -1);
  const Texts refused = Elements(&none);
  ASSERT_EQ(refused.size(), 2u);
  EXPECT_EQ(refused[0], "ERROR in GetBusySubsystems : INVALID SYSTEMLIST");
}

TEST_F(LookupLists, LinksInsideABoardWithTheirMarkerInTheTextArgument) {
  const std::string sw1 = ids_[0];
  testdb::exec(
      "insert into vexa_lg_cpnts(cpntname,cpnttype,cpntid,motherboardid) values "
      "('c1','fpga',81," +
      sw1 + "),('c2','fpga',82," + sw1 +
      ");"
      "insert into vexa_microscopic_connectivity(linkid,cpntidfrom,portidfrom,cpntidto,"
      "portidto,link_type,lkused) select g,81,g,82,g,1,1 "
      "from generate_series(1, 2500) g");
  TextVar text;
  // cpntid, motherboard (-1: by component), text
  EXPECT_TRUE(List("PVSSGetMicroLkFromCpntID", {82, -1, Arg::Of(text)}).empty());
  EXPECT_STREQ(text.getValue(), "NO_ROWS_SELECTED");
  // 2500 links need a second call with the count written back.
  // The ids come in the table's order, which the lookup leaves open.
  const Texts from = List("PVSSGetMicroLkFromCpntID", {81, -1, Arg::Of(text)});
  ASSERT_EQ(from.size(), 2500u);
  std::vector<int> ids;
  for (const std::string& id : from) ids.push_back(std::stoi(id));
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids.front(), 1);
  EXPECT_EQ(ids.back(), 2500);
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
  EXPECT_STREQ(text.getValue(), "NO_ERROR in GetMicroLkFromCpntID");
  EXPECT_EQ(List("PVSSGetMicroLkToCpntID", {82, -1, Arg::Of(text)}).size(), 2500u);

  TextVar err;
  Quiet([&] { return ctrl_.Call("PVSSDBDeconnexion", {Arg::Of(err)}); });
  EXPECT_TRUE(List("PVSSGetMicroLkToCpntID", {82, -1, Arg::Of(text)}).empty());
  EXPECT_STREQ(text.getValue(), "ERROR in GetMicroLkToCpntID : NOT CONNECTED TO ANY DB");
}

}  // namespace
