// Entry points for statements: prepare, bind, define, execute, fetch.
#include "api_support.h"

#include <cstring>

using namespace ferrule::oci;

namespace {

BindBuffer bind_buffer(void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp) {
  BindBuffer buffer;
  buffer.value = static_cast<char*>(valuep);
  buffer.value_size = value_sz;
  buffer.type = dty;
  buffer.indicator = static_cast<char*>(indp);
  buffer.lengths = reinterpret_cast<char*>(alenp);
  // Without OCIBindArrayOfStruct, array elements follow each other.
  buffer.value_skip = value_sz > 0 ? static_cast<ub4>(value_sz) : 0;
  return buffer;
}

sword finish_bind(OCIBind* bind, OCIBind** bindpp) {
  if (!bind) return OCI_ERROR;
  if (bindpp) *bindpp = bind;
  return OCI_SUCCESS;
}

bool is_fetch_next(ub2 orientation) {
  return orientation == OCI_FETCH_NEXT || orientation == OCI_DEFAULT;
}

sword fetch_next_rows(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* statement = handle_cast<OCIStmt>(stmtp, OCI_HTYPE_STMT);
  if (!statement) return OCI_INVALID_HANDLE;
  if (nrows == 0 || !is_fetch_next(orientation))
    return fail(error, error_number::kOther, "only rows forward, at least one, can be fetched");
  return statement->statement.fetch(error, nrows);
}

}  // namespace

extern "C" {

sword OCIStmtPrepare(OCIStmt* stmtp, OCIError* errhp, const OraText* stmt, ub4 stmt_len, ub4,
                     ub4) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* statement = handle_cast<OCIStmt>(stmtp, OCI_HTYPE_STMT);
  if (!statement) return OCI_INVALID_HANDLE;
  if (!stmt) return fail(error, error_number::kOther, "no statement text");
  const char* text = reinterpret_cast<const char*>(stmt);
  statement->statement.prepare(stmt_len > 0 ? std::string(text, stmt_len) : std::string(text));
  return OCI_SUCCESS;
}

sword OCIBindByName(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp,
                    const OraText* placeholder, sb4 placeh_len, void* valuep, sb4 value_sz,
                    ub2 dty, void* indp, ub2* alenp, ub2*, ub4, ub4*, ub4) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* statement = handle_cast<OCIStmt>(stmtp, OCI_HTYPE_STMT);
  if (!statement) return OCI_INVALID_HANDLE;
  if (!placeholder) return fail(error, error_number::kIllegalVariableName, "no placeholder name");
  std::string problem;
  if (!check_bind_type(dty, value_sz, problem))
    return fail(error, error_number::kOther, problem);
  const char* name = reinterpret_cast<const char*>(placeholder);
  std::string_view name_view = placeh_len < 0 ? std::string_view(name)
                                              : std::string_view(name, static_cast<size_t>(placeh_len));
  return finish_bind(statement->statement.bind_by_name(
                         name_view, bind_buffer(valuep, value_sz, dty, indp, alenp), error),
                     bindpp);
}

sword OCIBindByPos(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp, ub4 position,
                   void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* alenp, ub2*, ub4,
                   ub4*, ub4) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* statement = handle_cast<OCIStmt>(stmtp, OCI_HTYPE_STMT);
  if (!statement) return OCI_INVALID_HANDLE;
  std::string problem;
  if (!check_bind_type(dty, value_sz, problem))
    return fail(error, error_number::kOther, problem);
  return finish_bind(statement->statement.bind_by_position(
                         position, bind_buffer(valuep, value_sz, dty, indp, alenp), error),
                     bindpp);
}

sword OCIBindArrayOfStruct(OCIBind* bindp, OCIError* errhp, ub4 pvskip, ub4 indskip,
                           ub4 alskip, ub4) {
  ErrorRecord scratch;
  begin_call(errhp, scratch);
  auto* bind = handle_cast<OCIBind>(bindp, OCI_HTYPE_BIND);
  if (!bind) return OCI_INVALID_HANDLE;
  bind->buffer.value_skip = pvskip;
  bind->buffer.indicator_skip = indskip;
  bind->buffer.length_skip = alskip;
  return OCI_SUCCESS;
}

sword OCIDefineByPos(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp, ub4 position,
                     void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* rlenp, ub2*, ub4) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* statement = handle_cast<OCIStmt>(stmtp, OCI_HTYPE_STMT);
  if (!statement) return OCI_INVALID_HANDLE;
  std::string problem;
  if (!check_bind_type(dty, value_sz, problem))
    return fail(error, error_number::kOther, problem);
  DefineBuffer buffer;
  buffer.value = static_cast<char*>(valuep);
  buffer.value_size = value_sz;
  buffer.type = dty;
  buffer.indicator = static_cast<char*>(indp);
  buffer.length = reinterpret_cast<char*>(rlenp);
  // Without OCIDefineArrayOfStruct, array elements follow each other.
  buffer.value_skip = value_sz > 0 ? static_cast<ub4>(value_sz) : 0;
  OCIDefine* define = statement->statement.define(position, buffer, error);
  if (!define) return OCI_ERROR;
  if (defnpp) *defnpp = define;
  return OCI_SUCCESS;
}

sword OCIDefineArrayOfStruct(OCIDefine* defnp, OCIError* errhp, ub4 pvskip, ub4 indskip,
                             ub4 rlskip, ub4) {
  ErrorRecord scratch;
  begin_call(errhp, scratch);
  auto* define = handle_cast<OCIDefine>(defnp, OCI_HTYPE_DEFINE);
  if (!define) return OCI_INVALID_HANDLE;
  define->buffer.value_skip = pvskip;
  define->buffer.indicator_skip = indskip;
  define->buffer.length_skip = rlskip;
  return OCI_SUCCESS;
}

sword OCIParamGet(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp, ub4 pos) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* statement = htype == OCI_HTYPE_STMT ? handle_cast<OCIStmt>(hndlp, htype) : nullptr;
  if (!statement || !parmdpp) return OCI_INVALID_HANDLE;
  OCIParam* column = statement->statement.column(pos, error);
  if (!column) return OCI_ERROR;
  *parmdpp = static_cast<Handle*>(column);
  return OCI_SUCCESS;
}

sword OCIStmtExecute(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                     const OCISnapshot*, OCISnapshot*, ub4) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* context = handle_cast<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
  auto* statement = handle_cast<OCIStmt>(stmtp, OCI_HTYPE_STMT);
  if (!context || !statement) return OCI_INVALID_HANDLE;
  Connection* connection = connection_of(*context, error);
  if (!connection) return OCI_ERROR;
  return statement->statement.execute(*connection, iters, rowoff, error);
}

sword OCIStmtFetch(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, ub4) {
  return fetch_next_rows(stmtp, errhp, nrows, orientation);
}

sword OCIStmtFetch2(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, sb4, ub4) {
  return fetch_next_rows(stmtp, errhp, nrows, orientation);
}

}  // extern "C"
