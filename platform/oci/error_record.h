// The error record kept in an error handle: a classic error number that
// callers compare against, and PostgreSQL's own message.
#pragma once

#include "whole_characters.h"

#include <libpq-fe.h>

#include <chrono>
#include <string>

namespace ferrule::oci {

// Classic error numbers the callers know. Errors from the server are mapped
// from their SQLSTATE (see number_for_sqlstate); the rest are raised here.
namespace error_number {
constexpr int kUniqueViolation = 1;
constexpr int kNotConnectedToDatabase = 3114;
constexpr int kFetchOutOfSequence = 1002;
constexpr int kNotInSelectList = 1007;
constexpr int kNotAllVariablesBound = 1008;
constexpr int kInvalidPassword = 1017;
constexpr int kIllegalVariableName = 1036;
constexpr int kNoDataFound = 1403;
constexpr int kFetchedNull = 1405;
constexpr int kFetchedTruncated = 1406;
constexpr int kValueTooLargeForColumn = 1438;
constexpr int kInvalidNumber = 1722;
constexpr int kTransactionRolledBack = 2091;
constexpr int kCallTimedOut = 3156;
constexpr int kNoDescriptorForPosition = 24334;
// Every server error without a classic counterpart, and misuse of the calls.
constexpr int kOther = 20000;
}  // namespace error_number

// The last failure of the calls made with one error handle; calls that
// succeed leave it in place (see begin_call).
struct ErrorRecord {
  int number = 0;
  std::string message;
  // The client encoding of the connection whose server sent the message,
  // which a cut of the message must not split a character of.
  int encoding = kUnknownEncoding;

  bool empty() const { return number == 0; }
  void set(int error_number, std::string text, int text_encoding = kUnknownEncoding) {
    number = error_number;
    message = std::move(text);
    encoding = text_encoding;
  }
};

// The classic number for a SQLSTATE. The primary message tells a foreign
// key violation by deleting a parent (2292) from one by a missing parent.
int number_for_sqlstate(const char* sqlstate, const char* primary_message);

// Records the failure that `result` reports (null: the connection's), as a
// lost connection when the connection is gone.
void record_result_error(ErrorRecord& record, const PGresult* result,
                         const PGconn* conn);

// Records a call abandoned when its time limit (OCI_ATTR_CALL_TIMEOUT) ran
// out.
void record_call_timeout(ErrorRecord& record, std::chrono::milliseconds limit);

// Records the failure of opening a connection from libpq's verbose message,
// which carries the SQLSTATE after the severity ("FATAL:  28P01: ...").
void record_connect_error(ErrorRecord& record, const char* verbose_message);

}  // namespace ferrule::oci
