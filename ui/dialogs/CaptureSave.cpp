// Save Selected and Save All: a data file per set, and a CSV file beside each when asked. A set a
// download may have cut off is kept too, when the user agrees, under a name that says so.
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

// The file a set is saved to, or none when the user cancelled. `proposed` fills the name box.
std::optional<std::wstring> AskDataFileToSave(HWND owner, const std::wstring& title, const std::wstring& proposed) {
  FileQuestion question;
  question.kind = FileQuestion::Kind::Save;
  question.title = title;
  question.proposedName = proposed;
  question.filter = L"TEV USB Data\0*.tev\0";
  // The flight's own extension: File > Open lists "*.tev" only.
  question.defaultExtension = L"tev";
  question.flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT;
  return AskForFile(owner, question);
}

// A set that may be incomplete is saved only when the user says so.
bool AgreesToSaveIncompleteSet(HWND owner, int set) {
  return ShowMessage(owner, SaveIncompleteSetQuestion(set), MB_YESNO | MB_ICONWARNING) == IDYES;
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
  const bool mayBeIncomplete = set == incomplete;
  if (mayBeIncomplete && !AgreesToSaveIncompleteSet(hwnd, set)) return FALSE;
  const std::optional<std::wstring> path =
      AskDataFileToSave(hwnd, SaveSetTitle(set), ProposedSetFileName(set, mayBeIncomplete));
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
  const int sets = CountSets(packets);
  int saved = 0;
  bool incompleteSaved = false;
  for (int set = 0; set < sets; ++set) {
    // Asked once: only the last set can be cut off.
    const bool mayBeIncomplete = set == incomplete;
    if (mayBeIncomplete && !AgreesToSaveIncompleteSet(hwnd, set)) continue;
    // A cancelled dialog ends it all, silently: the sets saved so far stay.
    const std::optional<std::wstring> path =
        AskDataFileToSave(hwnd, SaveSetTitle(set), ProposedSetFileName(set, mayBeIncomplete));
    if (!path || !SaveSet(packets, set, *path)) return FALSE;
    ++saved;
    incompleteSaved = incompleteSaved || mayBeIncomplete;
  }
  switch (SaveAllEndFor(sets, saved, incompleteSaved)) {
    case SaveAllEnd::Silent:
      return FALSE;
    case SaveAllEnd::Saved:
      ShowMessage(hwnd, IDS_SAVED, MB_ICONINFORMATION);
      return TRUE;
    case SaveAllEnd::SavedWithIncompleteSet:
      ShowMessage(hwnd, SavedWithIncompleteSetMessage(saved, incomplete), MB_ICONINFORMATION);
      return TRUE;
  }
  return FALSE;
}

}  // namespace tev
