// Replacement of the hardware behind functional devices and board
// components: the life of an item, every refusal, and the texts.
#include "inventory_fixture.h"
#include "link_batch_beside.h"

class ReplacementTest : public InventoryTest {
 protected:
  void SetUp() override {
    InventoryTest::SetUp();
    Device("sw1", "SN1", 2, "rack A");
    Device("sw2", "SN2");
    Link("sw1", "sw2");
    Link("sw2", "sw1");
    Hardware("SP1", 2);
  }
  int Replace(const char* name, const char* status, const char* location, const char* comment,
              const char* date, const char* spare, const char* spare_date) {
    return Quiet([&] {
      return ReplaceFunctionalDevice(name, status, location, comment, date, spare, spare_date,
                                     err_);
    });
  }
  static std::string Sw1Rows() {
    return "h.serialnb in ('SN1','SP1') or h.deviceid=(select deviceid from vexa_lg_devices "
           "where devicename='sw1')";
  }
  static std::string LinksOf(const char* device) {
    return Value(std::string("select string_agg(lkused::text,',' order by linkid) from "
                             "vexa_macroscopic_connectivity where portidfrom in (select portid "
                             "from vexa_port_properties p join vexa_lg_devices d using (deviceid) "
                             "where devicename='") + device + "')");
  }
};

TEST_F(ReplacementTest, DeviceGoesToRepairWithASpareAndComesBack) {
  ASSERT_EQ(Replace("sw1", "IN_REPAIR", "lab", "broken", "26/03/01/10/00/00", "SP1",
                    "26/03/02/09/00/00"), 0) << err_;
  EXPECT_EQ(Err(err_), "NO_ERROR in ReplaceFunctionalDevice");
  EXPECT_EQ(Value("select string_agg(concat_ws(',',serialnb,device_status,location),';' order by "
                  "serialnb) from vexa_hw_devices where serialnb in ('SN1','SP1')"),
            "SN1,5,lab;SP1,1,store");
  EXPECT_EQ(Value("select concat_ws(',',serialnb,nodeused) from vexa_lg_devices "
                  "where devicename='sw1'"), "SP1,1");
  EXPECT_EQ(DeviceHistory(Sw1Rows()),
            (std::vector<std::string>{"IN_REPAIR|-|lab|26/03/01/10/00/00",
                                      "NONE|sw1|rack A|26/03/01/10/00/00",
                                      "IN_USE|sw1|rack A|26/03/02/09/00/00"}));
  EXPECT_EQ(Value("select string_agg(distinct concat_ws(',',user_comment,system_name),';') "
                  "from vexa_device_history"), "broken,2");
  EXPECT_EQ(LinksOf("sw1"), "1");

  // Repaired, SN1 goes back in; equal dates write no NONE row.
  ASSERT_EQ(Quiet([&] { return UpdateHWDeviceStatus("SN1", "SPARE", "store", nullptr,
                                                     "26/04/01/08/00/00", nullptr, err_); }), 0)
      << err_;
  ASSERT_EQ(Replace("sw1", "SPARE", "store", "none", "26/04/02/08/00/00", "SN1",
                    "26/04/02/08/00/00"), 0) << err_;
  EXPECT_EQ(Value("select concat_ws(',',serialnb,nodeused) from vexa_lg_devices "
                  "where devicename='sw1'"), "SN1,1");
  EXPECT_EQ(Value("select device_status from vexa_hw_devices where serialnb='SP1'"), "2");
  EXPECT_EQ(Value("select count(*) from vexa_device_history where device_status='NONE'"), "1");
  EXPECT_EQ(Value("select user_comment from vexa_device_history where device_status='SPARE' "
                  "and serialnb='SP1'"),
            "replacement of the functional device with name sw1");
}

TEST_F(ReplacementTest, DeviceLeftWithoutHardwareLosesItsLinksUntilMountedAgain) {
  ASSERT_EQ(Replace("sw1", "IN_REPAIR", nullptr, nullptr, "26/03/01/10/00/00", "none", nullptr),
            0) << err_;
  EXPECT_EQ(Value("select concat_ws(',',device_status,coalesce(location,'null')) "
                  "from vexa_hw_devices where serialnb='SN1'"), "5,null");
  EXPECT_EQ(Value("select concat_ws(',',coalesce(serialnb,'null'),nodeused) "
                  "from vexa_lg_devices where devicename='sw1'"), "null,0");
  EXPECT_EQ(DeviceHistory(Sw1Rows()),
            (std::vector<std::string>{"IN_REPAIR|-|-|26/03/01/10/00/00",
                                      "NOT_AVAILABLE|sw1|rack A|26/03/01/10/00/00"}));
  EXPECT_EQ(Value("select string_agg(distinct user_comment,';') from vexa_device_history"),
            "status change in functional device with name sw1 ");
  EXPECT_EQ(LinksOf("sw1"), "0");
  EXPECT_EQ(LinksOf("sw2"), "0");

  ASSERT_EQ(Quiet([&] { return UpdateHWDeviceStatus("SN1", "IN_USE", nullptr, nullptr,
                                                     "26/03/05/10/00/00", "sw1", err_); }), 0)
      << err_;
  EXPECT_EQ(LinksOf("sw1"), "1");
  EXPECT_EQ(LinksOf("sw2"), "1");
}

// A device left without hardware takes its links out of use, rewriting
// them in link order: it waits for another client's link batch sent in that
// order instead of deadlocking with it.
TEST_F(ReplacementTest, DeviceLinksWaitForALinkBatchInLinkOrder) {
  const std::vector<std::string> links =
      Column("select linkid from vexa_macroscopic_connectivity order by linkid");
  ASSERT_EQ(links.size(), 2u);
  const testdb::BesideABatch run =
      testdb::CallBesideALinkBatch(params_, std::stoi(links[0]), std::stoi(links[1]), [&] {
        return Replace("sw1", "IN_REPAIR", nullptr, nullptr, "26/03/01/10/00/00", "none",
                       nullptr);
      });
  ASSERT_TRUE(run.lies_first);
  EXPECT_TRUE(run.call_waited);
  EXPECT_EQ(run.second_row, "");
  EXPECT_EQ(run.commit, "");
  EXPECT_EQ(run.result, 0) << err_;
  EXPECT_EQ(Value("select string_agg(concat_ws(':',lkused,link_info),',' order by linkid) "
                  "from vexa_macroscopic_connectivity"),
            "0:batch,0:batch");
}

TEST_F(ReplacementTest, BoardComponentsFollowTheReplacedDevice) {
  HwCpnt("K1", "a", 1, "SN1");
  HwCpnt("K2", "b", 1, "SN1");
  HwCpnt("K3", "z", 1, "SN1");
  HwCpnt("KA", "a", 2, "SP1");
  Cpnt("a", "sw1", "K1");
  Cpnt("b", "sw1", "K2");
  MicroLink("a", "b");
  ASSERT_EQ(Replace("sw1", "IN_REPAIR", "lab", nullptr, "26/03/01/10/00/00", "SP1",
                    "26/03/01/12/00/00"), 0) << err_;
  EXPECT_EQ(CpntStates(), "K1,5,SN1;K2,5,SN1;K3,5,SN1;KA,1,SP1");
  EXPECT_EQ(Positions(), "a,KA;b,-");
  EXPECT_EQ(CpntHistory("HH24"),
            (std::vector<std::string>{"NONE|-|a|sw1|10", "NONE|-|b|sw1|10",
                                      "IN_REPAIR|K1|-|SN1|10", "IN_REPAIR|K2|-|SN1|10",
                                      "IN_REPAIR|K3|-|SN1|10", "IN_USE|KA|a|SP1|12"}));
  EXPECT_EQ(Value("select coalesce(lkused::text,'null') from vexa_microscopic_connectivity"),
            "null");
}

TEST_F(ReplacementTest, RefusedDeviceReplacementsChangeNothing) {
  Device("empty", "");
  const std::string before = Snapshot();
  struct Case {
    const char* name;
    const char* spare;
    const char* spare_date;
    const char* reason;
  } cases[] = {
      {"empty", nullptr, nullptr, "Error The given log. device name is not IN_USE"},
      {"ghost", "SP1", "26/03/02/00/00/00", "Error The given log. device name is not IN_USE"},
      {"sw1", "SN2", "26/03/02/00/00/00", "Error The given serial nb is not a SPARE"},
      {"sw1", "ghost", "26/03/02/00/00/00", "Error The given serial nb is not a SPARE"},
      {"sw1", "SP1", "26/02/28/23/59/59",
       "Error date of replacement must be after date of status change"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Replace(c.name, "DESTROYED", "bin", nullptr, "26/03/01/00/00/00", c.spare,
                      c.spare_date), -1);
    EXPECT_EQ(Err(err_), std::string("ERROR in ReplaceFunctionalDevice : ") + c.reason);
    EXPECT_EQ(Snapshot(), before) << c.name << " " << (c.spare ? c.spare : "-");
  }
}

TEST_F(ReplacementTest, ServerFailuresRollBackOrKeepTheCommittedPart) {
  {
    ServerFunctionSwap swap(
        "vexa_configuration_dev.UpdateBoardCpnt(integer,text,integer,text,text,text,text,text,"
        "text)",
        "SELECT 7");
    const std::string before = Snapshot();
    ASSERT_EQ(UpdateMultipleDeviceActiveByType("sw2", 1, 0, 0, err_), 0) << err_;  // left pending
    EXPECT_EQ(Replace("sw1", "SPARE", "x", nullptr, "26/03/01/00/00/00", nullptr, nullptr), -1);
    EXPECT_EQ(Err(err_), "ERROR in ReplaceFunctionalDevice : Error in the transaction: "
                         "no changes have been done");
    // The replacement is undone; what an earlier call left pending is not.
    ASSERT_EQ(UpdateMultipleDeviceActiveByType("sw1", 0, 0, 1, err_), 0) << err_;  // commits
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Value("select active from vexa_lg_devices where devicename='sw2'"), "1");
  }
  // A failed path refresh leaves the emptied device and its links committed.
  ServerFunctionSwap swap("routingtable_pck.updatepathused(integer)", "SELECT 3");
  EXPECT_EQ(Replace("sw1", "SPARE", "x", nullptr, "26/03/01/00/00/00", nullptr, nullptr), -1);
  EXPECT_EQ(Err(err_),
            "ERROR in ReplaceFunctionalDevice : Error couldn't update links and paths status");
  EXPECT_EQ(Value("select nodeused from vexa_lg_devices where devicename='sw1'"), "0");
  EXPECT_EQ(LinksOf("sw1"), "0");
}

TEST_F(ReplacementTest, StatusTextsAreMatchedByTheirStartAndStoredWhole) {
  // "EXT_TES" is EXT_TEST for a device (7 characters compared).
  ASSERT_EQ(Replace("sw1", "EXT_TES", "lab", nullptr, "26/03/01/00/00/00", nullptr, nullptr), 0)
      << err_;
  EXPECT_EQ(Value("select device_status from vexa_hw_devices where serialnb='SN1'"), "4");
  // Quotes and statement text in the caller's texts are stored as given.
  const char* status = "IN_REPAIRED');drop table vexa_ipinfo;--";
  ASSERT_EQ(Replace("sw2", status, "O'Brien's lab", nullptr, "26/03/01/00/00/00", nullptr,
                    nullptr), 0) << err_;
  EXPECT_EQ(Value("select concat_ws('|',device_status,location) from vexa_hw_devices "
                  "where serialnb='SN2'"), "5|O'Brien's lab");
  EXPECT_EQ(Value("select device_status from vexa_device_history where serialnb='SN2'"), status);
  EXPECT_EQ(Value("select to_regclass('vexa_ipinfo') is not null"), "t");
}

TEST_F(ReplacementTest, RefusalsComeInTheirOrderBeforeTheDatabase) {
  const std::string before = Snapshot();
  for (const char* status : std::vector<const char*>{"IN_USE", "TEST", "NONE", nullptr}) {
    EXPECT_EQ(Replace(nullptr, status, nullptr, nullptr, nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(Err(err_), "ERROR in ReplaceFunctionalDevice : INVALID STATUS");
  }
  EXPECT_EQ(Replace(nullptr, "SPARE", nullptr, nullptr, nullptr, nullptr, nullptr), -1);
  EXPECT_EQ(Err(err_), "ERROR in ReplaceFunctionalDevice : DEVICE NAME MUST BE GIVEN");
  EXPECT_EQ(Replace("sw1", "SPARE", nullptr, nullptr, nullptr, nullptr, nullptr), -1);
  EXPECT_EQ(Err(err_), "ERROR in ReplaceFunctionalDevice : DATE OF CHANGE STATUS MUST BE GIVEN");
  EXPECT_EQ(Replace("sw1", "SPARE", nullptr, nullptr, "26/03/01/00/00/00", "SP1", nullptr), -1);
  EXPECT_EQ(Err(err_), "ERROR in ReplaceFunctionalDevice : DATE OF REPLACEMENT MUST BE GIVEN");
  // Long texts overflow nothing: a long name matches no device, a location
  // longer than the column is the database's error.
  const std::string long_text(5000, 'x');
  EXPECT_EQ(Replace(long_text.c_str(), "SPARE", "lab", nullptr, "26/03/01/00/00/00", nullptr,
                    nullptr), -1);
  EXPECT_EQ(Err(err_), "ERROR in ReplaceFunctionalDevice : Error The given log. device name is "
                       "not IN_USE");
  EXPECT_EQ(Replace("sw1", "SPARE", long_text.c_str(), nullptr, "26/03/01/00/00/00", nullptr,
                    nullptr), 12899);
  EXPECT_EQ(Err(err_), "ERROR in ReplaceFunctionalDevice : value too long for type character "
                       "varying(200)");
  // A date text that is no date is the database's error too.
  EXPECT_EQ(Replace("sw1", "SPARE", "lab", nullptr, "26/13/01", nullptr, nullptr), 1861);
  EXPECT_EQ(Snapshot(), before);

  Quiet([&] { return DBDeconnexion(err_); });
  EXPECT_EQ(Replace(nullptr, "SPARE", nullptr, nullptr, nullptr, nullptr, nullptr), -1);
  EXPECT_EQ(Err(err_), "ERROR in ReplaceFunctionalDevice : NOT CONNECTED TO ANY DB");
}

class CpntReplacementTest : public InventoryTest {
 protected:
  void SetUp() override {
    InventoryTest::SetUp();
    Device("b1", "HB1", 2, "crate 3");
    HwCpnt("C1", "c1", 1, "HB1");
    HwCpnt("C2", "c2", 1, "HB1");
    HwCpnt("CS", "c1", 2, "shelf");
    HwCpnt("FIX", "c3", 1, "HB1", 0);
    Cpnt("c1", "b1", "C1");
    Cpnt("c2", "b1", "C2");
    Cpnt("c3", "b1", "FIX");
    MicroLink("c1", "c2");
  }
  int Replace(const char* name, const char* status, const char* spare, const char* date2) {
    return Quiet([&] {
      return ReplaceFunctionalBoardCpnt(name, status, "lab", nullptr, "26/03/01/10/00/00", spare,
                                        date2, err_);
    });
  }
};

TEST_F(CpntReplacementTest, ComponentGoesToRepairAndComesBackWithItsLinks) {
  ASSERT_EQ(Replace("c1", "IN_REPAIR", nullptr, nullptr), 0) << err_;
  EXPECT_EQ(CpntStates(), "C1,5,lab;C2,1,HB1;CS,2,shelf;FIX,1,HB1");
  EXPECT_EQ(Positions(), "c1,-;c2,C2;c3,FIX");
  EXPECT_EQ(CpntHistory("DD/HH24"), (std::vector<std::string>{"IN_REPAIR|C1|-|lab|01/10",
                                                     "NONE|-|c1|b1|01/10"}));
  EXPECT_EQ(Value("select coalesce(lkused::text,'null') from vexa_microscopic_connectivity"),
            "null");

  ASSERT_EQ(Quiet([&] { return UpdateHWBoardCpntStatus("C1", "SPARE", "shelf", nullptr,
                                                       "26/03/02/10/00/00", nullptr, err_); }),
            0) << err_;
  ASSERT_EQ(Quiet([&] { return UpdateHWBoardCpntStatus("C1", "IN_USE", nullptr, nullptr,
                                                       "26/03/03/10/00/00", "c1", err_); }),
            0) << err_;
  EXPECT_EQ(CpntStates(), "C1,1,HB1;C2,1,HB1;CS,2,shelf;FIX,1,HB1");
  EXPECT_EQ(Positions(), "c1,C1;c2,C2;c3,FIX");
  EXPECT_EQ(CpntHistory("DD/HH24").back(), "IN_USE|C1|c1|b1|03/10");
  EXPECT_EQ(Value("select lkused from vexa_microscopic_connectivity"), "1");
}

TEST_F(CpntReplacementTest, SpareComponentTakesThePosition) {
  ASSERT_EQ(Replace("c1", "DESTROYED", "CS", "26/03/01/12/00/00"), 0) << err_;
  EXPECT_EQ(CpntStates(), "C1,6,lab;C2,1,HB1;CS,1,shelf;FIX,1,HB1");
  EXPECT_EQ(Positions(), "c1,CS;c2,C2;c3,FIX");
  EXPECT_EQ(CpntHistory("DD/HH24"), (std::vector<std::string>{"DESTROYED|C1|-|lab|01/10",
                                                     "NONE|-|c1|b1|01/10",
                                                     "IN_USE|CS|c1|b1|01/12"}));
}

TEST_F(CpntReplacementTest, RefusedComponentReplacementsChangeNothing) {
  const std::string before = Snapshot();
  const std::string prefix = "ERROR in ReplaceFunctionalBoardCpnt : ";
  EXPECT_EQ(Replace("c3", "SPARE", nullptr, nullptr), -1);  // not replacable
  EXPECT_EQ(Err(err_), prefix + "Error The given log. cpnt name is not IN_USE or not replacable");
  EXPECT_EQ(Replace("c1", "SPARE", "C2", "26/03/02/00/00/00"), -1);
  EXPECT_EQ(Err(err_), prefix + "Error The given serial nb is not a SPARE");
  EXPECT_EQ(Replace("c1", "SPARE", "CS", "26/02/01/00/00/00"), -1);
  EXPECT_EQ(Err(err_), prefix + "Error date of replacement must be after date of status change");
  // Eight characters of "EXT_TEST" are compared for components.
  EXPECT_EQ(Replace("c1", "EXT_TES", nullptr, nullptr), -1);
  EXPECT_EQ(Err(err_), prefix + "INVALID STATUS");
  EXPECT_EQ(Snapshot(), before);
}
