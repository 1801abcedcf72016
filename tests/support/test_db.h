// Access to the private test database for fixtures: the connection
// parameters that `scripts/db env` prints, and plain SQL through libpq for
// setting up and inspecting data behind the library's back.
#pragma once

#include <string>
#include <vector>

namespace testdb {

struct Params {
  std::string server;    // host:port/dbname
  std::string user;
  std::string password;
};

// The parameters from FERRULE_SERVER, FERRULE_USER and FERRULE_PASSWORD;
// false when they are not set.
bool params(Params& out);

// Runs SQL (several statements allowed) on a connection of its own and
// fails the current test on an error.
void exec(const std::string& sql);

// First column of every row of a query, as texts ("<null>" for NULL).
std::vector<std::string> column(const std::string& sql);

// The one value of a query ("<null>" for NULL, "" when there is no row).
std::string value(const std::string& sql);

// Empties every table back to the installed state.
void reset();

}  // namespace testdb

// Skips the current test when no database is configured.
#define REQUIRE_TEST_DB()                                              \
  do {                                                                 \
    testdb::Params p_;                                                 \
    if (!testdb::params(p_)) GTEST_SKIP() << "no test database set";   \
  } while (0)
