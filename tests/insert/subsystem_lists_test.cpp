// The subsystem lists that inserts and the device update store: every name
// of a list must be a recorded subsystem, wherever it stands, and the set
// must fit its column; a name counts its characters, not its bytes.
#include <functional>
#include <string>
#include <vector>

#include "insert_fixture.h"
#include "update/update_caches.h"

namespace {

// Each holds a name that is not recorded, after a known one or before it.
const std::vector<const char*> kListsWithAnUnknownName{"DAQ,TYPO", "TYPO,DAQ", "DAQ,TFC,TYPO",
                                                       "DAQ,,TFC", "DAQ,daq",  "DAQ,DAQX"};
// Each holds an empty name: a trailing comma ends no list.
const std::vector<const char*> kListsWithAnEmptyName{"DAQ,", ",DAQ", "DAQ,,TFC", "DAQ,TFC,",
                                                     ",", "DAQ,,"};

class SubsystemListTest : public InsertTest {
 protected:
  using InsertTest::InsertTest;
  void SetUp() override {
    ferrule::FreeUpdateDeviceSystemListCache();
    InsertTest::SetUp();
  }
  void TearDown() override {
    InsertTest::TearDown();
    ferrule::FreeUpdateDeviceSystemListCache();
  }

  // A write that stores a subsystem list, in its forms (the update has no
  // single-row form), the reason of a list that names no set, and the
  // committed "name:set" of the rows it stored. They write to tables of
  // their own, so one test runs them all.
  struct ListWrite {
    const char* single_name;  // null: no single-row form
    const char* batch_name;
    const char* no_set;
    std::function<int(const char* sysname, const char* name)> single;
    std::function<int(const char* sysname, const char* name, int first, int last)> batch;
    const char* stored;
  };
  std::vector<ListWrite> Writes() {
    return {
        {"InsertDeviceType", "InsertMultipleDeviceTypes", "systemnameList is null",
         [this](const char* sysname, const char* name) {
           return InsertDeviceType(sysname, name, 1, 1, nullptr, nullptr, 0, err_);
         },
         [this](const char* sysname, const char* name, int first, int last) {
           return InsertMultipleDeviceTypes(sysname, name, 1, 1, nullptr, nullptr, first, last,
                                            err_);
         },
         "select devicetype || ':' || system_name from vexa_lg_device_types "
         "where devicetype <> 'SWITCH' order by 1"},
        {"InsertFunctionalDevice", "InsertMultipleFunctionalDevices", "systemnameList is null",
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
        // The device "u-<name>" is made in LHC (7) when first named; the
        // rows whose set the update changed are read back.
        {nullptr, "UpdateMultipleDeviceSystemList",
         "new_systemList is invalid: not inserted in the cache", nullptr,
         [this](const char* sysname, const char* name, int first, int last) {
           const std::string device = std::string("u-") + name;
           Quiet([&] {
             return InsertFunctionalDevice("LHC", device.c_str(), "SWITCH", 0, 0, device.c_str(),
                                           "hw", "me", nullptr, "rack", 0, err_);
           });
           return Quiet([&] {
             return UpdateMultipleDeviceSystemList(device.c_str(), sysname, first, last, err_);
           });
         },
         "select substr(devicename, 3) || ':' || system_name from vexa_lg_devices "
         "where devicename like 'u-%' and system_name <> 7 order by 1"},
    };
  }
  static std::string Refusal(const char* name, const char* reason) {
    return std::string("ERROR in ") + name + " : " + reason;
  }
  // A refused single row stores nothing; a refused batch row is not cached,
  // and the batch sends the others.
  void ExpectRefusedAndNothingStored(const std::vector<const char*>& lists) {
    for (const ListWrite& write : Writes()) {
      SCOPED_TRACE(write.batch_name);
      for (const char* list : lists) {
        if (!write.single) break;
        EXPECT_EQ(write.single(list, "one"), -1) << list;
        EXPECT_EQ(Err(), Refusal(write.single_name, write.no_set)) << list;
      }
      ASSERT_EQ(write.batch("DAQ", "b0", 1, 0), 0) << Err();
      for (const char* list : lists) {
        EXPECT_EQ(write.batch(list, list, 0, 0), -1) << list;
        EXPECT_EQ(Err(), Refusal(write.batch_name, write.no_set)) << list;
      }
      ASSERT_EQ(write.batch("TFC,ECS", "b1", 0, 1), 0) << Err();
      EXPECT_EQ(Column(write.stored), (std::vector<std::string>{"b0:2", "b1:15"}));
    }
  }
};

TEST_F(SubsystemListTest, ListWithAnUnknownNameAnywhereIsRefusedAndNothingStored) {
  ExpectRefusedAndNothingStored(kListsWithAnUnknownName);
}

// "DAQ," was stored as DAQ, where ",DAQ" and "DAQ,,TFC" were refused.
TEST_F(SubsystemListTest, ListWithAnEmptyNameAnywhereIsRefusedAndNothingStored) {
  ExpectRefusedAndNothingStored(kListsWithAnEmptyName);
}

// An empty list names no subsystem, as a null one: refused, where it would
// have stored the set 1 that no reader can name. A subsystem named twice
// is in the set once.
TEST_F(SubsystemListTest, EmptyListIsRefusedAndARepeatedNameCountsOnce) {
  for (const ListWrite& write : Writes()) {
    SCOPED_TRACE(write.batch_name);
    std::vector<std::string> stored{"b0:2", "b1:15"};
    if (write.single) {
      EXPECT_EQ(write.single("", "e1"), -1);
      EXPECT_EQ(Err(), Refusal(write.single_name, write.no_set));
      EXPECT_EQ(write.single("DAQ,DAQ", "s1"), 0) << Err();
      EXPECT_EQ(write.single("TFC,DAQ,TFC", "s2"), 0) << Err();
      stored.insert(stored.end(), {"s1:2", "s2:6"});
    }
    ASSERT_EQ(write.batch("DAQ,DAQ", "b0", 1, 0), 0) << Err();
    EXPECT_EQ(write.batch("", "e2", 0, 0), -1);
    EXPECT_EQ(Err(), Refusal(write.batch_name, write.no_set));
    ASSERT_EQ(write.batch("ECS,TFC,ECS", "b1", 0, 1), 0) << Err();
    EXPECT_EQ(Column(write.stored), stored);
  }
}

// Ten subsystems, whose product of primes (6469693230) is beyond the
// stored int; nine of them (223092870) fit.
class TenSubsystemsTest : public SubsystemListTest {
 protected:
  TenSubsystemsTest()
      : SubsystemListTest("('DAQ',2),('TFC',3),('ECS',5),('LHC',7),('S11',11),('S13',13),"
                          "('S17',17),('S19',19),('S23',23),('S29',29)") {}
  static constexpr const char* kNine = "DAQ,TFC,ECS,LHC,S11,S13,S17,S19,S23";
  static constexpr const char* kAllTen = "DAQ,TFC,ECS,LHC,S11,S13,S17,S19,S23,S29";
};

TEST_F(TenSubsystemsTest, SetBeyondTheStoredIntIsRefusedAsTooLarge) {
  for (const ListWrite& write : Writes()) {
    SCOPED_TRACE(write.batch_name);
    std::vector<std::string> stored{"b0:223092870", "b1:2"};
    if (write.single) {
      EXPECT_EQ(write.single(kAllTen, "e1"), -1);
      EXPECT_EQ(Err(), Refusal(write.single_name, "SUBSYSTEM_SET_TOO_LARGE"));
      EXPECT_EQ(write.single(kNine, "s1"), 0) << Err();
      stored.push_back("s1:223092870");
    }
    ASSERT_EQ(write.batch(kNine, "b0", 1, 0), 0) << Err();
    EXPECT_EQ(write.batch(kAllTen, "e2", 0, 0), -1);
    EXPECT_EQ(Err(), Refusal(write.batch_name, "SUBSYSTEM_SET_TOO_LARGE"));
    ASSERT_EQ(write.batch("DAQ", "b1", 0, 1), 0) << Err();
    EXPECT_EQ(Column(write.stored), stored);
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
