// Running a DML statement or a block over N rows of array binds, in one
// pipelined round trip:
//
//   [BEGIN] [SAVEPOINT [create] [prepare] RELEASE] SAVEPOINT row 0 .. row N-1 RELEASE
//
// A transaction begins with the first DML or block. The whole batch runs
// under one savepoint: a savepoint per row would cost 5 to 13 us a row,
// about as much as the row itself, and rows almost never fail.
//
// When row k fails the server skips the rest of the batch, and the
// savepoint has to go, taking rows 0 .. k-1 with it. The caller must see
// what a savepoint per row would have given: rows before k kept in the
// transaction with their outputs, row k undone, rows after it not run. So
// one more round trip rolls back to the batch savepoint and runs rows
// 0 .. k-1 again under it, and their outputs are read again (a sequence
// gives new values the second time). Should one of them fail now, it
// becomes the failing row and the rows before it are replayed in turn.
//
// A block's procedure is created under a savepoint of its own, before the
// batch savepoint, so that a failing row does not take it away.
#include "block_procedure.h"
#include "pipeline_commands.h"
#include "statement.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace ferrule::oci {
namespace {

constexpr ub4 kNoRow = std::numeric_limits<ub4>::max();

std::uint64_t affected_rows(const PGresult* result) {
  return std::strtoull(PQcmdTuples(const_cast<PGresult*>(result)), nullptr, 10);
}

// What one pass over the rows learned from its results.
struct RowsOutcome {
  BatchFailure failure;
  ub4 failed_row = kNoRow;  // the row whose run failed; kNoRow when another command did
  ub4 rows_run = 0;         // rows that ran without error
  std::uint64_t rows_processed = 0;  // DML: the rows they touched
};

// Reads the results of a pass in order. on_row(row, result) takes each row
// that ran, on_other(kind) every other command that succeeded; nothing is
// taken after the first failure.
template <class OnRow, class OnOther>
void read_pass(Pipeline& pipeline, RowsOutcome& outcome, OnRow&& on_row, OnOther&& on_other) {
  for (const CommandTag& tag : pipeline.tags()) {
    PgResultPtr result = pipeline.next_result();
    if (outcome.failure.failed) continue;
    if (!result_ok(result.get())) {
      outcome.failure.take(std::move(result));
      if (tag.kind == kRun) outcome.failed_row = tag.row;
      continue;
    }
    if (tag.kind == kRun) {
      on_row(tag.row, result.get());
      ++outcome.rows_run;
    } else {
      on_other(tag.kind);
    }
  }
  if (!pipeline.all_queued()) outcome.failure.failed = true;
}

}  // namespace

sword Statement::run_rows(Connection& connection, ub4 iters, ub4 first_row,
                          ErrorRecord& error) {
  const bool block = parsed_.kind == StatementKind::kBlock;
  const int n = static_cast<int>(binds_.size());

  // The text each row runs: the statement itself, or the call of the
  // block's procedure, created first when this connection has none yet.
  std::string row_sql;
  std::string procedure_key, create_sql;
  Connection::BlockProcedure new_procedure;
  if (!block) {
    row_sql = parsed_.numbered_text;
  } else {
    procedure_key = parsed_.text;
    procedure_key += '\x1f';
    std::vector<const char*> sql_types;
    for (const auto& bind : binds_) {
      sql_types.push_back(bind->buffer.sql_type());
      procedure_key += sql_types.back();
      procedure_key += ',';
    }
    if (const auto* known = connection.block_procedure(procedure_key)) {
      row_sql = known->call_sql;
    } else {
      new_procedure = connection.new_block_procedure();
      new_procedure.call_sql = call_block_procedure_sql(new_procedure.name, binds_.size());
      create_sql = create_block_procedure_sql(parsed_, new_procedure.name, sql_types);
      row_sql = new_procedure.call_sql;
    }
  }
  const Connection::PreparedRef statement = connection.prepared_statement(row_sql, types_);
  const bool prepare_now = !statement.prepared && !statement.name.empty();

  values_.clear();
  for (ub4 i = 0; i < iters; ++i) append_row_values(size_t{first_row} + i);

  auto send_rows = [&](Pipeline& pipeline, ub4 count) {
    for (ub4 i = 0; i < count; ++i) {
      if (statement.name.empty())
        pipeline.send_text({kRun, i}, row_sql, n, types_.data(), row_value_pointers(i));
      else
        pipeline.send_prepared({kRun, i}, statement.name.c_str(), n, row_value_pointers(i));
    }
  };
  auto take_row = [&](RowsOutcome& outcome) {
    return [&](ub4 row, const PGresult* result) {
      if (block)
        write_back_outputs(row, size_t{first_row} + row, result);
      else
        outcome.rows_processed += affected_rows(result);
    };
  };

  RowsOutcome outcome;
  {
    Pipeline pipeline(connection.pg());
    if (!connection.in_transaction())
      send_control(pipeline, control_tag(), control_statement::kBegin);
    if (!create_sql.empty() || prepare_now) {
      send_control(pipeline, control_tag(), control_statement::kSavepoint);
      if (!create_sql.empty())
        pipeline.send_text({kCreateProcedure, 0}, create_sql, 0, nullptr, nullptr);
      if (prepare_now)
        pipeline.send_prepare({kPrepare, 0}, statement.name.c_str(), row_sql, n, types_.data());
      send_control(pipeline, {kSetupDone, 0}, control_statement::kRelease);
    }
    send_control(pipeline, control_tag(), control_statement::kSavepoint);
    send_rows(pipeline, iters);
    send_control(pipeline, control_tag(), control_statement::kRelease);
    pipeline.sync();

    bool created = false;
    read_pass(pipeline, outcome, take_row(outcome), [&](std::uint8_t kind) {
      if (kind == kCreateProcedure) created = true;
      // Prepared statements outlive savepoints and transactions.
      if (kind == kPrepare) connection.remember_prepared(statement);
      if (kind == kSetupDone && created)
        connection.remember_block_procedure(procedure_key, std::move(new_procedure));
    });
  }

  // Rows before a failing row are run again under the batch savepoint.
  while (outcome.failure.failed && outcome.failed_row != kNoRow && outcome.failed_row > 0) {
    RowsOutcome replay;
    {
      Pipeline pipeline(connection.pg());
      send_control(pipeline, control_tag(), control_statement::kRollbackTo);
      send_rows(pipeline, outcome.failed_row);
      send_control(pipeline, control_tag(), control_statement::kRelease);
      pipeline.sync();
      read_pass(pipeline, replay, take_row(replay), [](std::uint8_t) {});
    }
    if (replay.failure.failed) {
      outcome = std::move(replay);
      continue;
    }
    outcome.rows_run = replay.rows_run;
    outcome.rows_processed = replay.rows_processed;
    break;
  }

  // A block counts its executions; DML the rows it touched.
  row_count_ = block ? outcome.rows_run : static_cast<ub4>(outcome.rows_processed);
  if (!outcome.failure.failed) return OCI_SUCCESS;

  record_result_error(error, outcome.failure.result.get(), connection.pg());
  ErrorRecord undo_error;
  connection.undo_failed_statement(undo_error);
  return OCI_ERROR;
}

}  // namespace ferrule::oci
