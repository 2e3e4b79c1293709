#include "tests/wine/shell/PracticeDialog.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/wine/shell/PracticeDialogIds.h"
#include "ui/framework/DialogClass.h"

namespace tev::driver {

namespace {

constexpr UINT_PTR kDoneTimer = 1;
constexpr size_t kStatusCapacity = 131071;  // characters, without the terminator

struct Practice {
  std::wstring status;
  RECT statusRect = {};  // the status box's place at the start, in client coordinates
  SIZE startClient = {};
};

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void Append(HWND dialog, Practice& practice, const std::wstring& text) {
  practice.status += text;
  ::SetDlgItemTextW(dialog, IDC_PRACTICE_STATUS, practice.status.c_str());
}

// Whole lines of 32 characters, then one shorter line, to the last character the box may hold.
void Fill(HWND dialog, Practice& practice) {
  practice.status.clear();
  wchar_t line[40];
  for (int n = 1; practice.status.size() + 32 <= kStatusCapacity - 31; ++n) {
    std::swprintf(line, 40, L"Filler line %06d ...........\r\n", n);
    practice.status += line;
  }
  practice.status.append(kStatusCapacity - practice.status.size() - 6, L'x');
  practice.status += L" end\r\n";
  ::SetDlgItemTextW(dialog, IDC_PRACTICE_STATUS, practice.status.c_str());
}

INT_PTR CALLBACK PracticeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* practice = reinterpret_cast<Practice*>(::GetWindowLongPtrW(dialog, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG: {
      practice = reinterpret_cast<Practice*>(lParam);
      ::SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
      RECT client = {};
      ::GetClientRect(dialog, &client);
      practice->startClient = {client.right, client.bottom};
      ::GetWindowRect(::GetDlgItem(dialog, IDC_PRACTICE_STATUS), &practice->statusRect);
      ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&practice->statusRect), 2);
      Say("ready");
      return TRUE;
    }
    case WM_SIZE:
      if (practice) {
        const RECT& r = practice->statusRect;
        const int grow = LOWORD(lParam) - practice->startClient.cx, tall = HIWORD(lParam) - practice->startClient.cy;
        ::MoveWindow(::GetDlgItem(dialog, IDC_PRACTICE_STATUS), r.left, r.top, r.right - r.left + grow,
                     r.bottom - r.top + tall, TRUE);
      }
      return TRUE;
    case WM_KEYDOWN:
      Say("key " + std::to_string(wParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      // The program's status boxes are white though read-only; so is this one.
      if (reinterpret_cast<HWND>(lParam) == ::GetDlgItem(dialog, IDC_PRACTICE_STATUS)) {
        ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(::GetStockObject(WHITE_BRUSH));
      }
      return FALSE;
    case WM_TIMER:
      if (wParam == kDoneTimer) {
        ::KillTimer(dialog, kDoneTimer);
        Append(dialog, *practice, L"Done.\r\n");
      }
      return TRUE;
    case WM_CLOSE:
      Say("close");
      ::EndDialog(dialog, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_PRACTICE_NUMBER && HIWORD(wParam) == EN_CHANGE) return TRUE;
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      switch (LOWORD(wParam)) {
        case IDCANCEL:
          Say("command " + std::to_string(IDCANCEL));  // Escape; the dialog stays
          return TRUE;
        case IDC_PRACTICE_START:
          Say("clicked " + std::to_string(IDC_PRACTICE_START));
          Append(dialog, *practice, L"Started.\r\n");
          ::SetTimer(dialog, kDoneTimer, 300, nullptr);
          return TRUE;
        case IDC_PRACTICE_FILL:
          Say("clicked " + std::to_string(IDC_PRACTICE_FILL));
          Fill(dialog, *practice);
          return TRUE;
        case IDC_PRACTICE_HANG:
          Say("hanging");
          ::Sleep(8000);
          Say("awake");
          return TRUE;
        default:
          Say("clicked " + std::to_string(LOWORD(wParam)));
          return TRUE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

int RunPracticeDialog() {
  if (!RegisterDialogClass()) return 2;
  Practice practice;
  return static_cast<int>(::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PRACTICE), nullptr,
                                            &PracticeProc, reinterpret_cast<LPARAM>(&practice)));
}

}  // namespace tev::driver
