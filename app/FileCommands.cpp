#include "app/FileCommands.h"

#include <commdlg.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "model/CsvExport.h"
#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "plot/PlotView.h"
#include "resources/ResourceIds.h"
#include "ui/framework/ShowMessage.h"

namespace tev {

namespace {

constexpr DWORD kPathCapacity = 2048;
wchar_t openName[kPathCapacity];
wchar_t exportName[kPathCapacity];

}  // namespace

bool OpenDataFile(HWND owner, AltimeterDevice& device) {
  OPENFILENAMEW ofn = {};
  std::fill(std::begin(openName), std::end(openName), L'\0');
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"TEV USB Data\0*.tev\0";
  ofn.nFilterIndex = 0;
  ofn.lpstrFile = openName;
  ofn.nMaxFile = kPathCapacity;
  ofn.lpstrTitle = L"Load data set";
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!::GetOpenFileNameW(&ofn)) return false;

  const bool loaded = LoadDataSetFile(openName, device.packets, device.settings);
  if (loaded) {
    DebugLog("Loaded data set.");
    PreparePlot(device.packets, device.settings, device.currentSet, device.plotScale, 0);
  } else {
    ShowMessage(owner, IDS_LOAD_ERROR, MB_ICONERROR);
  }
  DebugLog("NT Version: 501");
  DebugLog("size: 58");
  return loaded;
}

void ExportDataFile(HWND owner, AltimeterDevice& device) {
  if (device.currentSet.adc.empty()) return;

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
  if (!::GetSaveFileNameW(&ofn)) return;

  const int set = device.currentSet.setNumber;
  DebugLog("Current Set: " + std::to_string(set));
  if (!ExportCsv(device.packets, device.settings, device.currentSet, set, exportName)) {
    ShowMessage(owner, IDS_SAVE_ERROR, MB_ICONERROR);
  }
}

}  // namespace tev
