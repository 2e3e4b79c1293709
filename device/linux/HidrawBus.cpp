#include "device/linux/HidrawBus.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <thread>

#include "device/linux/UniqueFd.h"
#include "model/WidePath.h"

namespace tev::hidraw {
namespace {

constexpr std::uint8_t kRead = 1;
constexpr std::uint8_t kWrite = 2;

// More than hidraw ever queues (63 reports): only a guard against a device that never stops.
constexpr int kMaxDiscarded = 1024;
// The largest report hidraw hands out; a longer one would be cut short by the kernel anyway.
constexpr std::size_t kMaxReport = 16384;

// What the kernel answers once the device has been unplugged: EIO from read, ENODEV from
// write; a socket standing in for the node gives EPIPE.
bool MeansGone(int error) { return error == EIO || error == ENODEV || error == EPIPE; }

bool TransientError(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

struct HidrawBus::Node {
  UniqueFd fd;
  bool socket = false;  // only where tests hand out one end of a socket pair
  std::atomic<bool> gone{false};
  std::uint8_t held = 0;  // access taken by open handles; guarded by the bus's mutex
};

struct HidrawBus::Handle {
  std::shared_ptr<Node> node;
  std::uint8_t access = 0;
  UniqueFd wake;  // an eventfd: Close makes it readable, ending a wait on another thread
  std::atomic<bool> closed{false};
  std::mutex transfer;  // one transfer at a time per handle
  std::array<std::uint8_t, kMaxReport> scratch;  // guarded by `transfer`
};

int HidrawBus::OpenNode(const std::string& node) { return ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC); }

HidrawBus::HidrawBus(std::filesystem::path sysfsRoot, NodeOpener opener)
    : sysfsRoot_(std::move(sysfsRoot)), opener_(std::move(opener)) {}

HidrawBus::~HidrawBus() {
  std::vector<HidHandle> open;
  {
    std::lock_guard lock(mutex_);
    for (const auto& [id, handle] : handles_) open.push_back(id);
  }
  for (HidHandle id : open) Close(id);
}

std::vector<std::wstring> HidrawBus::EnumerateInterfaces() {
  std::vector<std::wstring> paths;
  for (const HidrawInterface& found : ScanHidraw(sysfsRoot_)) paths.push_back(Utf8ToWide(found.path));
  return paths;
}

std::optional<HidrawInterface> HidrawBus::Describe(const std::wstring& path) const {
  return FindHidraw(sysfsRoot_, WideToUtf8(path));
}

std::optional<HidAttributes> HidrawBus::ReadAttributes(const std::wstring& path) {
  const std::optional<HidrawInterface> found = Describe(path);
  if (!found) return std::nullopt;
  // A USB device without a readable release number has attributes that cannot be read; other
  // buses have no such number at all.
  if (found->bus == kBusUsb && !found->version) return std::nullopt;
  HidAttributes attrs;
  attrs.VendorID = found->vendorId;
  attrs.ProductID = found->productId;
  attrs.VersionNumber = found->version.value_or(0);
  return attrs;
}

// hidraw keeps its own queue of input reports for every open file: 64 slots, of which 63 hold
// reports, fixed in the kernel with no call to make it larger. That is already more than the 32
// the other systems keep unless asked, so the read handle has nothing to ask for. Unlike those,
// a full hidraw queue drops the report that arrives, not the oldest.
HidHandle HidrawBus::OpenForReading(const std::wstring& path) { return Open(path, kRead); }

HidHandle HidrawBus::OpenForWriting(const std::wstring& path) { return Open(path, kWrite); }

// Both handles of the pair share one open file of the node. As on Windows, each takes only its
// own kind of access, so the pair can be open together while a second reader or writer in this
// process is refused; an exclusive lock on the node refuses other processes that use this bus.
HidHandle HidrawBus::Open(const std::wstring& path, std::uint8_t access) {
  auto handle = std::make_shared<Handle>();
  handle->access = access;
  handle->wake.Reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!handle->wake.Valid()) {
    lastOpenError_ = errno;
    return kInvalidHidHandle;
  }
  std::lock_guard lock(mutex_);
  const std::string narrow = WideToUtf8(path);
  std::shared_ptr<Node> node;
  if (auto it = nodes_.find(narrow); it != nodes_.end()) {
    node = it->second;
    if (node->held & access) {
      lastOpenError_ = EBUSY;
      return kInvalidHidHandle;
    }
  } else {
    node = OpenNodeLocked(narrow);
    if (!node) return kInvalidHidHandle;
    nodes_[narrow] = node;
  }
  node->held |= access;
  handle->node = std::move(node);
  const HidHandle id = nextHandle_++;
  handles_[id] = std::move(handle);
  return id;
}

std::shared_ptr<HidrawBus::Node> HidrawBus::OpenNodeLocked(const std::string& path) {
  const std::optional<HidrawInterface> found = FindHidraw(sysfsRoot_, path);
  if (!found) {
    lastOpenError_ = ENOENT;
    return nullptr;
  }
  auto node = std::make_shared<Node>();
  node->fd.Reset(opener_(found->node));
  if (!node->fd.Valid()) {
    lastOpenError_ = errno;
    return nullptr;
  }
  const int fd = node->fd.Get();
  // Waits are poll's: every read and write must return at once.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0 || ::fcntl(fd, F_SETFD, FD_CLOEXEC) < 0) {
    lastOpenError_ = errno;
    return nullptr;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) < 0 && errno == EWOULDBLOCK) {
    lastOpenError_ = EBUSY;
    return nullptr;
  }
  struct stat st {};
  node->socket = ::fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode);
  return node;
}

void HidrawBus::Close(HidHandle id) {
  std::shared_ptr<Handle> handle;
  {
    std::lock_guard lock(mutex_);
    auto it = handles_.find(id);
    if (it == handles_.end()) return;
    handle = std::move(it->second);
    handles_.erase(it);
    handle->node->held &= static_cast<std::uint8_t>(~handle->access);
    if (handle->node->held == 0) {
      for (auto n = nodes_.begin(); n != nodes_.end(); ++n) {
        if (n->second == handle->node) {
          nodes_.erase(n);
          break;
        }
      }
    }
  }
  // A transfer still waiting on another thread ends now, empty-handed; the node's file closes
  // when the last transfer using it has let go.
  handle->closed = true;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(handle->wake.Get(), &one, sizeof one);
}

std::shared_ptr<HidrawBus::Handle> HidrawBus::Find(HidHandle id, std::uint8_t access) {
  std::lock_guard lock(mutex_);
  auto it = handles_.find(id);
  if (it == handles_.end() || !(it->second->access & access)) return nullptr;
  return it->second;
}

HidrawBus::Wait HidrawBus::WaitFor(Handle& handle, short events, std::chrono::steady_clock::time_point deadline) {
  Node& node = *handle.node;
  for (;;) {
    if (handle.closed) return Wait::Closed;
    if (node.gone) return Wait::Gone;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const int timeout = static_cast<int>(std::clamp<long long>(left.count(), 0, 0x7FFFFFFF));
    pollfd fds[2] = {{node.fd.Get(), events, 0}, {handle.wake.Get(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return Wait::TimedOut;  // poll itself failed: this transfer fails, nothing more is known
    if (ready == 0) return Wait::TimedOut;
    if (fds[1].revents) return Wait::Closed;
    // hidraw says POLLERR | POLLHUP once the device has gone; a socket says POLLHUP when its
    // other end has closed. Either way no report of this device is worth waiting for.
    if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
      node.gone = true;
      return Wait::Gone;
    }
    if (fds[0].revents & events) return Wait::Ready;
  }
}

bool HidrawBus::WriteReport(HidHandle id, const std::uint8_t* data, std::size_t length, std::uint32_t timeoutMs) {
  const std::shared_ptr<Handle> handle = Find(id, kWrite);
  if (!handle || length == 0) return false;
  std::lock_guard busy(handle->transfer);
  Node& node = *handle->node;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  // hidraw is always ready to write: its write waits for the USB transfer itself, up to the USB
  // stack's own time-out, which poll cannot shorten. The deadline counts for sockets only.
  for (;;) {
    if (WaitFor(*handle, POLLOUT, deadline) != Wait::Ready) return false;
    // A socket whose other end has closed would raise SIGPIPE on write and end the program.
    const ssize_t n = node.socket ? ::send(node.fd.Get(), data, length, MSG_NOSIGNAL)
                                  : ::write(node.fd.Get(), data, length);
    if (n >= 0) return static_cast<std::size_t>(n) == length;
    if (TransientError(errno)) continue;
    if (MeansGone(errno)) node.gone = true;
    return false;
  }
}

bool HidrawBus::ReadReport(HidHandle id, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) {
  const std::shared_ptr<Handle> handle = Find(id, kRead);
  if (!handle || length == 0) return false;
  std::lock_guard busy(handle->transfer);
  Node& node = *handle->node;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (WaitFor(*handle, POLLIN, deadline) != Wait::Ready) return false;
    // One read takes one whole report, however long: a report is never left half-read.
    const ssize_t n = ::read(node.fd.Get(), handle->scratch.data(), handle->scratch.size());
    if (n > 0) {
      buffer[0] = 0;  // the report id hidraw leaves out
      std::memset(buffer + 1, 0, length - 1);
      std::memcpy(buffer + 1, handle->scratch.data(), std::min(length - 1, static_cast<std::size_t>(n)));
      return true;
    }
    if (n == 0) {  // the other end of a socket has closed
      node.gone = true;
      return false;
    }
    if (TransientError(errno)) continue;
    if (MeansGone(errno)) node.gone = true;
    return false;
  }
}

void HidrawBus::DiscardInput(HidHandle id) {
  const std::shared_ptr<Handle> handle = Find(id, kRead);
  if (!handle) return;
  std::lock_guard busy(handle->transfer);
  Node& node = *handle->node;
  for (int i = 0; i < kMaxDiscarded && !node.gone; ++i) {
    const ssize_t n = ::read(node.fd.Get(), handle->scratch.data(), handle->scratch.size());
    if (n > 0) continue;
    if (n == 0) node.gone = true;
    else if (errno == EINTR) continue;
    else if (MeansGone(errno)) node.gone = true;
    return;  // EAGAIN: the queue is empty
  }
}

void HidrawBus::Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace tev::hidraw
