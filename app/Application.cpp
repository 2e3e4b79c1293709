#include "app/Application.h"

#include <commctrl.h>
#include <objidl.h>  // before gdiplus.h, which needs it and does not include it
#include <gdiplus.h>

#include "app/Altimeter.h"
#include "app/LaunchFile.h"
#include "app/MainWindow.h"
#include "model/DebugLog.h"
#include "ui/framework/DialogClass.h"

namespace tev {

int RunApplication(HINSTANCE instance, HidBus& bus) {
  ::InitCommonControls();
  DebugLog("- TEV USB -");
  DebugLog("");
  AltimeterDevice& device = InstallAltimeter(bus);
  RegisterDialogClass();

  // GDI+ stays up for the life of the process: painting may start from any thread at any time.
  Gdiplus::GdiplusStartupInput startup;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &startup, nullptr);

  MainWindow window(device);
  if (!window.Create(instance)) return 0;
  // Started on a flight (a double-click on it): opened as File > Open would, messages and all.
  if (const std::optional<std::wstring> file = FileFromCommandLine(::GetCommandLineW())) window.OpenDataFile(*file);
  window.RunMessageLoop();
  return 0;
}

}  // namespace tev
