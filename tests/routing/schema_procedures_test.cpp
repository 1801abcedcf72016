// The schema procedures and the two table builders: results, texts, the
// round-trip count sent, and the transaction left to the caller.
#include <gtest/gtest.h>

#include <string>

#include "network_fixture.h"
#include "raising_trigger.h"
#include "utf8_text.h"

namespace {

class SchemaProcedures : public NetworkTest {
 protected:
  void SetUp() override {
    NetworkTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    testnet::OneLink();
  }
  void TearDown() override {
    NetworkTest::TearDown();
    testdb::reset();  // brings dropped tables back for the next tests
  }
};

TEST_F(SchemaProcedures, DropAndCreateTheDynamicTables) {
  ASSERT_EQ(DropTableSchema(err_), 0) << err_;
  EXPECT_STREQ(err_, "NO_ERROR in DropTableSchema");
  commit_library();
  EXPECT_EQ(testdb::value("select count(*) from pg_class where relname in ('vexa_routingtable',"
                          "'vexa_destinationtable','vexa_pdetails','vexa_micropath_temp')"),
            "0");
  // Without its tables a build is refused by the server, and a change of
  // links still goes through.
  EXPECT_EQ(CreateRoutingTable("a", 10, err_), -3);
  EXPECT_STREQ(err_, "ERROR in CreateRoutingTable : Couldn't create the routing table");
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 0");
  EXPECT_EQ(testdb::value("select routingtable_pck.updatepathused(1)"), "0");

  ASSERT_EQ(CreateTableSchema(err_), 0) << err_;
  ASSERT_EQ(CreateTableSchema(err_), 0) << err_;  // nothing missing: nothing to do
  EXPECT_STREQ(err_, "NO_ERROR in CreateTableSchema");
  testdb::exec("update vexa_macroscopic_connectivity set lkused = 1");
  EXPECT_EQ(CreateRoutingTable("a", 10, err_), 0) << err_;
  EXPECT_EQ(DropTableSchema(err_), 0);
}

// The server's notices ("... does not exist, skipping") stay off the
// caller's standard error.
TEST_F(SchemaProcedures, DroppingTwiceShowsNoServerNotices) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(DropTableSchema(err_), 0) << err_;
  EXPECT_EQ(DropTableSchema(err_), 0) << err_;
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(SchemaProcedures, BuildsLeaveTheirWorkToTheCallersTransaction) {
  ASSERT_EQ(CreateRoutingTable("a", 10, err_), 0) << err_;
  ASSERT_EQ(CreateDestinationTable("a", 10, err_), 0) << err_;
  EXPECT_EQ(testdb::value("select count(*) from vexa_routingtable"), "0");
  commit_library();
  EXPECT_EQ(testdb::value("select count(*) from vexa_routingtable"), "1");
  EXPECT_EQ(testdb::value("select count(*) from vexa_destinationtable"), "1");
}

TEST_F(SchemaProcedures, ZeroRoundTripsAreTenForRoutingTablesOnly) {
  EXPECT_EQ(CreateRoutingTable("a", 0, err_), 0) << err_;
  // The destination table sends 0, which the server refuses.
  EXPECT_EQ(CreateDestinationTable("a", 0, err_), -2);
  EXPECT_STREQ(err_, "ERROR in CreateDestinationTable : Couldn't create the destination table");
  EXPECT_EQ(CreateRoutingTable("a", -4, err_), -2);
}

TEST_F(SchemaProcedures, UnknownOrMissingDeviceIsRefusedByTheServer) {
  for (const char* device : {"nobody", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(CreateRoutingTable(device, 10, err_), -1);
    EXPECT_STREQ(err_, "ERROR in CreateRoutingTable : Couldn't create the routing table");
    EXPECT_EQ(CreateDestinationTable(device, 10, err_), -1);
  }
}

// The database's words after a refused build, long and in two-byte
// characters, keep as many whole characters as the 159 bytes read of them
// hold: 79.
TEST_F(SchemaProcedures, LongWordsOfARefusalEndOnAWholeCharacter) {
  const RaisingTrigger trigger("routingtable_pck.built_tables", "insert or update");
  const std::string words = testutf8::Repeated(RaisingTrigger::kCharacter, 79);
  EXPECT_EQ(CreateRoutingTable("a", 10, err_), -3);
  EXPECT_TRUE(testutf8::IsWellFormed(err_));
  EXPECT_EQ(err_, "ERROR in CreateRoutingTable : Couldn't create the routing table: " + words);
  EXPECT_EQ(CreateDestinationTable("a", 10, err_), -3);
  EXPECT_TRUE(testutf8::IsWellFormed(err_));
  EXPECT_EQ(err_,
            "ERROR in CreateDestinationTable : Couldn't create the destination table: " + words);
}

TEST_F(SchemaProcedures, WithoutConnectionNothingRuns) {
  char err[400];
  DBDeconnexion(err);
  EXPECT_EQ(CreateTableSchema(err_), -1);
  EXPECT_STREQ(err_, "ERROR in CreateTableSchema : NOT CONNECTED TO ANY DB");
  EXPECT_EQ(CreateRoutingTable("a", 0, err_), -1);
  EXPECT_STREQ(err_, "ERROR in CreateRoutingTable : NOT CONNECTED TO ANY DB");
  int len = 10;
  char list[10];
  EXPECT_EQ(GetPortPerSubsystem("a", "DAQ", &len, list, err_), -1);
  EXPECT_STREQ(err_, "ERROR in GetPortPerSubsystem : NOT CONNECTED TO ANY DB");
}

}  // namespace
