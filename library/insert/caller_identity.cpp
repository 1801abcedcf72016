#include "insert/caller_identity.h"

#include <cstring>
#include <string>

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
    const std::string text = !host_ok && !login_ok
                                 ? std::string(host_status) + " , " + login_status
                                 : std::string(host_ok ? login_status : host_status);
    CopyWholeCharacters(ErrMess, kErrMessMax, text.c_str(), kErrMessMax - 1);
  }
  return false;
}

}  // namespace ferrule
