// What every entry point of oci.h does first: find its handles and the
// error record its failures go to.
#pragma once

#include "handles.h"

namespace ferrule::oci {

// The record of `errhp`, cleared for this call; `scratch` when the caller
// gave no error handle, so failures can be recorded unconditionally.
inline ErrorRecord& begin_call(OCIError* errhp, ErrorRecord& scratch) {
  auto* handle = handle_cast<OCIError>(errhp, OCI_HTYPE_ERROR);
  ErrorRecord& record = handle ? handle->record : scratch;
  record.clear();
  return record;
}

// The open connection of a service context, or null with the error set.
inline Connection* connection_of(OCISvcCtx& context, ErrorRecord& error) {
  if (context.session && context.session->connection) return context.session->connection.get();
  error.set(error_number::kNotConnectedToDatabase, "not connected to the database");
  return nullptr;
}

inline sword fail(ErrorRecord& error, int number, std::string message) {
  error.set(number, std::move(message));
  return OCI_ERROR;
}

}  // namespace ferrule::oci
