// The four exports that hand a whole job to the server package in one block
// with one integer result: create or drop the schema's dynamic tables, and
// build the routing table or the destination table of a device. The
// library computes nothing here and issues no commit: the work stays in the
// caller's transaction. A job the server refuses, or that fails, is undone
// back to where the call began: when nothing was pending before it, the
// transaction it opened ends with it, so that no transaction id and no lock
// (on the devices the build looked up, say) waits for the client's next
// commit, holding up VACUUM and schema changes meanwhile.
#include "call_savepoint.h"
#include "ferrule.h"
#include "routing/routing_statement.h"
#include "server_refusal.h"
#include "session.h"
#include "statement_text.h"

namespace ferrule {
namespace {

constexpr bool kBindsDevice = true;  // :devname and :roundtrip

struct ServerJob {
  const char* appliName;
  const char* block;
  const char* refused;  // reason when the server answers non-zero (with its words)
  bool binds_device;
};

const ServerJob kCreateTableSchema{
    "CreateTableSchema", "BEGIN :rescode:=%(create_table_schema)(1); END;",
    "Couldn't create the tables", !kBindsDevice};
const ServerJob kDropTableSchema{
    "DropTableSchema", "BEGIN :rescode:=%(drop_table_schema)(1); END;",
    "Couldn't create the tables", !kBindsDevice};
const ServerJob kCreateRoutingTable{
    "CreateRoutingTable", "BEGIN :rescode:=%(create_routing_table)(:devname,1,:roundtrip,1); END;",
    "Couldn't create the routing table", kBindsDevice};
const ServerJob kCreateDestinationTable{
    "CreateDestinationTable",
    "BEGIN :rescode:=%(create_destination_table)(:devname,1,:roundtrip,1); END;",
    "Couldn't create the destination table", kBindsDevice};

// Result: the status of freeing the statement plus the server's result; 1
// (its preset) when the block never ran.
int RunServerJob(const ServerJob& job, const char* devicename, int roundtrip, char* ErrMess) {
  int res_code = 1;
  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, job.appliName, "OCIHandleAlloc unsuccessful", ErrMess)) return -1;

  const std::string text = ExpandTemplate(job.block);
  StepChain chain(s.errhp);
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, text); });
  chain.run("OCIBindByName unsuccessful",
            [&] { return routing::BindInt(stmt.get(), s.errhp, ":rescode", &res_code); });
  if (job.binds_device) {
    chain.run("OCIBindByName unsuccessful",
              [&] { return routing::BindText(stmt.get(), s.errhp, ":devname", devicename); });
    chain.run("OCIBindByName unsuccessful",
              [&] { return routing::BindInt(stmt.get(), s.errhp, ":roundtrip", &roundtrip); });
  }
  CallSavepoint call_start;
  chain.run("OCIStmtExecute unsuccessful", [&] { return call_start.set(); });
  chain.run("OCIStmtExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
  });

  const int status = stmt.release();
  if (!chain.ok()) {
    ReportOCIFailure(s.errhp, job.appliName, ErrMess);
    call_start.undo();
  } else if (res_code != 0) {
    // The server keeps its words for the transaction: read before the undo.
    const std::string reason = WithServerWords(job.refused);
    call_start.undo();
    ReportFailure(job.appliName, reason.c_str(), ErrMess);
  } else {
    ReportSuccess(job.appliName, ErrMess);
  }
  return status + res_code;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int CreateTableSchema(char* ErrMess) {
  return RunServerJob(kCreateTableSchema, nullptr, 0, ErrMess);
}

extern "C" int DropTableSchema(char* ErrMess) {
  return RunServerJob(kDropTableSchema, nullptr, 0, ErrMess);
}

// A round-trip count of 0 asks for the usual 10.
extern "C" int CreateRoutingTable(const char* devicename, int roundtrip, char* ErrMess) {
  return RunServerJob(kCreateRoutingTable, devicename, roundtrip == 0 ? 10 : roundtrip, ErrMess);
}

extern "C" int CreateDestinationTable(const char* devicename, int roundtrip, char* ErrMess) {
  return RunServerJob(kCreateDestinationTable, devicename, roundtrip, ErrMess);
}
