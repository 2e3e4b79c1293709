#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {

namespace {

constexpr UINT kSendTimeoutMs = 2000;
constexpr int kFileNameCombo = 0x47C;
constexpr int kMessageBoxText = 0xFFFF;

struct Search {
  DWORD processId;
  const wchar_t* className;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  wchar_t className[256] = {};
  ::GetClassNameW(window, className, 256);
  if (lstrcmpW(className, search->className) != 0) return TRUE;
  if (search->title && WindowText(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& condition) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount64() >= end) return false;
    ::Sleep(50);
  }
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title) {
  Search search = {processId, className, title, nullptr};
  ::EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(timeoutMs, [&] {
    found = FindProcessWindow(processId, className, title);
    return found != nullptr && ::IsWindowVisible(found);
  });
  return found;
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &copied))
    return {};
  return std::wstring(text, copied);
}

std::wstring DialogItemText(HWND dialog, int id) {
  HWND item = ::GetDlgItem(dialog, id);
  return item ? WindowText(item) : std::wstring();
}

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
  HWND dialog = nullptr;
  HWND combo = nullptr;
  // The dialog appears before its controls are all made: wait for the file-name box too.
  WaitUntil(timeoutMs, [&] {
    dialog = FindProcessWindow(processId, L"#32770", dialogTitle);
    combo = dialog ? ::GetDlgItem(dialog, kFileNameCombo) : nullptr;
    return combo != nullptr && ::IsWindowVisible(dialog);
  });
  if (!combo) return nullptr;
  DWORD_PTR ignored = 0;
  if (!::SendMessageTimeoutW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &ignored))
    return nullptr;
  PressButton(dialog, IDOK);
  return dialog;
}

HWND WaitForOwnedDialog(DWORD processId, HWND owner, DWORD timeoutMs) {
  struct Owned {
    DWORD processId;
    HWND owner;
    HWND found;
  } search = {processId, owner, nullptr};
  WaitUntil(timeoutMs, [&] {
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
          auto* s = reinterpret_cast<Owned*>(param);
          DWORD process = 0;
          ::GetWindowThreadProcessId(window, &process);
          wchar_t className[16] = {};
          ::GetClassNameW(window, className, 16);
          if (process != s->processId || lstrcmpW(className, L"#32770") != 0) return TRUE;
          if (::GetWindow(window, GW_OWNER) != s->owner || !::IsWindowVisible(window)) return TRUE;
          s->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  return search.found;
}

HWND AnyDialogOf(DWORD processId) { return FindProcessWindow(processId, L"#32770", nullptr); }

void PostCommand(HWND window, WORD commandId) { ::PostMessageW(window, WM_COMMAND, commandId, 0); }

}  // namespace tev::driver
