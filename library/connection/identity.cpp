#include "identity.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "report.h"

namespace ferrule {

namespace {

int fail(const char* appliName, const char* marker, char* buffer,
         std::size_t size, char* ErrMess, int error_number) {
  ReportSystemFailure(appliName, ErrMess, error_number);
  if (buffer && size) std::snprintf(buffer, size, "%s", marker);
  return -1;
}

}  // namespace

void ReportSystemFailure(const char* appliName, char* ErrMess, int error_number) {
  if (!ErrMess) return;
  char name[kAppliNameMax + 1];
  CopyWholeCharacters(name, sizeof name, appliName, kAppliNameMax);
  // This form is longer than " : ", so its reason is cut shorter to keep the
  // whole text within kErrMessMax.
  char reason[kReasonMax + 1 - 40];
  CopyWholeCharacters(reason, sizeof reason, std::strerror(error_number), sizeof reason - 1);
  std::snprintf(ErrMess, kErrMessMax, "ERROR in %s failed with error %d: %s", name,
                error_number, reason);
}

int getTerminalName(char* buffer, std::size_t size, char* ErrMess) {
  const char* name = "getTerminalName";
  const char* marker = "ERROR_IN_GETTING_HOST_NAME";
  if (!buffer || size == 0) return fail(name, marker, buffer, size, ErrMess, EINVAL);
  if (gethostname(buffer, size) != 0)
    return fail(name, marker, buffer, size, ErrMess, errno);
  buffer[size - 1] = '\0';
  ReportSuccess(name, ErrMess);
  return 0;
}

int getLoginUser(char* buffer, std::size_t size, char* ErrMess) {
  const char* name = "getLoginUser";
  const char* marker = "ERROR_IN_GETTING_LOGIN_NAME";
  if (!buffer || size == 0) return fail(name, marker, buffer, size, ErrMess, EINVAL);
  long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> scratch(hint > 0 ? static_cast<std::size_t>(hint) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  int rc = getpwuid_r(geteuid(), &entry, scratch.data(), scratch.size(), &found);
  if (rc != 0 || !found) return fail(name, marker, buffer, size, ErrMess, rc ? rc : ENOENT);
  if (std::strlen(found->pw_name) >= size)
    return fail(name, marker, buffer, size, ErrMess, ERANGE);
  std::snprintf(buffer, size, "%s", found->pw_name);
  ReportSuccess(name, ErrMess);
  return 0;
}

}  // namespace ferrule
