// The main window's menu commands: Exit, File > Open (and files dropped on the window), File > Export
// and the dialogs.
#include <algorithm>
#include <string>

#include "app/FileDialogs.h"
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
#include "ui/framework/ShowMessage.h"
#include "ui/logic/FileToOpen.h"

namespace tev {

void MainWindow::Exit() { ::SendMessageW(window_, WM_CLOSE, 0, 0); }

void MainWindow::Open() {
  const std::optional<std::wstring> path = AskDataFileToOpen(window_);
  if (!path) return;
  OpenDataFile(*path);
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

MainWindow::Result MainWindow::OnDropFiles(WPARAM wParam, LPARAM) {
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

void MainWindow::Export() {
  if (device_.currentSet.adc.empty()) return;  // nothing on display, nothing to ask
  const std::optional<std::wstring> path = AskCsvFileToExport(window_);
  if (!path) return;
  const int set = device_.currentSet.setNumber;
  DebugLog("Current Set: " + std::to_string(set));
  if (!ExportCsv(device_.packets, device_.settings, device_.currentSet, set, *path))
    ShowMessage(window_, IDS_SAVE_ERROR, MB_ICONERROR);
}

void MainWindow::About() {
  CAboutWindow dialog;
  dialog.ShowModal(window_);
}

void MainWindow::Capture() {
  CCaptureWindow dialog(device_);
  dialog.ShowModal(window_);
  // However the dialog ended, its pick (or the first set) goes on display.
  const int set = dialog.SelectedSet();
  DebugLog("Selected Set: " + std::to_string(set));
  ShowSet(set);
}

void MainWindow::ShowDeviceSettings() {
  CChipLoadWindow dialog(device_);
  dialog.ShowModal(window_);
}

void MainWindow::ShowControlDevice() {
  CControlOptionsWindow dialog(device_);
  dialog.ShowModal(window_);
}

void MainWindow::UpdateFirmware() {
  CUpdateWindow dialog(device_);
  dialog.ShowModal(window_);
}

void MainWindow::ShowSet(int set) {
  PreparePlot(device_.packets, device_.settings, device_.currentSet, device_.plotScale, std::max(set, 0));
  flightShown_ = true;
  Render();
}

void MainWindow::Render() { win32::RenderPlot(device_.currentSet, device_.plotScale); }

}  // namespace tev
