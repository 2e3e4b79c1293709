#include "sim/SimLinkBus.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>

#include "sim/SimLinkFrame.h"
#include "sim/SimPath.h"

namespace tev {

struct SimLinkBus::Connection {
  SimSocket socket;
  std::thread reader;
  std::mutex sendMutex;  // one frame at a time on the wire

  // Guarded by the bus's mutex.
  bool attached = false;
  bool gone = false;
  bool finished = false;  // the reader thread has nothing more to do and may be joined
  std::wstring path;
  HidAttributes attributes;
  std::uint8_t flags = 0;
  std::deque<std::vector<std::uint8_t>> ring;
  std::size_t ringLimit = kInputRing;
  bool awaitingAccept = false;
  bool accepted = false;
};

SimLinkBus::~SimLinkBus() { Stop(); }

bool SimLinkBus::Listen(std::uint16_t port) {
  if (listener_.Valid()) return false;
  listener_ = SimSocket::Listen(port);
  if (!listener_.Valid()) return false;
  port_ = listener_.LocalPort();
  stopping_ = false;
  acceptThread_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void SimLinkBus::Stop() {
  {
    Lock lock(mutex_);
    callback_ = nullptr;
  }
  stopping_ = true;
  if (acceptThread_.joinable()) acceptThread_.join();
  std::vector<std::shared_ptr<Connection>> connections;
  {
    Lock lock(mutex_);
    connections = connections_;
  }
  for (const auto& c : connections) c->socket.Shutdown();
  for (const auto& c : connections) {
    if (c->reader.joinable()) c->reader.join();
  }
  Lock lock(mutex_);
  connections_.clear();
  listener_.Close();
}

void SimLinkBus::SetChangeCallback(ChangeCallback callback) {
  Lock lock(mutex_);
  callback_ = std::move(callback);
}

void SimLinkBus::AcceptLoop() {
  while (!stopping_) {
    ReapFinished();
    if (!listener_.WaitReadable(100)) continue;
    SimSocket socket = listener_.Accept();
    if (!socket.Valid()) continue;
    socket.SetNoDelay();
    auto connection = std::make_shared<Connection>();
    connection->socket = std::move(socket);
    Lock lock(mutex_);
    connections_.push_back(connection);
    connection->reader = std::thread([this, connection] { ReadLoop(connection); });
  }
}

void SimLinkBus::ReapFinished() {
  std::vector<std::shared_ptr<Connection>> done;
  {
    Lock lock(mutex_);
    auto split = std::stable_partition(connections_.begin(), connections_.end(),
                                       [](const auto& c) { return !c->finished; });
    done.assign(split, connections_.end());
    connections_.erase(split, connections_.end());
  }
  for (const auto& c : done) {
    if (c->reader.joinable()) c->reader.join();
  }
}

void SimLinkBus::ReadLoop(std::shared_ptr<Connection> connection) {
  SimFrame frame;
  // A malformed frame, the end of the stream or an error: the device is unplugged.
  while (ReadFrame(connection->socket, frame) && HandleFrame(*connection, frame.type, frame.payload)) {
  }
  bool wasAttached;
  {
    Lock lock(mutex_);
    wasAttached = connection->attached && !connection->gone;
    connection->gone = true;
    connection->ring.clear();
  }
  changed_.notify_all();
  connection->socket.Shutdown();
  if (wasAttached) Notify(false, connection->path);
  Lock lock(mutex_);
  connection->finished = true;
}

bool SimLinkBus::HandleFrame(Connection& connection, std::uint8_t type, const std::vector<std::uint8_t>& payload) {
  Lock lock(mutex_);
  if (!connection.attached) {
    if (type != kFrameAttach) return false;
    const std::optional<SimAttach> attach = DecodeAttach(payload);
    if (!attach) return false;
    const std::wstring path = SimInterfacePath(attach->vendorId, attach->productId, attach->serial);
    // Two devices under one path could not be told apart in a removal notice: the second is refused.
    if (FindAttached(path)) return false;
    connection.path = path;
    connection.attributes.VendorID = attach->vendorId;
    connection.attributes.ProductID = attach->productId;
    connection.attributes.VersionNumber = attach->version;
    connection.flags = attach->flags;
    connection.attached = true;
    lock.unlock();
    Notify(true, path);
    return true;
  }
  switch (type) {
    case kFrameInput:
      if (payload.empty() || payload.size() > kMaxReportLength) return false;
      // Like the system's driver: nothing is kept while nobody reads, and a full ring drops its oldest.
      if (ReaderOpen(connection)) {
        connection.ring.push_back(payload);
        if (connection.ring.size() > connection.ringLimit) connection.ring.pop_front();
        changed_.notify_all();
      }
      return true;
    case kFrameAccept:
      if (!payload.empty()) return false;
      // An ACCEPT that no write waits for belongs to one that has given up: it is dropped.
      if (connection.awaitingAccept) {
        connection.accepted = true;
        changed_.notify_all();
      }
      return true;
    case kFrameAttach:
    case kFrameOutput:
      return false;
    default:
      return true;  // a frame type of some later version: ignored
  }
}

std::shared_ptr<SimLinkBus::Connection> SimLinkBus::FindAttached(const std::wstring& path) const {
  for (const auto& c : connections_) {
    if (c->attached && !c->gone && c->path == path) return c;
  }
  return nullptr;
}

bool SimLinkBus::ReaderOpen(const Connection& connection) const {
  return std::any_of(handles_.begin(), handles_.end(), [&](const auto& entry) {
    return entry.second.connection.get() == &connection && (entry.second.mode.access & kAccessRead);
  });
}

void SimLinkBus::Notify(bool arrived, const std::wstring& path) {
  ChangeCallback callback;
  {
    Lock lock(mutex_);
    callback = callback_;
  }
  if (callback) callback(arrived, path);
}

std::vector<std::wstring> SimLinkBus::EnumerateInterfaces() {
  Lock lock(mutex_);
  std::vector<std::wstring> paths;
  for (const auto& c : connections_) {
    if (c->attached && !c->gone) paths.push_back(c->path);
  }
  return paths;
}

std::optional<HidAttributes> SimLinkBus::ReadAttributes(const std::wstring& path) {
  Lock lock(mutex_);
  auto c = FindAttached(path);
  if (!c || (c->flags & kAttachAttributesUnreadable)) return std::nullopt;
  return c->attributes;
}

HidHandle SimLinkBus::OpenForReading(const std::wstring& path) { return Open(path, kReadOpenMode); }

HidHandle SimLinkBus::OpenForWriting(const std::wstring& path) { return Open(path, kWriteOpenMode); }

HidHandle SimLinkBus::Open(const std::wstring& path, OpenMode mode) {
  Lock lock(mutex_);
  auto c = FindAttached(path);
  if (!c || (c->flags & kAttachRefuseOpen)) return kInvalidHidHandle;
  std::vector<OpenMode> held;
  for (const auto& [id, open] : handles_) {
    if (open.connection == c) held.push_back(open.mode);
  }
  if (!CanOpenAlongside(held, mode)) return kInvalidHidHandle;
  const HidHandle handle = nextHandle_++;
  handles_[handle] = {c, mode};
  if (mode.access & kAccessRead) c->ringLimit = kRequestedInputRing;
  return handle;
}

void SimLinkBus::Close(HidHandle handle) {
  Lock lock(mutex_);
  auto it = handles_.find(handle);
  if (it == handles_.end()) return;
  std::shared_ptr<Connection> c = it->second.connection;
  handles_.erase(it);
  if (!ReaderOpen(*c)) {
    c->ring.clear();
    c->ringLimit = kInputRing;
  }
  // As closing a handle does on Windows: a read still waiting on it ends now, empty-handed, and
  // cannot take a report meant for the next exchange.
  changed_.notify_all();
}

void SimLinkBus::DiscardInput(HidHandle handle) {
  Lock lock(mutex_);
  auto it = handles_.find(handle);
  if (it != handles_.end() && (it->second.mode.access & kAccessRead)) it->second.connection->ring.clear();
}

bool SimLinkBus::WriteReport(HidHandle handle, const std::uint8_t* data, std::size_t length,
                             std::uint32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::shared_ptr<Connection> c;
  {
    Lock lock(mutex_);
    auto it = handles_.find(handle);
    if (it == handles_.end() || !(it->second.mode.access & kAccessWrite) || it->second.connection->gone) {
      return false;
    }
    c = it->second.connection;
    c->awaitingAccept = true;
    c->accepted = false;
  }
  bool sent;
  {
    std::lock_guard send(c->sendMutex);
    sent = WriteFrame(c->socket, kFrameOutput, data, length);
  }
  Lock lock(mutex_);
  if (sent) changed_.wait_until(lock, deadline, [&] { return c->accepted || c->gone; });
  const bool ok = sent && c->accepted;
  c->awaitingAccept = false;
  c->accepted = false;
  return ok;
}

bool SimLinkBus::ReadReport(HidHandle handle, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  Lock lock(mutex_);
  auto it = handles_.find(handle);
  if (it == handles_.end() || !(it->second.mode.access & kAccessRead)) return false;
  std::shared_ptr<Connection> c = it->second.connection;
  const auto closed = [&] { return handles_.find(handle) == handles_.end(); };
  changed_.wait_until(lock, deadline, [&] { return !c->ring.empty() || c->gone || closed(); });
  if (c->ring.empty() || closed()) return false;
  const std::vector<std::uint8_t> report = std::move(c->ring.front());
  c->ring.pop_front();
  std::memset(buffer, 0, length);
  std::memcpy(buffer, report.data(), std::min(length, report.size()));
  return true;
}

void SimLinkBus::Sleep(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace tev
