// A packed list of 10,000 device names (GetDeviceNamesPerType) and an
// integer list of 10,000 ids (GetDeviceIDsPerType) through the library,
// against the same selects through libpq, each result read into a buffer
// of the same shape. Prints the medians and their ratios (target: at most
// 1.2).
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


double micros_since(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}


// The select of the list through libpq, its items packed as the library
// packs them (each text up to its cut character, then a NUL).
bool names_direct(PGconn* c, const char* sql, const char* type, std::vector<char>& out) {
  const char* params[] = {type};
  PGresult* r = PQexecParams(c, sql, 1, nullptr, params, nullptr, nullptr, 0);
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

bool ids_direct(PGconn* c, const char* sql, const char* type, std::vector<int>& out) {
  const char* params[] = {type};
  PGresult* r = PQexecParams(c, sql, 1, nullptr, params, nullptr, nullptr, 0);
  const bool ok = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == kDevices;
  for (int i = 0; ok && i < PQntuples(r); ++i) out[i] = std::atoi(PQgetvalue(r, i, 0));
  PQclear(r);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const char *server, *user, *password;
  if (!testdb::ConnectionFromEnv(server, user, password)) return 2;
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 100;

  PGconn* direct = testdb::ConnectLibpq(server, user, password);
  if (PQstatus(direct) != CONNECTION_OK) {
    std::fprintf(stderr, "%s", PQerrorMessage(direct));
    return 1;
  }
  bench::say_cluster(direct);
  if (!run(direct,
           "select ferrule_reset();"
           "insert into vexa_subsystemList(system_name, systemID) values ('DAQ',2);"
           "insert into vexa_lg_device_types(devicetypeID, devicetype) values (1, 'SWITCH');"
           "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode)"
           " select 'switch_' || g, 1, g, 0, 0 from generate_series(1, 10000) g;"))
    return 1;

  char err[400];
  if (DBConnexion(server, user, password, err) != 0) {
    std::fprintf(stderr, "%s\n", err);
    return 1;
  }
  const char* names_sql =
      "select t.devicename||'|'||t.deviceid||'?' from vexa_lg_devices t,vexa_lg_device_types f "
      "where t.devicetypeID=f.devicetypeID and f.devicetype=$1";
  const char* ids_sql =
      "select t.deviceid from vexa_lg_devices t, vexa_lg_device_types f "
      "where t.devicetypeID=f.devicetypeID and f.devicetype=$1";

  std::vector<char> list(400000), list_direct(400000);
  std::vector<int> ids(kDevices), ids_by_libpq(kDevices);
  std::vector<double> lib_names, raw_names, lib_ids, raw_ids;
  for (int i = 0; i < rounds; ++i) {
    auto t0 = Clock::now();
    int len = static_cast<int>(list.size());
    if (GetDeviceNamesPerType("SWITCH", &len, list.data(), err) != 0) {
      std::fprintf(stderr, "%s\n", err);
      return 1;
    }
    lib_names.push_back(micros_since(t0));

    t0 = Clock::now();
    if (!names_direct(direct, names_sql, "SWITCH", list_direct)) return 1;
    raw_names.push_back(micros_since(t0));

    t0 = Clock::now();
    int count = kDevices;
    if (GetDeviceIDsPerType("SWITCH", &count, ids.data(), err) != 0 || count != kDevices) {
      std::fprintf(stderr, "%s\n", err);
      return 1;
    }
    lib_ids.push_back(micros_since(t0));

    t0 = Clock::now();
    if (!ids_direct(direct, ids_sql, "SWITCH", ids_by_libpq)) return 1;
    raw_ids.push_back(micros_since(t0));
  }
  DBDeconnexion(err);
  PQfinish(direct);

  const double ln = median(lib_names), rn = median(raw_names);
  const double li = median(lib_ids), ri = median(raw_ids);
  std::printf("GetDeviceNamesPerType, 10,000 names: median %.0f us, libpq %.0f us, ratio %.2f "
              "(target <= 1.2)\n", ln, rn, ln / rn);
  std::printf("GetDeviceIDsPerType, 10,000 ids: median %.0f us, libpq %.0f us, ratio %.2f "
              "(target <= 1.2)\n", li, ri, li / ri);
  return 0;
}
