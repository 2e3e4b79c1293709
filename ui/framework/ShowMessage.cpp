#include "ui/framework/ShowMessage.h"

namespace tev {

int ShowMessage(HWND owner, UINT stringId, UINT flags) {
  wchar_t text[256] = {};
  // A missing string still shows an (empty) box rather than nothing: the question must be asked.
  ::LoadStringW(::GetModuleHandleW(nullptr), stringId, text, 255);
  return ::MessageBoxW(owner, text, kProgramTitle, flags);
}

int ShowMessage(HWND owner, const std::wstring& text, UINT flags) {
  return ::MessageBoxW(owner, text.c_str(), kProgramTitle, flags);
}

}  // namespace tev
