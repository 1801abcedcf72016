// How every export tells its caller the outcome: the two ErrMess forms, the
// result code of a failed client-layer step, and the translation of fetch
// indicators into replacement texts.
#pragma once

#include <cstddef>

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

// Flag 0: "NO_ERROR in <appliName>"; otherwise "ERROR in <appliName> : <text
// of error record 1 of errhp>". A null ErrMess is left alone.
int SetErrMessFromOCI(OCIError* errhp, const char* appliName, char* ErrMess,
                      int flag);

// Flag 0: "NO_ERROR in <appliName>"; otherwise "ERROR in <appliName> :
// <reason>".
int SetErrMess(const char* appliName, const char* reason, char* ErrMess,
               int flag);

// Replaces a NULL or cut value by a marker ending with the separator, so that
// the later cut at the separator leaves the marker whole. Never writes more
// than size bytes into value.
void CheckFetchIndicator(int indicator, char* value, std::size_t size,
                         char* logmessage, char separator);

// Define buffers of text columns are at least this long.
void EnsureMinColumnLength(int* length);

// Text of error record 1 of errhp, cut to kReasonMax characters; a fixed
// text when the handle holds none.
void ReadErrorText(OCIError* errhp, char* out, std::size_t size,
                    int* number = nullptr);

}  // namespace ferrule
