#pragma once
// The flight-data download: the device memory, packet by packet, into the packet list.
namespace tev {

// Told of the download's progress, on the download's thread.
class DownloadObserver {
 public:
  virtual ~DownloadObserver() = default;
  // live: a word of packet `packetIndex` has arrived (word 0 with newFlight when the packet starts
  // a flight, then every fifth word); not live: the packet has been stored in the list.
  virtual void OnPacketProgress(int packetIndex, bool live, bool newFlight) = 0;
};

inline constexpr int kMaxDownloadPackets = 128;
inline constexpr int kWordsPerPacket = 32;

}  // namespace tev
