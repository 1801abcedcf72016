// Which hardware was last in use where, read from the status history: among
// the "IN_USE" rows of an item, the one with the latest date of change.
#include <cstring>
#include <string>

#include "ferrule.h"
#include "inventory/text_query.h"
#include "report.h"
#include "session.h"
#include "statement_text.h"

namespace ferrule {
namespace {

struct LastMountedQuery {
  const char* appliName;
  const char* statement;       // template; the key is :snb or :dname
  const char* missing_reason;  // for a null key
  bool reports_no_rows;        // prints the fetch status when nothing matched
};

// Of two rows with the same latest date, the one written last.
const LastMountedQuery kHWLastDevice{
    "GetHWLastFunctionalDevice",
    "select concat(t.devicename,'?') from %(devices) t,%(device_history) p "
    "where t.deviceid=p.deviceid and p.serialnb=:snb and p.device_status='IN_USE' "
    "and p.status_change=(select max(status_change) from %(device_history) "
    "where serialnb=:snb and device_status='IN_USE') order by p.historydeviceid desc",
    " device name MUST be given", true};

const LastMountedQuery kDeviceLastHW{
    "GetFunctionalDeviceLastHW",
    "select concat(p.serialnb,'?') from %(devices) t,%(device_history) p "
    "where t.deviceid=p.deviceid and t.devicename=:dname and device_status='IN_USE' "
    "and p.status_change=(select max(status_change) from %(device_history) "
    "where deviceid=p.deviceid and device_status='IN_USE') order by p.historydeviceid desc",
    " device name MUST be given", false};

const LastMountedQuery kHWLastCpntBySerial{
    "GetHWLastFunctionalBoardCpntName",
    "select concat(coalesce(t.cpntname,'none'),'?') from %(lg_cpnts) t,%(cpnt_history) p,"
    "%(hw_cpnts) f where t.cpntid=p.cpntid and p.snbid=f.snbid and f.serialnb=:snb "
    "and p.cpnt_status='IN_USE' and p.status_change=(select max(status_change) "
    "from %(cpnt_history)  where snbid=p.snbid  and cpnt_status='IN_USE') "
    "order by p.historycpntid desc",
    " serialnb MUST be given", true};

const LastMountedQuery kHWLastCpntById{
    "GetHWLastFunctionalBoardCpntName",
    "select concat(coalesce(t.cpntname,'none'),'?') from %(lg_cpnts) t,%(cpnt_history) p "
    "where t.cpntid=p.cpntid and p.snbid=:snb and p.cpnt_status='IN_USE' "
    "and p.status_change=(select max(status_change) from %(cpnt_history)  "
    "where snbid=p.snbid  and cpnt_status='IN_USE') order by p.historycpntid desc",
    " serialnb MUST be given", true};

// The latest row of the position, whatever its status, must be an IN_USE
// row: a position emptied since has no last hardware.
const LastMountedQuery kCpntLastHW{
    "GetFunctionalBoardCpntNameLastHW",
    "select concat(coalesce(f.serialnb,'none'),'|',coalesce(f.snbid,-1),'?') "
    "from %(lg_cpnts) t,%(cpnt_history) p ,%(hw_cpnts) f where t.cpntid=p.cpntid "
    "and t.cpntname=:dname and coalesce(p.snbid,-1)=f.snbid and p.cpnt_status='IN_USE' "
    "and p.status_change=(select max(status_change) from %(cpnt_history) "
    "where cpntid=p.cpntid and p.cpnt_status='IN_USE') order by p.historycpntid desc",
    " functional_cpntname MUST be given", true};

constexpr const char* kBindLabel = "OCIBindByPos unsuccessful";
constexpr char kNone[] = "none";

bool fits(std::size_t needed, int capacity) {
  return static_cast<long long>(needed) <= static_cast<long long>(capacity);
}

// The answer, or "none" when no row matched, under the length protocol
// (the length is written only when the answer does not fit).
int RunLastMounted(const LastMountedQuery& query, const QueryKey& key, char* last_mounted,
                   int* len_last_mounted, char* ErrMess) {
  const char* appliName = query.appliName;
  if (!last_mounted || !len_last_mounted) {
    SetErrMess(appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
    return -1;
  }
  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, appliName, "OCIStmtHAndleStmt unsuccessful", ErrMess)) return -1;

  StepChain chain(s.errhp);
  TextColumnQuery rows(stmt.get(), chain);
  rows.Run(ExpandTemplate(query.statement), {key}, 0, {"", "DefineByPos1 unsuccessful"});
  if (!rows.allocated()) {
    stmt.release();
    SetErrMess(appliName, "MALLOC UNSUCCESSFUL", ErrMess, 1);
    return -1;
  }
  if (chain.ok()) {
    std::string answer;
    const sword status = rows.Next(answer);
    if (status == OCI_SUCCESS) {
      if (!fits(answer.size() + 1, *len_last_mounted)) {
        stmt.release();
        *len_last_mounted = static_cast<int>(answer.size() + 1);
        SetErrMess(appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
        return -1;
      }
      std::memcpy(last_mounted, answer.c_str(), answer.size() + 1);
    } else if (status == OCI_NO_DATA) {
      if (query.reports_no_rows) ReportOCIStatus(status, s.errhp, "Fetch unsuccessful");
      stmt.release();
      if (!fits(sizeof kNone, *len_last_mounted)) {
        *len_last_mounted = static_cast<int>(sizeof kNone);
        SetErrMess(appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
        return -1;
      }
      std::memcpy(last_mounted, kNone, sizeof kNone);
      SetErrMess(appliName, "NO_ROWS_SELECTED", ErrMess, 1);
      return 0;
    } else {
      // A failed fetch is reported, never taken for "nothing mounted".
      chain.run("Fetch unsuccessful", [&] { return status; });
    }
  }
  const int result = chain.result() + stmt.release();
  SetErrMessFromOCI(s.errhp, appliName, ErrMess, result != 0);
  return result;
}

int Refuse(const LastMountedQuery& query, char* ErrMess) {
  SetErrMess(query.appliName, query.missing_reason, ErrMess, 1);
  return -1;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetHWLastFunctionalDevice(const char* serial_nb, char* last_mounted,
                                         int* len_last_mounted, char* ErrMess) {
  if (!serial_nb) return Refuse(kHWLastDevice, ErrMess);
  return RunLastMounted(kHWLastDevice, QueryKey::Text(":snb", serial_nb, kBindLabel),
                        last_mounted, len_last_mounted, ErrMess);
}

extern "C" int GetFunctionalDeviceLastHW(const char* functional_name, char* last_mounted,
                                         int* len_last_mounted, char* ErrMess) {
  if (!functional_name) return Refuse(kDeviceLastHW, ErrMess);
  return RunLastMounted(kDeviceLastHW, QueryKey::Text(":dname", functional_name, kBindLabel),
                        last_mounted, len_last_mounted, ErrMess);
}

// hw_snbid -1 finds the component by hw_serialnb, any other value by
// hw_snbid; hw_serialnb must be given either way.
extern "C" int GetHWLastFunctionalBoardCpntName(const char* hw_serialnb, int hw_snbid,
                                                char* last_mounted, int* len_last_mounted,
                                                char* ErrMess) {
  if (!hw_serialnb) return Refuse(kHWLastCpntBySerial, ErrMess);
  if (hw_snbid == -1)
    return RunLastMounted(kHWLastCpntBySerial, QueryKey::Text(":snb", hw_serialnb, kBindLabel),
                          last_mounted, len_last_mounted, ErrMess);
  return RunLastMounted(kHWLastCpntById, QueryKey::Int(":snb", hw_snbid, kBindLabel),
                        last_mounted, len_last_mounted, ErrMess);
}

extern "C" int GetFunctionalBoardCpntNameLastHW(const char* functional_cpntname,
                                                char* last_mounted, int* len_last_mounted,
                                                char* ErrMess) {
  if (!functional_cpntname) return Refuse(kCpntLastHW, ErrMess);
  return RunLastMounted(kCpntLastHW, QueryKey::Text(":dname", functional_cpntname, kBindLabel),
                        last_mounted, len_last_mounted, ErrMess);
}
