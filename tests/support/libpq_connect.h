// Opens a plain libpq connection to the database that the library is given
// as "host:port/dbname", for fixtures, benchmarks and the example's setup.
#pragma once

#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace testdb {

// The connection that `scripts/db env` describes, from FERRULE_SERVER,
// FERRULE_USER and FERRULE_PASSWORD; false (with a hint on stderr) when one
// is missing.
inline bool ConnectionFromEnv(const char*& server, const char*& user, const char*& password) {
  server = std::getenv("FERRULE_SERVER");
  user = std::getenv("FERRULE_USER");
  password = std::getenv("FERRULE_PASSWORD");
  if (server && user && password) return true;
  std::fprintf(stderr, "set FERRULE_SERVER, FERRULE_USER and FERRULE_PASSWORD "
                       "(eval \"$(scripts/db env)\")\n");
  return false;
}

inline PGconn* ConnectLibpq(const std::string& server, const std::string& user,
                            const std::string& password) {
  std::string host = server, port = "5432", db = "postgres";
  if (auto slash = host.find('/'); slash != std::string::npos) {
    db = host.substr(slash + 1);
    host.resize(slash);
  }
  if (auto colon = host.find(':'); colon != std::string::npos) {
    port = host.substr(colon + 1);
    host.resize(colon);
  }
  const char* keys[] = {"host", "port", "dbname", "user", "password", nullptr};
  const char* values[] = {host.c_str(), port.c_str(), db.c_str(), user.c_str(), password.c_str(),
                          nullptr};
  return PQconnectdbParams(keys, values, 0);
}

}  // namespace testdb
