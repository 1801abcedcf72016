#include "insert/row_send.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "diagnostics.h"
#include "insert/row_undo.h"
#include "reasons.h"
#include "report.h"
#include "session.h"

namespace ferrule {

namespace {

// The array buffers of one execution: fixed-width copies of the text
// columns, their indicators, the integer columns and the outputs.
//
// Each thread keeps its arrays from one send to the next (see Lease):
// fresh arrays for a batch of 10,000 rows are a megabyte of memory touched
// for the first time, a page fault every 4 KiB, which on the machines
// measured took as long as filling them.
struct BindArrays {
  std::vector<std::vector<char>> texts;
  std::vector<int> widths;
  std::vector<std::vector<sb2>> indicators;
  std::vector<std::vector<int>> values;
  std::vector<int> numrows;
  std::vector<std::vector<int>> outputs;
  std::vector<std::vector<char>> text_outputs;
  std::vector<int> last_row_flags;

  // The calling thread's arrays for one send. Arrays that grew beyond
  // kKeptBytes are given back when the send ends.
  class Lease {
   public:
    Lease() : arrays_(thread_arrays()) {}
    ~Lease() {
      if (arrays_.bytes() > kKeptBytes) arrays_ = BindArrays();
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    BindArrays& operator*() { return arrays_; }

   private:
    static BindArrays& thread_arrays() {
      static thread_local BindArrays arrays;
      return arrays;
    }
    BindArrays& arrays_;
  };
  static constexpr std::size_t kKeptBytes = std::size_t{16} << 20;

  // False when a column cannot be unpacked (it does not hold every row).
  // Every array is sized and written afresh; what a send before left in
  // them only lends its memory.
  bool fill(const RowCache& cache, const InsertStatement& statement) {
    const int rows = cache.rows();
    const std::size_t n_rows = static_cast<std::size_t>(rows);
    texts.resize(cache.texts.size());
    widths.resize(cache.texts.size());
    indicators.resize(cache.texts.size());
    for (std::size_t c = 0; c < cache.texts.size(); ++c) {
      const StringColumnCache& column = cache.texts[c];
      const int width = std::max(column.longest, 1);
      texts[c].assign(n_rows * width, '\0');
      widths[c] = width;
      if (UnpackStringCache(column, rows, width, texts[c].data()) != 0) return false;
      const IntColumnCache& flags = cache.indicators[c];
      if (static_cast<int>(flags.array.size()) < rows) return false;
      indicators[c].assign(flags.array.begin(), flags.array.begin() + rows);
    }
    values.resize(cache.values.size());
    for (std::size_t c = 0; c < cache.values.size(); ++c) {
      const IntColumnCache& column = cache.values[c];
      if (static_cast<int>(column.array.size()) < rows) return false;
      values[c].assign(column.array.begin(), column.array.begin() + rows);
    }
    numrows.assign(n_rows, 0);
    outputs.resize(statement.output_binds.size());
    for (std::vector<int>& output : outputs) output.assign(n_rows, 0);
    text_outputs.resize(statement.text_output_binds.size());
    for (std::vector<char>& output : text_outputs) output.assign(n_rows * kTextOutputSize, '\0');
    last_row_flags.clear();
    if (statement.last_row_flag) {
      last_row_flags.assign(n_rows, 0);
      last_row_flags.back() = 1;
    }
    return true;
  }

  // The integer output bound as name, or null.
  const std::vector<int>* int_output(const InsertStatement& statement, const char* name) const {
    for (std::size_t c = 0; name && c < statement.output_binds.size(); ++c)
      if (std::strcmp(statement.output_binds[c], name) == 0) return &outputs[c];
    return nullptr;
  }
  // The last row's value of the text output bound as name, or null.
  const char* last_text_output(const InsertStatement& statement, const char* name) const {
    for (std::size_t c = 0; name && c < statement.text_output_binds.size(); ++c)
      if (std::strcmp(statement.text_output_binds[c], name) == 0)
        return text_outputs[c].data() + (text_outputs[c].size() - kTextOutputSize);
    return nullptr;
  }

  // The counts that tell whether each row was done.
  const std::vector<int>& counts(const InsertStatement& statement, const char* output) const {
    const std::vector<int>* named = int_output(statement, output);
    return named ? *named : numrows;
  }

  // The memory the arrays hold.
  std::size_t bytes() const {
    std::size_t total = (numrows.capacity() + last_row_flags.capacity()) * sizeof(int);
    for (const auto& text : texts) total += text.capacity();
    for (const auto& flags : indicators) total += flags.capacity() * sizeof(sb2);
    for (const auto& value : values) total += value.capacity() * sizeof(int);
    for (const auto& output : outputs) total += output.capacity() * sizeof(int);
    for (const auto& output : text_outputs) total += output.capacity();
    return total;
  }
};

// Binds one array by name, with its strides.
void bind_array(OCIStmt* stmt, OCIError* errhp, const char* name, void* values, int size,
                ub2 type, sb2* indicators, StepChain& chain) {
  OCIBind* bind = nullptr;
  const bool bound = chain.run("OCIBindByName unsuccessful", [&] {
    return OCIBindByName(stmt, &bind, errhp, reinterpret_cast<const OraText*>(name), -1, values,
                         size, type, indicators, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
  });
  if (!bound) return;
  chain.run("OCIBindArrayOfStruct unsuccessful", [&] {
    return OCIBindArrayOfStruct(bind, errhp, static_cast<ub4>(size),
                                indicators ? sizeof(sb2) : 0, 0, 0);
  });
}

void bind_all(OCIStmt* stmt, OCIError* errhp, const InsertStatement& statement,
              BindArrays& arrays, StepChain& chain) {
  for (std::size_t c = 0; c < statement.text_binds.size() && c < arrays.texts.size(); ++c)
    bind_array(stmt, errhp, statement.text_binds[c], arrays.texts[c].data(), arrays.widths[c],
               SQLT_STR, arrays.indicators[c].data(), chain);
  for (std::size_t c = 0; c < statement.value_binds.size() && c < arrays.values.size(); ++c)
    bind_array(stmt, errhp, statement.value_binds[c], arrays.values[c].data(), sizeof(int),
               SQLT_INT, nullptr, chain);
  bind_array(stmt, errhp, ":numrows", arrays.numrows.data(), sizeof(int), SQLT_INT, nullptr,
             chain);
  for (std::size_t c = 0; c < statement.output_binds.size(); ++c)
    bind_array(stmt, errhp, statement.output_binds[c], arrays.outputs[c].data(), sizeof(int),
               SQLT_INT, nullptr, chain);
  for (std::size_t c = 0; c < statement.text_output_binds.size(); ++c)
    bind_array(stmt, errhp, statement.text_output_binds[c], arrays.text_outputs[c].data(),
               kTextOutputSize, SQLT_STR, nullptr, chain);
  if (statement.last_row_flag)
    bind_array(stmt, errhp, statement.last_row_flag, arrays.last_row_flags.data(), sizeof(int),
               SQLT_INT, nullptr, chain);
}

// The integer output that holds each row's count, as BindArrays::counts
// reads it.
const char* count_bind(const InsertStatement& statement, const SendPolicy& policy) {
  for (const char* output : statement.output_binds)
    if (policy.counted_output && std::strcmp(output, policy.counted_output) == 0) return output;
  return ":numrows";
}

// The block as it runs for each row.
std::string row_block(const InsertStatement& statement, const SendPolicy& policy,
                      const CallerIdentity& identity) {
  const std::string block = statement.format(identity);
  if (policy.rows_not_done_keep_writes) return block;
  return UndoingRowsNotDone(block, count_bind(statement, policy), policy.required_count);
}

// A row is done when its count is the required one, or any but 0.
bool all_rows_done(const std::vector<int>& counts, int required) {
  return std::all_of(counts.begin(), counts.end(),
                     [required](int n) { return required != 0 ? n == required : n != 0; });
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
  const std::string text = row_block(statement, policy, identity);
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, text); });
  bind_all(stmt.get(), s.errhp, statement, arrays, chain);
  CallSavepoint own_start;
  CallSavepoint& start = call_start ? *call_start : own_start;
  if (!call_start) chain.run("OCIStmtExecute unsuccessful", [&] { return own_start.set(); });
  chain.run("OCIStmtExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, static_cast<ub4>(rows), 0, nullptr,
                          nullptr, OCI_DEFAULT);
  });
  if (chain.ok() && policy.print_numrows) PrintLine("numrows%d", arrays.numrows.front());

  // Some row changed nothing: the export either undoes the send, or keeps
  // the rows that did change something, which then go with their refresh
  // and follow-up into one commit like a complete send.
  const bool partial = chain.ok() && !all_rows_done(arrays.counts(statement, policy.counted_output),
                                                    policy.required_count);
  if (partial && !policy.commit_when_not_inserted) {
    stmt.release();
    start.undo();
    ReportFailure(policy.name, policy.not_inserted, ErrMess);
    return -1;
  }
  std::string refusal;
  if (chain.ok()) refusal = in_block_refresh_refusal(statement, arrays);
  const FollowUpBlock* block = policy.follow_up_block;
  if (chain.ok() && refusal.empty() && block && (!block->wanted || block->wanted(cache)))
    refusal = RunFollowUpBlock(*block, stmt.get(), chain, identity);
  if (chain.ok() && refusal.empty() && policy.commit) CommitStep(chain);
  // The rows of a partial send that went through to its end stay.
  const bool partial_kept = partial && chain.ok() && refusal.empty();
  if (partial_kept) refusal = policy.not_inserted;

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
