// The caller identity stored with every written row: the computer name and
// the login name of the calling process.
#pragma once

#include <cstddef>

namespace ferrule {

// Fill buffer (size bytes) and return 0; on failure write the marker
// "ERROR_IN_GETTING_HOST_NAME" / "ERROR_IN_GETTING_LOGIN_NAME", a system
// error text into ErrMess, and return -1.
int getTerminalName(char* buffer, std::size_t size, char* ErrMess);
int getLoginUser(char* buffer, std::size_t size, char* ErrMess);

// The failure form of a failed system call: "ERROR in <appliName> failed
// with error <n>: <message>". A null ErrMess is left alone.
void ReportSystemFailure(const char* appliName, char* ErrMess, int error_number);

}  // namespace ferrule
