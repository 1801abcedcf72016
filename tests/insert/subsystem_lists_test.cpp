// The subsystem lists that inserts store: every name of a list must be a
// recorded subsystem, wherever it stands; a name counts its characters,
// not its bytes.
#include <functional>

#include "insert_fixture.h"

namespace {

// Each holds a name that is not recorded, after a known one or before it.
const char* const kListsWithAnUnknownName[] = {"DAQ,TYPO", "TYPO,DAQ", "DAQ,TFC,TYPO",
                                               "DAQ,,TFC", "DAQ,daq",  "DAQ,DAQX"};

class SubsystemListTest : public InsertTest {
 protected:
  // An insert that stores a subsystem list, in its two forms, and the
  // committed "name:set" of the rows it stored. They write to tables of
  // their own, so one test runs both.
  struct ListWrite {
    const char* single_name;
    const char* batch_name;
    std::function<int(const char* sysname, const char* name)> single;
    std::function<int(const char* sysname, const char* name, int first, int last)> batch;
    const char* stored;
  };
  std::vector<ListWrite> Writes() {
    return {
        {"InsertDeviceType", "InsertMultipleDeviceTypes",
         [this](const char* sysname, const char* name) {
           return InsertDeviceType(sysname, name, 1, 1, nullptr, nullptr, 0, err_);
         },
         [this](const char* sysname, const char* name, int first, int last) {
           return InsertMultipleDeviceTypes(sysname, name, 1, 1, nullptr, nullptr, first, last,
                                            err_);
         },
         "select devicetype || ':' || system_name from vexa_lg_device_types "
         "where devicetype <> 'SWITCH' order by 1"},
        {"InsertFunctionalDevice", "InsertMultipleFunctionalDevices",
         [this](const char* sysname, const char* name) {
           return Quiet([&] {
             return InsertFunctionalDevice(sysname, name, "SWITCH", 0, 0, name, "hw", "me",
                                           nullptr, "rack", 0, err_);
           });
         },
         [this](const char* sysname, const char* name, int first, int last) {
           return Quiet([&] {
             return InsertMultipleFunctionalDevices(sysname, name, "SWITCH", 0, 0, name, "hw",
                                                    "me", nullptr, "rack", first, last, err_);
           });
         },
         // Each hardware row, named like its device, with its device's set.
         "select w.serialnb || ':' || coalesce(d.system_name::text, '-') "
         "from vexa_hw_devices w left join vexa_lg_devices d using (serialnb) order by 1"},
    };
  }
};

// A refused single row stores nothing; a refused batch row is not cached,
// and the batch sends the others.
TEST_F(SubsystemListTest, ListWithAnUnknownNameAnywhereIsRefusedAndNothingStored) {
  for (const ListWrite& write : Writes()) {
    SCOPED_TRACE(write.single_name);
    for (const char* list : kListsWithAnUnknownName) {
      EXPECT_EQ(write.single(list, "one"), -1) << list;
      EXPECT_EQ(Err(), std::string("ERROR in ") + write.single_name +
                           " : systemnameList is null") << list;
    }
    ASSERT_EQ(write.batch("DAQ", "b0", 1, 0), 0) << Err();
    for (const char* list : kListsWithAnUnknownName) {
      EXPECT_EQ(write.batch(list, list, 0, 0), -1) << list;
      EXPECT_EQ(Err(), std::string("ERROR in ") + write.batch_name +
                           " : systemnameList is null") << list;
    }
    ASSERT_EQ(write.batch("TFC,ECS", "b1", 0, 1), 0) << Err();
    EXPECT_EQ(Column(write.stored), (std::vector<std::string>{"b0:2", "b1:15"}));
  }
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
