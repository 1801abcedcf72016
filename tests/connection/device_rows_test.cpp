// Device types and devices read back as rows of text.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "db_fixture.h"

namespace {

class DeviceRows : public ConnectedTest {
 protected:
  void SetUp() override {
    ConnectedTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    testdb::exec(
        "insert into vexa_lg_device_types(devicetypeID, devicetype, nbrofinput, nbrofoutput, "
        "description, rgbcolor, system_name) values "
        "(11, 'SWITCH', 48, 24, 'core switch', 'red', 10),"
        "(12, 'BARE', 0, 0, null, null, null),"
        "(13, 'ALIEN', 1, 1, 'x', 'y', 7);"
        "insert into vexa_hw_devices(serialnb, hwtype, device_status) values ('SN-1', 'sw', 1);"
        "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, "
        "active, nodeused, system_name, serialnb, location) values "
        "('sw01', 11, 101, 1, 0, 1, 1, 30, 'SN-1', 'rack A'),"
        "('sw02', 12, 102, 0, 1, 0, 1, null, null, null),"
        "('odd', 12, 103, 0, 0, 12, 1, 2, null, 'x')");
  }

  int by_name(const char* name, int capacity, std::string* row) {
    std::string buf(capacity > 0 ? capacity : 1, '\x7f');
    len_ = capacity;
    int rc = GetDeviceRow_devicename(name, &len_, buf.data(), err_);
    *row = buf.c_str();
    return rc;
  }

  int len_ = 0;
};

TEST_F(DeviceRows, DeviceTypeRowWithNullsShownAsNone) {
  char row[1000];
  int len = sizeof row;
  testing::internal::CaptureStdout();
  ASSERT_EQ(GetDeviceTypeRow("SWITCH", &len, row, err_), 0) << err_;
  std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_STREQ(row,
               "|devicetype (C):SWITCH |devicetypeID (I):11 |nbrofinput (I):48 |nbrofoutput (I):24 "
               "|description (C):core switch |rgbcolor (C):red |system_name (C):DAQ,ECS |");
  EXPECT_STREQ(err_, "NO_ERROR in GetDeviceTypeRow");
  EXPECT_NE(printed.find("devtypelen="), std::string::npos);
  EXPECT_NE(printed.find("rgbcolorlen="), std::string::npos);
  EXPECT_EQ(len, 1000) << "a successful row leaves the length alone";

  ASSERT_EQ(GetDeviceTypeRow("BARE", &len, row, err_), 0) << err_;
  EXPECT_STREQ(row,
               "|devicetype (C):BARE |devicetypeID (I):12 |nbrofinput (I):0 |nbrofoutput (I):0 "
               "|description (C):none |rgbcolor (C):none |system_name (C):none |");
  ASSERT_EQ(GetDeviceTypeRow("ALIEN", &len, row, err_), 0) << err_;
  EXPECT_NE(std::string(row).find("|system_name (C):ERROR_INVALID_SYSID |"), std::string::npos);
  EXPECT_STREQ(err_, "NO_ERROR in GetDeviceTypeRow");
}

TEST_F(DeviceRows, DeviceRowByNameAndById) {
  std::string row;
  ASSERT_EQ(by_name("sw01", 1000, &row), 0) << err_;
  EXPECT_EQ(row,
            "|devicename (C):sw01 |devicetype (C):SWITCH |active (I):1 |node (I):1 "
            "|deviceid  (I):101 |promiscuous_mode (I):0 |location (C):rack A |nodeused (I):1 "
            "|serialnb  (C):SN-1 |system_name (C):DAQ,TFC,ECS |");

  // No hardware mounted: an empty serial number by name, "NULL" by id.
  ASSERT_EQ(by_name("sw02", 1000, &row), 0) << err_;
  EXPECT_NE(row.find("|location (C):none |"), std::string::npos);
  EXPECT_NE(row.find("|serialnb  (C): |system_name (C):none |"), std::string::npos) << row;
  char buf[1000];
  int len = sizeof buf;
  ASSERT_EQ(GetDeviceRow_devid(102, &len, buf, err_), 0) << err_;
  EXPECT_NE(std::string(buf).find("|serialnb  (C):NULL |"), std::string::npos) << buf;
  EXPECT_STREQ(err_, "NO_ERROR in GetDeviceRow_devid");
}

TEST_F(DeviceRows, LengthProtocolIsExact) {
  std::string full;
  ASSERT_EQ(by_name("sw01", 1000, &full), 0);
  const int row_length = static_cast<int>(full.size());

  std::string row;
  EXPECT_EQ(by_name("sw01", row_length, &row), -1) << "the NUL needs room too";
  EXPECT_EQ(len_, row_length + 1);
  EXPECT_STREQ(err_, "ERROR in GetDeviceRow_devicename : BUFFER_TOO_SMALL");
  EXPECT_EQ(row.find("|devicename"), std::string::npos) << "nothing written";

  const int written_back = len_;
  EXPECT_EQ(by_name("sw01", written_back, &row), 0);
  EXPECT_EQ(row, full);
}

// A capacity below 1 is too small whatever the row: the needed length comes
// back and nothing is written (a 20-byte heap buffer lets the sanitizer see
// any write past it).
TEST_F(DeviceRows, CapacityBelowOneIsTooSmallForEveryRow) {
  for (int capacity : {0, -1, -5, INT_MIN}) {
    auto buf = std::make_unique<char[]>(20);
    std::memcpy(buf.get(), "untouched", 10);
    int len = capacity;
    EXPECT_EQ(GetDeviceRow_devicename("sw01", &len, buf.get(), err_), -1) << capacity;
    EXPECT_GT(len, 20);
    len = capacity;
    EXPECT_EQ(GetDeviceRow_devid(101, &len, buf.get(), err_), -1) << capacity;
    EXPECT_GT(len, 20);
    len = capacity;
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetDeviceTypeRow("SWITCH", &len, buf.get(), err_), -1) << capacity;
    testing::internal::GetCapturedStdout();
    EXPECT_GT(len, 20);
    EXPECT_STREQ(err_, "ERROR in GetDeviceTypeRow : BUFFER_TOO_SMALL");
    len = capacity;
    EXPECT_EQ(GetDeviceRow_devicename("nosuchdevice", &len, buf.get(), err_), -1) << capacity;
    EXPECT_EQ(len, 17);
    EXPECT_STREQ(buf.get(), "untouched");
  }
}

TEST_F(DeviceRows, FlagOutsideZeroOneStillFitsTheTestedCapacity) {
  std::string full;
  ASSERT_EQ(by_name("odd", 1000, &full), 0);
  EXPECT_NE(full.find("|active (I):12 |"), std::string::npos);
  std::string row;
  EXPECT_EQ(by_name("odd", static_cast<int>(full.size()), &row), -1);
  EXPECT_EQ(len_, static_cast<int>(full.size()) + 1);
}

TEST_F(DeviceRows, NoRowsAnswer) {
  std::string row;
  EXPECT_EQ(by_name("nosuchdevice", 100, &row), 0);
  EXPECT_EQ(row, "NO_ROWS_SELECTED");
  EXPECT_STREQ(err_, "ERROR in GetDeviceRow_devicename : NO_ROWS_SELECTED");

  char buf[100];
  int len = sizeof buf;
  EXPECT_EQ(GetDeviceRow_devid(999999, &len, buf, err_), 0);
  EXPECT_STREQ(buf, "NO_ROWS_SELECTED");
  EXPECT_EQ(GetDeviceTypeRow("NOPE", &len, buf, err_), 0);
  EXPECT_STREQ(buf, "NO_ROWS_SELECTED");

  // A buffer too small for the word is answered like any too-small buffer.
  EXPECT_EQ(by_name("nosuchdevice", 10, &row), -1);
  EXPECT_EQ(len_, 17);
}

TEST_F(DeviceRows, MissingKeys) {
  char buf[100] = "untouched";
  int len = sizeof buf;
  EXPECT_EQ(GetDeviceTypeRow(nullptr, &len, buf, err_), -1);
  EXPECT_STREQ(err_, "ERROR in GetDeviceTypeRow :  devicetype MUST be given");
  EXPECT_EQ(GetDeviceRow_devicename(nullptr, &len, buf, err_), -1);
  EXPECT_STREQ(err_, "ERROR in GetDeviceRow_devicename : devicename MUST be given");
  EXPECT_STREQ(buf, "untouched");
  EXPECT_EQ(len, 100);

  // Missing output buffers are refused rather than written through.
  EXPECT_EQ(GetDeviceRow_devicename("sw01", nullptr, buf, err_), -1);
  EXPECT_EQ(GetDeviceRow_devid(101, &len, nullptr, err_), -1);
  EXPECT_STREQ(err_, "ERROR in GetDeviceRow_devid : BUFFER_TOO_SMALL");
}

TEST_F(DeviceRows, KeyIsBoundNotFormatted) {
  std::string row;
  EXPECT_EQ(by_name("x' or '1'='1", 1000, &row), 0);
  EXPECT_EQ(row, "NO_ROWS_SELECTED");
}

// A statement the database rejects: the error number is the result code and
// the database's text the reason; the row by id names itself with its
// trailing blank in this closing failure form.
TEST_F(DeviceRows, DatabaseErrorIsReportedWithItsNumber) {
  testdb::exec("alter table vexa_lg_device_types rename to vexa_lg_device_types_away");
  char buf[1000] = "untouched";
  int len = sizeof buf;
  testing::internal::CaptureStdout();
  const int rc = GetDeviceRow_devid(101, &len, buf, err_);
  const std::string printed = testing::internal::GetCapturedStdout();
  testdb::exec("alter table vexa_lg_device_types_away rename to vexa_lg_device_types");

  EXPECT_EQ(rc, 942);
  EXPECT_EQ(std::string(err_).rfind("ERROR in GetDeviceRow_devid  : ", 0), 0u) << err_;
  EXPECT_NE(std::string(err_).find("vexa_lg_device_types"), std::string::npos) << err_;
  EXPECT_STREQ(buf, "untouched");
  EXPECT_NE(printed.find("OCIStmtExecute unsuccessful"), std::string::npos) << printed;

  // The connection is still usable afterwards.
  std::string row;
  EXPECT_EQ(by_name("sw01", 1000, &row), 0) << err_;
}

}  // namespace
