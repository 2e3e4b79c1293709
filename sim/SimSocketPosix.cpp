#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

#include "sim/SimSocket.h"

namespace tev {
namespace {

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return addr;
}

}  // namespace

void SocketTraits::Release(std::intptr_t handle) { ::close(Fd(handle)); }

SimSocket SimSocket::Listen(std::uint16_t port) {
  SimSocket s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!s.Valid()) return {};
  int on = 1;
  ::setsockopt(Fd(s.handle_.Get()), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in addr = Loopback(port);
  if (::bind(Fd(s.handle_.Get()), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
  if (::listen(Fd(s.handle_.Get()), 16) != 0) return {};
  return s;
}

SimSocket SimSocket::Connect(std::uint16_t port) {
  SimSocket s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!s.Valid()) return {};
  sockaddr_in addr = Loopback(port);
  if (::connect(Fd(s.handle_.Get()), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
  s.SetNoDelay();
  return s;
}

bool SimSocket::Valid() const { return handle_.Valid(); }

std::uint16_t SimSocket::LocalPort() const {
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  if (::getsockname(Fd(handle_.Get()), reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
  return ntohs(addr.sin_port);
}

SimSocket SimSocket::Accept() {
  int fd;
  do {
    fd = ::accept4(Fd(handle_.Get()), nullptr, nullptr, SOCK_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return SimSocket(fd);
}

bool SimSocket::WaitReadable(std::uint32_t ms) {
  pollfd p{Fd(handle_.Get()), POLLIN, 0};
  const int n = ::poll(&p, 1, static_cast<int>(ms));
  return n > 0;
}

void SimSocket::SetNoDelay() {
  int on = 1;
  ::setsockopt(Fd(handle_.Get()), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

bool SimSocket::SendAll(const std::uint8_t* data, std::size_t length) {
  while (length > 0) {
    // MSG_NOSIGNAL: a peer that has gone is an error here, not a signal that ends the process.
    const ssize_t n = ::send(Fd(handle_.Get()), data, length, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

bool SimSocket::ReceiveAll(std::uint8_t* data, std::size_t length) {
  while (length > 0) {
    const ssize_t n = ::recv(Fd(handle_.Get()), data, length, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

long SimSocket::ReceiveSome(std::uint8_t* data, std::size_t length) {
  for (;;) {
    const ssize_t n = ::recv(Fd(handle_.Get()), data, length, 0);
    if (n < 0 && errno == EINTR) continue;
    return static_cast<long>(n);
  }
}

void SimSocket::SetSendTimeout(std::uint32_t ms) {
  timeval limit{};
  limit.tv_sec = static_cast<time_t>(ms / 1000);
  limit.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
  ::setsockopt(Fd(handle_.Get()), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

void SimSocket::Shutdown() {
  if (Valid()) ::shutdown(Fd(handle_.Get()), SHUT_RDWR);
}

void SimSocket::Close() { handle_.Reset(); }

}  // namespace tev
