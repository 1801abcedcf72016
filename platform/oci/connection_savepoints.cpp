// The caller's own savepoints of a connection (savepoint_command.h).
#include "connection.h"

#include <algorithm>

namespace ferrule::oci {
namespace {

// What the classic server answers for a savepoint it does not know.
constexpr int kSavepointNeverEstablished = 1086;

}  // namespace

bool Connection::set_savepoint(const std::string& name, ErrorRecord& error) {
  // The savepoint around each statement must stay the layer's own.
  if (name == kStatementSavepoint) {
    error.set(error_number::kOther, "savepoint name " + name + " is reserved");
    return false;
  }
  const bool open = in_transaction();
  // The name moves here. When nothing was set after the older one, the
  // server lets it go first (its changes stay in the transaction), so that
  // a caller who sets one name call after call does not nest a server
  // savepoint per call; otherwise the server keeps the older one hidden
  // until the transaction ends, which changes nothing the caller sees.
  const bool newest_of_name = open && !savepoints_.empty() &&
                              savepoints_.back().name == name &&
                              !savepoints_.back().at_transaction_start;
  if (open && !exec((newest_of_name ? "RELEASE SAVEPOINT " + name + "; " : std::string()) +
                        "SAVEPOINT " + name,
                    error))
    return false;
  // Outside a transaction, none of an ended one can be left.
  savepoints_.erase(std::remove_if(savepoints_.begin(), savepoints_.end(),
                                   [&](const NamedSavepoint& s) {
                                     return s.name == name || (!open && !s.at_transaction_start);
                                   }),
                    savepoints_.end());
  savepoints_.push_back({name, open ? procedures_of_transaction_.size() : 0, !open});
  return true;
}

bool Connection::rollback_to_savepoint(const std::string& name, ErrorRecord& error) {
  auto found = std::find_if(savepoints_.rbegin(), savepoints_.rend(),
                            [&](const NamedSavepoint& s) { return s.name == name; });
  // A savepoint inside a transaction that ended (a lost connection, say)
  // is gone with it.
  if (found == savepoints_.rend() || (!found->at_transaction_start && !in_transaction())) {
    error.set(kSavepointNeverEstablished,
              "savepoint '" + name + "' never established in this session or is invalid");
    return false;
  }
  // Those set after it go; it stays.
  savepoints_.erase(found.base(), savepoints_.end());
  const NamedSavepoint kept = savepoints_.back();

  if (kept.at_transaction_start) {
    std::vector<NamedSavepoint> still_set = std::move(savepoints_);
    const bool rolled_back = rollback(error);
    savepoints_ = std::move(still_set);
    return rolled_back;
  }
  if (!exec("ROLLBACK TO SAVEPOINT " + name, error)) {
    forget_transaction_procedures(kept.procedures_before);
    return false;
  }
  remake_procedures(kept.procedures_before);
  return true;
}

}  // namespace ferrule::oci
