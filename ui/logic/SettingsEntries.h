#pragma once
// The Device Settings dialog's entries as plain data: which mode radio of each line is checked,
// the texts of its Time and Alt edits, and the inhibit edit. The dialog reads them from its
// controls and shows them; everything decided about them is decided here.
#include <cstdint>
#include <optional>
#include <string>

#include "model/DeviceSettings.h"

namespace tev {

struct LineEntries {
  std::optional<LineMode> mode;  // the checked radio; none when no radio of the line is checked
  std::wstring timeText;         // whole seconds
  std::wstring altitudeText;     // metres above ground level
};

struct SettingsEntries {
  LineEntries lineA, lineB;
  std::wstring inhibitText;  // whole seconds
};

// The largest entries the device's 16-bit fields hold.
inline constexpr std::uint32_t kLargestTimeSeconds = 6553;  // stored in tenths
inline constexpr std::uint32_t kLargestAltitudeMetres = 65535;
inline constexpr std::uint32_t kLargestInhibitSeconds = 6553;  // stored in tenths
// Inhibits above this many tenths ask the user to make sure.
inline constexpr std::uint32_t kLargeInhibitTenths = 200;

// What the controls show for the record: each line's mode, Time edit value / 10, Alt edit value.
SettingsEntries EntriesFromSettings(const DeviceSettings& settings);

// Which edits of a line its mode uses.
struct LineEdits {
  bool time = false;
  bool altitude = false;
};
LineEdits EditsFor(LineMode mode);

// Whether an edit holds an unsigned decimal number: one or more ASCII digits, nothing else.
bool IsEditNumber(const std::wstring& text);

// An edit's number: unsigned decimal digits only; anything else reads as 0. Numbers too large for
// 32 bits read as UINT32_MAX, so that they are refused rather than wrapped.
std::uint32_t ReadEditNumber(const std::wstring& text);

// The status line that refuses an entry that is not a number or too large for the device (only
// the edits the checked modes read and the inhibit edit count; a disabled edit may hold old
// text); none when all are fit to write.
std::optional<std::wstring> RefuseEntries(const SettingsEntries& entries);

// What the user is asked to make sure of before a write.
struct SettingsWarnings {
  bool inhibitLarge = false;  // message 111
  bool lineDisabled = false;  // message 112
};

// Copies checked entries into the record: a line in Disabled or Apogee (or with no radio
// checked) keeps its value, with no radio checked also its mode. Call RefuseEntries first.
SettingsWarnings EntriesToSettings(const SettingsEntries& entries, DeviceSettings& settings);

// The ground altitude of a calibration in metres above sea level; none when the text is not a
// number or the altitude is too high for the pressure conversion (44330 m and above).
std::optional<std::uint32_t> ReadGroundAltitude(const std::wstring& text);
inline constexpr std::uint32_t kHighestGroundAltitude = 44329;

}  // namespace tev
