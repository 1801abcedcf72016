// A client of the library for the vanished-network test. Connects with the
// FERRULE_* settings, says so on standard output, and then, by its first
// argument:
//   lookup GO   waits until the file GO exists, makes one lookup;
//   batch GO    waits until the file GO exists, sends a batch of 2,000 spare
//               devices;
//   build DEV [GO]  builds the routing table of DEV at once, without
//               committing, and with GO holds it (idle in its transaction)
//               until GO exists.
// It prints the result, its ErrMess and how long the call took.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "ferrule.h"

namespace {

void wait_for(const char* file) {
  struct stat st;
  while (stat(file, &st) != 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

int send_batch(char* err) {
  constexpr int kRows = 2000;
  int rc = 0;
  for (int i = 0; i < kRows && rc == 0; ++i) {
    const std::string serial = "probe-" + std::to_string(i);
    rc = InsertMultipleSpareDevices("spare", "board", serial.c_str(), "probe", "none", "store",
                                    i == 0, i == kRows - 1, err);
  }
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  const char* server = std::getenv("FERRULE_SERVER");
  const char* user = std::getenv("FERRULE_USER");
  const char* password = std::getenv("FERRULE_PASSWORD");
  if (argc < 2 || !server || !user || !password) return 2;
  const std::string mode = argv[1];
  char err[400];
  if (DBConnexion(server, user, password, err) != 0) {
    std::printf("not connected: %s\n", err);
    return 1;
  }
  std::printf("connected\n");
  std::fflush(stdout);
  auto start = std::chrono::steady_clock::now();
  auto took = [&] {
    return static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(
                                      std::chrono::steady_clock::now() - start)
                                      .count());
  };
  if (mode == "build" && argc >= 3) {
    int rc = CreateTableSchema(err);
    if (rc == 0) rc = CreateRoutingTable(argv[2], 10, err);
    std::printf("built %d after %lld s: %s\n", rc, took(), err);
    std::fflush(stdout);
    if (argc >= 4) wait_for(argv[3]);
    return 0;
  }
  if (argc < 3 || (mode != "lookup" && mode != "batch")) return 2;
  wait_for(argv[2]);
  start = std::chrono::steady_clock::now();
  int rc = 0;
  if (mode == "lookup") {
    char row[200];
    int len = sizeof row;
    rc = GetDeviceRow_devid(1, &len, row, err);
  } else {
    rc = send_batch(err);
  }
  std::printf("result %d after %lld s: %s\n", rc, took(), err);
  return 0;
}
