// Deletion of a link, or of a port of a functional device together with the
// link at the port and the matching port of the device's hardware. The
// server package removes the stored paths that used a deleted link between
// devices; when it fails, the whole deletion is rolled back.
#include <cstdio>

#include "ferrule.h"
#include "insert/caller_identity.h"
#include "report.h"
#include "session.h"
#include "statement_text.h"
#include "update/single_block.h"

namespace ferrule {
namespace {

// :numrows becomes 0 when no single link was deleted; :rescode is the path
// removal's answer (0 when done).
const char* const kDeleteMacroLink =
    "DECLARE deleted integer; begin "
    "delete from %(macro_connectivity) where linkid=:lkid "
    "returning portidfrom,portidto into :pfrom,:pto; "
    "GET DIAGNOSTICS deleted = %(row_count); "
    "if deleted=1 then :rescode := %(delete_links_in_paths)(:pfrom,:pto); "
    "else :numrows := 0; end if; end;";

// Links inside a board have no stored paths.
const char* const kDeleteMicroLink =
    "DECLARE deleted integer; begin "
    "delete from %(micro_connectivity) where linkid=:lkid "
    "returning cpntidfrom,cpntidto into :pfrom,:pto; "
    "GET DIAGNOSTICS deleted = %(row_count); "
    "if deleted=1 then :rescode := 0; else :numrows := 0; end if; end;";

// The link at the port (and its paths), then the port, then the port of the
// hardware mounted in the port's device with the same number, way and type.
// :numrows becomes 0 when no single link was deleted, :numrows_bis when no
// port was.
const char* const kDeletePort =
    "DECLARE deleted integer; begin "
    "delete from %(macro_connectivity) where portidfrom=:pid or portidto=:pid "
    "returning portidfrom,portidto into :pfrom,:pto; "
    "GET DIAGNOSTICS deleted = %(row_count); "
    "if deleted=1 then :rescode := %(delete_links_in_paths)(:pfrom,:pto); "
    "else :numrows := 0; end if; "
    "delete from %(port_properties) where portid=:pid "
    "returning coalesce(port_type,'none'),port_nbr,port_way,deviceid "
    "into :ptype,:pnb,:pway,:devid; "
    "GET DIAGNOSTICS deleted = %(row_count); "
    "if deleted=1 then delete from %(hwport_properties) where port_nbr=:pnb and port_way=:pway "
    "and coalesce(port_type,'none')=:ptype "
    "and serialnb=(select serialnb from %(devices) where deviceid=:devid); "
    "else :numrows_bis := 0; end if; end;";

// Room for a port's number or type: 100 characters and a NUL.
constexpr std::size_t kPortTextSize = 101;

int refuse(const char* name, const char* reason, char* ErrMess) {
  SetErrMess(name, reason, ErrMess, 1);
  return -1;
}

// Ends the transaction of a deletion whose block ran; the commit's outcome
// is reported, the rollback's is not.
int commit(StepChain& chain) {
  Session& s = session();
  chain.run("OCITransCommit unsuccessful",
            [&] { return OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT); });
  return chain.result();
}

void rollback() {
  Session& s = session();
  OCITransRollback(s.svchp, s.errhp, OCI_DEFAULT);
}

// What the two deletions share before their block runs: the caller identity
// (obtained, though not written) and the statement.
bool open_deletion(const char* name, StatementHandle& stmt, char* ErrMess) {
  CallerIdentity identity;
  if (!ReadCallerIdentity(identity, ErrMess)) return false;
  return AllocateStatement(stmt, name, "OCIHandleAlloc unsuccessful", ErrMess);
}

// ErrMess after a block that failed or a commit that did: the client's text.
int report_failure(const char* name, const StepChain& chain, char* ErrMess) {
  SetErrMessFromOCI(session().errhp, name, ErrMess, 1);
  return chain.result();
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int DeleteLinkRow(int linkid, int macro_link, char* ErrMess) {
  const char* name = "DeleteLinkRow";
  StatementHandle stmt;
  if (!open_deletion(name, stmt, ErrMess)) return -1;
  int pfrom = 0, pto = 0, rescode = -1, numrows = 1;
  StepChain chain(session().errhp);
  RunSingleBlock(stmt.get(), ExpandTemplate(macro_link == 1 ? kDeleteMacroLink : kDeleteMicroLink),
                 {IntBind(":lkid", linkid), IntBind(":pfrom", pfrom), IntBind(":pto", pto),
                  IntBind(":rescode", rescode), IntBind(":numrows", numrows)},
                 chain);
  if (!chain.ok()) return report_failure(name, chain, ErrMess);
  if (numrows == 0) {
    commit(chain);  // nothing was deleted: whatever the commit answers
    return refuse(name, "LINKID DOESN'T EXIST", ErrMess);
  }
  if (rescode != 0) {
    rollback();
    return refuse(name, "ERROR in deleting paths", ErrMess);
  }
  if (commit(chain) != 0) return report_failure(name, chain, ErrMess);
  SetErrMess(name, nullptr, ErrMess, 0);
  return 0;
}

extern "C" int DeletePortRow(int portid, char* ErrMess) {
  const char* name = "DeletePortRow";
  StatementHandle stmt;
  if (!open_deletion(name, stmt, ErrMess)) return -1;
  int pfrom = 0, pto = 0, rescode = -1, numrows = 1, numrows_bis = 1, devid = 0, pway = 0;
  std::vector<char> ptype(kPortTextSize, '\0');
  std::vector<char> pnb(kPortTextSize, '\0');
  StepChain chain(session().errhp);
  RunSingleBlock(stmt.get(), ExpandTemplate(kDeletePort),
                 {IntBind(":pid", portid), IntBind(":pfrom", pfrom), IntBind(":pto", pto),
                  IntBind(":rescode", rescode), IntBind(":numrows", numrows),
                  IntBind(":devid", devid), IntBind(":pway", pway), TextBind(":ptype", ptype),
                  TextBind(":pnb", pnb), IntBind(":numrows_bis", numrows_bis)},
                 chain);
  if (!chain.ok()) return report_failure(name, chain, ErrMess);
  if (numrows_bis == 0) {
    commit(chain);  // nothing was deleted: whatever the commit answers
    return refuse(name, "PORTID DOESN'T EXIST", ErrMess);
  }
  if (numrows != 0 && rescode != 0) {
    rollback();
    return refuse(name, "ERROR in deleting port: couldn't delete paths", ErrMess);
  }
  if (commit(chain) != 0) return report_failure(name, chain, ErrMess);
  if (numrows == 0) {
    if (ErrMess)
      std::snprintf(ErrMess, kErrMessMax, "NO_ERROR in %s but no link was deleted", name);
    return 0;
  }
  SetErrMess(name, nullptr, ErrMess, 0);
  return 0;
}
