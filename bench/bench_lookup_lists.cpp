// A packed list of 10,000 device names (GetDeviceNamesPerType) and an
// integer list of 10,000 ids (GetDeviceIDsPerType) through the library,
// against the same selects through libpq, each result read into a buffer
// of the same shape. The libpq side prepares its selects once, as the
// library does on its connection: both sides send bind and execute only.
//
// Three runs of `rounds` calls of each, alternating; each run gives the
// ratio of the medians. Prints every run and the best ratio against the
// target (at most 1.2).
//
// Usage: bench_lookup_lists [rounds]   (connection from FERRULE_SERVER,
// FERRULE_USER, FERRULE_PASSWORD)
#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ferrule.h"
#include "bench_support.h"
#include "libpq_connect.h"

namespace {

using bench::median;
using bench::run;

using Clock = std::chrono::steady_clock;
constexpr int kDevices = 10000;
constexpr int kRuns = 3;
constexpr double kTarget = 1.2;

double micros_since(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// The list through libpq, its items packed as the library packs them (each
// text up to its cut character, then a NUL).
bool names_direct(PGconn* c, const char* type, std::vector<char>& out) {
  const char* params[] = {type};
  PGresult* r = PQexecPrepared(c, "names", 1, params, nullptr, nullptr, 0);
  const bool ok = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == kDevices;
  std::size_t used = 0;
  for (int i = 0; ok && i < PQntuples(r); ++i) {
    const char* value = PQgetvalue(r, i, 0);
    const char* cut = std::strchr(value, '?');
    const std::size_t n = cut ? static_cast<std::size_t>(cut - value) : std::strlen(value);
    std::memcpy(out.data() + used, value, n);
    out[used + n] = '\0';
    used += n + 1;
  }
  PQclear(r);
  return ok;
}

bool ids_direct(PGconn* c, const char* type, std::vector<int>& out) {
  const char* params[] = {type};
  PGresult* r = PQexecPrepared(c, "ids", 1, params, nullptr, nullptr, 0);
  const bool ok = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == kDevices;
  for (int i = 0; ok && i < PQntuples(r); ++i) out[i] = std::atoi(PQgetvalue(r, i, 0));
  PQclear(r);
  return ok;
}

bool prepare(PGconn* c, const char* name, const char* sql) {
  PGresult* r = PQprepare(c, name, sql, 1, nullptr);
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  if (!ok) std::fprintf(stderr, "%s", PQerrorMessage(c));
  PQclear(r);
  return ok;
}

// The medians of one run: library and libpq, names and ids.
struct RunTimes {
  double names = 0, names_direct = 0, ids = 0, ids_direct = 0;
};

bool one_run(PGconn* direct, int rounds, RunTimes& times) {
  char err[400];
  std::vector<char> list(400000), list_direct(400000);
  std::vector<int> ids(kDevices), ids_by_libpq(kDevices);
  std::vector<double> lib_names, raw_names, lib_ids, raw_ids;
  for (int i = 0; i < rounds; ++i) {
    auto t0 = Clock::now();
    int len = static_cast<int>(list.size());
    if (GetDeviceNamesPerType("SWITCH", &len, list.data(), err) != 0) {
      std::fprintf(stderr, "%s\n", err);
      return false;
    }
    lib_names.push_back(micros_since(t0));

    t0 = Clock::now();
    if (!names_direct(direct, "SWITCH", list_direct)) return false;
    raw_names.push_back(micros_since(t0));

    t0 = Clock::now();
    int count = kDevices;
    if (GetDeviceIDsPerType("SWITCH", &count, ids.data(), err) != 0 || count != kDevices) {
      std::fprintf(stderr, "%s\n", err);
      return false;
    }
    lib_ids.push_back(micros_since(t0));

    t0 = Clock::now();
    if (!ids_direct(direct, "SWITCH", ids_by_libpq)) return false;
    raw_ids.push_back(micros_since(t0));
  }
  times = {median(lib_names), median(raw_names), median(lib_ids), median(raw_ids)};
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const char *server, *user, *password;
  if (!testdb::ConnectionFromEnv(server, user, password)) return 2;
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;

  PGconn* direct = testdb::ConnectLibpq(server, user, password);
  if (PQstatus(direct) != CONNECTION_OK) {
    std::fprintf(stderr, "%s", PQerrorMessage(direct));
    return 1;
  }
  bench::say_cluster(direct);
  // Vacuumed and analysed, so that no dead rows of an earlier run are read
  // and both sides plan with the same, true statistics.
  if (!run(direct,
           "select ferrule_reset();"
           "insert into vexa_subsystemList(system_name, systemID) values ('DAQ',2);"
           "insert into vexa_lg_device_types(devicetypeID, devicetype) values (1, 'SWITCH');"
           "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode)"
           " select 'switch_' || g, 1, g, 0, 0 from generate_series(1, 10000) g;") ||
      !run(direct, "vacuum analyze vexa_lg_devices") ||
      !run(direct, "vacuum analyze vexa_lg_device_types") ||
      !prepare(direct, "names",
               "select t.devicename||'|'||t.deviceid||'?' from vexa_lg_devices t,"
               "vexa_lg_device_types f where t.devicetypeID=f.devicetypeID and f.devicetype=$1") ||
      !prepare(direct, "ids",
               "select t.deviceid from vexa_lg_devices t, vexa_lg_device_types f "
               "where t.devicetypeID=f.devicetypeID and f.devicetype=$1"))
    return 1;

  char err[400];
  if (DBConnexion(server, user, password, err) != 0) {
    std::fprintf(stderr, "%s\n", err);
    return 1;
  }
  std::vector<RunTimes> runs(kRuns);
  bool ok = true;
  for (RunTimes& times : runs) ok = ok && one_run(direct, rounds, times);
  DBDeconnexion(err);
  PQfinish(direct);
  if (!ok) return 1;

  std::vector<double> names_ratios, ids_ratios;
  std::printf("\n10,000 rows a call, median of %d calls a run, %d runs\n", rounds, kRuns);
  for (std::size_t i = 0; i < runs.size(); ++i) {
    const RunTimes& t = runs[i];
    std::printf("  run %zu: GetDeviceNamesPerType %6.0f us, libpq %6.0f us; "
                "GetDeviceIDsPerType %6.0f us, libpq %6.0f us\n",
                i + 1, t.names, t.names_direct, t.ids, t.ids_direct);
    names_ratios.push_back(t.names / t.names_direct);
    ids_ratios.push_back(t.ids / t.ids_direct);
  }
  bench::report_best_ratio("GetDeviceNamesPerType / libpq", names_ratios, kTarget);
  bench::report_best_ratio("GetDeviceIDsPerType / libpq  ", ids_ratios, kTarget);
  return 0;
}
