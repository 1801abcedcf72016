// Ports of hardware items that are mounted nowhere, one per call or in
// cached batches.
#include "ferrule.h"
#include "insert/batch_protocol.h"
#include "insert/cache_release.h"
#include "insert/single_row.h"
#include "reasons.h"

namespace ferrule {
namespace {

const std::vector<const char*> kSparePortTexts{":snb", ":port_nbr", ":portype", ":bia", ":mac"};
const std::vector<const char*> kSparePortValues{":portway"};

const InsertStatement kSparePortsInsert{
    "BEGIN insert into %(hwport_properties) (serialnb,port_nbr,port_way,port_type,bia,macaddress,"
    "created,author,terminal_name) "
    "values (:snb,:port_nbr,:portway,:portype,:bia,:mac,vexa_sysdate(),'%(login)','%(host)'); "
    "GET DIAGNOSTICS :numrows = %(row_count); end; ", kSparePortTexts, kSparePortValues, {}};

const InsertStatement kSparePortInsert{
    "BEGIN insert into %(hwport_properties) (serialnb,port_nbr,port_way,port_type,bia,macaddress,"
    "author,created,terminal_name) "
    "values (:snb,:port_nbr,:portway,:portype,:bia,:mac,'%(login)',vexa_sysdate(),'%(host)'); "
    "GET DIAGNOSTICS :numrows = %(row_count); end; ", kSparePortTexts, kSparePortValues, {}};

const BatchExport kBatch{kSparePortsInsert,
                         {"InsertMultipleSparePorts", reason::kNotAllInserted, true},
                         reason::kCacheProblem,
                         {}};

const SingleExport kSingle{kSparePortInsert,
                           {"InsertSparePort", reason::kRowNotInserted, false}};

RowCache& SparePortCache() {
  static RowCache cache(kSparePortsInsert.text_binds.size(),
                        kSparePortsInsert.value_binds.size());
  return cache;
}

RowValues SparePortRow(const char* serialnb, const char* port_nbr, int port_way,
                       const char* port_type, const char* bia, const char* macadd) {
  return RowValues{{serialnb, port_nbr, port_type, bia, macadd}, {port_way}};
}

}  // namespace

int FreeInsertSparePortsCache() { return SparePortCache().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertMultipleSparePorts(const char* serialnb, const char* port_nbr, int port_way,
                                        const char* port_type, const char* bia,
                                        const char* macadd, int first_time, int last_rows,
                                        char* ErrMess) {
  return AddBatchRow(kBatch, SparePortCache(),
                     SparePortRow(serialnb, port_nbr, port_way, port_type, bia, macadd),
                     first_time, last_rows, ErrMess);
}

extern "C" int InsertSparePort(const char* serialnb, const char* port_nbr, int port_way,
                               const char* port_type, const char* bia, const char* macadd,
                               int last_rows, char* ErrMess) {
  return InsertSingleRow(kSingle,
                         SparePortRow(serialnb, port_nbr, port_way, port_type, bia, macadd), true,
                         ErrMess);
}
