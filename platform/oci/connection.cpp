#include "connection.h"

#include "pipeline.h"

#include <algorithm>
#include <cstring>

namespace ferrule::oci {
namespace {

// Beyond this many texts, statements are sent as unnamed text: a caller
// that builds texts with literals must not grow server memory without end.
constexpr size_t kMaxPreparedStatements = 512;

// Separates the text from the parameter types in a cache key.
constexpr char kKeySeparator = '\x1f';

}  // namespace

bool Connection::exec(const std::string& sql, ErrorRecord& error) {
  PgResultPtr result(PQexec(pg(), sql.c_str()));
  if (result_ok(result.get())) return true;
  record_result_error(error, result.get(), pg());
  return false;
}

bool Connection::prepare_control_statements(ErrorRecord& error) {
  const std::string savepoint = kStatementSavepoint;
  const std::pair<const char*, std::string> statements[] = {
      {control_statement::kBegin, "BEGIN"},
      {control_statement::kSavepoint, "SAVEPOINT " + savepoint},
      {control_statement::kRelease, "RELEASE SAVEPOINT " + savepoint},
      {control_statement::kRollbackTo, "ROLLBACK TO SAVEPOINT " + savepoint},
  };
  Pipeline pipeline(pg());
  for (const auto& [name, sql] : statements) pipeline.send_prepare({}, name, sql, 0, nullptr);
  pipeline.sync();
  bool ok = pipeline.tags().size() == std::size(statements);
  for (size_t i = 0; i < pipeline.tags().size(); ++i) {
    PgResultPtr result = pipeline.next_result();
    if (ok && !result_ok(result.get())) {
      record_result_error(error, result.get(), pg());
      return false;
    }
  }
  if (!ok) record_result_error(error, nullptr, pg());
  return ok;
}

Connection::PreparedRef Connection::prepared_statement(const std::string& sql,
                                                       const std::vector<Oid>& types) {
  PreparedRef ref;
  ref.key.reserve(sql.size() + 1 + types.size() * 4);
  ref.key = sql;
  ref.key += kKeySeparator;
  for (Oid type : types) {
    ref.key += std::to_string(type);
    ref.key += ',';
  }
  if (auto found = prepared_.find(ref.key); found != prepared_.end()) {
    ref.name = found->second;
    ref.prepared = true;
  } else if (prepared_.size() < kMaxPreparedStatements) {
    ref.name = "ferrule_s" + std::to_string(++next_id_);
  }
  return ref;
}

void Connection::remember_prepared(const PreparedRef& ref) {
  if (!ref.name.empty()) prepared_.emplace(ref.key, ref.name);
}

const Connection::BlockProcedure* Connection::block_procedure(const std::string& key) const {
  auto found = procedures_.find(key);
  return found == procedures_.end() ? nullptr : &found->second;
}

Connection::BlockProcedure Connection::new_block_procedure() {
  BlockProcedure procedure;
  procedure.name = "ferrule_block_" + std::to_string(++next_id_);
  return procedure;
}

void Connection::remember_block_procedure(const std::string& key, BlockProcedure procedure) {
  procedures_[key] = std::move(procedure);
  procedures_of_transaction_.push_back(key);
}

std::string Connection::forget_transaction_procedures(size_t first) {
  std::string deallocate;
  for (size_t i = first; i < procedures_of_transaction_.size(); ++i) {
    const std::string& key = procedures_of_transaction_[i];
    auto procedure = procedures_.find(key);
    if (procedure == procedures_.end()) continue;
    const std::string call_prefix = procedure->second.call_sql + kKeySeparator;
    for (auto it = prepared_.begin(); it != prepared_.end();) {
      if (it->first.compare(0, call_prefix.size(), call_prefix) == 0) {
        deallocate += "; DEALLOCATE " + it->second;
        it = prepared_.erase(it);
      } else {
        ++it;
      }
    }
    procedures_.erase(procedure);
  }
  procedures_of_transaction_.resize(std::min(first, procedures_of_transaction_.size()));
  return deallocate;
}

bool Connection::undo_failed_statement(ErrorRecord& error) {
  if (PQtransactionStatus(pg()) != PQTRANS_INERROR) return true;
  const std::string savepoint = kStatementSavepoint;
  return exec("ROLLBACK TO SAVEPOINT " + savepoint + "; RELEASE SAVEPOINT " + savepoint, error);
}

bool Connection::commit(ErrorRecord& error) {
  savepoints_.clear();
  if (!in_transaction()) return true;
  PgResultPtr result(PQexec(pg(), "COMMIT"));
  if (result_ok(result.get()) && std::strcmp(PQcmdStatus(result.get()), "COMMIT") == 0) {
    procedures_of_transaction_.clear();
    return true;
  }
  // A transaction the server had aborted answers COMMIT with ROLLBACK.
  if (result_ok(result.get()))
    error.set(error_number::kTransactionRolledBack, "transaction rolled back");
  else
    record_result_error(error, result.get(), pg());
  std::string deallocate = forget_transaction_procedures();
  if (!deallocate.empty() && alive()) {
    ErrorRecord ignored;
    exec(deallocate.substr(2), ignored);
  }
  return false;
}

bool Connection::rollback(ErrorRecord& error) {
  savepoints_.clear();
  if (!in_transaction()) return true;
  return exec("ROLLBACK" + forget_transaction_procedures(), error);
}

}  // namespace ferrule::oci
