// Batches in which some rows insert nothing, or one row fails: what is
// committed and what the call answers.
#include "insert/row_cache.h"
#include "insert_fixture.h"

class PartialBatchTest : public InsertTest {};

TEST_F(PartialBatchTest, RowsThatInsertNothingAreLeftOutAndTheOthersCommitted) {
  AddDevice("sw1", "DAQ");
  auto port = [&](const char* device, const char* nbr, int first, int last) {
    return InsertMultiplePorts(device, nbr, 1, 1, 1000, 0, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, first, last, err_);
  };
  port("sw1", "1", 1, 0);
  port("ghost", "2", 0, 0);
  EXPECT_EQ(port("sw1", "3", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultiplePorts : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Column("select port_nbr from vexa_port_properties order by 1"),
            (std::vector<std::string>{"1", "3"}));
  EXPECT_EQ(port("sw1", "4", 0, 1), -1);  // the batch is closed

  // A device of an unknown type leaves nothing: not even its hardware row,
  // which its block writes before it finds no type.
  auto device = [&](const char* name, const char* type, int first, int last) {
    const std::string serial = std::string("SN-") + name;
    return InsertMultipleFunctionalDevices("DAQ", name, type, 0, 0, serial.c_str(), "hw", "me",
                                           nullptr, "rack", first, last, err_);
  };
  device("d1", "SWITCH", 1, 0);
  device("d2", "NOSUCHTYPE", 0, 0);
  EXPECT_EQ(device("d3", "SWITCH", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultipleFunctionalDevices : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb in ('SN-d1','SN-d2','SN-d3')"), 2);
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb = 'SN-d2'"), 0);
  EXPECT_EQ(Count("vexa_lg_devices", "devicename in ('d1','d2','d3')"), 2);
  EXPECT_EQ(Count("vexa_device_history", "serialnb in ('SN-d1','SN-d2','SN-d3')"), 2);
}

TEST_F(PartialBatchTest, FailedRowDropsTheBatchAndLeavesNoRowOfItPending) {
  auto type = [&](const char* name, int first, int last) {
    return InsertMultipleDeviceTypes("DAQ", name, 1, 1, nullptr, nullptr, first, last, err_);
  };
  type("A", 1, 0);
  type("B", 0, 0);
  EXPECT_EQ(Quiet([&] { return type("SWITCH", 0, 1); }), 1);  // unique key
  EXPECT_EQ(Err().rfind("ERROR in InsertMultipleDeviceTypes : ", 0), 0u) << Err();
  EXPECT_EQ(Count("vexa_lg_device_types", "devicetype in ('A','B')"), 0);
  EXPECT_EQ(type("C", 0, 1), -1);  // the batch is gone
  // The rows before the failed one are undone: the next commit keeps none.
  ASSERT_EQ(InsertDeviceType("DAQ", "D", 1, 1, nullptr, nullptr, 0, err_), 0);
  EXPECT_EQ(Count("vexa_lg_device_types", "devicetype in ('A','B','D')"), 1);
}

// Batches long enough to run in chunks of rows answer as short ones: a row
// that inserts nothing is left out, a failing row drops the batch and
// undoes the rows before it.
TEST_F(PartialBatchTest, LongBatchesAnswerAsShortOnes) {
  constexpr int kRows = 1500;
  AddDevice("sw1", "DAQ");
  auto send = [&](int ghost_row, int duplicate_row) {
    int rc = 0;
    for (int i = 0; i < kRows; ++i) {
      const std::string nbr = "p" + std::to_string(i == duplicate_row ? 0 : i);
      rc = InsertMultiplePorts(i == ghost_row ? "ghost" : "sw1", nbr.c_str(), 1, 1, 1000, 0,
                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               i == 0, i == kRows - 1, err_);
    }
    return rc;
  };
  EXPECT_EQ(send(1200, -1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultiplePorts : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Count("vexa_port_properties"), kRows - 1);
  EXPECT_EQ(Count("vexa_port_properties", "port_nbr = 'p1200'"), 0);

  testdb::exec("delete from vexa_port_properties");
  EXPECT_EQ(Quiet([&] { return send(-1, 1200); }), 1);  // unique key
  EXPECT_EQ(Count("vexa_port_properties"), 0);
  ASSERT_EQ(InsertPort("sw1", "last", 1, 1, 1000, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, 1, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_port_properties"), 1);
}

// A refused row leaves nothing that a later call would trip over: its
// serial number and its address stay free, also in batches long enough to
// run in chunks of rows.
TEST_F(PartialBatchTest, RefusedRowsLeaveTheirSerialNumberAndAddressFree) {
  AddDevice("sw1", "DAQ");
  auto device = [&](const char* name, const char* type, const char* serial, int first, int last) {
    return InsertMultipleFunctionalDevices("DAQ", name, type, 0, 0, serial, "hw", "me", nullptr,
                                           "rack", first, last, err_);
  };
  device("d1", "SWITCH", "SN-d1", 1, 0);
  device("d2", "NOSUCHTYPE", "SN-d2", 0, 0);
  EXPECT_EQ(device("d3", "SWITCH", "SN-d3", 0, 1), -1);
  EXPECT_EQ(Count("vexa_hw_devices", "serialnb = 'SN-d2'"), 0);
  EXPECT_EQ(InsertFunctionalDevice("DAQ", "d2", "SWITCH", 0, 0, "SN-d2", "hw", "me", nullptr,
                                   "rack", 0, err_), 0) << Err();

  // The refused row's address is recorded by a later port under its own
  // name.
  auto port = [&](const char* dname, const char* nbr, const char* ip, const char* ipname,
                  int first, int last) {
    return InsertMultiplePorts(dname, nbr, 1, 1, 1000, 0, nullptr, nullptr, ip, ipname, nullptr,
                               nullptr, nullptr, first, last, err_);
  };
  port("sw1", "1", nullptr, nullptr, 1, 0);
  EXPECT_EQ(port("ghost", "2", "10.1.1.1", "orphan", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertMultiplePorts : COULDNOT_INSERT_ALL_ROWS");
  EXPECT_EQ(Count("vexa_ipinfo", "ipaddress = '10.1.1.1'"), 0);
  ASSERT_EQ(InsertPort("sw1", "3", 1, 1, 1000, 0, nullptr, nullptr, "10.1.1.1", "mine", nullptr,
                       nullptr, nullptr, 0, err_), 0) << Err();
  EXPECT_EQ(Column("select ipname from vexa_ipinfo where ipaddress = '10.1.1.1'"),
            std::vector<std::string>{"mine"});

  // 1,500 ports with addresses, one of a device that does not exist.
  constexpr int kRows = 1500;
  int rc = 0;
  for (int i = 0; i < kRows; ++i) {
    const std::string nbr = "p" + std::to_string(i);
    const std::string ip = "10.2." + std::to_string(i / 250) + "." + std::to_string(i % 250);
    rc = port(i == 1200 ? "ghost" : "sw1", nbr.c_str(), ip.c_str(), "n", i == 0, i == kRows - 1);
  }
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(Count("vexa_port_properties", "port_nbr like 'p%'"), kRows - 1);
  EXPECT_EQ(Count("vexa_ipinfo", "ipaddress like '10.2.%'"), kRows - 1);
  EXPECT_EQ(Count("vexa_ipinfo", "ipaddress = '10.2.4.200'"), 0);
}

// A batch sent at its 10000th row with a row that inserts nothing ends
// there, as one sent by its last row: the rows after it are refused until
// a row marked first opens a batch again.
TEST_F(PartialBatchTest, ForcedSendWithARowNotInsertedEndsTheBatch) {
  constexpr int kRows = 2 * ferrule::kMaxCachedRows;
  constexpr int kGhostRow = 5000;
  AddDevice("sw1", "DAQ");
  auto port = [&](const char* device, const std::string& nbr, int first, int last) {
    return InsertMultiplePorts(device, nbr.c_str(), 1, 1, 1000, 0, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, first, last, err_);
  };
  int refused_after = 0;
  for (int i = 1; i <= kRows; ++i) {
    const int rc = port(i == kGhostRow ? "ghost" : "sw1", "p" + std::to_string(i), i == 1,
                        i == kRows);
    if (i < ferrule::kMaxCachedRows) {
      ASSERT_EQ(rc, 0) << "row " << i << ": " << Err();
    } else if (i == ferrule::kMaxCachedRows) {
      EXPECT_EQ(rc, -1);
      EXPECT_EQ(Err(), "ERROR in InsertMultiplePorts : COULDNOT_INSERT_ALL_ROWS");
    } else if (rc == -1 &&
               Err() == "ERROR in InsertMultiplePorts : CACHE HAS NOT BEEN INITIALIZED") {
      ++refused_after;
    }
  }
  EXPECT_EQ(refused_after, kRows - ferrule::kMaxCachedRows);
  EXPECT_EQ(Count("vexa_port_properties"), ferrule::kMaxCachedRows - 1);
  EXPECT_EQ(Count("vexa_port_properties", "port_nbr = 'p" + std::to_string(kGhostRow) + "'"), 0);

  EXPECT_EQ(port("sw1", "again", 1, 1), 0) << Err();
  EXPECT_EQ(Count("vexa_port_properties"), ferrule::kMaxCachedRows);
}
