#include "ui/framework/DialogWindow.h"

#include <exception>

#include "model/DebugLog.h"
#include "resources/ResourceIds.h"
#include "ui/framework/CommonPaint.h"
#include "ui/framework/DialogMessages.h"
#include "win32/Dpi.h"
#include "win32/WindowObject.h"

namespace tev {

namespace {
constexpr COLORREF kBackground = RGB(196, 223, 255);
constexpr COLORREF kStatusBackground = RGB(255, 255, 255);
}  // namespace

INT_PTR CALLBACK StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const INT_PTR fallback = (message == WM_INITDIALOG) ? TRUE : FALSE;
  if (message == WM_INITDIALOG) win32::BindWindowObject(dialog, reinterpret_cast<CDialogWindow*>(lParam));
  auto* object = win32::WindowObject<CDialogWindow>(dialog);
  if (!object) return fallback;  // messages before WM_INITDIALOG
  try {
    return object->DialogProc(dialog, message, wParam, lParam);
  } catch (...) {
    // What the handler had not done yet is skipped; the dialog goes on.
    return fallback;
  }
}

CBaseWindow::CBaseWindow(int id)
    : templateId(id),
      backgroundBrush(::CreateSolidBrush(kBackground)),
      statusBrush(::CreateSolidBrush(kStatusBackground)) {}

CBaseWindow::~CBaseWindow() { DebugLog("DESTRUCT"); }

INT_PTR CBaseWindow::ShowModal(HWND owner) {
  return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId & 0xFFFF), owner,
                           &StaticDialogProc, reinterpret_cast<LPARAM>(static_cast<CDialogWindow*>(this)));
}

INT_PTR CBaseWindow::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  hwnd = dialog;
  if (message == WM_INITDIALOG) OnInitDpi();
  if (layout) layout->OnMessage(message, wParam, lParam);
  if (message == WM_DPICHANGED && lParam) {
    OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    return TRUE;
  }
  if (const MessageResult own = HandleMessage(message, wParam, lParam)) return *own;
  return SharedHandling(message, wParam, lParam);
}

INT_PTR CBaseWindow::SharedHandling(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_STATUS_REFRESH) return RefreshStatusBox();
  if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == Item(IDC_STATUS)) {
    return reinterpret_cast<INT_PTR>(statusBrush.Get());
  }
  return HandleCommonPaint(message, wParam, lParam, DialogLook{hwnd, backgroundBrush.Get(), groupFrames, Dpi()});
}

void CBaseWindow::AppendStatus(const std::wstring& text) {
  statusText.Append(text);
  if (hwnd) ::PostMessageW(hwnd, WM_STATUS_REFRESH, 0, 0);
}

INT_PTR CBaseWindow::RefreshStatusBox() {
  HWND box = Item(IDC_STATUS);
  if (!box) return TRUE;
  ::SendMessageW(box, WM_SETREDRAW, FALSE, 0);
  const std::wstring text = statusText.Text();
  ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ::SendMessageW(box, EM_LINESCROLL, 0, 0x7FFFFFFF);  // show the end
  ::SendMessageW(box, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(box, nullptr, TRUE);  // redraw is not repainted by itself once switched back on
  return TRUE;
}

void CBaseWindow::OnInitDpi() {
  dpi_ = win32::WindowDpi(hwnd);
  controlFont_ = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
  // The system's own rescaling of dialogs (where it has one) would move the controls a second
  // time and leave the layout's records behind: the move is done here instead.
  using SetBehaviorFn = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
  static const auto setBehavior = reinterpret_cast<SetBehaviorFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
  if (setBehavior) setBehavior(hwnd, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

void CBaseWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  const UINT old = dpi_;
  if (dpi && dpi != old) {
    dpi_ = dpi;
    ScaleChildren(old, dpi);
    if (layout) layout->Rescale(old, dpi);
  }
  ::SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RemeasureForDpi();
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

// Every control in proportion, in the template's font made for the new DPI.
void CBaseWindow::ScaleChildren(UINT from, UINT to) {
  LOGFONTW logical = {};
  win32::UniqueFont font;
  if (controlFont_ && ::GetObjectW(controlFont_, sizeof logical, &logical)) {
    logical.lfHeight = ::MulDiv(logical.lfHeight, static_cast<int>(to), static_cast<int>(from));
    font = win32::UniqueFont(::CreateFontIndirectW(&logical));
  }
  const auto scale = [&](LONG v) { return ::MulDiv(v, static_cast<int>(to), static_cast<int>(from)); };
  for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT r = {};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(child, nullptr, scale(r.left), scale(r.top), scale(r.right) - scale(r.left),
                   scale(r.bottom) - scale(r.top), SWP_NOZORDER | SWP_NOACTIVATE);
    if (font) ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
  }
  if (font) {
    controlFont_ = font.Get();
    dpiFont_ = std::move(font);  // the one before is no control's any more
  }
}

void CBaseWindow::CreateLayout() { layout = std::make_unique<DialogLayout>(hwnd); }

void CBaseWindow::Anchor(int controlId, bool topFixed, bool leftFixed, bool bottomFollows, bool rightFollows) {
  if (layout) layout->Add(Item(controlId), topFixed, leftFixed, bottomFollows, rightFollows);
}

void CBaseWindow::AnchorGroupFrame(int groupBoxId, bool topFixed, bool leftFixed, bool bottomFollows,
                                   bool rightFollows) {
  HWND frame = ReplaceGroupBox(hwnd, groupBoxId, groupFrames);
  if (layout && frame) layout->Add(frame, topFixed, leftFixed, bottomFollows, rightFollows);
}

bool CBaseWindow::IsChecked(int controlId) const {
  return ::SendMessageW(Item(controlId), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace tev
