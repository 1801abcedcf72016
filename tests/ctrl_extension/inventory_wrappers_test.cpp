// The inventory wrappers against the private database: status words and
// last mounted hardware as texts, histories and lists by status as lists,
// and the changes of hardware with every argument in its place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin_db_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class InventoryWrappers : public PluginDbTest {
 protected:
  void SetUp() override {
    PluginDbTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    Hardware("SN1", 1, "nowhere");
    Hardware("SP1", 2, "store");
    Device("sw1", "SN1", "rack A");
    Device("tb", "", "bench");
    testdb::exec(
        "insert into vexa_hw_cpnts(snbid,serialnb,hwname,cpnt_status,replacable,location)"
        " values (nextval('VEXA_HW_CPNTS_SNBID_SEQ'),'K1','a',2,1,'store')");
  }
  static void Hardware(const std::string& serial, int status, const std::string& location) {
    testdb::exec("insert into vexa_hw_devices(serialnb,hwtype,device_status,location) values ('" +
                 serial + "','board'," + std::to_string(status) + ",'" + location + "')");
  }
  static void Device(const std::string& name, const std::string& serial,
                     const std::string& location) {
    testdb::exec(
        "insert into vexa_lg_devices(devicename,devicetypeID,deviceid,system_name,"
        "serialnb,location) values ('" +
        name + "',1,nextval('vexa_lg_deviceseq'),2," +
        (serial.empty() ? "NULL" : "'" + serial + "'") + ",'" + location + "')");
  }
};

TEST_F(InventoryWrappers, StatusWordsAndLastMountedHardwareAreTexts) {
  EXPECT_EQ(Text("PVSSGetFunctionalDeviceStatus", {"sw1"}), "IN_USE");
  EXPECT_EQ(Text("PVSSGetFunctionalDeviceStatus", {"tb"}), "NONE");
  EXPECT_EQ(Text("PVSSGetHWDeviceStatus", {"SP1"}), "SPARE");
  const std::string snbid = Value("select snbid from vexa_hw_cpnts where serialnb='K1'");
  EXPECT_EQ(Text("PVSSGetHWBoardCpntStatus", {"none", std::stoi(snbid)}), "SPARE");
  // Nothing found: the library leaves the word unwritten and says so in
  // ErrMess; the text is the marker rather than an empty word.
  EXPECT_EQ(Text("PVSSGetHWDeviceStatus", {"ghost"}), "NO_ROWS_SELECTED");
  EXPECT_EQ(Text("PVSSGetFunctionalBoardCpntStatus", {"nowhere"}), "NO_ROWS_SELECTED");

  testdb::exec(
      "insert into vexa_device_history(historydeviceid,serialnb,deviceid,device_status,"
      "location,status_change) select nextval('vexa_history_deviceseq'),'SN1',deviceid,"
      "'IN_USE','rack A',timestamp '2026-01-01' from vexa_lg_devices "
      "where devicename='sw1'");
  EXPECT_EQ(Text("PVSSGetFunctionalDeviceLastHW", {"sw1"}), "SN1");
  EXPECT_EQ(Text("PVSSGetHWLastFunctionalDevice", {"SN1"}), "sw1");
  EXPECT_EQ(Text("PVSSGetHWLastFunctionalDevice", {"SP1"}), "none");
  EXPECT_EQ(Text("PVSSGetHWLastFunctionalBoardCpntName", {"K1", -1}), "none");
}

TEST_F(InventoryWrappers, ChangesPassEveryTextInItsPlace) {
  // functional_name, new_status, new_location, user_comments,
  // status_datechange, serialnb_replacement, replace_date
  EXPECT_EQ(Text("PVSSReplaceFunctionalDevice", {"sw1", "IN_REPAIR", "lab", "broken",
                                                 "26/03/01/10/00/00", "SP1", "26/03/02/09/00/00"}),
            "Successful update");
  EXPECT_EQ(Value("select string_agg(concat_ws(',',serialnb,device_status,location),';' "
                  "order by serialnb) from vexa_hw_devices"),
            "SN1,5,lab;SP1,1,store");
  EXPECT_EQ(Value("select serialnb from vexa_lg_devices where devicename='sw1'"), "SP1");
  EXPECT_EQ(Value("select string_agg(distinct user_comment, ';') from vexa_device_history"),
            "broken");
  const std::string refused =
      Text("PVSSReplaceFunctionalDevice", {"tb", "SPARE", "x", "", "26/03/01/10/00/00", "", ""});
  EXPECT_EQ(refused.rfind("ERROR in ReplaceFunctionalDevice : ", 0), 0u) << refused;

  // functional_name, user_comments, status_datechange,
  // serialnb_replacement, testdevice_name, replace_date
  EXPECT_EQ(
      Text("PVSSSetToTestUseStatus", {"sw1", "to test", "26/04/01/10/00/00", "none", "tb", "none"}),
      "Successful update");
  EXPECT_EQ(Value("select string_agg(concat_ws(',',devicename,coalesce(serialnb,'-')),';' "
                  "order by devicename) from vexa_lg_devices where deviceid<>-1"),
            "sw1,-;tb,SP1");

  // serialnb, new_status, new_location, user_comments, status_datechange,
  // functional_cpntname
  EXPECT_EQ(Text("PVSSUpdateHWBoardCpntStatus",
                 {"K1", "IN_REPAIR", "lab 2", "dusty", "26/05/01/10/00/00", "none"}),
            "Successful update");
  EXPECT_EQ(Value("select concat_ws(',',cpnt_status,location) from vexa_hw_cpnts "
                  "where serialnb='K1'"),
            "5,lab 2");
  EXPECT_EQ(Value("select user_comment from vexa_cpnt_history"), "dusty");

  // cpnt_name, new_status, new_location, user_comments, status_datechange,
  // serialnb_replacement, replace_date
  const std::string no_position =
      Text("PVSSReplaceFunctionalBoardCpnt", {"p9", "SPARE", "x", "", "26/03/01/10/00/00", "", ""});
  EXPECT_EQ(no_position.rfind("ERROR in ReplaceFunctionalBoardCpnt : ", 0), 0u) << no_position;
}

TEST_F(InventoryWrappers, HistoriesAndStatusListsAreListsOfItems) {
  EXPECT_EQ(List("PVSSGetHistoryOfHWDevice", {"SN1", "none", "none"}),
            (Texts{"NO_ROWS_SELECTED", "NO_ROWS_SELECTED"}));
  // 2500 changes need more than the first 50000 bytes: the second call
  // gets the size written back and brings them all.
  testdb::exec(
      "insert into vexa_device_history(historydeviceid,serialnb,deviceid,device_status,"
      "location,status_change) select nextval('vexa_history_deviceseq'),'SN1',deviceid,"
      "'IN_USE','rack A',timestamp '2026-01-01' + g * interval '1 minute' "
      "from vexa_lg_devices, generate_series(1, 2500) g where devicename='sw1'");
  const Texts history = List("PVSSGetHistoryOfFunctionalDevice", {"sw1", "none", "none"});
  ASSERT_EQ(history.size(), 2500u);
  EXPECT_EQ(history.front(), "sw1|SN1|IN_USE|26/01/01/00/01/00|rack A");
  EXPECT_EQ(history.back(), "sw1|SN1|IN_USE|26/01/02/17/40/00|rack A");
  EXPECT_EQ(
      List("PVSSGetHistoryOfHWDevice", {"SN1", "26/01/01/00/02/00", "26/01/01/00/03/00"}).size(),
      2u);

  EXPECT_EQ(List("PVSSGetFunctionalDeviceByStatus", {"DAQ", "NONE"}), (Texts{"tb"}));
  EXPECT_EQ(List("PVSSGetHWDeviceByStatus", {"all", "SPARE"}), (Texts{"SP1"}));
  const std::string snbid = Value("select snbid from vexa_hw_cpnts where serialnb='K1'");
  EXPECT_EQ(List("PVSSGetHWBoardCpntByStatus", {"SPARE"}), (Texts{"K1|" + snbid}));
  EXPECT_EQ(List("PVSSGetHWBoardCpntByStatus", {"DESTROYED"}),
            (Texts{"NO_ROWS_SELECTED", "NO_ROWS_SELECTED"}));
}

}  // namespace
