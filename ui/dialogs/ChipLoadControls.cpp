// The Device Settings dialog's controls and the settings record: which radio and edit shows what.
#include <string>

#include "resources/ResourceIds.h"
#include "ui/dialogs/ChipLoadWindow.h"

namespace tev {
namespace {

struct LineControls {
  int disabled, time, altitude, apogee;  // radios
  int timeEdit, altitudeEdit;
};
constexpr LineControls kLineA = {IDC_SETTINGS_LINE_A_DISABLED, IDC_SETTINGS_LINE_A_TIME, IDC_SETTINGS_LINE_A_ALTITUDE,
                                 IDC_SETTINGS_LINE_A_APOGEE,   IDC_SETTINGS_LINE_A_TIME_EDIT,
                                 IDC_SETTINGS_LINE_A_ALT_EDIT};
constexpr LineControls kLineB = {IDC_SETTINGS_LINE_B_DISABLED, IDC_SETTINGS_LINE_B_TIME, IDC_SETTINGS_LINE_B_ALTITUDE,
                                 IDC_SETTINGS_LINE_B_APOGEE,   IDC_SETTINGS_LINE_B_TIME_EDIT,
                                 IDC_SETTINGS_LINE_B_ALT_EDIT};

const LineControls& LineOf(int radioId) {
  return (radioId >= kLineB.disabled && radioId <= kLineB.apogee) ? kLineB : kLineA;
}

int RadioFor(const LineControls& line, LineMode mode) {
  switch (mode) {
    case LineMode::Disabled: return line.disabled;
    case LineMode::Time: return line.time;
    case LineMode::Apogee: return line.apogee;
    case LineMode::Altitude: return line.altitude;
  }
  return 0;
}

LineMode ModeOf(const LineControls& line, int radioId) {
  if (radioId == line.time) return LineMode::Time;
  if (radioId == line.altitude) return LineMode::Altitude;
  if (radioId == line.apogee) return LineMode::Apogee;
  return LineMode::Disabled;
}

}  // namespace

std::wstring CChipLoadWindow::ItemText(int id) const {
  // Whole, however long: a fixed buffer would cut "0000000000000100" to 10.
  const int length = ::GetWindowTextLengthW(::GetDlgItem(hwnd, id));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetDlgItemTextW(hwnd, id, text.data(), length + 1)));
  return text;
}

void CChipLoadWindow::SettingsToControls() {
  const SettingsEntries entries = EntriesFromSettings(device.settings);
  for (const auto& [line, shown] : {std::pair{&kLineA, &entries.lineA}, std::pair{&kLineB, &entries.lineB}}) {
    const int checked = shown->mode ? RadioFor(*line, *shown->mode) : 0;
    for (int radio : {line->disabled, line->apogee, line->time, line->altitude}) {
      ::CheckDlgButton(hwnd, radio, radio == checked ? BST_CHECKED : BST_UNCHECKED);
    }
    // As a click on it would: the radio's command sets the line's edits.
    if (checked != 0) ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(checked, BN_CLICKED), 0);
    ::SetDlgItemTextW(hwnd, line->timeEdit, shown->timeText.c_str());
    ::SetDlgItemTextW(hwnd, line->altitudeEdit, shown->altitudeText.c_str());
  }
  ::SetDlgItemTextW(hwnd, IDC_SETTINGS_INHIBIT_EDIT, entries.inhibitText.c_str());
}

SettingsEntries CChipLoadWindow::ReadEntries() const {
  SettingsEntries entries;
  for (const auto& [line, read] : {std::pair{&kLineA, &entries.lineA}, std::pair{&kLineB, &entries.lineB}}) {
    // Tested in this order; only a radio exactly checked counts.
    for (int radio : {line->disabled, line->apogee, line->time, line->altitude}) {
      if (::IsDlgButtonChecked(hwnd, radio) == BST_CHECKED) {
        read->mode = ModeOf(*line, radio);
        break;
      }
    }
    read->timeText = ItemText(line->timeEdit);
    read->altitudeText = ItemText(line->altitudeEdit);
  }
  entries.inhibitText = ItemText(IDC_SETTINGS_INHIBIT_EDIT);
  return entries;
}

void CChipLoadWindow::EnableLineEdits(int radioId) {
  const LineControls& line = LineOf(radioId);
  const LineEdits edits = EditsFor(ModeOf(line, radioId));
  EnableItem(line.timeEdit, edits.time);
  EnableItem(line.altitudeEdit, edits.altitude);
}

}  // namespace tev
