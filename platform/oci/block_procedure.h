// An anonymous block runs as a temporary PL/pgSQL function with one INOUT
// parameter per bind: the function's result carries what the block
// assigned, and a bind it does not assign comes back as it went in.
//
// A function called by SELECT rather than a procedure run by CALL: CALL
// answers a row of one column per bind, with its description, for every
// execution, while the function answers one composite column. Measured on
// 10,000 rows of a 15-bind insert block, pipelined: 34 us a row by CALL,
// 27 us by SELECT (a plain insert costs 19 us).
#pragma once

#include "sql_text.h"

#include <libpq-fe.h>

#include <string>
#include <string_view>
#include <vector>

namespace ferrule::oci {

// Parameters are named b_<placeholder> so that they never clash with a
// column of the same name (which PL/pgSQL rejects as ambiguous).
constexpr const char* kBlockParameterPrefix = "b_";

// CREATE FUNCTION pg_temp.<name>(INOUT b_<bind> <type>, ...) for the block;
// `sql_types` gives the SQL type of each bind, in the order of the names.
std::string create_block_procedure_sql(const ParsedStatement& block, const std::string& name,
                                       const std::vector<const char*>& sql_types);

// SELECT pg_temp.<name>($1, ..., $n).
std::string call_block_procedure_sql(const std::string& name, size_t n_params);

// Many rows in one call: a set-returning function that takes each bind as
// an array, one element per row, runs the block as a nested block once per
// row (its DECLAREd variables start afresh, ROW_COUNT reads 0 and FOUND
// false, as in a call of its own) and returns one row of outputs per row.
// Its first parameter says whether the call is the first of a sending.
// A call runs its rows within the second it started in: it stops before a
// row that would start later and returns the rows run, and the calls
// queued behind it in the same sending then run no row.
// False for a block that may RETURN, EXIT or CONTINUE, which could leave
// the loop, for one that names parameters by number ($1), which would name
// the arrays, and for a block without binds.
bool block_runs_in_chunks(const ParsedStatement& block);

// CREATE FUNCTION pg_temp.<name>(boolean, <type>[], ...) RETURNS
// TABLE(b_<bind> <type>, ...) for the block.
std::string create_block_chunk_sql(const ParsedStatement& block, const std::string& name,
                                   const std::vector<const char*>& sql_types);

// SELECT * FROM pg_temp.<name>($1, ..., $n+1): the first of a sending, then
// the n binds' arrays.
std::string call_block_chunk_sql(const std::string& name, size_t n_binds);

// One bind's value as the block left it.
struct BlockOutput {
  bool is_null = true;
  std::string text;
};

// Reads the n outputs of one execution from its result: the value itself
// for one bind, the fields of the composite value for several. False when
// the result does not hold n values.
bool read_block_outputs(const PGresult* result, size_t n, std::vector<BlockOutput>& outputs);

}  // namespace ferrule::oci
