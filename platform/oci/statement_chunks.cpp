// Running a block over many rows in chunks: one call of the block's chunk
// function (block_procedure.h) runs a chunk of rows, each bind sent as an
// array, and answers one row of outputs per row. All in one pipeline, each
// chunk under a savepoint of its own and its answer read before the next
// chunk is sent:
//
//   [setup] SAVEPOINT chunk 0 RELEASE .. SAVEPOINT chunk M-1 RELEASE
//
// A call per row costs its protocol messages, the function's entry and exit
// and a composite result; a call per chunk pays them once for all its rows.
//
// A chunk runs its rows within the second its call started in, as a call
// per row would stamp them; after one that stops short, a new sending
// starts from where it stopped.
//
// When a row of chunk c fails, the server skips the rest of the batch and
// chunk c's savepoint undoes the rows of chunk c that ran; chunks before it
// are kept, with their outputs. The caller (run_rows) then rolls back to
// that savepoint and runs the rows from chunk c's first row one by one,
// which finds and reports the failing row and keeps the rows before it.
#include "array_param.h"
#include "pass_setup.h"
#include "pipeline_commands.h"
#include "statement.h"

#include <algorithm>

namespace ferrule::oci {
namespace {

// Rows per call: enough that the per-call costs vanish, few enough that a
// failing row makes little work run again.
constexpr ub4 kRowsPerChunk = 1000;

constexpr Oid kBoolOid = 16;
// Parameter formats: the first of a sending as text, the arrays binary.
constexpr int kTextFormat = 0;
constexpr int kBinaryFormat = 1;

}  // namespace

RowsOutcome Statement::run_chunks(Connection& connection, ub4 iters, ub4 first_row) {
  const size_t n = binds_.size();
  std::vector<ArrayElement> elements(n);
  std::vector<Oid> types(n + 1, kBoolOid);
  for (size_t j = 0; j < n; ++j) {
    elements[j] = array_element_of(binds_[j]->buffer);
    types[j + 1] = array_type_oid(elements[j]);
  }
  PassSetup setup(connection, parsed_, bind_sql_types(), types, PassSetup::Calls::kPerChunk);

  auto chunk_rows = [&](ub4 first) { return std::min(kRowsPerChunk, iters - first); };
  bool stopped_short = false;
  auto take_chunk = [&](ub4 first, const PGresult* result) -> ub4 {
    const ub4 count = static_cast<ub4>(std::max(PQntuples(result), 0));
    if (count < chunk_rows(first)) stopped_short = true;
    if (PQnfields(result) != static_cast<int>(n)) return count;
    for (ub4 i = 0; i < count; ++i) {
      for (size_t j = 0; j < n; ++j) {
        const int row = static_cast<int>(i), column = static_cast<int>(j);
        write_back_output(first + i, size_t{first_row} + first + i, j,
                          PQgetisnull(result, row, column) != 0,
                          {PQgetvalue(result, row, column),
                           static_cast<size_t>(PQgetlength(result, row, column))});
      }
    }
    return count;
  };

  // Each chunk is sent on its own and its answer read before the next one
  // goes (pipeline.h says why); the next chunk's arrays are encoded while
  // the server runs this one. A chunk that stopped at the turn of a second
  // ends the sending, and another one starts from the first row not run.
  auto encode_chunk = [&](ub4 first, std::vector<std::string>& arrays) {
    load_row_values(first_row, first + chunk_rows(first));
    for (size_t j = 0; j < n; ++j)
      encode_array(values_, n, j, first, chunk_rows(first), elements[j], arrays[j]);
  };
  RowsOutcome outcome;
  std::vector<std::string> arrays(n), next_arrays(n);
  std::vector<const char*> parameters(n + 1);
  std::vector<int> lengths(n + 1, 0);
  std::vector<int> formats(n + 1, kBinaryFormat);
  formats[0] = kTextFormat;
  auto take_setup = [&](std::uint8_t kind) { setup.took(kind); };
  for (bool first_sending = true; first_sending || stopped_short; first_sending = false) {
    stopped_short = false;
    const ub4 start = outcome.rows_run;
    Pipeline pipeline(connection);
    if (first_sending) setup.send(pipeline);
    encode_chunk(start, arrays);
    for (ub4 first = start; first < iters; first += kRowsPerChunk) {
      parameters[0] = first == start ? "t" : "f";
      for (size_t j = 0; j < n; ++j) {
        parameters[j + 1] = arrays[j].data();
        lengths[j + 1] = static_cast<int>(arrays[j].size());
      }
      send_control(pipeline, control_tag(), control_statement::kSavepoint);
      setup.send_run(pipeline, {kRun, first}, parameters.data(), lengths.data(), formats.data());
      send_control(pipeline, control_tag(), control_statement::kRelease);
      pipeline.request_answers();
      const ub4 next = first + kRowsPerChunk;
      if (next < iters) encode_chunk(next, next_arrays);
      read_pass(pipeline, outcome, take_chunk, take_setup);
      if (outcome.failure.failed || stopped_short) break;
      arrays.swap(next_arrays);
    }
    pipeline.sync();
    read_pass(pipeline, outcome, take_chunk, take_setup);
    if (outcome.failure.failed) break;
  }
  return outcome;
}

}  // namespace ferrule::oci
