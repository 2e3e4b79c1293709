// EmulateLaunch: command 4, then the device drives: it asks for samples and reports events.
#include "device/LaunchEmulation.h"

#include <string>

#include "device/AltimeterDevice.h"
#include "model/DebugLog.h"

namespace tev {
namespace {

// The reset that ends the exchange, and the completion the device answers it with.
bool EndExchange(AltimeterDevice& device, const char* message) {
  DebugLog(message);
  if (!device.Reset()) return false;
  std::uint16_t value = 0;
  std::uint8_t code = 0;
  if (!device.ReadReply(value, &code, kEmulationTimeoutMs)) {
    DebugLog("Read Error.");
    return false;
  }
  return code == kReplyComplete;
}

}  // namespace

bool AltimeterDevice::EmulateLaunch(EmulationObserver& observer) {
  if (bootloaderMode) return false;
  cancelRequested = false;
  DiscardInput();
  DebugLog("Emulating Launch...");
  if (!SendCommand(kCmdEmulateLaunch, 0)) {
    DebugLog("Write Error.");
    return false;
  }

  const std::vector<std::int32_t>& samples = currentSet.adc;
  for (std::size_t n = 0;;) {
    Bus().Sleep(kEmulationPollMs);
    std::uint16_t value = 0;
    std::uint8_t code = 0;
    if (!ReadReply(value, &code, kEmulationTimeoutMs)) {
      DebugLog("Read Error.");
      return false;
    }
    if (code == kReplySampleRequest) {
      if (n % 10 == 0) observer.OnEmulationEvent(code, static_cast<int>(n));
      // One log line made of the request and the sample sent for it.
      const std::string line = "The device is requesting ADC data. Data: ";
      if (n >= samples.size()) return EndExchange(*this, (line + "End of available data.").c_str());
      const auto sample = static_cast<std::uint16_t>(samples[n] & 0xFFFF);
      DebugLog(line + std::to_string(sample));
      if (cancelRequested) {
        DebugLog(kUserEndedEmulation);
        DebugLog("Reseting device.");
        if (!Reset()) return false;
        // The device answers this reset like any other that ends an emulation; left unread, that
        // completion would be taken as the first reply of the next exchange and fail it.
        ReadReply(value, &code, kIoTimeoutMs);
        return true;
      }
      if (!SendCommand(kCmdAdcSample, sample)) {
        DebugLog("Write Error");
        return false;
      }
      ++n;
      continue;
    }

    observer.OnEmulationEvent(code, static_cast<int>(n));
    switch (code) {
      case kReplyLaunch:
        DebugLog("Launch detected.");
        break;
      case kReplyLineA:
        DebugLog("Line A fired.");
        break;
      case kReplyLineB:
        DebugLog("Line B fired.");
        break;
      case kReplyApogee:
        DebugLog("Apogee!");
        DebugLog("Slope: " + std::to_string(static_cast<std::int16_t>(value)));
        break;
      case kReplyEndOfLaunch:
        return EndExchange(*this, "Device indicates end of launch.");
      default:
        return EndExchange(*this, "Unknown code received.");
    }
  }
}

}  // namespace tev
