// Routing tables of every device through CreateRoutingTable, one
// transaction on a new connection, on the network of routing_network.h with
// 2,002 and 4,002 devices, in the states a site's database passes through:
//   clean     the network just written, the routes never vacuumed, as in a
//             fresh database;
//   emptied   then the server's droptableschema (what DropTableSchema
//             runs), a VACUUM of the emptied routes (what autovacuum does
//             soon after) and createtableschema;
//   churned   the network written again, then three rounds of every link
//             made unused and used again, each committed.
// Each state prints its total, its ratio to the clean build and an md5 of
// the routing table built; each build begins right after a checkpoint. Then the cost of one refresh (updatepathused)
// after a host's link stops being used, and after it is used again, with
// 2,002 tables stored.
// Targets: every state at most 1.3 times the clean build of its network,
// the same table in every state, twice the devices at most 4.6 times the
// cost (a table per device, each listing every device: the output grows
// with the square), the 2,002 tables built in at most 20 times what the
// server takes to write their rows alone (WriteSameRows; their time in ms
// is printed too), one refresh under 1 s.
// Empties the database first.
#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "ferrule.h"
#include "libpq_connect.h"
#include "routing_network.h"

namespace {

using bench::median;
using bench::run;

using Clock = std::chrono::steady_clock;

constexpr double kStateTarget = 1.3;
constexpr double kGrowthTarget = 4.6;
constexpr double kWriteTarget = 20;  // see WriteSameRows

const char* verdict(bool met) { return met ? "met" : "NOT met"; }

double ms_since(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

struct Login {
  const char* server;
  const char* user;
  const char* password;
};

std::vector<std::string> DeviceNames(int edges) {
  std::vector<std::string> names;
  for (int i = 1; i <= 2; ++i) names.push_back("core" + std::to_string(i));
  for (int i = 1; i <= edges; ++i) names.push_back("edge" + std::to_string(i));
  for (int i = 1; i <= edges * bench::kHostsPerEdge; ++i)
    names.push_back("host" + std::to_string(i));
  return names;
}

// Builds the routing table of every device on a new library connection in
// one transaction and commits it; returns the total in ms (each device's
// time into each), or a negative value when a build failed.
double BuildAll(const Login& login, const std::vector<std::string>& names,
                std::vector<double>& each) {
  char err[400];
  if (DBConnexion(login.server, login.user, login.password, err) != 0) {
    std::fprintf(stderr, "%s\n", err);
    return -1;
  }
  each.clear();
  const auto all0 = Clock::now();
  for (const std::string& name : names) {
    const auto t0 = Clock::now();
    if (CreateRoutingTable(name.c_str(), 10, err) != 0) {
      std::fprintf(stderr, "%s: %s\n", name.c_str(), err);
      DBDeconnexion(err);
      return -1;
    }
    each.push_back(ms_since(t0));
  }
  // Commit through a read that commits.
  char list[64];
  int len = sizeof list;
  GetPortPerSubsystem("host1", "DAQ", &len, list, err);
  const double all = ms_since(all0);
  DBDeconnexion(err);
  return all;
}

// An md5 of the whole routing table: of each start's rows in order, then of
// those in order of start.
std::string RoutingTableMd5(PGconn* c) {
  PGresult* r = PQexec(c, R"SQL(
    SELECT md5(string_agg(t.h, '' ORDER BY b.start))
    FROM routingtable_pck.built_tables b
    CROSS JOIN LATERAL (
      SELECT md5(string_agg(concat_ws(',', v.nodeid_end1, v.pfromid0, v.ptoid0, v.ptoid1,
                                      v.routingpathused), ';'
                            ORDER BY v.nodeid_end1, v.pfromid0, v.ptoid0)) AS h
      FROM vexa_routingtable v WHERE v.nodeid_start0 = b.start) t
    WHERE b.kind = 'RT')SQL");
  std::string md5 = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1
                        ? PQgetvalue(r, 0, 0)
                        : "(failed)";
  PQclear(r);
  return md5;
}

// A build writes hundreds of megabytes of write-ahead log, so that on a
// durable cluster with the server's default settings it runs through one or
// more checkpoints. Where in the checkpoint cycle a build began changed its
// total by up to half (the first change of each page after a checkpoint
// logs the whole page, and the checkpointer writes beside it); each build
// therefore begins right after a checkpoint, so that the states compare
// their own costs. The clusters of scripts/db let the library's account
// run CHECKPOINT; elsewhere the builds begin where the cycle stands, and
// this says so once.
void StartAtACheckpoint(PGconn* c) {
  static bool refused = false;
  if (refused) return;
  PGresult* r = PQexec(c, "CHECKPOINT");
  if (PQresultStatus(r) != PGRES_COMMAND_OK) {
    refused = true;
    std::printf("  (CHECKPOINT refused: each build begins where the checkpoint cycle stands)\n");
  }
  PQclear(r);
}

bool WriteNetwork(PGconn* c, int edges) {
  // TRUNCATE: the routes as a fresh database has them, never vacuumed.
  return run(c, bench::RoutingNetwork(edges)) && run(c, "TRUNCATE routingtable_pck.routes");
}

bool Empty(PGconn* c) {
  return run(c, "SELECT vexa_configuration_dev.droptableschema(1)") &&
         run(c, "VACUUM routingtable_pck.routes") &&
         run(c, "SELECT vexa_configuration_dev.createtableschema(1)");
}

bool Churn(PGconn* c, int edges) {
  if (!WriteNetwork(c, edges)) return false;
  for (int round = 0; round < 3; ++round)
    if (!run(c, "UPDATE vexa_macroscopic_connectivity SET lkused = 0") ||
        !run(c, "UPDATE vexa_macroscopic_connectivity SET lkused = 1"))
      return false;
  return true;
}

// A build's time follows the server's speed, which differs from machine to
// machine by more than a real slowdown of the build would change it: the
// same code built the 2,002 tables in 4.3 s on one machine and in 8.7 s and
// 12.5 to 13.7 s on others. So a build is judged against what the same
// server takes, in the same run, to write what the build wrote: the
// routing routes of every start (about n squared routes for n devices, kept
// in bundles of up to 64: 73,134 rows of 100 MB for 2,002 devices, see
// database/09_routing_steps.sql), copied by one INSERT ... SELECT into a
// table like theirs (the same columns, index and storage), committed, each
// copy beginning right after a checkpoint as each build does. The build's
// search and its statements cost more than that writing (14.7 to 15.2
// times as much in three runs on an idle 8-core machine, 4.6 s against
// 0.31 s), but they take the same server's processor and disk: with the
// server's processes held to a third of a processor, the build took 3.2
// times as long and the copy 2.9 times. The target, 20 times, leaves a
// slower machine that margin and fails a build a third slower. Returns the median of three copies
// in ms, with the number of rows and their size; negative when a statement
// failed.
double WriteSameRows(PGconn* c, long long& rows, double& megabytes) {
  PGresult* r = PQexec(c, "SELECT count(*), sum(pg_column_size(t)) FROM routingtable_pck.routes t "
                          "WHERE kind = 'RT'");
  const bool counted = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1;
  rows = counted ? std::atoll(PQgetvalue(r, 0, 0)) : 0;
  megabytes = counted ? std::atof(PQgetvalue(r, 0, 1)) / 1048576.0 : 0;
  PQclear(r);
  // A copy left by a run that was stopped goes first.
  if (!counted || !run(c, "SET client_min_messages = warning; "
                          "DROP TABLE IF EXISTS bench_routes_copy; RESET client_min_messages"))
    return -1;
  std::vector<double> copies;
  for (int copy = 0; copy < 3; ++copy) {
    if (!run(c, "CREATE TABLE bench_routes_copy (LIKE routingtable_pck.routes INCLUDING ALL) "
                "WITH (toast_tuple_target = 8160)"))
      return -1;
    StartAtACheckpoint(c);
    const auto t0 = Clock::now();
    const bool written = run(c, "INSERT INTO bench_routes_copy "
                                "SELECT * FROM routingtable_pck.routes WHERE kind = 'RT'");
    copies.push_back(ms_since(t0));
    if (!run(c, "DROP TABLE bench_routes_copy") || !written) return -1;
  }
  return median(copies);
}

struct Network {
  int devices = 0;
  double totals[3] = {0, 0, 0};  // clean, emptied, churned
  double median_one = 0, slowest_one = 0;
};

const char* const kStateNames[3] = {"clean", "after DropTableSchema, VACUUM, new connection",
                                    "after 3 rounds of link usage churn"};

// Builds the tables of one network in each state and prints them; false on
// a failure.
bool MeasureStates(PGconn* direct, const Login& login, int edges, Network& net) {
  const std::vector<std::string> names = DeviceNames(edges);
  net.devices = static_cast<int>(names.size());
  std::printf("network of %d devices (%d edge switches):\n", net.devices, edges);
  std::string md5s[3];
  std::vector<double> each;
  for (int state = 0; state < 3; ++state) {
    const bool prepared = state == 0   ? WriteNetwork(direct, edges)
                          : state == 1 ? Empty(direct)
                                       : Churn(direct, edges);
    if (!prepared) return false;
    StartAtACheckpoint(direct);
    const double total = BuildAll(login, names, each);
    if (total < 0) return false;
    net.totals[state] = total;
    md5s[state] = RoutingTableMd5(direct);
    if (state == 0) {
      net.median_one = median(each);
      net.slowest_one = *std::max_element(each.begin(), each.end());
      std::printf("  %-47s %7.0f ms, md5 %s\n", kStateNames[state], total, md5s[state].c_str());
    } else {
      const double ratio = total / net.totals[0];
      std::printf("  %-47s %7.0f ms, md5 %s, x%.2f of clean (target <= %.1f): %s\n",
                  kStateNames[state], total, md5s[state].c_str(), ratio, kStateTarget,
                  verdict(ratio <= kStateTarget));
    }
  }
  const bool same = md5s[0] == md5s[1] && md5s[0] == md5s[2];
  std::printf("  the same routing table in every state: %s\n", verdict(same));
  return true;
}

// The refresh after a host's link changes, with every table of the
// 2,002-device network stored.
void MeasureRefresh(PGconn* direct) {
  const char* refresh = "BEGIN; UPDATE vexa_macroscopic_connectivity SET lkused = %d "
                        "WHERE portidto = 1000*1000+1; COMMIT;";
  char sql[200];
  std::snprintf(sql, sizeof sql, refresh, 0);
  run(direct, sql);
  auto t0 = Clock::now();
  run(direct, "SELECT routingtable_pck.updatepathused(1)");
  const double unused = ms_since(t0);
  std::printf("refresh after host948's link stops being used: %.0f ms (target < 1000 ms): %s\n",
              unused, verdict(unused < 1000));
  std::snprintf(sql, sizeof sql, refresh, 1);
  run(direct, sql);
  t0 = Clock::now();
  run(direct, "SELECT routingtable_pck.updatepathused(1)");
  std::printf("refresh after it is used again: %.0f ms\n", ms_since(t0));
}

}  // namespace

int main() {
  Login login{};
  if (!testdb::ConnectionFromEnv(login.server, login.user, login.password)) return 2;
  PGconn* direct = testdb::ConnectLibpq(login.server, login.user, login.password);
  if (!direct || PQstatus(direct) != CONNECTION_OK) return 1;
  bench::say_cluster(direct);

  Network small, large;
  if (!MeasureStates(direct, login, 50, small)) return 1;
  long long rows = 0;
  double megabytes = 0;
  const double write_ms = WriteSameRows(direct, rows, megabytes);
  if (write_ms <= 0) return 1;
  const double to_write = small.totals[0] / write_ms;
  std::printf("the %lld rows of their routes (%.0f MB) written alone: %.0f ms (median of 3)\n",
              rows, megabytes, write_ms);
  std::printf("routing tables of %d devices: %.0f ms in total, x%.1f of writing their rows "
              "(target <= %.0f): %s\n",
              small.devices, small.totals[0], to_write, kWriteTarget,
              verdict(to_write <= kWriteTarget));
  std::printf("one device: median %.2f ms, slowest %.2f ms\n", small.median_one,
              small.slowest_one);
  MeasureRefresh(direct);

  if (!MeasureStates(direct, login, 100, large)) return 1;
  for (int state = 0; state < 3; ++state) {
    const double growth = large.totals[state] / small.totals[state];
    std::printf("%d instead of %d devices, %s: x%.2f (target <= %.1f): %s\n", large.devices,
                small.devices, kStateNames[state], growth, kGrowthTarget,
                verdict(growth <= kGrowthTarget));
  }

  run(direct, "SELECT ferrule_reset()");
  PQfinish(direct);
  return 0;
}
