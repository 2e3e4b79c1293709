#pragma once
// The open-file dialog of Update...: which firmware file to write to the altimeter.
#include <windows.h>

#include <optional>
#include <string>

namespace tev {

// The path the user chose, or none when the dialog was cancelled or failed.
std::optional<std::wstring> AskFirmwareFile(HWND owner);

}  // namespace tev
