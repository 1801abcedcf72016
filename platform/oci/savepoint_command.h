// Savepoints that a caller sets and rolls back to with statements of their
// own, as the classic server has them:
//
//   SAVEPOINT name                  marks the transaction's current state
//   ROLLBACK TO [SAVEPOINT] name    undoes everything done since, failed
//                                   statements included, and goes on
//
// A savepoint lives until its transaction ends; setting a name again moves
// it; rolling back to one forgets those set after it, not itself.
#pragma once

#include <string>
#include <string_view>

namespace ferrule::oci {

struct SavepointCommand {
  enum class Kind { kNone, kSet, kRollbackTo };
  Kind kind = Kind::kNone;
  std::string name;  // lower case
};

// What a statement text asks for: kNone for any other text, and for a name
// that is not a plain identifier.
SavepointCommand parse_savepoint_command(std::string_view text);

}  // namespace ferrule::oci
