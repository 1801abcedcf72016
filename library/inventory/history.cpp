// The status history of a functional device, a hardware device, a board
// component position or a hardware component, oldest change first, between
// two optional date texts. Each row is one item: the names, the status word,
// the date text and the location joined by '|'.
#include <string>

#include "ferrule.h"
#include "inventory/query_steps.h"
#include "list_lookup.h"

namespace ferrule {
namespace {

// A bind that another follows prints as the prepare; the last as the bind.
const StepLabels kHistorySteps = InventorySteps(
    "OCIStmtPrepare unsuccessful", "OCIBindByName unsuccessful", "Execute unsuccessful");

// Rows come from the server 8000 at a time. A fetch that fails ends the
// call with its failure: an incomplete history is never given as a whole
// one. `traced`: an empty history prints the end of the rows.
ListLookupSpec History(const char* appliName, const char* statement, bool traced) {
  return {appliName,
          statement,
          '?',
          {traced ? NoRowsForm::Hybrid : NoRowsForm::Common, "OCIFETCH unsuccessful",
           FailedFetch::Fails},
          RowsTaken::Any,
          8000,
          &kHistorySteps,
          "to_char(p.status_change,'%(date_format)')"};
}

// Changes of the same date come in the order they were written.
const ListLookupSpec kFunctionalDevice = History(
    "GetHistoryOfFunctionalDevice",
    "select concat(t.devicename,'|',coalesce(p.serialnb,'none'),'|',p.device_status,'|',"
    "to_char(p.status_change,'%(date_format)'),'|',coalesce(p.location,'none'),'?') "
    "from %(devices) t,%(device_history) p "
    "where t.deviceid=p.deviceid and t.devicename=:dname%(date_bounds)"
    " order by p.status_change,p.historydeviceid",
    false);

// Rows of spare hardware have no device: they meet the device -1.
const ListLookupSpec kHWDevice = History(
    "GetHistoryOfHWDevice",
    "select concat(t.devicename,'|',coalesce(p.serialnb,'none'),'|',p.device_status,'|',"
    "to_char(p.status_change,'%(date_format)'),'|',coalesce(p.location,'none'),'?') "
    "from %(devices) t,%(device_history) p "
    "where t.deviceid=coalesce(p.deviceid,-1) and p.serialnb=:dname%(date_bounds)"
    " order by p.status_change,p.historydeviceid",
    false);

// Rows of a position without hardware meet the hardware component -1.
const ListLookupSpec kFunctionalBoardCpnt = History(
    "GetHistoryOfFunctionalBoardCpntName",
    "select concat(t.cpntname,'|',coalesce(f.serialnb,'none'),'|',f.snbid,'|',p.cpnt_status,'|',"
    "to_char(p.status_change,'%(date_format)'),'|',coalesce(p.location,'none'),'?') "
    "from %(lg_cpnts) t,%(cpnt_history) p,%(hw_cpnts) f "
    "where t.cpntid=p.cpntid and t.cpntname=:dname and f.snbid=coalesce(p.snbid,-1)%(date_bounds)"
    " order by p.status_change,p.historycpntid",
    true);

// The history of a hardware component that `key` finds by :dname. Rows of
// a component in no position meet the position -1, "motherboard", shown as
// "none".
std::string HWBoardCpntHistory(const char* key) {
  return std::string(
             "select concat(CASE t.cpntname WHEN 'motherboard' THEN 'none' ELSE t.cpntname END,"
             "'|',coalesce(f.serialnb,'none'),'|',f.snbid,'|',p.cpnt_status,'|',"
             "to_char(p.status_change,'%(date_format)'),'|',coalesce(p.location,'none'),'?') "
             "from %(lg_cpnts) t,%(cpnt_history) p,%(hw_cpnts) f "
             "where t.cpntid=coalesce(p.cpntid,-1) and ") +
         key + " and f.snbid=p.snbid%(date_bounds) order by p.status_change,p.historycpntid";
}

const std::string kHWBoardCpntBySerialText = HWBoardCpntHistory("f.serialnb=:dname");
const std::string kHWBoardCpntByIdText = HWBoardCpntHistory("f.snbid=:dname");
const ListLookupSpec kHWBoardCpntBySerial =
    History("GetHistoryOfHWBoardCpnt", kHWBoardCpntBySerialText.c_str(), true);
const ListLookupSpec kHWBoardCpntById =
    History("GetHistoryOfHWBoardCpnt", kHWBoardCpntByIdText.c_str(), true);

constexpr const char* kNameMissing = " device name MUST be given";

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetHistoryOfFunctionalDevice(const char* functional_name, char* history,
                                            int* len_history, const char* min_date,
                                            const char* max_date, char* ErrMess) {
  return RunDatedListLookup(kFunctionalDevice,
                            {KeyBind::Text(":dname", functional_name, kNameMissing)},
                            {min_date, max_date}, len_history, history, ErrMess);
}

extern "C" int GetHistoryOfHWDevice(const char* serial_nb, char* history, int* len_history,
                                    const char* min_date, const char* max_date, char* ErrMess) {
  return RunDatedListLookup(kHWDevice, {KeyBind::Text(":dname", serial_nb, kNameMissing)},
                            {min_date, max_date}, len_history, history, ErrMess);
}

extern "C" int GetHistoryOfFunctionalBoardCpntName(const char* functional_cpntname,
                                                   char* history, int* len_history,
                                                   const char* min_date, const char* max_date,
                                                   char* ErrMess) {
  return RunDatedListLookup(kFunctionalBoardCpnt,
                            {KeyBind::Text(":dname", functional_cpntname, kNameMissing)},
                            {min_date, max_date}, len_history, history, ErrMess);
}

// snbid -1 finds the component by serial_nb, any other value by snbid;
// serial_nb must be given either way.
extern "C" int GetHistoryOfHWBoardCpnt(const char* serial_nb, int snbid, char* history,
                                       int* len_history, const char* min_date,
                                       const char* max_date, char* ErrMess) {
  if (snbid == -1)
    return RunDatedListLookup(kHWBoardCpntBySerial,
                              {KeyBind::Text(":dname", serial_nb, kNameMissing)},
                              {min_date, max_date}, len_history, history, ErrMess);
  return RunDatedListLookup(kHWBoardCpntById,
                            {KeyBind::Required(serial_nb, kNameMissing),
                             KeyBind::Int(":dname", snbid)},
                            {min_date, max_date}, len_history, history, ErrMess);
}
