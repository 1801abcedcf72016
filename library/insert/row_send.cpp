#include "insert/row_send.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "diagnostics.h"
#include "insert/bind_arrays.h"
#include "insert/row_undo.h"
#include "reasons.h"
#include "report.h"
#include "session.h"

namespace ferrule {

namespace {

// A row is done when its count is the required one, or any but 0.
bool row_done(int count, int required) { return required != 0 ? count == required : count != 0; }

bool all_rows_done(const std::vector<int>& counts, int required) {
  return std::all_of(counts.begin(), counts.end(),
                     [required](int n) { return row_done(n, required); });
}

// The reason of a send in which some row was not done: the first such
// row's own, when its block gave one, else the export's word.
const char* not_done_reason(const InsertStatement& statement, const SendPolicy& policy,
                            const BindArrays& arrays, const std::vector<int>& counts) {
  const std::vector<int>* reasons = arrays.int_output(statement, policy.own_reason.output);
  for (std::size_t row = 0; reasons && row < counts.size(); ++row)
    if (!row_done(counts[row], policy.required_count))
      return (*reasons)[row] != 0 ? policy.own_reason.reason : policy.not_inserted;
  return policy.not_inserted;
}

// The integer output that holds each row's count, as BindArrays::counts
// reads it.
const char* count_bind(const InsertStatement& statement, const SendPolicy& policy) {
  for (const char* output : statement.output_binds)
    if (policy.counted_output && std::strcmp(output, policy.counted_output) == 0) return output;
  return ":numrows";
}

// The refusal of the refresh that the block's last row called, if any.
std::string in_block_refresh_refusal(const InsertStatement& statement, const BindArrays& arrays) {
  const char* answer = statement.refresh_answer;
  if (const std::vector<int>* number = arrays.int_output(statement, answer))
    return RefreshRefusal(RescodeKind::Int, number->back(), nullptr);
  if (const char* text = arrays.last_text_output(statement, answer))
    return RefreshRefusal(RescodeKind::Text, 0, text);
  return {};
}

// Prepares the text on stmt and binds the arrays to it, each step only while
// the chain is clean, then runs `before_execute` (a step of its own) and
// executes the block once per row. Returns the status of the execution,
// which the caller reports; OCI_SUCCESS when a step before it failed.
template <class Step>
sword execute_rows(OCIStmt* stmt, const std::string& text, const InsertStatement& statement,
                   BindArrays& arrays, int rows, StepChain& chain, Step before_execute) {
  Session& s = session();
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt, s.errhp, text); });
  arrays.bind(stmt, s.errhp, statement, chain);
  before_execute();
  if (!chain.ok()) return OCI_SUCCESS;
  return OCIStmtExecute(s.svchp, stmt, s.errhp, static_cast<ub4>(rows), 0, nullptr, nullptr,
                        OCI_DEFAULT);
}

// The server's number for a key that a unique index holds already.
constexpr sb4 kUniqueKeyTaken = 1;

// Whether the writes of rows that were not done matter to the send: a row
// among those run was not done, and the send keeps the rows that were, or
// a later row failed on a unique key, which the leftovers of a row not
// done may hold (a serial number, a name). After a failure only the rows
// before the failing one ran.
bool leftovers_matter(OCIStmt* stmt, sword executed, const std::vector<int>& counts,
                      const SendPolicy& policy) {
  ub4 ran = static_cast<ub4>(counts.size());
  if (executed != OCI_SUCCESS) {
    sb4 number = 0;
    char text[8];
    if (OCIErrorGet(session().errhp, 1, nullptr, &number, reinterpret_cast<OraText*>(text),
                    sizeof text, OCI_HTYPE_ERROR) != OCI_SUCCESS ||
        number != kUniqueKeyTaken)
      return false;
    ran = 0;
    OCIAttrGet(stmt, OCI_HTYPE_STMT, &ran, nullptr, OCI_ATTR_ROW_COUNT, nullptr);
    ran = std::min(ran, static_cast<ub4>(counts.size()));
  } else if (!policy.commit_when_not_inserted) {
    return false;  // the send is undone whole
  }
  return !all_rows_done({counts.begin(), counts.begin() + ran}, policy.required_count);
}

}  // namespace

int SendRows(const InsertStatement& statement, const SendPolicy& policy, const RowCache& cache,
             const CallerIdentity& identity, char* ErrMess, CallSavepoint* call_start) {
  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, policy.name, "OCIHandleAlloc unsuccessful", ErrMess)) return -1;

  const int rows = cache.rows();
  BindArrays::Lease lease;
  BindArrays& arrays = *lease;
  bool filled = false;
  try {
    filled = rows > 0 && arrays.fill(cache, statement);
  } catch (const std::bad_alloc&) {
    filled = false;
  }
  if (!filled) {
    ReportFailure(policy.name, reason::kMallocUnsuccessful, ErrMess);
    return -1;
  }
  if (policy.trace) policy.trace(cache, arrays.texts);

  StepChain chain(s.errhp);
  const std::string block = statement.format(identity);
  CallSavepoint own_start;
  CallSavepoint& start = call_start ? *call_start : own_start;
  sword executed = execute_rows(stmt.get(), block, statement, arrays, rows, chain, [&] {
    if (!call_start) chain.run("OCIStmtExecute unsuccessful", [&] { return own_start.set(); });
  });
  const std::vector<int>& counts = arrays.counts(statement, policy.counted_output);

  // A row that was not done may have written before the statement that
  // found nothing (a hardware row, an address): the rows kept must not take
  // those writes with them, nor may they refuse a later row. So the send
  // goes back to its start and runs again, each row undoing its own writes
  // when it is not done (row_undo.h); every row then sees what the rows
  // done before it left. Only a send with such a row pays for the second
  // run, and only one that began where it goes back to: a caller's own
  // statements before it would not run again.
  if (chain.ok() && !call_start && !policy.rows_not_done_keep_writes &&
      leftovers_matter(stmt.get(), executed, counts, policy)) {
    start.undo();
    bool refilled = false;
    try {
      refilled = arrays.fill(cache, statement);
    } catch (const std::bad_alloc&) {
      refilled = false;
    }
    if (!refilled) chain.allocation_failed("OCIStmtExecute unsuccessful");
    const std::string undoing =
        UndoingRowsNotDone(block, count_bind(statement, policy), policy.required_count);
    executed = execute_rows(stmt.get(), undoing, statement, arrays, rows, chain, [] {});
  }
  chain.run("OCIStmtExecute unsuccessful", [&] { return executed; });
  const bool partial = chain.ok() && !all_rows_done(counts, policy.required_count);
  if (chain.ok() && policy.print_numrows) PrintLine("numrows%d", arrays.numrows.front());

  // Some row changed nothing: the export either undoes the send, or keeps
  // the rows that did change something, which then go with their refresh
  // and follow-up into one commit like a complete send.
  if (partial && !policy.commit_when_not_inserted) {
    stmt.release();
    start.undo();
    ReportFailure(policy.name, not_done_reason(statement, policy, arrays, counts), ErrMess);
    return -1;
  }
  std::string refusal;
  if (chain.ok()) refusal = in_block_refresh_refusal(statement, arrays);
  const FollowUpBlock* follow_up = policy.follow_up_block;
  if (chain.ok() && refusal.empty() && follow_up &&
      (!follow_up->wanted || follow_up->wanted(cache)))
    refusal = RunFollowUpBlock(*follow_up, stmt.get(), chain, identity);
  if (chain.ok() && refusal.empty() && policy.commit) CommitStep(chain);
  // The rows of a partial send that went through to its end stay.
  const bool partial_kept = partial && chain.ok() && refusal.empty();
  if (partial_kept) refusal = not_done_reason(statement, policy, arrays, counts);

  int result = chain.result() + stmt.release();
  if (!refusal.empty()) {
    ReportFailure(policy.name, refusal.c_str(), ErrMess);
    result = -1;
  } else {
    ReportOCIOutcome(result == 0, s.errhp, policy.name, ErrMess);
  }
  // After ErrMess is written: the undo must not replace the error it reports.
  if (result != 0 && !partial_kept) start.undo();
  return result;
}

}  // namespace ferrule
