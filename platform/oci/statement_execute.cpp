// Running a statement. Every execution is one pipelined round trip:
//
//   query outside a transaction:  [prepare] run
//   query inside a transaction:   SAVEPOINT [prepare] run RELEASE
//   DML or block, N rows:         statement_rows.cpp
//   SAVEPOINT, ROLLBACK TO:       connection_savepoints.cpp
//
// A failed query inside a transaction is undone alone: one more round trip
// rolls back to its savepoint and the transaction goes on.
//
// Statement texts are prepared on the server once per connection, so a
// lookup repeated later costs one round trip of bind and execute only.
#include "pipeline_commands.h"
#include "statement.h"

#include <algorithm>

namespace ferrule::oci {

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

void Statement::load_row_values(ub4 first_row, ub4 rows) {
  const size_t n = binds_.size();
  if (n == 0) return;
  for (size_t row = values_.size() / n; row < rows; ++row) append_row_values(first_row + row);
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
  if (!read_block_outputs(result, n, outputs_)) return;
  for (size_t j = 0; j < n; ++j)
    write_back_output(row_in_batch, caller_row, j, outputs_[j].is_null, outputs_[j].text);
}

void Statement::write_back_output(size_t row_in_batch, size_t caller_row, size_t bind,
                                  bool is_null, std::string_view text) {
  // Read-only inputs come back unchanged and must not be written: the
  // caller may have bound a buffer it does not expect to change.
  if (values_.same_as(row_in_batch * binds_.size() + bind, is_null, text)) return;
  binds_[bind]->buffer.write_back(caller_row, is_null, text, encoding_);
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
    connection.record_failure(error, nullptr);
    return OCI_ERROR;
  }
  encoding_ = PQclientEncoding(connection.pg());
  if (savepoint_.kind != SavepointCommand::Kind::kNone) {
    const bool done = savepoint_.kind == SavepointCommand::Kind::kSet
                          ? connection.set_savepoint(savepoint_.name, error)
                          : connection.rollback_to_savepoint(savepoint_.name, error);
    return done ? OCI_SUCCESS : OCI_ERROR;
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
    Pipeline pipeline(connection);
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
        take_rows(std::move(result));
      }
    }
    if (!pipeline.all_queued()) failure.failed = true;
  }
  if (!failure.failed) return OCI_SUCCESS;

  forget_rows();
  connection.record_failure(error, failure.result.get());
  ErrorRecord undo_error;
  connection.undo_failed_statement(undo_error);
  return OCI_ERROR;
}

}  // namespace ferrule::oci
