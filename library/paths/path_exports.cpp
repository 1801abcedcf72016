// The four path query exports: each runs the search between devices under
// its own name, with "ALL" as the subsystem list, and differs from the
// others in the order of its arguments and in whether the target may be a
// device type.
#include <climits>
#include <cstring>

#include "ferrule.h"
#include "paths/find_paths.h"
#include "reasons.h"
#include "report.h"

using namespace ferrule;

extern "C" int GetConnectivityBetweenDevices(const char* dfrom, const char* dto, int* len_array,
                                             int* len_pfrom, int* len_nfrom, int* len_pto,
                                             int* len_nto, int* len_lkinfo, char* nfrom_buf,
                                             char* nto_buf, char* pfrom_buf, int* way_a,
                                             char* pto_buf, int* way_b, int* pathid,
                                             int* link_pos, char* lkinfo_buf, char* ErrMess) {
  return FindPathsBetweenDevices(
      "GetConnectivityBetweenDevices", "ALL", dfrom, dto, 0,
      {len_array, len_pfrom, len_nfrom, len_pto, len_nto, len_lkinfo, nfrom_buf, nto_buf,
       pfrom_buf, way_a, pto_buf, way_b, pathid, link_pos, lkinfo_buf},
      ErrMess);
}

extern "C" int GetDetailedConnectivityBetweenDevices(
    const char* dfrom, const char* dto, char* nfrom_buf, int* len_array, int* len_nfrom,
    int* len_pfrom, int* len_nto, int* len_pto, int* len_lkinfo, char* pfrom_buf, char* pto_buf,
    int* way_a, int* way_b, char* nto_buf, int* pathid, int* link_pos, char* lkinfo_buf,
    char* ErrMess) {
  return FindPathsBetweenDevices(
      "GetDetailedConnectivityBetweenDevices", "ALL", dfrom, dto, 0,
      {len_array, len_pfrom, len_nfrom, len_pto, len_nto, len_lkinfo, nfrom_buf, nto_buf,
       pfrom_buf, way_a, pto_buf, way_b, pathid, link_pos, lkinfo_buf},
      ErrMess);
}

extern "C" int GetDetailedConnBetweenDeviceDevType(
    const char* dfrom, const char* dto, int dto_typegiven, char* nfrom_buf, char* pfrom_buf,
    char* pto_buf, int* len_array, int* len_nfrom, int* len_pfrom, int* len_nto, int* len_pto,
    int* len_lkinfo, int* way_a, int* way_b, char* nto_buf, int* pathid, int* link_pos,
    char* lkinfo_buf, char* ErrMess) {
  return FindPathsBetweenDevices(
      "GetDetailedConnBetweenDeviceDevType", "ALL", dfrom, dto, dto_typegiven,
      {len_array, len_pfrom, len_nfrom, len_pto, len_nto, len_lkinfo, nfrom_buf, nto_buf,
       pfrom_buf, way_a, pto_buf, way_b, pathid, link_pos, lkinfo_buf},
      ErrMess);
}

// Only the from-port texts. The search runs on storage of its own, without
// a limit on the number of links, and the one output is compared with the
// caller's capacity, which may equal the need.
extern "C" int GetConnOutBetweenDeviceDeviceType(const char* dfrom, const char* dto,
                                                 int devtype_given, int* len, char* pfrom_out,
                                                 char* ErrMess) {
  const char* appliName = "GetConnOutBetweenDeviceDeviceType";
  if (!len || !pfrom_out) {
    ReportFailure(appliName, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  PathEntries entries;
  if (SearchBetweenDevices(appliName, "ALL", dfrom, dto, devtype_given, entries, ErrMess) != 0)
    return -1;
  if (entries.paths == 0) {
    ReportFailure(appliName, reason::kNoRowsSelected, ErrMess);
    return -1;
  }
  const std::size_t need = entries.pfrom.size();
  if (need > static_cast<std::size_t>(INT_MAX) || static_cast<long long>(need) > *len) {
    *len = need > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(need);
    ReportFailure(appliName, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  std::memcpy(pfrom_out, entries.pfrom.data(), need);
  *len = static_cast<int>(need);
  ReportSuccess(appliName, ErrMess);
  return 0;
}
