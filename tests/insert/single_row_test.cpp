// The single-row forms: when they commit, what a row that inserted nothing
// leaves behind, and their answers without a connection, with null texts
// and after a lost connection.
#include "insert_fixture.h"

class SingleRowTest : public InsertTest {};

TEST_F(SingleRowTest, SuccessCommitsWhateverTheLastFlag) {
  AddDevice("sw1", "DAQ");  // device type, device: last_rows 0
  ASSERT_EQ(InsertPort("sw1", "1", 1, 2, 1, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, 1, err_), 0) << Err();
  ASSERT_EQ(InsertSparePort("SN-x", "1", 1, nullptr, nullptr, nullptr, 0, err_), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertSparePort");
  EXPECT_EQ(Count("vexa_lg_devices", "devicename='sw1'") + Count("vexa_port_properties") +
                Count("vexa_hwport_properties"),
            3);
}

TEST_F(SingleRowTest, RowThatInsertsNothingLeavesNothingForTheNextCommit) {
  AddDevice("sw1", "DAQ");
  // The hardware row of a device of unknown type and the address of a port
  // of an unknown device are refused with them.
  EXPECT_EQ(InsertFunctionalDevice("DAQ", "d", "NOTYPE", 0, 0, "SN-d", "hw", "r", "c", "l", 0,
                                   err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertFunctionalDevice : COULDNOT_INSERT_THIS_ROW");
  EXPECT_EQ(InsertPort("ghost", "1", 1, 2, 1, 0, nullptr, nullptr, "10.0.0.9", "n", "s", nullptr,
                       nullptr, 0, err_), -1);
  EXPECT_EQ(Err(), "ERROR in InsertPort : COULDNOT_INSERT_THIS_ROW");
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb='SN-d'") + Count("vexa_ipinfo"), 0);
  // A link that finds nothing commits all the same: nothing of the two.
  EXPECT_EQ(Quiet([&] {
              return InsertMacroLink("sw1", "ghost", "1", "1", nullptr, nullptr, "data", nullptr,
                                     0, 0, err_);
            }), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMacroLink : COULDNOT_INSERT_THIS_ROWS: FROM PORT NOT FOUND: "
                   "device sw1, port 1, type none, way 2");
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb='SN-d'") + Count("vexa_ipinfo"), 0);
  EXPECT_EQ(Count("vexa_lg_devices", "devicename='d'"), 0);
}

TEST_F(SingleRowTest, NoConnectionAndNullTextsAreAnsweredWithoutACrash) {
  Quiet([&] {
    EXPECT_EQ(InsertMacroLink(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, 0, 1, err_), -1);
    EXPECT_EQ(InsertPort(nullptr, nullptr, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, 0, err_), -1);
    EXPECT_EQ(Err(), "ERROR in InsertPort : COULDNOT_INSERT_THIS_ROW");
    // Keys the tables require: the database's own refusal (not null: 1400).
    EXPECT_EQ(InsertDeviceType("DAQ", nullptr, 0, 0, nullptr, nullptr, 0, err_), 1400);
    EXPECT_EQ(InsertFunctionalDevice("DAQ", nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, 0, err_), 1400);
    char err[ferrule::kErrMessMax];
    return DBDeconnexion(err);
  });
  const int rcs[] = {
      InsertDeviceType("DAQ", "T", 1, 1, nullptr, nullptr, 0, err_),
      InsertFunctionalDevice("DAQ", "d", "SWITCH", 0, 0, "SN", "hw", "r", "c", "l", 0, err_),
      InsertPort("sw1", "1", 1, 1, 1, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                 nullptr, 0, err_),
      InsertMacroLink("a", "b", "1", "1", nullptr, nullptr, "data", nullptr, 0, 1, err_),
      InsertSparePort("SN", "1", 1, nullptr, nullptr, nullptr, 0, err_)};
  for (int rc : rcs) EXPECT_EQ(rc, -1);
  EXPECT_EQ(Err(), "ERROR in InsertSparePort : NOT CONNECTED TO ANY DB");
}

TEST_F(SingleRowTest, LostConnectionIsReportedAndDropsTheBatch) {
  // The library's session is the one that appears when it connects again.
  Quiet([] { char err[ferrule::kErrMessMax]; return DBDeconnexion(err); });
  const std::string before = testdb::value(
      "select coalesce(string_agg(pid::text, ','), '0') from pg_stat_activity "
      "where datname = current_database() and backend_type = 'client backend'");
  Connect();
  ASSERT_EQ(InsertMultipleSparePorts("SN", "1", 1, nullptr, nullptr, nullptr, 1, 0, err_), 0);
  ASSERT_EQ(testdb::value("select count(pg_terminate_backend(pid)) from pg_stat_activity "
                          "where datname = current_database() and backend_type = "
                          "'client backend' and pid not in (" + before + ")"),
            "1");
  Quiet([&] {
    EXPECT_NE(InsertMultipleSparePorts("SN", "2", 1, nullptr, nullptr, nullptr, 0, 1, err_), 0);
    EXPECT_EQ(Err().rfind("ERROR in InsertMultipleSparePorts : ", 0), 0u) << Err();
    EXPECT_NE(InsertDeviceType("DAQ", "T", 1, 1, nullptr, nullptr, 0, err_), 0);
    EXPECT_EQ(Err().rfind("ERROR in InsertDeviceType : ", 0), 0u) << Err();
    return 0;
  });
  EXPECT_EQ(InsertMultipleSparePorts("SN", "3", 1, nullptr, nullptr, nullptr, 0, 1, err_), -1);
  EXPECT_EQ(Count("vexa_hwport_properties"), 0);
}
