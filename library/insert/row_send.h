// Sending rows: one array-bound execution of an insert block over every row
// of a cache, the check of each row's count of inserted rows, the commit and
// an export's follow-up block. Cached batches and single-row inserts share it.
#pragma once

#include <vector>

#include "insert/caller_identity.h"
#include "insert/follow_up_block.h"
#include "insert/insert_statement.h"
#include "insert/row_cache.h"
#include "oci.h"
#include "step_chain.h"

namespace ferrule {

// Diagnostics of a send, printed once its text columns are unpacked.
using SendTrace = void (*)(const RowCache& cache,
                           const std::vector<std::vector<char>>& unpacked);

struct SendPolicy {
  const char* name;                 // appliName of the ErrMess texts
  const char* not_inserted;         // reason when a row inserted nothing
  bool commit_when_not_inserted;    // keep the rows that did get in
  // A second block after a complete send, when the send calls for it.
  const FollowUpBlock* follow_up_block = nullptr;
  SendTrace trace = nullptr;
  bool print_numrows = false;       // "numrows<n>" after a one-row execution

  // Rules that the updates add; the defaults keep the inserts' behaviour.
  bool rollback_when_not_inserted = false;  // undo the whole send instead
  // The integer output that holds each row's count (null: :numrows), and
  // the count a row must reach to count as done (0: any count but 0).
  const char* counted_output = nullptr;
  int required_count = 0;
  // False: the send is not committed on its own; the follow-up block's
  // commit covers both, and a failed follow-up commits nothing.
  bool commit_before_follow_up = true;
  // False: a complete send leaves its rows in the open transaction.
  bool commit = true;
};

// Sends every row of the cache (the cache itself is left as it is) and
// writes ErrMess. Returns 0, -1, or the code of the first failed step.
int SendRows(const InsertStatement& statement, const SendPolicy& policy, const RowCache& cache,
             const CallerIdentity& identity, char* ErrMess);

}  // namespace ferrule
