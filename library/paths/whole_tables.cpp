// Whole-table loads for clients: the macroscopic links, the devices, the
// device types and the link types, the first three limited to subsystems
// (a row belongs to a subsystem when its subsystem set is divisible by the
// subsystem's prime). The library keeps no copy.
#include <cstring>

#include "diagnostics.h"
#include "ferrule.h"
#include "paths/table_load.h"
#include "reasons.h"
#include "report.h"

namespace ferrule {
namespace {

using Q = QueryColumn;

// Null flags and types read as 0: an integer array has no way to say NULL.
const TableLoad kLinks{
    "LoadConnectivityTable",
    "select t.linkid,g.deviceid,f.deviceid,"
    "concat(g.port_nbr,'|',coalesce(g.port_type,'none'),'?'),"
    "concat(f.port_nbr,'|',coalesce(f.port_type,'none'),'?'),"
    "coalesce(t.link_type,0),coalesce(t.bidirectional_link_used,0),coalesce(t.lkused,0),"
    "coalesce(t.link_info,'none')||'?' "
    "from %(macro_connectivity) t join %(port_properties) g on t.portidfrom=g.portid "
    "join %(port_properties) f on t.portidto=f.portid",
    nullptr,
    "%(macro_connectivity)",
    {Q::Int, Q::Int, Q::Int, Q::Text, Q::Text, Q::Int, Q::Int, Q::Int, Q::Text},
    '?',
    false,  // texts are never null
    "OCIFETCH third stmt unsuccessful",
    true,   // traces the row count
};

const TableLoad kDevices{
    "MatchDeviceIDDeviceName",
    "select t.deviceid,t.devicename||'|' from %(devices) t",
    "t.deviceid != -1",
    "%(devices)",
    {Q::Int, Q::Text},
    '|',
    true,  // checks indicators
    "OCIFETCH  stmt unsuccessful",
    false,
};

const TableLoad kDeviceTypes{
    "LoadDeviceTypeTable",
    "select t.devicetypeid,t.devicetype||'|' from %(device_types) t",
    nullptr,
    "%(device_types)",
    {Q::Int, Q::Text},
    '|',
    true,  // checks indicators
    "OCIFETCH third stmt unsuccessful",
    false,
};

const TableLoad kLinkTypes{
    "LoadLinkTypeTable",
    "select t.linktypeID,t.link_name||'|' from %(link_types) t",
    nullptr,
    nullptr,  // no subsystem filter
    {Q::Int, Q::Text},
    '|',
    true,  // checks indicators
    "OCIFETCH third stmt unsuccessful",
    false,
};

// Copies one output when its need passes the test against its capacity;
// the need is written back in every case. Returns whether it was copied.
bool CopyInts(const std::vector<int>& values, int* capacity, int* out, bool strict) {
  const bool fits = Fits(static_cast<long long>(values.size()), *capacity, strict);
  if (fits && !values.empty()) std::memcpy(out, values.data(), values.size() * sizeof(int));
  *capacity = NeedAsInt(values.size());
  return fits;
}

bool CopyText(const std::string& text, int* capacity, char* out, bool strict) {
  const bool fits = Fits(static_cast<long long>(text.size()), *capacity, strict);
  if (fits && !text.empty()) std::memcpy(out, text.data(), text.size());
  *capacity = NeedAsInt(text.size());
  return fits;
}

constexpr bool kStrict = true;      // the capacity must exceed the need
constexpr bool kAtMost = false;     // the capacity may equal the need

// The closing ErrMess and result of a load whose outputs were copied (all
// when copied is true).
int Finish(const char* appliName, const LoadedTable& table, bool copied, char* ErrMess) {
  if (!copied) {
    ReportFailure(appliName, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  if (table.rows == 0) {
    ReportFailure(appliName, reason::kNoRowsSelected, ErrMess);
    return 0;
  }
  ReportSuccess(appliName, ErrMess);
  return 0;
}

bool AnyNull(std::initializer_list<const void*> pointers) {
  for (const void* p : pointers)
    if (!p) return true;
  return false;
}

int Refuse(const char* appliName, char* ErrMess) {
  ReportFailure(appliName, reason::kBufferTooSmall, ErrMess);
  return -1;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int LoadConnectivityTable(const char* systemnameList, int* len_array, int* lkid,
                                     int* node_from, int* node_to, int* len_pfrom, int* len_pto,
                                     char* pfrom_buf, char* pto_buf,
                                     int* bidirectional_link_used, int* lkused, int* link_type,
                                     char* lkinfo_buf, int* len_lkinfo, char* ErrMess) {
  if (AnyNull({len_array, lkid, node_from, node_to, len_pfrom, len_pto, pfrom_buf, pto_buf,
               bidirectional_link_used, lkused, link_type, lkinfo_buf, len_lkinfo}))
    return Refuse(kLinks.appliName, ErrMess);
  LoadedTable table;
  const int result = RunTableLoad(kLinks, systemnameList, table, ErrMess);
  if (result != 0) return result;
  PrintLine("value of len_array=%d and value of i=%d", *len_array, table.rows);

  // Each output on its own: one that does not fit leaves the others copied.
  const int capacity = *len_array;
  bool copied = true;
  int* const arrays[] = {lkid, node_from, node_to, link_type, bidirectional_link_used, lkused};
  for (int i = 0; i < 6; ++i) {
    int room = capacity;
    copied &= CopyInts(table.numbers[i], &room, arrays[i], kAtMost);
    *len_array = room;
  }
  copied &= CopyText(table.texts[0], len_pfrom, pfrom_buf, kAtMost);
  copied &= CopyText(table.texts[1], len_pto, pto_buf, kAtMost);
  copied &= CopyText(table.texts[2], len_lkinfo, lkinfo_buf, kAtMost);
  return Finish(kLinks.appliName, table, copied, ErrMess);
}

extern "C" int MatchDeviceIDDeviceName(const char* systemnameList, int* len_array,
                                       int* deviceid, int* len_buf, char* devicename_buf,
                                       char* ErrMess) {
  if (AnyNull({len_array, deviceid, len_buf, devicename_buf}))
    return Refuse(kDevices.appliName, ErrMess);
  LoadedTable table;
  const int result = RunTableLoad(kDevices, systemnameList, table, ErrMess);
  if (result != 0) return result;
  bool copied = CopyInts(table.numbers[0], len_array, deviceid, kAtMost);
  copied &= CopyText(table.texts[0], len_buf, devicename_buf, kStrict);
  return Finish(kDevices.appliName, table, copied, ErrMess);
}

// The names first: when they do not fit, nothing is copied.
extern "C" int LoadDeviceTypeTable(const char* systemnameList, int* len_buf,
                                   char* devicetype_buf, int* len_array, int* devicetypeid,
                                   char* ErrMess) {
  if (AnyNull({len_buf, devicetype_buf, len_array, devicetypeid}))
    return Refuse(kDeviceTypes.appliName, ErrMess);
  LoadedTable table;
  const int result = RunTableLoad(kDeviceTypes, systemnameList, table, ErrMess);
  if (result != 0) return result;
  bool copied = CopyText(table.texts[0], len_buf, devicetype_buf, kAtMost);
  if (copied) {
    copied = CopyInts(table.numbers[0], len_array, devicetypeid, kStrict);
  } else {
    *len_array = NeedAsInt(table.numbers[0].size());
  }
  return Finish(kDeviceTypes.appliName, table, copied, ErrMess);
}

extern "C" int LoadLinkTypeTable(int* len_array, int* linktypeid, int* len_buf,
                                 char* link_name_buf, char* ErrMess) {
  if (AnyNull({len_array, linktypeid, len_buf, link_name_buf}))
    return Refuse(kLinkTypes.appliName, ErrMess);
  LoadedTable table;
  const int result = RunTableLoad(kLinkTypes, "ALL", table, ErrMess);
  if (result != 0) return result;
  bool copied = CopyInts(table.numbers[0], len_array, linktypeid, kAtMost);
  copied &= CopyText(table.texts[0], len_buf, link_name_buf, kAtMost);
  return Finish(kLinkTypes.appliName, table, copied, ErrMess);
}
