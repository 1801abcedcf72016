// The connection and row wrappers against the private database.
#include <gtest/gtest.h>

#include <string>

#include "plugin_db_fixture.h"

namespace {

class LookupWrappers : public PluginDbTest {
 protected:
  std::string Row(const char* function, Arg key) {
    return TextResult(Quiet([&] { return ctrl_.Call(function, {key}); }));
  }
};

TEST_F(LookupWrappers, ConnectionResultsAndTextsComeFromTheLibrary) {
  EXPECT_STREQ(err_.getValue(), "NO_ERROR in LoadSubsystemTable");
  EXPECT_EQ(IntResult(Quiet([&] { return ctrl_.Call("PVSSDBDeconnexion", {Arg::Of(err_)}); })), 0);
  const std::string disconnected = err_.getValue();
  EXPECT_EQ(disconnected.rfind("NO_ERROR", 0), 0u) << disconnected;

  EXPECT_EQ(Connect("not the password"), -1);
  EXPECT_EQ(std::string(err_.getValue()).rfind("ERROR in Connect : ", 0), 0u) << err_.getValue();
  EXPECT_EQ(Row("PVSSGetDeviceTypeRow", "SWITCH"),
            "ERROR in GetDeviceTypeRow : NOT CONNECTED TO ANY DB")
      << "a failure without a larger length gives the ErrMess text";

  EXPECT_EQ(Connect(params_.password.c_str()), 0) << err_.getValue();
}

TEST_F(LookupWrappers, RowLongerThanTheFirstBufferComesWithTheSecondCall) {
  const std::string description(980, 'd');
  testdb::exec("insert into vexa_lg_device_types(devicetypeID, devicetype, nbrofinput, "
               "nbrofoutput, description, rgbcolor, system_name) values "
               "(11, 'LONG', 4, 2, '" + description + "', 'red', 2), "
               "(12, 'SHORT', 1, 1, 'short one', null, 6)");
  const std::string row = Row("PVSSGetDeviceTypeRow", "LONG");
  EXPECT_GT(row.size(), 1000u);
  EXPECT_EQ(row, "|devicetype (C):LONG |devicetypeID (I):11 |nbrofinput (I):4 |nbrofoutput (I):2 "
                 "|description (C):" + description + " |rgbcolor (C):red |system_name (C):DAQ |");

  const Variable* first = Quiet([&] { return ctrl_.Call("PVSSGetDeviceTypeRow", {"SHORT"}); });
  EXPECT_EQ(TextResult(first),
            "|devicetype (C):SHORT |devicetypeID (I):12 |nbrofinput (I):1 |nbrofoutput (I):1 "
            "|description (C):short one |rgbcolor (C):none |system_name (C):DAQ,TFC |");
  const Variable* second = Quiet([&] { return ctrl_.Call("PVSSGetDeviceTypeRow", {"NONE"}); });
  EXPECT_EQ(second, first) << "one result value per wrapper";
  EXPECT_EQ(TextResult(first), "NO_ROWS_SELECTED");
}

TEST_F(LookupWrappers, DeviceRowsByNameAndById) {
  testdb::exec(
      "insert into vexa_lg_device_types(devicetypeID, devicetype, nbrofinput, nbrofoutput) "
      "values (11, 'SWITCH', 1, 1);"
      "insert into vexa_hw_devices(serialnb, hwtype, device_status) values ('SN-1', 'sw', 1);"
      "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, "
      "active, nodeused, system_name, serialnb, location) values "
      "('sw01', 11, 101, 1, 0, 1, 1, 30, 'SN-1', 'rack A')");
  const std::string expected =
      "|devicename (C):sw01 |devicetype (C):SWITCH |active (I):1 |node (I):1 "
      "|deviceid  (I):101 |promiscuous_mode (I):0 |location (C):rack A |nodeused (I):1 "
      "|serialnb  (C):SN-1 |system_name (C):DAQ,TFC,ECS |";
  EXPECT_EQ(Row("PVSSGetDeviceRow_devicename", "sw01"), expected);
  EXPECT_EQ(Row("PVSSGetDeviceRow_devid", 101), expected);
  EXPECT_EQ(Row("PVSSGetDeviceRow_devicename", "sw02"), "NO_ROWS_SELECTED");
  EXPECT_EQ(Row("PVSSGetDeviceRow_devid", 102), "NO_ROWS_SELECTED");
}

}  // namespace
