// Ports of functional devices, one per call or in cached batches. A port
// with an address also records the address through the server package and
// the port of the hardware item mounted in the device.
#include "ferrule.h"
#include "insert/batch_protocol.h"
#include "insert/cache_release.h"
#include "insert/port_rules.h"
#include "insert/single_row.h"
#include "reasons.h"

namespace ferrule {
namespace {

// Without an address: the port row alone (1 row). With one: the address,
// then the hardware port and the port row (2 rows), which the server writes
// (insertAddressedPort, which says why). Nothing when no device has the
// name. :numrows counts the rows inserted.
const InsertStatement kPortInsert{
    "BEGIN "
    "IF strpos(:ipadd,'none')=0 THEN "
    ":rescode := %(insert_ip_address)(:ipadd,:ipname,:subnet,'%(login)','%(host)'); END IF; "
    "IF strpos(:ipadd,'none')>0 THEN "
    "insert into %(port_properties) (portid,deviceid,port_nbr,port_way,administrative_status,"
    "speed,port_type,phy,pxi_booting,ipaddress,author,user_update,terminal_name) "
    "select %(next_portid),deviceid,:port_nbr,:portway,:adminstatus,:speed,:portype,:phy,:pxi,"
    "NULL,'%(login)','%(login)','%(host)' from %(devices) where devicename=:dname; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    "ELSE "
    ":numrows := %(insert_addressed_port)(:dname,:port_nbr,:portway,:portype,:adminstatus,"
    ":speed,:phy,:pxi,:bia,:mac,:ipadd,'%(login)','%(host)'); "
    "END IF; END;",
    {":dname", ":port_nbr", ":portype", ":bia", ":ipadd", ":ipname", ":subnet", ":mac", ":phy"},
    {":adminstatus", ":portway", ":speed", ":pxi"},
    {":rescode"}};

const BatchExport kBatch{kPortInsert,
                         {"InsertMultiplePorts", reason::kNotAllInserted, true},
                         reason::kCacheProblem,
                         {}};

// A port of a missing device is refused with the address its block recorded
// first: the single insert undoes both.
const SingleExport kSingle{kPortInsert, {"InsertPort", reason::kRowNotInserted, false}};

RowCache& PortCache() {
  static RowCache cache(kPortInsert.text_binds.size(), kPortInsert.value_binds.size());
  return cache;
}

// The address text after the IP rule lives as long as the call.
RowValues PortRow(const char* dname, const char* port_nbr, int administrative_status,
                  int port_way, int speed, int pxi_booting, const char* port_type,
                  const char* bia, const std::string& ipadd, const char* ipname,
                  const char* subnet, const char* macadd, const char* phy) {
  return RowValues{
      {dname, port_nbr, port_type, bia, ipadd.c_str(), ipname, subnet, macadd, phy},
      {administrative_status, port_way, speed, pxi_booting}};
}

}  // namespace

int FreeInsertPortsCache() { return PortCache().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertMultiplePorts(const char* dname, const char* port_nbr,
                                   int administrative_status, int port_way, int speed,
                                   int pxi_booting, const char* port_type, const char* bia,
                                   const char* ipadd, const char* ipname, const char* subnet,
                                   const char* macadd, const char* phy, int first_time,
                                   int last_rows, char* ErrMess) {
  const std::string address = ApplyIpRule(ipadd);
  return AddBatchRow(kBatch, PortCache(),
                     PortRow(dname, port_nbr, administrative_status, port_way, speed, pxi_booting,
                             port_type, bia, address, ipname, subnet, macadd, phy),
                     first_time, last_rows, ErrMess);
}

extern "C" int InsertPort(const char* dname, const char* port_nbr, int administrative_status,
                          int port_way, int speed, int pxi_booting, const char* port_type,
                          const char* bia, const char* ipadd, const char* ipname,
                          const char* subnet, const char* macadd, const char* phy, int last_rows,
                          char* ErrMess) {
  const std::string address = ApplyIpRule(ipadd);
  return InsertSingleRow(kSingle,
                         PortRow(dname, port_nbr, administrative_status, port_way, speed,
                                 pxi_booting, port_type, bia, address, ipname, subnet, macadd,
                                 phy),
                         true, ErrMess);
}
