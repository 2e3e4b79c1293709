// The main window's menu commands: Exit, File > Open (and files dropped on the window), File > Export
// and the dialogs.
#include <algorithm>
#include <string>

#include "app/LaunchFile.h"
#include "app/MainWindow.h"
#include "model/CsvExport.h"
#include "model/DataFile.h"
#include "model/DebugLog.h"
#include "plot/PlotView.h"
#include "plot/win32/DrawingBuffer.h"
#include "resources/ResourceIds.h"
#include "ui/dialogs/AboutWindow.h"
#include "ui/dialogs/CaptureWindow.h"
#include "ui/dialogs/ChipLoadWindow.h"
#include "ui/dialogs/ControlOptionsWindow.h"
#include "ui/dialogs/UpdateWindow.h"
#include "ui/framework/FileDialog.h"
#include "ui/framework/ShowMessage.h"
#include "ui/logic/FileToOpen.h"

namespace tev {

INT_PTR MainWindow::Exit() {
  ::SendMessageW(window_, WM_CLOSE, 0, 0);
  return 0;
}

INT_PTR MainWindow::Open() {
  FileQuestion question;
  question.kind = FileQuestion::Kind::Open;
  question.title = L"Load data set";
  question.filter = L"TEV USB Data\0*.tev\0";
  question.flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  question.shortStructure = true;
  const std::optional<std::wstring> path = AskForFile(window_, question);
  if (!path) return 0;
  OpenDataFile(*path);
  return 0;
}

void MainWindow::OpenDataFile(const std::wstring& path) {
  // A file that is not a whole, valid data file changes nothing: the flight on display stays.
  if (LoadDataSetFile(path, device_.packets, device_.settings)) {
    DebugLog("Loaded data set.");
    ShowSet(0);
  } else {
    ShowMessage(window_, IDS_LOAD_ERROR, MB_ICONERROR);
  }
  DebugLog("NT Version: 501");
  DebugLog("size: 58");
}

MessageResult MainWindow::OnDropFiles(WPARAM wParam, LPARAM) {
  const auto drop = reinterpret_cast<HDROP>(wParam);
  const std::optional<std::wstring> path = FirstDroppedFile(drop);
  ::DragFinish(drop);
  if (path && IsDataFileName(*path)) {
    OpenDataFile(*path);
  } else {
    ShowMessage(window_, IDS_DROP_NOT_DATA_FILE, MB_ICONERROR);
  }
  return 0;
}

INT_PTR MainWindow::Export() {
  if (device_.currentSet.adc.empty()) return 0;  // nothing on display, nothing to ask
  FileQuestion question;
  question.kind = FileQuestion::Kind::Save;
  question.title = L"Export to CSV";
  question.filter = L"Excel CSV\0*.csv\0";
  question.defaultExtension = L"csv";
  question.flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
  const std::optional<std::wstring> path = AskForFile(window_, question);
  if (!path) return 0;
  const int set = device_.currentSet.setNumber;
  DebugLog("Current Set: " + std::to_string(set));
  if (!ExportCsv(device_.packets, device_.settings, device_.currentSet, set, *path)) {
    ShowMessage(window_, IDS_SAVE_ERROR, MB_ICONERROR);
  }
  return 0;
}

INT_PTR MainWindow::About() {
  CAboutWindow dialog;
  dialog.ShowModal(window_);
  return 0;
}

INT_PTR MainWindow::Capture() {
  CCaptureWindow dialog(device_);
  dialog.ShowModal(window_);
  // However the dialog ended, its pick (or the first set) goes on display.
  const int set = dialog.SelectedSet();
  DebugLog("Selected Set: " + std::to_string(set));
  ShowSet(set);
  return 0;
}

INT_PTR MainWindow::ShowDeviceSettings() {
  CChipLoadWindow dialog(device_);
  dialog.ShowModal(window_);
  return 0;
}

INT_PTR MainWindow::ShowControlDevice() {
  CControlOptionsWindow dialog(device_);
  dialog.ShowModal(window_);
  return 0;
}

INT_PTR MainWindow::UpdateFirmware() {
  CUpdateWindow dialog(device_);
  dialog.ShowModal(window_);
  return 0;
}

void MainWindow::ShowSet(int set) {
  PreparePlot(device_.packets, device_.settings, device_.currentSet, device_.plotScale, std::max(set, 0));
  flightShown_ = true;
  Render();
}

void MainWindow::Render() { win32::RenderPlot(device_.currentSet, device_.plotScale); }

}  // namespace tev
