#pragma once
// The main window "AltInterface": the plot of the flight on display, the menu, and the File
// commands. It owns nothing: what it shows lives in the AltimeterDevice.
#include <windows.h>

#include <optional>
#include <string>

#include "device/AltimeterDevice.h"
#include "ui/framework/MessageTable.h"

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
  // Handlers' results as the dialogs' (MessageTable.h): none leaves the message to the default
  // procedure.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  MessageResult OnCreate(WPARAM, LPARAM);
  MessageResult OnDestroy(WPARAM, LPARAM);
  MessageResult OnSize(WPARAM, LPARAM);
  MessageResult OnPaint(WPARAM, LPARAM);
  MessageResult OnClose(WPARAM, LPARAM);
  MessageResult OnGetMinMaxInfo(WPARAM, LPARAM);
  MessageResult OnWindowPosChanged(WPARAM, LPARAM);
  MessageResult OnCommand(WPARAM, LPARAM);
  MessageResult OnExitSizeMove(WPARAM, LPARAM);
  MessageResult OnDropFiles(WPARAM, LPARAM);
  MessageResult OnDpiChanged(WPARAM, LPARAM);

  // The DPI the window is drawn at: the system's word for it until WM_DPICHANGED says otherwise.
  UINT Dpi() const;
  // The smallest outer size the window takes at its DPI.
  SIZE MinimumSize() const;

  void StorePlotSize(int width, int height);
  void ResizeBuffer();
  // Rebuilds the data set of that set (a negative one meaning the first) and draws it.
  void ShowSet(int set);
  void Render();

  // The menu commands; each returns 0.
  INT_PTR Exit();
  INT_PTR Open();
  INT_PTR Export();
  INT_PTR About();
  INT_PTR Capture();
  INT_PTR ShowDeviceSettings();
  INT_PTR ShowControlDevice();
  INT_PTR UpdateFirmware();

  static const MessageEntry<MainWindow> kMessages[];
  static const CommandEntry<MainWindow> kCommands[];

  AltimeterDevice& device_;
  HINSTANCE instance_ = nullptr;
  HWND window_ = nullptr;
  bool flightShown_ = false;  // a data set has been prepared for the plot
  UINT dpi_ = 0;              // set on WM_CREATE and on each WM_DPICHANGED
};

}  // namespace tev
