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

std::vector<std::uint8_t> EncodeFrame(std::uint8_t type, const std::uint8_t* payload, std::size_t length);
std::vector<std::uint8_t> EncodeAttach(const SimAttach& attach);
// Nullopt for a payload that is too short or a serial that is not up to 32 letters and digits.
std::optional<SimAttach> DecodeAttach(const std::vector<std::uint8_t>& payload);

// False at the end of the stream or on an error.
bool ReadFrame(SimSocket& socket, SimFrame& frame);
bool WriteFrame(SimSocket& socket, std::uint8_t type, const std::uint8_t* payload, std::size_t length);

}  // namespace tev
