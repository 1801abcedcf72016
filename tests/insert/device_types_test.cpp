// Device types: what a row stores, and the subsystem check of the batch.
#include "insert_fixture.h"

class DeviceTypesTest : public InsertTest {
 protected:
  int Batch(const char* sysname, const char* name, int first, int last) {
    return InsertMultipleDeviceTypes(sysname, name, 2, 3, "descr", "red", first, last, err_);
  }
  static std::vector<std::string> Types() {
    return testdb::column("select devicetype from vexa_lg_device_types order by devicetype");
  }
};

TEST_F(DeviceTypesTest, SingleRowStoresEveryColumnAndTheSubsystemProduct) {
  ASSERT_EQ(InsertDeviceType("TFC,LHC", "SWITCH", 48, 24, nullptr, "blue", 0, err_), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertDeviceType");
  EXPECT_EQ(Value("select concat_ws('|', nbrofinput, nbrofoutput, coalesce(description,'<null>'), "
                  "rgbcolor, system_name) from vexa_lg_device_types where devicetype='SWITCH'"),
            "48|24|<null>|blue|21");
  EXPECT_EQ(Value("select author || '|' || user_update || '|' || terminal_name "
                  "from vexa_lg_device_types where devicetype='SWITCH'"),
            Login() + "|" + Login() + "|" + Host());
  // The id comes from the device-type sequence.
  ASSERT_EQ(InsertDeviceType("DAQ", "ROUTER", 1, 1, "r", "red", 0, err_), 0);
  EXPECT_EQ(Value("select count(distinct devicetypeID) from vexa_lg_device_types"), "2");
}

TEST_F(DeviceTypesTest, SubsystemListMustStartWithAKnownName) {
  EXPECT_EQ(InsertDeviceType("XYZ,DAQ", "T1", 1, 1, nullptr, nullptr, 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertDeviceType : systemnameList is null");
  EXPECT_EQ(InsertDeviceType(nullptr, "T1", 1, 1, nullptr, nullptr, 0, err_), -1);
  EXPECT_EQ(InsertDeviceType("DAQ,XYZ", "T2", 1, 1, nullptr, nullptr, 0, err_), 0) << Err();
  EXPECT_EQ(Value("select system_name from vexa_lg_device_types where devicetype='T2'"), "2");
  EXPECT_EQ(Types(), std::vector<std::string>{"T2"});
}

TEST_F(DeviceTypesTest, RefusedSubsystemListLeavesTheBatchAsItWas) {
  EXPECT_EQ(Batch("DAQ", "A", 1, 0), 0);
  EXPECT_EQ(Batch("NOPE", "B", 0, 0), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleDeviceTypes : systemnameList is null");
  // Marked first, the refused row neither restarts nor ends the batch.
  EXPECT_EQ(Batch("NOPE", "C", 1, 1), -1);
  EXPECT_EQ(Batch("ECS", "D", 0, 1), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertMultipleDeviceTypes");
  EXPECT_EQ(Types(), (std::vector<std::string>{"A", "D"}));
  EXPECT_EQ(Value("select system_name from vexa_lg_device_types where devicetype='D'"), "5");
}

TEST_F(DeviceTypesTest, RefusedFirstRowOpensNoBatch) {
  EXPECT_EQ(Batch("NOPE", "A", 1, 0), -1);
  EXPECT_EQ(Batch("DAQ", "B", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleDeviceTypes : CACHE HAS NOT BEEN INITIALIZED");
  EXPECT_TRUE(Types().empty());
}
