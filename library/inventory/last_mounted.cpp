// Which hardware was last in use where, read from the status history: among
// the "IN_USE" rows of an item, the one with the latest date of change. One
// text, cut at its '?'; "none" when no row matched.
#include "ferrule.h"
#include "inventory/query_steps.h"
#include "row_lookup.h"

namespace ferrule {
namespace {

const StepLabels kLastMountedSteps = InventorySteps(
    "OCIBindByPos unsuccessful", "OCIBindByPos unsuccessful", "DefineByPos1 unsuccessful");

// A failed fetch is reported, never taken for "nothing mounted". `traced`:
// the end of the rows is printed when nothing matched.
RowLookupSpec LastMounted(const char* appliName, const char* statement, bool traced) {
  RowLookupSpec spec{appliName, nullptr, statement, {TextColumn()}, "%s",
                     traced ? NoRowsForm::Hybrid : NoRowsForm::Common};
  spec.fetch_label = "Fetch unsuccessful";
  spec.failed_fetch = FailedFetch::Fails;
  spec.no_rows_text = "none";
  spec.steps = &kLastMountedSteps;
  return spec;
}

// Of two rows with the same latest date, the one written last.
const RowLookupSpec kHWLastDevice = LastMounted(
    "GetHWLastFunctionalDevice",
    "select concat(t.devicename,'?') from %(devices) t,%(device_history) p "
    "where t.deviceid=p.deviceid and p.serialnb=:snb and p.device_status='IN_USE' "
    "and p.status_change=(select max(status_change) from %(device_history) "
    "where serialnb=:snb and device_status='IN_USE') order by p.historydeviceid desc",
    true);

const RowLookupSpec kDeviceLastHW = LastMounted(
    "GetFunctionalDeviceLastHW",
    "select concat(p.serialnb,'?') from %(devices) t,%(device_history) p "
    "where t.deviceid=p.deviceid and t.devicename=:dname and device_status='IN_USE' "
    "and p.status_change=(select max(status_change) from %(device_history) "
    "where deviceid=p.deviceid and device_status='IN_USE') order by p.historydeviceid desc",
    false);

const RowLookupSpec kHWLastCpntBySerial = LastMounted(
    "GetHWLastFunctionalBoardCpntName",
    "select concat(coalesce(t.cpntname,'none'),'?') from %(lg_cpnts) t,%(cpnt_history) p,"
    "%(hw_cpnts) f where t.cpntid=p.cpntid and p.snbid=f.snbid and f.serialnb=:snb "
    "and p.cpnt_status='IN_USE' and p.status_change=(select max(status_change) "
    "from %(cpnt_history)  where snbid=p.snbid  and cpnt_status='IN_USE') "
    "order by p.historycpntid desc",
    true);

const RowLookupSpec kHWLastCpntById = LastMounted(
    "GetHWLastFunctionalBoardCpntName",
    "select concat(coalesce(t.cpntname,'none'),'?') from %(lg_cpnts) t,%(cpnt_history) p "
    "where t.cpntid=p.cpntid and p.snbid=:snb and p.cpnt_status='IN_USE' "
    "and p.status_change=(select max(status_change) from %(cpnt_history)  "
    "where snbid=p.snbid  and cpnt_status='IN_USE') order by p.historycpntid desc",
    true);

// The latest row of the position, whatever its status, must be an IN_USE
// row: a position emptied since has no last hardware.
const RowLookupSpec kCpntLastHW = LastMounted(
    "GetFunctionalBoardCpntNameLastHW",
    "select concat(coalesce(f.serialnb,'none'),'|',coalesce(f.snbid,-1),'?') "
    "from %(lg_cpnts) t,%(cpnt_history) p ,%(hw_cpnts) f where t.cpntid=p.cpntid "
    "and t.cpntname=:dname and coalesce(p.snbid,-1)=f.snbid and p.cpnt_status='IN_USE' "
    "and p.status_change=(select max(status_change) from %(cpnt_history) "
    "where cpntid=p.cpntid and p.cpnt_status='IN_USE') order by p.historycpntid desc",
    true);

constexpr const char* kSerialMissing = " serialnb MUST be given";

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetHWLastFunctionalDevice(const char* serial_nb, char* last_mounted,
                                         int* len_last_mounted, char* ErrMess) {
  return RunRowLookup(kHWLastDevice,
                      {KeyBind::Text(":snb", serial_nb, " device name MUST be given")},
                      len_last_mounted, last_mounted, ErrMess);
}

extern "C" int GetFunctionalDeviceLastHW(const char* functional_name, char* last_mounted,
                                         int* len_last_mounted, char* ErrMess) {
  return RunRowLookup(kDeviceLastHW,
                      {KeyBind::Text(":dname", functional_name, " device name MUST be given")},
                      len_last_mounted, last_mounted, ErrMess);
}

// hw_snbid -1 finds the component by hw_serialnb, any other value by
// hw_snbid; hw_serialnb must be given either way.
extern "C" int GetHWLastFunctionalBoardCpntName(const char* hw_serialnb, int hw_snbid,
                                                char* last_mounted, int* len_last_mounted,
                                                char* ErrMess) {
  if (hw_snbid == -1)
    return RunRowLookup(kHWLastCpntBySerial, {KeyBind::Text(":snb", hw_serialnb, kSerialMissing)},
                        len_last_mounted, last_mounted, ErrMess);
  return RunRowLookup(kHWLastCpntById,
                      {KeyBind::Required(hw_serialnb, kSerialMissing),
                       KeyBind::Int(":snb", hw_snbid)},
                      len_last_mounted, last_mounted, ErrMess);
}

extern "C" int GetFunctionalBoardCpntNameLastHW(const char* functional_cpntname,
                                                char* last_mounted, int* len_last_mounted,
                                                char* ErrMess) {
  return RunRowLookup(
      kCpntLastHW,
      {KeyBind::Text(":dname", functional_cpntname, " functional_cpntname MUST be given")},
      len_last_mounted, last_mounted, ErrMess);
}
