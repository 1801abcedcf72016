// Running a statement. Every execution is one pipelined round trip:
//
//   query outside a transaction:  [prepare] run
//   query inside a transaction:   SAVEPOINT [prepare] run RELEASE
//   DML or block, N rows:         [BEGIN] [SAVEPOINT [create] [prepare] RELEASE]
//                                 then per row: SAVEPOINT run RELEASE
//
// A transaction begins with the first DML or block. Each statement (each
// row) inside it has a savepoint of its own, so that a failure undoes only
// that statement: the server skips the rest of the batch, and one more round
// trip rolls back to the savepoint and the transaction goes on. Catching the
// error inside a block's procedure would save about 1.5 us a row, but covers
// neither plain DML nor errors PL/pgSQL cannot catch (a cancel), and rows
// after the failing one would still run.
//
// Statement texts are prepared on the server once per connection, so a
// lookup repeated later costs one round trip of bind and execute only.
#include "block_procedure.h"
#include "pipeline.h"
#include "statement.h"

#include <algorithm>
#include <cstdlib>

namespace ferrule::oci {
namespace {

// What a queued command is, for reading its result.
enum CommandKind : std::uint8_t {
  kControl,          // BEGIN, SAVEPOINT, RELEASE of a row
  kCreateProcedure,  // a block's procedure
  kPrepare,          // the statement text, prepared on the server
  kSetupDone,        // the RELEASE that keeps the setup
  kRun,              // the statement itself (row `tag.row`)
  kRowDone,          // the RELEASE that keeps row `tag.row`
};

constexpr CommandTag control_tag() { return {kControl, 0}; }

void send_control(Pipeline& pipeline, CommandTag tag, const char* statement_name) {
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

std::uint64_t affected_rows(const PGresult* result) {
  return std::strtoull(PQcmdTuples(const_cast<PGresult*>(result)), nullptr, 10);
}

}  // namespace

bool Statement::all_bound(ErrorRecord& error) const {
  bool bound = std::all_of(binds_.begin(), binds_.end(), [](const auto& bind) { return bind != nullptr; });
  if (!bound) error.set(error_number::kNotAllVariablesBound, "not all variables bound");
  return bound;
}

void Statement::collect_types() {
  types_.clear();
  for (const auto& bind : binds_) types_.push_back(bind->buffer.type_oid());
}

void Statement::append_row_values(size_t row) {
  for (const auto& bind : binds_) bind->buffer.append_value(row, values_);
}

const char* const* Statement::row_value_pointers(size_t row_in_batch) {
  const size_t n = binds_.size();
  value_pointers_.resize(n);
  for (size_t j = 0; j < n; ++j) value_pointers_[j] = values_.value(row_in_batch * n + j);
  return value_pointers_.data();
}

void Statement::write_back_outputs(size_t row_in_batch, size_t caller_row,
                                   const PGresult* result) {
  const size_t n = binds_.size();
  if (!result || PQntuples(result) < 1 || static_cast<size_t>(PQnfields(result)) != n) return;
  for (size_t j = 0; j < n; ++j) {
    const int column = static_cast<int>(j);
    const bool is_null = PQgetisnull(result, 0, column) != 0;
    const std::string_view text(PQgetvalue(result, 0, column),
                                static_cast<size_t>(PQgetlength(result, 0, column)));
    // Read-only inputs come back unchanged and must not be written: the
    // caller may have bound a buffer it does not expect to change.
    if (values_.same_as(row_in_batch * n + j, is_null, text)) continue;
    binds_[j]->buffer.write_back(caller_row, is_null, text);
  }
}

sword Statement::execute(Connection& connection, ub4 iters, ub4 first_row,
                         ErrorRecord& error) {
  forget_rows();
  row_count_ = 0;
  if (parsed_.text.empty()) {
    error.set(error_number::kOther, "no statement prepared");
    return OCI_ERROR;
  }
  if (!all_bound(error)) return OCI_ERROR;
  if (!connection.alive()) {
    record_result_error(error, nullptr, connection.pg());
    return OCI_ERROR;
  }
  collect_types();
  if (parsed_.kind == StatementKind::kQuery) {
    sword status = run_query(connection, first_row, error);
    // As on the classic server, a query executed for rows delivers the
    // first one at once.
    if (status == OCI_SUCCESS && iters > 0) return fetch(error);
    return status;
  }
  // A DML statement never runs outside a transaction, whatever the count.
  return run_rows(connection, std::max<ub4>(iters, 1), first_row, error);
}

sword Statement::run_query(Connection& connection, ub4 row, ErrorRecord& error) {
  values_.clear();
  append_row_values(row);
  const char* const* values = row_value_pointers(0);
  const int n = static_cast<int>(binds_.size());
  const bool protect = connection.in_transaction();
  const Connection::PreparedRef statement =
      connection.prepared_statement(parsed_.numbered_text, types_);

  BatchFailure failure;
  {
    Pipeline pipeline(connection.pg());
    if (protect) send_control(pipeline, control_tag(), control_statement::kSavepoint);
    if (statement.name.empty()) {
      pipeline.send_text({kRun, 0}, parsed_.numbered_text, n, types_.data(), values);
    } else {
      if (!statement.prepared)
        pipeline.send_prepare({kPrepare, 0}, statement.name.c_str(), parsed_.numbered_text, n,
                              types_.data());
      pipeline.send_prepared({kRun, 0}, statement.name.c_str(), n, values);
    }
    if (protect) send_control(pipeline, control_tag(), control_statement::kRelease);
    pipeline.sync();

    for (const CommandTag& tag : pipeline.tags()) {
      PgResultPtr result = pipeline.next_result();
      if (failure.failed) continue;
      if (!result_ok(result.get())) {
        failure.take(std::move(result));
      } else if (tag.kind == kPrepare) {
        connection.remember_prepared(statement);
      } else if (tag.kind == kRun) {
        rows_ = std::move(result);
      }
    }
    if (!pipeline.all_queued()) failure.failed = true;
  }
  if (!failure.failed) return OCI_SUCCESS;

  rows_.reset();
  record_result_error(error, failure.result.get(), connection.pg());
  ErrorRecord undo_error;
  connection.undo_failed_statement(undo_error);
  return OCI_ERROR;
}

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

  BatchFailure failure;
  ub4 rows_done = 0;
  std::uint64_t rows_processed = 0;
  {
    Pipeline pipeline(connection.pg());
    if (!connection.in_transaction())
      send_control(pipeline, control_tag(), control_statement::kBegin);
    // The procedure is created under a savepoint of its own, before the
    // rows' savepoints: a failing row must not take it away.
    if (!create_sql.empty() || prepare_now) {
      send_control(pipeline, control_tag(), control_statement::kSavepoint);
      if (!create_sql.empty())
        pipeline.send_text({kCreateProcedure, 0}, create_sql, 0, nullptr, nullptr);
      if (prepare_now)
        pipeline.send_prepare({kPrepare, 0}, statement.name.c_str(), row_sql, n, types_.data());
      send_control(pipeline, {kSetupDone, 0}, control_statement::kRelease);
    }
    for (ub4 i = 0; i < iters; ++i) {
      send_control(pipeline, control_tag(), control_statement::kSavepoint);
      if (statement.name.empty())
        pipeline.send_text({kRun, i}, row_sql, n, types_.data(), row_value_pointers(i));
      else
        pipeline.send_prepared({kRun, i}, statement.name.c_str(), n, row_value_pointers(i));
      send_control(pipeline, {kRowDone, i}, control_statement::kRelease);
    }
    pipeline.sync();

    bool created = false;
    PgResultPtr row_result;
    for (const CommandTag& tag : pipeline.tags()) {
      PgResultPtr result = pipeline.next_result();
      if (failure.failed) continue;
      if (!result_ok(result.get())) {
        failure.take(std::move(result));
        continue;
      }
      switch (tag.kind) {
        case kCreateProcedure:
          created = true;
          break;
        case kPrepare:
          // Prepared statements outlive savepoints and transactions.
          connection.remember_prepared(statement);
          break;
        case kSetupDone:
          if (created) connection.remember_block_procedure(procedure_key, std::move(new_procedure));
          break;
        case kRun:
          row_result = std::move(result);
          break;
        case kRowDone:
          if (block)
            write_back_outputs(tag.row, size_t{first_row} + tag.row, row_result.get());
          else
            rows_processed += affected_rows(row_result.get());
          ++rows_done;
          break;
        default:
          break;
      }
    }
    if (!pipeline.all_queued()) failure.failed = true;
  }
  // A block counts its executions; DML the rows it touched.
  row_count_ = block ? rows_done : static_cast<ub4>(rows_processed);
  if (!failure.failed) return OCI_SUCCESS;

  record_result_error(error, failure.result.get(), connection.pg());
  ErrorRecord undo_error;
  connection.undo_failed_statement(undo_error);
  return OCI_ERROR;
}

}  // namespace ferrule::oci
