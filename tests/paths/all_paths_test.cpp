// Every path that starts at a device and ends on a link of link_weight 2.
#include <climits>
#include <string>
#include <vector>

#include "path_fixture.h"

namespace {

using PathList = std::vector<std::string>;

class PathsPerDevice : public PathTest {
 protected:
  void SetUp() override {
    PathTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    for (const auto& [name, id] : std::vector<std::pair<const char*, int>>{
             {"S", 1}, {"A", 2}, {"B", 3}, {"C", 4}, {"X", 5}})
      Device(name, id);
    for (const auto& [name, id] : std::vector<std::pair<const char*, int>>{
             {"H1", 11}, {"H2", 12}, {"H3", 13}, {"H4", 14}, {"H5", 15}})
      Device(name, id, 6, true);
    Link(1, "S", "A");
    Link(2, "A", "H1", LinkOptions().weight(2));
    Link(3, "S", "H2", LinkOptions().weight(2));  // a first link of weight 2: a path of one link
    Link(4, "A", "X", LinkOptions().weight(1));   // weight 1 after the first link: dead
    Link(5, "X", "H1", LinkOptions().weight(2));
    Link(6, "B", "A");                  // walked from A against its direction: open
    Link(8, "H3", "A", LinkOptions().weight(1));  // reversed from A: weight 2, complete
    Link(9, "S", "C", LinkOptions().weight(3));   // a first link of weight 3 stays open
    Link(10, "C", "H4", LinkOptions().weight(2));
    Link(11, "S", "H5", LinkOptions().weight(2).subsystems(3));
  }
};

TEST_F(PathsPerDevice, EndOnWeightTwoWalkingLinksEitherWay) {
  EXPECT_EQ(AllPaths("ALL", "S"), (PathList{"0:3", "1:11", "2:1,-8", "3:1,2", "4:9,10"}));
  EXPECT_STREQ(err_, "NO_ERROR in GetAllPathsPerDevice");
}

TEST_F(PathsPerDevice, LinksFromTheSourceToItselfBeginNoPath) {
  const PathList without{"0:3", "1:11", "2:1,-8", "3:1,2", "4:9,10"};
  ASSERT_EQ(AllPaths("ALL", "S"), without);
  Link(20, "S", "S");
  Link(21, "S", "S", LinkOptions().bidirectional());
  Link(22, "S", "S", LinkOptions().weight(2));  // would be a path of one link
  Link(23, "S", "S", LinkOptions().weight(1).bidirectional());  // reversed: weight 2
  EXPECT_EQ(AllPaths("ALL", "S"), without);
  EXPECT_EQ(AllPaths("DAQ", "S"), (PathList{"0:3", "1:1,-8", "2:1,2", "3:9,10"}));
}

TEST_F(PathsPerDevice, SubsystemListsChooseTheLinks) {
  EXPECT_EQ(AllPaths("DAQ", "S"), (PathList{"0:3", "1:1,-8", "2:1,2", "3:9,10"}));
  EXPECT_EQ(AllPaths("TFC", "S"), (PathList{"0:11"}));
  EXPECT_EQ(AllPaths("DAQ,TFC", "S"), AllPaths("ALLES", "S"));
  EXPECT_EQ(AllPaths("nothing,known", "S"),
            (PathList{"ERROR in GetAllPathsPerDevice : ERROR in LoadConnectivityTable_InCache : "
                   "NO_ROWS_SELECTED"}));
  EXPECT_EQ(AllPaths(nullptr, "S"),
            (PathList{"ERROR in GetAllPathsPerDevice : ERROR in LoadConnectivityTable_InCache : "
                   "systemnameList is null"}));
  // A list with an empty name is refused as a null one: "DAQ," read as DAQ.
  for (const char* list : {"DAQ,", ",DAQ", "DAQ,,TFC"})
    EXPECT_EQ(AllPaths(list, "S"),
              (PathList{"ERROR in GetAllPathsPerDevice : ERROR in LoadConnectivityTable_InCache : "
                        "systemnameList is null"})) << list;
}

TEST_F(PathsPerDevice, LenArrayIsTheCapacityOfTheThreeArrays) {
  std::vector<int> linkid(8, -99), pathid(8, -99), link_pos(8, -99);
  for (const int capacity : {6, 0, -1, INT_MIN}) {
    int n = capacity;
    EXPECT_EQ(Quietly([&] {
                return GetAllPathsPerDevice("DAQ", "S", &n, linkid.data(), pathid.data(),
                                            link_pos.data(), err_);
              }),
              -1);
    EXPECT_STREQ(err_, "ERROR in GetAllPathsPerDevice : BUFFER_TOO_SMALL");
    EXPECT_EQ(n, 7) << "the need is written back";
    EXPECT_EQ(linkid[0], -99);
  }
  int n = 7;
  ASSERT_EQ(Quietly([&] {
              return GetAllPathsPerDevice("DAQ", "S", &n, linkid.data(), pathid.data(),
                                          link_pos.data(), err_);
            }),
            0)
      << err_;
  EXPECT_EQ(n, 7);
  EXPECT_EQ(linkid[7], -99) << "nothing past the entries";
}

TEST_F(PathsPerDevice, NoPathAndNoDeviceAreFailures) {
  Device("P", 30);
  Device("Q", 31);
  Link(30, "P", "Q");
  std::vector<int> linkid(8), pathid(8), link_pos(8);
  int n = 8;
  EXPECT_EQ(Quietly([&] {
              return GetAllPathsPerDevice("DAQ", "P", &n, linkid.data(), pathid.data(),
                                          link_pos.data(), err_);
            }),
            -1);
  EXPECT_STREQ(err_, "ERROR in GetAllPathsPerDevice : NO_ROWS_SELECTED");
  EXPECT_EQ(n, 0);

  EXPECT_EQ(AllPaths("DAQ", "nobody"),
            (PathList{"ERROR in GetAllPathsPerDevice : GetIndexForTabCHAR_second pb"}));
  EXPECT_EQ(AllPaths("DAQ", nullptr),
            (PathList{"ERROR in GetAllPathsPerDevice : GetIndexForTabCHAR_second pb"}));
}

// From K1, links walked against their stored direction: 63 (weight 1)
// reads 2, 61 (weight 3) reads 0, 64 (weight 2) reads 1.
TEST_F(PathsPerDevice, WeightsAreReadAsWalkedAndOnlyWeightZeroLiesBetween) {
  for (int k = 0; k <= 6; ++k) Device("K" + std::to_string(k), 60 + k, 5);
  const LinkOptions ecs = LinkOptions().subsystems(5);
  Link(60, "K0", "K1", ecs);
  Link(61, "K2", "K1", LinkOptions(ecs).weight(3));
  Link(62, "K2", "K3", LinkOptions(ecs).weight(2));
  Link(63, "K4", "K1", LinkOptions(ecs).weight(1));
  Link(64, "K5", "K1", LinkOptions(ecs).weight(2));
  Link(65, "K5", "K6", LinkOptions(ecs).weight(2));
  Link(66, "K3", "K6", ecs);  // past the path's first link of weight 2

  EXPECT_EQ(AllPaths("ECS", "K0"), (PathList{"0:60,-63", "1:60,-61,62"}));
}

// x_100 comes first in cache order, and no path leaves it.
TEST_F(PathsPerDevice, TheDeviceOfExactlyTheNameGivenIsTheSource) {
  Device("x_100", 40, 5);
  Device("x_10", 41, 5);
  Device("y", 42, 5);
  Device("h", 43, 5, true);
  Link(40, "x_100", "y", LinkOptions().subsystems(5));
  Link(41, "x_10", "h", LinkOptions().weight(2).subsystems(5));
  const PathList none{"ERROR in GetAllPathsPerDevice : NO_ROWS_SELECTED"};

  EXPECT_EQ(AllPaths("ECS", "x_10"), (PathList{"0:41"}));
  EXPECT_EQ(AllPaths("ECS", "x_100"), none);
  // A name no device has: the first device in cache order whose name
  // begins with it.
  EXPECT_EQ(AllPaths("ECS", "x_1"), none);
  testdb::exec("update vexa_lg_devices set devicename = 'z' where devicename = 'x_100'");
  EXPECT_EQ(AllPaths("ECS", "x_10"), (PathList{"0:41"}));
  EXPECT_EQ(AllPaths("ECS", "x_1"), (PathList{"0:41"}));
  // A device of exactly that name without links has no path, whatever the
  // devices whose names begin with it have.
  Device("x", 44, 5);
  EXPECT_EQ(AllPaths("ECS", "x"),
            (PathList{"ERROR in GetAllPathsPerDevice : GetIndexForTabCHAR_second pb"}));
}

TEST_F(PathsPerDevice, PathsOfElevenLinksComeBackWhileLongerOnesAreCut) {
  for (int i = 0; i <= 12; ++i) Device("L" + std::to_string(i), 100 + i, 5);
  for (int i = 0; i < 12; ++i)
    Link(100 + i, "L" + std::to_string(i), "L" + std::to_string(i + 1),
         LinkOptions().weight(i == 10 ? 2 : 0).subsystems(5));
  Device("M", 200, 5);
  Link(200, "L10", "M", LinkOptions().subsystems(5));

  EXPECT_EQ(AllPaths("ECS", "L0"), (PathList{"0:100,101,102,103,104,105,106,107,108,109,110"}));
}

}  // namespace
