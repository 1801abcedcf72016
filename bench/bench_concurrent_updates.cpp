// Link updates of several clients at once while routing tables are stored:
// 8 client processes (the library keeps one connection per process), each
// with its own connection, on the network of routing_network.h with the
// routing tables of 20 hosts stored. For a fixed time each client sends
// UpdateMultipleLkUsedLinks batches (5 host links set unused or used, whose
// refresh of the stored tables runs in the batch's transaction) and, in
// between, LoadRoutingtable lookups of a stored table. Beside them one more
// client makes device updates after which every link is rewritten, about
// two a second: in turn a host's node flag (UpdateMultipleAttributesDevices:
// every link's weight), its nodeused (UpdateMultipleDeviceNodeUsed) and the
// nodeused of the hosts whose name begins with its name
// (UpdateMultipleDeviceNodeUsedByType), each set to the value it has; the
// last two set every link's lkused again, so links that the batches took
// out of use come back, with their refresh. Prints per kind of call the
// count, the rate, the failures and the p50/p99 latencies, the deadlocks
// that the server detected in the meantime (whether an update reported
// them or a refresh caught them and undid itself), and how many rows of
// the stored tables differ from a fresh build once the changes left behind
// are refreshed. Targets: no deadlock, no device update that fails, no row
// that differs; each target line ends with "met" or "NOT met".
//
//   bench_concurrent_updates [seconds, default 30] [--shuffled]
//
// A batch names its links in link id order, as a caller can; --shuffled sends
// them in random order, where two batches that share links can still
// deadlock on the link rows themselves, before any refresh.
// Empties the database first.
#include <libpq-fe.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "ferrule.h"
#include "libpq_connect.h"
#include "routing_network.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kClients = 8;  // link clients; the device client comes on top
constexpr int kStoredTables = 20;
constexpr int kLinksPerBatch = 5;
constexpr int kLookupsPerBatch = 4;  // lookups a client makes after each batch
constexpr int kEdges = 50, kHostsPerEdge = 39;
constexpr auto kDeviceUpdatePause = std::chrono::milliseconds(500);

// What LoadRoutingtable joins beside the routes: the hardware of every
// device with a MAC address per port, and an IP address on every port.
const char* const kLookupData = R"SQL(
INSERT INTO vexa_hw_devices(serialnb) SELECT 'sn'||deviceid FROM vexa_lg_devices WHERE deviceid > 0;
UPDATE vexa_lg_devices SET serialnb = 'sn'||deviceid WHERE deviceid > 0;
INSERT INTO vexa_hwport_properties(serialnb, port_nbr, port_way, macaddress)
SELECT 'sn'||deviceid, port_nbr, port_way, 'mac'||portid FROM vexa_port_properties;
INSERT INTO vexa_ipinfo(ipaddress, subnet_info)
SELECT '10.'||portid/65536||'.'||portid/256%256||'.'||portid%256, '255.0.0.0'
FROM vexa_port_properties;
UPDATE vexa_port_properties SET ipaddress = '10.'||portid/65536||'.'||portid/256%256||'.'||portid%256;
)SQL";

// The hosts whose routing tables are stored: spread over the edge switches.
int StoredHost(int i) { return 1 + i * (kEdges * kHostsPerEdge / kStoredTables); }

enum Kind : int { kBatch, kLookup, kDeviceUpdate };

// One call as a client reports it to the parent through a pipe.
struct Call {
  int kind;
  int failed;     // the call failed (a lookup that finds no route in use
                  // answers all the same)
  int deadlock;   // ... and its ErrMess names a deadlock
  double ms;
};

// The rows of the stored routing tables that differ from a fresh build,
// after a last refresh of the changes that refreshes undone left noted.
long RowsUnlikeABuild(PGconn* c, const std::string& builds) {
  const std::string rows =
      "SELECT nodeid_start0, nodeid_end1, pfromid0, ptoid0, ptoid1, routingpathused "
      "FROM vexa_routingtable";
  if (!bench::run(c, "SELECT routingtable_pck.updatepathused(1); "
                     "CREATE TEMP TABLE refreshed AS " + rows + "; " + builds))
    return -1;
  PGresult* r = PQexec(c, ("SELECT count(*) FROM ((TABLE refreshed EXCEPT ALL " + rows +
                           ") UNION ALL (" + rows + " EXCEPT ALL TABLE refreshed)) d").c_str());
  const long n = PQresultStatus(r) == PGRES_TUPLES_OK ? std::atol(PQgetvalue(r, 0, 0)) : -1;
  PQclear(r);
  return n;
}

// The deadlocks that the server has counted in this database.
long Deadlocks(PGconn* c) {
  PGresult* r = PQexec(c, "SELECT pg_stat_clear_snapshot(); "
                          "SELECT deadlocks FROM pg_stat_database WHERE datname = current_database()");
  const long n = PQresultStatus(r) == PGRES_TUPLES_OK ? std::atol(PQgetvalue(r, 0, 0)) : -1;
  PQclear(r);
  return n;
}

const char* Met(bool met) { return met ? "met" : "NOT met"; }

// The link id of every host link, at (edge - 1) * kHostsPerEdge + port - 1:
// the network's ids do not follow the edge switches' ports.
std::vector<int> HostLinkIds(PGconn* c) {
  std::vector<int> ids(kEdges * kHostsPerEdge, 0);
  PGresult* r = PQexec(c, "SELECT portidfrom / 1000 - 2, portidfrom % 1000, linkid "
                          "FROM vexa_macroscopic_connectivity WHERE portidfrom % 1000 < 900");
  for (int i = 0; PQresultStatus(r) == PGRES_TUPLES_OK && i < PQntuples(r); ++i) {
    const int edge = std::atoi(PQgetvalue(r, i, 0)), port = std::atoi(PQgetvalue(r, i, 1));
    ids[(edge - 1) * kHostsPerEdge + port - 1] = std::atoi(PQgetvalue(r, i, 2));
  }
  PQclear(r);
  return ids;
}

class Client {
 public:
  Client(int id, bool shuffled, bool devices, const std::vector<int>& link_ids)
      : random_(1000 + id), shuffled_(shuffled), devices_(devices), link_ids_(link_ids) {}

  // Runs until deadline, writing each call to fd.
  int run(Clock::time_point deadline, int fd) {
    char err[1000];
    const char *server, *user, *password;
    if (!testdb::ConnectionFromEnv(server, user, password)) return 2;
    if (DBConnexion(server, user, password, err) != 0) {
      std::fprintf(stderr, "client: %s\n", err);
      return 1;
    }
    for (int n = 0; Clock::now() < deadline; ++n) {
      if (devices_) {
        report(fd, kDeviceUpdate, [&] { return device_update(n, err); }, err);
        std::this_thread::sleep_for(kDeviceUpdatePause);
        continue;
      }
      report(fd, kBatch, [&] { return batch(err); }, err);
      for (int i = 0; i < kLookupsPerBatch && Clock::now() < deadline; ++i)
        report(fd, kLookup, [&] { return lookup(err); }, err);
    }
    DBDeconnexion(err);
    return 0;
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  template <class F>
  static void report(int fd, Kind kind, F call, const char* err) {
    const auto t0 = Clock::now();
    const int rc = call();
    const bool failed = rc != 0 && std::strstr(err, "NO_ROWS_SELECTED") == nullptr;
    Call c{kind, failed, failed && std::strstr(err, "deadlock") != nullptr,
           std::chrono::duration<double, std::milli>(Clock::now() - t0).count()};
    if (write(fd, &c, sizeof c) != sizeof c) std::perror("write");
  }

  // kLinksPerBatch host links, each named by its edge switch's port.
  int batch(char* err) {
    std::vector<std::pair<int, int>> links;  // (edge, port)
    while (static_cast<int>(links.size()) < kLinksPerBatch) {
      std::pair<int, int> l{1 + pick(kEdges), 1 + pick(kHostsPerEdge)};
      if (std::find(links.begin(), links.end(), l) == links.end()) links.push_back(l);
    }
    if (!shuffled_)
      std::sort(links.begin(), links.end(), [&](const auto& a, const auto& b) {
        return link_id(a) < link_id(b);
      });
    int rc = 0;
    for (std::size_t i = 0; i < links.size() && rc == 0; ++i) {
      const std::string edge = "edge" + std::to_string(links[i].first);
      const std::string port = std::to_string(links[i].second);
      rc = UpdateMultipleLkUsedLinks(edge.c_str(), "none", port.c_str(), "", nullptr, nullptr,
                                     pick(2), i == 0, i + 1 == links.size(), err);
    }
    return rc;
  }

  int link_id(const std::pair<int, int>& link) const {
    return link_ids_[(link.first - 1) * kHostsPerEdge + link.second - 1];
  }

  // One update of a random host, of kind n % 3, as a batch of one row.
  int device_update(int n, char* err) {
    const std::string host = "host" + std::to_string(1 + pick(kEdges * kHostsPerEdge));
    switch (n % 3) {
      case 0: return UpdateMultipleAttributesDevices(host.c_str(), 1, -1, "none", 1, 1, err);
      case 1: return UpdateMultipleDeviceNodeUsed(host.c_str(), 1, 1, 1, err);
      default: return UpdateMultipleDeviceNodeUsedByType(host.c_str(), 1, 0, 1, err);
    }
  }

  int lookup(char* err) {
    const std::string start = std::to_string(52 + StoredHost(pick(kStoredTables)));
    int lens[6];
    for (int& len : lens) len = static_cast<int>(lists_[0].size());
    return LoadRoutingtable(start.c_str(), &lens[0], lists_[0].data(), &lens[1], lists_[1].data(),
                            &lens[2], lists_[2].data(), &lens[3], lists_[3].data(), &lens[4],
                            lists_[4].data(), &lens[5], lists_[5].data(), err);
  }

  std::mt19937 random_;
  bool shuffled_;
  bool devices_;
  const std::vector<int>& link_ids_;
  std::vector<std::vector<char>> lists_ = std::vector<std::vector<char>>(6, std::vector<char>(1 << 18));
};

// Prints the line of one kind of call; returns its failures.
int Summary(const char* what, const std::vector<Call>& calls, Kind kind, double seconds) {
  std::vector<double> ms;
  int failed = 0, deadlocks = 0;
  for (const Call& c : calls) {
    if (c.kind != kind) continue;
    ms.push_back(c.ms);
    failed += c.failed;
    deadlocks += c.deadlock;
  }
  std::sort(ms.begin(), ms.end());
  const auto at = [&](double q) {
    return ms.empty() ? 0.0 : ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * ms.size()))];
  };
  std::printf("%-36s %6zu calls (%.1f/s), %d failed (%d deadlocks), p50 %.0f ms, p99 %.0f ms\n",
              what, ms.size(), ms.size() / seconds, failed, deadlocks, at(0.5), at(0.99));
  return failed;
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 30;
  bool shuffled = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--shuffled") == 0)
      shuffled = true;
    else
      seconds = std::max(1, std::atoi(argv[i]));
  }
  const char *server, *user, *password;
  if (!testdb::ConnectionFromEnv(server, user, password)) return 2;
  PGconn* direct = testdb::ConnectLibpq(server, user, password);
  if (!direct || !bench::run(direct, bench::kRoutingNetwork) || !bench::run(direct, kLookupData))
    return 1;
  bench::say_cluster(direct);
  std::string builds = "SELECT count(*) FROM (VALUES ";
  for (int i = 0; i < kStoredTables; ++i)
    builds += std::string(i ? "," : "") + "(routingtable_pck.createRT_all_devname('host" +
              std::to_string(StoredHost(i)) + "', 1, 10, 1))";
  builds += ") AS b(rc) WHERE rc = 0";
  // Statistics as a database in use has them: the lookup's join is planned
  // badly (seconds instead of milliseconds) for tables just filled.
  if (!bench::run(direct, builds) ||
      !bench::run(direct, "ANALYZE vexa_lg_devices, vexa_hw_devices, vexa_port_properties, "
                          "vexa_hwport_properties, vexa_ipinfo, vexa_macroscopic_connectivity, "
                          "routingtable_pck.steps, routingtable_pck.routes"))
    return 1;

  const std::vector<int> link_ids = HostLinkIds(direct);
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return 1;
  const long deadlocks_before = Deadlocks(direct);
  const auto deadline = Clock::now() + std::chrono::seconds(seconds);
  std::vector<pid_t> children;
  for (int id = 0; id <= kClients; ++id) {
    const pid_t pid = fork();
    if (pid == 0) {
      close(pipe_fds[0]);
      _exit(Client(id, shuffled, id == kClients, link_ids).run(deadline, pipe_fds[1]));
    }
    children.push_back(pid);
  }
  close(pipe_fds[1]);
  std::vector<Call> calls;
  for (Call c; read(pipe_fds[0], &c, sizeof c) == sizeof c;) calls.push_back(c);
  int failed_clients = 0;
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    failed_clients += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  // The server counts a deadlock when the session that detected it reports
  // its statistics, at the latest when it ends.
  sleep(1);
  const long deadlocks = Deadlocks(direct) - deadlocks_before;

  std::printf("%d link clients and 1 device client, %d stored routing tables, %d s, "
              "batches of %d links in %s order\n",
              kClients, kStoredTables, seconds, kLinksPerBatch, shuffled ? "random" : "link");
  Summary("UpdateMultipleLkUsedLinks", calls, kBatch, seconds);
  Summary("LoadRoutingtable", calls, kLookup, seconds);
  const int device_failures =
      Summary("device updates rewriting every link", calls, kDeviceUpdate, seconds);
  std::printf("deadlocks detected by the server: %ld (target 0): %s\n", deadlocks,
              Met(deadlocks == 0));
  std::printf("device updates that failed: %d (target 0): %s\n", device_failures,
              Met(device_failures == 0));
  const long unlike = RowsUnlikeABuild(direct, builds);
  std::printf("routing-table rows unlike a fresh build: %ld (target 0): %s\n", unlike,
              Met(unlike == 0));
  if (failed_clients) std::printf("clients that could not run: %d\n", failed_clients);

  bench::run(direct, "SELECT ferrule_reset()");
  PQfinish(direct);
  return failed_clients ? 1 : 0;
}
