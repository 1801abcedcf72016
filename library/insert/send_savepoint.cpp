#include "insert/send_savepoint.h"

#include <string>

#include "session.h"

namespace ferrule {

namespace {

constexpr const char* kSet = "SAVEPOINT send_start";
constexpr const char* kUndo = "ROLLBACK TO SAVEPOINT send_start";

}  // namespace

sword SendSavepoint::run(const char* text) {
  Session& s = session();
  if (!stmt_.get()) {
    const sword allocated = stmt_.allocate(s.envhp);
    if (allocated != OCI_SUCCESS) return allocated;
  }
  const sword prepared = PrepareText(stmt_.get(), s.errhp, text);
  if (prepared != OCI_SUCCESS) return prepared;
  return OCIStmtExecute(s.svchp, stmt_.get(), s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
}

sword SendSavepoint::set() {
  const sword status = run(kSet);
  set_ = status == OCI_SUCCESS;
  return status;
}

void SendSavepoint::undo() {
  if (set_) run(kUndo);
}

}  // namespace ferrule
