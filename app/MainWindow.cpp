#include "app/MainWindow.h"

#include <shellapi.h>

#include <algorithm>

#include "model/DebugLog.h"
#include "plot/win32/DrawingBuffer.h"
#include "resources/ResourceIds.h"
#include "ui/framework/ShowMessage.h"
#include "win32/Dpi.h"
#include "win32/Guards.h"

namespace tev {

using win32::CreateSurfaces;
using win32::FillBuffer;
using win32::InitDirectDraw;
using win32::PresentBuffer;
using win32::ReleaseSurfaces;

namespace {

constexpr int kMinimumWidth = 420;  // at 96 DPI
constexpr int kMinimumHeight = 320;

struct MenuTraits {
  static HMENU Invalid() { return nullptr; }
  static bool Valid(HMENU m) { return m != nullptr; }
  static void Release(HMENU m) { ::DestroyMenu(m); }
};
using UniqueMenu = win32::Unique<HMENU, MenuTraits>;

}  // namespace

MainWindow* MainWindow::current_ = nullptr;

const MainWindow::MessageEntry MainWindow::kMessages[] = {
    {WM_CREATE, &MainWindow::OnCreate},
    {WM_DESTROY, &MainWindow::OnDestroy},
    {WM_SIZE, &MainWindow::OnSize},
    {WM_PAINT, &MainWindow::OnPaint},
    {WM_CLOSE, &MainWindow::OnClose},
    {WM_GETMINMAXINFO, &MainWindow::OnGetMinMaxInfo},
    {WM_WINDOWPOSCHANGED, &MainWindow::OnWindowPosChanged},
    {WM_COMMAND, &MainWindow::OnCommand},
    {WM_EXITSIZEMOVE, &MainWindow::OnExitSizeMove},
    {WM_DROPFILES, &MainWindow::OnDropFiles},
    {WM_DPICHANGED, &MainWindow::OnDpiChanged},
};

const MainWindow::CommandEntry MainWindow::kCommands[] = {
    {IDM_FILE_EXIT, &MainWindow::Exit},
    {IDM_FILE_OPEN, &MainWindow::Open},
    {IDM_FILE_EXPORT, &MainWindow::Export},
    {IDM_TOOLS_CAPTURE, &MainWindow::Capture},
    {IDM_TOOLS_SETTINGS, &MainWindow::ShowDeviceSettings},
    {IDM_TOOLS_CONTROL, &MainWindow::ShowControlDevice},
    {IDM_TOOLS_FIRMWARE, &MainWindow::UpdateFirmware},
    {IDM_HELP_ABOUT, &MainWindow::About},
};

MainWindow::~MainWindow() {
  if (current_ == this) current_ = nullptr;
}

bool MainWindow::Create(HINSTANCE instance) {
  instance_ = instance;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_CLASSDC;
  wc.lpfnWndProc = &MainWindow::WindowProc;
  wc.hInstance = instance;
  // The icon holds every size the title bar, the task bar and Alt+Tab ask for.
  wc.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                                             ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
  wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = kMainWindowClass;
  if (!::RegisterClassExW(&wc)) {
    DebugLog("Could not register the main window class.");
    return false;
  }

  UniqueMenu menu(::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAIN_MENU)));
  // WM_GETMINMAXINFO and WM_CREATE arrive inside CreateWindowExW, before it returns the handle.
  current_ = this;
  window_ = ::CreateWindowExW(0, kMainWindowClass, kProgramTitle, WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu.Get(), instance, nullptr);
  if (!window_) {
    DebugLog("Could not create the main window.");
    return false;
  }
  menu.Release();  // the window destroys its menu with itself
  win32::TheDrawingBuffer().SetWindow(window_);
  ::DragAcceptFiles(window_, TRUE);

  // The class DC stays with the window; returning it changes nothing but keeps the count right.
  {
    win32::WindowDc dc(window_);
    ::BitBlt(dc.Get(), 0, 0, device_.plotScale.width, device_.plotScale.height, nullptr, 0, 0, BLACKNESS);
  }
  ::ShowWindow(window_, SW_SHOWMAXIMIZED);
  return true;
}

void MainWindow::RunMessageLoop() {
  MSG msg;
  for (;;) {
    const BOOL got = ::GetMessageW(&msg, window_, 0, 0);
    if (got == 0 || got == -1 || msg.message == WM_QUIT) break;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  ::DestroyWindow(window_);  // normally gone already
  ::UnregisterClassW(kMainWindowClass, instance_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = current_;
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  self->window_ = window;
  return self->Dispatch(message, wParam, lParam);
}

LRESULT MainWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const MessageEntry& entry : kMessages) {
    if (entry.message != message) continue;
    if (const Result result = (this->*entry.handler)(wParam, lParam)) return *result;
    break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

UINT MainWindow::Dpi() const { return dpi_ ? dpi_ : win32::WindowDpi(window_); }

SIZE MainWindow::MinimumSize() const {
  return SIZE{win32::ScaleToDpi(kMinimumWidth, Dpi()), win32::ScaleToDpi(kMinimumHeight, Dpi())};
}

void MainWindow::StorePlotSize(int width, int height) {
  win32::SetBufferSize(width, height);
  device_.plotScale.width = width;
  device_.plotScale.height = height;
  device_.plotScale.dpi = static_cast<std::int32_t>(Dpi());
}

MainWindow::Result MainWindow::OnCreate(WPARAM, LPARAM) {
  dpi_ = win32::WindowDpi(window_);
  RECT client = {};
  ::GetClientRect(window_, &client);
  ReleaseSurfaces();
  StorePlotSize(client.right, client.bottom);
  InitDirectDraw(window_, /*quiet=*/false);
  return 0;
}

MainWindow::Result MainWindow::OnDestroy(WPARAM, LPARAM) {
  ReleaseSurfaces();
  ::PostQuitMessage(0);
  return 0;
}

MainWindow::Result MainWindow::OnSize(WPARAM wParam, LPARAM) {
  if (wParam == SIZE_MAXIMIZED) {
    WindowProc(window_, WM_EXITSIZEMOVE, 0, 0);
  } else {
    ::InvalidateRect(window_, nullptr, FALSE);
  }
  return std::nullopt;
}

MainWindow::Result MainWindow::OnPaint(WPARAM, LPARAM) {
  RECT client = {};
  ::GetClientRect(window_, &client);
  PAINTSTRUCT ps;
  ::BeginPaint(window_, &ps);
  PresentBuffer(client.right, client.bottom);
  ::EndPaint(window_, &ps);
  ::ValidateRect(window_, nullptr);
  return std::nullopt;
}

MainWindow::Result MainWindow::OnClose(WPARAM, LPARAM) {
  if (ShowMessage(window_, IDS_ARE_YOU_SURE, MB_YESNO | MB_ICONEXCLAMATION) == IDNO) return 0;
  return std::nullopt;  // the default procedure destroys the window
}

MainWindow::Result MainWindow::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  const SIZE minimum = MinimumSize();
  info->ptMinTrackSize.x = minimum.cx;
  info->ptMinTrackSize.y = minimum.cy;
  return std::nullopt;
}

// The window reached a monitor of another DPI (or that monitor's DPI changed): it takes the
// rectangle the system suggests there, no smaller than its minimum at the new DPI (kept at the
// suggested top-left corner), and the buffer and the plot are made again at the new scale.
MainWindow::Result MainWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
  const UINT dpi = LOWORD(wParam);  // the horizontal and vertical DPI are always the same
  dpi_ = dpi ? dpi : win32::WindowDpi(window_);
  if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
    const SIZE minimum = MinimumSize();
    const int width = std::max<int>(suggested->right - suggested->left, minimum.cx);
    const int height = std::max<int>(suggested->bottom - suggested->top, minimum.cy);
    ::SetWindowPos(window_, nullptr, suggested->left, suggested->top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ResizeBuffer();
  return 0;
}

MainWindow::Result MainWindow::OnWindowPosChanged(WPARAM, LPARAM lParam) {
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
  // A restore from the task bar arrives as a frame change, not as a size-move.
  if (pos->flags & SWP_FRAMECHANGED) ResizeBuffer();
  return std::nullopt;
}

MainWindow::Result MainWindow::OnExitSizeMove(WPARAM, LPARAM) {
  ResizeBuffer();
  return std::nullopt;
}

MainWindow::Result MainWindow::OnCommand(WPARAM wParam, LPARAM) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.id == wParam) {
      (this->*entry.command)();
      break;
    }
  }
  return std::nullopt;
}

void MainWindow::ResizeBuffer() {
  RECT client = {};
  ::GetClientRect(window_, &client);
  ReleaseSurfaces();
  // Minimised: no surfaces until the window has a size again.
  if (client.right == 0 || client.bottom == 0) return;
  StorePlotSize(client.right, client.bottom);
  ReleaseSurfaces();
  win32::TheDrawingBuffer().SetWindow(window_);
  if (!CreateSurfaces()) {
    ReleaseSurfaces();
    ::PostQuitMessage(0);
  } else {
    FillBuffer(0);
  }
  // Until a flight has been put on display the window stays black, as it starts.
  if (flightShown_) Render();
}

}  // namespace tev
