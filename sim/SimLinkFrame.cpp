#include "sim/SimLinkFrame.h"

#include <algorithm>

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

std::size_t SimFrameDecoder::Needed() const {
  if (headerHave_ < sizeof header_) return sizeof header_ - headerHave_;
  return frame_.payload.size() - payloadHave_;
}

std::size_t SimFrameDecoder::Feed(const std::uint8_t* data, std::size_t length) {
  std::size_t taken = 0;
  while (taken < length && !Complete()) {
    const std::size_t part = std::min(Needed(), length - taken);
    if (headerHave_ < sizeof header_) {
      std::copy_n(data + taken, part, header_ + headerHave_);
      headerHave_ += part;
      if (headerHave_ == sizeof header_) {
        frame_.type = header_[0];
        frame_.payload.assign(static_cast<std::size_t>(header_[1] | (header_[2] << 8)), 0);
      }
    } else {
      std::copy_n(data + taken, part, frame_.payload.begin() + static_cast<std::ptrdiff_t>(payloadHave_));
      payloadHave_ += part;
    }
    taken += part;
  }
  return taken;
}

SimFrame SimFrameDecoder::Take() {
  SimFrame frame = std::move(frame_);
  frame_ = SimFrame{};
  headerHave_ = 0;
  payloadHave_ = 0;
  return frame;
}

bool ReadFrame(SimSocket& socket, SimFrame& frame) {
  SimFrameDecoder decoder;
  std::uint8_t buffer[512];
  while (!decoder.Complete()) {
    const long got = socket.ReceiveSome(buffer, std::min(decoder.Needed(), sizeof buffer));
    if (got <= 0) return false;
    decoder.Feed(buffer, static_cast<std::size_t>(got));
  }
  frame = decoder.Take();
  return true;
}

bool WriteFrame(SimSocket& socket, std::uint8_t type, const std::uint8_t* payload, std::size_t length) {
  if (length > 0xFFFF) return false;
  const std::vector<std::uint8_t> frame = EncodeFrame(type, payload, length);
  return socket.SendAll(frame.data(), frame.size());
}

}  // namespace tev
