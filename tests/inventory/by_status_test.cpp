// Lists of the items in one status now, by subsystem.
#include <cstring>

#include "inventory_fixture.h"

class ByStatusTest : public InventoryTest {
 protected:
  void SetUp() override {
    InventoryTest::SetUp();
    Device("d_daq", "A1", 2);
    Device("d_both", "A2", 6);
    Device("d_tfc_empty", "", 3);
    Device("d_daq_empty", "", 2);
    Device("d_nosys", "", 2);
    testdb::exec("update vexa_lg_devices set system_name=NULL where devicename='d_nosys'");
    Hardware("S1", 2);
    Hardware("S2", 2);
    Hardware("R1", 5);
    Hardware("X1", 4);
    Device("tb", "T1", 2);
    testdb::exec("update vexa_hw_devices set device_status=3 where serialnb='T1'");
  }
  std::vector<std::string> Devices(const char* systems, const char* status) {
    return List([&](char* list, int* len) {
      return GetFunctionalDeviceByStatus(systems, status, len, list, err_);
    });
  }
  std::vector<std::string> Serials(const char* systems, const char* status) {
    return List([&](char* list, int* len) {
      return GetHWDeviceByStatus(systems, status, len, list, err_);
    });
  }
  using Rows = std::vector<std::string>;
};

TEST_F(ByStatusTest, FunctionalDevicesOfEveryNamedSubsystem) {
  EXPECT_EQ(Devices("all", "NONE"), (Rows{"d_daq_empty", "d_tfc_empty"}));
  EXPECT_EQ(Err(err_), "NO_ERROR in GetFunctionalDeviceByStatus");
  EXPECT_EQ(Devices("", "NONE"), (Rows{"d_daq_empty", "d_tfc_empty"}));
  EXPECT_EQ(Devices("DAQ", "NONE"), (Rows{"d_daq_empty"}));
  // Hardware under test is not in use.
  EXPECT_EQ(Devices("DAQ", "IN_USE"), (Rows{"d_both", "d_daq"}));
  EXPECT_EQ(Devices("DAQ,TFC", "IN_USE"), (Rows{"d_both"}));
  // A subsystem named twice is one subsystem.
  EXPECT_EQ(Devices("DAQ,DAQ", "IN_USE"), (Rows{"d_both", "d_daq"}));
  EXPECT_EQ(Serials("TFC,DAQ,TFC", "IN_USE"), (Rows{"A2"}));
  // An unknown first name stands for every subsystem.
  EXPECT_EQ(Devices("XYZ,TFC", "IN_USE_NOW"), (Rows{"d_both", "d_daq"}));
  EXPECT_EQ(Devices("ECS", "NONE"), (Rows{"NO_ROWS_SELECTED"}));
  EXPECT_EQ(Err(err_), "ERROR in GetFunctionalDeviceByStatus : NO_ROWS_SELECTED");

  EXPECT_EQ(Devices("DAQ", "SPARE"), (Rows{"-1: ERROR in GetFunctionalDeviceByStatus :  INVALID "
                                           "STATUS"}));
  EXPECT_EQ(Devices(nullptr, "NONE"), (Rows{"-1: ERROR in GetFunctionalDeviceByStatus :  system "
                                            "name MUSTNOT BE NULL"}));
}

// A list with an empty name is refused as a null one is, where "DAQ," read
// as DAQ and ",DAQ" as every subsystem. The hardware lists read the list
// for IN_USE only.
TEST_F(ByStatusTest, ListWithAnEmptyNameIsRefused) {
  for (const char* list : {"DAQ,", ",DAQ", "DAQ,,TFC", ","}) {
    EXPECT_EQ(Devices(list, "IN_USE"), (Rows{"-1: ERROR in GetFunctionalDeviceByStatus :  system "
                                             "name MUSTNOT BE NULL"})) << list;
    EXPECT_EQ(Serials(list, "IN_USE"),
              (Rows{"-1: ERROR in GetHWDeviceByStatus :  system name MUSTNOT BE NULL"})) << list;
    EXPECT_EQ(Serials(list, "SPARE"), (Rows{"S1", "S2"})) << list;
  }
  // "all" is read before the names.
  EXPECT_EQ(Devices("all,", "NONE"), (Rows{"d_daq_empty", "d_tfc_empty"}));
}

TEST_F(ByStatusTest, HardwareAndComponentsByStatus) {
  EXPECT_EQ(Serials("TFC", "IN_USE"), (Rows{"A2"}));
  // Other statuses ignore the subsystems; words are matched by their start.
  EXPECT_EQ(Serials("nonsense", "SPARE"), (Rows{"S1", "S2"}));
  EXPECT_EQ(Serials("all", "IN_REP"), (Rows{"R1"}));
  EXPECT_EQ(Serials("all", "TESTING"), (Rows{"T1"}));
  for (const char* refused : {"NONE", "in_use", "EXT"})
    EXPECT_EQ(Serials("all", refused), (Rows{"-1: ERROR in GetHWDeviceByStatus : INVALID STATUS"}));
  EXPECT_EQ(Serials(nullptr, "SPARE"),
            (Rows{"-1: ERROR in GetHWDeviceByStatus :  system name MUSTNOT BE NULL"}));

  HwCpnt("K1", "k", 2, "shelf");
  testdb::exec("insert into vexa_hw_cpnts(snbid,cpnt_status) values (77,2)");
  const std::string k1 = Value("select snbid from vexa_hw_cpnts where serialnb='K1'");
  auto cpnts = [&](const char* status) {
    return List([&](char* list, int* len) {
      return GetHWBoardCpntByStatus(status, list, len, err_);
    });
  };
  EXPECT_EQ(cpnts("SPARE"), (Rows{"K1|" + k1, "none|77"}));
  EXPECT_EQ(cpnts("NONE"), (Rows{"-1: ERROR in GetHWBoardCpntByStatus : INVALID STATUS"}));
}

TEST_F(ByStatusTest, ListsFollowTheLengthProtocol) {
  char list[100];
  int len = 5;  // "S1" and "S2" with their NULs need 6
  std::strcpy(err_, "stale");
  EXPECT_EQ(Quiet([&] { return GetHWDeviceByStatus("all", "SPARE", &len, list, err_); }), -1);
  EXPECT_EQ(len, 6);
  EXPECT_EQ(Quiet([&] { return GetHWDeviceByStatus("all", "SPARE", &len, list, err_); }), 0);
  EXPECT_EQ(len, 6);
  EXPECT_EQ(std::string(list, 6), std::string("S1\0S2\0", 6));
  EXPECT_EQ(Err(err_), "NO_ERROR in GetHWDeviceByStatus");

  len = 16;
  EXPECT_EQ(Quiet([&] { return GetHWBoardCpntByStatus("DESTROYED", list, &len, err_); }), -1);
  EXPECT_EQ(len, 17);
  EXPECT_EQ(Quiet([&] { return GetHWBoardCpntByStatus("DESTROYED", list, &len, err_); }), 0);
  EXPECT_STREQ(list, "NO_ROWS_SELECTED");
}
