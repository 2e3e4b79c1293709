// DownloadPackets: command 2 for every packet until erased memory or 128 packets.
#include "device/Download.h"

#include <mutex>
#include <string>

#include "device/AltimeterDevice.h"
#include "model/DebugLog.h"
#include "model/NumberFormat.h"

namespace tev {

namespace {
// The live preview is redrawn at every fifth word of a packet, besides its first: often enough to
// watch the flight grow, seldom enough that painting never holds up the reports.
constexpr int kLiveRedrawEvery = 5;
}  // namespace

int AltimeterDevice::DownloadPackets(DownloadObserver& observer) {
  if (bootloaderMode) return kProtocolError;
  cancelRequested = false;
  {
    std::lock_guard lock(packetsMutex);
    packets.clear();
  }

  DiscardInput();
  DebugLog("Resetting device.");
  if (!Reset()) return kSendFailed;
  DebugLog("Reading Data...");

  for (int i = 0; i < kMaxDownloadPackets; ++i) {
    FlightPacket buffer = FlightPacket::Erased();
    // The device takes a packet read as two command reports: the first (its value unused) opens
    // the read, the second names the packet. One report alone only opens a read: no word comes.
    if (!SendCommand(kCmdReadPacket, 0) || !SendCommand(kCmdReadPacket, static_cast<std::uint16_t>(i)))
      return kSendFailed;

    for (int j = 0; j < kWordsPerPacket;) {
      if (cancelRequested) return kCancelled;
      std::uint16_t value = 0;
      std::uint8_t code = 0;
      if (!ReadReply(value, &code)) {
        DebugLog("Failed to read to packet.");
        return kNoReply;
      }
      if (code != kReplyPacketWord) DebugLog("Invalid data.");
      DebugLog("Code: [" + FormatHex(code) + "]");
      if (code == kReplyComplete) {
        DebugLog("Premature end of data.");
        return kProtocolError;
      }
      if (code != kReplyPacketWord) continue;  // not a word: skipped, j stays

      buffer.SetWord(j, value);
      if (cancelRequested) return kCancelled;
      if (j == 0) {
        DebugLog("Begin Notify...");
        observer.OnPacketProgress(i, true, buffer.Type() == kPacketTypeFlightStart);
        DebugLog("Done.");
      } else {
        DebugLog("updating fast set...");
        AppendLiveSample(liveSet, value, settings.adcOffset);
        DebugLog("Done.");
        if (j % kLiveRedrawEvery == 0) {
          DebugLog("Notify...");
          observer.OnPacketProgress(i, true, false);
          DebugLog("Done.");
        }
      }
      ++j;
    }

    if (cancelRequested) return kCancelled;
    if (const int result = ReadCompletion(); result != kOk) return result;
    // A cancel that arrived while the completion was awaited takes effect at the next packet.
    if (cancelRequested) DebugLog("Requesting CancelIO.");

    if (buffer.Type() == kPacketTypeErased) {
      DebugLog("Done Reading Data...");
      return kOk;
    }
    {
      std::lock_guard lock(packetsMutex);
      packets.push_back(buffer);
    }
    observer.OnPacketProgress(i, false, false);
    DebugLog("Done Reading Packet...");
  }
  DebugLog("Done Reading Data...");
  return kOk;
}

}  // namespace tev
