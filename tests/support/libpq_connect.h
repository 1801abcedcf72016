// Opens a plain libpq connection to the database that the library is given
// as "host:port/dbname", for fixtures, benchmarks and the example's setup.
#pragma once

#include <libpq-fe.h>

#include <string>

namespace testdb {

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
