// Opening and closing the connection, and loading the subsystem table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "ferrule.h"
#include "scoped_environment.h"
#include "session.h"
#include "silent_server.h"
#include "test_db.h"

namespace {

class Connection : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DB();
    testdb::reset();
    ASSERT_TRUE(testdb::params(params_));
  }
  void TearDown() override {
    char err[400];
    testing::internal::CaptureStdout();
    DBDeconnexion(err);
    testing::internal::GetCapturedStdout();
  }

  static void add_subsystems(int n) {
    std::string sql = "insert into vexa_subsystemList(system_name, systemID) values ";
    for (int i = 0; i < n; ++i)
      sql += (i ? ",('S" : "('S") + std::to_string(i) + "'," + std::to_string(1000 + i) + ")";
    testdb::exec(sql);
  }
  int connect(const std::string& password, std::string* out = nullptr) {
    testing::internal::CaptureStdout();
    int rc = DBConnexion(params_.server.c_str(), params_.user.c_str(), password.c_str(), err_);
    std::string printed = testing::internal::GetCapturedStdout();
    if (out) *out = printed;
    return rc;
  }
  int own_sessions() {
    return std::stoi(testdb::value("select count(*) from pg_stat_activity where usename = '" +
                                   params_.user + "' and pid <> pg_backend_pid()"));
  }
  // Backends end asynchronously after their client closed: poll a while.
  bool sessions_become(int expected) {
    for (int i = 0; i < 100; ++i) {
      if (own_sessions() == expected) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  bool not_connected_answer() {
    char row[100];
    int len = sizeof row;
    int rc = GetDeviceRow_devid(1, &len, row, err_);
    return rc == -1 && std::string(err_) == "ERROR in GetDeviceRow_devid : NOT CONNECTED TO ANY DB";
  }

  testdb::Params params_;
  char err_[400] = "";
};

TEST_F(Connection, SucceedsWithItsLinesAndLoadsTheTable) {
  testdb::exec(
      "insert into vexa_subsystemList(system_name, systemID) values "
      "('DAQ?extra',2),('TOOLONGNAME12',3),('ABCDEFGHé',5)");
  std::string printed;
  ASSERT_EQ(connect(params_.password, &printed), 0) << err_;
  EXPECT_EQ(printed,
            "OCI Connection successfully established and current version of the library v2.7\n"
            "Successful Loading \n");
  EXPECT_STREQ(err_, "NO_ERROR in LoadSubsystemTable");
  const ferrule::SubsystemTable& table = ferrule::subsystem_table();
  ASSERT_EQ(table.count, 3);
  EXPECT_STREQ(table.names[0], "DAQ?extra") << "a '?' of the name stays";
  EXPECT_STREQ(table.names[1], "TOOLONGNA") << "kept to nine characters";
  EXPECT_EQ(table.ids[1], 3);
  EXPECT_STREQ(table.names[2], "ABCDEFGHé") << "nine characters, ten bytes";

  testing::internal::CaptureStdout();
  EXPECT_EQ(DBDeconnexion(err_), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "OCI Connection successfully terminated....5\n");
  EXPECT_STREQ(err_, "NO_ERROR in Disconnect");
  EXPECT_FALSE(ferrule::session().connected());
  EXPECT_TRUE(not_connected_answer());
}

// Nine characters of two, three or four bytes stay whole; a longer name
// keeps its first nine.
TEST_F(Connection, NamesAreCountedInCharactersNotBytes) {
  testdb::exec(
      "insert into vexa_subsystemList(system_name, systemID) values "
      "('ДЕТЕКТОРЫ',2),(repeat('€',12),3),(repeat('𝄞',9),5),('ABCDEFGHéé',7)");
  ASSERT_EQ(connect(params_.password), 0) << err_;
  const ferrule::SubsystemTable& table = ferrule::subsystem_table();
  ASSERT_EQ(table.count, 4);
  const std::string clefs = "𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞";
  EXPECT_STREQ(table.names[0], "ДЕТЕКТОРЫ");
  EXPECT_STREQ(table.names[1], "€€€€€€€€€");
  EXPECT_EQ(table.names[2], clefs);
  EXPECT_STREQ(table.names[3], "ABCDEFGHé");
}

TEST_F(Connection, WrongPasswordFailsAtSessionBegin) {
  add_subsystems(1);
  std::string printed;
  EXPECT_EQ(connect(params_.password + "x", &printed), -1);
  EXPECT_EQ(std::string(err_).rfind("ERROR in Connect : ", 0), 0u) << err_;
  EXPECT_GT(std::string(err_).size(), std::string("ERROR in Connect : ").size());
  EXPECT_NE(printed.find("OCI Connection not successfully established ....\n"), std::string::npos);
  EXPECT_FALSE(ferrule::session().connected());
  EXPECT_TRUE(not_connected_answer());
}

TEST_F(Connection, SubsystemTableHoldsAtMostFortyNine) {
  add_subsystems(49);
  ASSERT_EQ(connect(params_.password), 0) << err_;
  EXPECT_EQ(ferrule::subsystem_table().count, 49);

  testdb::exec("insert into vexa_subsystemList(system_name, systemID) values ('S49', 2000)");
  const int sessions_before = own_sessions();
  std::string printed;
  EXPECT_EQ(connect(params_.password, &printed), -1);
  EXPECT_STREQ(err_, "ERROR in LoadSubsystemTable : SUBSYSTEM_TABLE_EMPTY");
  EXPECT_NE(printed.find("Connection aborted : couldn't load subsystem table\n"), std::string::npos);
  EXPECT_EQ(ferrule::subsystem_table().count, 49) << "a failed load keeps the last table";
  EXPECT_TRUE(not_connected_answer());
  // Both the replaced connection and the refused one are closed.
  EXPECT_TRUE(sessions_become(sessions_before - 1));
}

TEST_F(Connection, EmptySubsystemListRefusesTheConnection) {
  EXPECT_EQ(connect(params_.password), -1);
  EXPECT_STREQ(err_, "ERROR in LoadSubsystemTable : SUBSYSTEM_TABLE_EMPTY");
  EXPECT_TRUE(not_connected_answer());
}

TEST_F(Connection, SecondConnectionClosesTheFirst) {
  add_subsystems(2);
  const int before = own_sessions();
  ASSERT_EQ(connect(params_.password), 0) << err_;
  ASSERT_EQ(connect(params_.password), 0) << err_;
  EXPECT_TRUE(sessions_become(before + 1));
}

TEST_F(Connection, MissingConnectionTextsAreRefused) {
  add_subsystems(1);
  testing::internal::CaptureStdout();
  EXPECT_EQ(DBConnexion(nullptr, params_.user.c_str(), params_.password.c_str(), err_), -1);
  testing::internal::GetCapturedStdout();
  EXPECT_STREQ(err_, "ERROR in Connect : server MUST be given");
  EXPECT_TRUE(not_connected_answer());
}

// The library logs in with what the caller gives: an empty or missing user
// or password is a failed login even when PG* variables hold the right ones,
// and no variable changes the session's settings.
TEST_F(Connection, EnvironmentNeitherLogsInNorSteers) {
  add_subsystems(1);
  testdb::ScopedEnvironment env({{"PGPASSWORD", params_.password},
                                 {"PGUSER", params_.user},
                                 {"PGOPTIONS", "-c search_path=nowhere"}});
  const std::string denied =
      "ERROR in Connect : password authentication failed for user \"" + params_.user + "\"";
  EXPECT_EQ(connect(""), -1);
  EXPECT_EQ(err_, denied);
  testing::internal::CaptureStdout();
  EXPECT_EQ(DBConnexion(params_.server.c_str(), params_.user.c_str(), nullptr, err_), -1);
  EXPECT_EQ(DBConnexion(params_.server.c_str(), "", params_.password.c_str(), err_), -1);
  EXPECT_EQ(DBConnexion(params_.server.c_str(), nullptr, params_.password.c_str(), err_), -1);
  testing::internal::GetCapturedStdout();
  EXPECT_STREQ(err_, "ERROR in Connect : password authentication failed for user \"\"");
  EXPECT_TRUE(not_connected_answer());

  ASSERT_EQ(connect(params_.password), 0) << err_;
  char row[100];
  int len = sizeof row;
  EXPECT_EQ(GetDeviceRow_devid(1, &len, row, err_), 0) << "tables found: " << err_;
}

// A server that accepts the connection and never answers (a frozen one)
// makes the connect give up after ten seconds, not wait for ever.
TEST_F(Connection, FrozenServerGivesUpInTime) {
  using namespace std::chrono_literals;
  testdb::SilentServer frozen;
  ASSERT_TRUE(frozen.listening());
  const std::string server = frozen.server_text();
  bool finished = false;
  std::chrono::steady_clock::duration took{};
  testing::internal::CaptureStdout();
  const int rc = testdb::CallWithin(
      60s, frozen,
      [&] { return DBConnexion(server.c_str(), params_.user.c_str(), params_.password.c_str(), err_); },
      finished, took);
  const std::string printed = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(finished) << "still waiting after 60 s";
  EXPECT_EQ(rc, -1);
  EXPECT_STREQ(err_, "ERROR in Connect : timeout expired: no answer from the server within 10 s");
  EXPECT_NE(printed.find("OCI Connection not successfully established ....\n"), std::string::npos);
  EXPECT_GE(took, 10s);
  EXPECT_TRUE(not_connected_answer());
}

// A server that ended the session answers the next call at once with the
// lost connection, and the library counts as connected until DBDeconnexion.
TEST_F(Connection, EndedSessionAnswersAtOnce) {
  add_subsystems(1);
  ASSERT_EQ(connect(params_.password), 0) << err_;
  ASSERT_EQ(testdb::value("select count(pg_terminate_backend(pid)) from pg_stat_activity where "
                          "usename = '" + params_.user + "' and pid <> pg_backend_pid()"),
            "1");
  char row[100];
  int len = sizeof row;
  testing::internal::CaptureStdout();
  EXPECT_EQ(GetDeviceRow_devid(1, &len, row, err_), 3114);
  testing::internal::GetCapturedStdout();
  EXPECT_NE(std::string(err_).find(": server closed the connection unexpectedly"),
            std::string::npos) << err_;
}

TEST_F(Connection, ListsOnAnEndedSessionAnswerAtOnce) {
  add_subsystems(1);
  ASSERT_EQ(connect(params_.password), 0) << err_;
  ASSERT_EQ(testdb::value("select count(pg_terminate_backend(pid)) from pg_stat_activity where "
                          "usename = '" + params_.user + "' and pid <> pg_backend_pid()"),
            "1");
  // A list that kept fetching after its query failed would never return:
  // the alarm ends the test program instead of leaving it hanging.
  alarm(20);
  char names[100];
  int len = sizeof names;
  int ids[10];
  int count = 10;
  testing::internal::CaptureStdout();
  const int names_result = GetDeviceNamesPerType("SWITCH", &len, names, err_);
  const std::string names_err = err_;
  const int ids_result = GetDeviceIDsPerType("SWITCH", &count, ids, err_);
  testing::internal::GetCapturedStdout();
  alarm(0);
  EXPECT_EQ(names_result, 3114) << names_err;
  EXPECT_EQ(ids_result, 3114) << err_;
}

TEST_F(Connection, DisconnectWithoutConnection) {
  EXPECT_EQ(DBDeconnexion(err_), -1);
  EXPECT_STREQ(err_, "ERROR in DBDeconnexion : NOT CONNECTED TO ANY DB");
}

}  // namespace
