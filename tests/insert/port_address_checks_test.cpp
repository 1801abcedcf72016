// How a batch of ports with addresses checks each port's address: through
// the key of the address table, whatever its statistics say. A site's first
// load starts from tables emptied and vacuumed, without a page, where a
// scan of the whole table looks cheapest; the connection keeps the plan of
// its first checks for every later port, so that each port read every
// address written before it.
#include <string>

#include "insert_fixture.h"
#include "oci.h"
#include "session.h"

namespace {

// Makes the library's server process publish its statistics as soon as
// it is idle, which it is once this query is answered: until then its
// counts of scans are its own.
void PublishLibraryStatistics() {
  ferrule::Session& s = ferrule::session();
  ASSERT_TRUE(s.connected());
  OCIStmt* stmt = nullptr;
  OCIHandleAlloc(s.envhp, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  const char sql[] = "select pg_stat_force_next_flush()";
  OCIStmtPrepare(stmt, s.errhp, reinterpret_cast<const OraText*>(sql), sizeof sql - 1,
                 OCI_NTV_SYNTAX, OCI_DEFAULT);
  EXPECT_EQ(OCIStmtExecute(s.svchp, stmt, s.errhp, 0, 0, nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  OCIHandleFree(stmt, OCI_HTYPE_STMT);
}

// Sequential scans of vexa_ipinfo and the rows they read, as "scans/rows".
std::string AddressScans() {
  return testdb::value("select seq_scan || '/' || seq_tup_read from pg_stat_user_tables "
                       "where relname = 'vexa_ipinfo'");
}

}  // namespace

class PortAddressChecks : public InsertTest {};

TEST_F(PortAddressChecks, ABatchIntoEmptiedAndVacuumedTablesReadsOneAddressAPort) {
  AddDevice("sw1", "DAQ");
  for (const char* table : {"vexa_ipinfo", "vexa_hwport_properties", "vexa_port_properties"})
    testdb::exec(std::string("vacuum ") + table);
  ASSERT_EQ(testdb::value("select relpages || '/' || reltuples from pg_class "
                          "where oid = 'vexa_ipinfo'::regclass"),
            "0/0");

  const std::string before = AddressScans();
  constexpr int kPorts = 300;
  for (int i = 0; i < kPorts; ++i) {
    const std::string nbr = "p" + std::to_string(i);
    const std::string ip = "10.3." + std::to_string(i / 250) + "." + std::to_string(i % 250);
    ASSERT_EQ(InsertMultiplePorts("sw1", nbr.c_str(), 1, 1, 1000, 0, "eth", "bia", ip.c_str(),
                                  "host", "255.255.0.0", "mac", "phy", i == 0, i == kPorts - 1,
                                  err_),
              0)
        << i << ": " << Err();
  }
  PublishLibraryStatistics();
  // Before, each check scanned the table: 300 scans, reading some 45,000
  // rows for these 300 ports.
  EXPECT_EQ(AddressScans(), before);

  // The checks had addresses to find, and each port holds its own.
  EXPECT_EQ(Count("vexa_port_properties p join vexa_ipinfo i using (ipaddress)",
                  "p.port_nbr = 'p' || (split_part(i.ipaddress, '.', 3)::int * 250 + "
                  "split_part(i.ipaddress, '.', 4)::int)"),
            kPorts);
  EXPECT_EQ(Count("vexa_hwport_properties", "serialnb = 'SN-sw1' and macaddress = 'mac'"),
            kPorts);
}
