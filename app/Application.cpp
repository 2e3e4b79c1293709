#include "app/Application.h"

#include <commctrl.h>

#include "app/Altimeter.h"
#include "app/LaunchFile.h"
#include "app/MainWindow.h"
#include "model/DebugLog.h"
#include "plot/win32/GdiplusSession.h"
#include "ui/framework/DialogClass.h"

namespace tev {

int RunApplication(HINSTANCE instance, HidBus& bus) {
  ::InitCommonControls();
  DebugLog("- TEV USB -");
  DebugLog("");
  AltimeterDevice& device = InstallAltimeter(bus);
  RegisterDialogClass();

  // GDI+ stays up until the program ends: painting may start from any thread at any time, and
  // every window and worker that paints has gone before this returns.
  const win32::GdiplusSession gdiplus;

  MainWindow window(device);
  if (!window.Create(instance)) return 0;
  // Started on a flight (a double-click on it): opened as File > Open would, messages and all.
  if (const std::optional<std::wstring> file = FileFromCommandLine(::GetCommandLineW())) window.OpenDataFile(*file);
  window.RunMessageLoop();
  return 0;
}

}  // namespace tev
