// Device types, one per call or in cached batches.
#include "diagnostics.h"
#include "ferrule.h"
#include "insert/batch_protocol.h"
#include "insert/cache_release.h"
#include "insert/single_row.h"
#include "reasons.h"
#include "subsystems.h"

namespace ferrule {
namespace {

const InsertStatement kDeviceTypeInsert{
    "BEGIN insert into %(device_types)(devicetypeID,devicetype,nbrofinput,nbrofoutput,"
    "description,rgbcolor,author,user_update,terminal_name,system_name) "
    "values(%(next_devicetypeid),:dtype,:din,:dout,:ddescr,:rgbcol,"
    "'%(login)','%(login)','%(host)',:sysID); "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":dtype", ":ddescr", ":rgbcol"},
    {":din", ":dout", ":sysID"},
    {}};

void TraceDeviceTypes(const RowCache& cache, const std::vector<std::vector<char>>& unpacked) {
  const StringColumnCache& lead = cache.texts.front();
  PrintLine("dtype=%s and", unpacked.front().data());
  PrintLine("value of _DeviceTypeList=%s and", lead.buffer.data());
  PrintLine("value of _max_devicetypeLength=%d and", lead.longest);
  PrintLine("value of _devicetypeNbElement=%d and", lead.count);
}

// The reasons below are those of a list that gives no subsystem set; a
// call whose list names too large a set puts the reason that says so in
// their place.
const BatchExport kBatch{
    kDeviceTypeInsert,
    {"InsertMultipleDeviceTypes", reason::kNotAllInserted, true, nullptr, TraceDeviceTypes},
    reason::kCacheProblem,
    {reason::kSystemListNull}};

const SingleExport kSingle{kDeviceTypeInsert, {"InsertDeviceType", reason::kRowNotInserted, true},
                           reason::kSystemListNull};

RowCache& DeviceTypeCache() {
  static RowCache cache(kDeviceTypeInsert.text_binds.size(), kDeviceTypeInsert.value_binds.size());
  return cache;
}

RowValues DeviceTypeRow(const StoredSet& set, const char* dtype, int nbinput, int nboutput,
                        const char* description, const char* rgbcolor) {
  return RowValues{{dtype, description, rgbcolor}, {nbinput, nboutput, set.value}, set.refused()};
}

}  // namespace

int FreeInsertDeviceTypesCache() { return DeviceTypeCache().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertMultipleDeviceTypes(const char* sysname, const char* dtype, int nbinput,
                                         int nboutput, const char* description,
                                         const char* rgbcolor, int first_time, int last_rows,
                                         char* ErrMess) {
  const StoredSet set = SystemNamesToStoredSet(sysname);
  BatchExport batch = kBatch;
  batch.check.reason = StoredSetRefusal(set, kBatch.check.reason);
  return AddBatchRow(batch, DeviceTypeCache(),
                     DeviceTypeRow(set, dtype, nbinput, nboutput, description, rgbcolor),
                     first_time, last_rows, ErrMess);
}

extern "C" int InsertDeviceType(const char* sysname, const char* dtype, int nbinput, int nboutput,
                                const char* description, const char* rgbcolor, int last_rows,
                                char* ErrMess) {
  const StoredSet set = SystemNamesToStoredSet(sysname);
  SingleExport single = kSingle;
  single.check_reason = StoredSetRefusal(set, kSingle.check_reason);
  return InsertSingleRow(single,
                         DeviceTypeRow(set, dtype, nbinput, nboutput, description, rgbcolor),
                         true, ErrMess);
}
