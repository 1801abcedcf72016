// Entry points for handles, attributes, connecting, transactions and errors.
#include "api_support.h"

#include <cstring>

using namespace ferrule::oci;

namespace {

std::string attribute_text(const void* value, ub4 size) {
  if (!value) return {};
  const char* text = static_cast<const char*>(value);
  return size > 0 ? std::string(text, strnlen(text, size)) : std::string(text);
}

std::unique_ptr<Handle> new_child_handle(ub4 type) {
  switch (type) {
    case OCI_HTYPE_ERROR: return std::make_unique<OCIError>();
    case OCI_HTYPE_SERVER: return std::make_unique<OCIServer>();
    case OCI_HTYPE_SESSION: return std::make_unique<OCISession>();
    case OCI_HTYPE_SVCCTX: return std::make_unique<OCISvcCtx>();
    case OCI_HTYPE_STMT: return std::make_unique<OCIStmt>();
    default: return nullptr;
  }
}

void write_attribute_ub4(void* attribute, ub4* size, ub4 value) {
  if (attribute) std::memcpy(attribute, &value, sizeof value);
  if (size) *size = sizeof value;
}

}  // namespace

extern "C" {

sword OCIEnvCreate(OCIEnv** envhpp, ub4, void*, void*, void*, void*, size_t, void** usrmempp) {
  if (!envhpp) return OCI_INVALID_HANDLE;
  *envhpp = new OCIEnv();
  if (usrmempp) *usrmempp = nullptr;
  return OCI_SUCCESS;
}

sword OCITerminate(ub4) { return OCI_SUCCESS; }

sword OCIHandleAlloc(const void* parenth, void** hndlpp, ub4 type, size_t, void** usrmempp) {
  if (!parenth || !hndlpp) return OCI_INVALID_HANDLE;
  auto* parent = static_cast<Handle*>(const_cast<void*>(parenth));
  if (!parent->valid()) return OCI_INVALID_HANDLE;
  OCIEnv* env = parent->type() == OCI_HTYPE_ENV ? static_cast<OCIEnv*>(parent) : parent->env();
  if (!env) return OCI_INVALID_HANDLE;
  std::unique_ptr<Handle> child = new_child_handle(type);
  if (!child) return OCI_ERROR;
  *hndlpp = env->adopt(std::move(child));
  if (usrmempp) *usrmempp = nullptr;
  return OCI_SUCCESS;
}

sword OCIHandleFree(void* hndlp, ub4 type) {
  if (!hndlp) return OCI_INVALID_HANDLE;
  auto* handle = static_cast<Handle*>(hndlp);
  if (!handle->valid() || handle->type() != type) return OCI_INVALID_HANDLE;
  switch (type) {
    case OCI_HTYPE_ENV:
      delete static_cast<OCIEnv*>(handle);
      return OCI_SUCCESS;
    case OCI_HTYPE_BIND:
    case OCI_HTYPE_DEFINE:
    case OCI_DTYPE_PARAM:
      return OCI_SUCCESS;  // they belong to their statement and go with it
    default:
      handle->env()->release(handle);
      return OCI_SUCCESS;
  }
}

sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype,
                 OCIError* errhp) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  switch (trghndltyp) {
    case OCI_HTYPE_SVCCTX: {
      auto* context = handle_cast<OCISvcCtx>(trgthndlp, trghndltyp);
      if (!context) return OCI_INVALID_HANDLE;
      if (attrtype == OCI_ATTR_SERVER) {
        auto* server = handle_cast<OCIServer>(attributep, OCI_HTYPE_SERVER);
        if (attributep && !server) return OCI_INVALID_HANDLE;
        context->server = server;
        return OCI_SUCCESS;
      }
      if (attrtype == OCI_ATTR_SESSION) {
        auto* session = handle_cast<OCISession>(attributep, OCI_HTYPE_SESSION);
        if (attributep && !session) return OCI_INVALID_HANDLE;
        context->session = session;
        return OCI_SUCCESS;
      }
      if (attrtype == OCI_ATTR_CALL_TIMEOUT) {
        if (!attributep) return fail(error, error_number::kOther, "no call timeout given");
        ub4 milliseconds = 0;
        std::memcpy(&milliseconds, attributep, sizeof milliseconds);
        context->call_timeout = std::chrono::milliseconds(milliseconds);
        return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_SESSION: {
      auto* session = handle_cast<OCISession>(trgthndlp, trghndltyp);
      if (!session) return OCI_INVALID_HANDLE;
      if (attrtype == OCI_ATTR_USERNAME) {
        session->user = attribute_text(attributep, size);
        return OCI_SUCCESS;
      }
      if (attrtype == OCI_ATTR_PASSWORD) {
        session->password = attribute_text(attributep, size);
        return OCI_SUCCESS;
      }
      break;
    }
    case OCI_HTYPE_STMT: {
      if (!handle_cast<OCIStmt>(trgthndlp, trghndltyp)) return OCI_INVALID_HANDLE;
      // Accepted: every row of a query arrives with its execution anyway.
      if (attrtype == OCI_ATTR_PREFETCH_ROWS) return OCI_SUCCESS;
      break;
    }
    default:
      return OCI_INVALID_HANDLE;
  }
  return fail(error, error_number::kOther, "attribute " + std::to_string(attrtype) +
                                               " cannot be set on this handle");
}

sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep,
                 ub4 attrtype, OCIError* errhp) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  if (trghndltyp == OCI_HTYPE_STMT) {
    auto* statement = handle_cast<OCIStmt>(trgthndlp, trghndltyp);
    if (!statement) return OCI_INVALID_HANDLE;
    if (attrtype == OCI_ATTR_ROW_COUNT) {
      write_attribute_ub4(attributep, sizep, statement->statement.row_count());
      return OCI_SUCCESS;
    }
    if (attrtype == OCI_ATTR_PARAM_COUNT) {
      write_attribute_ub4(attributep, sizep, statement->statement.column_count());
      return OCI_SUCCESS;
    }
    if (attrtype == OCI_ATTR_ROWS_FETCHED) {
      write_attribute_ub4(attributep, sizep, statement->statement.rows_fetched());
      return OCI_SUCCESS;
    }
  } else if (trghndltyp == OCI_HTYPE_SESSION) {
    auto* session = handle_cast<OCISession>(trgthndlp, trghndltyp);
    if (!session) return OCI_INVALID_HANDLE;
    if (attrtype == OCI_ATTR_CHARSET_ID) {
      const int encoding = session->connection ? PQclientEncoding(session->connection->pg())
                                               : kUnknownEncoding;
      if (encoding < 0)
        return fail(error, error_number::kNotConnectedToDatabase, "not connected to the database");
      write_attribute_ub4(attributep, sizep, static_cast<ub4>(encoding));
      return OCI_SUCCESS;
    }
  } else if (trghndltyp == OCI_DTYPE_PARAM) {
    auto* column = handle_cast<OCIParam>(trgthndlp, trghndltyp);
    if (!column) return OCI_INVALID_HANDLE;
    if (attrtype == OCI_ATTR_DATA_SIZE) {
      write_attribute_ub4(attributep, sizep, column->statement->column_data_size(column->position));
      return OCI_SUCCESS;
    }
  } else if (!handle_cast<Handle>(trgthndlp, trghndltyp)) {
    return OCI_INVALID_HANDLE;
  }
  return fail(error, error_number::kOther, "attribute " + std::to_string(attrtype) +
                                               " cannot be read from this handle");
}

sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink, sb4 dblink_len,
                      ub4) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* server = handle_cast<OCIServer>(srvhp, OCI_HTYPE_SERVER);
  if (!server) return OCI_INVALID_HANDLE;
  const char* text = reinterpret_cast<const char*>(dblink);
  std::string_view server_text;
  if (text) server_text = dblink_len > 0 ? std::string_view(text, static_cast<size_t>(dblink_len))
                                         : std::string_view(text);
  std::string problem;
  server->attached = parse_connect_text(server_text, server->target, problem);
  if (!server->attached) return fail(error, error_number::kOther, problem);
  return OCI_SUCCESS;
}

sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4, ub4) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* context = handle_cast<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
  auto* session = handle_cast<OCISession>(usrhp, OCI_HTYPE_SESSION);
  if (!context || !session) return OCI_INVALID_HANDLE;
  if (!context->server || !context->server->attached)
    return fail(error, error_number::kNotConnectedToDatabase, "no server attached");
  session->connection.reset();
  // Logging in is by the given user and password only: libpq would take an
  // empty one from the environment or the operating system instead.
  if (session->user.empty() || session->password.empty())
    return fail(error, error_number::kInvalidPassword,
                "password authentication failed for user \"" + session->user + "\"");
  session->connection = Connection::open(context->server->target, session->user,
                                         session->password, context->call_timeout, error);
  return session->connection ? OCI_SUCCESS : OCI_ERROR;
}

sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* context = handle_cast<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
  if (!context) return OCI_INVALID_HANDLE;
  Connection* connection = connection_of(*context, error);
  if (!connection) return OCI_ERROR;
  return connection->commit(error) ? OCI_SUCCESS : OCI_ERROR;
}

sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4) {
  ErrorRecord scratch;
  ErrorRecord& error = begin_call(errhp, scratch);
  auto* context = handle_cast<OCISvcCtx>(svchp, OCI_HTYPE_SVCCTX);
  if (!context) return OCI_INVALID_HANDLE;
  Connection* connection = connection_of(*context, error);
  if (!connection) return OCI_ERROR;
  return connection->rollback(error) ? OCI_SUCCESS : OCI_ERROR;
}

sword OCIErrorGet(void* hndlp, ub4 recordno, OraText*, sb4* errcodep, OraText* bufp,
                  ub4 bufsiz, ub4 type) {
  auto* handle = type == OCI_HTYPE_ERROR ? handle_cast<OCIError>(hndlp, type) : nullptr;
  const bool has_record = handle && recordno == 1 && !handle->record.empty();
  const ErrorRecord none;
  const ErrorRecord& record = has_record ? handle->record : none;
  if (bufp && bufsiz > 0) {
    const size_t length = whole_character_prefix(record.message, bufsiz - 1, record.encoding);
    std::memcpy(bufp, record.message.data(), length);
    bufp[length] = '\0';
  }
  if (errcodep) *errcodep = record.number;
  return has_record ? OCI_SUCCESS : OCI_NO_DATA;
}

}  // extern "C"
