// Opening a session's connection: the connection text, a bounded wait for
// the server, and what libpq would otherwise print or read by itself.
#include "connection.h"

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

namespace ferrule::oci {
namespace {

using Clock = std::chrono::steady_clock;

enum class ConnectOutcome { kConnected, kFailed, kTimedOut };

// Waits out libpq's non-blocking connection state machine, until the
// deadline when there is one. libpq's own connect_timeout holds only for
// its blocking connect, so the limit is kept here.
ConnectOutcome finish_connecting(PGconn* conn, std::optional<Clock::time_point> deadline) {
  if (PQstatus(conn) == CONNECTION_BAD) return ConnectOutcome::kFailed;
  PostgresPollingStatusType state = PGRES_POLLING_WRITING;
  for (;;) {
    if (state == PGRES_POLLING_OK) return ConnectOutcome::kConnected;
    if (state == PGRES_POLLING_FAILED) return ConnectOutcome::kFailed;
    int wait_ms = -1;
    if (deadline) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
      if (left.count() <= 0) return ConnectOutcome::kTimedOut;
      wait_ms = static_cast<int>(left.count());
    }
    pollfd fd{PQsocket(conn), static_cast<short>(state == PGRES_POLLING_READING ? POLLIN : POLLOUT),
              0};
    const int ready = poll(&fd, 1, wait_ms);
    if (ready < 0 && errno != EINTR) return ConnectOutcome::kFailed;
    if (ready <= 0) continue;  // interrupted, or the time is up: checked above
    state = PQconnectPoll(conn);
  }
}

// The connect_timeout that libpq took from the connection text, as given.
std::string connect_timeout_setting(PGconn* conn) {
  std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)> options(PQconninfo(conn),
                                                                          PQconninfoFree);
  for (const PQconninfoOption* o = options.get(); o && o->keyword; ++o)
    if (std::strcmp(o->keyword, "connect_timeout") == 0 && o->val) return o->val;
  return {};
}

// Server notices (a table that an IF EXISTS drop did not find, say) are for
// interactive clients: a library's caller has no use for them on its
// standard error.
void ignore_notice(void*, const char*) {}

}  // namespace

std::unique_ptr<Connection> Connection::open(const ConnectTarget& target,
                                             const std::string& user,
                                             const std::string& password,
                                             std::chrono::milliseconds call_timeout,
                                             ErrorRecord& error) {
  const Clock::time_point start = Clock::now();
  // One connection text, expanded by libpq as its dbname: unlike separate
  // keywords, it can say "empty" for a setting, which keeps the environment
  // from filling it.
  const std::string text = connection_text(target, user, password);
  if (text.empty()) {
    error.set(error_number::kNotConnectedToDatabase, "out of memory");
    return nullptr;
  }
  const char* keys[] = {"dbname", nullptr};
  const char* values[] = {text.c_str(), nullptr};
  PgConnPtr pg(PQconnectStartParams(keys, values, /*expand_dbname=*/1));
  if (!pg) {
    error.set(error_number::kNotConnectedToDatabase, "out of memory");
    return nullptr;
  }
  const std::string timeout_setting = connect_timeout_setting(pg.get());
  const int timeout_seconds = connect_timeout_seconds(timeout_setting.c_str());
  if (timeout_seconds < 0 && PQstatus(pg.get()) != CONNECTION_BAD) {
    error.set(error_number::kOther, "invalid integer value \"" + timeout_setting +
                                        "\" for connection option \"connect_timeout\"");
    return nullptr;
  }
  PQsetNoticeProcessor(pg.get(), ignore_notice, nullptr);
  // libpq gives no SQLSTATE for a failed connection; the verbose message
  // carries it, which is how a wrong password is told from other failures.
  PQsetErrorVerbosity(pg.get(), PQERRORS_VERBOSE);
  // The login ends at the connect timeout or at the end of the call,
  // whichever comes first; the session's setup, at the end of the call.
  std::optional<Clock::time_point> connect_deadline, call_deadline;
  if (timeout_seconds > 0) connect_deadline = start + std::chrono::seconds(timeout_seconds);
  if (call_timeout.count() > 0) call_deadline = start + call_timeout;
  const bool call_ends_first =
      call_deadline && (!connect_deadline || *call_deadline <= *connect_deadline);
  switch (finish_connecting(pg.get(), call_ends_first ? call_deadline : connect_deadline)) {
    case ConnectOutcome::kConnected:
      break;
    case ConnectOutcome::kFailed:
      record_connect_error(error, PQerrorMessage(pg.get()));
      return nullptr;
    case ConnectOutcome::kTimedOut:
      if (call_ends_first)
        record_call_timeout(error, call_timeout);
      else
        error.set(error_number::kNotConnectedToDatabase,
                  "timeout expired: no answer from the server within " +
                      std::to_string(timeout_seconds) + " s");
      return nullptr;
  }
  PQsetErrorVerbosity(pg.get(), PQERRORS_DEFAULT);

  std::unique_ptr<Connection> connection(new Connection(std::move(pg)));
  connection->call_timeout_ = call_timeout;
  connection->call_deadline_ = call_deadline;
  if (!connection->set_up_session(error)) return nullptr;
  return connection;
}

}  // namespace ferrule::oci
