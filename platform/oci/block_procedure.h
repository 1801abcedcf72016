// An anonymous block runs as a temporary procedure with one INOUT parameter
// per bind: the procedure's result row carries what the block assigned.
#pragma once

#include "sql_text.h"

#include <string>
#include <vector>

namespace ferrule::oci {

// Parameters are named b_<placeholder> so that they never clash with a
// column of the same name (which PL/pgSQL rejects as ambiguous).
constexpr const char* kBlockParameterPrefix = "b_";

// CREATE PROCEDURE pg_temp.<name>(INOUT b_<bind> <type>, ...) for the block;
// `sql_types` gives the SQL type of each bind, in the order of the names.
std::string create_block_procedure_sql(const ParsedStatement& block, const std::string& name,
                                       const std::vector<const char*>& sql_types);

// CALL pg_temp.<name>($1, ..., $n).
std::string call_block_procedure_sql(const std::string& name, size_t n_params);

}  // namespace ferrule::oci
