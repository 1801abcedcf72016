// Latency of one device row by name through the library, against the same
// select sent through libpq directly. Prints the medians and their ratio
// with whether it meets its target (at most 1.5).
#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ferrule.h"
#include "bench_support.h"
#include "libpq_connect.h"

namespace {

using bench::median;
using bench::run;

using Clock = std::chrono::steady_clock;

constexpr double kTargetRatio = 1.5;

}  // namespace

int main(int argc, char** argv) {
  const char *server, *user, *password;
  if (!testdb::ConnectionFromEnv(server, user, password)) return 2;
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 3000;

  PGconn* direct = testdb::ConnectLibpq(server, user, password);
  if (PQstatus(direct) != CONNECTION_OK) {
    std::fprintf(stderr, "%s", PQerrorMessage(direct));
    return 1;
  }
  bench::say_cluster(direct);
  if (!run(direct,
           "select ferrule_reset();"
           "insert into vexa_subsystemList(system_name, systemID) values ('DAQ',2),('TFC',3);"
           "insert into vexa_lg_device_types(devicetypeID, devicetype, nbrofinput, nbrofoutput,"
           " system_name) values (1, 'SWITCH', 8, 8, 6);"
           "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode,"
           " active, nodeused, system_name, location)"
           " select 'dev' || g, 1, g, 0, 0, 1, 1, 6, 'rack' from generate_series(1, 5000) g;"))
    return 1;

  char err[400];
  if (DBConnexion(server, user, password, err) != 0) {
    std::fprintf(stderr, "%s\n", err);
    return 1;
  }

  const char* sql =
      "select t.devicename||'?',e.devicetype||'?',t.active,t.node,t.deviceid,t.promiscuous_mode,"
      "coalesce(t.location,'none')||'?',t.nodeused,concat(t.serialnb,'?'),coalesce(t.system_name,-1) "
      "from vexa_lg_device_types e,vexa_lg_devices t where t.devicename=$1 and "
      "e.devicetypeID=t.devicetypeID";
  // A second baseline with the select prepared once, as a careful libpq
  // client would do it.
  PGresult* prep = PQprepare(direct, "device_row", sql, 1, nullptr);
  if (PQresultStatus(prep) != PGRES_COMMAND_OK) return 1;
  PQclear(prep);
  std::vector<double> lib, raw, prepared;
  char row[1000];
  for (int i = 0; i < rounds; ++i) {
    std::string name = "dev" + std::to_string(1 + i % 5000);
    auto t0 = Clock::now();
    int len = sizeof row;
    if (GetDeviceRow_devicename(name.c_str(), &len, row, err) != 0) {
      std::fprintf(stderr, "%s\n", err);
      return 1;
    }
    auto t1 = Clock::now();
    const char* params[] = {name.c_str()};
    PGresult* r = PQexecParams(direct, sql, 1, nullptr, params, nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) != 1) return 1;
    PQclear(r);
    auto t2 = Clock::now();
    r = PQexecPrepared(direct, "device_row", 1, params, nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) != 1) return 1;
    PQclear(r);
    auto t3 = Clock::now();
    lib.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    raw.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
    prepared.push_back(std::chrono::duration<double, std::micro>(t3 - t2).count());
  }
  DBDeconnexion(err);
  PQfinish(direct);

  double ml = median(lib), mr = median(raw), mp = median(prepared);
  std::printf("GetDeviceRow_devicename median %.1f us, libpq direct median %.1f us, ratio %.2f "
              "(target <= %.1f): %s\n",
              ml, mr, ml / mr, kTargetRatio, ml / mr <= kTargetRatio ? "met" : "NOT met");
  std::printf("libpq with the select prepared once: median %.1f us, ratio %.2f\n", mp, ml / mp);
  return 0;
}
