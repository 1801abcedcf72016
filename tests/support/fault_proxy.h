// A TCP proxy between clients and the test server that breaks a connection
// at the moments a client cannot see: while COMMIT is on its way, and after
// a login that succeeded. It reads the protocol's framing (a type byte and
// a 32-bit length per message, untyped length-prefixed packets before the
// login) to find those moments, and otherwise passes every byte unchanged.
//
//   testdb::FaultProxy proxy;                      // forwards to FERRULE_SERVER
//   DBConnexion(proxy.server_text().c_str(), user, password, ErrMess);
//   proxy.arm(testdb::FaultProxy::Fault::kDropAfterCommit);
//   ... a call that commits ...                    // answers the lost connection
//   EXPECT_TRUE(proxy.struck());
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testdb {

class FaultProxy {
 public:
  enum class Fault {
    kNone,
    // The client's COMMIT (a simple query or a parse message of that text)
    // never reaches the server: both connections are closed in its place,
    // so nothing is committed.
    kDropBeforeCommit,
    // COMMIT reaches the server, and both connections are closed when the
    // server answers it, before the answer reaches the client: the commit
    // happened and the client cannot know.
    kDropAfterCommit,
    // Once the login has completed (the server's first ReadyForQuery has
    // reached the client), nothing more is forwarded either way and both
    // sockets stay open, as with a server that froze. When the client
    // closes its side, the proxy closes the server's, which ends the
    // server's session.
    kFreezeAfterLogin,
  };

  // Listens on 127.0.0.1 and forwards to the server of FERRULE_SERVER,
  // every byte unchanged until a fault is armed.
  FaultProxy();
  ~FaultProxy();
  FaultProxy(const FaultProxy&) = delete;
  FaultProxy& operator=(const FaultProxy&) = delete;

  bool listening() const { return listen_fd_ >= 0; }
  // "127.0.0.1:<port>/<dbname>", as the library and the client layer are
  // given a server.
  std::string server_text() const;

  // The first connection that reaches the fault's moment gets it, once;
  // the others, before and after, pass unharmed.
  void arm(Fault fault) { armed_ = fault; }
  // Whether the armed fault has happened.
  bool struck() const { return struck_; }
  // Waits at most `limit` for the client of a frozen connection to close
  // its side; true when it did.
  bool client_closed_within(std::chrono::milliseconds limit);

 private:
  struct Relay;
  void run();
  void accept_client();
  void serve(Relay& relay, short client_events, short server_events);
  void frame_client_bytes(Relay& relay);
  void frame_server_bytes(Relay& relay);
  bool take(Fault fault);
  void note_client_closed();

  int listen_fd_ = -1;
  int port_ = 0;
  std::string upstream_host_, upstream_port_, dbname_;
  int wake_[2] = {-1, -1};
  std::atomic<Fault> armed_{Fault::kNone};
  std::atomic<bool> struck_{false};
  std::atomic<bool> stopping_{false};
  std::vector<std::unique_ptr<Relay>> relays_;
  std::mutex mutex_;
  std::condition_variable closed_;
  bool client_closed_ = false;
  std::thread thread_;
};

}  // namespace testdb
