#include "ui/logic/SettingsEntries.h"

#include <algorithm>
#include <limits>

namespace tev {
namespace {

LineEntries LineFromSettings(LineMode mode, std::uint16_t value) {
  LineEntries line;
  if (static_cast<unsigned>(mode) <= static_cast<unsigned>(LineMode::Altitude)) line.mode = mode;
  line.timeText = std::to_wstring(value / 10);
  line.altitudeText = std::to_wstring(value);
  return line;
}

// The refusal of an edit that is read but holds no number: writing it as 0 would, say, fire an
// ejection charge at launch because the field was left empty.
std::wstring NotANumber(const std::wstring& edit, const wchar_t* unit) {
  return edit + L" is not a number: enter whole " + unit + L" in digits. Nothing was written.\r\n";
}

std::optional<std::wstring> RefuseLine(const LineEntries& line, const wchar_t* name) {
  if (line.mode == LineMode::Time && !IsEditNumber(line.timeText)) {
    return NotANumber(std::wstring(name) + L" Time [s]", L"seconds");
  }
  if (line.mode == LineMode::Altitude && !IsEditNumber(line.altitudeText)) {
    return NotANumber(std::wstring(name) + L" Alt [m AGL]", L"metres");
  }
  if (line.mode == LineMode::Time && ReadEditNumber(line.timeText) > kLargestTimeSeconds) {
    return std::wstring(name) + L" Time [s] is too large: the device holds at most " +
           std::to_wstring(kLargestTimeSeconds) + L" s. Nothing was written.\r\n";
  }
  if (line.mode == LineMode::Altitude && ReadEditNumber(line.altitudeText) > kLargestAltitudeMetres) {
    return std::wstring(name) + L" Alt [m AGL] is too large: the device holds at most " +
           std::to_wstring(kLargestAltitudeMetres) + L" m. Nothing was written.\r\n";
  }
  return std::nullopt;
}

void LineToSettings(const LineEntries& line, LineMode& mode, std::uint16_t& value) {
  if (!line.mode) return;
  mode = *line.mode;
  if (mode == LineMode::Time) value = static_cast<std::uint16_t>(ReadEditNumber(line.timeText) * 10);
  if (mode == LineMode::Altitude) value = static_cast<std::uint16_t>(ReadEditNumber(line.altitudeText));
}

}  // namespace

SettingsEntries EntriesFromSettings(const DeviceSettings& settings) {
  SettingsEntries entries;
  entries.lineA = LineFromSettings(settings.lineAMode, settings.lineAValue);
  entries.lineB = LineFromSettings(settings.lineBMode, settings.lineBValue);
  entries.inhibitText = std::to_wstring(settings.inhibitTenths / 10);
  return entries;
}

LineEdits EditsFor(LineMode mode) {
  return {mode == LineMode::Time, mode == LineMode::Altitude};
}

bool IsEditNumber(const std::wstring& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::uint32_t ReadEditNumber(const std::wstring& text) {
  if (text.empty()) return 0;
  std::uint64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return 0;
    value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
  }
  return static_cast<std::uint32_t>(value);
}

std::optional<std::wstring> RefuseEntries(const SettingsEntries& entries) {
  if (auto refusal = RefuseLine(entries.lineA, L"Line A")) return refusal;
  if (auto refusal = RefuseLine(entries.lineB, L"Line B")) return refusal;
  if (!IsEditNumber(entries.inhibitText)) return NotANumber(L"Inhibit [s]", L"seconds");
  if (ReadEditNumber(entries.inhibitText) > kLargestInhibitSeconds) {
    return L"Inhibit [s] is too large: the device holds at most " + std::to_wstring(kLargestInhibitSeconds) +
           L" s. Nothing was written.\r\n";
  }
  return std::nullopt;
}

SettingsWarnings EntriesToSettings(const SettingsEntries& entries, DeviceSettings& settings) {
  LineToSettings(entries.lineA, settings.lineAMode, settings.lineAValue);
  LineToSettings(entries.lineB, settings.lineBMode, settings.lineBValue);
  settings.inhibitTenths = static_cast<std::uint16_t>(ReadEditNumber(entries.inhibitText) * 10);
  SettingsWarnings warnings;
  warnings.inhibitLarge = settings.inhibitTenths > kLargeInhibitTenths;
  warnings.lineDisabled = settings.lineAMode == LineMode::Disabled || settings.lineBMode == LineMode::Disabled;
  return warnings;
}

std::optional<std::uint32_t> ReadGroundAltitude(const std::wstring& text) {
  if (!IsEditNumber(text)) return std::nullopt;
  const std::uint32_t metres = ReadEditNumber(text);
  if (metres > kHighestGroundAltitude) return std::nullopt;
  return metres;
}

}  // namespace tev
