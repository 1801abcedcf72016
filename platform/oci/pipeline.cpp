#include "pipeline.h"

#include "connection.h"

namespace ferrule::oci {

Pipeline::Pipeline(Connection& connection)
    : connection_(connection),
      conn_(connection.pg()),
      usable_(PQenterPipelineMode(conn_) == 1) {}

Pipeline::~Pipeline() { finish(); }

void Pipeline::queued(bool ok, CommandTag tag) {
  if (ok)
    tags_.push_back(tag);
  else
    usable_ = false;
}

void Pipeline::send_prepared(CommandTag tag, const char* name, int n_params,
                             const char* const* values, const int* lengths,
                             const int* formats) {
  if (!usable_) return;
  queued(PQsendQueryPrepared(conn_, name, n_params, values, lengths, formats, 0) == 1, tag);
}

void Pipeline::send_text(CommandTag tag, const std::string& sql, int n_params,
                         const Oid* types, const char* const* values, const int* lengths,
                         const int* formats) {
  if (!usable_) return;
  queued(PQsendQueryParams(conn_, sql.c_str(), n_params, types, values, lengths, formats,
                           0) == 1,
         tag);
}

void Pipeline::send_prepare(CommandTag tag, const char* name, const std::string& sql,
                            int n_params, const Oid* types) {
  if (!usable_) return;
  queued(PQsendPrepare(conn_, name, sql.c_str(), n_params, types) == 1, tag);
}

void Pipeline::sync() {
  if (PQpipelineStatus(conn_) == PQ_PIPELINE_OFF) return;
  synced_ = PQpipelineSync(conn_) == 1;
}

PgResultPtr Pipeline::next_result() {
  if (results_read_ >= tags_.size()) return nullptr;
  ++results_read_;
  PgResultPtr result(connection_.next_result());
  if (!result) return nullptr;
  // Each command's result is followed by a null that ends it.
  while (PGresult* extra = connection_.next_result()) PQclear(extra);
  return result;
}

void Pipeline::finish() {
  if (PQpipelineStatus(conn_) == PQ_PIPELINE_OFF) return;
  if (!synced_) sync();
  if (synced_) {
    while (results_read_ < tags_.size()) next_result();
    // The answer to the sync itself; nothing follows it.
    while (PGresult* result = connection_.next_result()) {
      bool is_sync = PQresultStatus(result) == PGRES_PIPELINE_SYNC;
      PQclear(result);
      if (is_sync) break;
    }
  }
  PQexitPipelineMode(conn_);
}

}  // namespace ferrule::oci
