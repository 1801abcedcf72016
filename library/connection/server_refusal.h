// The database's words for the last failure that the server package caught
// and answered with a result code of its own (a refresh or a build that
// lost a deadlock, say). A call whose answer keeps the package's code and
// the library's word adds them to its reason, so that a caller can tell a
// deadlock, which may be retried, from a failure that would recur.
#pragma once

#include <string>

namespace ferrule {

// `reason`, followed by ": " and the words when the package kept some in
// the open transaction (reading them forgets them). Called right after the
// package answered the failure, in the same transaction; whatever goes
// wrong while reading leaves the reason alone, and the session's error
// record as it was.
std::string WithServerWords(const std::string& reason);

}  // namespace ferrule
