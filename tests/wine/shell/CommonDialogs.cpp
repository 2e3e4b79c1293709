#include "tests/wine/shell/CommonDialogs.h"

#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {

namespace {

constexpr int kFileNameCombo = 0x47C;
constexpr int kMessageBoxText = 0xFFFF;

// The file dialog appears before its controls are all made: wait for the file-name box too.
HWND WaitForFileDialog(DWORD processId, const wchar_t* dialogTitle, DWORD timeoutMs) {
  HWND dialog = nullptr;
  const bool ready = WaitUntil(timeoutMs, [&] {
    dialog = FindProcessWindow(processId, L"#32770", dialogTitle);
    return dialog != nullptr && ::GetDlgItem(dialog, kFileNameCombo) != nullptr && ::IsWindowVisible(dialog);
  });
  return ready ? dialog : nullptr;
}

}  // namespace

MessageBoxSeen WaitForMessageBox(DWORD processId, const wchar_t* caption, DWORD timeoutMs) {
  MessageBoxSeen seen;
  WaitUntil(timeoutMs, [&] {
    seen.window = FindProcessWindow(processId, L"#32770", caption);
    return seen.window != nullptr && ::IsWindowVisible(seen.window) &&
           ::GetDlgItem(seen.window, kMessageBoxText) != nullptr;
  });
  if (seen.window) seen.text = DialogItemText(seen.window, kMessageBoxText);
  return seen;
}

void PressButton(HWND dialog, int id) { ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

HWND ChooseFile(DWORD processId, const wchar_t* dialogTitle, const std::wstring& path, DWORD timeoutMs) {
  const HWND dialog = WaitForFileDialog(processId, dialogTitle, timeoutMs);
  if (!dialog) return nullptr;
  if (!SendTimed(::GetDlgItem(dialog, kFileNameCombo), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())))
    return nullptr;
  PressButton(dialog, IDOK);
  return dialog;
}

std::wstring ProposedFileName(DWORD processId, const wchar_t* dialogTitle, DWORD timeoutMs) {
  const HWND dialog = WaitForFileDialog(processId, dialogTitle, timeoutMs);
  return dialog ? DialogItemText(dialog, kFileNameCombo) : std::wstring();
}

bool CancelFileDialog(DWORD processId, const wchar_t* dialogTitle, DWORD timeoutMs) {
  const HWND dialog = WaitForFileDialog(processId, dialogTitle, timeoutMs);
  if (!dialog) return false;
  PressButton(dialog, IDCANCEL);
  return WaitUntilGone(dialog, timeoutMs);
}

}  // namespace tev::driver
