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

RowValues DeviceTypeRow(const char* sysname, const char* dtype, int nbinput, int nboutput,
                        const char* description, const char* rgbcolor) {
  const int sysID = SystemNamesToStoredSysID(sysname);
  return RowValues{{dtype, description, rgbcolor}, {nbinput, nboutput, sysID}, sysID == -1};
}

}  // namespace

int FreeInsertDeviceTypesCache() { return DeviceTypeCache().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertMultipleDeviceTypes(const char* sysname, const char* dtype, int nbinput,
                                         int nboutput, const char* description,
                                         const char* rgbcolor, int first_time, int last_rows,
                                         char* ErrMess) {
  return AddBatchRow(kBatch, DeviceTypeCache(),
                     DeviceTypeRow(sysname, dtype, nbinput, nboutput, description, rgbcolor),
                     first_time, last_rows, ErrMess);
}

extern "C" int InsertDeviceType(const char* sysname, const char* dtype, int nbinput, int nboutput,
                                const char* description, const char* rgbcolor, int last_rows,
                                char* ErrMess) {
  return InsertSingleRow(kSingle,
                         DeviceTypeRow(sysname, dtype, nbinput, nboutput, description, rgbcolor),
                         true, ErrMess);
}
