#include "block_procedure.h"

namespace ferrule::oci {
namespace {

// Set (transaction-local) when a chunk stopped before its last row.
constexpr const char* kChunkCutSetting = "ferrule.chunk_cut";

// Fields of a composite value as PostgreSQL writes it: "(a,,\"b, c\")". An
// empty field is NULL; a quoted one doubles its quotes and escapes with a
// backslash.
bool split_composite(std::string_view text, size_t n, std::vector<BlockOutput>& fields) {
  fields.assign(n, BlockOutput{});
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  size_t at = 1;
  const size_t end = text.size() - 1;
  for (size_t field = 0; field < n; ++field) {
    BlockOutput& out = fields[field];
    bool quoted = false;
    while (at < end && (quoted || (text[at] != ','))) {
      const char c = text[at++];
      out.is_null = false;
      if (c == '"') {
        if (quoted && at < end && text[at] == '"') {
          out.text += '"';
          ++at;
        } else {
          quoted = !quoted;
        }
      } else if (c == '\\' && quoted && at < end) {
        out.text += text[at++];
      } else {
        out.text += c;
      }
    }
    if (field + 1 < n) {
      if (at >= end || text[at] != ',') return false;
      ++at;
    }
  }
  return at == end;
}

// A dollar-quote tag that `body` does not contain.
std::string dollar_tag_for(const std::string& body) {
  std::string tag = "$ferrule$";
  for (int n = 1; body.find(tag) != std::string::npos; ++n)
    tag = "$ferrule" + std::to_string(n) + "$";
  return tag;
}

// $1, ..., $n
std::string parameter_list(size_t n) {
  std::string list;
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) list += ", ";
    list += '$';
    list += std::to_string(i + 1);
  }
  return list;
}

}  // namespace

std::string create_block_procedure_sql(const ParsedStatement& block, const std::string& name,
                                       const std::vector<const char*>& sql_types) {
  const std::string body = replace_placeholders(block, kBlockParameterPrefix);
  const std::string tag = dollar_tag_for(body);
  std::string sql = "CREATE FUNCTION pg_temp." + name + "(";
  for (size_t i = 0; i < block.names.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += "INOUT ";
    sql += kBlockParameterPrefix;
    sql += block.names[i];
    sql += ' ';
    sql += sql_types[i];
  }
  // With INOUT parameters the result type follows from them.
  sql += block.names.empty() ? ") RETURNS void" : ")";
  sql += " LANGUAGE plpgsql AS " + tag + "\n" + body + "\n" + tag;
  return sql;
}

std::string call_block_procedure_sql(const std::string& name, size_t n_params) {
  return "SELECT pg_temp." + name + "(" + parameter_list(n_params) + ")";
}

bool block_runs_in_chunks(const ParsedStatement& block) {
  const BlockShape shape = block_shape(block.text);
  return !block.names.empty() && !shape.may_leave && !shape.numbered_parameters;
}

std::string create_block_chunk_sql(const ParsedStatement& block, const std::string& name,
                                   const std::vector<const char*>& sql_types) {
  std::string body = replace_placeholders(block, kBlockParameterPrefix);
  if (!block_shape(block.text).ends_with_semicolon) body += "\n;";
  const std::string tag = dollar_tag_for(body);

  // The parameters are left unnamed ($1 ...) and the function's own names
  // are unusual, so that nothing new can clash with what the block names.
  std::string parameters = "boolean", columns, take_row;
  for (size_t i = 0; i < block.names.size(); ++i) {
    const std::string variable = kBlockParameterPrefix + block.names[i];
    parameters += ", ";
    parameters += sql_types[i];
    parameters += "[]";
    if (i > 0) columns += ", ";
    columns += variable + " " + sql_types[i];
    take_row += variable + " := $" + std::to_string(i + 2) + "[ferrule_row]; ";
  }
  // A chunk stops before a row that would start in a later second than
  // the call (statement_timestamp(), which the block's statements stamp
  // rows with, stays the call's) and marks the transaction, so that the
  // chunks queued behind it do nothing; the caller sends the rest again.
  // $1 is true for the first chunk of a sending, which runs regardless.
  // MOVE on a cursor without rows sets ROW_COUNT to 0 and FOUND to false,
  // for a tenth of the cost of running a query.
  return "CREATE FUNCTION pg_temp." + name + "(" + parameters + ") RETURNS TABLE(" + columns +
         ") LANGUAGE plpgsql AS " + tag + "\n" +
         "DECLARE ferrule_no_rows refcursor;\n"
         "ferrule_next_second timestamptz := date_trunc('second', statement_timestamp()) +"
         " interval '1 second';\n"
         "BEGIN\n"
         "IF $1 THEN PERFORM set_config('" + kChunkCutSetting + "', 'off', true);\n"
         "ELSIF current_setting('" + kChunkCutSetting + "', true) = 'on' THEN RETURN;\n"
         "END IF;\n"
         "OPEN ferrule_no_rows NO SCROLL FOR SELECT WHERE false;\n"
         "FOR ferrule_row IN 1 .. cardinality($2) LOOP\n"
         "IF ferrule_row > 1 AND clock_timestamp() >= ferrule_next_second THEN\n"
         "PERFORM set_config('" + kChunkCutSetting + "', 'on', true);\n"
         "EXIT;\n"
         "END IF;\n" +
         take_row + "MOVE NEXT FROM ferrule_no_rows;\n" +
         body + "\n"
         "RETURN NEXT;\n"
         "END LOOP;\n"
         "CLOSE ferrule_no_rows;\n"
         "END\n" + tag;
}

std::string call_block_chunk_sql(const std::string& name, size_t n_binds) {
  return "SELECT * FROM pg_temp." + name + "(" + parameter_list(n_binds + 1) + ")";
}

bool read_block_outputs(const PGresult* result, size_t n, std::vector<BlockOutput>& outputs) {
  if (n == 0 || !result || PQntuples(result) < 1 || PQnfields(result) != 1) return false;
  const bool is_null = PQgetisnull(result, 0, 0) != 0;
  const std::string_view text(PQgetvalue(result, 0, 0),
                              static_cast<size_t>(PQgetlength(result, 0, 0)));
  if (n == 1) {
    outputs.assign(1, BlockOutput{is_null, std::string(text)});
    return true;
  }
  return !is_null && split_composite(text, n, outputs);
}

}  // namespace ferrule::oci
