// What every benchmark needs beside its own measurements: the median of a
// set of timings, the best of several runs against a target, plain SQL
// through libpq for setting up its data, and the line that says what kind
// of cluster the figures were measured on.
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

// The best (lowest) of the ratios of several runs, printed with each run's
// ratio and whether it meets `target`, as "target <= 1.2: met". Timings
// on a shared machine vary from run to run; the best of a few runs shows
// what the code does when nothing else competes for the processor.
inline bool report_best_ratio(const char* label, const std::vector<double>& ratios,
                              double target) {
  const double best = *std::min_element(ratios.begin(), ratios.end());
  std::printf("  %s, runs:", label);
  for (double ratio : ratios) std::printf(" %.2f", ratio);
  const bool met = best <= target;
  std::printf("; best %.2f   target <= %.1f: %s\n", best, target, met ? "met" : "NOT met");
  return met;
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

// Prints whether the cluster puts every acknowledged commit on disk
// (durable, as scripts/db start and scripts/bench run it) or not (as the
// tests' throwaway cluster runs): commits cost far more on a durable one.
inline void say_cluster(PGconn* c, std::FILE* out = stdout) {
  PGresult* r = PQexec(c,
                       "select current_setting('fsync'), current_setting('synchronous_commit'), "
                       "current_setting('full_page_writes')");
  if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1) {
    const std::string fsync = PQgetvalue(r, 0, 0), commit = PQgetvalue(r, 0, 1),
                      pages = PQgetvalue(r, 0, 2);
    const bool durable = fsync == "on" && commit != "off" && pages == "on";
    std::fprintf(out, "cluster: %s (fsync %s, synchronous_commit %s, full_page_writes %s)\n",
                 durable ? "durable" : "throwaway", fsync.c_str(), commit.c_str(), pages.c_str());
  }
  PQclear(r);
}

}  // namespace bench
