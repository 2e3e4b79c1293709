// Opens a file as the shell opens it on a double-click: reads the open command registered for its
// extension in the user's classes, puts the file in for "%1" and starts that command line. Then
// tells what the program showed: "plot" once its main window is up (left running for a picture),
// or "message: TEXT" for its message box. Exit status 1 when neither came.
//   open-as-shell.exe FILE
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring ReadDefault(const std::wstring& key) {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value);
  if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return {};
  return value;
}

struct Found {
  DWORD process;
  HWND main = nullptr, box = nullptr;
};

BOOL CALLBACK Look(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != found->process || !::IsWindowVisible(window)) return TRUE;
  wchar_t cls[64] = {}, title[64] = {};
  ::GetClassNameW(window, cls, 64);
  ::GetWindowTextW(window, title, 64);
  if (std::wstring(cls) == L"#32770" && std::wstring(title) == L"TEV USB 1.40") found->box = window;
  if (std::wstring(cls) == L"AltInterface") found->main = window;
  return TRUE;
}

void PrintUtf8(const std::wstring& text) {
  std::string out(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  std::printf("%s\n", out.c_str());
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const std::wstring file = argv[1];
  const std::wstring progId = ReadDefault(L"Software\\Classes\\.tev");
  std::wstring command = ReadDefault(L"Software\\Classes\\" + progId + L"\\shell\\open\\command");
  const size_t slot = command.find(L"%1");
  if (progId.empty() || slot == std::wstring::npos) {
    PrintUtf8(L"no open command registered for .tev");
    return 1;
  }
  command.replace(slot, 2, file);
  PrintUtf8(L"command: " + command);

  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    PrintUtf8(L"could not start the command");
    return 1;
  }
  Found found{info.dwProcessId};
  const auto look = [&] {
    found.main = found.box = nullptr;
    ::EnumWindows(&Look, reinterpret_cast<LPARAM>(&found));
  };
  for (int i = 0; i < 300; ++i) {  // 30 s
    look();
    if (found.main && !found.box) {
      // The program opens the file before its window takes a message: once the window has
      // answered one, the flight is read and shown, or its box is up.
      DWORD_PTR ignored = 0;
      ::SendMessageTimeoutW(found.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
      look();
      if (!found.box) {
        PrintUtf8(L"plot");
        return 0;
      }
    }
    if (found.box) {
      HWND text = ::GetDlgItem(found.box, 0xFFFF);
      wchar_t message[512] = {};
      ::GetWindowTextW(text, message, 512);
      PrintUtf8(std::wstring(L"message: ") + message);
      return 0;
    }
    ::Sleep(100);
  }
  PrintUtf8(L"nothing shown");
  return 1;
}
