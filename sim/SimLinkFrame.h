#pragma once
// The sim link's frames, both ways: type (1 byte), payload length (2 bytes, little-endian), payload.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimSocket.h"

namespace tev {

inline constexpr std::uint8_t kFrameAttach = 0x01;  // device -> host, first frame, once
inline constexpr std::uint8_t kFrameOutput = 0x02;  // host -> device: one output report as written
inline constexpr std::uint8_t kFrameInput = 0x03;   // device -> host: one input report
inline constexpr std::uint8_t kFrameAccept = 0x04;  // device -> host: the last output was taken

inline constexpr std::uint8_t kAttachRefuseOpen = 0x01;       // opening for I/O fails
inline constexpr std::uint8_t kAttachAttributesUnreadable = 0x02;

inline constexpr std::size_t kMaxReportLength = 65;  // the bootloader's report, id byte included

struct SimFrame {
  std::uint8_t type = 0;
  std::vector<std::uint8_t> payload;
};

struct SimAttach {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t version = 0;
  std::uint8_t flags = 0;
  std::string serial;
};

// Assembles frames from a byte stream that arrives in pieces of any size. It never takes a byte
// beyond the frame in progress, so whatever follows stays where it was (in the socket) until
// the reader is ready for it; it holds at most one frame.
class SimFrameDecoder {
 public:
  // Bytes the frame in progress still needs (0 once it is complete).
  std::size_t Needed() const;
  // Takes the bytes up to the end of the frame in progress, at most; returns how many it took.
  std::size_t Feed(const std::uint8_t* data, std::size_t length);
  bool Complete() const { return Needed() == 0; }
  // The complete frame; the decoder goes on with the next one.
  SimFrame Take();

 private:
  std::uint8_t header_[3] = {};
  std::size_t headerHave_ = 0;
  std::size_t payloadHave_ = 0;
  SimFrame frame_;
};

std::vector<std::uint8_t> EncodeFrame(std::uint8_t type, const std::uint8_t* payload, std::size_t length);
std::vector<std::uint8_t> EncodeAttach(const SimAttach& attach);
// Nullopt for a payload that is too short or a serial that is not up to 32 letters and digits.
std::optional<SimAttach> DecodeAttach(const std::vector<std::uint8_t>& payload);

// Waits for a whole frame. False at the end of the stream or on an error.
bool ReadFrame(SimSocket& socket, SimFrame& frame);
bool WriteFrame(SimSocket& socket, std::uint8_t type, const std::uint8_t* payload, std::size_t length);

}  // namespace tev
