// Batches in which some rows insert nothing, or one row fails: what is
// committed and what the call answers.
#include "insert_fixture.h"

class PartialBatchTest : public InsertTest {
 protected:
  void SetUp() override {
    InsertTest::SetUp();
    if (IsSkipped()) return;
    AddDeviceType("SWITCH", "DAQ");
    AddDevice("sw1", "SWITCH", "DAQ");
    AddDevice("sw2", "SWITCH", "DAQ");
  }
};

TEST_F(PartialBatchTest, PortsOfAMissingDeviceAreLeftOutAndTheOthersCommitted) {
  auto port = [&](const char* device, const char* nbr, int first, int last) {
    return InsertMultiplePorts(device, nbr, 1, 1, 1000, 0, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, first, last, err_);
  };
  EXPECT_EQ(port("sw1", "1", 1, 0), 0);
  EXPECT_EQ(port("ghost", "2", 0, 0), 0);
  EXPECT_EQ(port("sw1", "3", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultiplePorts : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(testdb::column("select port_nbr from vexa_port_properties order by port_nbr"),
            (std::vector<std::string>{"1", "3"}));
  // The batch is closed whatever the outcome.
  EXPECT_EQ(port("sw1", "4", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultiplePorts : CACHE HAS NOT BEEN INITIALIZED");
}

TEST_F(PartialBatchTest, DeviceOfAnUnknownTypeKeepsOnlyItsHardwareRow) {
  auto device = [&](const char* name, const char* type, int first, int last) {
    const std::string serial = std::string("SN-") + name;
    return InsertMultipleFunctionalDevices("DAQ", name, type, 0, 0, serial.c_str(), "hw", "me",
                                           nullptr, "rack", first, last, err_);
  };
  EXPECT_EQ(device("d1", "SWITCH", 1, 0), 0);
  EXPECT_EQ(device("d2", "NOSUCHTYPE", 0, 0), 0);
  EXPECT_EQ(device("d3", "SWITCH", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleFunctionalDevices : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Count("vexa_lg_devices", "devicename in ('d1','d2','d3')"), 2);
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb in ('SN-d1','SN-d2','SN-d3')"), 3);
  EXPECT_EQ(Count("vexa_device_history", "serialnb in ('SN-d1','SN-d2','SN-d3')"), 2);
}

TEST_F(PartialBatchTest, LinkOfAnUnknownTypeIsLeftOutAndTheOthersCommitted) {
  AddPort("sw1", "1", 2);
  AddPort("sw1", "2", 2);
  AddPort("sw2", "1", 1);
  AddPort("sw2", "2", 1);
  testdb::exec("insert into vexa_link_types(linktypeID, link_name, link_nbr) values (1,'data',2)");
  EXPECT_EQ(InsertMultipleMacroLinks("sw1", "sw2", "1", "1", nullptr, nullptr, "data", "a", 0, 1,
                                     0, err_),
            0);
  EXPECT_EQ(InsertMultipleMacroLinks("sw1", "sw2", "2", "2", nullptr, nullptr, "nosuchlink", "b",
                                     0, 0, 1, err_),
            -1);
  EXPECT_EQ(Err(),
            "ERROR in InsertMultipleMacroLinks : COULDNOT_INSERT_ALL_ROWS:CHECK SYSTEM "
            "COMPATIBILITY");
  EXPECT_EQ(testdb::column("select link_info from vexa_macroscopic_connectivity"),
            std::vector<std::string>{"a"});
}

TEST_F(PartialBatchTest, FailedRowDropsTheBatchAndLeavesTheTransactionOpen) {
  auto type = [&](const char* name, int first, int last) {
    return InsertMultipleDeviceTypes("DAQ", name, 1, 1, nullptr, nullptr, first, last, err_);
  };
  EXPECT_EQ(type("A", 1, 0), 0);
  EXPECT_EQ(type("B", 0, 0), 0);
  testing::internal::CaptureStdout();
  const int rc = type("SWITCH", 0, 1);  // exists already: unique key
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(rc, 1);
  EXPECT_EQ(Err().rfind("ERROR in InsertMultipleDeviceTypes : ", 0), 0u) << Err();
  EXPECT_EQ(Count("vexa_lg_device_types", "devicetype in ('A','B')"), 0);

  // The batch is gone ...
  EXPECT_EQ(type("C", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleDeviceTypes : CACHE HAS NOT BEEN INITIALIZED");
  // ... and the rows before the failed one wait for the next commit.
  AddDeviceType("D");
  EXPECT_EQ(Count("vexa_lg_device_types", "devicetype in ('A','B','D')"), 3);
}
