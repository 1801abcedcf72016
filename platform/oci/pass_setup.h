// What a pass over array rows runs for each row (or chunk of rows), and the
// commands that make it ready on the connection before the first row:
//
//   [BEGIN] [SAVEPOINT [create the block's function] [prepare] RELEASE]
//
// A transaction begins with the first DML or block. The function and the
// prepared statement are made under a savepoint of their own, before the
// rows' savepoint, so that a failing row does not take them away.
#pragma once

#include "connection.h"
#include "pipeline.h"
#include "sql_text.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ferrule::oci {

class PassSetup {
 public:
  // A DML statement runs its own text, with the binds' types.
  PassSetup(Connection& connection, const std::string& sql, std::vector<Oid> types);

  // A block runs as a call of its function: once per row, or once per
  // chunk of rows with every bind as an array. `sql_types` gives the type
  // of each bind.
  enum class Calls { kPerRow, kPerChunk };
  PassSetup(Connection& connection, const ParsedStatement& block,
            const std::vector<const char*>& sql_types, std::vector<Oid> types, Calls calls);

  // Queues the setup commands that are needed.
  void send(Pipeline& pipeline);
  // Takes a setup command that succeeded (by its kind): what it made is
  // remembered by the connection.
  void took(std::uint8_t kind);

  // Queues one run of the row text with these parameter values (texts, or
  // as `formats` says, of `lengths` bytes).
  void send_run(Pipeline& pipeline, CommandTag tag, const char* const* values,
                const int* lengths = nullptr, const int* formats = nullptr);

 private:
  Connection& connection_;
  std::string sql_;
  std::vector<Oid> types_;
  Connection::PreparedRef statement_;
  bool prepare_now_ = false;
  // A block's function that this pass creates (its create_sql is empty when
  // the connection has it already), and its cache key.
  std::string function_key_;
  Connection::BlockProcedure function_;
  bool created_ = false;
};

}  // namespace ferrule::oci
