// Loopback endpoints for connection-failure tests (127.0.0.1 only): a listener that accepts
// connections and never answers, and a port on which nothing listens.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace velmora::testing {

// A socket bound to 127.0.0.1 on a port the kernel picks; returns the descriptor and sets `port`.
inline int boundLoopbackSocket(int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    throw std::runtime_error("bind to 127.0.0.1 failed");
  }
  port = ntohs(address.sin_port);
  return fd;
}

// A loopback port with nothing listening on it: connections are refused.
inline int closedLoopbackPort() {
  int port = 0;
  close(boundLoopbackSocket(port));
  return port;
}

// Listens on 127.0.0.1, accepts every connection and never sends a byte, until destroyed.
class SilentListener {
 public:
  SilentListener() {
    fd_ = boundLoopbackSocket(port_);
    if (listen(fd_, 16) != 0) {
      close(fd_);
      throw std::runtime_error("listen failed");
    }
    acceptor_ = std::thread([this] { acceptUntilStopped(); });
  }
  ~SilentListener() {
    stop_ = true;
    acceptor_.join();
    for (int fd : accepted_) close(fd);
    close(fd_);
  }
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;

  int port() const { return port_; }

 private:
  void acceptUntilStopped() {
    while (!stop_) {
      pollfd waiting{fd_, POLLIN, 0};
      if (poll(&waiting, 1, 50) > 0) {
        const int fd = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) accepted_.push_back(fd);
      }
    }
  }

  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread acceptor_;
  std::vector<int> accepted_;  // touched by the acceptor only until it is joined
};

}  // namespace velmora::testing
