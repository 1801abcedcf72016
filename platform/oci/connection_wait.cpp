// Waiting for the server within a call's time limit. libpq's own waits
// have none: PQgetResult blocks until the answer is there. So a call with a
// limit reads the answer itself, with poll and the call's deadline, and
// takes libpq's next result only once it is whole.
#include "connection.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace ferrule::oci {

void Connection::begin_call(std::chrono::milliseconds timeout) {
  call_timeout_ = timeout;
  call_timed_out_ = false;
  call_deadline_.reset();
  if (timeout.count() > 0) call_deadline_ = Clock::now() + timeout;
}

PGresult* Connection::next_result() {
  if (call_deadline_ && !await_result()) return nullptr;
  return PQgetResult(pg());
}

bool Connection::await_result() {
  if (call_timed_out_) return false;
  while (PQisBusy(pg())) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*call_deadline_ - Clock::now());
    if (left.count() <= 0) {
      abandon_call();
      return false;
    }
    pollfd socket{PQsocket(pg()), POLLIN, 0};
    const int wait_ms = static_cast<int>(std::min<long long>(left.count(), INT_MAX));
    if (poll(&socket, 1, wait_ms) < 0 && errno != EINTR) return true;
    // A connection that failed is for PQgetResult to report.
    if (PQconsumeInput(pg()) == 0) return true;
  }
  return true;
}

void Connection::abandon_call() {
  call_timed_out_ = true;
  // The server learns at once that its client has gone, and stops what it
  // was doing for the call (see set_up_session). libpq, reading the end of
  // the socket, counts the connection lost: later calls fail at once.
  shutdown(PQsocket(pg()), SHUT_RDWR);
  PQconsumeInput(pg());
}

void Connection::record_failure(ErrorRecord& error, const PGresult* result) const {
  if (call_timed_out_)
    record_call_timeout(error, call_timeout_);
  else
    record_result_error(error, result, pg());
}

}  // namespace ferrule::oci
