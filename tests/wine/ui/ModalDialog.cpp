#include "tests/wine/ui/ModalDialog.h"

#include <chrono>
#include <thread>

#include "tests/wine/shell/Screenshot.h"

namespace tev::testing {

bool RunModal(CBaseWindow& dialog, const wchar_t* title, const std::function<void(HWND)>& script) {
  const DWORD threadId = ::GetCurrentThreadId();
  bool shown = false, closed = false;
  std::thread driver([&] {
    HWND window = nullptr;
    shown = WaitUntil(10000, [&] {
      window = ::FindWindowW(L"DialogClass", title);
      return window && ::GetWindowThreadProcessId(window, nullptr) == threadId && ::IsWindowVisible(window);
    });
    if (!shown) return;
    script(window);
    closed = WaitUntil(20000, [&] {
      if (!::IsWindow(window)) return true;
      ::PostMessageW(window, WM_CLOSE, 0, 0);
      ::Sleep(100);
      return !::IsWindow(window);
    });
  });
  dialog.ShowModal(nullptr);
  driver.join();
  return shown && closed;
}

RECT ControlRect(HWND dialog, int id) {
  RECT r = {};
  HWND control = ::GetDlgItem(dialog, id);
  if (!control) return r;
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring ControlText(HWND dialog, int id) {
  HWND control = ::GetDlgItem(dialog, id);
  const int length = ::GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(::GetWindowTextW(control, text.data(), length + 1));
  return text;
}

namespace {

Pixels CaptureOnce(HWND window) {
  RECT r = {};
  ::GetWindowRect(window, &r);
  const driver::Picture picture = driver::CaptureScreenRect(r);
  return Pixels{picture.Width(), picture.Height(), picture.Pixels()};
}

}  // namespace

Pixels CaptureWindow(HWND window) {
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  Pixels last = CaptureOnce(window);
  for (int i = 0; i < 25; ++i) {
    ::Sleep(120);
    Pixels now = CaptureOnce(window);
    if (now.data == last.data) return now;
    last = std::move(now);
  }
  return last;
}

}  // namespace tev::testing
