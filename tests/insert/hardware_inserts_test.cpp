// Spare hardware devices and board components: the rows each writes, the
// serial number rules, and what a row that inserts nothing leaves behind.
#include "insert_fixture.h"

class HardwareInsertsTest : public InsertTest {
 protected:
  static std::string Value(const std::string& sql) { return testdb::value(sql); }
  // login|host, as author and terminal_name.
  static std::string Writer() {
    const std::string me = Me();
    return me.substr(me.find('|') + 1);
  }
  int Cpnt(const char* name, const char* board, const char* serial, int first, int last,
           int replacable = 0, const char* location = "shelf") {
    return Quiet([&] {
      return InsertMultipleBoardCpnts(name, "asic", replacable, board, serial, "hwt", "bob",
                                      "note", location, first, last, err_);
    });
  }
};

TEST_F(HardwareInsertsTest, SpareDeviceGetsStatusTwoAndASpareHistoryRow) {
  ASSERT_EQ(Quiet([&] {
              return InsertSpareDevice("hw1", "pc", "SN1", "anna", "fresh", "store", 0, err_);
            }), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertSpareDevice");
  EXPECT_EQ(Value("select concat_ws('|', hwname, hwtype, responsible, user_comments, location, "
                  "device_status) from vexa_hw_devices where serialnb='SN1'"),
            "hw1|pc|anna|fresh|store|2");
  EXPECT_EQ(Value("select concat_ws('|', device_status, user_comment, location, "
                  "coalesce(deviceid, -7), status_change = created, author, terminal_name) "
                  "from vexa_device_history where serialnb='SN1'"),
            "SPARE|fresh|store|-7|t|" + Writer());

  // A null comment is stored as NULL in both rows; a null serial number is
  // refused before anything is written.
  ASSERT_EQ(Quiet([&] {
              return InsertSpareDevice("hw2", "pc", "SN2", "anna", nullptr, "store", 0, err_);
            }), 0);
  EXPECT_EQ(Count("vexa_hw_devices h join vexa_device_history d using (serialnb)",
                  "serialnb='SN2' and h.user_comments is null and d.user_comment is null"), 1);
  EXPECT_EQ(InsertSpareDevice("hw3", "pc", nullptr, "anna", "c", "store", 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertSpareDevice : SERIAL_NB CAN'T BE NULL");
  EXPECT_EQ(Count("vexa_hw_devices"), 2);
}

TEST_F(HardwareInsertsTest, SpareDeviceBatchTakesConsecutiveHistoryIdsOrFailsWhole) {
  auto spare = [&](const char* serial, int first, int last) {
    return Quiet([&] {
      return InsertMultipleSpareDevices("hw", "pc", serial, "me", "c", "store", first, last, err_);
    });
  };
  EXPECT_EQ(spare("A", 1, 0), 0);
  EXPECT_EQ(spare("B", 0, 0), 0);
  EXPECT_EQ(spare("C", 0, 1), 0) << Err();
  EXPECT_EQ(Column("select serialnb || ':' || (historydeviceid - min(historydeviceid) over ()) "
                   "from vexa_device_history order by historydeviceid"),
            (std::vector<std::string>{"A:0", "B:1", "C:2"}));
  EXPECT_EQ(Count("vexa_hw_devices", "device_status = 2"), 3);

  // An existing serial number fails the send: nothing of the batch committed.
  EXPECT_EQ(spare("D", 1, 0), 0);
  EXPECT_EQ(spare("A", 0, 1), 1);
  EXPECT_EQ(Err().rfind("ERROR in InsertMultipleSpareDevices : ", 0), 0u) << Err();
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb = 'D'"), 0);
}

TEST_F(HardwareInsertsTest, MountedComponentTakesTheBoardHardwareAndAnInUseHistoryRow) {
  AddDevice("board1", "DAQ");  // its hardware: SN-board1
  ASSERT_EQ(Cpnt("c1", "board1", "SNc1", 1, 0), 0);
  // A component that is not replaceable needs no serial number: mounted
  // without one, it takes its new hardware row all the same, two in one
  // batch each their own.
  ASSERT_EQ(Cpnt("c2", "board1", nullptr, 0, 0), 0);
  ASSERT_EQ(Cpnt("c4", "board1", nullptr, 0, 1), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertMultipleBoardCpnts");

  EXPECT_EQ(Value("select concat_ws('|', h.serialnb, h.cpnt_status, h.hwname, h.replacable, "
                  "h.location, h.user_comment, c.cpnttype, c.author, c.terminal_name, "
                  "c.motherboardid = d.deviceid) from vexa_lg_cpnts c "
                  "join vexa_hw_cpnts h using (snbid) join vexa_lg_devices d "
                  "on d.devicename = 'board1' where c.cpntname = 'c1'"),
            "SNc1|1|c1|0|SN-board1|note|asic|" + Writer() + "|t");
  EXPECT_EQ(Value("select concat_ws('|', y.cpnt_status, y.location, y.user_comment, "
                  "y.status_change = c.created, y.snbid = c.snbid) from vexa_cpnt_history y "
                  "join vexa_lg_cpnts c using (cpntid) where c.cpntname = 'c1'"),
            "IN_USE|board1|note|t|t");
  EXPECT_EQ(Column("select concat_ws('|', c.cpntname, coalesce(h.serialnb, '-'), h.cpnt_status, "
                   "h.hwname, h.location, y.cpnt_status, y.location, y.snbid = c.snbid) "
                   "from vexa_lg_cpnts c join vexa_hw_cpnts h using (snbid) "
                   "join vexa_cpnt_history y using (cpntid) "
                   "where c.cpntname in ('c2', 'c4') order by 1"),
            (std::vector<std::string>{"c2|-|1|c2|SN-board1|IN_USE|board1|t",
                                      "c4|-|1|c4|SN-board1|IN_USE|board1|t"}));
  EXPECT_EQ(Count("vexa_hw_cpnts", "hwname in ('c2', 'c4')"), 2);

  // A board without hardware gets no hardware row, hence no component,
  // with a serial number or without ...
  AddDevice("bare", "DAQ");
  testdb::exec("update vexa_lg_devices set serialnb = null where devicename = 'bare'");
  EXPECT_EQ(Cpnt("c3", "bare", "SNc3", 1, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleBoardCpnts : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Count("vexa_hw_cpnts", "hwname = 'c3'"), 0);
  EXPECT_EQ(Cpnt("c5", "bare", nullptr, 1, 1), -1);
  EXPECT_EQ(Count("vexa_hw_cpnts", "hwname = 'c5'") + Count("vexa_lg_cpnts", "cpntname = 'c5'"),
            0);
  // ... unless a hardware component has its serial number: it takes that one.
  ASSERT_EQ(Cpnt("s1", nullptr, "SNs1", 1, 1), 0);
  EXPECT_EQ(Cpnt("c6", "bare", "SNs1", 1, 1), 0) << Err();
  EXPECT_EQ(Value("select h.hwname from vexa_lg_cpnts c join vexa_hw_cpnts h using (snbid) "
                  "where c.cpntname = 'c6'"),
            "s1");
}

TEST_F(HardwareInsertsTest, ComponentWithoutBoardIsSpareHardwareAtItsLocation) {
  EXPECT_EQ(Cpnt("s1", nullptr, "SNs1", 1, 0), 0);
  EXPECT_EQ(Cpnt("s2", "", nullptr, 0, 0), 0);
  EXPECT_EQ(Cpnt("s3", "none", "SNs3", 0, 1, 0, nullptr), 0) << Err();
  EXPECT_EQ(Column("select concat_ws('|', h.hwname, coalesce(h.serialnb, '-'), h.cpnt_status, "
                   "coalesce(h.location, '-'), y.cpnt_status, coalesce(y.location, '-'), "
                   "coalesce(y.cpntid, -7)) from vexa_hw_cpnts h "
                   "join vexa_cpnt_history y using (snbid) order by h.hwname"),
            (std::vector<std::string>{"s1|SNs1|2|shelf|SPARE|shelf|-7",
                                      "s2|-|2|shelf|SPARE|shelf|-7",
                                      "s3|SNs3|2|-|SPARE|-|-7"}));
  EXPECT_EQ(Count("vexa_lg_cpnts", "cpntid <> -1"), 0);
}

TEST_F(HardwareInsertsTest, ReplaceableComponentWithoutRealSerialDropsTheBatch) {
  const std::string refused =
      "ERROR in InsertMultipleBoardCpnts : If the cpnt is replacable,a serialnb is mandatory the";
  for (const char* serial : {(const char*)nullptr, "none", "none-7", "X"}) {
    EXPECT_EQ(Cpnt("a", nullptr, "SNa", 1, 0), 0);
    EXPECT_EQ(Cpnt("r", nullptr, serial, 0, 0, 1), -1);
    EXPECT_EQ(Err(), refused);
    // The batch is gone: the next row without first is refused.
    EXPECT_EQ(Cpnt("b", nullptr, "SNb", 0, 1), -1);
    EXPECT_EQ(Err(), "ERROR in InsertMultipleBoardCpnts : CACHE HAS NOT BEEN INITIALIZED");
  }
  EXPECT_EQ(Count("vexa_hw_cpnts", "snbid <> -1"), 0);
  // Two characters suffice; other values of replacable need no serial number.
  EXPECT_EQ(Cpnt("r1", nullptr, "XY", 1, 0, 1), 0);
  EXPECT_EQ(Cpnt("r2", nullptr, nullptr, 0, 0, 2), 0);
  EXPECT_EQ(Cpnt("r3", nullptr, nullptr, 0, 1, 0), 0) << Err();
  EXPECT_EQ(Column("select hwname || replacable from vexa_hw_cpnts where snbid <> -1 order by 1"),
            (std::vector<std::string>{"r11", "r22", "r30"}));
}

TEST_F(HardwareInsertsTest, DiagnosticsOfAComponentWithoutNameShowAnEmptyName) {
  testing::internal::CaptureStdout();
  InsertMultipleBoardCpnts(nullptr, "asic", 0, nullptr, "SN", nullptr, nullptr, nullptr, nullptr,
                           1, 0, err_);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("value of first_time 1\n"), std::string::npos) << out;
  EXPECT_NE(out.find("value of cpntlist \n"), std::string::npos) << out;
  EXPECT_NE(out.find("value of FIRST_TIME_CPNT 1\n"), std::string::npos) << out;
}
