// The driver's entry: the tests; for ./run, the flights captured (or one File > Open) in a demo
// that is already running; for the driver's own tests, the practice dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>

#include "plot/win32/GdiplusSession.h"
#include "tests/wine/shell/CaptureInRunningDemo.h"
#include "tests/wine/shell/CommonDialogs.h"
#include "tests/wine/shell/PracticeDialog.h"
#include "tests/wine/shell/WindowDriver.h"

namespace {

constexpr WORD kOpen = 40004;

int OpenInRunningDemo(const wchar_t* path) {
  HWND main = nullptr;
  tev::driver::WaitUntil(30000, [&] {
    main = ::FindWindowW(L"AltInterface", nullptr);
    return main != nullptr && ::IsWindowVisible(main);
  });
  if (!main) {
    std::fputs("No TEV USB window to open the flight in.\n", stderr);
    return 1;
  }
  DWORD process = 0;
  ::GetWindowThreadProcessId(main, &process);
  tev::driver::PostCommand(main, kOpen);
  if (!tev::driver::ChooseFile(process, L"Load data set", path, 10000)) {
    std::fputs("The \"Load data set\" dialog did not come.\n", stderr);
    return 1;
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"--open-in-running-demo") == 0) return OpenInRunningDemo(argv[2]);
  if (argc == 2 && std::wcscmp(argv[1], L"--capture-in-running-demo") == 0) return tev::driver::CaptureInRunningDemo();
  if (argc == 2 && std::wcscmp(argv[1], L"--practice-dialog") == 0) return tev::driver::RunPracticeDialog();
  testing::InitGoogleTest(&argc, argv);
  const tev::win32::GdiplusSession gdiplus;  // the screenshots are written through GDI+
  return RUN_ALL_TESTS();
}
