#pragma once
// The launch emulation: the shown flight's readings replayed to the device, which asks for each
// one and reports its flight events.
#include <cstdint>

namespace tev {

// Told of the device's requests and events, on the emulation's thread.
class EmulationObserver {
 public:
  virtual ~EmulationObserver() = default;
  // code 13 for every tenth sample request (n = 0, 10, 20, ...); every other code as it arrives,
  // before it is handled.
  virtual void OnEmulationEvent(int code, int sampleIndex) = 0;
};

inline constexpr std::uint32_t kEmulationTimeoutMs = 20000;
inline constexpr std::uint32_t kEmulationPollMs = 10;
// Logged when a stop is honoured; the page, whose panel stays open, also shows it.
inline constexpr char kUserEndedEmulation[] = "User ended emulation.";

}  // namespace tev
