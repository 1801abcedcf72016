#include "call_savepoint.h"

#include <string>

#include "report.h"
#include "session.h"

namespace ferrule {

namespace {

constexpr const char* kSet = "SAVEPOINT call_start";
constexpr const char* kUndo = "ROLLBACK TO SAVEPOINT call_start";

}  // namespace

sword CallSavepoint::run(const char* text, OCIError* errhp) {
  Session& s = session();
  if (!stmt_.get()) {
    const sword allocated = stmt_.allocate(s.envhp);
    if (allocated != OCI_SUCCESS) return allocated;
  }
  const sword prepared = PrepareText(stmt_.get(), errhp, text);
  if (prepared != OCI_SUCCESS) return prepared;
  return OCIStmtExecute(s.svchp, stmt_.get(), errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
}

sword CallSavepoint::set() {
  const sword status = run(kSet, session().errhp);
  set_ = status == OCI_SUCCESS;
  return status;
}

void CallSavepoint::undo() {
  // Without an error handle: the session's record keeps the failure that
  // the call answers, whatever becomes of the undo.
  if (set_) run(kUndo, nullptr);
}

bool CommitStep(StepChain& chain) {
  Session& s = session();
  return chain.run("OCITransCommit unsuccessful",
                   [&] { return OCITransCommit(s.svchp, s.errhp, OCI_DEFAULT); });
}

int CommitThenAnswer(const char* appliName, char* ErrMess, int answer) {
  StepChain commit(session().errhp);
  if (CommitStep(commit)) return answer;
  ReportOCIFailure(session().errhp, appliName, ErrMess);
  return commit.result();
}

}  // namespace ferrule
