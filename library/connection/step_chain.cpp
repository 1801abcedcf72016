#include "step_chain.h"

#include "reasons.h"
#include "session.h"

namespace ferrule {

bool AllocateStatement(StatementHandle& stmt, const char* appliName,
                       const char* label, char* ErrMess) {
  Session& s = session();
  int status = stmt.allocate(s.envhp);
  if (status == OCI_SUCCESS) return true;
  ReportOCIStatus(status, s.errhp, label);
  if (s.errhp)
    ReportOCIFailure(s.errhp, appliName, ErrMess);
  else
    ReportFailure(appliName, reason::kNotConnected, ErrMess);
  return false;
}

sword PrepareText(OCIStmt* stmt, OCIError* errhp, const std::string& text) {
  return OCIStmtPrepare(stmt, errhp, reinterpret_cast<const OraText*>(text.c_str()),
                        static_cast<ub4>(text.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
}

}  // namespace ferrule
