#include "block_call.h"

#include <cstdio>
#include <cstring>

#include "call_savepoint.h"
#include "diagnostics.h"
#include "report.h"
#include "session.h"

namespace ferrule {

namespace {

std::string bind_label(const BlockLabels& labels, std::size_t position) {
  if (!labels.numbered_binds) return labels.bind;
  return labels.bind + std::to_string(position) + " unsuccessful";
}

// Answers a refusal: the statement is released first, as on every path.
int refuse(const char* appliName, StatementHandle& stmt, const char* reason, char* ErrMess) {
  stmt.release();
  ReportFailure(appliName, reason, ErrMess);
  return -1;
}

}  // namespace

BlockBind BlockBind::Text(const char* name, const char* text, const char* refusal) {
  return {name, SQLT_STR, const_cast<char*>(text),
          text ? static_cast<int>(std::strlen(text) + 1) : 0, refusal, nullptr};
}

BlockBind BlockBind::Buffer(const char* name, std::vector<char>& buffer) {
  if (buffer.empty()) buffer.push_back('\0');
  return {name, SQLT_STR, buffer.data(), static_cast<int>(buffer.size()), nullptr, nullptr};
}

BlockBind BlockBind::Int(const char* name, int& value) {
  return {name, SQLT_INT, &value, sizeof value, nullptr, nullptr};
}

std::vector<char> BindCopy(const char* text) {
  if (!text) return {'\0'};
  return std::vector<char>(text, text + std::strlen(text) + 1);
}

int RunBlockCall(const char* appliName, StatementHandle& stmt, std::vector<BlockStep>& steps,
                 char* ErrMess) {
  Session& s = session();
  StepChain chain(s.errhp);
  // Where the call's own work begins: a failure or a refusal undoes that
  // work alone (every block of the call), not the work of earlier calls
  // that waits in the open transaction.
  CallSavepoint call_start;
  auto refuse_undone = [&](const char* reason) {
    call_start.undo();
    return refuse(appliName, stmt, reason, ErrMess);
  };
  const char* success_note = nullptr;
  const char* refusal = nullptr;  // of a verdict that keeps the work
  for (BlockStep& step : steps) {
    const BlockLabels& labels = *step.labels;
    chain.run(labels.prepare, [&] { return PrepareText(stmt.get(), s.errhp, step.text); });
    for (std::size_t i = 0; i < step.binds.size(); ++i) {
      const BlockBind& b = step.binds[i];
      if (b.type == SQLT_STR && !b.value && b.refusal) return refuse_undone(b.refusal);
      if (b.trace && b.value) PrintLine("%s%s", b.trace, static_cast<const char*>(b.value));
      OCIBind* handle = nullptr;
      chain.run(bind_label(labels, i + 1).c_str(), [&] {
        return OCIBindByName(stmt.get(), &handle, s.errhp, reinterpret_cast<const OraText*>(b.name),
                             -1, b.value, b.size, b.type, nullptr, nullptr, nullptr, 0, nullptr,
                             OCI_DEFAULT);
      });
    }
    if (&step == &steps.front()) chain.run(labels.execute, [&] { return call_start.set(); });
    chain.run(labels.execute, [&] {
      return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
    });
    if (!chain.ok()) break;
    const BlockVerdict verdict = step.verdict ? step.verdict() : BlockVerdict{};
    if (verdict.end == BlockEnd::Rollback) return refuse_undone(verdict.reason);
    if (verdict.end == BlockEnd::CommitAndRefuse) {
      refusal = verdict.reason;
      break;
    }
    success_note = verdict.success_note;
  }
  // The blocks are committed together, once: nobody sees the first one's
  // work before the last one is done. A failed block undid itself; the
  // blocks before it are undone with it. A commit that fails is answered
  // as such, refusal or not: what the caller believed committed is not.
  if (!chain.ok())
    call_start.undo();
  else if (CommitStep(chain) && refusal)
    return refuse(appliName, stmt, refusal, ErrMess);
  const int result = chain.result() + stmt.release();
  if (result == 0 && success_note && ErrMess)
    std::snprintf(ErrMess, kErrMessMax, "NO_ERROR in %s%s", appliName, success_note);
  else
    ReportOCIOutcome(result == 0, s.errhp, appliName, ErrMess);
  return result;
}

}  // namespace ferrule
