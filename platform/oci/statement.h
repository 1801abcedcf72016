// A statement handle's state: the prepared text, its binds and defines, and
// the rows of the last query being fetched.
#pragma once

#include "bind.h"
#include "block_procedure.h"
#include "connection.h"
#include "define.h"
#include "error_record.h"
#include "handle.h"
#include "pg_ptr.h"
#include "pipeline_commands.h"
#include "savepoint_command.h"
#include "sql_text.h"
#include "whole_characters.h"

#include <memory>
#include <string>
#include <vector>

struct OCIParam;

namespace ferrule::oci {

class Statement {
 public:
  Statement();
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Keeps the text; the server sees it at execute. Drops binds, defines and
  // any rows of an earlier execution.
  void prepare(std::string text);

  // Null with `error` set when the text has no such placeholder. Binding a
  // name again replaces its bind and returns the same handle.
  OCIBind* bind_by_name(std::string_view name, const BindBuffer& buffer, ErrorRecord& error);
  OCIBind* bind_by_position(ub4 position, const BindBuffer& buffer, ErrorRecord& error);
  OCIDefine* define(ub4 position, const DefineBuffer& buffer, ErrorRecord& error);

  // Queries run once and keep their rows for fetching; DML and blocks run
  // once per row of the array binds, starting at element `first_row`.
  sword execute(Connection& connection, ub4 iters, ub4 first_row, ErrorRecord& error);
  // Delivers the next `rows` rows into elements 0 .. rows-1 of the
  // defines. Fewer rows than asked: OCI_NO_DATA, those that were left
  // delivered. A row that cannot be stored ends the fetch with the rows
  // before it delivered.
  sword fetch(ErrorRecord& error, ub4 rows = 1);

  // Rows fetched so far (queries) or processed (DML and blocks).
  ub4 row_count() const { return row_count_; }
  // Rows the last fetch delivered.
  ub4 rows_fetched() const { return rows_fetched_; }
  ub4 column_count() const;
  // The describe handle of a column (from 1) of the last query.
  OCIParam* column(ub4 position, ErrorRecord& error);
  // OCI_ATTR_DATA_SIZE of a column: 22 for numbers, else the declared size,
  // raised to the longest value in the rows so that nothing is cut.
  ub4 column_data_size(ub4 position) const;

 private:
  sword run_query(Connection& connection, ub4 row, ErrorRecord& error);
  void take_rows(PgResultPtr rows);
  sword run_rows(Connection& connection, ub4 iters, ub4 first_row, ErrorRecord& error);
  // One pass running rows `start` .. iters-1 one call each, with the
  // replays that keep the rows before a failing row.
  RowsOutcome run_each_row(Connection& connection, ub4 iters, ub4 first_row, ub4 start);
  // One pass running a block's rows in chunks; stops at the first failure.
  RowsOutcome run_chunks(Connection& connection, ub4 iters, ub4 first_row);
  bool all_bound(ErrorRecord& error) const;
  // The parameter types of the current binds, in placeholder order.
  void collect_types();
  // The SQL types of the binds (a block function's parameters), in order.
  std::vector<const char*> bind_sql_types() const;
  // Adds element `row` of every bind to values_.
  void append_row_values(size_t row);
  // Adds the rows of an execution from `first_row` to values_ until it
  // holds `rows` of them.
  void load_row_values(ub4 first_row, ub4 rows);
  // The values of the n-th row added, as libpq takes them.
  const char* const* row_value_pointers(size_t row_in_batch);
  // Writes a block's outputs that differ from what the row sent: all of a
  // row from its per-row call's result, or the output of one bind.
  void write_back_outputs(size_t row_in_batch, size_t caller_row, const PGresult* result);
  void write_back_output(size_t row_in_batch, size_t caller_row, size_t bind, bool is_null,
                         std::string_view text);
  void forget_rows();

  // A block with at least this many rows runs in chunks of rows, when its
  // text allows (block_runs_in_chunks): below it, making the chunk function
  // once costs more than the calls it saves.
  static constexpr ub4 kMinRowsForChunks = 64;

  ParsedStatement parsed_;
  SavepointCommand savepoint_;  // the text sets a savepoint or rolls back to one
  bool chunkable_ = false;
  std::vector<std::unique_ptr<OCIBind>> binds_;      // one per placeholder name
  std::vector<std::unique_ptr<OCIDefine>> defines_;  // by position - 1
  std::vector<std::unique_ptr<OCIParam>> columns_;   // by position - 1

  // The client encoding of the connection the statement last ran on: texts
  // of its rows and outputs cut to fit keep whole characters of it.
  int encoding_ = kUnknownEncoding;
  PgResultPtr rows_;  // the last query's rows
  int row_total_ = 0;
  int column_total_ = 0;
  int next_row_ = 0;
  ub4 row_count_ = 0;
  ub4 rows_fetched_ = 0;

  // Per execution, kept to save allocations between executions.
  std::vector<Oid> types_;
  ParamValues values_;
  std::vector<const char*> value_pointers_;
  std::vector<BlockOutput> outputs_;
};

}  // namespace ferrule::oci

struct OCIParam final : ferrule::oci::Handle {
  OCIParam(ferrule::oci::Statement* owner, ub4 column_position)
      : Handle(OCI_DTYPE_PARAM), statement(owner), position(column_position) {}
  ferrule::oci::Statement* statement;
  ub4 position;
};
