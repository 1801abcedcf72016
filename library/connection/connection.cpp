// Opening and closing the one database connection of the process.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "diagnostics.h"
#include "ferrule.h"
#include "reasons.h"
#include "report.h"
#include "session.h"
#include "statement_text.h"
#include "step_chain.h"

namespace ferrule {

namespace {

constexpr const char* kLibraryVersion = "v2.7";

// The time DBConnexion has left. Each client call it makes is given that
// as its call timeout, so that the login and the load together end within
// the limit.
class ConnexionClock {
 public:
  using Clock = std::chrono::steady_clock;
  explicit ConnexionClock(std::chrono::seconds limit)
      : limit_(limit), end_(Clock::now() + limit) {}

  // Rounded up, so that the call ends no earlier than the limit; at least
  // 1 ms, since 0 would mean no limit.
  ub4 call_timeout_ms() const {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now());
    return static_cast<ub4>(std::max<long long>(left.count(), 1));
  }
  bool expired() const { return Clock::now() >= end_; }
  void write_reason(char* out, std::size_t size) const {
    std::snprintf(out, size, reason::kNoAnswerWithin, static_cast<int>(limit_.count()));
  }

 private:
  std::chrono::seconds limit_;
  Clock::time_point end_;
};

int SetCallTimeout(const Session& handles, ub4 milliseconds) {
  return OCIAttrSet(handles.svchp, OCI_HTYPE_SVCCTX, &milliseconds, 0, OCI_ATTR_CALL_TIMEOUT,
                    handles.errhp);
}

// How far Connect got: 1 environment, 2 server, 3 error, 4 service context,
// 5 session. Disconnect releases that many handles.
int Disconnect(Session handles, int stage, char* ErrMess) {
  int sum = 0;
  if (stage > 4 && handles.authp) sum += OCIHandleFree(handles.authp, OCI_HTYPE_SESSION);
  if (stage > 3 && handles.svchp) sum += OCIHandleFree(handles.svchp, OCI_HTYPE_SVCCTX);
  // The error text is read before the error handle goes away.
  char reason[kReasonMax + 1] = "OCIHandleFree unsuccessful";
  if (sum != 0 && handles.errhp) ReadErrorText(handles.errhp, reason, sizeof reason);
  if (stage > 2 && handles.errhp) sum += OCIHandleFree(handles.errhp, OCI_HTYPE_ERROR);
  if (stage > 1 && handles.srvhp) sum += OCIHandleFree(handles.srvhp, OCI_HTYPE_SERVER);
  if (stage > 0 && handles.envhp) {
    sum += OCIHandleFree(handles.envhp, OCI_HTYPE_ENV);
    sum += OCITerminate(OCI_DEFAULT);
  }
  if (sum == 0) {
    ReportSuccess("Disconnect", ErrMess);
    PrintLine("OCI Connection successfully terminated....%d", stage);
  } else {
    ReportFailure("Disconnect", reason, ErrMess);
    PrintLine("OCI Connection not successfully terminated....%d", stage);
  }
  return sum;
}

// Creates the five handles into out; on failure releases what was created
// and leaves out untouched.
int Connect(const char* server, const char* user, const char* password,
            const ConnexionClock& clock, Session& out, char* ErrMess) {
  const char* appliName = "Connect";
  if (!server) {
    ReportFailure(appliName, "server MUST be given", ErrMess);
    return -1;
  }
  // A missing user or password is an empty one, which the session refuses
  // as a failed login.
  if (!user) user = "";
  if (!password) password = "";
  Session h;
  int stage = 0;
  int status = OCI_SUCCESS;
  auto step = [&](int stage_on_failure, auto&& call) {
    if (status != OCI_SUCCESS) return;
    status = call();
    if (status != OCI_SUCCESS) stage = stage_on_failure;
  };
  auto alloc = [&](const void* parent, void** handle, ub4 type) {
    return OCIHandleAlloc(parent, handle, type, 0, nullptr);
  };
  step(1, [&] { return OCIEnvCreate(&h.envhp, OCI_DEFAULT, nullptr, nullptr, nullptr, nullptr, 0, nullptr); });
  step(2, [&] { return alloc(h.envhp, reinterpret_cast<void**>(&h.srvhp), OCI_HTYPE_SERVER); });
  step(3, [&] { return alloc(h.envhp, reinterpret_cast<void**>(&h.errhp), OCI_HTYPE_ERROR); });
  step(3, [&] {
    return OCIServerAttach(h.srvhp, h.errhp, reinterpret_cast<const OraText*>(server),
                           static_cast<sb4>(std::strlen(server)), OCI_DEFAULT);
  });
  step(4, [&] { return alloc(h.envhp, reinterpret_cast<void**>(&h.svchp), OCI_HTYPE_SVCCTX); });
  step(4, [&] { return OCIAttrSet(h.svchp, OCI_HTYPE_SVCCTX, h.srvhp, 0, OCI_ATTR_SERVER, h.errhp); });
  step(4, [&] { return SetCallTimeout(h, clock.call_timeout_ms()); });
  step(5, [&] { return alloc(h.envhp, reinterpret_cast<void**>(&h.authp), OCI_HTYPE_SESSION); });
  step(5, [&] {
    return OCIAttrSet(h.authp, OCI_HTYPE_SESSION, const_cast<char*>(user),
                      static_cast<ub4>(std::strlen(user)), OCI_ATTR_USERNAME, h.errhp);
  });
  step(5, [&] {
    return OCIAttrSet(h.authp, OCI_HTYPE_SESSION, const_cast<char*>(password),
                      static_cast<ub4>(std::strlen(password)), OCI_ATTR_PASSWORD, h.errhp);
  });
  step(5, [&] { return OCISessionBegin(h.svchp, h.errhp, h.authp, OCI_CRED_RDBMS, OCI_DEFAULT); });
  step(5, [&] { return OCIAttrSet(h.svchp, OCI_HTYPE_SVCCTX, h.authp, 0, OCI_ATTR_SESSION, h.errhp); });

  if (status == OCI_SUCCESS) {
    out = h;
    ReportSuccess(appliName, ErrMess);
    PrintLine("OCI Connection successfully established and current version of the library %s",
              kLibraryVersion);
    return 0;
  }
  char reason[kReasonMax + 1];
  if (clock.expired())
    clock.write_reason(reason, sizeof reason);
  else if (h.errhp)
    ReadErrorText(h.errhp, reason, sizeof reason);
  else
    std::snprintf(reason, sizeof reason, "%s", "COULD NOT CREATE THE CLIENT ENVIRONMENT");
  char scratch[kErrMessMax];
  Disconnect(h, stage, scratch);
  ReportFailure(appliName, reason, ErrMess);
  PrintLine("OCI Connection not successfully established ....");
  return -1;
}

}  // namespace

Session& session() {
  static Session instance;
  return instance;
}

std::chrono::seconds& connexion_limit() {
  static std::chrono::seconds limit = kConnexionLimit;
  return limit;
}

SubsystemTable& subsystem_table() {
  static SubsystemTable instance;
  return instance;
}

int LoadSubsystemTable(char (*names)[kSubsystemNameBytes + 1], int* ids, int* count,
                       char* ErrMess) {
  const char* appliName = "LoadSubsystemTable";
  constexpr int kPrefetch = 100;
  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, appliName, "OCIStmtHAndleAlloc unsuccessful", ErrMess)) return -1;

  struct Row {
    std::string name;
    int id;
  };
  std::vector<Row> rows;
  char system_name[kSubsystemNameBytes + 2] = "";  // a whole name, its '?' and the NUL
  int sysID = 0;
  OCIDefine* def1 = nullptr;
  OCIDefine* def2 = nullptr;
  StepChain chain(s.errhp);
  std::string text = ExpandTemplate("select system_name||'?',systemid from %(subsystem_list) ");
  ub4 prefetch = kPrefetch;
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, text); });
  chain.run("OCIAttrSet unsuccessful", [&] {
    return OCIAttrSet(stmt.get(), OCI_HTYPE_STMT, &prefetch, 0, OCI_ATTR_PREFETCH_ROWS, s.errhp);
  });
  chain.run("OCIStmtExecute unsuccessful",
            [&] { return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 0, 0, nullptr, nullptr, OCI_DEFAULT); });
  chain.run("OCIDefineByPos unsuccessful", [&] {
    return OCIDefineByPos(stmt.get(), &def1, s.errhp, 1, system_name, sizeof system_name, SQLT_STR,
                          nullptr, nullptr, nullptr, OCI_DEFAULT);
  });
  chain.run("OCIDefineByPos unsuccessful", [&] {
    return OCIDefineByPos(stmt.get(), &def2, s.errhp, 2, &sysID, sizeof sysID, SQLT_INT, nullptr,
                          nullptr, nullptr, OCI_DEFAULT);
  });
  if (chain.ok()) {
    for (;;) {
      sword st = OCIStmtFetch2(stmt.get(), s.errhp, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
      if (st != OCI_SUCCESS && st != OCI_SUCCESS_WITH_INFO) break;
      // Fetched whole, a name ends with the '?' the statement closed it with.
      if (st == OCI_SUCCESS)
        system_name[ValueBeforeMark(system_name, '?').size()] = '\0';
      // A longer name is kept to its first 9 characters.
      system_name[CharacterPrefixLength(system_name, kSubsystemNameMax)] = '\0';
      if (rows.size() < static_cast<std::size_t>(kPrefetch)) rows.push_back({system_name, sysID});
      else break;
    }
  }
  if (!rows.empty()) {
    stmt.release();
    if (static_cast<int>(rows.size()) >= *count) {
      ReportFailure(appliName, reason::kBufferTooSmall, ErrMess);
      return -1;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
      std::snprintf(names[i], kSubsystemNameBytes + 1, "%s", rows[i].name.c_str());
      ids[i] = rows[i].id;
    }
    *count = static_cast<int>(rows.size());
    ReportSuccess(appliName, ErrMess);
    return 0;
  }
  stmt.release();
  if (chain.ok()) {
    ReportFailure(appliName, reason::kSubsystemTableEmpty, ErrMess);
    return -1;
  }
  ReportOCIFailure(s.errhp, appliName, ErrMess);
  return chain.result();
}

}  // namespace ferrule

using namespace ferrule;

extern "C" int DBConnexion(const char* server, const char* usr, const char* pwd, char* ErrMess) {
  Session& s = session();
  // A second connection replaces the first: close the first rather than
  // leave its session open and unreachable.
  if (s.connected()) {
    char scratch[kErrMessMax];
    Disconnect(s, 5, scratch);
    s.forget();
  }
  SubsystemTable& table = subsystem_table();
  const ConnexionClock clock(connexion_limit());
  Session opened;
  if (Connect(server, usr, pwd, clock, opened, ErrMess) != 0) {
    s.forget();
    return -1;
  }
  s = opened;
  // The load tests its row count against the table's capacity; a failed load
  // leaves the table as it was last loaded.
  int count = kSubsystemSlots;
  SetCallTimeout(s, clock.call_timeout_ms());
  const int loaded = LoadSubsystemTable(table.names, table.ids, &count, ErrMess);
  // Later calls wait for the server as long as it takes: some (routing
  // tables, paths of a large network) legitimately run long.
  SetCallTimeout(s, 0);
  if (loaded != 0) {
    // Without its subsystem table the connection is of no use: close it.
    char scratch[kErrMessMax];
    Disconnect(s, 5, scratch);
    s.forget();
    PrintLine("Connection aborted : couldn't load subsystem table");
    char reason[kReasonMax + 1];
    if (clock.expired())
      clock.write_reason(reason, sizeof reason);
    else
      std::snprintf(reason, sizeof reason, "%s", reason::kSubsystemTableEmpty);
    ReportFailure("LoadSubsystemTable", reason, ErrMess);
    return -1;
  }
  table.count = count;
  PrintLine("Successful Loading ");
  return 0;
}

extern "C" int DBDeconnexion(char* ErrMess) {
  Session& s = session();
  if (!s.connected()) {
    ReportFailure("DBDeconnexion", reason::kNotConnected, ErrMess);
    return -1;
  }
  int sum = Disconnect(s, 5, ErrMess);
  s.forget();
  return sum;
}
