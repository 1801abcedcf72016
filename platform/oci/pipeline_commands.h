// The commands that one execution of a statement queues on a pipeline: what
// each one is, for reading its result, and the first failure among them.
#pragma once

#include "connection.h"
#include "pipeline.h"

#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace ferrule::oci {

enum CommandKind : std::uint8_t {
  kControl,          // BEGIN, SAVEPOINT, RELEASE, ROLLBACK TO
  kCreateProcedure,  // a block's procedure
  kPrepare,          // the statement text, prepared on the server
  kSetupDone,        // the RELEASE that keeps the procedure
  kRun,              // the statement itself (row `tag.row`)
};

constexpr CommandTag control_tag() { return {kControl, 0}; }

// Queues one of the connection's prepared control statements.
inline void send_control(Pipeline& pipeline, CommandTag tag, const char* statement_name) {
  pipeline.send_prepared(tag, statement_name, 0, nullptr);
}

// The first failure of a batch; the server skipped everything after it.
struct BatchFailure {
  bool failed = false;
  PgResultPtr result;

  void take(PgResultPtr failed_result) {
    failed = true;
    result = std::move(failed_result);
  }
};

constexpr std::uint32_t kNoRow = std::numeric_limits<std::uint32_t>::max();

// What one pass over array rows learned from its results.
struct RowsOutcome {
  BatchFailure failure;
  std::uint8_t failed_kind = kControl;  // what the failed command was
  std::uint32_t failed_row = kNoRow;    // its row when it ran rows, else kNoRow
  std::uint32_t rows_run = 0;           // rows that ran without error
  std::uint64_t rows_processed = 0;     // DML: the rows they touched
};

// Reads, in order, the results of a pass's commands that are queued and not
// read yet: all of them after the sync, or a part's after its answers were
// requested. on_row(row, result) takes each run that succeeded and answers
// how many rows it ran; on_other(kind) takes every other command that
// succeeded. Nothing is taken after the first failure.
template <class OnRow, class OnOther>
void read_pass(Pipeline& pipeline, RowsOutcome& outcome, OnRow&& on_row, OnOther&& on_other) {
  const std::vector<CommandTag>& tags = pipeline.tags();
  for (size_t i = pipeline.results_read(); i < tags.size(); ++i) {
    const CommandTag tag = tags[i];
    PgResultPtr result = pipeline.next_result();
    if (outcome.failure.failed) continue;
    if (!result_ok(result.get())) {
      outcome.failure.take(std::move(result));
      outcome.failed_kind = tag.kind;
      if (tag.kind == kRun) outcome.failed_row = tag.row;
      continue;
    }
    if (tag.kind == kRun)
      outcome.rows_run += on_row(tag.row, result.get());
    else
      on_other(tag.kind);
  }
  if (!pipeline.all_queued()) outcome.failure.failed = true;
}

}  // namespace ferrule::oci
