#include "insert/batch_protocol.h"

#include "reasons.h"
#include "report.h"
#include "session.h"

namespace ferrule {

namespace {

int refuse(const char* name, const char* reason, char* ErrMess) {
  ReportFailure(name, reason, ErrMess);
  return -1;
}

// Sends the batch and closes it; a clean forced send keeps it open for the
// next chunk.
int send_batch(const BatchExport& spec, RowCache& cache, bool forced, char* ErrMess) {
  CallerIdentity identity;
  if (!ReadCallerIdentity(identity, ErrMess)) {
    cache.release();
    return -1;
  }
  const int result = SendRows(spec.statement, spec.send, cache, identity, ErrMess);
  cache.release();
  if (forced && result == 0) cache.initialised = 1;
  return result;
}

}  // namespace

int AddBatchRow(const BatchExport& spec, RowCache& cache, const RowValues& row, int first,
                int last, char* ErrMess) {
  const char* name = spec.send.name;
  if (row.check_failed && spec.check.reason) {
    if (first == 1 || spec.check.drops_batch) cache.release();
    return refuse(name, spec.check.reason, ErrMess);
  }

  // After a forced send the lead column has no storage while the batch is
  // open: the next row starts the next chunk whatever its first flag says.
  const bool starts = first == 1 || (cache.initialised == 1 && !cache.lead_has_storage());
  if (starts) {
    cache.release();
    cache.initialised = 1;
  }

  const int appended = cache.append(row, starts ? 1 : 0);
  if (spec.after_append) spec.after_append(cache);
  bool forced = false;
  if (cache.rows() == kMaxCachedRows && last != 1) {
    forced = true;
    last = 1;
  }

  const bool open = cache.initialised == 1;
  const bool connected = session().connected();
  if (last == 1 && appended == 0 && connected && open)
    return send_batch(spec, cache, forced, ErrMess);

  // The row stays cached unless one of these refuses it; a later refusal's
  // reason replaces an earlier one.
  int result = 0;
  const char* reason = nullptr;
  if (appended != 0) {
    reason = spec.append_failure;
    result = appended;
  }
  if (!open) {
    reason = spec.no_batch;
    result = -1;
  }
  if (!connected) {
    reason = reason::kNotConnected;
    result = -1;
  }
  if (reason) {
    cache.release();
    ReportFailure(name, reason, ErrMess);
    return result;
  }
  ReportSuccess(name, ErrMess);
  return 0;
}

}  // namespace ferrule
