// The sim link's frame decoder on any byte stream, fed in pieces whose sizes the input chooses:
// the frames it gives encode back to exactly the bytes it took, and an ATTACH it accepts encodes
// back to its payload.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "sim/SimLinkFrame.h"
#include "sim/SimPath.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte sets the size of the pieces the stream arrives in (1 to 256 bytes).
  const std::size_t piece = static_cast<std::size_t>(data[0]) + 1;
  const std::uint8_t* stream = data + 1;
  const std::size_t length = size - 1;

  tev::SimFrameDecoder decoder;
  std::vector<std::uint8_t> reencoded;
  std::size_t at = 0;
  while (at < length) {
    const std::size_t offered = std::min(piece, length - at);
    FUZZ_CHECK(decoder.Needed() > 0);
    const std::size_t taken = decoder.Feed(stream + at, offered);
    // All it is offered, unless a frame ended first: nothing beyond a frame's end is taken.
    FUZZ_CHECK(taken > 0 && taken <= offered);
    FUZZ_CHECK(taken == offered || decoder.Complete());
    at += taken;
    if (!decoder.Complete()) continue;
    const tev::SimFrame frame = decoder.Take();
    FUZZ_CHECK(frame.payload.size() <= 0xFFFF);
    const auto bytes = tev::EncodeFrame(frame.type, frame.payload.data(), frame.payload.size());
    reencoded.insert(reencoded.end(), bytes.begin(), bytes.end());
    if (frame.type == tev::kFrameAttach) {
      if (const auto attach = tev::DecodeAttach(frame.payload)) {
        FUZZ_CHECK(tev::IsValidSimSerial(attach->serial));
        FUZZ_CHECK(tev::EncodeAttach(*attach) == frame.payload);
      }
    }
  }
  // Whatever is still in the decoder is the start of a frame not yet complete.
  FUZZ_CHECK(reencoded.size() <= length);
  FUZZ_CHECK(std::equal(reencoded.begin(), reencoded.end(), stream));
  return 0;
}
