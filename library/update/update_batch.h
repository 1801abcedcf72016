// The cached updates as rows of the batch engine of the inserts: each export
// is one UpdateBatch (its block, its words and what follows a send) and
// hands its rows to AddUpdateRow. Calls, sends, refusals and states are
// those of the inserts (insert/batch_protocol.h); an update adds what
// becomes of a send in which some row changed nothing, and the follow-up
// block that keeps derived data in line (committed with the send).
#pragma once

#include "insert/batch_protocol.h"
#include "insert/follow_up_block.h"
#include "reasons.h"

namespace ferrule {

// What becomes of the rows that did change when some row of a send changed
// nothing: they are committed, or the whole send is rolled back.
enum class Incomplete { Commit, Rollback };

// Which per-row count tells that a row was done.
struct RowCount {
  const char* output;  // integer output of the block; null: :numrows
  int required;        // 0: any count but 0; otherwise exactly this count
};
inline constexpr RowCount kAnyNumrows{nullptr, 0};

struct UpdateBatch {
  const InsertStatement& statement;
  const char* name;            // in ErrMess; not always the export's own
  const char* append_failure;  // reason when a column cannot grow
  const char* incomplete;      // reason when some row changed nothing
  Incomplete on_incomplete;
  // Runs after a complete send and is committed with it, or neither is.
  const FollowUpBlock* follow_up = nullptr;
  RowCheck check = {};              // the export's own refusal of a row, if any
  const char* no_batch = reason::kNoBatch;  // reason when no batch is open
  RowCount done = kAnyNumrows;
  // True where a row's count is not whether the row wrote: a row that is
  // not done then keeps what it wrote (insert/row_send.h).
  bool rows_not_done_keep_writes = false;
  RowReason own_reason = {};  // where the block says why a row was not done
};

// One call of a cached update. Returns 0, -1, the append result, or the
// result of a send.
int AddUpdateRow(const UpdateBatch& spec, RowCache& cache, const RowValues& row, int first,
                 int last, char* ErrMess);

// The batch of the export whose block is Statement (one block per export):
// created on first use with the block's columns, kept for the process.
template <const InsertStatement& Statement>
RowCache& BatchOf() {
  static RowCache cache(Statement.text_binds.size(), Statement.value_binds.size());
  return cache;
}

}  // namespace ferrule
