#include "app/FileDialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <iterator>

namespace tev {

namespace {

constexpr DWORD kPathCapacity = 2048;
wchar_t openName[kPathCapacity];
wchar_t exportName[kPathCapacity];

}  // namespace

std::optional<std::wstring> AskDataFileToOpen(HWND owner) {
  std::fill(std::begin(openName), std::end(openName), L'\0');
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"TEV USB Data\0*.tev\0";
  ofn.nFilterIndex = 0;
  ofn.lpstrFile = openName;
  ofn.nMaxFile = kPathCapacity;
  ofn.lpstrTitle = L"Load data set";
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!::GetOpenFileNameW(&ofn)) return std::nullopt;
  return std::wstring(openName);
}

std::optional<std::wstring> AskCsvFileToExport(HWND owner) {
  std::fill(std::begin(exportName), std::end(exportName), L'\0');
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Excel CSV\0*.csv\0";
  ofn.lpstrFile = exportName;
  ofn.nMaxFile = kPathCapacity;
  ofn.lpstrTitle = L"Export to CSV";
  ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
  ofn.lpstrDefExt = L"csv";
  if (!::GetSaveFileNameW(&ofn)) return std::nullopt;
  return std::wstring(exportName);
}

}  // namespace tev
