// Whole-table loads with their subsystem filters and capacity tests.
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "path_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class WholeTables : public PathTest {
 protected:
  void SetUp() override {
    PathTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    Device("A", 1, 2);
    Device("B", 2, 6);
    Device("C", 3, 3);
    Device("X", 4, 5);
    Link(1, "A", "B", LinkOptions().subsystems(2).info("a?b"));
    Link(2, "B", "C", LinkOptions().subsystems(3).unused());
    Link(3, "B", "X", LinkOptions().bidirectional().subsystems(6));
    Link(4, "C", "X", LinkOptions().subsystems(5));
  }

  struct Links {
    int rc;
    std::map<int, std::string> rows;  // linkid -> "from>to pfrom pto bidir lkused type info"
    int len[4];                       // len_array, len_pfrom, len_pto, len_lkinfo
  };

  Links LoadLinks(const char* systems, int rows = 100, int bytes = 1000) {
    std::vector<int> id(100, -7), from(100), to(100), bidir(100), used(100), type(100);
    std::vector<char> pfrom(1000, '#'), pto(1000, '#'), info(1000, '#');
    Links out{};
    out.len[0] = rows;
    out.len[1] = out.len[2] = out.len[3] = bytes;
    out.rc = Quietly([&] {
      return LoadConnectivityTable(systems, &out.len[0], id.data(), from.data(), to.data(),
                                   &out.len[1], &out.len[2], pfrom.data(), pto.data(),
                                   bidir.data(), used.data(), type.data(), info.data(),
                                   &out.len[3], err_);
    });
    if (id[0] == -7) return out;
    const Texts pf = Unpack(pfrom.data(), out.len[1]), pt = Unpack(pto.data(), out.len[2]);
    const Texts inf = info[0] == '#' ? Texts(out.len[0], "?") : Unpack(info.data(), out.len[3]);
    for (int i = 0; i < out.len[0]; ++i)
      out.rows[id[i]] = std::to_string(from[i]) + ">" + std::to_string(to[i]) + " " + pf.at(i) +
                        " " + pt.at(i) + " " + std::to_string(bidir[i]) +
                        std::to_string(used[i]) + std::to_string(type[i]) + " " + inf.at(i);
    return out;
  }

  static std::vector<int> Keys(const std::map<int, std::string>& rows) {
    std::vector<int> keys;
    for (const auto& [k, v] : rows) keys.push_back(k);
    return keys;
  }
};

TEST_F(WholeTables, LinksOfTheChosenSubsystemsUsedOrNot) {
  Links all = LoadLinks("ALL");
  ASSERT_EQ(all.rc, 0) << err_;
  EXPECT_STREQ(err_, "NO_ERROR in LoadConnectivityTable");
  EXPECT_EQ(all.rows[1], "1>2 o1|none i1|t 011 a?b") << "link_info whole, its '?' too";
  EXPECT_EQ(all.rows[2], "2>3 o2|none i2|t 001 none") << "an unused link is there too";
  EXPECT_EQ(all.rows[3], "2>4 o3|none i3|t 111 none");
  EXPECT_EQ(all.len[0], 4);

  // A link belongs to a subsystem when its set is a multiple of the prime.
  EXPECT_EQ(Keys(LoadLinks("DAQ").rows), (std::vector<int>{1, 3}));
  EXPECT_EQ(Keys(LoadLinks("TFC").rows), (std::vector<int>{2, 3}));
  Links list = LoadLinks("DAQ,TFC");
  EXPECT_EQ(list.len[0], 3) << "a link in two listed subsystems comes once";
  EXPECT_EQ(Keys(list.rows), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Keys(LoadLinks("ALLTOGETHER").rows), (std::vector<int>{1, 2, 3, 4}));

  EXPECT_EQ(LoadLinks(nullptr).rc, -1);
  EXPECT_STREQ(err_, "ERROR in LoadConnectivityTable : systemnameList is null");
  Links none = LoadLinks("P,Q");
  EXPECT_EQ(none.rc, 0);
  EXPECT_STREQ(err_, "ERROR in LoadConnectivityTable : NO_ROWS_SELECTED");
  EXPECT_EQ(none.len[0], 0);
}

// A list with an empty name is refused by each load as a null one is,
// where "DAQ," loaded DAQ's rows and "," none. "ALL" is read before the
// names; an empty text names no subsystem and selects every row.
TEST_F(WholeTables, ListWithAnEmptyNameIsRefusedByEveryLoad) {
  for (const char* list : {"DAQ,", ",DAQ", "DAQ,,TFC", ","}) {
    EXPECT_EQ(LoadLinks(list).rc, -1) << list;
    EXPECT_STREQ(err_, "ERROR in LoadConnectivityTable : systemnameList is null") << list;
    std::vector<int> ids(8, -7);
    char names[64];
    int len_array = 8, len_buf = sizeof names;
    EXPECT_EQ(Quietly([&] {
                return MatchDeviceIDDeviceName(list, &len_array, ids.data(), &len_buf, names,
                                               err_);
              }),
              -1) << list;
    EXPECT_STREQ(err_, "ERROR in MatchDeviceIDDeviceName : systemnameList is null") << list;
    EXPECT_EQ(Quietly([&] {
                return LoadDeviceTypeTable(list, &len_buf, names, &len_array, ids.data(), err_);
              }),
              -1) << list;
    EXPECT_STREQ(err_, "ERROR in LoadDeviceTypeTable : systemnameList is null") << list;
    EXPECT_EQ(ids[0], -7) << list;
  }
  EXPECT_EQ(Keys(LoadLinks("ALL,").rows), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(Keys(LoadLinks("").rows), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(WholeTables, EachLinkOutputIsCopiedWhenItFits) {
  Links exact = LoadLinks("DAQ", 2);
  ASSERT_EQ(exact.rc, 0) << "a capacity equal to the need is enough";
  const int need[4] = {2, 16, 10, 9};  // rows; "o1|none","o3|none"; "i1|t","i3|t"; "a?b","none"
  for (int i = 0; i < 4; ++i) EXPECT_EQ(exact.len[i], need[i]);

  // Only link_info too small: the others are still copied.
  std::vector<int> id(8, -7), from(8), to(8), bidir(8), used(8), type(8);
  std::vector<char> pfrom(64, '#'), pto(64, '#'), info(64, '#');
  int len_array = 8, len_pfrom = 64, len_pto = 64, len_info = need[3] - 1;
  EXPECT_EQ(Quietly([&] {
              return LoadConnectivityTable("DAQ", &len_array, id.data(), from.data(), to.data(),
                                           &len_pfrom, &len_pto, pfrom.data(), pto.data(),
                                           bidir.data(), used.data(), type.data(), info.data(),
                                           &len_info, err_);
            }),
            -1);
  EXPECT_STREQ(err_, "ERROR in LoadConnectivityTable : BUFFER_TOO_SMALL");
  EXPECT_EQ(len_info, need[3]);
  EXPECT_EQ(info[0], '#');
  EXPECT_EQ(len_array, 2);
  EXPECT_NE(id[0], -7);
  EXPECT_EQ(len_pfrom, need[1]);
  EXPECT_EQ(pfrom[0], 'o');

  Links negative = LoadLinks("DAQ", INT_MIN, -1);
  EXPECT_EQ(negative.rc, -1);
  EXPECT_EQ(negative.len[0], 2);
  EXPECT_EQ(negative.len[3], need[3]);
}

TEST_F(WholeTables, DevicesWithoutTheSpecialRowAndStrictNames) {
  std::vector<int> ids(8, -7);
  char names[64];
  int len_array = 8, len_buf = sizeof names;
  ASSERT_EQ(Quietly([&] {
              return MatchDeviceIDDeviceName("ALL", &len_array, ids.data(), &len_buf, names, err_);
            }),
            0)
      << err_;
  EXPECT_EQ(len_array, 4) << "the device -1 never comes";
  std::vector<std::string> got = Unpack(names, len_buf);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (Texts{"A", "B", "C", "X"}));

  // "A\0B\0": a length equal to the need does not fit the names; the ids
  // are copied all the same.
  ids.assign(8, -7);
  std::memset(names, '#', sizeof names);
  len_array = 2;
  len_buf = 4;
  EXPECT_EQ(Quietly([&] {
              return MatchDeviceIDDeviceName("DAQ", &len_array, ids.data(), &len_buf, names, err_);
            }),
            -1);
  EXPECT_STREQ(err_, "ERROR in MatchDeviceIDDeviceName : BUFFER_TOO_SMALL");
  EXPECT_EQ(len_buf, 4);
  EXPECT_EQ(names[0], '#');
  EXPECT_EQ(len_array, 2);
  EXPECT_NE(ids[0], -7);

  len_array = 8;
  len_buf = sizeof names;
  EXPECT_EQ(Quietly([&] {
              return MatchDeviceIDDeviceName("nobody,here", &len_array, ids.data(), &len_buf,
                                             names, err_);
            }),
            0);
  EXPECT_STREQ(err_, "ERROR in MatchDeviceIDDeviceName : NO_ROWS_SELECTED");
}

TEST_F(WholeTables, DeviceTypesNamesFirstThenStrictIds) {
  testdb::exec("update vexa_lg_device_types set system_name = 3 where devicetype = 'HOST'");
  std::vector<int> ids(8, -7);
  char names[64];
  auto load = [&](const char* systems, int len_buf, int len_array) {
    ids.assign(8, -7);
    std::memset(names, '#', sizeof names);
    int lb = len_buf, la = len_array;
    const int rc = Quietly([&] {
      return LoadDeviceTypeTable(systems, &lb, names, &la, ids.data(), err_);
    });
    return std::make_pair(rc, std::make_pair(lb, la));
  };
  // "SWITCH\0HOST\0EMPTYTYPE\0" is 22 bytes; the ids need a capacity above 3.
  EXPECT_EQ(load("ALL", 22, 4), std::make_pair(0, std::make_pair(22, 3)));
  EXPECT_EQ(load("ALL", 21, 4), std::make_pair(-1, std::make_pair(22, 3)));
  EXPECT_EQ(names[0], '#') << "names too small: nothing copied";
  EXPECT_EQ(ids[0], -7);
  EXPECT_EQ(load("ALL", 22, 3), std::make_pair(-1, std::make_pair(22, 3)));
  EXPECT_NE(names[0], '#') << "ids too small: the names are copied";
  EXPECT_EQ(ids[0], -7);
  EXPECT_STREQ(err_, "ERROR in LoadDeviceTypeTable : BUFFER_TOO_SMALL");

  // The list form with more than one subsystem works like the others.
  EXPECT_EQ(load("DAQ,ECS", 64, 8).second.second, 2);
  EXPECT_EQ(load("TFC", 64, 8).second.second, 3);
  EXPECT_EQ(load("DAQ", 64, 8).second.second, 2);
}

TEST_F(WholeTables, LinkTypes) {
  std::vector<int> ids(8, -7);
  char names[64];
  int len_array = 8, len_buf = sizeof names;
  EXPECT_EQ(Quietly([&] { return LoadLinkTypeTable(&len_array, ids.data(), &len_buf, names, err_); }),
            0);
  EXPECT_STREQ(err_, "ERROR in LoadLinkTypeTable : NO_ROWS_SELECTED");
  EXPECT_EQ(len_array, 0);

  testdb::exec("insert into vexa_link_types(linktypeID, link_name, link_nbr) values "
               "(1, 'data', 2), (2, 'control', 3)");
  len_array = 2;
  len_buf = 13;  // "data\0control\0"
  ASSERT_EQ(Quietly([&] { return LoadLinkTypeTable(&len_array, ids.data(), &len_buf, names, err_); }),
            0)
      << err_;
  EXPECT_EQ(len_array, 2);
  std::vector<std::string> got = Unpack(names, len_buf);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (Texts{"control", "data"}));
}

// Subsystem sets of 0 (a link or device without subsystem, or a subsystem
// whose id is 0) pass every statement without a division error.
TEST_F(WholeTables, ZeroSubsystemSetsNeverFailAStatement) {
  testdb::exec("insert into vexa_subsystemList(system_name, systemID) values ('NIL', 0)");
  char err[ferrule::kErrMessMax];
  Quietly([&] { return DBDeconnexion(err); });
  ASSERT_EQ(Quietly([&] {
              return DBConnexion(params_.server.c_str(), params_.user.c_str(),
                                 params_.password.c_str(), err);
            }),
            0);
  Device("Z", 9, 0);
  Link(9, "A", "Z", LinkOptions().weight(2).subsystems(0));

  EXPECT_EQ(Keys(LoadLinks("DAQ").rows), (std::vector<int>{1, 3, 9}));
  EXPECT_EQ(Keys(LoadLinks("DAQ,NIL").rows), (std::vector<int>{1, 3, 9}));
  EXPECT_EQ(AllPaths("DAQ,NIL", "A"), (std::vector<std::string>{"0:9"}));
  EXPECT_EQ(AllPaths("DAQ", "A"), (std::vector<std::string>{"0:9"}));
  EXPECT_EQ(Routes("A", "Z"), (std::vector<std::string>{"A>Z"}));
  EXPECT_EQ(Routes("Z", "B"), (std::vector<std::string>{
                                  "ERROR in GetDetailedConnBetweenDeviceDevType : "
                                  "Not existent device"}));
}

}  // namespace
