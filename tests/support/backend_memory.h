// The memory of a server process of the private cluster, which runs on
// this machine: what a session holds grows there, where no view of the
// server shows it to an account without monitoring rights.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace testdb {

// The process's resident anonymous memory (RssAnon of /proc/<pid>/status),
// in bytes; -1 when it cannot be read (the process runs as another user).
inline long long BackendMemory(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("RssAnon:", 0) != 0) continue;
    std::istringstream fields(line.substr(8));
    long long kilobytes = -1;
    fields >> kilobytes;
    return kilobytes < 0 ? -1 : kilobytes * 1024;
  }
  return -1;
}

}  // namespace testdb
