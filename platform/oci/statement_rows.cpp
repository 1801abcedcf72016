// Running a DML statement or a block over N rows of array binds. A block
// with many rows runs in chunks of rows (statement_chunks.cpp); otherwise,
// and from the first row of a chunk that failed, each row runs on its own,
// all in one pipeline:
//
//   [setup] SAVEPOINT row 0 .. row N-1 RELEASE        (setup: pass_setup.h)
//
// sent in parts of some 32 kB, each part's answers read before the next
// part goes (pipeline.h says why).
//
// The whole batch runs under one savepoint: a savepoint per row would cost
// 5 to 13 us a row, about as much as the row itself, and rows almost never
// fail.
//
// When row k fails the server skips the rest of the batch, and the
// savepoint has to go, taking rows 0 .. k-1 with it. The caller must see
// what a savepoint per row would have given: rows before k kept in the
// transaction with their outputs, row k undone, rows after it not run. So
// one more round trip rolls back to the batch savepoint and runs rows
// 0 .. k-1 again under it, and their outputs are read again (a sequence
// gives new values the second time). Should one of them fail now, it
// becomes the failing row and the rows before it are replayed in turn.
#include "pass_setup.h"
#include "pipeline_commands.h"
#include "statement.h"

#include <algorithm>
#include <cstdlib>

namespace ferrule::oci {
namespace {

// What a value takes in the values' buffer, about: small numbers and
// names with their NUL.
constexpr size_t kValueBytesGuess = 8;

std::uint64_t affected_rows(const PGresult* result) {
  return std::strtoull(PQcmdTuples(const_cast<PGresult*>(result)), nullptr, 10);
}

}  // namespace

std::vector<const char*> Statement::bind_sql_types() const {
  std::vector<const char*> sql_types;
  for (const auto& bind : binds_) sql_types.push_back(bind->buffer.sql_type());
  return sql_types;
}

sword Statement::run_rows(Connection& connection, ub4 iters, ub4 first_row,
                          ErrorRecord& error) {
  // The chunks read the rows' values as they are sent, so that the first
  // chunk goes out before the values of the last row are read. Room for
  // them all at once: grown row by row, the buffers would be copied again
  // and again.
  values_.clear();
  values_.reserve(size_t{iters} * binds_.size(), size_t{iters} * binds_.size() * kValueBytesGuess);
  RowsOutcome outcome;
  if (chunkable_ && iters >= kMinRowsForChunks) {
    outcome = run_chunks(connection, iters, first_row);
    // A chunk that failed, or a chunk function that could not be made, is
    // run again row by row from its first row: that finds the failing row,
    // and keeps the rows before it.
    const bool by_row = outcome.failed_kind == kRun || outcome.failed_kind == kCreateProcedure ||
                        outcome.failed_kind == kPrepare;
    if (outcome.failure.failed && by_row) {
      ErrorRecord undo_error;
      connection.undo_failed_statement(undo_error);
      const ub4 rows_kept = outcome.rows_run;
      outcome = run_each_row(connection, iters, first_row, rows_kept);
      outcome.rows_run += rows_kept;
    }
  } else {
    outcome = run_each_row(connection, iters, first_row, 0);
  }

  // A block counts its executions; DML the rows it touched.
  const bool block = parsed_.kind == StatementKind::kBlock;
  row_count_ = block ? outcome.rows_run : static_cast<ub4>(outcome.rows_processed);
  if (!outcome.failure.failed) return OCI_SUCCESS;

  connection.record_failure(error, outcome.failure.result.get());
  ErrorRecord undo_error;
  connection.undo_failed_statement(undo_error);
  return OCI_ERROR;
}

RowsOutcome Statement::run_each_row(Connection& connection, ub4 iters, ub4 first_row,
                                    ub4 start) {
  load_row_values(first_row, iters);
  const bool block = parsed_.kind == StatementKind::kBlock;
  PassSetup setup = block ? PassSetup(connection, parsed_, bind_sql_types(), types_,
                                      PassSetup::Calls::kPerRow)
                          : PassSetup(connection, parsed_.numbered_text, types_);

  auto take_row = [&](RowsOutcome& outcome) {
    return [&](ub4 row, const PGresult* result) -> ub4 {
      if (block)
        write_back_outputs(row, size_t{first_row} + row, result);
      else
        outcome.rows_processed += affected_rows(result);
      return 1;
    };
  };
  auto take_setup = [&](std::uint8_t kind) { setup.took(kind); };
  // The rows go out in parts (pipeline.h), each part's answers read before
  // the next is sent; none is sent after a failure, which the server would
  // skip.
  auto send_rows = [&](Pipeline& pipeline, RowsOutcome& outcome, ub4 end) {
    for (ub4 i = start; i < end && !outcome.failure.failed; ++i) {
      setup.send_run(pipeline, {kRun, i}, row_value_pointers(i));
      if (pipeline.answers_due()) {
        pipeline.request_answers();
        read_pass(pipeline, outcome, take_row(outcome), take_setup);
      }
    }
  };

  RowsOutcome outcome;
  {
    Pipeline pipeline(connection);
    setup.send(pipeline);
    send_control(pipeline, control_tag(), control_statement::kSavepoint);
    send_rows(pipeline, outcome, iters);
    send_control(pipeline, control_tag(), control_statement::kRelease);
    pipeline.sync();
    read_pass(pipeline, outcome, take_row(outcome), take_setup);
  }

  // Rows before a failing row are run again under the batch savepoint.
  while (outcome.failure.failed && outcome.failed_row != kNoRow && outcome.failed_row > start) {
    RowsOutcome replay;
    {
      Pipeline pipeline(connection);
      send_control(pipeline, control_tag(), control_statement::kRollbackTo);
      send_rows(pipeline, replay, outcome.failed_row);
      send_control(pipeline, control_tag(), control_statement::kRelease);
      pipeline.sync();
      read_pass(pipeline, replay, take_row(replay), take_setup);
    }
    if (replay.failure.failed) {
      outcome = std::move(replay);
      continue;
    }
    outcome.rows_run = replay.rows_run;
    outcome.rows_processed = replay.rows_processed;
    break;
  }
  return outcome;
}

}  // namespace ferrule::oci
