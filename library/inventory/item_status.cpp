// The status word of a functional item or of a hardware item: one query
// yields a hardware status code, and the caller's buffer receives its word.
#include "ferrule.h"
#include "inventory/item_words.h"
#include "report.h"
#include "value_lookup.h"

namespace ferrule {
namespace {

const StepLabels kStatusSteps{
    "OCIBindByPos unsuccessful",  // bind (one key)
    "OCIBindByPos unsuccessful",  // last bind
    "OCIAttrSet unsuccessful",    // prefetch (none is set)
    "Execute unsuccessful",       // execute
    nullptr,                      // describe (an integer column is not described)
    nullptr,                      // column size
    "DefineByPos1 unsuccessful",  // define
};

// No row is traced and answered "NO_ROWS_SELECTED" with 0; any other failed
// fetch (a null status, say) is a failure, not "no row".
const NoRows kNoStatus{NoRowsForm::Hybrid, "Fetch unsuccessful", FailedFetch::Fails};

IdValueSpec StatusQuery(const char* appliName, const char* statement) {
  return {appliName, statement, kNoStatus, false, &kStatusSteps};
}

// 7 (NONE) when the device has no hardware. The join is an outer one, so
// that the answer does not depend on other hardware rows existing.
const IdValueSpec kFunctionalDevice = StatusQuery(
    "GetFunctionalDeviceStatus",
    "select CASE coalesce(t.serialnb,'none') WHEN 'none' THEN 7 ELSE g.device_status END "
    "from %(devices) t left join %(hw_devices) g on g.serialnb=t.serialnb "
    "where t.devicename=:dname");

const IdValueSpec kHWDevice =
    StatusQuery("GetHWDeviceStatus", "select device_status from %(hw_devices)  where serialnb=:snb ");

// A component without hardware meets the hardware row -1, whose status is
// null: 7 (NONE).
const IdValueSpec kFunctionalBoardCpnt = StatusQuery(
    "GetFunctionalBoardCpntStatus",
    "select CASE coalesce(g.cpnt_status,-1) WHEN -1 THEN 7 ELSE g.cpnt_status END "
    "from %(lg_cpnts) t,%(hw_cpnts) g where t.cpntname=:dname and coalesce(t.snbid,-1)=g.snbid ");

const IdValueSpec kHWBoardCpntBySerial = StatusQuery(
    "GetHWBoardCpntStatus", "select cpnt_status from %(hw_cpnts)  where serialnb=:snb ");
const IdValueSpec kHWBoardCpntById =
    StatusQuery("GetHWBoardCpntStatus", "select cpnt_status from %(hw_cpnts)  where snbid=:snb ");

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetFunctionalDeviceStatus(const char* dname, char* status_out, char* ErrMess) {
  return RunStatusWordLookup(kFunctionalDevice,
                             {KeyBind::Text(":dname", dname, " device name MUST be given")},
                             status_out, ErrMess);
}

extern "C" int GetHWDeviceStatus(const char* serialnb, char* status_out, char* ErrMess) {
  return RunStatusWordLookup(kHWDevice,
                             {KeyBind::Text(":snb", serialnb, " device name MUST be given")},
                             status_out, ErrMess);
}

extern "C" int GetFunctionalBoardCpntStatus(const char* cpntname, char* status_out,
                                            char* ErrMess) {
  return RunStatusWordLookup(kFunctionalBoardCpnt,
                             {KeyBind::Text(":dname", cpntname, " cpnt name MUST be given")},
                             status_out, ErrMess);
}

// By serial number when one is given, otherwise by snbid.
extern "C" int GetHWBoardCpntStatus(const char* serialnb, int snbid, char* status_out,
                                    char* ErrMess) {
  if (!serialnb && snbid < 1) {
    ReportFailure(kHWBoardCpntById.appliName, " serialnb or snbid MUST be given", ErrMess);
    return -1;
  }
  if (!NotGiven(serialnb))
    return RunStatusWordLookup(kHWBoardCpntBySerial, {KeyBind::Text(":snb", serialnb, nullptr)},
                               status_out, ErrMess);
  return RunStatusWordLookup(kHWBoardCpntById, {KeyBind::Int(":snb", snbid)}, status_out,
                             ErrMess);
}
