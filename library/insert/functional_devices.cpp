// Functional devices with their hardware item and first history row, one per
// call or in cached batches.
#include "ferrule.h"
#include "insert/batch_protocol.h"
#include "insert/cache_release.h"
#include "insert/single_row.h"
#include "reasons.h"
#include "subsystems.h"

namespace ferrule {
namespace {

// The hardware row (device_status 1, IN_USE), then the device row when its type exists, then the first
// history row of that new device. The history row is written only for the
// device row this block wrote: an existing device of the same name never
// gets a history row from a call that inserted no device. :numrows counts
// the history rows.
const InsertStatement kFunctionalDeviceInsert{
    "DECLARE devices integer; BEGIN "
    "insert into %(hw_devices)(serialnb,hwtype,responsible,user_comments,device_status) "
    "values(:serialnb,:hwtype,:responsible,:comments,1); "
    "insert into %(devices)(devicename,devicetypeID,node,deviceid,promiscuous_mode,system_name,"
    "serialnb,location,author,user_update,terminal_name,nodeused) "
    "select :dname,devicetypeID,:dnode,%(next_deviceid),:dpromiscuous_mode,:sysID,:serialnb,"
    ":location,'%(login)','%(login)','%(host)',1 from %(device_types) where devicetype=:dtype; "
    "GET DIAGNOSTICS devices = %(row_count); "
    ":numrows := 0; "
    "IF devices > 0 THEN "
    "insert into %(device_history)(historydeviceID,serialnb,deviceid,device_status,user_comment,"
    "location,status_change,system_name,created,author,terminal_name) "
    "select %(next_device_historyid),:serialnb,deviceid,'IN_USE',:comments,:location,created,"
    ":sysID,vexa_sysdate(),'%(login)','%(host)' from %(devices) "
    "where devicename=:dname and deviceid=%(current_deviceid); "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    "END IF; END;",
    {":dname", ":dtype", ":serialnb", ":hwtype", ":responsible", ":comments", ":location"},
    {":dnode", ":dpromiscuous_mode", ":sysID"},
    {}};

// The reasons below are those of a list that gives no subsystem set; a
// call whose list names too large a set puts the reason that says so in
// their place.
const BatchExport kBatch{
    kFunctionalDeviceInsert,
    {"InsertMultipleFunctionalDevices", reason::kNotAllInserted, true},
    reason::kCacheProblem,
    {reason::kSystemListNull}};

// A device whose type is unknown is refused with its hardware row: the
// single insert undoes what its block wrote.
const SingleExport kSingle{kFunctionalDeviceInsert,
                           {"InsertFunctionalDevice", reason::kRowNotInserted, false},
                           reason::kSystemListNull};

RowCache& FunctionalDeviceCache() {
  static RowCache cache(kFunctionalDeviceInsert.text_binds.size(),
                        kFunctionalDeviceInsert.value_binds.size());
  return cache;
}

RowValues FunctionalDeviceRow(const StoredSet& set, const char* dname, const char* dtype, int node,
                              int promiscuous_mode, const char* serialnb, const char* hwtype,
                              const char* responsible, const char* comments,
                              const char* location) {
  return RowValues{{dname, dtype, serialnb, hwtype, responsible, comments, location},
                   {node, promiscuous_mode, set.value},
                   set.refused()};
}

}  // namespace

int FreeInsertFunctionalDevicesCache() { return FunctionalDeviceCache().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertMultipleFunctionalDevices(const char* sysname, const char* dname,
                                               const char* dtype, int node, int promiscuous_mode,
                                               const char* serialnb, const char* hwtype,
                                               const char* responsible, const char* comments,
                                               const char* location, int first_time,
                                               int last_rows, char* ErrMess) {
  const StoredSet set = SystemNamesToStoredSet(sysname);
  BatchExport batch = kBatch;
  batch.check.reason = StoredSetRefusal(set, kBatch.check.reason);
  return AddBatchRow(batch, FunctionalDeviceCache(),
                     FunctionalDeviceRow(set, dname, dtype, node, promiscuous_mode, serialnb,
                                         hwtype, responsible, comments, location),
                     first_time, last_rows, ErrMess);
}

extern "C" int InsertFunctionalDevice(const char* sysname, const char* dname, const char* dtype,
                                      int node, int promiscuous_mode, const char* serialnb,
                                      const char* hwtype, const char* responsible,
                                      const char* comments, const char* location, int last_rows,
                                      char* ErrMess) {
  const StoredSet set = SystemNamesToStoredSet(sysname);
  SingleExport single = kSingle;
  single.check_reason = StoredSetRefusal(set, kSingle.check_reason);
  return InsertSingleRow(single,
                         FunctionalDeviceRow(set, dname, dtype, node, promiscuous_mode,
                                             serialnb, hwtype, responsible, comments, location),
                         true, ErrMess);
}
