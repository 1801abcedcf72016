#include "connection.h"

#include "pipeline.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace ferrule::oci {
namespace {

// Beyond this many texts, statements are sent as unnamed text: a caller
// that builds texts with literals must not grow server memory without end.
constexpr size_t kMaxPreparedStatements = 512;

// Separates the text from the parameter types in a cache key.
constexpr char kKeySeparator = '\x1f';

// While it runs a statement, the server looks this often whether its
// client is still there. A client that gave up a call (its time ran out, or
// its process ended) has closed the connection: the server then stops the
// statement, and a wait for a lock with it, instead of going on for nobody
// until the lock is free.
constexpr const char* kClientCheck = "SET client_connection_check_interval = 1000";

// An integer option as libpq reads it: blanks around it and a sign
// allowed, nothing else; false for a text libpq would have refused.
bool libpq_integer(const char* text, long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text, &end, 10);
  if (end == text || errno != 0 || value != static_cast<int>(value)) return false;
  while (*end != '\0' && std::isspace(static_cast<unsigned char>(*end))) ++end;
  return *end == '\0';
}

// The server watches its side of the connection as the client watches its
// own: a session whose client's network vanished is ended within about the
// same time, whether it waited for the client (idle in a transaction that
// holds locks, say: the keepalives) or had just sent it an answer that was
// never acknowledged (the user timeout), instead of after the server's own
// TCP defaults (over two hours, or a quarter of an hour), which the library
// cannot count on a site's server to change. The settings mirror the
// client's (connect_target.h), which the server text may have changed.
// When it turned keepalives off, libpq sets neither the keepalives nor the
// user timeout on the client's socket, and the server keeps its own for
// both. On a unix socket the server ignores them.
std::vector<std::string> server_keepalive_settings(PGconn* conn) {
  std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)> options(PQconninfo(conn),
                                                                          PQconninfoFree);
  struct Mirrored {
    const char* client;
    const char* server;
  };
  const Mirrored mirrored[] = {
      {"keepalives_idle", "tcp_keepalives_idle"},
      {"keepalives_interval", "tcp_keepalives_interval"},
      {"keepalives_count", "tcp_keepalives_count"},
      {"tcp_user_timeout", "tcp_user_timeout"},
  };
  // libpq turns keepalives off for any number that reads 0, and takes a
  // negative time or count as 0 (the system's default).
  std::vector<std::string> settings;
  for (const PQconninfoOption* o = options.get(); o && o->keyword; ++o) {
    long value = 0;
    if (!o->val || !libpq_integer(o->val, value)) continue;
    if (std::strcmp(o->keyword, "keepalives") == 0 && value == 0) return {};
    for (const Mirrored& m : mirrored)
      if (std::strcmp(o->keyword, m.client) == 0)
        settings.push_back(std::string("SET ") + m.server + " = " +
                           std::to_string(std::max(value, 0L)));
  }
  return settings;
}

// An answer from the server, rather than libpq's report of a lost
// connection.
bool server_answered(const PGresult* result) {
  return result_ok(result) || PQresultErrorField(result, PG_DIAG_SQLSTATE) != nullptr;
}

}  // namespace

bool Connection::exec(const std::string& sql, ErrorRecord& error) {
  PgResultPtr last;
  if (PQsendQuery(pg(), sql.c_str()) == 1)
    while (PgResultPtr result{next_result()}) last = std::move(result);
  if (last && result_ok(last.get())) return true;
  record_failure(error, last.get());
  return false;
}

bool Connection::set_up_session(ErrorRecord& error) {
  const std::string savepoint = kStatementSavepoint;
  const std::pair<const char*, std::string> statements[] = {
      {control_statement::kBegin, "BEGIN"},
      {control_statement::kSavepoint, "SAVEPOINT " + savepoint},
      {control_statement::kRelease, "RELEASE SAVEPOINT " + savepoint},
      {control_statement::kRollbackTo, "ROLLBACK TO SAVEPOINT " + savepoint},
  };
  std::vector<std::string> settings = server_keepalive_settings(pg());
  settings.push_back(kClientCheck);
  Pipeline pipeline(*this);
  for (const auto& [name, sql] : statements) pipeline.send_prepare({}, name, sql, 0, nullptr);
  for (const std::string& setting : settings)
    pipeline.send_text({}, setting, 0, nullptr, nullptr);
  pipeline.sync();
  bool ok = pipeline.tags().size() == std::size(statements) + settings.size();
  for (size_t i = 0; i < pipeline.tags().size(); ++i) {
    PgResultPtr result = pipeline.next_result();
    if (ok && !result_ok(result.get())) {
      record_failure(error, result.get());
      return false;
    }
  }
  if (!ok) record_failure(error, nullptr);
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

void Connection::remake_procedures(size_t first) {
  if (first >= procedures_of_transaction_.size()) return;
  std::string creates;
  for (size_t i = first; i < procedures_of_transaction_.size(); ++i) {
    auto procedure = procedures_.find(procedures_of_transaction_[i]);
    if (procedure != procedures_.end()) creates += procedure->second.create_sql + ";\n";
  }
  // Outside a transaction they are made for the session; inside one, under
  // the statement savepoint, so that a failure leaves the transaction as
  // the rollback left it.
  const bool open = in_transaction();
  const std::string savepoint = kStatementSavepoint;
  ErrorRecord ignored;
  const bool made =
      alive() && exec(open ? "SAVEPOINT " + savepoint + ";\n" + creates + "RELEASE SAVEPOINT " +
                                 savepoint
                           : creates,
                      ignored);
  if (made) {
    if (!open) procedures_of_transaction_.resize(first);
    return;
  }
  if (open) undo_failed_statement(ignored);
  const std::string deallocate = forget_transaction_procedures(first);
  if (!deallocate.empty() && alive()) exec(deallocate.substr(2), ignored);
}

bool Connection::undo_failed_statement(ErrorRecord& error) {
  if (PQtransactionStatus(pg()) != PQTRANS_INERROR) return true;
  const std::string savepoint = kStatementSavepoint;
  return exec("ROLLBACK TO SAVEPOINT " + savepoint + "; RELEASE SAVEPOINT " + savepoint, error);
}

bool Connection::commit(ErrorRecord& error) {
  savepoints_.clear();
  if (!in_transaction()) return true;
  // What came while the session was idle (the server ending it, say) is
  // read first: a connection found lost now never sent COMMIT.
  PQconsumeInput(pg());
  const bool sent = alive() && PQsendQuery(pg(), "COMMIT") == 1;
  PgResultPtr answer, last;
  while (PgResultPtr result{next_result()}) {
    if (!answer && server_answered(result.get()))
      answer = std::move(result);
    else
      last = std::move(result);
  }
  if (answer && result_ok(answer.get()) && std::strcmp(PQcmdStatus(answer.get()), "COMMIT") == 0) {
    procedures_of_transaction_.clear();
    return true;
  }
  // A transaction the server had aborted answers COMMIT with ROLLBACK.
  if (answer && result_ok(answer.get())) {
    error.set(error_number::kTransactionRolledBack, "transaction rolled back");
  } else if (answer || !sent) {
    record_failure(error, answer.get());
  } else {
    // Lost on its way or after the server committed: the client cannot
    // tell, and a caller who sends again may store everything twice.
    record_failure(error, last.get());
    error.message += kCommitOutcomeUnknown;
  }
  remake_procedures(0);
  return false;
}

bool Connection::rollback(ErrorRecord& error) {
  savepoints_.clear();
  if (!in_transaction()) return true;
  const bool rolled_back = exec("ROLLBACK", error);
  remake_procedures(0);
  return rolled_back;
}

}  // namespace ferrule::oci
