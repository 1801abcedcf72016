// How long a session waits for its server: a connect to a server that
// never answers gives up, an open connection has the socket settings that
// notice a vanished server, and the server text may set other limits.
#include "handles.h"
#include "oci_session.h"
#include "silent_server.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <chrono>
#include <string>

namespace {

using namespace std::chrono_literals;

int socket_option(int fd, int level, int option) {
  int value = -1;
  socklen_t size = sizeof value;
  if (getsockopt(fd, level, option, &value, &size) != 0) return -1;
  return value;
}

struct TcpSettings {
  int keepalive, idle, interval, count, user_timeout_ms;
  bool operator==(const TcpSettings& o) const {
    return keepalive == o.keepalive && idle == o.idle && interval == o.interval &&
           count == o.count && user_timeout_ms == o.user_timeout_ms;
  }
};

std::ostream& operator<<(std::ostream& out, const TcpSettings& s) {
  return out << "keepalive " << s.keepalive << ", idle " << s.idle << " s, interval "
             << s.interval << " s, count " << s.count << ", user timeout " << s.user_timeout_ms
             << " ms";
}

TcpSettings tcp_settings(const OciConnection& db) {
  const int fd = PQsocket(db.session->connection->pg());
  return {socket_option(fd, SOL_SOCKET, SO_KEEPALIVE), socket_option(fd, IPPROTO_TCP, TCP_KEEPIDLE),
          socket_option(fd, IPPROTO_TCP, TCP_KEEPINTVL), socket_option(fd, IPPROTO_TCP, TCP_KEEPCNT),
          socket_option(fd, IPPROTO_TCP, TCP_USER_TIMEOUT)};
}

// The server's settings of the session's connection,
// "keepalives idle,interval,count,user timeout".
std::string server_tcp_settings(const OciConnection& db) {
  return db.first_value(
      "select current_setting('tcp_keepalives_idle') || ',' || "
      "current_setting('tcp_keepalives_interval') || ',' || current_setting('tcp_keepalives_count') "
      "|| ',' || current_setting('tcp_user_timeout')");
}

class OciWaitLimits : public ::testing::Test {
 protected:
  void TearDown() override { db_.close(); }

  // Opens a session on the silent server; false when it did not end within
  // `limit`.
  bool open_silent(const std::string& server_text, std::chrono::seconds limit,
                   std::chrono::steady_clock::duration& took) {
    testdb::Params params{server_text, "nobody", "secret"};
    bool finished = false;
    opened_ = testdb::CallWithin(limit, silent_, [&] { return db_.open(params); }, finished, took);
    return finished;
  }

  testdb::SilentServer silent_;
  OciConnection db_;
  sword opened_ = OCI_SUCCESS;
};

TEST_F(OciWaitLimits, ServerTextSetsTheConnectTimeout) {
  ASSERT_TRUE(silent_.listening());
  std::chrono::steady_clock::duration took{};
  const std::string text = key_value_text(silent_.server_text()) + " connect_timeout=1";
  ASSERT_TRUE(open_silent(text, 60s, took)) << "still waiting after 60 s";
  EXPECT_EQ(opened_, OCI_ERROR);
  // As libpq reads it: one second is two.
  EXPECT_EQ(db_.error_text(), "timeout expired: no answer from the server within 2 s");
  EXPECT_LT(took, 10s);
  db_.close();

  EXPECT_EQ(db_.open({key_value_text(silent_.server_text()) + " connect_timeout=soon", "nobody",
                      "secret"}),
            OCI_ERROR);
  EXPECT_EQ(db_.error_text(),
            "invalid integer value \"soon\" for connection option \"connect_timeout\"");
}

TEST_F(OciWaitLimits, OpenConnectionNoticesAVanishedServer) {
  testdb::Params params;
  if (!testdb::params(params)) GTEST_SKIP() << "no test database set";
  ASSERT_EQ(db_.open(params), OCI_SUCCESS) << db_.error_text();
  // Probes after 10 s of silence, every 5 s; unacknowledged for 30 s, the
  // connection is given up. The server probes its side alike.
  EXPECT_EQ(tcp_settings(db_), (TcpSettings{1, 10, 5, 4, 30000}));
  EXPECT_EQ(server_tcp_settings(db_), "10,5,4,30000");
  db_.close();

  const std::string server_text = key_value_text(params.server);
  params.server = server_text + " keepalives_idle=60 keepalives_interval=7 tcp_user_timeout=90000";
  ASSERT_EQ(db_.open(params), OCI_SUCCESS) << db_.error_text();
  EXPECT_EQ(tcp_settings(db_), (TcpSettings{1, 60, 7, 4, 90000}));
  EXPECT_EQ(server_tcp_settings(db_), "60,7,4,90000");
  db_.close();

  // Read as libpq reads them: blanks and a sign allowed.
  params.server = server_text + " keepalives_idle='+5' keepalives_interval=' 7' "
                                "keepalives_count='3 ' tcp_user_timeout=' +20000 '";
  ASSERT_EQ(db_.open(params), OCI_SUCCESS) << db_.error_text();
  EXPECT_EQ(tcp_settings(db_), (TcpSettings{1, 5, 7, 3, 20000}));
  EXPECT_EQ(server_tcp_settings(db_), "5,7,3,20000");
  db_.close();

  // Keepalives turned off: as libpq sets no user timeout on the client's
  // socket then, given or not, the server keeps its own settings for both.
  const std::string server_default = testdb::value(
      "select current_setting('tcp_keepalives_idle') || ',' || "
      "current_setting('tcp_keepalives_interval') || ',' || current_setting('tcp_keepalives_count') "
      "|| ',' || current_setting('tcp_user_timeout')");
  for (const char* off : {" keepalives=0", " keepalives=00", " keepalives=' -0 '",
                          " keepalives=0 tcp_user_timeout=90000"}) {
    params.server = server_text + off;
    ASSERT_EQ(db_.open(params), OCI_SUCCESS) << db_.error_text();
    EXPECT_EQ(tcp_settings(db_).keepalive, 0) << off;
    EXPECT_EQ(tcp_settings(db_).user_timeout_ms, 0) << off;
    EXPECT_EQ(server_tcp_settings(db_), server_default) << off;
    db_.close();
  }
}

}  // namespace
