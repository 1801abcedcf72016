// Sending rows: one array-bound execution of an insert block over every row
// of a cache (a second one when a row was not done, row_undo.h), the check
// of each row's count of inserted rows, an export's follow-up block and the
// commit. Cached batches and single-row inserts share it.
//
// A send is committed whole, with its follow-up and the server refreshes it
// calls, or not at all: when a step fails, a refresh answers a failure, the
// commit fails, or rows changed nothing that the export does not commit
// without, the transaction goes back to where the send began
// (call_savepoint.h). An export's partial send is committed the same way:
// the rows that changed something, with their refresh and follow-up, then
// answered with its "COULDNOT_" word; a row that changed nothing leaves
// nothing of its own in it (row_undo.h).
#pragma once

#include <vector>

#include "insert/caller_identity.h"
#include "insert/follow_up_block.h"
#include "insert/insert_statement.h"
#include "insert/row_cache.h"
#include "call_savepoint.h"
#include "oci.h"
#include "step_chain.h"

namespace ferrule {

// Diagnostics of a send, printed once its text columns are unpacked.
using SendTrace = void (*)(const RowCache& cache,
                           const std::vector<std::vector<char>>& unpacked);

// Why a row was not done, where its block says it: the integer output that
// the block sets to a value other than 0 on a row it refuses for that
// reason. The answer of a send whose first row not done says so gives the
// reason in place of the export's word.
struct RowReason {
  const char* output = nullptr;  // null: the block says no reason
  const char* reason = nullptr;
};

struct SendPolicy {
  const char* name;                 // appliName of the ErrMess texts
  const char* not_inserted;         // reason when a row inserted nothing
  // True: the rows that did get in are sent on (follow-up, refresh, commit)
  // and answered with that word; false: the send is undone.
  bool commit_when_not_inserted;
  // A second block after a complete send, when the send calls for it.
  const FollowUpBlock* follow_up_block = nullptr;
  SendTrace trace = nullptr;
  bool print_numrows = false;       // "numrows<n>" after a one-row execution

  // Rules that the updates add; the defaults keep the inserts' behaviour.
  // The integer output that holds each row's count (null: :numrows), and
  // the count a row must reach to count as done (0: any count but 0).
  const char* counted_output = nullptr;
  int required_count = 0;
  // False: a complete send leaves its rows in the open transaction.
  bool commit = true;
  // A row that counts as not done leaves nothing of its own in a send that
  // keeps the other rows (row_undo.h), unless its export's count is not
  // whether the row wrote: true keeps what such a row wrote.
  bool rows_not_done_keep_writes = false;
  RowReason own_reason = {};
};

// Sends every row of the cache (the cache itself is left as it is) and
// writes ErrMess. Returns 0, -1, or the code of the first failed step.
// call_start: where the calling export began, when statements of its own
// come before the send and go with it; null: where the send begins.
int SendRows(const InsertStatement& statement, const SendPolicy& policy, const RowCache& cache,
             const CallerIdentity& identity, char* ErrMess,
             CallSavepoint* call_start = nullptr);

}  // namespace ferrule
