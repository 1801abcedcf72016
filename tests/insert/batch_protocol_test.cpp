// The states of the cached batch protocol, shown with spare ports (rows that
// need nothing else in the database) and, for two batches at once, ports.
#include <string>

#include "insert/row_send.h"
#include "insert_fixture.h"

namespace {

int Spare(const std::string& serial, const std::string& nbr, int first, int last, char* err,
          const char* type = "eth") {
  return InsertMultipleSparePorts(serial.c_str(), nbr.c_str(), 1, type, "bia", "mac", first, last,
                                  err);
}

const char* kName = "InsertMultipleSparePorts";

}  // namespace

class BatchProtocolTest : public InsertTest {};

TEST_F(BatchProtocolTest, RowMarkedFirstAndLastIsSentAloneAndClosesTheBatch) {
  EXPECT_EQ(Spare("SN1", "1", 1, 1, err_), 0);
  EXPECT_EQ(Err(), std::string("NO_ERROR in ") + kName);
  EXPECT_EQ(Count("vexa_hwport_properties"), 1);

  // The batch is closed: a row that is not marked first is refused.
  EXPECT_EQ(Spare("SN1", "2", 0, 1, err_), -1);
  EXPECT_EQ(Err(), std::string("ERROR in ") + kName + " : CACHE HAS NOT BEEN INITIALIZED");
  EXPECT_EQ(Count("vexa_hwport_properties"), 1);
}

TEST_F(BatchProtocolTest, RowsWaitInTheCacheUntilTheLastOne) {
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(Spare("SN1", std::to_string(i), i == 1, 0, err_), 0);
    EXPECT_EQ(Err(), std::string("NO_ERROR in ") + kName);
  }
  EXPECT_EQ(Count("vexa_hwport_properties"), 0);
  EXPECT_EQ(Spare("SN1", "4", 0, 1, err_), 0) << Err();
  EXPECT_EQ(testdb::column("select port_nbr from vexa_hwport_properties order by port_nbr"),
            (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST_F(BatchProtocolTest, RowWithoutFirstIsRefusedAndNothingIsCached) {
  EXPECT_EQ(Spare("SN1", "1", 0, 0, err_), -1);
  EXPECT_EQ(Err(), std::string("ERROR in ") + kName + " : CACHE HAS NOT BEEN INITIALIZED");
  // Neither this row nor the one before opened a batch.
  EXPECT_EQ(Spare("SN1", "2", 0, 1, err_), -1);
  EXPECT_EQ(Count("vexa_hwport_properties"), 0);
}

TEST_F(BatchProtocolTest, NewFirstRowThrowsAwayTheRowsBeforeIt) {
  EXPECT_EQ(Spare("SN1", "a", 1, 0, err_), 0);
  EXPECT_EQ(Spare("SN1", "b", 0, 0, err_), 0);
  EXPECT_EQ(Spare("SN1", "c", 1, 0, err_), 0);
  EXPECT_EQ(Spare("SN1", "d", 0, 1, err_), 0) << Err();
  EXPECT_EQ(testdb::column("select port_nbr from vexa_hwport_properties order by port_nbr"),
            (std::vector<std::string>{"c", "d"}));
}

TEST_F(BatchProtocolTest, RefusalWithoutConnectionDropsTheBatch) {
  EXPECT_EQ(Spare("SN1", "1", 1, 0, err_), 0);
  EXPECT_EQ(Spare("SN1", "2", 0, 0, err_), 0);
  char err[ferrule::kErrMessMax];
  testing::internal::CaptureStdout();
  DBDeconnexion(err);
  testing::internal::GetCapturedStdout();

  // Every row is refused without a connection, marked last or not.
  EXPECT_EQ(Spare("SN1", "3", 0, 0, err_), -1);
  EXPECT_EQ(Err(), std::string("ERROR in ") + kName + " : NOT CONNECTED TO ANY DB");
  EXPECT_EQ(Spare("SN1", "4", 1, 1, err_), -1);
  EXPECT_EQ(Err(), std::string("ERROR in ") + kName + " : NOT CONNECTED TO ANY DB");

  // The rows cached before are gone: after reconnecting, a row without
  // first has no batch to join.
  Connect();
  EXPECT_EQ(Spare("SN1", "5", 0, 1, err_), -1);
  EXPECT_EQ(Err(), std::string("ERROR in ") + kName + " : CACHE HAS NOT BEEN INITIALIZED");
  EXPECT_EQ(Count("vexa_hwport_properties"), 0);
}

TEST_F(BatchProtocolTest, TenThousandAndOneRowsMakeTwoSends) {
  const int rows = ferrule::kMaxCachedRows + 1;
  for (int i = 1; i <= rows; ++i) {
    const int rc = Spare("SN1", std::to_string(i), i == 1, i == rows, err_);
    ASSERT_EQ(rc, 0) << "row " << i << ": " << Err();
    if (i == ferrule::kMaxCachedRows) {
      // The 10000th row sent and committed the first chunk by itself.
      EXPECT_EQ(Count("vexa_hwport_properties"), ferrule::kMaxCachedRows);
      EXPECT_EQ(Err(), std::string("NO_ERROR in ") + kName);
    }
  }
  // The row after the forced send started the next chunk without a first
  // flag; the last row sent it.
  EXPECT_EQ(Count("vexa_hwport_properties"), rows);
  EXPECT_EQ(Value("select count(distinct port_nbr) from vexa_hwport_properties"),
            std::to_string(rows));
  // And the batch is closed again.
  EXPECT_EQ(Spare("SN1", "x", 0, 1, err_), -1);
}

TEST_F(BatchProtocolTest, TwoExportsBatchAtTheSameTime) {
  AddDeviceType("SWITCH");
  AddDevice("sw1", "SWITCH", "DAQ");
  auto port = [&](const char* nbr, int first, int last) {
    return InsertMultiplePorts("sw1", nbr, 1, 1, 1000, 0, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, first, last, err_);
  };
  EXPECT_EQ(port("1", 1, 0), 0);
  // A spare-port batch sent, then one refused, while ports are cached.
  EXPECT_EQ(Spare("SN9", "1", 1, 1, err_), 0);
  EXPECT_EQ(Spare("SN9", "2", 0, 0, err_), -1);
  EXPECT_EQ(port("2", 0, 0), 0);
  // A port batch sent, then a port row refused, while spare ports are cached.
  EXPECT_EQ(Spare("SN9", "3", 1, 0, err_), 0);
  EXPECT_EQ(port("3", 0, 1), 0) << Err();
  EXPECT_EQ(port("4", 0, 0), -1);
  EXPECT_EQ(Spare("SN9", "4", 0, 1, err_), 0) << Err();

  EXPECT_EQ(testdb::column("select port_nbr from vexa_port_properties order by port_nbr"),
            (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(testdb::column("select port_nbr from vexa_hwport_properties order by port_nbr"),
            (std::vector<std::string>{"1", "3", "4"}));
}

TEST_F(BatchProtocolTest, NullTextIsStoredAsNullAndTheRowsAfterItKeepTheirValues) {
  EXPECT_EQ(Spare("SN1", "1", 1, 0, err_, "eth"), 0);
  EXPECT_EQ(Spare("SN1", "2", 0, 0, err_, nullptr), 0);
  EXPECT_EQ(Spare("SN1", "3", 0, 1, err_, "fibre"), 0) << Err();
  EXPECT_EQ(testdb::column("select coalesce(port_type,'<null>') || '/' || bia || '/' || macaddress "
                           "from vexa_hwport_properties order by port_nbr"),
            (std::vector<std::string>{"eth/bia/mac", "<null>/bia/mac", "fibre/bia/mac"}));
}

TEST_F(BatchProtocolTest, CallerNamesWithQuotesAreStoredAsTheyAre) {
  const ferrule::InsertStatement statement{
      "BEGIN insert into %s (serialnb,port_nbr,author,terminal_name) "
      "values (:snb,:port_nbr,'%s','%s'); GET DIAGNOSTICS :numrows = %s; END;",
      {ferrule::TemplateArg::Text("vexa_hwport_properties"), ferrule::TemplateArg::Login(),
       ferrule::TemplateArg::Host(), ferrule::TemplateArg::Text("ROW_COUNT")},
      {":snb", ":port_nbr"},
      {},
      {}};
  ferrule::RowCache cache(2, 0);
  cache.append(ferrule::RowValues{{"SN1", "1"}, {}}, 1);
  cache.append(ferrule::RowValues{{"SN1", "2"}, {}}, 0);
  const ferrule::CallerIdentity who{"pc'); delete from vexa_ipinfo; --", "o'neil"};
  const ferrule::SendPolicy policy{"QuotedNames", "COULDNOT_INSERT_ALL_ROWS", true};
  ASSERT_EQ(ferrule::SendRows(statement, policy, cache, who, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_hwport_properties", "author = 'o''neil'"), 2);
  EXPECT_EQ(Count("vexa_hwport_properties",
                  "terminal_name = 'pc''); delete from vexa_ipinfo; --'"),
            2);
}
