// A connected library and a small network written with plain SQL
// (network_rows.h).
#pragma once

#include <string>

#include "../connection/db_fixture.h"
#include "network_rows.h"
#include "session.h"

class NetworkTest : public ConnectedTest {
 protected:
  static std::string one(const std::string& sql) { return testdb::value(sql); }
  // Commits the library's open transaction, so that other connections see
  // what the builds wrote.
  static void commit_library() {
    ferrule::Session& s = ferrule::session();
    ASSERT_EQ(OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT), 0);
  }
};
