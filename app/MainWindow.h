#pragma once
// The main window "AltInterface": the plot of the flight on display, the menu, and the File
// commands. It owns nothing: what it shows lives in the AltimeterDevice.
#include <windows.h>

#include <optional>
#include <string>

#include "device/AltimeterDevice.h"

namespace tev {

inline constexpr wchar_t kMainWindowClass[] = L"AltInterface";

class MainWindow {
 public:
  explicit MainWindow(AltimeterDevice& device) : device_(device) {}
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Registers the class and creates the maximised window; false when either fails.
  bool Create(HINSTANCE instance);
  // Runs the message loop until the window has gone.
  void RunMessageLoop();
  HWND Handle() const { return window_; }
  // Loads the data file and shows its first set, as File > Open does after its dialog; a file that
  // cannot be read gets the load error and leaves the flight on display.
  void OpenDataFile(const std::wstring& path);

 private:
  // A handler's result; none means the default procedure finishes the message.
  using Result = std::optional<LRESULT>;
  using Handler = Result (MainWindow::*)(WPARAM, LPARAM);
  using Command = void (MainWindow::*)();
  struct MessageEntry {
    UINT message;
    Handler handler;
  };
  struct CommandEntry {
    WPARAM id;
    Command command;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  Result OnCreate(WPARAM, LPARAM);
  Result OnDestroy(WPARAM, LPARAM);
  Result OnSize(WPARAM, LPARAM);
  Result OnPaint(WPARAM, LPARAM);
  Result OnClose(WPARAM, LPARAM);
  Result OnGetMinMaxInfo(WPARAM, LPARAM);
  Result OnWindowPosChanged(WPARAM, LPARAM);
  Result OnCommand(WPARAM, LPARAM);
  Result OnExitSizeMove(WPARAM, LPARAM);
  Result OnDropFiles(WPARAM, LPARAM);
  Result OnDpiChanged(WPARAM, LPARAM);

  // The DPI the window is drawn at: the system's word for it until WM_DPICHANGED says otherwise.
  UINT Dpi() const;
  // The smallest outer size the window takes at its DPI.
  SIZE MinimumSize() const;

  void StorePlotSize(int width, int height);
  void ResizeBuffer();
  // Rebuilds the data set of that set (a negative one meaning the first) and draws it.
  void ShowSet(int set);
  void Render();

  void Exit();
  void Open();
  void Export();
  void About();
  void Capture();
  void ShowDeviceSettings();
  void ShowControlDevice();
  void UpdateFirmware();

  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  static MainWindow* current_;  // the window the static procedure forwards to

  AltimeterDevice& device_;
  HINSTANCE instance_ = nullptr;
  HWND window_ = nullptr;
  bool flightShown_ = false;  // a data set has been prepared for the plot
  UINT dpi_ = 0;              // set on WM_CREATE and on each WM_DPICHANGED
};

}  // namespace tev
