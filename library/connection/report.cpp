#include "report.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "diagnostics.h"
#include "reasons.h"
#include "session.h"
#include "whole_characters.h"

namespace ferrule {

namespace {

int ClientEncoding() {
  ub4 encoding = 0;
  const Session& s = session();
  const bool known = s.authp && OCIAttrGet(s.authp, OCI_HTYPE_SESSION, &encoding, nullptr,
                                           OCI_ATTR_CHARSET_ID, nullptr) == OCI_SUCCESS;
  return known ? static_cast<int>(encoding) : oci::kUnknownEncoding;
}

}  // namespace

// Both ask the encoding only when the text is longer in bytes than the
// bound: the connection's encoding costs a call.
std::size_t WholeCharacterLength(std::string_view text, std::size_t max) {
  if (text.size() <= max) return text.size();
  return oci::whole_character_prefix(text, max, ClientEncoding());
}

std::size_t CharacterPrefixLength(std::string_view text, std::size_t characters) {
  if (text.size() <= characters) return text.size();
  return oci::character_prefix(text, characters, ClientEncoding());
}

void CopyWholeCharacters(char* out, std::size_t size, const char* text, std::size_t max) {
  if (size == 0) return;
  const std::string_view whole = text ? std::string_view(text) : std::string_view();
  const std::size_t n = WholeCharacterLength(whole, std::min(max, size - 1));
  if (n) std::memcpy(out, whole.data(), n);
  out[n] = '\0';
}

void ReadErrorText(OCIError* errhp, char* out, std::size_t size,
                    int* number) {
  char buf[kReasonMax + 1] = "";
  sb4 code = 0;
  sword st = errhp ? OCIErrorGet(errhp, 1, nullptr, &code, (OraText*)buf,
                                 sizeof buf, OCI_HTYPE_ERROR)
                   : OCI_INVALID_HANDLE;
  if (st != OCI_SUCCESS || buf[0] == '\0')
    std::snprintf(buf, sizeof buf, "%s",
                  errhp ? reason::kUnknownDatabaseError : reason::kNotConnected);
  CopyWholeCharacters(out, size, buf, kReasonMax);
  if (number) *number = code;
}

int ReportOCIStatus(int status, OCIError* errhp, const char* context) {
  char text[kReasonMax + 1];
  int number = 0;
  switch (status) {
    case OCI_SUCCESS:
      return 0;
    case OCI_SUCCESS_WITH_INFO:
      ReadErrorText(errhp, text, sizeof text, &number);
      PrintLine("Error - OCI_SUCCESS_WITH_INFO %s and errbuf: %s", context, text);
      return number;
    case OCI_NEED_DATA:
      PrintLine("Error - OCI_NEED_DATA %s", context);
      return status;
    case OCI_NO_DATA:
      PrintLine("Error - OCI_NODATA %s", context);
      return status;
    case OCI_INVALID_HANDLE:
      PrintLine("Error - OCI_INVALID_HANDLE %s", context);
      return status;
    case OCI_STILL_EXECUTING:
      PrintLine("Error - OCI_STILL_EXECUTE %s", context);
      return status;
    case OCI_ERROR:
      ReadErrorText(errhp, text, sizeof text, &number);
      PrintLine("Error - %s and %s", text, context);
      // A client error without a number still has to read as a failure.
      return number != 0 ? number : OCI_ERROR;
    default:
      return status;
  }
}

void ReportSuccess(const char* appliName, char* ErrMess) {
  if (!ErrMess) return;
  // Every cached row writes this form: copied, where a formatted print
  // cost more than appending the row. It always fits kErrMessMax.
  constexpr char kSuccess[] = "NO_ERROR in ";
  constexpr std::size_t kSuccessLength = sizeof kSuccess - 1;
  const std::size_t n =
      appliName ? WholeCharacterLength({appliName, strnlen(appliName, kAppliNameMax + 1)},
                                       kAppliNameMax)
                : 0;
  std::memcpy(ErrMess, kSuccess, kSuccessLength);
  if (n) std::memcpy(ErrMess + kSuccessLength, appliName, n);
  ErrMess[kSuccessLength + n] = '\0';
}

void ReportFailure(const char* appliName, const char* reason, char* ErrMess) {
  if (!ErrMess) return;
  char name[kAppliNameMax + 1];
  CopyWholeCharacters(name, sizeof name, appliName, kAppliNameMax);
  char why[kReasonMax + 1];
  CopyWholeCharacters(why, sizeof why, reason, kReasonMax);
  std::snprintf(ErrMess, kErrMessMax, "ERROR in %s : %s", name, why);
}

void ReportOCIFailure(OCIError* errhp, const char* appliName, char* ErrMess) {
  char text[kReasonMax + 1];
  ReadErrorText(errhp, text, sizeof text);
  ReportFailure(appliName, text, ErrMess);
}

void ReportOCIOutcome(bool succeeded, OCIError* errhp, const char* appliName,
                      char* ErrMess) {
  if (succeeded)
    ReportSuccess(appliName, ErrMess);
  else
    ReportOCIFailure(errhp, appliName, ErrMess);
}

void CheckFetchIndicator(int indicator, char* value, std::size_t size,
                         char* logmessage, char mark) {
  const char closing[2] = {mark, '\0'};
  const std::size_t log_size = 100;
  switch (indicator) {
    case 0:
      if (logmessage) std::snprintf(logmessage, log_size, "NO_ERROR");
      return;
    case -1:
      if (logmessage) std::snprintf(logmessage, log_size, "NULL_VALUE");
      if (value && size) std::snprintf(value, size, "NULL%s", closing);
      return;
    case -2:
      if (logmessage)
        std::snprintf(logmessage, log_size,
                      "ERROR:length of return greater than actual output, value "
                      "can't put in signed short");
      break;
    default:
      if (logmessage)
        std::snprintf(logmessage, log_size,
                      "ERROR:length of return greater than actual output you "
                      "need %d",
                      indicator);
      break;
  }
  if (value && size) std::snprintf(value, size, "ERROR_BUFFER_TOOSMALL%s", closing);
}

void EnsureMinColumnLength(int* length) {
  if (length && *length < 50) *length = 50;
}

}  // namespace ferrule
