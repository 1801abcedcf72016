#include "pipeline.h"

#include "connection.h"

#include <cstring>

namespace ferrule::oci {
namespace {

// What a command takes on the wire besides its values: message headers,
// statement and portal names, format codes.
constexpr size_t kCommandOverhead = 64;

size_t parameter_bytes(int n_params, const char* const* values, const int* lengths,
                       const int* formats) {
  size_t bytes = 4 * static_cast<size_t>(n_params);
  for (int i = 0; values && i < n_params; ++i) {
    if (!values[i]) continue;
    const bool binary = formats && formats[i] == 1;
    bytes += binary && lengths ? static_cast<size_t>(lengths[i]) : std::strlen(values[i]);
  }
  return bytes;
}

}  // namespace

Pipeline::Pipeline(Connection& connection)
    : connection_(connection),
      conn_(connection.pg()),
      usable_(PQenterPipelineMode(conn_) == 1) {}

Pipeline::~Pipeline() { finish(); }

void Pipeline::queued(bool ok, CommandTag tag, size_t bytes) {
  if (ok) {
    tags_.push_back(tag);
    unanswered_bytes_ += kCommandOverhead + bytes;
  } else {
    usable_ = false;
  }
}

void Pipeline::send_prepared(CommandTag tag, const char* name, int n_params,
                             const char* const* values, const int* lengths,
                             const int* formats) {
  if (!usable_) return;
  queued(PQsendQueryPrepared(conn_, name, n_params, values, lengths, formats, 0) == 1, tag,
         parameter_bytes(n_params, values, lengths, formats));
}

void Pipeline::send_text(CommandTag tag, const std::string& sql, int n_params,
                         const Oid* types, const char* const* values, const int* lengths,
                         const int* formats) {
  if (!usable_) return;
  queued(PQsendQueryParams(conn_, sql.c_str(), n_params, types, values, lengths, formats,
                           0) == 1,
         tag, sql.size() + parameter_bytes(n_params, values, lengths, formats));
}

void Pipeline::send_prepare(CommandTag tag, const char* name, const std::string& sql,
                            int n_params, const Oid* types) {
  if (!usable_) return;
  queued(PQsendPrepare(conn_, name, sql.c_str(), n_params, types) == 1, tag, sql.size());
}

void Pipeline::sync() {
  if (PQpipelineStatus(conn_) == PQ_PIPELINE_OFF) return;
  synced_ = PQpipelineSync(conn_) == 1;
}

void Pipeline::request_answers() {
  unanswered_bytes_ = 0;
  if (!usable_) return;
  if (PQsendFlushRequest(conn_) != 1 || PQflush(conn_) != 0) usable_ = false;
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
