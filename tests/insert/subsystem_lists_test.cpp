// The subsystem lists that inserts store: every name of a list must be a
// recorded subsystem, wherever it stands; a name counts its characters,
// not its bytes.
#include "insert_fixture.h"

namespace {

// Each holds a name that is not recorded, after a known one or before it.
const char* const kListsWithAnUnknownName[] = {"DAQ,TYPO", "TYPO,DAQ", "DAQ,TFC,TYPO",
                                               "DAQ,,TFC", "DAQ,daq",  "DAQ,DAQX"};

class SubsystemListTest : public InsertTest {
 protected:
  int DeviceType(const char* sysname, const char* name) {
    return InsertDeviceType(sysname, name, 1, 1, nullptr, nullptr, 0, err_);
  }
  int DeviceTypeRow(const char* sysname, const char* name, int first, int last) {
    return InsertMultipleDeviceTypes(sysname, name, 1, 1, nullptr, nullptr, first, last, err_);
  }
  int Device(const char* sysname, const char* name) {
    return Quiet([&] {
      return InsertFunctionalDevice(sysname, name, "SWITCH", 0, 0, name, "hw", "me", nullptr,
                                    "rack", 0, err_);
    });
  }
  int DeviceRow(const char* sysname, const char* name, int first, int last) {
    return Quiet([&] {
      return InsertMultipleFunctionalDevices(sysname, name, "SWITCH", 0, 0, name, "hw", "me",
                                             nullptr, "rack", first, last, err_);
    });
  }
};

TEST_F(SubsystemListTest, DeviceTypeWithAnUnknownNameAnywhereIsRefusedAndNotStored) {
  for (const char* list : kListsWithAnUnknownName) {
    EXPECT_EQ(DeviceType(list, "T"), -1) << list;
    EXPECT_EQ(Err(), "ERROR in InsertDeviceType : systemnameList is null") << list;
  }
  EXPECT_EQ(Count("vexa_lg_device_types", "devicetype = 'T'"), 0);

  // In a batch the refused rows are not cached: the batch sends the others.
  ASSERT_EQ(DeviceTypeRow("DAQ", "B0", 1, 0), 0) << Err();
  for (const char* list : kListsWithAnUnknownName) {
    EXPECT_EQ(DeviceTypeRow(list, list, 0, 0), -1) << list;
    EXPECT_EQ(Err(), "ERROR in InsertMultipleDeviceTypes : systemnameList is null") << list;
  }
  ASSERT_EQ(DeviceTypeRow("TFC,ECS", "B1", 0, 1), 0) << Err();
  EXPECT_EQ(Column("select devicetype || ':' || system_name from vexa_lg_device_types "
                   "where devicetype <> 'SWITCH' order by 1"),
            (std::vector<std::string>{"B0:2", "B1:15"}));
}

TEST_F(SubsystemListTest, FunctionalDeviceWithAnUnknownNameAnywhereIsRefusedAndNotStored) {
  for (const char* list : kListsWithAnUnknownName) {
    EXPECT_EQ(Device(list, "d"), -1) << list;
    EXPECT_EQ(Err(), "ERROR in InsertFunctionalDevice : systemnameList is null") << list;
  }
  EXPECT_EQ(Count("vexa_lg_devices", "devicename = 'd'"), 0);
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb = 'd'"), 0);

  ASSERT_EQ(DeviceRow("DAQ", "b0", 1, 0), 0) << Err();
  for (const char* list : kListsWithAnUnknownName) {
    EXPECT_EQ(DeviceRow(list, list, 0, 0), -1) << list;
    EXPECT_EQ(Err(), "ERROR in InsertMultipleFunctionalDevices : systemnameList is null") << list;
  }
  ASSERT_EQ(DeviceRow("TFC,LHC", "b1", 0, 1), 0) << Err();
  EXPECT_EQ(Column("select devicename || ':' || system_name from vexa_lg_devices "
                   "where deviceid <> -1 order by 1"),
            (std::vector<std::string>{"b0:2", "b1:21"}));
  EXPECT_EQ(Count("vexa_hw_devices"), 2);
}

// "ДЕТЕКТОРЫ": nine characters of two bytes each.
class MultibyteSubsystemTest : public ConnectedTest {
 protected:
  MultibyteSubsystemTest() : ConnectedTest("('DAQ',2),('ДЕТЕКТОРЫ',3)") {}
  void SetUp() override {
    ferrule::FreeInsertDeviceTypesCache();
    ConnectedTest::SetUp();
  }
  void TearDown() override {
    ConnectedTest::TearDown();
    ferrule::FreeInsertDeviceTypesCache();
  }
  std::string TypeRow(const char* name) {
    char row[500];
    int len = sizeof row;
    EXPECT_EQ(Quiet([&] { return GetDeviceTypeRow(name, &len, row, err_); }), 0) << err_;
    return row;
  }
};

TEST_F(MultibyteSubsystemTest, NameOfNineTwoByteCharactersIsStoredAndReadBack) {
  ASSERT_EQ(InsertDeviceType("DAQ,ДЕТЕКТОРЫ", "T1", 1, 1, nullptr, nullptr, 0, err_), 0) << err_;
  ASSERT_EQ(InsertMultipleDeviceTypes("ДЕТЕКТОРЫ", "T2", 1, 1, nullptr, nullptr, 1, 1, err_), 0)
      << err_;
  EXPECT_EQ(testdb::value("select string_agg(devicetype || ':' || system_name, ' ' order by 1) "
                          "from vexa_lg_device_types"),
            "T1:6 T2:3");
  EXPECT_NE(TypeRow("T1").find("|system_name (C):DAQ,ДЕТЕКТОРЫ |"), std::string::npos)
      << TypeRow("T1");
  EXPECT_NE(TypeRow("T2").find("|system_name (C):ДЕТЕКТОРЫ |"), std::string::npos);

  // A cut of the name is not the name: to nine bytes, or to eight characters.
  for (const char* cut : {"ДЕТЕ", "ДЕТЕКТОР"}) {
    EXPECT_EQ(InsertDeviceType(cut, "T3", 1, 1, nullptr, nullptr, 0, err_), -1) << cut;
    EXPECT_STREQ(err_, "ERROR in InsertDeviceType : systemnameList is null");
  }
}

}  // namespace
