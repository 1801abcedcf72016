#include "block_procedure.h"

namespace ferrule::oci {

std::string create_block_procedure_sql(const ParsedStatement& block, const std::string& name,
                                       const std::vector<const char*>& sql_types) {
  std::string body = replace_placeholders(block, kBlockParameterPrefix);
  // A dollar-quote tag the body does not contain.
  std::string tag = "$ferrule$";
  for (int n = 1; body.find(tag) != std::string::npos; ++n)
    tag = "$ferrule" + std::to_string(n) + "$";

  std::string sql = "CREATE PROCEDURE pg_temp." + name + "(";
  for (size_t i = 0; i < block.names.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += "INOUT ";
    sql += kBlockParameterPrefix;
    sql += block.names[i];
    sql += ' ';
    sql += sql_types[i];
  }
  sql += ") LANGUAGE plpgsql AS " + tag + "\n" + body + "\n" + tag;
  return sql;
}

std::string call_block_procedure_sql(const std::string& name, size_t n_params) {
  std::string sql = "CALL pg_temp." + name + "(";
  for (size_t i = 0; i < n_params; ++i) {
    if (i > 0) sql += ", ";
    sql += '$';
    sql += std::to_string(i + 1);
  }
  sql += ')';
  return sql;
}

}  // namespace ferrule::oci
