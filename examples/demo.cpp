// Example client: connects to the database named by FERRULE_SERVER,
// FERRULE_USER and FERRULE_PASSWORD, sets up a small data set, reads a
// device type and two devices back as rows, and disconnects.
#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ferrule.h"

namespace {

// The data set goes in through plain SQL, since the library reads here.
bool setup_data(const std::string& server, const char* user, const char* password) {
  std::string host = server, port = "5432", db = "postgres";
  if (auto slash = host.find('/'); slash != std::string::npos) {
    db = host.substr(slash + 1);
    host.resize(slash);
  }
  if (auto colon = host.find(':'); colon != std::string::npos) {
    port = host.substr(colon + 1);
    host.resize(colon);
  }
  std::string conninfo = "host=" + host + " port=" + port + " dbname=" + db + " user=" + user +
                         " password=" + password;
  PGconn* conn = PQconnectdb(conninfo.c_str());
  if (PQstatus(conn) != CONNECTION_OK) {
    std::fprintf(stderr, "setup: %s", PQerrorMessage(conn));
    PQfinish(conn);
    return false;
  }
  const char* sql =
      "select ferrule_reset();"
      "insert into vexa_subsystemList(system_name, systemID) values ('DAQ',2),('TFC',3);"
      "insert into vexa_lg_device_types(devicetypeID, devicetype, nbrofinput, nbrofoutput, "
      "  description, rgbcolor, system_name) values (1, 'SWITCH', 48, 48, 'core switch', null, 6);"
      "insert into vexa_hw_devices(serialnb, hwtype, device_status) values ('SN-0001', 'switch', 1);"
      "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, "
      "  active, nodeused, system_name, serialnb, location) values "
      "  ('core_sw01', 1, 1, 1, 0, 1, 1, 6, 'SN-0001', 'rack A1'),"
      "  ('core_sw02', 1, 2, 1, 0, 1, 1, 2, null, null);";
  PGresult* res = PQexec(conn, sql);
  bool ok = PQresultStatus(res) == PGRES_TUPLES_OK || PQresultStatus(res) == PGRES_COMMAND_OK;
  if (!ok) std::fprintf(stderr, "setup: %s", PQerrorMessage(conn));
  PQclear(res);
  PQfinish(conn);
  return ok;
}

void show(const char* what, int rc, const char* row, const char* err) {
  std::printf("%s -> %d\n  %s\n  %s\n", what, rc, row, err);
}

}  // namespace

int main() {
  const char* server = std::getenv("FERRULE_SERVER");
  const char* user = std::getenv("FERRULE_USER");
  const char* password = std::getenv("FERRULE_PASSWORD");
  if (!server || !user || !password) {
    std::fprintf(stderr, "set FERRULE_SERVER, FERRULE_USER and FERRULE_PASSWORD "
                         "(eval \"$(scripts/db env)\")\n");
    return 2;
  }
  if (!setup_data(server, user, password)) return 1;

  char err[400];
  if (DBConnexion(server, user, password, err) != 0) {
    std::printf("%s\n", err);
    return 1;
  }
  std::printf("%s\n", err);

  char row[1000];
  int len = sizeof row;
  int rc = GetDeviceTypeRow("SWITCH", &len, row, err);
  show("GetDeviceTypeRow(SWITCH)", rc, row, err);
  len = sizeof row;
  rc = GetDeviceRow_devicename("core_sw01", &len, row, err);
  show("GetDeviceRow_devicename(core_sw01)", rc, row, err);
  len = sizeof row;
  rc = GetDeviceRow_devid(2, &len, row, err);
  show("GetDeviceRow_devid(2)", rc, row, err);

  int failures = rc != 0;
  rc = DBDeconnexion(err);
  std::printf("%s\n", err);
  return failures || rc != 0;
}
