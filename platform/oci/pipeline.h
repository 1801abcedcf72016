// One batch of commands sent in libpq pipeline mode and answered in a single
// round trip. Each command carries a tag saying what its result means to the
// caller; results come back in the order the commands were queued.
//
// When a command fails, the server skips the rest of the batch (libpq hands
// them back as PGRES_PIPELINE_ABORTED). libpq reads incoming data while its
// writes are blocked, so a long batch cannot deadlock on full socket buffers.
#pragma once

#include "pg_ptr.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ferrule::oci {

class Connection;

struct CommandTag {
  std::uint8_t kind = 0;  // the caller's meaning
  std::uint32_t row = 0;  // the iteration it belongs to, where that matters
};

class Pipeline {
 public:
  // Results are awaited within the connection's current call.
  explicit Pipeline(Connection& connection);
  ~Pipeline();
  Pipeline(const Pipeline&) = delete;
  Pipeline& operator=(const Pipeline&) = delete;

  // Each send queues one command; after a failed send (connection lost) the
  // later ones are dropped and the batch ends short.
  // Values as texts, or as `formats` says (1: binary, of `lengths` bytes).
  void send_prepared(CommandTag tag, const char* name, int n_params,
                     const char* const* values, const int* lengths = nullptr,
                     const int* formats = nullptr);
  void send_text(CommandTag tag, const std::string& sql, int n_params,
                 const Oid* types, const char* const* values,
                 const int* lengths = nullptr, const int* formats = nullptr);
  void send_prepare(CommandTag tag, const char* name, const std::string& sql,
                    int n_params, const Oid* types);

  // Ends the batch; call once after the last send, before reading.
  void sync();

  // False when a send failed and the batch ended short.
  bool all_queued() const { return usable_; }

  // Tags of the commands actually queued, in order.
  const std::vector<CommandTag>& tags() const { return tags_; }

  // The result of the next queued command (null if the connection broke).
  PgResultPtr next_result();

 private:
  void queued(bool ok, CommandTag tag);
  void finish();

  Connection& connection_;
  PGconn* conn_;
  bool usable_;
  bool synced_ = false;
  size_t results_read_ = 0;
  std::vector<CommandTag> tags_;
};

}  // namespace ferrule::oci
