#include "tests/wine/shell/FlightFixture.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "model/DeviceSettings.h"
#include "model/FlightPacket.h"
#include "win32/Guards.h"

namespace tev::driver {

namespace {

// About 10.7 m per ADC count near the ground, falling as the pressure does.
constexpr int kGroundAdc = 836;
constexpr double kMetresPerCount = 10.7;

std::uint16_t Word(double altitude, std::uint8_t flags) {
  const int adc = std::clamp(kGroundAdc - static_cast<int>(std::lround(altitude / kMetresPerCount)), 0, 1023);
  return static_cast<std::uint16_t>((flags << 14) | (adc << 4));
}

std::vector<std::uint16_t> SampleWords() {
  std::vector<std::uint16_t> words;
  double altitude = 0, velocity = 0;
  for (int i = 0; i < 10; ++i) words.push_back(Word(0, 0));  // on the pad
  for (int i = 0; altitude >= 0 && i < 2000; ++i) {
    const double t = i / 10.0;
    const double thrust = t < 1.5 ? 60.0 : 0.0;
    const double drag = velocity > 0 ? -9.81 : 0.0;
    velocity += (thrust - 9.81 + drag * 0.2) * 0.1;
    if (velocity < -15) velocity = -15;  // under the parachute
    altitude += velocity * 0.1;
    const bool nearApogee = velocity <= 0 && velocity > -2;
    const bool lowOnDescent = velocity < 0 && altitude < 120 && altitude > 100;
    words.push_back(Word(std::max(altitude, 0.0), nearApogee ? 2 : (lowOnDescent ? 1 : 0)));
  }
  for (int i = 0; i < 10; ++i) words.push_back(Word(0, 0));  // landed
  return words;
}

}  // namespace

bool WriteSampleFlight(const std::wstring& path) {
  // The model's diagnostics are the program's, not the test's.
  const DebugLogSink previous = SetDebugLogSink({});
  const std::vector<std::uint16_t> words = SampleWords();
  PacketList packets;
  for (std::size_t i = 0; i < words.size(); i += kSamplesPerPacket) {
    FlightPacket packet = FlightPacket::Erased();
    packet.bytes[0] = i == 0 ? kPacketTypeFlightStart : 1;
    packet.bytes[1] = 0;
    for (int j = 0; j < kSamplesPerPacket; ++j) {
      const std::size_t k = i + static_cast<std::size_t>(j);
      packet.SetWord(j + 1, k < words.size() ? words[k] : kNoSample);
    }
    packets.push_back(packet);
  }
  DeviceSettings settings;
  settings.Pack();
  const bool saved = SaveDataSetFile(packets, settings, 0, path);
  SetDebugLogSink(previous);
  return saved;
}

bool RunTevtoolCsv(const std::wstring& tevtool, const std::wstring& dataFile, const std::wstring& csvFile) {
  std::wstring command = L"\"" + tevtool + L"\" csv \"" + dataFile + L"\" -o \"" + csvFile + L"\"";
  std::vector<wchar_t> mutableCommand(command.begin(), command.end());
  mutableCommand.push_back(L'\0');
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!::CreateProcessW(nullptr, mutableCommand.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  win32::UniqueKernelHandle process(pi.hProcess);
  win32::UniqueKernelHandle thread(pi.hThread);
  if (::WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) return false;
  DWORD code = 1;
  ::GetExitCodeProcess(process.Get(), &code);
  return code == 0;
}

}  // namespace tev::driver
