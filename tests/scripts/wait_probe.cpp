// Connects through the library with the FERRULE_* settings, says so on
// standard output, waits until the file named by its argument exists, then
// makes one lookup and prints its result, its ErrMess and how long it took.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "ferrule.h"

int main(int argc, char** argv) {
  const char* server = std::getenv("FERRULE_SERVER");
  const char* user = std::getenv("FERRULE_USER");
  const char* password = std::getenv("FERRULE_PASSWORD");
  if (argc != 2 || !server || !user || !password) return 2;
  char err[400];
  if (DBConnexion(server, user, password, err) != 0) {
    std::printf("not connected: %s\n", err);
    return 1;
  }
  std::printf("connected\n");
  std::fflush(stdout);
  struct stat st;
  while (stat(argv[1], &st) != 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto start = std::chrono::steady_clock::now();
  char row[200];
  int len = sizeof row;
  const int rc = GetDeviceRow_devid(1, &len, row, err);
  const auto took = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::steady_clock::now() - start);
  std::printf("result %d after %lld s: %s\n", rc, static_cast<long long>(took.count()), err);
  return 0;
}
