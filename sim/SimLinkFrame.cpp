#include "sim/SimLinkFrame.h"

#include "sim/SimPath.h"

namespace tev {
namespace {

constexpr std::size_t kAttachFixed = 7;  // three words and the flags

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t w) {
  out.push_back(static_cast<std::uint8_t>(w & 0xFF));
  out.push_back(static_cast<std::uint8_t>(w >> 8));
}

std::uint16_t GetWord(const std::vector<std::uint8_t>& in, std::size_t at) {
  return static_cast<std::uint16_t>(in[at] | (in[at + 1] << 8));
}

}  // namespace

std::vector<std::uint8_t> EncodeFrame(std::uint8_t type, const std::uint8_t* payload, std::size_t length) {
  std::vector<std::uint8_t> frame;
  frame.reserve(3 + length);
  frame.push_back(type);
  PutWord(frame, static_cast<std::uint16_t>(length));
  frame.insert(frame.end(), payload, payload + length);
  return frame;
}

std::vector<std::uint8_t> EncodeAttach(const SimAttach& attach) {
  std::vector<std::uint8_t> payload;
  PutWord(payload, attach.vendorId);
  PutWord(payload, attach.productId);
  PutWord(payload, attach.version);
  payload.push_back(attach.flags);
  payload.insert(payload.end(), attach.serial.begin(), attach.serial.end());
  return payload;
}

std::optional<SimAttach> DecodeAttach(const std::vector<std::uint8_t>& payload) {
  if (payload.size() < kAttachFixed) return std::nullopt;
  SimAttach attach;
  attach.vendorId = GetWord(payload, 0);
  attach.productId = GetWord(payload, 2);
  attach.version = GetWord(payload, 4);
  attach.flags = payload[6];
  attach.serial.assign(payload.begin() + kAttachFixed, payload.end());
  if (!IsValidSimSerial(attach.serial)) return std::nullopt;
  return attach;
}

bool ReadFrame(SimSocket& socket, SimFrame& frame) {
  std::uint8_t header[3];
  if (!socket.ReceiveAll(header, sizeof header)) return false;
  frame.type = header[0];
  frame.payload.resize(static_cast<std::size_t>(header[1] | (header[2] << 8)));
  return frame.payload.empty() || socket.ReceiveAll(frame.payload.data(), frame.payload.size());
}

bool WriteFrame(SimSocket& socket, std::uint8_t type, const std::uint8_t* payload, std::size_t length) {
  if (length > 0xFFFF) return false;
  const std::vector<std::uint8_t> frame = EncodeFrame(type, payload, length);
  return socket.SendAll(frame.data(), frame.size());
}

}  // namespace tev
