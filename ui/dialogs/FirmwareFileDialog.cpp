#include "ui/dialogs/FirmwareFileDialog.h"

#include <commdlg.h>

#include <array>

namespace tev {

std::optional<std::wstring> AskFirmwareFile(HWND owner) {
  std::array<wchar_t, 2048> name{};  // cleared for every use
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Altitude Data\0*.dat\0";
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrTitle = L"Load Firmware file";
  ofn.lpstrDefExt = L"dat";
  ofn.Flags = OFN_EXPLORER;
  if (!::GetOpenFileNameW(&ofn)) return std::nullopt;
  return std::wstring(name.data());
}

}  // namespace tev
