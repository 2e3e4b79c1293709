#include "app/MainWindow.h"

#include <shellapi.h>

#include <algorithm>

#include "model/DebugLog.h"
#include "plot/win32/DrawingBuffer.h"
#include "resources/ResourceIds.h"
#include "ui/framework/ShowMessage.h"
#include "win32/Dpi.h"
#include "win32/Guards.h"
#include "win32/WindowObject.h"

namespace tev {

using win32::CreateSurfaces;
using win32::FillBuffer;
using win32::InitDirectDraw;
using win32::PresentBuffer;
using win32::ReleaseSurfaces;

namespace {

constexpr int kMinimumWidth = 420;  // at 96 DPI
constexpr int kMinimumHeight = 320;

}  // namespace

const MessageEntry<MainWindow> MainWindow::kMessages[] = {
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

const CommandEntry<MainWindow> MainWindow::kCommands[] = {
    {IDM_FILE_EXIT, &MainWindow::Exit},
    {IDM_FILE_OPEN, &MainWindow::Open},
    {IDM_FILE_EXPORT, &MainWindow::Export},
    {IDM_TOOLS_CAPTURE, &MainWindow::Capture},
    {IDM_TOOLS_SETTINGS, &MainWindow::ShowDeviceSettings},
    {IDM_TOOLS_CONTROL, &MainWindow::ShowControlDevice},
    {IDM_TOOLS_FIRMWARE, &MainWindow::UpdateFirmware},
    {IDM_HELP_ABOUT, &MainWindow::About},
};

// A window that outlives its object forgets it: its messages then go to the default procedure.
MainWindow::~MainWindow() {
  if (window_ && ::IsWindow(window_)) win32::BindWindowObject<MainWindow>(window_, nullptr);
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

  win32::UniqueMenu menu(::LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAIN_MENU)));
  // The window binds this object on WM_NCCREATE, inside CreateWindowExW: WM_CREATE and the sizing
  // messages arrive before it returns the handle.
  window_ = ::CreateWindowExW(0, kMainWindowClass, kProgramTitle, WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu.Get(), instance, this);
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
    ::BitBlt(dc.Dc(), 0, 0, device_.plotScale.width, device_.plotScale.height, nullptr, 0, 0, BLACKNESS);
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
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    win32::BindWindowObject(window, static_cast<MainWindow*>(create->lpCreateParams));
  }
  MainWindow* self = win32::WindowObject<MainWindow>(window);
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);  // the first WM_GETMINMAXINFO
  self->window_ = window;
  if (const MessageResult result = DispatchMessageTable<MainWindow>(*self, kMessages, message, wParam, lParam)) {
    return *result;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
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

MessageResult MainWindow::OnCreate(WPARAM, LPARAM) {
  dpi_ = win32::WindowDpi(window_);
  RECT client = {};
  ::GetClientRect(window_, &client);
  ReleaseSurfaces();
  StorePlotSize(client.right, client.bottom);
  InitDirectDraw(window_, /*quiet=*/false);
  return 0;
}

MessageResult MainWindow::OnDestroy(WPARAM, LPARAM) {
  ReleaseSurfaces();
  ::PostQuitMessage(0);
  return 0;
}

MessageResult MainWindow::OnSize(WPARAM wParam, LPARAM) {
  if (wParam == SIZE_MAXIMIZED) {
    WindowProc(window_, WM_EXITSIZEMOVE, 0, 0);
  } else {
    ::InvalidateRect(window_, nullptr, FALSE);
  }
  return std::nullopt;
}

MessageResult MainWindow::OnPaint(WPARAM, LPARAM) {
  RECT client = {};
  ::GetClientRect(window_, &client);
  PAINTSTRUCT ps;
  ::BeginPaint(window_, &ps);
  PresentBuffer(client.right, client.bottom);
  ::EndPaint(window_, &ps);
  ::ValidateRect(window_, nullptr);
  return std::nullopt;
}

MessageResult MainWindow::OnClose(WPARAM, LPARAM) {
  if (ShowMessage(window_, IDS_ARE_YOU_SURE, MB_YESNO | MB_ICONEXCLAMATION) == IDNO) return 0;
  return std::nullopt;  // the default procedure destroys the window
}

MessageResult MainWindow::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  const SIZE minimum = MinimumSize();
  info->ptMinTrackSize.x = minimum.cx;
  info->ptMinTrackSize.y = minimum.cy;
  return std::nullopt;
}

// The window reached a monitor of another DPI (or that monitor's DPI changed): it takes the
// rectangle the system suggests there, no smaller than its minimum at the new DPI (kept at the
// suggested top-left corner), and the buffer and the plot are made again at the new scale.
MessageResult MainWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
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

MessageResult MainWindow::OnWindowPosChanged(WPARAM, LPARAM lParam) {
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
  // A restore from the task bar arrives as a frame change, not as a size-move.
  if (pos->flags & SWP_FRAMECHANGED) ResizeBuffer();
  return std::nullopt;
}

MessageResult MainWindow::OnExitSizeMove(WPARAM, LPARAM) {
  ResizeBuffer();
  return std::nullopt;
}

MessageResult MainWindow::OnCommand(WPARAM wParam, LPARAM) {
  DispatchCommandTable<MainWindow>(*this, kCommands, wParam);
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
