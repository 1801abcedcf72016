// How every export tells its caller the outcome: the two ErrMess forms, the
// result code of a failed client-layer step, and the translation of fetch
// indicators into replacement texts.
#pragma once

#include <cstddef>
#include <string_view>

#include "closing_mark.h"
#include "oci.h"

namespace ferrule {

// Bounds of what goes into ErrMess: "ERROR in " + name + " : " + reason + NUL.
constexpr std::size_t kAppliNameMax = 99;
constexpr std::size_t kReasonMax = 199;
constexpr std::size_t kErrMessMax = 9 + kAppliNameMax + 3 + kReasonMax + 1;

// Status of a failed heap allocation inside a step chain (not a client status).
constexpr int kAllocationFailed = -10;

// Prints at most one diagnostic line for a non-zero status and returns the
// code to keep as result code (the error number for -1 and 1).
int ReportOCIStatus(int status, OCIError* errhp, const char* context);

// The ErrMess forms. Each leaves a null ErrMess alone and cuts the name and
// the reason to their bounds.
// "NO_ERROR in <appliName>".
void ReportSuccess(const char* appliName, char* ErrMess);
// "ERROR in <appliName> : <reason>".
void ReportFailure(const char* appliName, const char* reason, char* ErrMess);
// "ERROR in <appliName> : <text of error record 1 of errhp>".
void ReportOCIFailure(OCIError* errhp, const char* appliName, char* ErrMess);
// For a result computed from client steps: the success form when they
// succeeded, otherwise the failure form with the client's error text.
void ReportOCIOutcome(bool succeeded, OCIError* errhp, const char* appliName,
                      char* ErrMess);

// Replaces a NULL or cut value by its replacement words ("NULL",
// "ERROR_BUFFER_TOOSMALL") followed by the column's closing mark, so that
// the reader takes off that mark as from any value (closing_mark.h); with
// kNoMark the words stand alone. Never writes more than size bytes into
// value.
void CheckFetchIndicator(int indicator, char* value, std::size_t size,
                         char* logmessage, char mark);

// Define buffers of text columns are at least this long.
void EnsureMinColumnLength(int* length);

// Every cut of a text to a bound keeps whole characters of the connection's
// client encoding (UTF8 without a connection): the length of the longest
// prefix of text of at most max bytes that does.
std::size_t WholeCharacterLength(std::string_view text, std::size_t max);

// The length in bytes of the first `characters` characters of text in the
// connection's client encoding (UTF8 without a connection); all of text
// when it has no more.
std::size_t CharacterPrefixLength(std::string_view text, std::size_t characters);

// Copies at most max bytes of text (null: empty) into a field of size bytes,
// whole characters only.
void CopyWholeCharacters(char* out, std::size_t size, const char* text, std::size_t max);

// Text of error record 1 of errhp, cut to kReasonMax bytes; a fixed text
// when the handle holds none.
void ReadErrorText(OCIError* errhp, char* out, std::size_t size,
                    int* number = nullptr);

}  // namespace ferrule
