// Connecting uses the server text, user and password given, and nothing
// that the environment, a password file or a service file holds.
#include "oci_session.h"
#include "scoped_environment.h"

#include <string>

namespace {

using testdb::ScopedEnvironment;

// "host:port/dbname" split in its parts.
struct ServerParts {
  std::string host, port, dbname;
};
ServerParts split(const std::string& server) {
  ServerParts p;
  const auto colon = server.find(':'), slash = server.find('/');
  p.host = server.substr(0, colon);
  p.port = server.substr(colon + 1, slash - colon - 1);
  p.dbname = server.substr(slash + 1);
  return p;
}

class OciConnect : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testdb::params(params_)) GTEST_SKIP() << "no test database set";
  }
  void TearDown() override { db_.close(); }

  // One row of the session's own settings, fields joined by '|'.
  std::string session_settings() {
    return db_.first_value(
        "select current_user||'|'||current_database()||'|'||current_setting('search_path')||'|'"
        "||current_setting('client_encoding')||'|'||current_setting('application_name')");
  }


  testdb::Params params_;
  OciConnection db_;
};

TEST_F(OciConnect, EnvironmentChangesNoSetting) {
  ScopedEnvironment env({{"PGOPTIONS", "-c search_path=nowhere"},
                         {"PGCLIENTENCODING", "LATIN1"},
                         {"PGAPPNAME", "steered"},
                         {"PGDATABASE", "postgres"},
                         {"PGUSER", "postgres"},
                         {"PGHOST", "192.0.2.1"},
                         {"PGCONNECT_TIMEOUT", "1"},
                         {"PGSSLMODE", "require"},
                         {"PGTARGETSESSIONATTRS", "read-only"},
                         {"PGPASSFILE", "/nonexistent/pgpass"}});
  ASSERT_EQ(db_.open(params_), OCI_SUCCESS) << db_.error_text();
  EXPECT_EQ(session_settings(), params_.user + "|" + split(params_.server).dbname +
                                    "|\"$user\", public|UTF8|");

  // Without a dbname in the server text, the database is the one libpq
  // takes with nothing set (the user's name), not PGDATABASE's.
  db_.close();
  testdb::Params no_dbname = params_;
  no_dbname.server = no_dbname.server.substr(0, no_dbname.server.find('/'));
  if (db_.open(no_dbname) == OCI_SUCCESS) {
    EXPECT_EQ(session_settings().find("|postgres|"), std::string::npos);
  }
}

TEST_F(OciConnect, PortFromTheEnvironmentIsNotUsed) {
  const ServerParts parts = split(params_.server);
  ScopedEnvironment env({{"PGPORT", parts.port}});
  testdb::Params without_port = params_;
  without_port.server = parts.host + "/" + parts.dbname;
  EXPECT_NE(db_.open(without_port), OCI_SUCCESS) << "connected through PGPORT";
}

TEST_F(OciConnect, EmptyUserOrPasswordIsALogonDenied) {
  ScopedEnvironment env({{"PGPASSWORD", params_.password}, {"PGUSER", params_.user}});
  testdb::Params no_password = params_;
  no_password.password.clear();
  EXPECT_EQ(db_.open(no_password), OCI_ERROR);
  EXPECT_EQ(db_.error_number(), 1017);
  EXPECT_EQ(db_.error_text(), "password authentication failed for user \"" + params_.user + "\"");
  db_.close();

  testdb::Params no_user = params_;
  no_user.user.clear();
  EXPECT_EQ(db_.open(no_user), OCI_ERROR);
  EXPECT_EQ(db_.error_number(), 1017);
}

TEST_F(OciConnect, UriAndKeyValueTextsAreSplitHere) {
  const ServerParts parts = split(params_.server);
  testdb::Params uri = params_;
  uri.server = "postgresql://" + parts.host + ":" + parts.port + "/" + parts.dbname;
  ASSERT_EQ(db_.open(uri), OCI_SUCCESS) << db_.error_text();
  db_.close();

  testdb::Params key_value = params_;
  key_value.server = "host=" + parts.host + " port=" + parts.port + " dbname=" + parts.dbname +
                     " application_name='it\\'s mine'";
  ASSERT_EQ(db_.open(key_value), OCI_SUCCESS) << db_.error_text();
  EXPECT_EQ(session_settings().substr(session_settings().rfind('|') + 1), "it's mine");
  db_.close();

  testdb::Params broken = params_;
  broken.server = "host=" + parts.host + " nosuchsetting=1";
  EXPECT_EQ(db_.open(broken), OCI_ERROR);
  EXPECT_NE(db_.error_text().find("nosuchsetting"), std::string::npos) << db_.error_text();
}

}  // namespace
