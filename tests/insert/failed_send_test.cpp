// Sends that fail on the database (a duplicate key, a refresh that runs
// into a lock): none of their rows stays in the transaction, where another
// call's commit would make it durable or where it would block other
// sessions; rows of earlier calls in the same transaction are kept.
#include <libpq-fe.h>

#include <memory>

#include "insert_fixture.h"
#include "libpq_connect.h"
#include "raising_trigger.h"
#include "utf8_text.h"

namespace {

struct PgConnCloser {
  void operator()(PGconn* conn) const { PQfinish(conn); }
};
using PgConn = std::unique_ptr<PGconn, PgConnCloser>;

class FailedSendTest : public InsertTest {
 protected:
  // A session of its own, beside the library's and testdb's.
  PgConn OtherSession() {
    PgConn conn(testdb::ConnectLibpq(params_.server, params_.user, params_.password));
    EXPECT_EQ(PQstatus(conn.get()), CONNECTION_OK) << PQerrorMessage(conn.get());
    return conn;
  }
  // Runs SQL on that session; the error message, empty when it succeeded.
  static std::string Run(PGconn* conn, const std::string& sql) {
    PGresult* result = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    PQclear(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK ? ""
                                                                     : PQerrorMessage(conn);
  }

  // Connects the library again with a setting of its session, such as
  // "lock_timeout=300", in the server text.
  void ReconnectWith(const std::string& setting) {
    Quiet([] {
      char err[ferrule::kErrMessMax];
      return DBDeconnexion(err);
    });
    std::string host = params_.server, port, dbname;
    dbname = host.substr(host.find('/') + 1);
    host.resize(host.find('/'));
    port = host.substr(host.find(':') + 1);
    host.resize(host.find(':'));
    const std::string text = "host=" + host + " port=" + port + " dbname=" + dbname +
                             " options='-c " + setting + "'";
    ASSERT_EQ(Quiet([&] {
                return DBConnexion(text.c_str(), params_.user.c_str(), params_.password.c_str(),
                                   err_);
              }),
              0)
        << err_;
  }

  int Port(const char* nbr, int first, int last) {
    return Quiet([&] {
      return InsertMultiplePorts("sw1", nbr, 1, 1, 1000, 0, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, first, last, err_);
    });
  }
};

TEST_F(FailedSendTest, DuplicateKeyInABatchLeavesNoRowPendingAndBlocksNoOne) {
  AddDevice("sw1", "DAQ");
  // Left pending on purpose by an earlier call: a send's failure keeps it.
  ASSERT_EQ(UpdateMultipleDeviceActiveByType("SWITCH", 1, 1, 0, err_), 0) << Err();

  EXPECT_EQ(Port("1", 1, 0), 0);
  EXPECT_EQ(Port("2", 0, 0), 0);
  EXPECT_EQ(Port("3", 0, 0), 0);
  EXPECT_EQ(Port("2", 0, 1), 1);  // unique key
  EXPECT_EQ(Err().rfind("ERROR in InsertMultiplePorts : ", 0), 0u) << Err();

  // Another session stores port 1 at once: no row of the failed send holds
  // its key.
  PgConn other = OtherSession();
  EXPECT_EQ(Run(other.get(),
                "set lock_timeout = '2s'; insert into vexa_port_properties "
                "(portid, deviceid, port_nbr, port_way) select 900001, deviceid, '1', 1 "
                "from vexa_lg_devices where devicename = 'sw1'"),
            "");

  // The next call that commits commits none of the failed rows, and what
  // the earlier call left pending.
  ASSERT_EQ(InsertPort("sw1", "9", 1, 1, 1000, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, 0, err_),
            0)
      << Err();
  EXPECT_EQ(Column("select port_nbr from vexa_port_properties order by 1"),
            (std::vector<std::string>{"1", "9"}));
  EXPECT_EQ(Count("vexa_lg_devices", "devicename = 'sw1' and active = 1"), 1);
}

TEST_F(FailedSendTest, SendRolledBackForARowThatChangedNothingKeepsEarlierCalls) {
  AddDevice("sw1", "DAQ");
  ASSERT_EQ(UpdateMultipleDeviceActiveByType("SWITCH", 1, 1, 0, err_), 0) << Err();
  EXPECT_EQ(UpdateMultipleDeviceNodeUsed("sw1", 0, 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleDeviceNodeUsed("ghost", 0, 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in updateMultipleDeviceNodeUsed : COULDNOT_UPDATE_ALL_ROWS");
  ASSERT_EQ(InsertDeviceType("DAQ", "T", 1, 1, nullptr, nullptr, 0, err_), 0) << Err();
  EXPECT_EQ(Count("vexa_lg_devices", "devicename = 'sw1' and active = 1 and nodeused = 1"), 1);
}

// The database's refusal, long and in two-byte characters, keeps as many
// whole characters as the reason's 199 bytes hold: 99.
TEST_F(FailedSendTest, ALongRefusalInTwoByteCharactersEndsOnAWholeCharacter) {
  const RaisingTrigger trigger("vexa_lg_device_types", "insert");
  const std::string reason = testutf8::Repeated(RaisingTrigger::kCharacter, 99);
  auto expect_refused = [&](int rc, const std::string& name) {
    EXPECT_EQ(rc, 20000) << name;
    EXPECT_TRUE(testutf8::IsWellFormed(Err())) << name;
    EXPECT_EQ(Err(), "ERROR in " + name + " : " + reason);
  };
  expect_refused(
      Quiet([&] { return InsertDeviceType("DAQ", "T", 1, 1, nullptr, nullptr, 0, err_); }),
      "InsertDeviceType");
  expect_refused(Quiet([&] {
                   return InsertMultipleDeviceTypes("DAQ", "T", 1, 1, nullptr, nullptr, 1, 1, err_);
                 }),
                 "InsertMultipleDeviceTypes");
}

// The server's route refresh after a batch of links waits for a lock that
// another session holds, until the library's session gives up: by its lock
// timeout (the refresh answers the failure) or by its statement timeout
// (the refresh is cancelled).
class LinkRefreshTimeoutTest : public FailedSendTest,
                               public testing::WithParamInterface<const char*> {};

TEST_P(LinkRefreshTimeoutTest, LinksOfTheBatchAreCommittedWithTheirRefreshOrNotAtAll) {
  ReconnectWith(GetParam());
  if (HasFatalFailure()) return;
  testdb::exec("insert into vexa_link_types(linktypeID, link_name, link_nbr) values (7,'data',2)");
  AddDevice("a", "DAQ");
  AddDevice("b", "DAQ");
  constexpr int kLinks = 10;
  for (int i = 0; i < kLinks; ++i) {
    const std::string nbr = std::to_string(i);
    AddPort("a", nbr.c_str(), 2);
    AddPort("b", nbr.c_str(), 1);
  }
  auto send = [&] {
    int rc = 0;
    for (int i = 0; i < kLinks; ++i) {
      const std::string nbr = std::to_string(i);
      rc = Quiet([&] {
        return InsertMultipleMacroLinks("a", "b", nbr.c_str(), nbr.c_str(), nullptr, nullptr,
                                        "data", nullptr, 0, i == 0, i == kLinks - 1, err_);
      });
    }
    return rc;
  };
  {
    PgConn holder = OtherSession();
    ASSERT_EQ(Run(holder.get(),
                  "begin; lock table routingtable_pck.route_changes in access exclusive mode"),
              "");
    EXPECT_NE(send(), 0);
    EXPECT_EQ(Err().rfind("ERROR in InsertMultipleMacroLinks : ", 0), 0u) << Err();
    EXPECT_EQ(Count("vexa_macroscopic_connectivity"), 0);
  }
  // The lock is gone: the same batch again stores each link once.
  EXPECT_EQ(send(), 0) << Err();
  EXPECT_EQ(Count("vexa_macroscopic_connectivity"), kLinks);
}

INSTANTIATE_TEST_SUITE_P(Timeouts, LinkRefreshTimeoutTest,
                         testing::Values("lock_timeout=300", "statement_timeout=300"),
                         [](const testing::TestParamInfo<const char*>& param) {
                           return std::string(param.index == 0 ? "LockTimeout"
                                                               : "StatementTimeout");
                         });

}  // namespace
