// A follow-up block: a second block that a send runs once on the same
// statement after its batch, to bring derived data in line with the rows
// just written (link weights, path flags, the server's path tables), and
// then commits. Its :rescode and :numrows are bound but never read: only the
// client status of its steps counts.
#pragma once

#include "insert/caller_identity.h"
#include "insert/row_cache.h"
#include "oci.h"
#include "step_chain.h"

namespace ferrule {

// How the block's :rescode is bound: the server procedures it calls answer
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

// Prepares the block anew on stmt, binds :numrows and :rescode, executes it
// once and commits, each step only while the chain is clean.
void RunFollowUpBlock(const FollowUpBlock& block, OCIStmt* stmt, StepChain& chain,
                      const CallerIdentity& identity);

}  // namespace ferrule
