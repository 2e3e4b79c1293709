#include "device/AltimeterDevice.h"

#include "model/DebugLog.h"
#include "model/Versions.h"

namespace tev {

AltimeterDevice::AltimeterDevice(HidBus& bus) : bus_(bus) {}

AltimeterDevice::~AltimeterDevice() { CloseHandles(); }

std::vector<HidDeviceInfo> AltimeterDevice::FindDevices(std::uint16_t productId, std::uint16_t requiredVersion,
                                                        std::uint16_t mask) {
  std::vector<HidDeviceInfo> found;
  for (const std::wstring& path : bus_.EnumerateInterfaces()) {
    // An interface whose attributes cannot be read is passed over: one misbehaving HID
    // device must not hide an altimeter enumerated after it.
    std::optional<HidAttributes> attrs = bus_.ReadAttributes(path);
    if (!attrs) continue;
    if (attrs->VendorID == kVendorId && attrs->ProductID == productId &&
        (attrs->VersionNumber & mask) == requiredVersion) {
      found.push_back({path, *attrs});
    }
  }
  return found;
}

int AltimeterDevice::Connect(Personality personality, std::uint16_t* version) {
  CloseHandles();

  const bool bootloader = personality == Personality::Bootloader;
  const std::uint16_t productId = bootloader ? kBootloaderProductId : kApplicationProductId;
  const std::uint16_t required = bootloader ? kBootloaderVersion : kFirmwareVersion;

  const std::vector<HidDeviceInfo> exact = FindDevices(productId, required, kVersionMask);
  const std::vector<HidDeviceInfo> any = FindDevices(productId, 0, 0);
  if (exact.empty() && any.empty()) return kNotFound;
  if (exact.empty()) {
    if (version) *version = any.front().attributes.VersionNumber;
    return kWrongVersion;
  }

  const HidDeviceInfo& chosen = exact.front();
  if (version) *version = chosen.attributes.VersionNumber;
  devicePath = chosen.devicePath;
  attributes = chosen.attributes;
  if (!Open()) return kCannotOpen;
  bootloaderMode = bootloader;
  return kConnected;
}

bool AltimeterDevice::Open() {
  if (IsOpen()) return true;
  CloseHandles();  // never leave half of an earlier pair behind

  readHandle = bus_.OpenForReading(devicePath);
  writeHandle = bus_.OpenForWriting(devicePath);
  const bool readOk = readHandle != kInvalidHidHandle;
  const bool writeOk = writeHandle != kInvalidHidHandle;
  if (readOk && writeOk) return true;

  DebugLog("Cant get USB file handle. The file is locked.");
  if (!readOk) DebugLog("Invalid read handle.");
  if (!writeOk) DebugLog("Invalid write handle.");
  CloseHandles();
  return false;
}

void AltimeterDevice::Close() {
  CloseHandles();
  cancelRequested = false;
  bootloaderMode = false;
}

void AltimeterDevice::CloseHandles() {
  const HidHandle read = readHandle.exchange(kInvalidHidHandle);
  const HidHandle write = writeHandle.exchange(kInvalidHidHandle);
  if (read != kInvalidHidHandle) bus_.Close(read);
  if (write != kInvalidHidHandle) bus_.Close(write);
}

bool AltimeterDevice::IsOpen() const {
  return readHandle != kInvalidHidHandle && writeHandle != kInvalidHidHandle;
}

bool AltimeterDevice::WriteReport(const std::uint8_t* bytes, std::size_t length) {
  const HidHandle handle = writeHandle;
  if (handle == kInvalidHidHandle) return false;
  return bus_.WriteReport(handle, bytes, length, kIoTimeoutMs);
}

void AltimeterDevice::DiscardInput() {
  const HidHandle handle = readHandle;
  if (handle != kInvalidHidHandle) bus_.DiscardInput(handle);
}

bool AltimeterDevice::ReadReport(std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs) {
  const HidHandle handle = readHandle;
  if (handle == kInvalidHidHandle) return false;
  return bus_.ReadReport(handle, buffer, length, timeoutMs);
}

}  // namespace tev
