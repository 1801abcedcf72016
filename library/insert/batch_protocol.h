// The cached batch protocol shared by every cached multi-row function: each
// call hands over one row; the first flag opens a batch, the last flag (or
// the kMaxCachedRows-th row) sends it as one array-bound execution.
//
// States: no batch (flag 0); batch open (flag 1, rows cached); chunk sent
// (flag 1, lead column without storage, after a clean forced send). A row
// marked first opens a batch, throwing away rows cached so far; a row not
// marked first with no batch open is refused. Any refusal drops the batch.
#pragma once

#include "insert/insert_statement.h"
#include "insert/row_cache.h"
#include "insert/row_send.h"
#include "reasons.h"

namespace ferrule {

// Where an export's own check of a row takes place, and what its refusal
// does to the batch.
enum class CheckPlace {
  None,
  BeforeStart,  // before the first flag is acted on
  AfterStart,   // after the batch start, before the appends
};

struct RowCheck {
  CheckPlace place = CheckPlace::None;
  const char* reason = nullptr;  // ErrMess reason of the refusal (result -1)
  bool drops_batch = false;      // the refusal also abandons the open batch
};

// Diagnostics of a call, printed once the row is appended.
using AppendTrace = void (*)(const RowCache& cache);

struct BatchExport {
  const InsertStatement& statement;
  SendPolicy send;             // name, word for rows not inserted, follow-up
  const char* append_failure;  // reason when a column cannot grow
  RowCheck check;
  AppendTrace after_append = nullptr;
  const char* no_batch = reason::kNoBatch;  // reason when no batch is open
};

// One call of a cached export. Returns 0, -1, the append result, or the
// result of a send.
int AddBatchRow(const BatchExport& spec, RowCache& cache, const RowValues& row, int first,
                int last, char* ErrMess);

}  // namespace ferrule
