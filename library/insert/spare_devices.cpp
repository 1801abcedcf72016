// Hardware devices mounted in no functional device, one per call or in
// cached batches: each gets its hardware row with the status SPARE and the
// first row of its history.
#include "diagnostics.h"
#include "ferrule.h"
#include "insert/batch_protocol.h"
#include "insert/cache_release.h"
#include "insert/single_row.h"
#include "reasons.h"

namespace ferrule {
namespace {

// The hardware row (device_status 2, SPARE), then its 'SPARE' history row.
// :numrows counts the history rows.
const InsertStatement kSpareDeviceInsert{
    "BEGIN insert into %(hw_devices)(serialnb,hwtype,hwname,responsible,user_comments,location,"
    "device_status) values(:serialnb,:hwtype,:hwname,:responsible,:comments,:location,2);"
    "insert into %(device_history)(historydeviceID,serialnb,device_status,user_comment,location,"
    "status_change,created,author,terminal_name) "
    "values(%(next_device_historyid),:serialnb,'SPARE',:comments,:location,vexa_sysdate(),"
    "vexa_sysdate(),'%(login)','%(host)'); "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":hwname", ":serialnb", ":location", ":responsible", ":comments", ":hwtype"},
    {},
    {}};

void TraceSpareDevice(const RowCache&, const std::vector<std::vector<char>>&) {
  PrintLine("before binding ");
}

const BatchExport kBatch{kSpareDeviceInsert,
                         {"InsertMultipleSpareDevices", reason::kNotAllInserted, true},
                         reason::kCacheProblem,
                         {}};  // a null serial number goes to the database

const SingleExport kSingle{
    kSpareDeviceInsert,
    {"InsertSpareDevice", reason::kRowNotInserted, false, nullptr, TraceSpareDevice},
    "SERIAL_NB CAN'T BE NULL"};

RowCache& SpareDeviceCache() {
  static RowCache cache(kSpareDeviceInsert.text_binds.size(),
                        kSpareDeviceInsert.value_binds.size());
  return cache;
}

// The check (a serial number must be given) refuses only the single row.
RowValues SpareDeviceRow(const char* hwname, const char* hwtype, const char* serialnb,
                         const char* responsible, const char* comments, const char* location) {
  return RowValues{
      {hwname, serialnb, location, responsible, comments, hwtype}, {}, serialnb == nullptr};
}

}  // namespace

int FreeInsertSpareDevicesCache() { return SpareDeviceCache().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertMultipleSpareDevices(const char* hwname, const char* hwtype,
                                          const char* serialnb, const char* responsible,
                                          const char* comments, const char* location, int first,
                                          int last, char* ErrMess) {
  return AddBatchRow(kBatch, SpareDeviceCache(),
                     SpareDeviceRow(hwname, hwtype, serialnb, responsible, comments, location),
                     first, last, ErrMess);
}

extern "C" int InsertSpareDevice(const char* hwname, const char* hwtype, const char* serialnb,
                                 const char* responsible, const char* comments,
                                 const char* location, int last, char* ErrMess) {
  return InsertSingleRow(kSingle,
                         SpareDeviceRow(hwname, hwtype, serialnb, responsible, comments, location),
                         true, ErrMess);
}
