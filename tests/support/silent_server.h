// A server that accepts connections and never answers, as a frozen
// database server looks to its clients: the kernel completes every TCP
// handshake on the listening socket, and nothing ever reads or writes.
// Closing it resets the connections it holds, which ends any wait on them.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

namespace testdb {

class SilentServer {
 public:
  SilentServer() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(fd_, 16) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      close();
      return;
    }
    port_ = ntohs(address.sin_port);
  }
  ~SilentServer() { close(); }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  bool listening() const { return fd_ >= 0; }
  // "127.0.0.1:<port>/<dbname>", as the library is given a server.
  std::string server_text(const std::string& dbname = "ferrule") const {
    return "127.0.0.1:" + std::to_string(port_) + "/" + dbname;
  }
  int port() const { return port_; }

  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// Runs `call` on a thread of its own and waits for it at most `limit`. A
// call still waiting then is released by closing the server it waits on, so
// that the test ends either way; `finished` says whether it ended in time.
template <typename Call>
auto CallWithin(std::chrono::seconds limit, SilentServer& server, Call call, bool& finished,
                std::chrono::steady_clock::duration& took) {
  const auto start = std::chrono::steady_clock::now();
  std::packaged_task<decltype(call())()> task(call);
  auto result = task.get_future();
  std::thread worker(std::move(task));
  finished = result.wait_for(limit) == std::future_status::ready;
  took = std::chrono::steady_clock::now() - start;
  if (!finished) server.close();
  worker.join();
  return result.get();
}

}  // namespace testdb
