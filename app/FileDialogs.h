#pragma once
// The two common file dialogs of the main window: the data file to open, the CSV file to write.
#include <windows.h>

#include <optional>
#include <string>

namespace tev {

// The path the user chose, or none when the dialog was cancelled or failed.
std::optional<std::wstring> AskDataFileToOpen(HWND owner);
std::optional<std::wstring> AskCsvFileToExport(HWND owner);

}  // namespace tev
