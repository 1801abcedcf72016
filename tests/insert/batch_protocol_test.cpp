// The states of the cached batch protocol, shown with spare ports (rows that
// need nothing else in the database), and two batches open at once.
#include <string>

#include "insert/row_send.h"
#include "insert_fixture.h"

namespace {

const std::string kOk = "NO_ERROR in InsertMultipleSparePorts";
const std::string kNoBatch = "ERROR in InsertMultipleSparePorts : CACHE HAS NOT BEEN INITIALIZED";

}  // namespace

class BatchProtocolTest : public InsertTest {
 protected:
  int Spare(const std::string& nbr, int first, int last, const char* type = "eth") {
    return InsertMultipleSparePorts("SN1", nbr.c_str(), 1, type, "bia", "mac", first, last, err_);
  }
  static std::vector<std::string> SparePorts() {
    return Column("select port_nbr from vexa_hwport_properties order by port_nbr");
  }
};

TEST_F(BatchProtocolTest, FirstAndLastFlagsOpenRestartAndSendTheBatch) {
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(Spare(std::to_string(i), i == 1, 0), 0);
    EXPECT_EQ(Err(), kOk);
  }
  EXPECT_TRUE(SparePorts().empty());  // nothing sent before the last row
  EXPECT_EQ(Spare("4", 0, 1), 0);
  EXPECT_EQ(SparePorts(), (std::vector<std::string>{"1", "2", "3", "4"}));

  // Closed: rows without first are refused and opened nothing.
  EXPECT_EQ(Spare("5", 0, 0), -1);
  EXPECT_EQ(Err(), kNoBatch);
  EXPECT_EQ(Spare("6", 0, 1), -1);
  // A new first row throws away the rows before it; first and last at once
  // sends one row.
  Spare("a", 1, 0);
  Spare("b", 0, 0);
  Spare("c", 1, 0);
  EXPECT_EQ(Spare("d", 0, 1), 0);
  EXPECT_EQ(Spare("e", 1, 1), 0);
  EXPECT_EQ(SparePorts(), (std::vector<std::string>{"1", "2", "3", "4", "c", "d", "e"}));
}

TEST_F(BatchProtocolTest, RefusalWithoutConnectionDropsTheBatch) {
  Spare("1", 1, 0);
  Quiet([] { char err[ferrule::kErrMessMax]; return DBDeconnexion(err); });
  EXPECT_EQ(Spare("2", 0, 0), -1);  // refused, marked last or not
  EXPECT_EQ(Err(), "ERROR in InsertMultipleSparePorts : NOT CONNECTED TO ANY DB");
  EXPECT_EQ(Spare("3", 1, 1), -1);
  Connect();
  EXPECT_EQ(Spare("4", 0, 1), -1);
  EXPECT_EQ(Err(), kNoBatch);
  EXPECT_TRUE(SparePorts().empty());
}

// The cache belongs to the process, not to the connection: rows cached
// before a reconnection go with the next last row.
TEST_F(BatchProtocolTest, OpenBatchOutlivesAReconnection) {
  Spare("1", 1, 0);
  Quiet([] { char err[ferrule::kErrMessMax]; return DBDeconnexion(err); });
  Connect();
  EXPECT_EQ(Spare("2", 0, 1), 0) << Err();
  EXPECT_EQ(SparePorts(), (std::vector<std::string>{"1", "2"}));
}

TEST_F(BatchProtocolTest, TenThousandAndOneRowsMakeTwoSends) {
  const int rows = ferrule::kMaxCachedRows + 1;
  for (int i = 1; i <= rows; ++i) {
    ASSERT_EQ(Spare(std::to_string(i), i == 1, i == rows), 0) << "row " << i << ": " << Err();
    // The 10000th row sends and commits the first chunk by itself.
    if (i == ferrule::kMaxCachedRows) {
      EXPECT_EQ(Count("vexa_hwport_properties"), i);
    }
  }
  // The next row started a chunk without a first flag; the last one sent it.
  EXPECT_EQ(Count("vexa_hwport_properties"), rows);
  EXPECT_EQ(Spare("x", 0, 1), -1);
}

TEST_F(BatchProtocolTest, BatchesOfTwoExportsDoNotTouchEachOther) {
  AddDevice("sw1", "DAQ");
  auto port = [&](const char* nbr, int first, int last) {
    return InsertMultiplePorts("sw1", nbr, 1, 1, 1000, 0, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, first, last, err_);
  };
  EXPECT_EQ(port("p1", 1, 0), 0);
  EXPECT_EQ(Spare("s1", 1, 1), 0);   // spare ports sent ...
  EXPECT_EQ(Spare("s2", 0, 0), -1);  // ... and refused while ports wait
  EXPECT_EQ(Spare("s3", 1, 0), 0);
  EXPECT_EQ(port("p2", 0, 1), 0);    // ports sent ...
  EXPECT_EQ(port("p3", 0, 0), -1);   // ... and refused while spare ports wait
  EXPECT_EQ(Spare("s4", 0, 1), 0);
  EXPECT_EQ(Column("select port_nbr from vexa_port_properties order by 1"),
            (std::vector<std::string>{"p1", "p2"}));
  EXPECT_EQ(SparePorts(), (std::vector<std::string>{"s1", "s3", "s4"}));
}

TEST_F(BatchProtocolTest, NullTextsAndQuotedCallerNamesAreStoredAsTheyAre) {
  Spare("1", 1, 0, "eth");
  Spare("2", 0, 0, nullptr);
  EXPECT_EQ(Spare("3", 0, 1, "fibre"), 0);
  EXPECT_EQ(Column("select coalesce(port_type,'-') || bia || macaddress "
                   "from vexa_hwport_properties order by port_nbr"),
            (std::vector<std::string>{"ethbiamac", "-biamac", "fibrebiamac"}));

  // Caller names go into the block between quotes: a quote in them must
  // neither break the block nor change it.
  const ferrule::InsertStatement statement{
      "BEGIN insert into %(hwport_properties) (serialnb,author,terminal_name) "
      "values (:snb,'%(login)','%(host)'); GET DIAGNOSTICS :numrows = %(row_count); END;",
      {":snb"}, {}, {}};
  ferrule::RowCache cache(1, 0);
  cache.append(ferrule::RowValues{{"SN-q"}, {}}, 1);
  const ferrule::CallerIdentity who{"pc'); delete from vexa_ipinfo; --", "o'neil"};
  ASSERT_EQ(ferrule::SendRows(statement, {"Quoted", "COULDNOT_INSERT_ALL_ROWS", true}, cache, who,
                              err_), 0) << Err();
  EXPECT_EQ(Count("vexa_hwport_properties",
                  "author = 'o''neil' and terminal_name = 'pc''); delete from vexa_ipinfo; --'"),
            1);
}
