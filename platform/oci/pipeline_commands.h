// The commands that one execution of a statement queues on a pipeline: what
// each one is, for reading its result, and the first failure among them.
#pragma once

#include "connection.h"
#include "pipeline.h"

#include <cstdint>
#include <utility>

namespace ferrule::oci {

enum CommandKind : std::uint8_t {
  kControl,          // BEGIN, SAVEPOINT, RELEASE, ROLLBACK TO
  kCreateProcedure,  // a block's procedure
  kPrepare,          // the statement text, prepared on the server
  kSetupDone,        // the RELEASE that keeps the procedure
  kRun,              // the statement itself (row `tag.row`)
};

constexpr CommandTag control_tag() { return {kControl, 0}; }

// Queues one of the connection's prepared control statements.
inline void send_control(Pipeline& pipeline, CommandTag tag, const char* statement_name) {
  pipeline.send_prepared(tag, statement_name, 0, nullptr);
}

// The first failure of a batch; the server skipped everything after it.
struct BatchFailure {
  bool failed = false;
  PgResultPtr result;

  void take(PgResultPtr failed_result) {
    failed = true;
    result = std::move(failed_result);
  }
};

}  // namespace ferrule::oci
