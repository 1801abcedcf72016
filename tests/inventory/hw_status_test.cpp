// Status changes of hardware devices and components that are not in use:
// the components follow their hardware, IN_USE mounts, refusals.
#include "inventory_fixture.h"

class HWStatusTest : public InventoryTest {
 protected:
  void SetUp() override {
    InventoryTest::SetUp();
    Hardware("SP1", 2);
    HwCpnt("K1", "p1", 2, "SP1");
    HwCpnt("K2", "p2", 2, "SP1");
    HwCpnt("KX", "p3", 2, "OTHER");
  }
  int Update(const char* serial, const char* status, const char* location, const char* into) {
    return Quiet([&] {
      return UpdateHWDeviceStatus(serial, status, location, nullptr, "26/05/01/10/00/00", into,
                                  err_);
    });
  }
};

TEST_F(HWStatusTest, ComponentsFollowTheirHardwareDevice) {
  ASSERT_EQ(Update("SP1", "IN_REPAIR", "lab", nullptr), 0) << err_;
  EXPECT_EQ(Err(err_), "NO_ERROR in UpdateHWDeviceStatus");
  EXPECT_EQ(Value("select concat_ws(',',device_status,location) from vexa_hw_devices"), "5,lab");
  EXPECT_EQ(CpntStates(), "K1,5,SP1;K2,5,SP1;KX,2,OTHER");
  EXPECT_EQ(DeviceHistory("true"),
            std::vector<std::string>{"IN_REPAIR|-|lab|26/05/01/10/00/00"});
  EXPECT_EQ(Value("select concat_ws('|',user_comment,coalesce(system_name,-1)) "
                  "from vexa_device_history"), "status change in hw device with name SP1 |-1");
  EXPECT_EQ(Column("select concat_ws('|',h.serialnb,p.cpnt_status,p.location) from "
                   "vexa_cpnt_history p join vexa_hw_cpnts h using (snbid) order by 1"),
            (std::vector<std::string>{"K1|IN_REPAIR|SP1", "K2|IN_REPAIR|SP1"}));

  // A location beginning with "none" is stored as given, a null one as NULL.
  ASSERT_EQ(Update("SP1", "SPARE", "none yet", nullptr), 0) << err_;
  EXPECT_EQ(Value("select location from vexa_hw_devices"), "none yet");
  ASSERT_EQ(Update("SP1", "EXT_TEST", nullptr, nullptr), 0) << err_;
  EXPECT_EQ(Value("select coalesce(location,'null') from vexa_hw_devices"), "null");
  // Two-digit years lie in the current century.
  ASSERT_EQ(Quiet([&] { return UpdateHWDeviceStatus("SP1", "SPARE", "x", nullptr,
                                                     "99/12/31/23/59/59", nullptr, err_); }), 0);
  EXPECT_EQ(Value("select max(status_change) from vexa_device_history"), "2099-12-31 23:59:59");
}

TEST_F(HWStatusTest, InUseMountsTheHardwareAndItsComponents) {
  Device("dev", "", 6, "rack B");
  Device("sw2", "SN2");
  Link("dev", "sw2");
  testdb::exec("update vexa_macroscopic_connectivity set lkused=0");
  Cpnt("p1", "dev", "");
  Cpnt("p2", "dev", "");
  Cpnt("p3", "dev", "");

  ASSERT_EQ(Update("SP1", "IN_USE", "ignored", "dev"), 0) << err_;
  EXPECT_EQ(Value("select concat_ws(',',device_status,location) from vexa_hw_devices "
                  "where serialnb='SP1'"), "1,store");
  EXPECT_EQ(Value("select concat_ws(',',serialnb,nodeused) from vexa_lg_devices "
                  "where devicename='dev'"), "SP1,1");
  EXPECT_EQ(DeviceHistory("h.serialnb='SP1'"),
            std::vector<std::string>{"IN_USE|dev|rack B|26/05/01/10/00/00"});
  EXPECT_EQ(Value("select concat_ws('|',user_comment,system_name) from vexa_device_history"),
            "replacement of the hw  device with name SP1|6");
  // The position named like a component of another board stays empty.
  EXPECT_EQ(CpntStates(), "K1,1,SP1;K2,1,SP1;KX,2,OTHER");
  EXPECT_EQ(Column("select concat_ws('|',c.cpntname,coalesce(h.serialnb,'-'),p.cpnt_status,"
                   "p.location) from vexa_cpnt_history p join vexa_lg_cpnts c using (cpntid) "
                   "left join vexa_hw_cpnts h on h.snbid=p.snbid order by 1"),
            (std::vector<std::string>{"p1|K1|IN_USE|SP1", "p2|K2|IN_USE|SP1",
                                      "p3|-|IN_USE|SP1"}));
  EXPECT_EQ(Value("select lkused from vexa_macroscopic_connectivity"), "1");
}

TEST_F(HWStatusTest, RefusedStatusChangesChangeNothing) {
  Device("sw1", "SN1");
  Device("dev", "");
  Device("b1", "HB1");
  HwCpnt("FIX", "f", 2, "shelf", 0);
  HwCpnt("CS", "c", 2, "shelf");
  HwCpnt("C1", "c", 1, "HB1");
  Cpnt("c1", "b1", "C1");
  const std::string before = Snapshot();
  const std::string prefix = "ERROR in UpdateHWDeviceStatus : ";
  const char* kNotFree = "Error The given serialnb  doens't exist or it is in IN_USE status ";
  struct Case {
    const char* serial;
    const char* status;
    const char* into;
    const char* reason;
  } cases[] = {
      {"SN1", "SPARE", nullptr, kNotFree},
      {"ghost", "SPARE", nullptr, kNotFree},
      {"SP1", "IN_USE", "sw1", "Error The given functional device is already in USE"},
      {"SP1", "IN_USE", "ghost", "Error The given functional device is already in USE"},
      {"SP1", "IN_USE", "none", "You should provide a functional devicename"},
      {"SP1", "IN_USE", nullptr, "You should provide a functional devicename"},
      {"SP1", "TEST", "dev", "INVALID STATUS"},
      {"SP1", "NONE", nullptr, "INVALID STATUS"},
      {nullptr, "SPARE", nullptr, "SERIAL NUMBER MUST BE GIVEN"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Update(c.serial, c.status, "lab", c.into), -1);
    EXPECT_EQ(Err(err_), prefix + c.reason);
  }
  EXPECT_EQ(Quiet([&] { return UpdateHWDeviceStatus("SP1", "SPARE", "lab", nullptr, nullptr,
                                                     nullptr, err_); }), -1);
  EXPECT_EQ(Err(err_), prefix + "DATE OF CHANGE STATUS MUST BE GIVEN");

  auto cpnt = [&](const char* serial, const char* status, const char* into) {
    return Quiet([&] { return UpdateHWBoardCpntStatus(serial, status, "lab", nullptr,
                                                      "26/05/01/10/00/00", into, err_); });
  };
  EXPECT_EQ(cpnt("FIX", "DESTROYED", nullptr), -1);  // not replacable
  EXPECT_EQ(Err(err_), "ERROR in UpdateHWBoardCpntStatus : Error The given serialnb  doens't "
                       "exist or it is in IN_USE status ");
  EXPECT_EQ(cpnt("CS", "IN_USE", "c1"), -1);  // the position holds C1
  EXPECT_EQ(Err(err_), "ERROR in UpdateHWBoardCpntStatus : Error The given functional device "
                       "is already in USE");
  EXPECT_EQ(Snapshot(), before);
}
