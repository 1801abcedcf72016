// One session's libpq connection and what it remembers between statements:
// the transaction it is in, the statements prepared on the server, and the
// procedures generated for anonymous blocks.
#pragma once

#include "connect_target.h"
#include "error_record.h"
#include "pg_ptr.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace ferrule::oci {

// Server-side prepared statements for the savepoint that protects each
// statement (each batch of array rows) inside a transaction.
namespace control_statement {
constexpr const char* kBegin = "ferrule_begin";
constexpr const char* kSavepoint = "ferrule_savepoint";
constexpr const char* kRelease = "ferrule_release";
constexpr const char* kRollbackTo = "ferrule_rollback_to";
}  // namespace control_statement

// The name of that savepoint, which a caller's own savepoints may not take.
constexpr const char* kStatementSavepoint = "ferrule_statement";

// What a failed commit adds to its reason when COMMIT left and no answer
// came back: the server may have committed.
constexpr const char* kCommitOutcomeUnknown = "; the outcome of the commit is unknown";

class Connection {
 public:
  // Opens the connection, as one call of at most `call_timeout` (zero: no
  // limit but the connect timeout); on failure records why (1017 for a
  // wrong password) and returns null.
  static std::unique_ptr<Connection> open(const ConnectTarget& target,
                                          const std::string& user,
                                          const std::string& password,
                                          std::chrono::milliseconds call_timeout,
                                          ErrorRecord& error);

  // Starts a call: until the next one begins, the waits for the server end
  // `timeout` from now (zero: no limit). A call that runs out of time is
  // abandoned and the connection closed, since the server may still be
  // answering it; the server then ends what it was doing for the call.
  void begin_call(std::chrono::milliseconds timeout);
  // The next result of the command in progress, as PQgetResult, waiting no
  // longer than the call may; null once the call ran out of time.
  PGresult* next_result();
  // Records why the call failed: that it ran out of time, or else what
  // `result` (null: the connection) reports.
  void record_failure(ErrorRecord& error, const PGresult* result) const;

  PGconn* pg() const { return pg_.get(); }
  bool alive() const { return PQstatus(pg_.get()) == CONNECTION_OK; }
  bool in_transaction() const { return PQtransactionStatus(pg_.get()) != PQTRANS_IDLE; }

  // A statement text (with its parameter types) prepared on the server.
  // `name` is empty when the statement must be sent as unnamed text because
  // the cache is full; `prepared` says whether it still has to be prepared.
  struct PreparedRef {
    std::string key;
    std::string name;
    bool prepared = false;
  };
  PreparedRef prepared_statement(const std::string& sql, const std::vector<Oid>& types);
  void remember_prepared(const PreparedRef& ref);

  // The procedure generated for a block text and its bind types, with the
  // text that creates it, should a rollback take it away.
  struct BlockProcedure {
    std::string name;
    std::string call_sql;
    std::string create_sql;
  };
  const BlockProcedure* block_procedure(const std::string& key) const;
  BlockProcedure new_block_procedure();
  // Called once the procedure is created inside the current transaction.
  void remember_block_procedure(const std::string& key, BlockProcedure procedure);

  // After a failed statement inside a transaction: rolls back to the
  // statement's savepoint so that the transaction goes on.
  bool undo_failed_statement(ErrorRecord& error);

  // Succeed at once when no transaction is open. A failed commit is
  // reported; either way the transaction is over, with its savepoints.
  // When COMMIT was sent and no answer came, the reason ends with
  // kCommitOutcomeUnknown; a connection lost before gives the reason alone.
  bool commit(ErrorRecord& error);
  bool rollback(ErrorRecord& error);

  // The caller's own savepoints (savepoint_command.h). One set while no
  // transaction is open costs no round trip: it stands for the start of the
  // transaction the next change begins, and rolling back to it rolls that
  // transaction back. Rolling back to a name never set, or set in a
  // transaction that has ended, fails with the classic number 1086.
  bool set_savepoint(const std::string& name, ErrorRecord& error);
  bool rollback_to_savepoint(const std::string& name, ErrorRecord& error);

 private:
  using Clock = std::chrono::steady_clock;

  explicit Connection(PgConnPtr pg) : pg_(std::move(pg)) {}
  bool set_up_session(ErrorRecord& error);
  // Runs sql (one or more statements) and records a failure.
  bool exec(const std::string& sql, ErrorRecord& error);
  // Waits until PQgetResult would not block; false when the call's time
  // ran out first.
  bool await_result();
  void abandon_call();
  // Forgets the procedures the ended transaction created (a rollback drops
  // them), from the first-th on, and returns SQL that deallocates their
  // prepared calls.
  std::string forget_transaction_procedures(size_t first = 0);
  // After a rollback that took away the procedures the transaction made,
  // from the first-th on: makes them again, under the same names, where the
  // rollback left the session (outside a transaction: for the session), or
  // forgets them when that fails. The server keeps the compiled copy of a
  // dropped procedure until the session ends: made anew by every call that
  // is undone, the procedures would grow the session without end. Made
  // again here, before the next call sets its savepoint, a procedure
  // outlives that call's undo, and its prepared calls stay valid (the
  // server plans them again for the procedure of the same name).
  void remake_procedures(size_t first);

  PgConnPtr pg_;
  std::chrono::milliseconds call_timeout_{0};
  std::optional<Clock::time_point> call_deadline_;
  bool call_timed_out_ = false;
  std::unordered_map<std::string, std::string> prepared_;  // key -> name
  std::unordered_map<std::string, BlockProcedure> procedures_;
  std::vector<std::string> procedures_of_transaction_;  // keys
  struct NamedSavepoint {
    std::string name;
    size_t procedures_before;  // procedures_of_transaction_ when it was set
    bool at_transaction_start;
  };
  std::vector<NamedSavepoint> savepoints_;  // oldest first
  unsigned long next_id_ = 0;
};

}  // namespace ferrule::oci
