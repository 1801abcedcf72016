// The status history of a functional device, a hardware device, a board
// component position or a hardware component, oldest change first, between
// two optional date texts. Each row is one item: the names, the status word,
// the date text and the location joined by '|'.
#include <string>
#include <vector>

#include "ferrule.h"
#include "inventory/packed_list.h"
#include "report.h"
#include "statement_text.h"

namespace ferrule {
namespace {

enum class HistoryKey { Text, Snbid };

struct HistoryQuery {
  const char* appliName;
  const char* select;     // template: select list, tables and joins
  const char* key;        // the condition on :dname
  HistoryKey key_kind;    // :dname bound as the name or as the snbid
  const char* order;      // changes of the same date in the order they were written
  bool reports_end_of_rows;
};

constexpr const char* kDeviceHistorySelect =
    "select concat(t.devicename,'|',coalesce(p.serialnb,'none'),'|',p.device_status,'|',"
    "to_char(p.status_change,'%(date_format)'),'|',coalesce(p.location,'none'),'?') "
    "from %(devices) t,%(device_history) p ";

const HistoryQuery kFunctionalDevice{"GetHistoryOfFunctionalDevice",
                                     kDeviceHistorySelect,
                                     "where t.deviceid=p.deviceid and t.devicename=:dname",
                                     HistoryKey::Text,
                                     " order by p.status_change,p.historydeviceid",
                                     false};

// Rows of spare hardware have no device: they meet the device -1.
const HistoryQuery kHWDevice{"GetHistoryOfHWDevice",
                             kDeviceHistorySelect,
                             "where t.deviceid=coalesce(p.deviceid,-1) and p.serialnb=:dname",
                             HistoryKey::Text,
                             " order by p.status_change,p.historydeviceid",
                             false};

// Rows of a position without hardware meet the hardware component -1.
const HistoryQuery kFunctionalBoardCpnt{
    "GetHistoryOfFunctionalBoardCpntName",
    "select concat(t.cpntname,'|',coalesce(f.serialnb,'none'),'|',f.snbid,'|',p.cpnt_status,'|',"
    "to_char(p.status_change,'%(date_format)'),'|',coalesce(p.location,'none'),'?') "
    "from %(lg_cpnts) t,%(cpnt_history) p,%(hw_cpnts) f ",
    "where t.cpntid=p.cpntid and t.cpntname=:dname and f.snbid=coalesce(p.snbid,-1)",
    HistoryKey::Text,
    " order by p.status_change,p.historycpntid",
    true};

// Rows of a component in no position meet the position -1, "motherboard",
// shown as "none".
constexpr const char* kHWCpntHistorySelect =
    "select concat(CASE t.cpntname WHEN 'motherboard' THEN 'none' ELSE t.cpntname END,'|',"
    "coalesce(f.serialnb,'none'),'|',f.snbid,'|',p.cpnt_status,'|',"
    "to_char(p.status_change,'%(date_format)'),'|',coalesce(p.location,'none'),'?') "
    "from %(lg_cpnts) t,%(cpnt_history) p,%(hw_cpnts) f ";

const HistoryQuery kHWBoardCpntBySerial{
    "GetHistoryOfHWBoardCpnt", kHWCpntHistorySelect,
    "where t.cpntid=coalesce(p.cpntid,-1) and f.serialnb=:dname and f.snbid=p.snbid",
    HistoryKey::Text, " order by p.status_change,p.historycpntid", true};

const HistoryQuery kHWBoardCpntById{
    "GetHistoryOfHWBoardCpnt", kHWCpntHistorySelect,
    "where t.cpntid=coalesce(p.cpntid,-1) and f.snbid=:dname and f.snbid=p.snbid",
    HistoryKey::Snbid, " order by p.status_change,p.historycpntid", true};

// A bound whose text begins with "none" is open. The bounds are compared
// with the date texts, both ends included.
bool open_bound(const char* date) { return std::string(date).compare(0, 4, "none") == 0; }

int RunHistory(const HistoryQuery& query, const char* name, int snbid, char* history,
               int* len_history, const char* min_date, const char* max_date, char* ErrMess) {
  if (!name) {
    SetErrMess(query.appliName, " device name MUST be given", ErrMess, 1);
    return -1;
  }
  if (!min_date || !max_date) {
    SetErrMess(query.appliName, " min_date and max_date MUST be given", ErrMess, 1);
    return -1;
  }
  const bool lower = !open_bound(min_date);
  const bool upper = !open_bound(max_date);
  std::string statement = std::string(query.select) + query.key;
  const char* date_text = " and to_char(p.status_change,'%(date_format)')";
  if (lower && upper)
    statement += std::string(date_text) + " between :mindate and :maxdate";
  else if (lower)
    statement += std::string(date_text) + ">=:mindate";
  else if (upper)
    statement += std::string(date_text) + "<=:maxdate";
  statement += query.order;

  std::vector<QueryKey> keys;
  keys.push_back(query.key_kind == HistoryKey::Text ? QueryKey::Text(":dname", name, "")
                                                   : QueryKey::Int(":dname", snbid, ""));
  if (lower) keys.push_back(QueryKey::Text(":mindate", min_date, ""));
  if (upper) keys.push_back(QueryKey::Text(":maxdate", max_date, ""));
  // A bind that another follows prints as the prepare; the last as the bind.
  for (QueryKey& key : keys) key.label = "OCIStmtPrepare unsuccessful";
  keys.back().label = "OCIBindByName unsuccessful";

  const ListCall call{query.appliName, ExpandTemplate(statement.c_str()), keys,
                      {"OCIBindByPos unsuccessful", "Execute unsuccessful"},
                      query.reports_end_of_rows};
  return RunPackedList(call, history, len_history, ErrMess);
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetHistoryOfFunctionalDevice(const char* functional_name, char* history,
                                            int* len_history, const char* min_date,
                                            const char* max_date, char* ErrMess) {
  return RunHistory(kFunctionalDevice, functional_name, -1, history, len_history, min_date,
                    max_date, ErrMess);
}

extern "C" int GetHistoryOfHWDevice(const char* serial_nb, char* history, int* len_history,
                                    const char* min_date, const char* max_date, char* ErrMess) {
  return RunHistory(kHWDevice, serial_nb, -1, history, len_history, min_date, max_date, ErrMess);
}

extern "C" int GetHistoryOfFunctionalBoardCpntName(const char* functional_cpntname,
                                                   char* history, int* len_history,
                                                   const char* min_date, const char* max_date,
                                                   char* ErrMess) {
  return RunHistory(kFunctionalBoardCpnt, functional_cpntname, -1, history, len_history,
                    min_date, max_date, ErrMess);
}

// snbid -1 finds the component by serial_nb, any other value by snbid;
// serial_nb must be given either way.
extern "C" int GetHistoryOfHWBoardCpnt(const char* serial_nb, int snbid, char* history,
                                       int* len_history, const char* min_date,
                                       const char* max_date, char* ErrMess) {
  return RunHistory(snbid == -1 ? kHWBoardCpntBySerial : kHWBoardCpntById, serial_nb, snbid,
                    history, len_history, min_date, max_date, ErrMess);
}
