// What every entry point of oci.h does first: find its handles and the
// error record its failures go to.
#pragma once

#include "handles.h"

namespace ferrule::oci {

// The record that a failure of this call replaces: the one of `errhp`, or
// `scratch` when the caller gave no error handle, so failures can be
// recorded unconditionally. A call that succeeds leaves the record alone:
// it tells the last failure until the next one, so that a commit or a
// release between a failed step and its report cannot erase the reason.
inline ErrorRecord& begin_call(OCIError* errhp, ErrorRecord& scratch) {
  auto* handle = handle_cast<OCIError>(errhp, OCI_HTYPE_ERROR);
  return handle ? handle->record : scratch;
}

// The open connection of a service context, with a call begun under the
// context's call timeout; or null with the error set.
inline Connection* connection_of(OCISvcCtx& context, ErrorRecord& error) {
  if (context.session && context.session->connection) {
    Connection* connection = context.session->connection.get();
    connection->begin_call(context.call_timeout);
    return connection;
  }
  error.set(error_number::kNotConnectedToDatabase, "not connected to the database");
  return nullptr;
}

inline sword fail(ErrorRecord& error, int number, std::string message) {
  error.set(number, std::move(message));
  return OCI_ERROR;
}

}  // namespace ferrule::oci
