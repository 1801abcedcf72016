// Opening a session's connection: the connection text, a bounded wait for
// the server, and what libpq would otherwise print or read by itself.
#include "connection.h"

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace ferrule::oci {
namespace {

enum class ConnectOutcome { kConnected, kFailed, kTimedOut };

// Waits out libpq's non-blocking connection state machine, for at most
// `timeout_seconds` (0: without a limit). libpq's own connect_timeout holds
// only for its blocking connect, so the limit is kept here.
ConnectOutcome finish_connecting(PGconn* conn, int timeout_seconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(timeout_seconds);
  if (PQstatus(conn) == CONNECTION_BAD) return ConnectOutcome::kFailed;
  PostgresPollingStatusType state = PGRES_POLLING_WRITING;
  for (;;) {
    if (state == PGRES_POLLING_OK) return ConnectOutcome::kConnected;
    if (state == PGRES_POLLING_FAILED) return ConnectOutcome::kFailed;
    int wait_ms = -1;
    if (timeout_seconds > 0) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
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
                                             ErrorRecord& error) {
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
  switch (finish_connecting(pg.get(), timeout_seconds)) {
    case ConnectOutcome::kConnected:
      break;
    case ConnectOutcome::kFailed:
      record_connect_error(error, PQerrorMessage(pg.get()));
      return nullptr;
    case ConnectOutcome::kTimedOut:
      error.set(error_number::kNotConnectedToDatabase,
                "timeout expired: no answer from the server within " +
                    std::to_string(timeout_seconds) + " s");
      return nullptr;
  }
  PQsetErrorVerbosity(pg.get(), PQERRORS_DEFAULT);

  std::unique_ptr<Connection> connection(new Connection(std::move(pg)));
  if (!connection->prepare_control_statements(error)) return nullptr;
  return connection;
}

}  // namespace ferrule::oci
