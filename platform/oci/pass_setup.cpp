#include "pass_setup.h"

#include "block_procedure.h"
#include "pipeline_commands.h"

namespace ferrule::oci {
namespace {

// Separates a block's text from its bind types in a function's cache key;
// the two kinds of function of one text differ in the separator.
constexpr char kPerRowKeySeparator = '\x1f';
constexpr char kPerChunkKeySeparator = '\x1e';

}  // namespace

PassSetup::PassSetup(Connection& connection, const std::string& sql, std::vector<Oid> types)
    : connection_(connection), sql_(sql), types_(std::move(types)) {
  statement_ = connection_.prepared_statement(sql_, types_);
  prepare_now_ = !statement_.prepared && !statement_.name.empty();
}

PassSetup::PassSetup(Connection& connection, const ParsedStatement& block,
                     const std::vector<const char*>& sql_types, std::vector<Oid> types,
                     Calls calls)
    : connection_(connection), types_(std::move(types)) {
  const bool per_chunk = calls == Calls::kPerChunk;
  function_key_ = block.text;
  function_key_ += per_chunk ? kPerChunkKeySeparator : kPerRowKeySeparator;
  for (const char* type : sql_types) {
    function_key_ += type;
    function_key_ += ',';
  }
  if (const auto* known = connection_.block_procedure(function_key_)) {
    sql_ = known->call_sql;
  } else {
    function_ = connection_.new_block_procedure();
    const size_t n = block.names.size();
    if (per_chunk) {
      function_.call_sql = call_block_chunk_sql(function_.name, n);
      function_.create_sql = create_block_chunk_sql(block, function_.name, sql_types);
    } else {
      function_.call_sql = call_block_procedure_sql(function_.name, n);
      function_.create_sql = create_block_procedure_sql(block, function_.name, sql_types);
    }
    sql_ = function_.call_sql;
  }
  statement_ = connection_.prepared_statement(sql_, types_);
  prepare_now_ = !statement_.prepared && !statement_.name.empty();
}

void PassSetup::send(Pipeline& pipeline) {
  if (!connection_.in_transaction())
    send_control(pipeline, control_tag(), control_statement::kBegin);
  const bool create = !function_.create_sql.empty();
  if (!create && !prepare_now_) return;
  send_control(pipeline, control_tag(), control_statement::kSavepoint);
  if (create)
    pipeline.send_text({kCreateProcedure, 0}, function_.create_sql, 0, nullptr, nullptr);
  if (prepare_now_)
    pipeline.send_prepare({kPrepare, 0}, statement_.name.c_str(), sql_,
                          static_cast<int>(types_.size()), types_.data());
  send_control(pipeline, {kSetupDone, 0}, control_statement::kRelease);
}

void PassSetup::took(std::uint8_t kind) {
  if (kind == kCreateProcedure) created_ = true;
  // Prepared statements outlive savepoints and transactions.
  if (kind == kPrepare) connection_.remember_prepared(statement_);
  if (kind == kSetupDone && created_)
    connection_.remember_block_procedure(function_key_, std::move(function_));
}

void PassSetup::send_run(Pipeline& pipeline, CommandTag tag, const char* const* values,
                         const int* lengths, const int* formats) {
  const int n = static_cast<int>(types_.size());
  if (statement_.name.empty())
    pipeline.send_text(tag, sql_, n, types_.data(), values, lengths, formats);
  else
    pipeline.send_prepared(tag, statement_.name.c_str(), n, values, lengths, formats);
}

}  // namespace ferrule::oci
