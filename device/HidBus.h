#pragma once
// All that AltimeterDevice needs from the operating system: the HID interfaces present, their
// attributes, report transfers with time-outs, and the clock its protocols sleep on.
// Implementations: Win32HidBus (the product), SimLinkBus (demo and end-to-end tests) and
// the in-process test bus with virtual time.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tev {

// Mirrors the system's HIDD_ATTRIBUTES.
struct HidAttributes {
  std::uint32_t Size = 12;
  std::uint16_t VendorID = 0;
  std::uint16_t ProductID = 0;
  std::uint16_t VersionNumber = 0;
};

using HidHandle = std::intptr_t;
inline constexpr HidHandle kInvalidHidHandle = -1;

// Input reports a read handle asks the system to keep unread, in place of its default 32: a host
// busy for a moment (a window being redrawn) then loses no report of a download.
inline constexpr std::uint32_t kInputReportBuffers = 512;

class HidBus {
 public:
  virtual ~HidBus() = default;

  // Paths of the HID interfaces present now, in enumeration order.
  virtual std::vector<std::wstring> EnumerateInterfaces() = 0;
  // Opens the path with no access rights and reads its attributes; nullopt when that fails.
  virtual std::optional<HidAttributes> ReadAttributes(const std::wstring& path) = 0;

  // Each handle shares exactly the access the other needs: a third opener is refused. The read
  // handle asks for room for kInputReportBuffers unread reports.
  virtual HidHandle OpenForReading(const std::wstring& path) = 0;
  virtual HidHandle OpenForWriting(const std::wstring& path) = 0;
  virtual void Close(HidHandle handle) = 0;

  // One report each way. A transfer still pending at its time-out is cancelled and its end
  // awaited before the call returns, so a late report never lands in a buffer reused later.
  virtual bool WriteReport(HidHandle handle, const std::uint8_t* data, std::size_t length,
                           std::uint32_t timeoutMs) = 0;
  virtual bool ReadReport(HidHandle handle, std::uint8_t* buffer, std::size_t length,
                          std::uint32_t timeoutMs) = 0;
  // Drops the input reports queued on a read handle so far. Every exchange starts with it, so a
  // reply that came after its time-out is never taken as part of the next exchange's reply.
  virtual void DiscardInput(HidHandle handle) = 0;

  // The protocols' own pauses; virtual in tests so that they cost no real time.
  virtual void Sleep(std::uint32_t ms) = 0;
};

}  // namespace tev
