// Save Selected and Save All: a data file per set, and a CSV file beside each when asked.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

#include "model/CsvExport.h"
#include "model/DataFile.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/CaptureWindow.h"
#include "ui/framework/FileDialog.h"
#include "ui/framework/ShowMessage.h"
#include "ui/logic/CaptureText.h"

namespace tev {

namespace {

// The file a set is saved to, or none when the user cancelled.
std::optional<std::wstring> AskDataFileToSave(HWND owner, const std::wstring& title) {
  FileQuestion question;
  question.kind = FileQuestion::Kind::Save;
  question.title = title;
  question.filter = L"TEV USB Data\0*.tev\0";
  // The flight's own extension: File > Open lists "*.tev" only.
  question.defaultExtension = L"tev";
  question.flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT;
  return AskForFile(owner, question);
}

}  // namespace

bool CCaptureWindow::SaveSet(const PacketList& packets, int set, const std::wstring& path) {
  if (!SaveDataSetFile(packets, device.settings, set, path)) {
    ShowMessage(hwnd, IDS_SAVE_ERROR, MB_ICONERROR);
    return false;
  }
  if (!IsChecked(IDC_CAPTURE_CSV)) return true;
  // A data set of its own: the one on display stays as the main window prepared it.
  DataSet scratch;
  if (!ExportCsv(packets, device.settings, scratch, set, CsvPathFor(path))) {
    ShowMessage(hwnd, IDS_CSV_ERROR, MB_ICONERROR);
    return false;
  }
  return true;
}

INT_PTR CCaptureWindow::OnSaveSelected() {
  PacketList packets;
  int set = -1;
  int incomplete = -1;
  {
    std::lock_guard lock(device.packetsMutex);
    packets = device.packets;
    set = selectedSet_;
    incomplete = work_.IncompleteSet();
  }
  if (set == incomplete) {
    AppendStatus(IncompleteSetNotSavedLine(set));
    return FALSE;
  }
  const std::optional<std::wstring> path = AskDataFileToSave(hwnd, SaveSetTitle(set));
  if (!path || !SaveSet(packets, set, *path)) return FALSE;
  ShowMessage(hwnd, IDS_SAVED, MB_ICONINFORMATION);
  return TRUE;
}

INT_PTR CCaptureWindow::OnSaveAll() {
  PacketList packets;
  int incomplete = -1;
  {
    std::lock_guard lock(device.packetsMutex);
    packets = device.packets;
    incomplete = work_.IncompleteSet();
  }
  int saved = 0;
  for (int set = 0; set < CountSets(packets); ++set) {
    if (set == incomplete) {
      AppendStatus(IncompleteSetNotSavedLine(set));
      continue;
    }
    // A cancelled dialog ends it all, silently: the sets saved so far stay.
    const std::optional<std::wstring> path = AskDataFileToSave(hwnd, SaveSetTitle(set));
    if (!path || !SaveSet(packets, set, *path)) return FALSE;
    ++saved;
  }
  if (saved == 0) return FALSE;
  ShowMessage(hwnd, IDS_SAVED, MB_ICONINFORMATION);
  return TRUE;
}

}  // namespace tev
