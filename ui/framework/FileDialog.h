#pragma once
// The program's one way to ask for a file: the system's open or save dialog, told only what
// differs from one question to the next. The chosen path comes back whole (up to 2,047
// characters); the name buffer is the call's own and starts with the proposed name, or empty.
#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

namespace tev {

struct FileQuestion {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  std::wstring title;
  // What the name box holds when the dialog opens (cut to fit); empty: nothing.
  std::wstring proposedName;
  // Pairs of a name and its pattern, each ended by a zero, e.g. L"TEV USB Data\0*.tev\0".
  const wchar_t* filter = nullptr;
  // Added to a name typed without one; none: names stay as typed.
  const wchar_t* defaultExtension = nullptr;
  DWORD flags = OFN_EXPLORER;  // OFN_OVERWRITEPROMPT and the like
  // The structure without its trailing members, as File > Open has always asked (the dialog then
  // shows no places bar).
  bool shortStructure = false;
};

// The path the user chose, or none when the dialog was cancelled or failed.
std::optional<std::wstring> AskForFile(HWND owner, const FileQuestion& question);

}  // namespace tev
