#pragma once
// The one object through which the program reaches the altimeter: finding and opening it, the
// report transfers, the command protocol, and the data the whole program shares (settings,
// packets, the shown data set, the live trace, the plot scale).
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "device/DeviceBroadcast.h"
#include "device/DeviceIds.h"
#include "device/DeviceResults.h"
#include "device/HidBus.h"
#include "device/HidReport.h"
#include "model/DataSet.h"
#include "model/DeviceSettings.h"
#include "model/FlightPacket.h"
#include "model/LiveTrace.h"
#include "model/PlotScale.h"

namespace tev {

struct HidDeviceInfo {
  std::wstring devicePath;
  HidAttributes attributes;
};

class DownloadObserver;
class EmulationObserver;
class UpdateObserver;

class AltimeterDevice {
 public:
  explicit AltimeterDevice(HidBus& bus);
  ~AltimeterDevice();
  AltimeterDevice(const AltimeterDevice&) = delete;
  AltimeterDevice& operator=(const AltimeterDevice&) = delete;

  // Connection.
  std::vector<HidDeviceInfo> FindDevices(std::uint16_t productId, std::uint16_t requiredVersion,
                                         std::uint16_t mask);
  int Connect(Personality personality, std::uint16_t* version = nullptr);
  bool Open();
  void Close();
  void CloseHandles();
  bool IsOpen() const;
  bool IsSameDevice(const DeviceBroadcast& broadcast) const;

  // Transfers: one report each, false when it did not get through in time.
  bool WriteReport(const std::uint8_t* bytes, std::size_t length);
  bool ReadReport(std::uint8_t* buffer, std::size_t length, std::uint32_t timeoutMs);
  // Starts an exchange from an empty input queue.
  void DiscardInput();

  // Command protocol.
  bool SendCommand(std::uint8_t code, std::uint16_t value);
  bool ReadReply(std::uint16_t& value, std::uint8_t* code, std::uint32_t timeoutMs = kIoTimeoutMs);
  bool Reset();
  int ReadSettings();
  int WriteSettings();
  int ClearData();
  int ReadAdc(std::uint16_t& count);
  int ReadBatteryVoltage(std::uint16_t& tenthsOfVolt);
  int FireLines();

  // The long exchanges, each in its own unit.
  int DownloadPackets(DownloadObserver& observer);
  bool EmulateLaunch(EmulationObserver& observer);
  // The firmware file is opened by its wide path, as the user picked it.
  int UpdateFirmware(UpdateObserver& observer, const std::wstring& path, std::uint16_t& hardwareVersion,
                     std::uint16_t& fileFormatVersion, std::uint16_t& fileBootloaderVersion,
                     std::uint16_t& fileFirmwareVersion);

  HidBus& Bus() { return bus_; }

  // Link state. Written by Connect/Open/Close on the dialog thread while no worker runs; the
  // handles are also read by a worker's exchanges and closed by the dialog thread when the
  // altimeter is unplugged (hence atomic); cancelRequested is set by the dialog thread and read by
  // the worker.
  std::wstring devicePath;
  HidAttributes attributes;
  // Atomic: a dialog closes them when the altimeter is unplugged while its worker may be using them.
  std::atomic<HidHandle> readHandle{kInvalidHidHandle};
  std::atomic<HidHandle> writeHandle{kInvalidHidHandle};
  std::atomic<bool> cancelRequested{false};
  bool bootloaderMode = false;

  // Flight data. settings: the worker of a settings or download exchange, else the dialog or main
  // window thread. packets: changed by the download under packetsMutex, read under it by any
  // thread while a download may run.
  DeviceSettings settings;
  PacketList packets;
  mutable std::mutex packetsMutex;

  // View state, for the main window's plot: currentSet and plotScale on the main window's thread
  // (or a dialog's worker while the modal dialog keeps the main window from using them); liveSet
  // by the download's worker while it runs, painted on that same thread.
  DataSet currentSet;
  LiveTrace liveSet;
  PlotScale plotScale;

  // The exchanges' request and reply buffers, one each for the life of the object.
  std::array<std::uint8_t, kHidReportLength> requestBuffer{};
  std::array<std::uint8_t, kHidReportLength> replyBuffer{};

 private:
  // Runs one exchange of sensor/fire shape: reset, command, then the caller's replies.
  int StartSensorExchange(std::uint8_t command);
  // Reads the completion that ends a settings exchange or a packet: kOk, kNoReply or kProtocolError.
  int ReadCompletion();

  HidBus& bus_;
};

}  // namespace tev
