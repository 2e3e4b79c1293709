// The short exchanges of the application protocol: every one but ClearData starts with a reset.
#include <string>

#include "device/AltimeterDevice.h"
#include "model/DebugLog.h"

namespace tev {

bool AltimeterDevice::SendCommand(std::uint8_t code, std::uint16_t value) {
  requestBuffer = HidReport{0, value, code}.Bytes();
  return WriteReport(requestBuffer.data(), requestBuffer.size());
}

bool AltimeterDevice::ReadReply(std::uint16_t& value, std::uint8_t* code, std::uint32_t timeoutMs) {
  replyBuffer.fill(0);
  if (!ReadReport(replyBuffer.data(), replyBuffer.size(), timeoutMs)) return false;
  const HidReport reply = HidReport::FromBytes(replyBuffer.data());
  if (code) *code = reply.code;
  value = reply.value;
  return true;
}

bool AltimeterDevice::Reset() {
  if (SendCommand(kCmdReset, 0)) return true;
  DebugLog("Write Error.");
  return false;
}

int AltimeterDevice::ReadCompletion() {
  std::uint16_t value = 0;
  std::uint8_t code = 0;
  if (!ReadReply(value, &code)) {
    DebugLog("Could not read complete confirmation.");
    return kNoReply;
  }
  return code == kReplyComplete ? kOk : kProtocolError;
}

int AltimeterDevice::ReadSettings() {
  if (bootloaderMode) return kProtocolError;
  DiscardInput();
  DebugLog("Resetting device.");
  if (!Reset()) return kSendFailed;
  DebugLog("Reading Settings...");
  if (!SendCommand(kCmdReadSettings, 0)) return kSendFailed;

  std::uint16_t value = 0;
  std::uint8_t code = 0;
  for (std::size_t i = 0; i < settings.image.size(); ++i) {
    if (!ReadReply(value, &code)) {
      DebugLog("Failed to read packet.");
      return kNoReply;
    }
    if (code == kReplyComplete) {
      DebugLog("Premature end of data.");
      return kProtocolError;
    }
    settings.image[i] = static_cast<std::uint8_t>(value & 0xFF);
    DebugLog("Settings Packet Read: " + std::to_string(i));
  }

  if (const int result = ReadCompletion(); result != kOk) return result;
  DebugLog("Done.");
  return kOk;
}

int AltimeterDevice::WriteSettings() {
  if (bootloaderMode) return kProtocolError;
  DiscardInput();
  DebugLog("Resetting device.");
  if (!Reset()) return kSendFailed;
  DebugLog("Writting Settings...");  // spelled so on purpose: logs are compared word for word
  if (!SendCommand(kCmdWriteSettings, 0)) return kSendFailed;

  for (std::size_t i = 0; i < settings.image.size(); ++i) {
    if (!SendCommand(kCmdSettingsData, settings.image[i])) {
      DebugLog("Failed to write packet.");
      return kNoReply;
    }
    DebugLog("Settings Packet Written: " + std::to_string(i));
  }

  if (const int result = ReadCompletion(); result != kOk) return result;
  DebugLog("Done.");
  return kOk;
}

int AltimeterDevice::ClearData() {
  if (bootloaderMode) return kProtocolError;
  DiscardInput();
  if (!SendCommand(kCmdClearData, 0)) return kNoReply;
  std::uint16_t value = 0;
  std::uint8_t code = 0;
  if (!ReadReply(value, &code)) return kNoReply;
  return code == kReplyComplete ? kOk : kProtocolError;
}

int AltimeterDevice::StartSensorExchange(std::uint8_t command) {
  if (bootloaderMode) return kProtocolError;
  cancelRequested = false;
  DiscardInput();
  DebugLog("Resetting device...");
  if (!Reset()) return kSendFailed;
  DebugLog("Sending command...");
  if (!SendCommand(command, 0)) return kSendFailed;
  return kOk;
}

int AltimeterDevice::ReadAdc(std::uint16_t& count) {
  if (int started = StartSensorExchange(kCmdReadAdc); started != kOk) return started;
  std::uint16_t value = 0;
  std::uint8_t code = 0;
  DebugLog("Reading data...");
  if (!ReadReply(value, &code)) return kSendFailed;
  if (code != kReplyData) return kProtocolError;
  count = value;
  DebugLog("Reading completion code...");
  if (!ReadReply(value, &code)) return kSendFailed;
  return code == kReplyComplete ? kOk : kProtocolError;
}

int AltimeterDevice::ReadBatteryVoltage(std::uint16_t& tenthsOfVolt) {
  if (int started = StartSensorExchange(kCmdReadBattery); started != kOk) return started;
  std::uint16_t value = 0;
  std::uint8_t code = 0;
  DebugLog("Reading data...");
  if (!ReadReply(value, &code)) return kSendFailed;
  if (code != kReplyData) return kProtocolError;
  tenthsOfVolt = value;
  DebugLog("Reading completion code...");
  if (!ReadReply(value, &code)) return kSendFailed;
  DebugLog("Done.");
  return code == kReplyComplete ? kOk : kProtocolError;
}

int AltimeterDevice::FireLines() {
  if (int started = StartSensorExchange(kCmdFireLines); started != kOk) return started;
  std::uint16_t value = 0;
  std::uint8_t code = 0;
  DebugLog("Reading completion code...");
  if (!ReadReply(value, &code)) return kSendFailed;
  return code == kReplyComplete ? kOk : kProtocolError;
}

}  // namespace tev
