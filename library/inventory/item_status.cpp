// The status word of a functional item or of a hardware item: one query
// yields a hardware status code, and the caller's buffer receives its word.
#include <cstring>
#include <string>

#include "ferrule.h"
#include "inventory/item_words.h"
#include "report.h"
#include "session.h"
#include "statement_text.h"
#include "step_chain.h"
#include "subsystems.h"

namespace ferrule {
namespace {

// The longest word, "DESTROYED" or "IN_REPAIR", with its NUL.
constexpr std::size_t kStatusWordSize = 10;

struct StatusQuery {
  const char* appliName;
  const char* statement;  // template of a query with one integer column
};

// 7 (NONE) when the device has no hardware. The join is an outer one, so
// that the answer does not depend on other hardware rows existing.
const StatusQuery kFunctionalDevice{
    "GetFunctionalDeviceStatus",
    "select CASE coalesce(t.serialnb,'none') WHEN 'none' THEN 7 ELSE g.device_status END "
    "from %(devices) t left join %(hw_devices) g on g.serialnb=t.serialnb "
    "where t.devicename=:dname"};

const StatusQuery kHWDevice{"GetHWDeviceStatus",
                            "select device_status from %(hw_devices)  where serialnb=:snb "};

// A component without hardware meets the hardware row -1, whose status is
// null: 7 (NONE).
const StatusQuery kFunctionalBoardCpnt{
    "GetFunctionalBoardCpntStatus",
    "select CASE coalesce(g.cpnt_status,-1) WHEN -1 THEN 7 ELSE g.cpnt_status END "
    "from %(lg_cpnts) t,%(hw_cpnts) g where t.cpntname=:dname and coalesce(t.snbid,-1)=g.snbid "};

const StatusQuery kHWBoardCpntBySerial{"GetHWBoardCpntStatus",
                                       "select cpnt_status from %(hw_cpnts)  where serialnb=:snb "};
const StatusQuery kHWBoardCpntById{"GetHWBoardCpntStatus",
                                   "select cpnt_status from %(hw_cpnts)  where snbid=:snb "};

// The key of one call: a text, or an integer when text is null.
struct StatusKey {
  const char* placeholder;
  const char* text;
  int number;
};

int RunStatusQuery(const StatusQuery& query, const StatusKey& key, char* status_out,
                   char* ErrMess) {
  const char* appliName = query.appliName;
  if (!status_out) {
    SetErrMess(appliName, "BUFFER_TOO_SMALL", ErrMess, 1);
    return -1;
  }
  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, appliName, "OCIStmtHAndleStmt unsuccessful", ErrMess)) return -1;

  StepChain chain(s.errhp);
  const std::string text = ExpandTemplate(query.statement);
  int number = key.number;
  int code = 0;
  OCIBind* bind = nullptr;
  OCIDefine* define = nullptr;
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, text); });
  chain.run("OCIBindByPos unsuccessful", [&] {
    const auto* name = reinterpret_cast<const OraText*>(key.placeholder);
    if (key.text)
      return OCIBindByName(stmt.get(), &bind, s.errhp, name, -1, const_cast<char*>(key.text),
                           static_cast<sb4>(std::strlen(key.text) + 1), SQLT_STR, nullptr,
                           nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    return OCIBindByName(stmt.get(), &bind, s.errhp, name, -1, &number, sizeof number, SQLT_INT,
                         nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
  });
  chain.run("Execute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  });
  chain.run("DefineByPos1 unsuccessful", [&] {
    return OCIDefineByPos(stmt.get(), &define, s.errhp, 1, &code, sizeof code, SQLT_INT, nullptr,
                          nullptr, nullptr, OCI_DEFAULT);
  });
  if (chain.ok()) {
    const sword fetched = OCIStmtFetch2(stmt.get(), s.errhp, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
    if (fetched == OCI_NO_DATA) {
      ReportOCIStatus(fetched, s.errhp, "Fetch unsuccessful");
      stmt.release();
      SetErrMess(appliName, "NO_ROWS_SELECTED", ErrMess, 1);
      return 0;
    }
    // Any other failed fetch (a null status, say) is a failure, not "no row".
    const sword status = fetched == OCI_SUCCESS_WITH_INFO ? OCI_SUCCESS : fetched;
    if (chain.run("Fetch unsuccessful", [&] { return status; }) &&
        StatusCodeToName(code, status_out, kStatusWordSize) != 0) {
      stmt.release();
      SetErrMess(appliName, ("INVALID STATUS CODE " + std::to_string(code)).c_str(), ErrMess, 1);
      return -1;
    }
  }
  const int result = chain.result() + stmt.release();
  SetErrMessFromOCI(s.errhp, appliName, ErrMess, result != 0);
  return result;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetFunctionalDeviceStatus(const char* dname, char* status_out, char* ErrMess) {
  if (!dname) {
    SetErrMess(kFunctionalDevice.appliName, " device name MUST be given", ErrMess, 1);
    return -1;
  }
  return RunStatusQuery(kFunctionalDevice, {":dname", dname, 0}, status_out, ErrMess);
}

extern "C" int GetHWDeviceStatus(const char* serialnb, char* status_out, char* ErrMess) {
  if (!serialnb) {
    SetErrMess(kHWDevice.appliName, " device name MUST be given", ErrMess, 1);
    return -1;
  }
  return RunStatusQuery(kHWDevice, {":snb", serialnb, 0}, status_out, ErrMess);
}

extern "C" int GetFunctionalBoardCpntStatus(const char* cpntname, char* status_out,
                                            char* ErrMess) {
  if (!cpntname) {
    SetErrMess(kFunctionalBoardCpnt.appliName, " cpnt name MUST be given", ErrMess, 1);
    return -1;
  }
  return RunStatusQuery(kFunctionalBoardCpnt, {":dname", cpntname, 0}, status_out, ErrMess);
}

// By serial number when one is given, otherwise by snbid.
extern "C" int GetHWBoardCpntStatus(const char* serialnb, int snbid, char* status_out,
                                    char* ErrMess) {
  if (!serialnb && snbid < 1) {
    SetErrMess(kHWBoardCpntById.appliName, " serialnb or snbid MUST be given", ErrMess, 1);
    return -1;
  }
  if (!NotGiven(serialnb))
    return RunStatusQuery(kHWBoardCpntBySerial, {":snb", serialnb, 0}, status_out, ErrMess);
  return RunStatusQuery(kHWBoardCpntById, {":snb", nullptr, snbid}, status_out, ErrMess);
}
