// What every benchmark needs beside its own measurements: the median of a
// set of timings, and plain SQL through libpq for setting up its data.
#pragma once

#include <libpq-fe.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Runs SQL (several statements allowed); on an error prints the server's
// message and returns false.
inline bool run(PGconn* c, const std::string& sql) {
  PGresult* r = PQexec(c, sql.c_str());
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
  if (!ok) std::fprintf(stderr, "%s", PQerrorMessage(c));
  PQclear(r);
  return ok;
}

}  // namespace bench
