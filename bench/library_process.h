// A library session for a benchmark in a child process of its own (the
// library keeps one session a process), so that a benchmark can drive two
// sessions side by side. The child opens a new session when asked (ending
// the one it had), and makes one call of a table each time it is asked,
// answering what the call cost. It works only when asked, and the parent
// waits for each answer: the calls of two such processes never overlap.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace bench {

// What one call cost: its time, and the processor time that the calling
// process spent in it. wall_ms is negative for a call that failed.
struct CallCost {
  double wall_ms = -1;
  double cpu_ms = 0;
};

inline double ProcessCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Times `call`, which answers whether it did what was expected.
template <class Call>
CallCost TimeCall(Call&& call) {
  const double cpu0 = ProcessCpuMs();
  const auto t0 = std::chrono::steady_clock::now();
  const bool ok = call();
  CallCost cost;
  cost.wall_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                     .count();
  cost.cpu_ms = ProcessCpuMs() - cpu0;
  if (!ok) cost.wall_ms = -1;
  return cost;
}

// The child runs `connect()`, `disconnect()` and `calls[i]()`, each true
// when it did what was expected. Make it while this process holds no
// library session: the child would share it.
class LibraryProcess {
 public:
  using Step = bool (*)();

  // Longer than this, a call has waited for something (a lock that another
  // session holds, say).
  static constexpr int kAnswerLimitMs = 30000;

  LibraryProcess(Step connect, Step disconnect, const Step* calls, size_t count) {
    int ask[2], answer[2];
    if (pipe(ask) != 0) return;
    if (pipe(answer) != 0) {
      close(ask[0]);
      close(ask[1]);
      return;
    }
    std::fflush(nullptr);
    child_ = fork();
    if (child_ == 0) {
      close(ask[1]);
      close(answer[0]);
      Serve(connect, disconnect, calls, count, ask[0], answer[1]);
    }
    close(ask[0]);
    close(answer[1]);
    ask_ = ask[1];
    answer_ = answer[0];
  }
  LibraryProcess(const LibraryProcess&) = delete;
  LibraryProcess& operator=(const LibraryProcess&) = delete;
  ~LibraryProcess() {
    if (ask_ >= 0) close(ask_);  // the child ends its session and exits
    if (child_ > 0) {
      pollfd end{answer_, POLLIN, 0};
      if (poll(&end, 1, kAnswerLimitMs) <= 0) kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    if (answer_ >= 0) close(answer_);
  }

  // A new session; false when it could not connect.
  bool Reconnect() { return Ask(kReconnect).wall_ms >= 0; }

  // One call of calls[index]; one that failed, or did not answer within
  // kAnswerLimitMs, has a negative wall_ms.
  CallCost Call(size_t index) { return Ask(static_cast<char>(index)); }

 private:
  static constexpr char kReconnect = 'n';

  CallCost Ask(char what) {
    CallCost cost;
    if (child_ <= 0 || write(ask_, &what, 1) != 1) return cost;
    pollfd ready{answer_, POLLIN, 0};
    if (poll(&ready, 1, kAnswerLimitMs) != 1 ||
        read(answer_, &cost, sizeof cost) != sizeof cost)
      cost.wall_ms = -1;
    return cost;
  }

  [[noreturn]] static void Serve(Step connect, Step disconnect, const Step* calls, size_t count,
                                 int ask, int answer) {
    bool connected = false;
    for (char what; read(ask, &what, 1) == 1;) {
      CallCost cost;
      if (what == kReconnect) {
        if (connected) disconnect();
        connected = connect();
        cost.wall_ms = connected ? 0 : -1;
      } else if (connected && static_cast<size_t>(what) < count) {
        cost = TimeCall(calls[static_cast<size_t>(what)]);
      }
      if (write(answer, &cost, sizeof cost) != sizeof cost) break;
    }
    if (connected) disconnect();
    _exit(0);
  }

  pid_t child_ = -1;
  int ask_ = -1, answer_ = -1;
};

}  // namespace bench
