// One batch of commands sent in libpq pipeline mode and answered in a single
// round trip. Each command carries a tag saying what its result means to the
// caller; results come back in the order the commands were queued.
//
// When a command fails, the server skips the rest of the batch (libpq hands
// them back as PGRES_PIPELINE_ABORTED). libpq reads incoming data while its
// writes are blocked, so a long batch cannot deadlock on full socket buffers.
//
// A long batch is sent in parts, each part's answers read before the next
// is queued (answers_due, request_answers). A command may wait for a long
// time (for a lock that another session holds), and the server reads
// nothing more meanwhile: what was sent behind it waits in the socket
// buffers. Were they full, the closed window would end the connection
// after tcp_user_timeout, as for a server that vanished. A part stays well
// within what a server's socket takes in (the kernel's smallest default
// receive window), so a live server keeps a batch waiting as long as any
// other call.
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

  // Whether the commands queued since the last request for answers reach a
  // part's size: the caller then requests the answers and reads them before
  // it queues more.
  bool answers_due() const { return unanswered_bytes_ >= kPartBytes; }
  // Asks the server for the answers of every command queued so far, and
  // sends them; they can then be read before the batch ends.
  void request_answers();

  // False when a send failed and the batch ended short.
  bool all_queued() const { return usable_; }

  // Tags of the commands actually queued, in order.
  const std::vector<CommandTag>& tags() const { return tags_; }

  // The result of the next queued command (null if the connection broke).
  PgResultPtr next_result();
  // How many results were read: tags() from there on are still to come.
  size_t results_read() const { return results_read_; }

 private:
  // A part's size, in bytes of parameter values and statement texts.
  static constexpr size_t kPartBytes = 32 * 1024;

  void queued(bool ok, CommandTag tag, size_t bytes);
  void finish();

  Connection& connection_;
  PGconn* conn_;
  bool usable_;
  bool synced_ = false;
  size_t results_read_ = 0;
  size_t unanswered_bytes_ = 0;  // queued since the last request for answers
  std::vector<CommandTag> tags_;
};

}  // namespace ferrule::oci
