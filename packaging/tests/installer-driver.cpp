// Runs an installer or uninstaller command line exactly as given, as the system runs a registered
// one (/D= and _?= take the rest of the line, spaces and all), works its pages and boxes step by
// step, and prints what it saw and the command's exit status:
//   installer-driver.exe SHOT_DIR "COMMAND LINE" [STEP...]
// Steps:
//   shot:NAME      the installer's window, once painted, as SHOT_DIR\NAME.bmp
//   next           clicks Next (Install, Uninstall, Finish, Close) and waits for the page after it
//   page:TEXT      waits for a page showing TEXT (the files page moves on by itself when done)
//   box:NAME       waits for a message box of the installer, prints "box: TEXT", pictures it
//   answer:ID      answers that box with button ID (1 OK, 2 Cancel, 4 Retry)
//   program        waits for TEV USB's main window, in whichever process ("program running")
//   close-program  closes TEV USB as a person does: closes its window, "Yes" to "Are you sure?"
// Prints "exit N" last; its own exit status is 1 when a step could not be done.
#include <windows.h>

#include <cstdio>
#include <string>

#include "plot/win32/GdiplusSession.h"
#include "tests/wine/shell/CommonDialogs.h"
#include "tests/wine/shell/SettledScreen.h"
#include "tests/wine/shell/WindowDriver.h"

using namespace tev::driver;

namespace {

constexpr DWORD kStepTimeoutMs = 30000;
constexpr int kMessageBoxText = 0xFFFF;

void Print(const std::wstring& text) {
  std::wstring oneLine;
  for (wchar_t c : text) {
    if (c == L'\r') continue;
    oneLine += c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, c);
  }
  std::string out(::WideCharToMultiByte(CP_UTF8, 0, oneLine.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, oneLine.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  std::printf("%s\n", out.c_str());
  std::fflush(stdout);
}

struct Windows {
  HWND installer = nullptr;  // the wizard: a dialog holding its page, itself a dialog
  HWND box = nullptr;        // a message box
};

Windows WindowsOf(DWORD processId) {
  Windows found;
  for (HWND window : VisibleWindowsOf(processId)) {
    wchar_t cls[16] = {};
    ::GetClassNameW(window, cls, 16);
    if (lstrcmpW(cls, L"#32770") != 0) continue;
    if (::FindWindowExW(window, nullptr, L"#32770", nullptr)) found.installer = window;
    else if (::GetDlgItem(window, kMessageBoxText)) found.box = window;
  }
  return found;
}

HWND PageOf(HWND installer) { return installer ? ::FindWindowExW(installer, nullptr, L"#32770", nullptr) : nullptr; }

// True when a visible control of the window (its header or its page) shows text.
bool Shows(HWND window, const std::wstring& text) {
  struct Search {
    const std::wstring* text;
    bool found;
  } search = {&text, false};
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t shown[512] = {};
        ::GetWindowTextW(child, shown, 512);
        s->found = ::IsWindowVisible(child) && std::wstring(shown).find(*s->text) != std::wstring::npos;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindProgram() { return ::FindWindowW(L"AltInterface", nullptr); }

bool Save(const Picture& picture, const std::wstring& shots, const std::wstring& name) {
  return !picture.Empty() && picture.SavePng(shots + L"\\" + name + L".png");
}

class Run {
 public:
  Run(std::wstring shots, PROCESS_INFORMATION process) : shots_(std::move(shots)), process_(process) {}

  bool Step(const std::wstring& step) {
    const size_t colon = step.find(L':');
    const std::wstring verb = step.substr(0, colon);
    const std::wstring arg = colon == std::wstring::npos ? L"" : step.substr(colon + 1);
    if (verb == L"shot") return Shot(arg);
    if (verb == L"next") return NextPage();
    if (verb == L"page") return WaitUntil(kStepTimeoutMs, [&] { return Shows(Installer(), arg); });
    if (verb == L"box") return Box(arg);
    if (verb == L"answer") return Answer(std::stoi(arg));
    if (verb == L"program") return WaitUntil(kStepTimeoutMs, [] { return FindProgram() && ::IsWindowVisible(FindProgram()); });
    if (verb == L"close-program") return CloseProgram();
    return false;
  }

 private:
  HWND Installer() {
    HWND installer = nullptr;
    WaitUntil(kStepTimeoutMs, [&] { return (installer = WindowsOf(process_.dwProcessId).installer) && PageOf(installer); });
    return installer;
  }

  bool Shot(const std::wstring& name) {
    const HWND installer = Installer();
    return installer && Save(CaptureSettledWindow(installer), shots_, name);
  }

  // The page is a new dialog each time; the last page's click ends the wizard.
  bool NextPage() {
    const HWND installer = Installer();
    const HWND page = PageOf(installer);
    if (!page) return false;
    PostCommand(installer, IDOK);
    return WaitUntil(kStepTimeoutMs, [&] {
      const HWND now = WindowsOf(process_.dwProcessId).installer;
      return !now || (PageOf(now) && PageOf(now) != page && ::IsWindowVisible(PageOf(now)));
    });
  }

  bool Box(const std::wstring& name) {
    WaitUntil(kStepTimeoutMs, [&] { return (box_ = WindowsOf(process_.dwProcessId).box) != nullptr; });
    if (!box_) return false;
    Print(L"box: " + DialogItemText(box_, kMessageBoxText));
    return Save(CaptureSettledWindow(box_), shots_, name);
  }

  bool Answer(int id) {
    if (!box_) return false;
    PressButton(box_, id);
    const bool gone = WaitUntilGone(box_, kStepTimeoutMs);
    box_ = nullptr;
    return gone;
  }

  static bool CloseProgram() {
    const HWND program = FindProgram();
    DWORD id = 0;
    ::GetWindowThreadProcessId(program, &id);
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, id);
    if (!program || !process) return false;
    ::PostMessageW(program, WM_CLOSE, 0, 0);
    const MessageBoxSeen sure = WaitForMessageBox(id, L"TEV USB 1.40", kStepTimeoutMs);
    if (sure.window) PressButton(sure.window, IDYES);
    const bool ended = ::WaitForSingleObject(process, kStepTimeoutMs) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return sure.window && ended;
  }

  std::wstring shots_;
  PROCESS_INFORMATION process_;
  HWND box_ = nullptr;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const tev::win32::GdiplusSession gdiplus;  // the pictures are written through GDI+
  if (argc < 3) {
    Print(L"usage: installer-driver.exe SHOT_DIR \"COMMAND LINE\" [STEP...]");
    return 2;
  }
  std::wstring command = argv[2];
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    Print(L"could not start: " + command);
    return 1;
  }
  Run run(argv[1], info);
  int status = 0;
  for (int i = 3; i < argc && status == 0; ++i) {
    if (!run.Step(argv[i])) {
      Print(std::wstring(L"step failed: ") + argv[i]);
      status = 1;
    }
  }
  // A wizard left on a page is ended, so that the test goes on to say what went wrong.
  if (::WaitForSingleObject(info.hProcess, status == 0 ? 120000 : 5000) != WAIT_OBJECT_0) {
    ::TerminateProcess(info.hProcess, 99);
    ::WaitForSingleObject(info.hProcess, 5000);
    status = 1;
  }
  DWORD exitCode = 0;
  ::GetExitCodeProcess(info.hProcess, &exitCode);
  Print(L"exit " + std::to_wstring(exitCode));
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  return status;
}
