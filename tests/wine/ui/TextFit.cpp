#include "tests/wine/ui/TextFit.h"

#include <map>
#include <utility>

#include "win32/Dpi.h"
#include "win32/Guards.h"

namespace tev::testing {

namespace {

enum class Kind { None, Label, WrappingLabel, PushButton, CheckBox };

Kind KindOf(HWND control) {
  wchar_t name[32] = {};
  ::GetClassNameW(control, name, 32);
  const LONG style = ::GetWindowLongW(control, GWL_STYLE);
  if (::lstrcmpiW(name, L"Static") == 0) {
    switch (style & SS_TYPEMASK) {
      case SS_LEFT:
      case SS_CENTER:
      case SS_RIGHT:
        return Kind::WrappingLabel;
      case SS_LEFTNOWORDWRAP:
      case SS_SIMPLE:
        return Kind::Label;
      default:
        return Kind::None;  // pictures, frames, owner-drawn
    }
  }
  if (::lstrcmpiW(name, L"Button") == 0) {
    switch (style & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        return Kind::PushButton;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
      case BS_3STATE:
      case BS_AUTO3STATE:
        return Kind::CheckBox;
      default:
        return Kind::None;  // group boxes and owner-drawn buttons
    }
  }
  return Kind::None;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace

std::vector<TextFit> MeasureTexts(HWND dialog) {
  std::vector<TextFit> fits;
  std::map<std::pair<int, std::wstring>, int> seen;
  for (HWND control = ::GetWindow(dialog, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT)) {
    const Kind kind = KindOf(control);
    wchar_t buffer[256] = {};
    ::GetWindowTextW(control, buffer, 256);
    if (kind == Kind::None || !buffer[0]) continue;
    TextFit fit;
    fit.id = ::GetDlgCtrlID(control);
    fit.text = buffer;
    fit.occurrence = seen[{fit.id, fit.text}]++;
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    fit.wraps = kind == Kind::WrappingLabel || ((kind == Kind::PushButton || kind == Kind::CheckBox) && (style & BS_MULTILINE));

    RECT client = {};
    ::GetClientRect(control, &client);
    // A check box's text has the room beside its box: the box's width and the gap after it.
    const int box = kind == Kind::CheckBox ? win32::ScaleToDpi(16, win32::WindowDpi(control)) : 0;
    fit.room = {client.right - box, client.bottom};

    const win32::WindowDc controlDc(control);
    const HDC dc = controlDc.Dc();
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT extent = {0, 0, fit.room.cx, 0};
    UINT format = DT_CALCRECT | (fit.wraps ? DT_WORDBREAK : DT_SINGLELINE);
    if (kind != Kind::PushButton && kind != Kind::CheckBox && (style & SS_NOPREFIX)) format |= DT_NOPREFIX;
    ::DrawTextW(dc, fit.text.c_str(), -1, &extent, format);
    ::SelectObject(dc, old);
    fit.needed = {extent.right - extent.left, extent.bottom - extent.top};
    fits.push_back(std::move(fit));
  }
  return fits;
}

std::string FitKey(const TextFit& fit) {
  return fit.dialog + " " + std::to_string(fit.id) + " " + std::to_string(fit.occurrence) + " " + Narrow(fit.text);
}

std::string Describe(const TextFit& fit) {
  return fit.dialog + ": control " + std::to_string(fit.id) + " \"" + Narrow(fit.text) + "\" needs " +
         std::to_string(fit.needed.cx) + " x " + std::to_string(fit.needed.cy) + ", has " + std::to_string(fit.room.cx) +
         " x " + std::to_string(fit.room.cy) + (fit.wraps ? " (wrapped)" : "");
}

}  // namespace tev::testing
