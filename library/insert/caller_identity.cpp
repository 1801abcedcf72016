#include "insert/caller_identity.h"

#include <cstdio>
#include <cstring>

#include "identity.h"
#include "report.h"

namespace ferrule {

namespace {

// Longer names than the system allows are refused by the routines, never cut.
constexpr std::size_t kNameBuffer = 256;

bool ok(const char* status) { return std::strncmp(status, "NO_ERROR", 8) == 0; }

}  // namespace

bool ReadCallerIdentity(CallerIdentity& out, char* ErrMess) {
  char host[kNameBuffer] = "";
  char login[kNameBuffer] = "";
  // The routines bound their status texts by kErrMessMax.
  char host_status[kErrMessMax] = "";
  char login_status[kErrMessMax] = "";
  getTerminalName(host, sizeof host, host_status);
  getLoginUser(login, sizeof login, login_status);
  const bool host_ok = ok(host_status);
  const bool login_ok = ok(login_status);
  if (host_ok && login_ok) {
    out.host = host;
    out.login = login;
    return true;
  }
  if (ErrMess) {
    if (!host_ok && !login_ok)
      std::snprintf(ErrMess, kErrMessMax, "%s , %s", host_status, login_status);
    else
      std::snprintf(ErrMess, kErrMessMax, "%s", host_ok ? login_status : host_status);
  }
  return false;
}

}  // namespace ferrule
