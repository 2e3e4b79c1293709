#pragma once
// HidBus on the browser's WebHID: the JavaScript side (page/js/hid-link.js, reached as
// Module.tevHid) holds the devices the person allowed and queues their input reports; the blocking
// calls wait on its promises through Asyncify, so the device code runs here unchanged.
#include "device/HidBus.h"

namespace tev {

class WebHidBus : public HidBus {
 public:
  std::vector<std::wstring> EnumerateInterfaces() override;
  std::optional<HidAttributes> ReadAttributes(const std::wstring& path) override;
  HidHandle OpenForReading(const std::wstring& path) override;
  HidHandle OpenForWriting(const std::wstring& path) override;
  void Close(HidHandle handle) override;
  bool WriteReport(HidHandle handle, const std::uint8_t* data, std::size_t length, std::uint32_t timeoutMs) override;
  bool ReadReport(HidHandle handle, std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) override;
  void DiscardInput(HidHandle handle) override;
  void Sleep(std::uint32_t ms) override;
};

}  // namespace tev
