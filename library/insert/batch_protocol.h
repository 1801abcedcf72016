// The cached batch protocol shared by every cached multi-row function: each
// call hands over one row; the first flag opens a batch, the last flag (or
// the kMaxCachedRows-th row) sends it as one array-bound execution.
//
// States: no batch (flag 0); batch open (flag 1, rows cached); chunk sent
// (flag 1, lead column without storage, after a clean forced send). A row
// marked first opens a batch, throwing away rows cached so far; a row not
// marked first with no batch open is refused. Any refusal but that of an
// export's own check drops the batch; that check's refusal is described
// at RowCheck.
#pragma once

#include "insert/insert_statement.h"
#include "insert/row_cache.h"
#include "insert/row_send.h"
#include "reasons.h"

namespace ferrule {

// An export's own check of a row (RowValues::check_failed). A refused row is
// never cached. A refused row marked first opens no batch, and ends the
// batch before it as any row marked first does: the rows after it are
// refused as rows without a batch until a row marked first comes. A refused
// row not marked first leaves the open batch as it is, unless the export
// drops it.
struct RowCheck {
  // ErrMess reason of the refusal (result -1). Null: the cached form checks
  // no row, and a row whose check failed is cached as any other (the check
  // is its single-row form's).
  const char* reason = nullptr;
  bool drops_batch = false;  // any refusal also abandons the open batch
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
