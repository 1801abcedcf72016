// Test use: the hardware of a device moves onto a test board, with or
// without a spare in its place; its components follow it.
#include "inventory_fixture.h"

class TestUseTest : public InventoryTest {
 protected:
  void SetUp() override {
    InventoryTest::SetUp();
    Device("sw1", "SN1", 2, "rack A");
    Device("sw2", "SN2");
    Device("tb", "", 2, "bench");
    Link("sw1", "sw2");
    Link("sw2", "sw1");
    Hardware("SP1", 2);
    HwCpnt("K1", "a", 1, "SN1");
    HwCpnt("K2", "b", 1, "SN1");
    HwCpnt("KS", "a", 2, "SP1");
    Cpnt("a", "sw1", "K1");
    Cpnt("b", "sw1", "K2");
    MicroLink("a", "b");
  }
  int TestUse(const char* device, const char* date, const char* spare, const char* board,
              const char* spare_date, const char* comment = nullptr) {
    return Quiet([&] {
      return SetToTestUseStatus(device, comment, date, spare, board, spare_date, err_);
    });
  }
  static std::string HardwareStates() {
    return Value("select string_agg(concat_ws(',',serialnb,device_status),';' order by "
                 "serialnb) from vexa_hw_devices");
  }
  static std::string Mounted() {
    return Value("select string_agg(concat_ws(',',devicename,coalesce(serialnb,'-'),nodeused),"
                 "';' order by devicename) from vexa_lg_devices where deviceid<>-1");
  }
};

TEST_F(TestUseTest, HardwareGoesToTestAndTheDeviceIsLeftEmpty) {
  ASSERT_EQ(TestUse("sw1", "26/06/01/10/00/00", nullptr, "tb", nullptr), 0) << err_;
  EXPECT_EQ(Err(err_), "NO_ERROR in SetToTestUseStatus");
  EXPECT_EQ(HardwareStates(), "SN1,3;SN2,1;SP1,2");
  EXPECT_EQ(Mounted(), "sw1,-,0;sw2,SN2,1;tb,SN1,0");
  EXPECT_EQ(DeviceHistory("true"),
            (std::vector<std::string>{"TEST|tb|bench|26/06/01/10/00/00",
                                      "NONE|sw1|rack A|26/06/01/10/00/00"}));
  EXPECT_EQ(Value("select string_agg(distinct user_comment,';') from vexa_device_history"),
            "status change in functional device with name sw1 ");
  EXPECT_EQ(Value("select string_agg(lkused::text,',') from vexa_macroscopic_connectivity"),
            "0,0");
  // The components go with their board: status TEST, out of sw1's positions.
  EXPECT_EQ(CpntStates(), "K1,3,SN1;K2,3,SN1;KS,2,SP1");
  EXPECT_EQ(Positions(), "a,-;b,-");
  EXPECT_EQ(CpntHistory("HH24"), (std::vector<std::string>{"NONE|-|a|sw1|10", "NONE|-|b|sw1|10",
                                                     "TEST|K1|-|SN1|10", "TEST|K2|-|SN1|10"}));
  EXPECT_EQ(Value("select coalesce(lkused::text,'null') from vexa_microscopic_connectivity"),
            "null");
}

TEST_F(TestUseTest, SpareTakesThePlaceOfTheHardwareUnderTest) {
  ASSERT_EQ(TestUse("sw1", "26/06/01/10/00/00", "SP1", "tb", "26/06/01/12/00/00", "swap"), 0)
      << err_;
  EXPECT_EQ(HardwareStates(), "SN1,3;SN2,1;SP1,1");
  EXPECT_EQ(Mounted(), "sw1,SP1,1;sw2,SN2,1;tb,SN1,0");
  EXPECT_EQ(DeviceHistory("true"),
            (std::vector<std::string>{"TEST|tb|bench|26/06/01/10/00/00",
                                      "NONE|sw1|rack A|26/06/01/10/00/00",
                                      "IN_USE|sw1|rack A|26/06/01/12/00/00"}));
  EXPECT_EQ(Value("select string_agg(lkused::text,',') from vexa_macroscopic_connectivity"),
            "1,1");
  // The spare's component fills the position it is named for.
  EXPECT_EQ(Positions(), "a,KS;b,-");
  EXPECT_EQ(CpntHistory("HH24").back(), "IN_USE|KS|a|SP1|12");
}

TEST_F(TestUseTest, RefusedTestUsesChangeNothing) {
  Device("tb2", "HB2");
  Device("empty", "");
  const std::string before = Snapshot();
  const std::string prefix = "ERROR in SetToTestUseStatus : ";
  struct Case {
    const char* device;
    const char* spare;
    const char* board;
    const char* spare_date;
    const char* reason;
  } cases[] = {
      {"empty", nullptr, "tb", nullptr, "Error Log. device name is not IN_USE status"},
      {"sw1", nullptr, "tb2", nullptr, "Error Board name is already IN_USE status"},
      {"sw1", "SN2", "tb", "26/06/02/00/00/00", "Error serial nb is not a spare"},
      {"sw1", "SP1", "tb", "26/05/31/00/00/00",
       "Error date of status change must before date of replace"},
      {"sw1", "SP1", "tb", nullptr, "DATE OF REPLACEMENT MUST BE GIVEN"},
      {"sw1", nullptr, "none", nullptr, "TEST BOARD NAME  MUST BE GIVEN"},
      {nullptr, nullptr, nullptr, nullptr, "TEST BOARD NAME  MUST BE GIVEN"},
      {"none", nullptr, "tb", nullptr, "DEVICE NAME  MUST BE GIVEN"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TestUse(c.device, "26/06/01/10/00/00", c.spare, c.board, c.spare_date), -1);
    EXPECT_EQ(Err(err_), prefix + c.reason);
  }
  EXPECT_EQ(TestUse("sw1", "none", nullptr, "tb", nullptr), -1);
  EXPECT_EQ(Err(err_), prefix + "date of status_change  MUST BE GIVEN");
  {
    ServerFunctionSwap swap(
        "vexa_configuration_dev.TestUseBoardCpnt(integer,integer,text,text,text,text,text,text)",
        "SELECT -2");
    EXPECT_EQ(TestUse("sw1", "26/06/01/10/00/00", nullptr, "tb", nullptr), -1);
    EXPECT_EQ(Err(err_), prefix + "Error in the transaction: no changes have been done");
  }
  EXPECT_EQ(Snapshot(), before);
}
