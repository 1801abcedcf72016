// Routing tables of every device of a generated network of 2,000 devices
// (2 core switches, 50 edge switches each linked to both cores, 39 hosts per
// edge switch, every link bidirectional): the total time and the time of one
// device through CreateRoutingTable, then the cost of one refresh
// (updatepathused) after a host's link stops being used, and after it is
// used again. Targets: every device under 10 s, one refresh under 1 s.
// Empties the database first.
#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ferrule.h"
#include "bench_support.h"
#include "libpq_connect.h"
#include "routing_network.h"

namespace {

using bench::median;
using bench::run;

using Clock = std::chrono::steady_clock;


double ms_since(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

}  // namespace

int main() {
  const char *server, *user, *password;
  if (!testdb::ConnectionFromEnv(server, user, password)) return 2;
  PGconn* direct = testdb::ConnectLibpq(server, user, password);
  if (!direct || !run(direct, bench::kRoutingNetwork)) return 1;
  bench::say_cluster(direct);

  char err[400];
  if (DBConnexion(server, user, password, err) != 0) {
    std::fprintf(stderr, "%s\n", err);
    return 1;
  }
  std::vector<std::string> names;
  for (int i = 1; i <= 2; ++i) names.push_back("core" + std::to_string(i));
  for (int i = 1; i <= 50; ++i) names.push_back("edge" + std::to_string(i));
  for (int i = 1; i <= 1950; ++i) names.push_back("host" + std::to_string(i));

  std::vector<double> each;
  const auto all0 = Clock::now();
  for (const std::string& name : names) {
    const auto t0 = Clock::now();
    if (CreateRoutingTable(name.c_str(), 10, err) != 0) {
      std::fprintf(stderr, "%s: %s\n", name.c_str(), err);
      return 1;
    }
    each.push_back(ms_since(t0));
  }
  const double all = ms_since(all0);
  std::sort(each.begin(), each.end());
  std::printf("routing tables of %zu devices: %.0f ms in total (target < 10000 ms)\n",
              names.size(), all);
  std::printf("one device: median %.2f ms, slowest %.2f ms\n", each[each.size() / 2], each.back());

  // Commit through a read that commits, so that the refresh below runs in a
  // transaction of its own.
  char list[64];
  int len = sizeof list;
  GetPortPerSubsystem("host1", "DAQ", &len, list, err);

  const char* refresh = "BEGIN; UPDATE vexa_macroscopic_connectivity SET lkused = %d "
                        "WHERE portidto = 1000*1000+1; COMMIT;";
  char sql[200];
  std::snprintf(sql, sizeof sql, refresh, 0);
  run(direct, sql);
  auto t0 = Clock::now();
  run(direct, "SELECT routingtable_pck.updatepathused(1)");
  std::printf("refresh after host948's link stops being used: %.0f ms (target < 1000 ms)\n",
              ms_since(t0));
  std::snprintf(sql, sizeof sql, refresh, 1);
  run(direct, sql);
  t0 = Clock::now();
  run(direct, "SELECT routingtable_pck.updatepathused(1)");
  std::printf("refresh after it is used again: %.0f ms\n", ms_since(t0));

  DBDeconnexion(err);
  run(direct, "SELECT ferrule_reset()");
  PQfinish(direct);
  return 0;
}
