// The server text given to OCIServerAttach, turned into libpq keywords, and
// the connection text that leaves nothing to the environment.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ferrule::oci {

struct ConnectTarget {
  // libpq keyword/value pairs, exactly as the server text gives them.
  std::vector<std::pair<std::string, std::string>> keywords;
};

// Accepts `host[:port][/dbname]`, a libpq URI (postgresql://...) or libpq
// key=value text. Returns false with the reason in `problem` otherwise.
bool parse_connect_text(std::string_view text, ConnectTarget& target,
                        std::string& problem);

// How long the library waits for a server, unless the server text sets
// these libpq settings itself. Opening a connection gives up after
// connect_timeout seconds. On an open connection the kernel probes an idle
// server after keepalives_idle seconds, every keepalives_interval seconds,
// and data or probes that the server leaves unacknowledged for
// tcp_user_timeout milliseconds close the connection: a server or network
// that vanished is noticed within about 35 s. (The same limit would hold
// for data that a live server with full buffers does not take in: batches
// are sent in parts that its buffers hold, pipeline.h.)
namespace wait_limit {
constexpr int kConnectTimeoutSeconds = 10;
constexpr int kKeepalivesIdleSeconds = 10;
constexpr int kKeepalivesIntervalSeconds = 5;
constexpr int kKeepalivesCount = 4;
constexpr int kTcpUserTimeoutMilliseconds = 30000;
}  // namespace wait_limit

// The libpq connection text of the target with this user and password.
// libpq fills every setting that a connection text leaves out from PG*
// environment variables, the password file or a service file; so every
// setting that has such a source is written out: the target's value, else
// the library's own value (the wait limits above, the password file
// /dev/null) or the value libpq would use with nothing set. What the
// environment holds then changes neither where nor as whom the session
// connects, nor how long it waits. Empty when libpq has no memory for its
// list of settings.
std::string connection_text(const ConnectTarget& target, const std::string& user,
                            const std::string& password);

// The connect_timeout setting of a connection text as libpq reads it: the
// seconds to wait for a connection, 0 for no limit (empty, zero or
// negative), -1 for a value that is no integer.
int connect_timeout_seconds(const char* setting);

}  // namespace ferrule::oci
