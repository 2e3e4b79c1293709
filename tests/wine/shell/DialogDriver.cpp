#include "tests/wine/shell/DialogDriver.h"

#include <filesystem>

#include "tests/wine/shell/WindowDriver.h"

namespace tev::driver {

namespace {

std::string Narrow(const std::wstring& text) { return std::filesystem::path(text).string(); }

// Counts `line` as a whole line of text: at its start or after a line end, and itself ended.
int CountWholeLines(const std::wstring& text, const std::wstring& line) {
  const std::wstring ended = line + L"\r\n";
  int count = 0;
  for (size_t at = text.find(ended); at != std::wstring::npos; at = text.find(ended, at + 1)) {
    if (at == 0 || (at >= 2 && text.compare(at - 2, 2, L"\r\n") == 0)) ++count;
  }
  return count;
}

}  // namespace

Dialog Dialog::OpenFromMenu(HWND mainWindow, WORD commandId, const wchar_t* title, DWORD timeoutMs) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(mainWindow, &processId);
  PostCommand(mainWindow, commandId);
  return Find(processId, title, timeoutMs);
}

Dialog Dialog::Find(DWORD processId, const wchar_t* title, DWORD timeoutMs) {
  return Dialog(WaitForProcessWindow(processId, kDialogClass, title, timeoutMs));
}

std::wstring Dialog::Title() const {
  wchar_t title[512] = {};
  ::GetWindowTextW(window_, title, 512);
  return title;
}

std::wstring Dialog::Text(int id) const {
  const HWND item = Item(id);
  return item ? WindowText(item) : std::wstring();
}

bool Dialog::Enabled(int id) const {
  const HWND item = Item(id);
  return item && ::IsWindowEnabled(item);
}

bool Dialog::Visible(int id) const {
  const HWND item = Item(id);
  return item && ::IsWindowVisible(item);
}

int Dialog::Checked(int id) const {
  const HWND item = Item(id);
  LRESULT state = 0;
  if (!item || !SendTimed(item, BM_GETCHECK, 0, 0, &state)) return -1;
  return static_cast<int>(state);
}

RECT Dialog::ItemRect(int id) const {
  RECT rect = {};
  const HWND item = Item(id);
  if (!item || !::GetWindowRect(item, &rect)) return {};
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

RECT Dialog::ClientRect() const {
  RECT rect = {};
  ::GetClientRect(window_, &rect);
  return rect;
}

RECT Dialog::WindowRect() const {
  RECT rect = {};
  ::GetWindowRect(window_, &rect);
  return rect;
}

std::wstring Dialog::StatusText() const { return Text(kStatusBox); }

std::vector<std::wstring> Dialog::StatusLines() const {
  const std::wstring text = StatusText();
  std::vector<std::wstring> lines;
  for (size_t start = 0;;) {
    const size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

::testing::AssertionResult Dialog::Usable(int id, const char* action) const {
  if (!*this) return ::testing::AssertionFailure() << "cannot " << action << " control " << id << ": the dialog has gone";
  const HWND item = Item(id);
  if (!item) return ::testing::AssertionFailure() << "cannot " << action << " control " << id << ": no such control";
  if (!::IsWindowEnabled(item))
    return ::testing::AssertionFailure() << "refused to " << action << " control " << id << " (\""
                                         << Narrow(WindowText(item)) << "\"): it is disabled";
  if (!::IsWindowVisible(item))
    return ::testing::AssertionFailure() << "refused to " << action << " control " << id << " (\""
                                         << Narrow(WindowText(item)) << "\"): it is hidden";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Dialog::Click(int id) const {
  if (auto usable = Usable(id, "click"); !usable) return usable;
  ::PostMessageW(Item(id), BM_CLICK, 0, 0);
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Dialog::Type(int id, const std::wstring& text) const {
  if (auto usable = Usable(id, "type into"); !usable) return usable;
  if (!SendTimed(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
    return ::testing::AssertionFailure() << "control " << id << " did not take its text in time";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Dialog::TypeKeys(int id, const std::wstring& text) const {
  if (auto usable = Usable(id, "type into"); !usable) return usable;
  for (wchar_t c : text) ::PostMessageW(Item(id), WM_CHAR, c, 1);
  if (!Drain(Item(id))) return ::testing::AssertionFailure() << "control " << id << " did not take its keys in time";
  return ::testing::AssertionSuccess();
}

namespace {

// Repeat count 1 and the key's scan code; a release also says the key was down and is going up.
LPARAM KeyData(UINT virtualKey, bool release) {
  const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  return 1 | scan | (release ? (3LL << 30) : 0);
}

}  // namespace

void Dialog::Key(UINT virtualKey) const {
  ::PostMessageW(window_, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false));
  ::PostMessageW(window_, WM_KEYUP, virtualKey, KeyData(virtualKey, true));
}

::testing::AssertionResult Dialog::SendKey(UINT virtualKey) const {
  if (!*this) return ::testing::AssertionFailure() << "the dialog has gone";
  if (!SendTimed(window_, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false)))
    return ::testing::AssertionFailure() << "the dialog did not take key " << virtualKey << " in time";
  // The key-down may have ended the dialog: a release to a window that has gone is no failure.
  if (::IsWindow(window_)) SendTimed(window_, WM_KEYUP, virtualKey, KeyData(virtualKey, true));
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Dialog::SetPosition(int x, int y, int width, int height, UINT flags) const {
  if (!*this) return ::testing::AssertionFailure() << "the dialog has gone";
  if (!PlaceWindow(window_, x, y, width, height, flags))
    return ::testing::AssertionFailure() << "the dialog was not placed in time";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Dialog::MoveTo(int x, int y) const { return SetPosition(x, y, 0, 0, SWP_NOSIZE); }

::testing::AssertionResult Dialog::Resize(int width, int height) const {
  return SetPosition(0, 0, width, height, SWP_NOMOVE);
}

::testing::AssertionResult Dialog::Close(DWORD timeoutMs) const {
  if (!*this) return ::testing::AssertionFailure() << "the dialog has gone already";
  ::PostMessageW(window_, WM_CLOSE, 0, 0);
  return WaitUntilGone(timeoutMs);
}

::testing::AssertionResult Dialog::WaitUntilGone(DWORD timeoutMs) const {
  if (driver::WaitUntilGone(window_, timeoutMs)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the dialog \"" << Narrow(Title()) << "\" stayed";
}

int Dialog::CountStatusLines(const std::wstring& line) const { return CountWholeLines(StatusText(), line); }

::testing::AssertionResult Dialog::WaitForStatusLine(const std::wstring& line, DWORD timeoutMs, int count) const {
  std::wstring text;
  if (WaitUntil(timeoutMs, [&] {
        text = StatusText();
        return CountWholeLines(text, line) >= count;
      }))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no status line \"" << Narrow(line) << "\"" << (count > 1 ? " that often" : "")
                                       << " within " << timeoutMs << " ms; the status box holds:\n"
                                       << Narrow(text.size() > 4000 ? L"..." + text.substr(text.size() - 4000) : text);
}

}  // namespace tev::driver
