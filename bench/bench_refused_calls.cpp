// A client keeps its one connection for weeks, and some of its calls are
// refused: each refusal undoes the call's own work. This benchmark makes
// 1,500 refused calls of two kinds on one connection, a replacement of a
// device's hardware by an item in use and a single-row insert of a device
// type whose name is taken, and compares the last 100 calls of each kind
// with the first 100, and the server session's memory before and after.
// Targets: the late calls at most 1.3 times as slow as the early ones, and
// the session grown by at most 4 MB.
#include <libpq-fe.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "backend_memory.h"
#include "bench_support.h"
#include "ferrule.h"
#include "libpq_connect.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCalls = 1500;
constexpr int kSample = 100;
constexpr double kTargetSlowdown = 1.3;
constexpr long long kTargetGrowth = 4 << 20;

FILE* report = stdout;
char err[400];

// Two switches with hardware in use, linked both ways; the device type
// SWITCH exists.
const char* const kNetwork =
    "select ferrule_reset();"
    "insert into vexa_subsystemList(system_name, systemID) values ('DAQ',2);"
    "insert into vexa_lg_device_types(devicetypeID, devicetype) values (1, 'SWITCH');"
    "insert into vexa_hw_devices(serialnb, hwtype, device_status, location)"
    " values ('SN1', 'board', 1, 'rack'), ('SN2', 'board', 1, 'rack');"
    "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, nodeused, system_name,"
    " serialnb, location) values ('sw1', 1, 1, 1, 2, 'SN1', 'rack'),"
    " ('sw2', 1, 2, 1, 2, 'SN2', 'rack');"
    "insert into vexa_port_properties(portid, deviceid, port_nbr, port_way)"
    " values (1, 1, 'p', 2), (2, 2, 'p', 1), (3, 2, 'p', 2), (4, 1, 'p', 1);"
    "insert into vexa_macroscopic_connectivity(linkid, portidfrom, portidto, lkused)"
    " values (1, 1, 2, 1), (2, 3, 4, 1)";

// Runs `kCalls` refused calls and reports their times and the session's
// growth; false when a target was not met. A call that is not refused as
// it should be ends the benchmark.
bool measure(const char* label, const std::function<bool()>& refused, int backend) {
  std::vector<double> ms;
  const long long before = testdb::BackendMemory(backend);
  for (int i = 0; i < kCalls; ++i) {
    const auto start = Clock::now();
    if (!refused()) {
      std::fprintf(report, "%s: call %d was not refused: %s\n", label, i + 1, err);
      std::exit(1);
    }
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  const long long grown = testdb::BackendMemory(backend) - before;
  const double early = bench::median({ms.begin(), ms.begin() + kSample});
  const double late = bench::median({ms.end() - kSample, ms.end()});
  const bool fast = late <= kTargetSlowdown * early;
  std::fprintf(report, "%-34s first %d median %.2f ms, last %d median %.2f ms: x%.2f "
               "(target <= %.1f): %s\n", label, kSample, early, kSample, late, late / early,
               kTargetSlowdown, fast ? "met" : "NOT met");
  if (before < 0) {
    std::fprintf(report, "%-34s server memory not readable here\n", "");
    return fast;
  }
  const bool lean = grown <= kTargetGrowth;
  std::fprintf(report, "%-34s server session grown by %.1f MB (target <= %lld MB): %s\n", "",
               grown / 1048576.0, kTargetGrowth >> 20, lean ? "met" : "NOT met");
  return fast && lean;
}

}  // namespace

int main() {
  const char *server, *user, *password;
  if (!testdb::ConnectionFromEnv(server, user, password)) return 2;
  PGconn* direct = testdb::ConnectLibpq(server, user, password);
  if (PQstatus(direct) != CONNECTION_OK) {
    std::fprintf(stderr, "%s", PQerrorMessage(direct));
    return 1;
  }
  bench::say_cluster(direct);
  if (!bench::run(direct, kNetwork)) return 1;

  // The library's own lines (one error line a refused insert) go nowhere.
  report = fdopen(dup(STDOUT_FILENO), "w");
  if (!report || !std::freopen("/dev/null", "w", stdout)) return 1;
  if (DBConnexion(server, user, password, err) != 0) {
    std::fprintf(report, "%s\n", err);
    return 1;
  }
  PGresult* pid = PQexec(direct, "select pid from pg_stat_activity where pid <> pg_backend_pid() "
                                 "and datname = current_database() and usename = current_user");
  const int backend = PQntuples(pid) == 1 ? std::atoi(PQgetvalue(pid, 0, 0)) : -1;
  PQclear(pid);

  std::fprintf(report, "%d refused calls of each kind on one connection\n", kCalls);
  const bool replacements = measure(
      "ReplaceFunctionalDevice, in use", [] {
        return ReplaceFunctionalDevice("sw1", "SPARE", "store", nullptr, "26/03/01/00/00/00",
                                       "SN2", "26/03/02/00/00/00", err) == -1;
      },
      backend);
  const bool inserts = measure(
      "InsertDeviceType, name taken",
      [] { return InsertDeviceType("DAQ", "SWITCH", 4, 4, nullptr, nullptr, 1, err) == 1; },
      backend);
  DBDeconnexion(err);
  PQfinish(direct);
  std::fprintf(report, "every target: %s\n", replacements && inserts ? "met" : "NOT met");
  return 0;
}
