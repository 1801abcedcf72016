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
  const char* success_note = nullptr;
  for (BlockStep& step : steps) {
    if (!chain.ok()) break;
    const BlockLabels& labels = *step.labels;
    chain.run(labels.prepare, [&] { return PrepareText(stmt.get(), s.errhp, step.text); });
    for (std::size_t i = 0; i < step.binds.size(); ++i) {
      const BlockBind& b = step.binds[i];
      if (b.type == SQLT_STR && !b.value && b.refusal)
        return refuse(appliName, stmt, b.refusal, ErrMess);
      if (b.trace && b.value) PrintLine("%s%s", b.trace, static_cast<const char*>(b.value));
      OCIBind* handle = nullptr;
      chain.run(bind_label(labels, i + 1).c_str(), [&] {
        return OCIBindByName(stmt.get(), &handle, s.errhp, reinterpret_cast<const OraText*>(b.name),
                             -1, b.value, b.size, b.type, nullptr, nullptr, nullptr, 0, nullptr,
                             OCI_DEFAULT);
      });
    }
    // Where the step's own work begins: a refusal undoes that work alone,
    // not the work of earlier calls that waits in the open transaction.
    CallSavepoint step_start;
    chain.run(labels.execute, [&] { return step_start.set(); });
    chain.run(labels.execute, [&] {
      return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
    });
    // A failed execution undid itself: there is nothing to commit or undo.
    if (!chain.ok()) break;
    const BlockVerdict verdict = step.verdict ? step.verdict() : BlockVerdict{};
    if (verdict.end == BlockEnd::Rollback) {
      step_start.undo();
      return refuse(appliName, stmt, verdict.reason, ErrMess);
    }
    // A commit that fails is answered as such, refusal or not: what the
    // caller believed committed is not.
    if (!CommitStep(chain)) break;
    if (verdict.end == BlockEnd::CommitAndRefuse)
      return refuse(appliName, stmt, verdict.reason, ErrMess);
    success_note = verdict.success_note;
  }
  const int result = chain.result() + stmt.release();
  if (result == 0 && success_note && ErrMess)
    std::snprintf(ErrMess, kErrMessMax, "NO_ERROR in %s%s", appliName, success_note);
  else
    ReportOCIOutcome(result == 0, s.errhp, appliName, ErrMess);
  return result;
}

}  // namespace ferrule
