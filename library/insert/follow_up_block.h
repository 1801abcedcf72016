// A follow-up block: a second block that a send runs once on the same
// statement after its batch, to bring derived data in line with the rows
// just written (link weights, path flags, the server's path tables). It is
// committed with the batch, by the send's one commit. Its :numrows is bound
// but not read; its :rescode holds the answer of the server's refresh.
#pragma once

#include <string>

#include "insert/caller_identity.h"
#include "insert/row_cache.h"
#include "oci.h"
#include "step_chain.h"

namespace ferrule {

// How a block's :rescode is bound: the server procedures it calls answer
// an integer or a text.
enum class RescodeKind { Int, Text };

struct FollowUpBlock {
  // Template (statement_text.h); besides the Name list it may name %(login),
  // the caller's login name, written between its quotes.
  const char* text;
  RescodeKind rescode;
  // Whether the batch calls for the block; null: always.
  bool (*wanted)(const RowCache& batch) = nullptr;
};

// The refreshes of the server package that follow changed links: the
// dynamic path tables (CheckAndUpdateDynamicTables, which answers a text)
// and the path-used flags of the stored routes (updatepathused, which
// answers an integer).
extern const FollowUpBlock kRefreshDynamicTables;
extern const FollowUpBlock kRefreshPathsUsed;

// The reason a send is refused with when a refresh answered a failure:
// updatepathused answers 0 when done, anything else (-1) when the database
// refused, which gives "PATH_REFRESH_FAILED: <the database's words>";
// CheckAndUpdateDynamicTables answers "ERROR: <message>", which is the
// reason itself. Empty when the refresh was done.
std::string RefreshRefusal(RescodeKind kind, int int_answer, const char* text_answer);

// Prepares the block anew on stmt, binds :numrows and :rescode and executes
// it once, each step only while the chain is clean. Returns the refusal of
// the refresh's answer (empty when it was done or the chain failed).
std::string RunFollowUpBlock(const FollowUpBlock& block, OCIStmt* stmt, StepChain& chain,
                             const CallerIdentity& identity);

}  // namespace ferrule
