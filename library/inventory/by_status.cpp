// The items in one status now: functional devices without hardware or with
// hardware in use, hardware devices and hardware components, read from the
// current status codes. Device lists are limited to the devices that belong
// to every subsystem named.
#include <cstring>
#include <vector>

#include "ferrule.h"
#include "inventory/item_words.h"
#include "inventory/query_steps.h"
#include "list_lookup.h"
#include "reasons.h"
#include "report.h"
#include "subsystems.h"

namespace ferrule {
namespace {

constexpr int kInUse = 1;
constexpr int kNone = 7;

// No text can match two of these words.
const std::vector<StatusPrefix> kListWords{
    {"DESTROYED", 9, 6}, {"IN_REPAIR", 6, 5}, {"SPARE", 5, 2}, {"EXT_TEST", 8, 4},
    {"TEST", 4, 3},      {"IN_USE", 6, kInUse}, {"NONE", 4, kNone}};

const StepLabels kByStatusSteps = InventorySteps(
    "OCIBindByName unsuccessful", "OCIBindByName unsuccessful", "Execute unsuccessful");

// Rows come from the server 8000 at a time. A fetch that fails ends the
// call with its failure: an incomplete list is never given as a whole one.
ListLookupSpec ByStatus(const char* appliName, const char* statement) {
  return {appliName,
          statement,
          '?',
          {NoRowsForm::Common, "OCIFETCH unsuccessful", FailedFetch::Fails},
          RowsTaken::Any,
          8000,
          &kByStatusSteps};
}

const ListLookupSpec kDevicesWithoutHardware = ByStatus(
    "GetFunctionalDeviceByStatus",
    "select concat(devicename,'?') from %(devices)  where serialnb is null "
    "and mod(system_name,:sysid)=0 and deviceid <> -1 and system_name is not null "
    "order by devicename");
const ListLookupSpec kDevicesWithHardwareInUse = ByStatus(
    "GetFunctionalDeviceByStatus",
    "select concat(t.devicename,'?') from %(devices) t,%(hw_devices) d  "
    "where t.serialnb=d.serialnb and d.device_status=1 and mod(t.system_name,:sysid)=0 "
    "and t.deviceid <> -1 and t.system_name is not null order by t.devicename");
const ListLookupSpec kHardwareInUse = ByStatus(
    "GetHWDeviceByStatus",
    "select concat(t.serialnb,'?') from %(hw_devices) t,%(devices) h "
    "where t.device_status=:dstatus and t.serialnb=h.serialnb and mod(h.system_name,:sysid)=0 "
    "order by t.serialnb");
const ListLookupSpec kHardwareInStatus = ByStatus(
    "GetHWDeviceByStatus",
    "select concat(serialnb,'?') from %(hw_devices)  where device_status=:dstatus "
    "order by serialnb");
const ListLookupSpec kComponentsInStatus = ByStatus(
    "GetHWBoardCpntByStatus",
    "select concat(coalesce(serialnb,'none'),'|',snbid,'?') from %(hw_cpnts)  "
    "where cpnt_status=:dstatus order by snbid");

// A list missing or with an empty name: the same refusal, no list to read.
constexpr const char* kNoSystemName = " system name MUSTNOT BE NULL";

// "all..." is every subsystem (1 divides every set); otherwise the product
// of the named subsystems' primes. An unknown first name gives -1, which
// divides every set as well. A product beyond an int is refused: it would
// read as -1 and select every device, where none belongs to all of them.
// So is a list with an empty name, which -1 would read as every subsystem.
bool SubsystemValue(const char* appliName, const char* names, int& value, char* ErrMess) {
  if (std::strncmp(names, "all", 3) == 0) {
    value = 1;
    return true;
  }
  const SelectedSet set = SystemNamesToSelectedSet(names);
  if (set.empty_name) {
    ReportFailure(appliName, kNoSystemName, ErrMess);
    return false;
  }
  if (set.too_large) {
    ReportFailure(appliName, reason::kSubsystemSetTooLarge, ErrMess);
    return false;
  }
  value = set.value;
  return true;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

// device_status: "NONE" (no hardware mounted) or "IN_USE".
extern "C" int GetFunctionalDeviceByStatus(const char* system_name, const char* device_status,
                                           int* len_status_list, char* status_list,
                                           char* ErrMess) {
  const char* appliName = kDevicesWithoutHardware.appliName;
  if (!system_name) {
    ReportFailure(appliName, kNoSystemName, ErrMess);
    return -1;
  }
  const int code = StatusCodeOf(device_status, kListWords);
  if (code != kNone && code != kInUse) {
    ReportFailure(appliName, reason::kInvalidStatusBlank, ErrMess);
    return -1;
  }
  int sysid = 0;
  if (!SubsystemValue(appliName, system_name, sysid, ErrMess)) return -1;
  return RunListLookup(code == kNone ? kDevicesWithoutHardware : kDevicesWithHardwareInUse,
                       {KeyBind::Int(":sysid", sysid)}, len_status_list, status_list, ErrMess);
}

// For "IN_USE" only the hardware mounted in devices of the subsystems;
// other statuses ignore the subsystems.
extern "C" int GetHWDeviceByStatus(const char* systemname, const char* device_status,
                                   int* len_status_list, char* status_list, char* ErrMess) {
  const char* appliName = kHardwareInStatus.appliName;
  const int code = StatusCodeOf(device_status, kListWords);
  if (code == 0 || code == kNone) {
    ReportFailure(appliName, reason::kInvalidStatus, ErrMess);
    return -1;
  }
  if (!systemname) {
    ReportFailure(appliName, kNoSystemName, ErrMess);
    return -1;
  }
  std::vector<KeyBind> keys{KeyBind::Int(":dstatus", code)};
  if (code == kInUse) {
    int sysid = 0;
    if (!SubsystemValue(appliName, systemname, sysid, ErrMess)) return -1;
    keys.push_back(KeyBind::Int(":sysid", sysid));
  }
  return RunListLookup(code == kInUse ? kHardwareInUse : kHardwareInStatus, keys,
                       len_status_list, status_list, ErrMess);
}

extern "C" int GetHWBoardCpntByStatus(const char* cpnt_status, char* status_list,
                                      int* len_status_list, char* ErrMess) {
  const char* appliName = kComponentsInStatus.appliName;
  const int code = StatusCodeOf(cpnt_status, kListWords);
  if (code == 0 || code == kNone) {
    ReportFailure(appliName, reason::kInvalidStatus, ErrMess);
    return -1;
  }
  return RunListLookup(kComponentsInStatus, {KeyBind::Int(":dstatus", code)}, len_status_list,
                       status_list, ErrMess);
}
