// The port rows that bench_insert_ports writes, and the ways it writes
// them: the library's InsertMultiplePorts batch, and through libpq, one
// prepared insert a row pipelined in one transaction, or COPY. A port
// without address is one port row; a port with one, as a site's ports
// carry it with their MAC address, is an address row, a hardware port row
// and a port row.
#pragma once

#include <libpq-fe.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ferrule.h"
#include "bench_support.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// What a row of port i holds: its number, and with an address, the
// address, its host name and the MAC address (also the burnt-in one).
struct PortRow {
  std::string name, address, host, mac;
  explicit PortRow(int n) {
    char text[64];
    name = "p" + std::to_string(n);
    std::snprintf(text, sizeof text, "10.%d.%d.%d", (n >> 16) & 255, (n >> 8) & 255, n & 255);
    address = text;
    host = "host" + std::to_string(n);
    std::snprintf(text, sizeof text, "02:00:00:%02x:%02x:%02x", (n >> 16) & 255, (n >> 8) & 255,
                  n & 255);
    mac = text;
  }
};

// The library's batch of `rows` ports of device dname: `rows` calls, the
// last one sends and commits (and so does every 10,000th). With
// failing_last, the last row repeats the first row's port, which the
// database refuses: the call answers the unique-key error (1) and leaves
// the rows before it in the open transaction. Seconds, or -1.
inline double insert_with_library(const char* dname, int rows, bool with_address,
                                  bool failing_last = false) {
  char err[400];
  const auto start = Clock::now();
  for (int i = 0; i < rows; ++i) {
    const bool last = i == rows - 1;
    const PortRow row(last && failing_last ? 0 : i);
    const char* address = with_address ? row.address.c_str() : nullptr;
    const char* mac = with_address ? row.mac.c_str() : nullptr;
    const int rc = InsertMultiplePorts(dname, row.name.c_str(), 1, 1, 1000, 0, "eth", mac,
                                       address, with_address ? row.host.c_str() : nullptr,
                                       with_address ? "255.255.0.0" : nullptr, mac, "phy",
                                       i == 0, last, err);
    if (rc != (last && failing_last ? 1 : 0)) {
      std::fprintf(stderr, "row %d: %d %s\n", i, rc, err);
      return -1;
    }
  }
  return seconds_since(start);
}

// A prepared statement's name and its values.
struct Prepared {
  const char* name;
  std::vector<std::string> values;
};

// Sends every statement in one pipeline, in one transaction; seconds, or
// -1 when one failed.

inline double run_pipelined(PGconn* c, const std::vector<Prepared>& statements) {
  const auto start = Clock::now();
  if (!PQenterPipelineMode(c)) return -1;
  PQsendQueryParams(c, "begin", 0, nullptr, nullptr, nullptr, nullptr, 0);
  std::vector<const char*> values;
  for (const Prepared& statement : statements) {
    values.clear();
    for (const std::string& value : statement.values) values.push_back(value.c_str());
    PQsendQueryPrepared(c, statement.name, static_cast<int>(values.size()), values.data(),
                        nullptr, nullptr, 0);
  }
  PQsendQueryParams(c, "commit", 0, nullptr, nullptr, nullptr, nullptr, 0);
  PQpipelineSync(c);
  int failures = 0;
  for (;;) {
    PGresult* r = PQgetResult(c);
    if (!r) continue;  // end of one query's results
    const ExecStatusType st = PQresultStatus(r);
    if (st != PGRES_PIPELINE_SYNC && st != PGRES_COMMAND_OK && failures++ == 0)
      std::fprintf(stderr, "%s", PQresultErrorMessage(r));
    PQclear(r);
    if (st == PGRES_PIPELINE_SYNC) break;
  }
  PQexitPipelineMode(c);
  const double elapsed = seconds_since(start);
  return failures ? -1 : elapsed;
}

inline bool prepare(PGconn* c, const char* name, const char* sql, int n) {
  PGresult* r = PQprepare(c, name, sql, n, nullptr);
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  if (!ok) std::fprintf(stderr, "%s", PQerrorMessage(c));
  PQclear(r);
  return ok;
}

// The rows of the library's batch of `rows` ports through libpq, one
// prepared insert a row, pipelined in one transaction. With addresses the
// inserts go table by table, as a load through libpq would write them:
// the addresses, then the hardware ports, then the ports. The server plans
// the ports' checks of their addresses once, with every address there, and
// checks each through the key; written a port's three rows together, as
// the library's block does, the plan would be made while the addresses
// were few and would scan them all.
inline double insert_pipelined(PGconn* c, const char* dname, int rows, bool with_address) {
  const std::string port =
      "insert into vexa_port_properties (portid,deviceid,port_nbr,port_way,"
      "administrative_status,speed,port_type,phy,pxi_booting,ipaddress,author,user_update,"
      "terminal_name) select nextval('vexa_portseq'),deviceid,$1,1,1,1000,'eth','phy',0,";
  const std::string from_device =
      ",'bench','bench','bench' from vexa_lg_devices where devicename=$2";
  if (!run(c, "deallocate all") || !prepare(c, "port", (port + "NULL" + from_device).c_str(), 2) ||
      !prepare(c, "addressed_port", (port + "$3" + from_device).c_str(), 3) ||
      !prepare(c, "address",
               "insert into vexa_ipinfo (ipaddress,subnet_info,ipname,author,terminal_name) "
               "values ($1,'255.255.0.0',$2,'bench','bench') on conflict (ipaddress) do nothing",
               2) ||
      !prepare(c, "hwport",
               "insert into vexa_hwport_properties (serialnb,port_nbr,port_type,port_way,bia,"
               "macaddress,author,created,terminal_name) "
               "select serialnb,$1,'eth',1,$3,$3,'bench',vexa_sysdate(),'bench' "
               "from vexa_lg_devices where devicename=$2",
               3))
    return -1;
  std::vector<PortRow> ports;
  for (int i = 0; i < rows; ++i) ports.emplace_back(i);
  std::vector<Prepared> statements;
  if (with_address) {
    for (const PortRow& p : ports) statements.push_back({"address", {p.address, p.host}});
    for (const PortRow& p : ports) statements.push_back({"hwport", {p.name, dname, p.mac}});
    for (const PortRow& p : ports)
      statements.push_back({"addressed_port", {p.name, dname, p.address}});
  } else {
    for (const PortRow& p : ports) statements.push_back({"port", {p.name, dname}});
  }
  return run_pipelined(c, statements);
}

// Sends `data` to a COPY ... FROM stdin statement; false when it failed.
inline bool copy_in(PGconn* c, const std::string& copy, const std::string& data) {
  PGresult* r = PQexec(c, copy.c_str());
  const bool copying = PQresultStatus(r) == PGRES_COPY_IN;
  PQclear(r);
  if (!copying) {
    std::fprintf(stderr, "%s", PQerrorMessage(c));
    return false;
  }
  PQputCopyData(c, data.data(), static_cast<int>(data.size()));
  PQputCopyEnd(c, nullptr);
  r = PQgetResult(c);
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  if (!ok) std::fprintf(stderr, "%s", PQerrorMessage(c));
  PQclear(r);
  while ((r = PQgetResult(c))) PQclear(r);
  return ok;
}

// The same rows through COPY, ids drawn from the sequence first; with
// addresses one COPY a table, in the order above, in one transaction.
// deviceid and serialnb are the device's.
inline double insert_copy(PGconn* c, const std::string& deviceid, const std::string& serialnb,
                          int rows, bool with_address) {
  const auto start = Clock::now();
  PGresult* ids = PQexec(c, ("select nextval('vexa_portseq') from generate_series(1," +
                             std::to_string(rows) + ")")
                                .c_str());
  if (PQresultStatus(ids) != PGRES_TUPLES_OK || PQntuples(ids) != rows) {
    PQclear(ids);
    return -1;
  }
  std::string addresses, hwports, ports;
  for (int i = 0; i < rows; ++i) {
    const PortRow p(i);
    const std::string address = with_address ? p.address : "\\N";
    if (with_address) {
      addresses += p.address + "\t255.255.0.0\t" + p.host + "\tbench\tbench\n";
      hwports += serialnb + "\t" + p.name + "\teth\t1\t" + p.mac + "\t" + p.mac +
                 "\tbench\tbench\n";
    }
    ports += std::string(PQgetvalue(ids, i, 0)) + "\t" + deviceid + "\t" + p.name +
             "\t1\t1\t1000\teth\tphy\t0\t" + address + "\tbench\tbench\tbench\n";
  }
  PQclear(ids);
  const bool ok =
      (!with_address ||
       (run(c, "begin") &&
        copy_in(c,
                "copy vexa_ipinfo (ipaddress,subnet_info,ipname,author,terminal_name) "
                "from stdin",
                addresses) &&
        copy_in(c,
                "copy vexa_hwport_properties (serialnb,port_nbr,port_type,port_way,bia,"
                "macaddress,author,terminal_name) from stdin",
                hwports))) &&
      copy_in(c,
              "copy vexa_port_properties (portid,deviceid,port_nbr,port_way,"
              "administrative_status,speed,port_type,phy,pxi_booting,ipaddress,author,"
              "user_update,terminal_name) from stdin",
              ports) &&
      (!with_address || run(c, "commit"));
  if (!ok && with_address) run(c, "rollback");
  return ok ? seconds_since(start) : -1;
}

}  // namespace bench
