// The single-row forms: when they commit, what a row that inserted nothing
// leaves behind, and their answers without a connection or with null texts.
#include "insert_fixture.h"

class SingleRowTest : public InsertTest {
 protected:
  void SetUp() override {
    InsertTest::SetUp();
    if (IsSkipped()) return;
    AddDeviceType("SWITCH");
    AddDevice("sw1", "SWITCH", "DAQ");
  }
};

TEST_F(SingleRowTest, EverySuccessfulCallCommitsWhateverItsLastFlag) {
  ASSERT_EQ(InsertDeviceType("DAQ", "T", 1, 1, nullptr, nullptr, 0, err_), 0) << Err();
  ASSERT_EQ(InsertFunctionalDevice("DAQ", "d", "T", 0, 0, "SN-d", "hw", "r", "c", "l", 0, err_), 0)
      << Err();
  ASSERT_EQ(InsertPort("d", "1", 1, 2, 1, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, 0, err_),
            0)
      << Err();
  ASSERT_EQ(InsertPort("sw1", "1", 1, 1, 1, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, 1, err_),
            0)
      << Err();
  ASSERT_EQ(InsertSparePort("SN-x", "1", 1, nullptr, nullptr, nullptr, 0, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_lg_device_types", "devicetype='T'"), 1);
  EXPECT_EQ(Count("vexa_lg_devices", "devicename='d'"), 1);
  EXPECT_EQ(Count("vexa_port_properties"), 2);
  EXPECT_EQ(Count("vexa_hwport_properties"), 1);
}

TEST_F(SingleRowTest, RowsThatInsertNothingLeaveTheirWorkToTheNextCommit) {
  // The hardware row of a device of unknown type, and an address recorded
  // for a port of an unknown device, stay in the open transaction.
  EXPECT_EQ(InsertFunctionalDevice("DAQ", "d", "NOTYPE", 0, 0, "SN-d", "hw", "r", "c", "l", 0,
                                   err_),
            -1);
  EXPECT_EQ(Err(), "ERROR in InsertFunctionalDevice : COULDNOT_INSERT_THIS_ROW");
  EXPECT_EQ(InsertPort("ghost", "1", 1, 2, 1, 0, nullptr, nullptr, "10.0.0.9", "n", "s", nullptr,
                       nullptr, 0, err_),
            -1);
  EXPECT_EQ(Err(), "ERROR in InsertPort : COULDNOT_INSERT_THIS_ROW");
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb='SN-d'"), 0);
  EXPECT_EQ(Count("vexa_ipinfo"), 0);

  // A link that finds nothing commits all the same.
  testing::internal::CaptureStdout();
  EXPECT_EQ(InsertMacroLink("sw1", "ghost", "1", "1", nullptr, nullptr, "data", nullptr, 0, 0,
                            err_),
            -1);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(Err(),
            "ERROR in InsertMacroLink : COULDNOT_INSERT_THIS_ROWS: CHECK SYSTEM COMPATIBILITY");
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb='SN-d'"), 1);
  EXPECT_EQ(Count("vexa_ipinfo", "ipaddress='10.0.0.9'"), 1);
  EXPECT_EQ(Count("vexa_lg_devices", "devicename='d'"), 0);
}

TEST_F(SingleRowTest, WithoutConnectionEveryExportSaysSo) {
  char err[ferrule::kErrMessMax];
  testing::internal::CaptureStdout();
  DBDeconnexion(err);
  const int rcs[] = {
      InsertDeviceType("DAQ", "T", 1, 1, nullptr, nullptr, 0, err_),
      InsertFunctionalDevice("DAQ", "d", "SWITCH", 0, 0, "SN", "hw", "r", "c", "l", 0, err_),
      InsertPort("sw1", "1", 1, 1, 1, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                 nullptr, 0, err_),
      InsertSparePort("SN", "1", 1, nullptr, nullptr, nullptr, 0, err_),
      InsertMacroLink("a", "b", "1", "1", nullptr, nullptr, "data", nullptr, 0, 1, err_),
      InsertMultipleSparePorts("SN", "1", 1, nullptr, nullptr, nullptr, 1, 1, err_)};
  testing::internal::GetCapturedStdout();
  for (int rc : rcs) EXPECT_EQ(rc, -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleSparePorts : NOT CONNECTED TO ANY DB");
  ASSERT_EQ(InsertSparePort("SN", "1", 1, nullptr, nullptr, nullptr, 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertSparePort : NOT CONNECTED TO ANY DB");
}

TEST_F(SingleRowTest, NullTextsAreAnsweredWithoutACrash) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(InsertMacroLink(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            0, 1, err_),
            -1);
  EXPECT_EQ(InsertPort(nullptr, nullptr, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, 0, err_),
            -1);
  EXPECT_EQ(Err(), "ERROR in InsertPort : COULDNOT_INSERT_THIS_ROW");
  // Keys the table requires: the database's own refusal (not null: 1400).
  EXPECT_EQ(InsertDeviceType("DAQ", nullptr, 0, 0, nullptr, nullptr, 0, err_), 1400);
  EXPECT_EQ(InsertFunctionalDevice("DAQ", nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, 0, err_),
            1400);
  EXPECT_EQ(InsertMultipleDeviceTypes("DAQ", nullptr, 0, 0, nullptr, nullptr, 1, 1, err_), 1400);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(Err().rfind("ERROR in InsertMultipleDeviceTypes : ", 0), 0u) << Err();
}

TEST_F(SingleRowTest, LostConnectionIsReportedWithTheDatabaseText) {
  // The library's session is the one that appears when it connects again.
  char err[ferrule::kErrMessMax];
  testing::internal::CaptureStdout();
  DBDeconnexion(err);
  testing::internal::GetCapturedStdout();
  const std::string others =
      "select coalesce(string_agg(pid::text, ','), '0') from pg_stat_activity "
      "where datname = current_database() and backend_type = 'client backend'";
  const std::string before = Value(others);
  Connect();
  ASSERT_EQ(InsertMultipleSparePorts("SN", "1", 1, nullptr, nullptr, nullptr, 1, 0, err_), 0);
  // The server ends the library's session behind its back.
  ASSERT_EQ(Value("select count(pg_terminate_backend(pid)) from pg_stat_activity "
                  "where datname = current_database() and backend_type = 'client backend' "
                  "and pid not in (" + before + ")"),
            "1");
  testing::internal::CaptureStdout();
  const int batch = InsertMultipleSparePorts("SN", "2", 1, nullptr, nullptr, nullptr, 0, 1, err_);
  const std::string batch_err = Err();
  const int single = InsertDeviceType("DAQ", "T", 1, 1, nullptr, nullptr, 0, err_);
  testing::internal::GetCapturedStdout();
  EXPECT_NE(batch, 0);
  EXPECT_EQ(batch_err.rfind("ERROR in InsertMultipleSparePorts : ", 0), 0u) << batch_err;
  EXPECT_NE(single, 0);
  EXPECT_EQ(Err().rfind("ERROR in InsertDeviceType : ", 0), 0u) << Err();
  // The batch went with the failed send.
  EXPECT_EQ(InsertMultipleSparePorts("SN", "3", 1, nullptr, nullptr, nullptr, 0, 1, err_), -1);
  EXPECT_EQ(Count("vexa_hwport_properties"), 0);
}
