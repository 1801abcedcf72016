#include "update/update_batch.h"

namespace ferrule {

int AddUpdateRow(const UpdateBatch& spec, RowCache& cache, const RowValues& row, int first,
                 int last, char* ErrMess) {
  SendPolicy send{spec.name, spec.incomplete, spec.on_incomplete == Incomplete::Commit,
                  spec.follow_up};
  send.counted_output = spec.done.output;
  send.required_count = spec.done.required;
  send.rows_not_done_keep_writes = spec.rows_not_done_keep_writes;
  send.own_reason = spec.own_reason;
  const BatchExport batch{spec.statement, send, spec.append_failure, spec.check,
                          /*after_append=*/nullptr, spec.no_batch};
  return AddBatchRow(batch, cache, row, first, last, ErrMess);
}

}  // namespace ferrule
