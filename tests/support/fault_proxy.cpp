#include "fault_proxy.h"

#include "test_db.h"
#include "wire_messages.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace testdb {
namespace {

using namespace wire;

// Bytes held for a side that does not take them in stop the reading.
constexpr std::size_t kMaxHeld = 1 << 20;

// Appends what the socket holds; false at its end or on an error.
bool read_into(int fd, std::string& bytes) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n > 0) {
      bytes.append(buffer, static_cast<std::size_t>(n));
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

// Writes what the socket takes in; false on an error.
bool write_from(int fd, std::string& bytes) {
  while (!bytes.empty()) {
    const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n > 0) {
      bytes.erase(0, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
  return true;
}

void make_nonblocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

int connect_to(const std::string& host, const std::string& port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0) return -1;
  int fd = -1;
  for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
    fd = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
      close(fd);
      fd = -1;
    }
  }
  freeaddrinfo(found);
  if (fd >= 0) make_nonblocking(fd);
  return fd;
}

void close_fd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

// One client connection and the proxy's connection to the server for it.
struct FaultProxy::Relay {
  int client = -1;
  int server = -1;
  std::string from_client, from_server;  // read, not yet a whole message
  std::string to_client, to_server;      // whole messages, not yet written
  bool startup_sent = false;  // typed messages follow the client's startup packet
  int one_byte_answers = 0;   // due from the server, to encryption requests
  bool encrypted = false;     // passed on unread: no fault can find its moment
  bool logged_in = false;
  bool commit_sent = false;  // a COMMIT whose answer is to be dropped
  bool frozen = false;

  bool closed() const { return client < 0; }
  void close_both() {
    close_fd(client);
    close_fd(server);
  }
};

FaultProxy::FaultProxy() {
  Params params;
  if (!testdb::params(params)) return;
  std::string host = params.server;
  if (auto slash = host.find('/'); slash != std::string::npos) {
    dbname_ = host.substr(slash + 1);
    host.resize(slash);
  }
  upstream_port_ = "5432";
  if (auto colon = host.find(':'); colon != std::string::npos) {
    upstream_port_ = host.substr(colon + 1);
    host.resize(colon);
  }
  upstream_host_ = host;

  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listen_fd_, 16) != 0 ||
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
      pipe(wake_) != 0) {
    close_fd(listen_fd_);
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { run(); });
}

FaultProxy::~FaultProxy() {
  stopping_ = true;
  if (thread_.joinable()) {
    const char stop = 0;
    if (write(wake_[1], &stop, 1) != 1) {}
    thread_.join();
  }
  for (auto& relay : relays_) relay->close_both();
  close_fd(listen_fd_);
  close_fd(wake_[0]);
  close_fd(wake_[1]);
}

std::string FaultProxy::server_text() const {
  return "127.0.0.1:" + std::to_string(port_) + "/" + dbname_;
}

bool FaultProxy::client_closed_within(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  return closed_.wait_for(lock, limit, [this] { return client_closed_; });
}

bool FaultProxy::take(Fault fault) {
  Fault expected = fault;
  if (!armed_.compare_exchange_strong(expected, Fault::kNone)) return false;
  struck_ = true;
  return true;
}

void FaultProxy::note_client_closed() {
  std::lock_guard<std::mutex> lock(mutex_);
  client_closed_ = true;
  closed_.notify_all();
}

void FaultProxy::run() {
  while (!stopping_) {
    std::vector<pollfd> fds{{wake_[0], POLLIN, 0}, {listen_fd_, POLLIN, 0}};
    for (const auto& relay : relays_) {
      const Relay& r = *relay;
      const short to_client = r.to_client.empty() ? 0 : POLLOUT;
      const short to_server = r.to_server.empty() ? 0 : POLLOUT;
      if (r.frozen) {
        fds.push_back({r.client, static_cast<short>(POLLRDHUP | to_client), 0});
        fds.push_back({r.server, to_server, 0});
      } else {
        const short client_in = r.to_server.size() < kMaxHeld ? POLLIN : 0;
        const short server_in = r.to_client.size() < kMaxHeld ? POLLIN : 0;
        fds.push_back({r.client, static_cast<short>(client_in | to_client), 0});
        fds.push_back({r.server, static_cast<short>(server_in | to_server), 0});
      }
    }
    if (poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) break;
    for (std::size_t i = 0; i < relays_.size(); ++i)
      serve(*relays_[i], fds[2 + 2 * i].revents, fds[3 + 2 * i].revents);
    relays_.erase(std::remove_if(relays_.begin(), relays_.end(),
                                 [](const auto& relay) { return relay->closed(); }),
                  relays_.end());
    if (fds[1].revents & POLLIN) accept_client();
  }
}

void FaultProxy::accept_client() {
  auto relay = std::make_unique<Relay>();
  relay->client = accept(listen_fd_, nullptr, nullptr);
  if (relay->client < 0) return;
  relay->server = connect_to(upstream_host_, upstream_port_);
  if (relay->server < 0) {
    relay->close_both();
    return;
  }
  make_nonblocking(relay->client);
  relays_.push_back(std::move(relay));
}

void FaultProxy::serve(Relay& relay, short client_events, short server_events) {
  constexpr short kReadable = POLLIN | POLLHUP | POLLERR | POLLRDHUP;
  if (relay.frozen) {
    if (client_events & (POLLRDHUP | POLLHUP | POLLERR)) {
      relay.close_both();
      note_client_closed();
      return;
    }
    // What was on its way when the login completed still goes.
    write_from(relay.client, relay.to_client);
    if (relay.server >= 0 && !write_from(relay.server, relay.to_server)) close_fd(relay.server);
    if (server_events & (POLLHUP | POLLERR)) close_fd(relay.server);
    return;
  }
  bool open = true;
  if (client_events & kReadable) {
    open = read_into(relay.client, relay.from_client);
    frame_client_bytes(relay);
    if (relay.closed()) return;
  }
  if (server_events & kReadable) {
    open = read_into(relay.server, relay.from_server) && open;
    frame_server_bytes(relay);
    if (relay.closed()) return;
  }
  open = write_from(relay.client, relay.to_client) && open;
  open = write_from(relay.server, relay.to_server) && open;
  if (!open) {
    // One side ended: what the other was sent before (a server's last
    // error, a client's goodbye) is delivered, then both are closed.
    for (int attempt = 0; attempt < 100 && !(relay.to_client.empty() && relay.to_server.empty());
         ++attempt) {
      if (!write_from(relay.client, relay.to_client)) relay.to_client.clear();
      if (!write_from(relay.server, relay.to_server)) relay.to_server.clear();
      if (!(relay.to_client.empty() && relay.to_server.empty())) poll(nullptr, 0, 10);
    }
    relay.close_both();
  }
}

void FaultProxy::frame_client_bytes(Relay& relay) {
  if (relay.encrypted) {
    relay.to_server += relay.from_client;
    relay.from_client.clear();
    return;
  }
  for (;;) {
    const std::size_t size = message_size(relay.from_client, relay.startup_sent);
    if (size == std::string::npos) return relay.close_both();
    if (size == 0) return;
    std::string message = relay.from_client.substr(0, size);
    relay.from_client.erase(0, size);
    if (!relay.startup_sent) {
      const std::uint32_t code = size >= 8 ? big_endian_32(message, 4) : 0;
      if (code == kSslRequest || code == kGssRequest)
        ++relay.one_byte_answers;
      else if (code != kCancelRequest)
        relay.startup_sent = true;
    } else if (is_commit(message)) {
      if (take(Fault::kDropBeforeCommit)) return relay.close_both();
      if (take(Fault::kDropAfterCommit)) relay.commit_sent = true;
    }
    relay.to_server += message;
  }
}

void FaultProxy::frame_server_bytes(Relay& relay) {
  if (relay.encrypted) {
    relay.to_client += relay.from_server;
    relay.from_server.clear();
    return;
  }
  while (relay.one_byte_answers > 0 && !relay.from_server.empty()) {
    --relay.one_byte_answers;
    const char answer = relay.from_server[0];
    relay.to_client += answer;
    relay.from_server.erase(0, 1);
    if (answer == 'S' || answer == 'G') {
      relay.encrypted = true;
      return frame_server_bytes(relay);
    }
  }
  if (relay.one_byte_answers > 0) return;
  for (;;) {
    const std::size_t size = message_size(relay.from_server, true);
    if (size == std::string::npos) return relay.close_both();
    if (size == 0) return;
    std::string message = relay.from_server.substr(0, size);
    relay.from_server.erase(0, size);
    if (relay.commit_sent && answers_commit(message)) return relay.close_both();
    const char type = message[0];
    relay.to_client += message;
    if (type == 'Z' && !relay.logged_in) {
      relay.logged_in = true;
      if (take(Fault::kFreezeAfterLogin)) {
        relay.frozen = true;
        return;
      }
    }
  }
}

}  // namespace testdb
