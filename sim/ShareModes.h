#pragma once
// The system's share-mode rule for opening a device several times, for the simulated buses.
#include <cstdint>
#include <vector>

namespace tev {

inline constexpr std::uint8_t kAccessRead = 1;
inline constexpr std::uint8_t kAccessWrite = 2;

struct OpenMode {
  std::uint8_t access = 0;
  std::uint8_t share = 0;
};

// The device's own pair: each handle shares exactly what the other needs.
inline constexpr OpenMode kReadOpenMode{kAccessRead, kAccessWrite};
inline constexpr OpenMode kWriteOpenMode{kAccessWrite, kAccessRead};

// A new open succeeds when every open handle shares what it asks for, and it shares what each
// of them holds.
inline bool CanOpenAlongside(const std::vector<OpenMode>& open, OpenMode wanted) {
  for (const OpenMode& held : open) {
    if ((wanted.access & ~held.share) != 0) return false;
    if ((held.access & ~wanted.share) != 0) return false;
  }
  return true;
}

}  // namespace tev
