// Histories between optional date bounds, and the hardware last mounted
// where, read from history rows written here directly.
#include <cstring>

#include "inventory_fixture.h"

namespace {

std::string Literal(const char* text) { return text ? "'" + std::string(text) + "'" : "NULL"; }

}  // namespace

class HistoryTest : public InventoryTest {
 protected:
  void SetUp() override {
    InventoryTest::SetUp();
    Device("sw1", "SN1");
    Device("sw2", "SN2");
    Hardware("SP1", 2);
    DeviceRow("SN1", "sw1", "SPARE", "1999-05-01", "store");
    DeviceRow("SN1", "sw1", "IN_USE", "2026-01-01", "rack");
    DeviceRow("SN1", nullptr, "IN_REPAIR", "2026-02-01", "lab");
    DeviceRow(nullptr, "sw1", "NOT_AVAILABLE", "2026-02-01", "rack");
    DeviceRow("SN1", "sw2", "IN_USE", "2026-03-01 12:00", "rack?2");
  }
  static void DeviceRow(const char* serial, const char* device, const char* status,
                        const char* when, const char* location) {
    testdb::exec("insert into vexa_device_history(historydeviceid,serialnb,deviceid,device_status,"
                 "location,status_change) values (nextval('vexa_history_deviceseq')," +
                 Literal(serial) + ",(select deviceid from vexa_lg_devices where devicename=" +
                 Literal(device) + ")," + Literal(status) + "," + Literal(location) +
                 ",timestamp '" + when + "')");
  }
  static void CpntRow(const char* serial, const char* position, const char* status,
                      const char* when, const char* location) {
    testdb::exec("insert into vexa_cpnt_history(historycpntid,snbid,cpntid,cpnt_status,location,"
                 "status_change) values (nextval('VEXA_CPNT_HISTORY_COMPTID_SEQ'),(select snbid "
                 "from vexa_hw_cpnts where serialnb=" + Literal(serial) + "),(select cpntid from "
                 "vexa_lg_cpnts where cpntname=" + Literal(position) + ")," + Literal(status) +
                 "," + Literal(location) + ",timestamp '" + when + "')");
  }
  std::vector<std::string> DeviceHistoryOf(const char* name, const char* min, const char* max) {
    return List([&](char* list, int* len) {
      return GetHistoryOfFunctionalDevice(name, list, len, min, max, err_);
    });
  }
  std::string Last(int (*f)(const char*, char*, int*, char*), const char* key, int capacity = 100) {
    char out[100] = "untouched";
    const int rc = Quiet([&] { return f(key, out, &capacity, err_); });
    return rc == 0 ? out : std::to_string(rc) + " " + std::to_string(capacity) + ": " + err_;
  }
};

TEST_F(HistoryTest, DeviceHistoriesBetweenOpenAndClosedBounds) {
  const std::string spare = "sw1|SN1|SPARE|99/05/01/00/00/00|store";
  const std::string in_use = "sw1|SN1|IN_USE|26/01/01/00/00/00|rack";
  const std::string emptied = "sw1|none|NOT_AVAILABLE|26/02/01/00/00/00|rack";
  using Rows = std::vector<std::string>;
  EXPECT_EQ(DeviceHistoryOf("sw1", "none", "none"), (Rows{spare, in_use, emptied}));
  EXPECT_EQ(Err(err_), "NO_ERROR in GetHistoryOfFunctionalDevice");
  // Both ends are included.
  EXPECT_EQ(DeviceHistoryOf("sw1", "26/01/01/00/00/00", "26/02/01/00/00/00"),
            (Rows{in_use, emptied}));
  // Bounds compare as texts: 99/ sorts after 26/, and a short bound sorts
  // before every change of its day.
  EXPECT_EQ(DeviceHistoryOf("sw1", "26/01/02", "nonexistent"), (Rows{spare, emptied}));
  EXPECT_EQ(DeviceHistoryOf("sw1", "none", "26/02/01"), (Rows{in_use}));
  // Only the lower-case word opens a bound.
  EXPECT_EQ(DeviceHistoryOf("sw1", "NONE", "none"), (Rows{"NO_ROWS_SELECTED"}));
  EXPECT_EQ(Err(err_), "ERROR in GetHistoryOfFunctionalDevice : NO_ROWS_SELECTED");

  // Rows without a device name the device -1; a '?' of a location stays.
  EXPECT_EQ(List([&](char* list, int* len) {
              return GetHistoryOfHWDevice("SN1", list, len, "26/01/15", "none", err_);
            }),
            (Rows{"sw1|SN1|SPARE|99/05/01/00/00/00|store",
                  "none|SN1|IN_REPAIR|26/02/01/00/00/00|lab",
                  "sw2|SN1|IN_USE|26/03/01/12/00/00|rack?2"}));
  EXPECT_EQ(DeviceHistoryOf(nullptr, "none", "none"),
            (Rows{"-1: ERROR in GetHistoryOfFunctionalDevice :  device name MUST be given"}));
  EXPECT_EQ(DeviceHistoryOf("sw1", nullptr, "none"),
            (Rows{"-1: ERROR in GetHistoryOfFunctionalDevice :  min_date and max_date MUST be "
                  "given"}));
}

TEST_F(HistoryTest, ListsFollowTheLengthProtocol) {
  char list[200];
  std::memset(list, '#', sizeof list);
  // "sw1|SN1|IN_USE|26/01/01/00/00/00|rack" and the NOT_AVAILABLE row.
  const int needed = 38 + 46;
  int len = needed - 1;
  auto call = [&](const char* max) {
    return Quiet([&] {
      return GetHistoryOfFunctionalDevice("sw1", list, &len, "26/01/01", max, err_);
    });
  };
  EXPECT_EQ(call("26/12"), -1);
  EXPECT_EQ(len, needed);
  EXPECT_EQ(list[0], '#');
  EXPECT_EQ(Err(err_), "ERROR in GetHistoryOfFunctionalDevice : BUFFER_TOO_SMALL");
  EXPECT_EQ(call("26/12"), 0);
  EXPECT_EQ(len, needed);
  EXPECT_EQ(Err(err_), "NO_ERROR in GetHistoryOfFunctionalDevice");

  // The no-rows marker needs its 17 bytes; the length stays as it was.
  for (int capacity : {16, 0, -5}) {
    len = capacity;
    EXPECT_EQ(call("00"), -1);
    EXPECT_EQ(len, 17);
  }
  EXPECT_EQ(call("00"), 0);
  EXPECT_STREQ(list, "NO_ROWS_SELECTED");
  EXPECT_EQ(len, 17);
}

TEST_F(HistoryTest, ComponentHistoriesByPositionAndByHardware) {
  Device("b1", "HB1");
  HwCpnt("C1", "c1", 1, "HB1");
  Cpnt("c1", "b1", "C1");
  CpntRow("C1", "c1", "IN_USE", "2026-01-01", "b1");
  CpntRow(nullptr, "c1", "NONE", "2026-02-01", "b1");
  CpntRow("C1", nullptr, "IN_REPAIR", "2026-02-01", nullptr);
  const std::string id = Value("select snbid from vexa_hw_cpnts where serialnb='C1'");
  using Rows = std::vector<std::string>;
  EXPECT_EQ(List([&](char* list, int* len) {
              return GetHistoryOfFunctionalBoardCpntName("c1", list, len, "none", "none", err_);
            }),
            (Rows{"c1|C1|" + id + "|IN_USE|26/01/01/00/00/00|b1",
                  "c1|none|-1|NONE|26/02/01/00/00/00|b1"}));
  const Rows by_hardware{"c1|C1|" + id + "|IN_USE|26/01/01/00/00/00|b1",
                         "none|C1|" + id + "|IN_REPAIR|26/02/01/00/00/00|none"};
  EXPECT_EQ(List([&](char* list, int* len) {
              return GetHistoryOfHWBoardCpnt("C1", -1, list, len, "none", "none", err_);
            }),
            by_hardware);
  EXPECT_EQ(List([&](char* list, int* len) {
              return GetHistoryOfHWBoardCpnt("unused", std::stoi(id), list, len, "none", "none",
                                             err_);
            }),
            by_hardware);
  EXPECT_EQ(List([&](char* list, int* len) {
              return GetHistoryOfHWBoardCpnt(nullptr, std::stoi(id), list, len, "none", "none",
                                             err_);
            }),
            (Rows{"-1: ERROR in GetHistoryOfHWBoardCpnt :  device name MUST be given"}));

  // Hardware last in use in a position, and the position of a component.
  char out[100];
  int capacity = sizeof out;
  EXPECT_EQ(Quiet([&] { return GetHWLastFunctionalBoardCpntName("C1", -1, out, &capacity,
                                                                err_); }), 0);
  EXPECT_STREQ(out, "c1");
  EXPECT_EQ(Quiet([&] { return GetHWLastFunctionalBoardCpntName("x", std::stoi(id), out,
                                                                &capacity, err_); }), 0);
  EXPECT_STREQ(out, "c1");
  EXPECT_EQ(Quiet([&] { return GetHWLastFunctionalBoardCpntName(nullptr, 1, out, &capacity,
                                                                err_); }), -1);
  EXPECT_EQ(Err(err_), "ERROR in GetHWLastFunctionalBoardCpntName :  serialnb MUST be given");
  // The position was emptied since: no last hardware.
  EXPECT_EQ(Last(GetFunctionalBoardCpntNameLastHW, "c1"), "none");
  CpntRow("C1", "c1", "IN_USE", "2026-03-01", "b1");
  EXPECT_EQ(Last(GetFunctionalBoardCpntNameLastHW, "c1"), "C1|" + id);
}

TEST_F(HistoryTest, LastMountedHardwareInBothDirections) {
  EXPECT_EQ(Last(GetHWLastFunctionalDevice, "SN1"), "sw2");
  EXPECT_EQ(Err(err_), "NO_ERROR in GetHWLastFunctionalDevice");
  // sw1 was emptied since, yet still names the hardware last in use there.
  EXPECT_EQ(Last(GetFunctionalDeviceLastHW, "sw1"), "SN1");
  EXPECT_EQ(Last(GetHWLastFunctionalDevice, "SP1"), "none");
  EXPECT_EQ(Err(err_), "ERROR in GetHWLastFunctionalDevice : NO_ROWS_SELECTED");
  EXPECT_EQ(Last(GetHWLastFunctionalDevice, nullptr),
            "-1 100: ERROR in GetHWLastFunctionalDevice :  device name MUST be given");

  // "sw2" needs 4 bytes; the length is written only when it does not fit.
  EXPECT_EQ(Last(GetHWLastFunctionalDevice, "SN1", 4), "sw2");
  EXPECT_EQ(Last(GetHWLastFunctionalDevice, "SN1", 3),
            "-1 4: ERROR in GetHWLastFunctionalDevice : BUFFER_TOO_SMALL");
  EXPECT_EQ(Last(GetHWLastFunctionalDevice, "SP1", 4),
            "-1 5: ERROR in GetHWLastFunctionalDevice : BUFFER_TOO_SMALL");
  EXPECT_EQ(Last(GetHWLastFunctionalDevice, "SN1", 0),
            "-1 4: ERROR in GetHWLastFunctionalDevice : BUFFER_TOO_SMALL");
}
