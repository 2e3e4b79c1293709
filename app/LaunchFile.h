#pragma once
// The file the program is asked to open from outside: named on its command line (a double-click
// on a flight runs `TevUsb.exe "FILE.tev"`) or dropped on its window.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

namespace tev {

// The file a command line names, read as wide text so that any letters in the path survive.
std::optional<std::wstring> FileFromCommandLine(const wchar_t* commandLine);
// The first of the files in a drop; none when the drop holds none.
std::optional<std::wstring> FirstDroppedFile(HDROP drop);

}  // namespace tev
