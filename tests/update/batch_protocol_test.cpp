// The cached update protocol, through one export of each family: rows are
// cached until the last one, a closed batch refuses rows with each export's
// own name and word, a lost connection drops the batch, and every 10000th
// row sends the rows cached so far.
#include <functional>

#include "insert/row_cache.h"
#include "update_fixture.h"

class UpdateProtocolTest : public UpdateTest {};

TEST_F(UpdateProtocolTest, RowsWaitForTheLastOneAndAClosedBatchRefusesRows) {
  auto info = [&](const char* from, const char* to, const char* text, int first, int last) {
    const char* from_port = from ? "1" : nullptr;
    return UpdateMultipleLkInfoLinks(from, to, from_port, "1", nullptr, nullptr, text, first, last,
                                     err_);
  };
  EXPECT_EQ(info("sw1", "none", "x1", 1, 0), 0);
  EXPECT_EQ(Err(), "NO_ERROR in UpdateMultipleLkInfoLinks");
  EXPECT_EQ(LinkFrom("sw1", "link_info"), "a");  // nothing sent yet
  EXPECT_EQ(info("none", "sw3", "x2", 0, 1), 0) << Err();
  EXPECT_EQ(LinkFrom("sw1", "link_info"), "x1");
  EXPECT_EQ(LinkFrom("sw2", "link_info"), "x2");
  EXPECT_EQ(LinkFrom("sw1", "user_update"), Me().substr(0, Me().find('|')));

  EXPECT_EQ(info("sw1", "none", "x3", 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleLkInfoLinks : CACHE HAS NOT BEEN INITIALIZED");
  EXPECT_EQ(LinkFrom("sw1", "link_info"), "x1");
}

TEST_F(UpdateProtocolTest, EachExportRefusesWithItsOwnNameAndWord) {
  const std::vector<std::pair<std::function<int()>, std::string>> refusals{
      {[&] { return UpdateMultipleCompositeLinkTypes("data", "none", 0, 1, err_); },
       "ERROR in UpdateMultipleCompositeLinkTypes : CAHCE HAS NOT BEEN INITIALIZED"},
      {[&] { return UpdateMultipleLinkTypeNames("data", "d", 0, 0, err_); },
       "ERROR in UpdateMultipleLinkTypenames : CACHE HAS NOT BEEN INITIALIZED"},
      {[&] { return UpdateMultipleDeviceActive("sw1", 1, 0, 1, err_); },
       "ERROR in updateMultipleDeviceActive : CACHE HAS NOT BEEN INITIALIZED"},
  };
  for (const auto& [call, text] : refusals) {
    EXPECT_EQ(call(), -1);
    EXPECT_EQ(Err(), text);
  }
}

TEST_F(UpdateProtocolTest, RowsWithoutConnectionAreRefusedAndDropTheBatch) {
  auto speed = [&](const char* nbr, int value, int first, int last) {
    return UpdateMultiplePorts("sw2", nbr, nbr[0] == '1' ? 1 : 2, nbr[0] == '1' ? nullptr : "eth",
                               value, nullptr, -1, first, last, err_);
  };
  EXPECT_EQ(speed("1", 10, 1, 0), 0);
  Quiet([] { char err[ferrule::kErrMessMax]; return DBDeconnexion(err); });
  EXPECT_EQ(speed("2", 20, 0, 0), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultiplePorts : NOT CONNECTED TO ANY DB");
  Connect();
  EXPECT_EQ(speed("2", 20, 0, 1), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultiplePorts : CACHE HAS NOT BEEN INITIALIZED");
  EXPECT_EQ(Count("vexa_port_properties", "speed <> 1000"), 0);
}

TEST_F(UpdateProtocolTest, TheTenThousandthRowSendsAndTheNextOneOpensTheNextChunk) {
  const int rows = ferrule::kMaxCachedRows + 1;
  testdb::exec("insert into vexa_ipinfo (ipaddress) "
               "select '10.0.' || n / 256 || '.' || n % 256 from generate_series(1, 10001) n");
  for (int n = 1; n <= rows; ++n) {
    const std::string ip = "10.0." + std::to_string(n / 256) + "." + std::to_string(n % 256);
    ASSERT_EQ(UpdateMultipleAttributeMacIPs(ip.c_str(), "255.0.0.0", nullptr, n == 1, n == rows,
                                            err_), 0) << "row " << n << ": " << Err();
    if (n == ferrule::kMaxCachedRows) {
      EXPECT_EQ(Count("vexa_ipinfo", "subnet_info = '255.0.0.0'"), n);
    }
  }
  EXPECT_EQ(Count("vexa_ipinfo", "subnet_info = '255.0.0.0'"), rows);
}

TEST_F(UpdateProtocolTest, LongTextsAreRowsNotDoneAndOverflowNothing) {
  const std::string long_text(5000, 'p');
  EXPECT_EQ(UpdateMultipleLkInfoLinks("sw1", "none", "1", nullptr, long_text.c_str(), nullptr,
                                      "i", 1, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleLkInfoLinks : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(UpdateMultiplePortStatuses("sw2", "1", 1, long_text.c_str(), 0, 1, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultiplePortStatuses : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(UpdateMultipleDeviceActiveByType(long_text.c_str(), 1, 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in updateMultipleDeviceActiveByType : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(SwapTwoDevices(long_text.c_str(), "sw1", nullptr, err_), -1);
  EXPECT_EQ(Err().substr(0, 53), "ERROR in SwapTwoDevices : UNKNOWN_DEVICE: ppppppppppp");
}
