// Functional devices: the hardware, device and history rows of one device,
// the subsystem check, and a device whose type is unknown.
#include "insert_fixture.h"

class FunctionalDevicesTest : public InsertTest {
 protected:
  void SetUp() override {
    InsertTest::SetUp();
    if (IsSkipped()) return;
    AddDeviceType("SWITCH");
  }
  static std::string Row(const std::string& sql) { return testdb::value(sql); }
};

TEST_F(FunctionalDevicesTest, WritesHardwareDeviceAndFirstHistoryRow) {
  ASSERT_EQ(InsertFunctionalDevice("DAQ,TFC", "sw1", "SWITCH", 1, 0, "SN1", "hp", "anna",
                                   "new one", "rack A", 0, err_),
            0)
      << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertFunctionalDevice");
  EXPECT_EQ(Row("select concat_ws('|', hwtype, responsible, user_comments, device_status, "
                "coalesce(location,'<null>')) from vexa_hw_devices where serialnb='SN1'"),
            "hp|anna|new one|1|<null>");
  EXPECT_EQ(Row("select concat_ws('|', t.devicetype, d.node, d.promiscuous_mode, d.system_name, "
                "d.serialnb, d.location, d.nodeused, d.author, d.user_update, d.terminal_name) "
                "from vexa_lg_devices d join vexa_lg_device_types t using (devicetypeID) "
                "where d.devicename='sw1'"),
            "SWITCH|1|0|6|SN1|rack A|1|" + Login() + "|" + Login() + "|" + Host());
  EXPECT_EQ(Row("select concat_ws('|', h.serialnb, h.device_status, h.user_comment, h.location, "
                "h.system_name, h.author, h.terminal_name, h.deviceid = d.deviceid, "
                "h.status_change = d.created, h.created is not null) "
                "from vexa_device_history h, vexa_lg_devices d where d.devicename='sw1'"),
            "SN1|IN_USE|new one|rack A|6|" + Login() + "|" + Host() + "|t|t|t");
}

TEST_F(FunctionalDevicesTest, NullTextsAreStoredAsNull) {
  ASSERT_EQ(InsertFunctionalDevice("DAQ", "sw1", "SWITCH", 0, 0, "SN1", nullptr, nullptr, nullptr,
                                   nullptr, 0, err_),
            0)
      << Err();
  EXPECT_EQ(Count("vexa_hw_devices", "hwtype is null and responsible is null and "
                                     "user_comments is null"),
            1);
  EXPECT_EQ(Count("vexa_lg_devices", "devicename='sw1' and location is null"), 1);
  EXPECT_EQ(Count("vexa_device_history", "user_comment is null and location is null"), 1);
}

TEST_F(FunctionalDevicesTest, SubsystemListRules) {
  // Only the first name known: its product alone.
  ASSERT_EQ(InsertFunctionalDevice("ECS,XYZ", "d1", "SWITCH", 0, 0, "SN1", "hw", "r", "c", "l", 0,
                                   err_),
            0)
      << Err();
  EXPECT_EQ(Row("select system_name from vexa_lg_devices where devicename='d1'"), "5");
  // An empty list: no subsystem, product 1, device and history alike.
  ASSERT_EQ(InsertFunctionalDevice("", "d2", "SWITCH", 0, 0, "SN2", "hw", "r", "c", "l", 0, err_),
            0)
      << Err();
  EXPECT_EQ(Row("select d.system_name || '|' || h.system_name from vexa_lg_devices d "
                "join vexa_device_history h using (deviceid) where d.devicename='d2'"),
            "1|1");
  // Only the second known: refused, nothing written.
  EXPECT_EQ(InsertFunctionalDevice("XYZ,ECS", "d3", "SWITCH", 0, 0, "SN3", "hw", "r", "c", "l", 0,
                                   err_),
            -1);
  EXPECT_EQ(Err(), "ERROR in InsertFunctionalDevice : systemnameList is null");
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb='SN3'"), 0);
}

TEST_F(FunctionalDevicesTest, RefusedRowMarkedLastSendsNothingAndKeepsTheBatch) {
  auto device = [&](const char* sysname, const char* name, int first, int last) {
    const std::string serial = std::string("SN-") + name;
    return InsertMultipleFunctionalDevices(sysname, name, "SWITCH", 0, 0, serial.c_str(), "hw",
                                           "me", nullptr, "rack", first, last, err_);
  };
  EXPECT_EQ(device("DAQ", "d1", 1, 0), 0);
  EXPECT_EQ(device("NOPE", "d2", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleFunctionalDevices : systemnameList is null");
  EXPECT_EQ(Count("vexa_lg_devices", "devicename like 'd%'"), 0);
  EXPECT_EQ(device("TFC", "d3", 0, 1), 0) << Err();
  EXPECT_EQ(testdb::column("select devicename || ':' || system_name from vexa_lg_devices "
                           "where devicename like 'd%' order by 1"),
            (std::vector<std::string>{"d1:2", "d3:3"}));
  EXPECT_EQ(Count("vexa_device_history"), 2);
}

TEST_F(FunctionalDevicesTest, UnknownTypeWritesNoDeviceAndNoHistoryForAnotherDevice) {
  AddDevice("sw1", "SWITCH", "DAQ");
  const std::string history_before = Row("select count(*) from vexa_device_history");
  // Same name as an existing device, but a type that does not exist.
  EXPECT_EQ(InsertFunctionalDevice("DAQ", "sw1", "NOSUCHTYPE", 0, 0, "SN-other", "hw", "r", "c",
                                   "l", 0, err_),
            -1);
  EXPECT_EQ(Err(), "ERROR in InsertFunctionalDevice : COULDNOT_INSERT_THIS_ROW");
  // Make whatever the call left in the open transaction durable.
  AddDeviceType("ANOTHER");
  EXPECT_EQ(Row("select count(*) from vexa_device_history"), history_before);
  EXPECT_EQ(Count("vexa_device_history", "serialnb='SN-other'"), 0);
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb='SN-other'"), 1);
}
