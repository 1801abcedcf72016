// Sending rows: one array-bound execution of an insert block over every row
// of a cache, the check of each row's count of inserted rows, the commit and
// an export's follow-up step. Cached batches and single-row inserts share it.
#pragma once

#include <vector>

#include "insert/caller_identity.h"
#include "insert/insert_statement.h"
#include "insert/row_cache.h"
#include "oci.h"
#include "step_chain.h"

namespace ferrule {

// A step run on the same statement after a complete send was committed.
using FollowUpStep = void (*)(OCIStmt* stmt, StepChain& chain);

// Diagnostics of a send, printed once its text columns are unpacked.
using SendTrace = void (*)(const RowCache& cache,
                           const std::vector<std::vector<char>>& unpacked);

struct SendPolicy {
  const char* name;                 // appliName of the ErrMess texts
  const char* not_inserted;         // reason when a row inserted nothing
  bool commit_when_not_inserted;    // keep the rows that did get in
  FollowUpStep follow_up = nullptr;
  SendTrace trace = nullptr;
  bool print_numrows = false;       // "numrows<n>" after a one-row execution
  bool rollback_when_not_inserted = false;  // roll the transaction back instead
};

// Sends every row of the cache (the cache itself is left as it is) and
// writes ErrMess. Returns 0, -1, or the code of the first failed step.
int SendRows(const InsertStatement& statement, const SendPolicy& policy, const RowCache& cache,
             const CallerIdentity& identity, char* ErrMess);

}  // namespace ferrule
