#include <winsock2.h>
#include <ws2tcpip.h>


#include "sim/SimSocket.h"

namespace tev {
namespace {

// Winsock is started once for the process and never stopped: sockets may live until exit.
bool WinsockReady() {
  static const bool ready = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ready;
}

SOCKET Sock(std::intptr_t handle) { return static_cast<SOCKET>(handle); }

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return addr;
}

std::intptr_t NewSocket() {
  if (!WinsockReady()) return -1;
  const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  return s == INVALID_SOCKET ? -1 : static_cast<std::intptr_t>(s);
}

}  // namespace

void SocketTraits::Release(std::intptr_t handle) { ::closesocket(Sock(handle)); }

SimSocket SimSocket::Listen(std::uint16_t port) {
  SimSocket s(NewSocket());
  if (!s.Valid()) return {};
  // Exclusive: no other program may take over the port while we listen.
  BOOL on = TRUE;
  ::setsockopt(Sock(s.handle_.Get()), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
  sockaddr_in addr = Loopback(port);
  if (::bind(Sock(s.handle_.Get()), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
  if (::listen(Sock(s.handle_.Get()), 16) != 0) return {};
  return s;
}

SimSocket SimSocket::Connect(std::uint16_t port) {
  SimSocket s(NewSocket());
  if (!s.Valid()) return {};
  sockaddr_in addr = Loopback(port);
  if (::connect(Sock(s.handle_.Get()), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
  s.SetNoDelay();
  return s;
}

bool SimSocket::Valid() const { return handle_.Valid(); }

std::uint16_t SimSocket::LocalPort() const {
  sockaddr_in addr{};
  int len = sizeof addr;
  if (::getsockname(Sock(handle_.Get()), reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
  return ntohs(addr.sin_port);
}

SimSocket SimSocket::Accept() {
  const SOCKET s = ::accept(Sock(handle_.Get()), nullptr, nullptr);
  return SimSocket(s == INVALID_SOCKET ? -1 : static_cast<std::intptr_t>(s));
}

bool SimSocket::WaitReadable(std::uint32_t ms) {
  fd_set read;
  FD_ZERO(&read);
  FD_SET(Sock(handle_.Get()), &read);
  timeval tv{static_cast<long>(ms / 1000), static_cast<long>((ms % 1000) * 1000)};
  return ::select(0, &read, nullptr, nullptr, &tv) > 0;
}

void SimSocket::SetNoDelay() {
  BOOL on = TRUE;
  ::setsockopt(Sock(handle_.Get()), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

bool SimSocket::SendAll(const std::uint8_t* data, std::size_t length) {
  while (length > 0) {
    const int n = ::send(Sock(handle_.Get()), reinterpret_cast<const char*>(data), static_cast<int>(length), 0);
    if (n <= 0) return false;
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

bool SimSocket::ReceiveAll(std::uint8_t* data, std::size_t length) {
  while (length > 0) {
    const int n = ::recv(Sock(handle_.Get()), reinterpret_cast<char*>(data), static_cast<int>(length), 0);
    if (n <= 0) return false;
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

long SimSocket::ReceiveSome(std::uint8_t* data, std::size_t length) {
  const int n = ::recv(Sock(handle_.Get()), reinterpret_cast<char*>(data), static_cast<int>(length), 0);
  return n < 0 ? -1 : static_cast<long>(n);
}

void SimSocket::SetSendTimeout(std::uint32_t ms) {
  const DWORD limit = ms;
  ::setsockopt(Sock(handle_.Get()), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
}

void SimSocket::Shutdown() {
  if (Valid()) ::shutdown(Sock(handle_.Get()), SD_BOTH);
}

void SimSocket::Close() { handle_.Reset(); }

}  // namespace tev
