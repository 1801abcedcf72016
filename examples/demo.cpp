// Example client: connects to the database named by FERRULE_SERVER,
// FERRULE_USER and FERRULE_PASSWORD, builds a small network with the
// library's inserts (device types, devices, ports, a link type, links;
// single rows and cached batches), reads rows and lists back, finds the
// paths between two devices, has the server build a routing table and reads
// it, and disconnects.
#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ferrule.h"
#include "libpq_connect.h"

namespace {

// Plain SQL, for what the library offers no call for: an empty database and
// its subsystems (read when connecting). With print set, the rows of a query
// are printed, one per line.
bool run_sql(PGconn* conn, const char* sql, bool print = false) {
  PGresult* res = PQexec(conn, sql);
  const bool ok =
      PQresultStatus(res) == PGRES_TUPLES_OK || PQresultStatus(res) == PGRES_COMMAND_OK;
  if (!ok) std::fprintf(stderr, "sql: %s", PQerrorMessage(conn));
  if (ok && print)
    for (int i = 0; i < PQntuples(res); ++i) std::printf("  %s\n", PQgetvalue(res, i, 0));
  PQclear(res);
  return ok;
}

int failures = 0;

void step(const char* what, int rc, const char* err) {
  std::printf("%-46s -> %d  %s\n", what, rc, err);
  if (rc != 0) ++failures;
}

void show_row(const char* what, int rc, const char* row, const char* err) {
  std::printf("%s -> %d\n  %s\n  %s\n", what, rc, rc == 0 ? row : "", err);
  if (rc != 0) ++failures;
}

// Device types and devices: a batch of each, and one device on its own.
void add_devices(char* err) {
  int rc = InsertMultipleDeviceTypes("DAQ,TFC", "SWITCH", 48, 48, "core switch", "blue", 1, 0, err);
  if (rc == 0)
    rc = InsertMultipleDeviceTypes("DAQ", "SERVER", 2, 2, "readout server", nullptr, 0, 1, err);
  step("InsertMultipleDeviceTypes (SWITCH, SERVER)", rc, err);

  rc = InsertFunctionalDevice("DAQ,TFC", "core_sw01", "SWITCH", 1, 0, "SN-0001", "switch-48",
                              "network team", "first switch", "rack A1", 0, err);
  step("InsertFunctionalDevice (core_sw01)", rc, err);

  struct Device {
    const char *sysname, *name, *type, *serial, *location;
    int node;
  };
  const Device batch[] = {{"DAQ,TFC", "core_sw02", "SWITCH", "SN-0002", "rack A2", 1},
                          {"DAQ", "srv01", "SERVER", "SN-1001", "rack B1", 0},
                          {"DAQ", "srv02", "SERVER", "SN-1002", "rack B1", 0}};
  const int n = sizeof batch / sizeof batch[0];
  rc = 0;
  for (int i = 0; i < n && rc == 0; ++i)
    rc = InsertMultipleFunctionalDevices(batch[i].sysname, batch[i].name, batch[i].type,
                                         batch[i].node, 0, batch[i].serial, "hw", "network team",
                                         nullptr, batch[i].location, i == 0, i == n - 1, err);
  step("InsertMultipleFunctionalDevices (3 devices)", rc, err);
}

// Ports: outputs (way 2) on the switches, inputs (way 1) with addresses on
// the servers, as one batch; one spare port of a hardware item on a shelf.
// A port with an address also gets the port of the device's hardware, which
// the routing table reads (its MAC address).
void add_ports(char* err) {
  struct Port {
    const char *device, *nbr;
    int way;
    const char *ipadd, *ipname, *mac;
  };
  const Port batch[] = {{"core_sw01", "1", 2, nullptr, nullptr, nullptr},
                        {"core_sw01", "2", 2, "10.0.0.1", "core_sw01.daq", "00:11:22:33:44:01"},
                        {"core_sw02", "1", 1, nullptr, nullptr, nullptr},
                        {"core_sw02", "2", 2, nullptr, nullptr, nullptr},
                        {"srv01", "eth0", 1, "10.0.0.11", "srv01.daq", "00:11:22:33:44:11"},
                        {"srv02", "eth0", 1, "10.0.0.12", "srv02.daq", "00:11:22:33:44:12"}};
  const int n = sizeof batch / sizeof batch[0];
  int rc = 0;
  for (int i = 0; i < n && rc == 0; ++i)
    rc = InsertMultiplePorts(batch[i].device, batch[i].nbr, 1, batch[i].way, 1000, 0, nullptr,
                             nullptr, batch[i].ipadd, batch[i].ipname, "255.255.255.0",
                             batch[i].mac, nullptr, i == 0, i == n - 1, err);
  step("InsertMultiplePorts (6 ports)", rc, err);

  rc = InsertSparePort("SN-SPARE-9", "1", 1, nullptr, "bia-9", "00:11:22:33:44:99", 0, err);
  step("InsertSparePort (SN-SPARE-9)", rc, err);
}

// A link type (the next prime number), then links: one on its own, two in
// a batch.
void add_links(char* err) {
  int rc = InsertSimpleLinkType("ethernet", 1, err);
  step("InsertSimpleLinkType (ethernet)", rc, err);
  rc = InsertMacroLink("core_sw01", "core_sw02", "1", "1", nullptr, nullptr, "ethernet",
                           "trunk", 1, 0, err);
  step("InsertMacroLink (core_sw01 -> core_sw02)", rc, err);
  rc = InsertMultipleMacroLinks("core_sw02", "srv01", "2", "eth0", nullptr, nullptr, "ethernet",
                                nullptr, 0, 1, 0, err);
  if (rc == 0)
    rc = InsertMultipleMacroLinks("core_sw01", "srv02", "2", "eth0", nullptr, nullptr, "ethernet",
                                  nullptr, 0, 0, 1, err);
  step("InsertMultipleMacroLinks (2 links)", rc, err);
}

// The items of a packed list (each ended by its NUL), on one line.
void show_list(const char* what, int rc, const char* list, int len, const char* err) {
  std::printf("%s -> %d\n ", what, rc);
  for (int at = 0; rc == 0 && at < len; at += static_cast<int>(std::strlen(list + at)) + 1)
    std::printf(" [%s]", list + at);
  std::printf("\n  %s\n", err);
  if (rc != 0) ++failures;
}

// Every path from core_sw01 to srv01, one line per link.
void show_paths(char* err) {
  enum { kEntries = 64, kText = 4096 };
  char nfrom[kText], nto[kText], pfrom[kText], pto[kText], lkinfo[kText];
  int way_a[kEntries], way_b[kEntries], pathid[kEntries], link_pos[kEntries];
  int len_array = kEntries, len_pfrom = kText, len_nfrom = kText, len_pto = kText,
      len_nto = kText, len_lkinfo = kText;
  const int rc = GetConnectivityBetweenDevices(
      "core_sw01", "srv01", &len_array, &len_pfrom, &len_nfrom, &len_pto, &len_nto, &len_lkinfo,
      nfrom, nto, pfrom, way_a, pto, way_b, pathid, link_pos, lkinfo, err);
  std::printf("GetConnectivityBetweenDevices(core_sw01, srv01) -> %d\n", rc);
  const char *f = nfrom, *t = nto, *pf = pfrom, *pt = pto;
  for (int i = 0; rc == 0 && i < len_array; ++i) {
    std::printf("  path %d link %d: %s port %s -> %s port %s\n", pathid[i], link_pos[i], f, pf,
                t, pt);
    f += std::strlen(f) + 1;
    t += std::strlen(t) + 1;
    pf += std::strlen(pf) + 1;
    pt += std::strlen(pt) + 1;
  }
  std::printf("  %s\n", err);
  if (rc != 0) ++failures;
}

// The routing table of core_sw01, built by the server and read as lists.
void show_routes(char* err) {
  int rc = CreateRoutingTable("core_sw01", 0, err);
  step("CreateRoutingTable (core_sw01)", rc, err);
  char id[16];
  int deviceid = 0;
  rc = GetDeviceID_devicename("core_sw01", &deviceid, err);
  step("GetDeviceID_devicename (core_sw01)", rc, err);
  std::snprintf(id, sizeof id, "%d", deviceid);

  enum { kText = 1024 };
  char dest[kText], ipdest[kText], port[kText], ipnext[kText], subnet[kText], mac[kText];
  int len_dest = kText, len_ipdest = kText, len_port = kText, len_ipnext = kText,
      len_subnet = kText, len_mac = kText;
  rc = LoadRoutingtable(id, &len_dest, dest, &len_ipdest, ipdest, &len_port, port, &len_ipnext,
                        ipnext, &len_subnet, subnet, &len_mac, mac, err);
  // Routes through ports that have an address and hardware: core_sw01's
  // port 2 to srv02.
  show_list("LoadRoutingtable(core_sw01): destinations", rc, dest, len_dest, err);
  if (rc == 0) {
    show_list("  their output ports", rc, port, len_port, err);
    show_list("  their next addresses", rc, ipnext, len_ipnext, err);
  }
}

}  // namespace

int main() {
  const char *server, *user, *password;
  if (!testdb::ConnectionFromEnv(server, user, password)) return 2;
  PGconn* conn = testdb::ConnectLibpq(server, user, password);
  if (PQstatus(conn) != CONNECTION_OK) {
    std::fprintf(stderr, "setup: %s", PQerrorMessage(conn));
    PQfinish(conn);
    return 1;
  }
  if (!run_sql(conn,
               "select ferrule_reset();"
               "insert into vexa_subsystemList(system_name, systemID) values ('DAQ',2),('TFC',3);")) {
    PQfinish(conn);
    return 1;
  }

  char err[400];
  if (DBConnexion(server, user, password, err) != 0) {
    std::printf("%s\n", err);
    PQfinish(conn);
    return 1;
  }
  std::printf("%s\n\n", err);

  add_devices(err);
  add_ports(err);
  add_links(err);

  std::printf("\n");
  char row[1000];
  int len = sizeof row;
  int rc = GetDeviceTypeRow("SWITCH", &len, row, err);
  show_row("GetDeviceTypeRow(SWITCH)", rc, row, err);
  for (const char* name : {"core_sw01", "srv01"}) {
    len = sizeof row;
    rc = GetDeviceRow_devicename(name, &len, row, err);
    const std::string what = std::string("GetDeviceRow_devicename(") + name + ")";
    show_row(what.c_str(), rc, row, err);
  }

  char list[1000];
  len = sizeof list;
  rc = GetDeviceNamesPerType("SERVER", &len, list, err);
  show_list("GetDeviceNamesPerType(SERVER)", rc, list, len, err);
  len = sizeof row;
  rc = GetPortRow_devid(1, "1", 2, nullptr, &len, row, err);
  show_row("GetPortRow_devid(core_sw01, port 1, output)", rc, row, err);
  len = sizeof row;
  rc = GetLkTypeRow_lkname("ethernet", &len, row, err);
  show_row("GetLkTypeRow_lkname(ethernet)", rc, row, err);

  std::printf("\n");
  show_paths(err);
  std::printf("\n");
  show_routes(err);

  std::printf("\nlinks (from port -> to port, weight, subsystem set):\n");
  run_sql(conn,
          "select a.devicename || ':' || f.port_nbr || ' -> ' || b.devicename || ':' || "
          "t.port_nbr || ', weight ' || c.link_weight || ', system_name ' || c.system_name "
          "from vexa_macroscopic_connectivity c "
          "join vexa_port_properties f on f.portid = c.portidfrom "
          "join vexa_lg_devices a on a.deviceid = f.deviceid "
          "join vexa_port_properties t on t.portid = c.portidto "
          "join vexa_lg_devices b on b.deviceid = t.deviceid order by c.linkid",
          true);
  std::printf("addresses:\n");
  run_sql(conn, "select ipaddress || ' ' || ipname from vexa_ipinfo order by ipaddress", true);
  PQfinish(conn);

  rc = DBDeconnexion(err);
  std::printf("%s\n", err);
  return failures || rc != 0;
}
