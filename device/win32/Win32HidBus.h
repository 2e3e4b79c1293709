#pragma once
// The product's HID bus: SetupAPI enumeration, HidD_GetAttributes, and overlapped ReadFile and
// WriteFile on the device's two handles. Each open handle has its own OVERLAPPED record and
// event, so a read and a write never share one.
#include <windows.h>

#include <map>
#include <memory>
#include <mutex>

#include "device/HidBus.h"

namespace tev::win32 {

class Win32HidBus : public HidBus {
 public:
  Win32HidBus() = default;
  ~Win32HidBus() override;
  Win32HidBus(const Win32HidBus&) = delete;
  Win32HidBus& operator=(const Win32HidBus&) = delete;

  std::vector<std::wstring> EnumerateInterfaces() override;
  std::optional<HidAttributes> ReadAttributes(const std::wstring& path) override;
  HidHandle OpenForReading(const std::wstring& path) override;
  HidHandle OpenForWriting(const std::wstring& path) override;
  void Close(HidHandle handle) override;
  bool WriteReport(HidHandle handle, const std::uint8_t* data, std::size_t length, std::uint32_t timeoutMs) override;
  bool ReadReport(HidHandle handle, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) override;
  void DiscardInput(HidHandle handle) override;
  void Sleep(std::uint32_t ms) override;

 private:
  struct OpenFile;
  HidHandle Open(const std::wstring& path, DWORD access, DWORD share);
  std::shared_ptr<OpenFile> Find(HidHandle handle);
  // Writes `out` when given, else reads into `in`.
  bool Transfer(HidHandle handle, const std::uint8_t* out, std::uint8_t* in, std::size_t length,
                std::uint32_t timeoutMs);

  std::mutex mutex_;
  std::map<HidHandle, std::shared_ptr<OpenFile>> open_;
  HidHandle nextHandle_ = 1;
};

// The HID interface class, for device-change registrations.
GUID HidInterfaceClass();

}  // namespace tev::win32
