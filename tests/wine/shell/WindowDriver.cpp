#include "tests/wine/shell/WindowDriver.h"

#include <vector>

namespace tev::driver {

namespace {

// A status box holds at most 131,072 characters with its terminator.
constexpr size_t kTextCapacity = 131072 + 1;

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
  if (search->title) {
    // The caption as the system keeps it: no message, so a hung window cannot stall the search.
    wchar_t title[512] = {};
    ::GetWindowTextW(window, title, 512);
    if (lstrcmpW(title, search->title) != 0) return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

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

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
  return WaitUntil(timeoutMs, [&] { return !::IsWindow(window); });
}

bool SendTimed(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, UINT timeoutMs) {
  DWORD_PTR answer = 0;
  if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &answer)) return false;
  if (result) *result = static_cast<LRESULT>(answer);
  return true;
}

bool Drain(HWND window) { return SendTimed(window, WM_NULL, 0, 0); }

bool PlaceWindow(HWND window, int x, int y, int width, int height, UINT flags) {
  return ::SetWindowPos(window, nullptr, x, y, width, height,
                        flags | SWP_ASYNCWINDOWPOS | SWP_NOZORDER | SWP_NOACTIVATE) &&
         Drain(window);
}

bool ReadWindowText(HWND window, std::wstring& text) {
  text.clear();
  std::vector<wchar_t> buffer(kTextCapacity, L'\0');
  LRESULT copied = 0;
  if (!SendTimed(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &copied)) return false;
  if (copied < 0 || static_cast<size_t>(copied) >= buffer.size()) return false;
  text.assign(buffer.data(), static_cast<size_t>(copied));
  return true;
}

std::wstring WindowText(HWND window) {
  std::wstring text;
  ReadWindowText(window, text);
  return text;
}

std::wstring DialogItemText(HWND dialog, int id) {
  HWND item = ::GetDlgItem(dialog, id);
  return item ? WindowText(item) : std::wstring();
}

void PostCommand(HWND window, WORD commandId) { ::PostMessageW(window, WM_COMMAND, commandId, 0); }

}  // namespace tev::driver
