#pragma once
// The system's own boxes that the program shows: message boxes and the common file dialogs, both
// "#32770" windows found by their caption. A message box's text is its static 0xFFFF; a file
// dialog takes a path in its file-name box (0x47C). Linux paths appear under Z:\.
//
//   const MessageBoxSeen box = WaitForMessageBox(demo.Id(), L"TEV USB 1.40", 10000);
//   EXPECT_EQ(box.text, L"Are you sure?");
//   PressButton(box.window, IDYES);
//
//   PostCommand(mainWindow, 40009);  // File > Export...: a save dialog
//   const HWND save = ChooseFile(demo.Id(), L"Export to CSV", L"Z:\\tmp\\flight.csv", 10000);
//   if (HWND question = WaitForOwnedDialog(demo.Id(), save, 3000)) PressButton(question, IDYES);
#include <windows.h>

#include <string>

namespace tev::driver {

struct MessageBoxSeen {
  HWND window = nullptr;
  std::wstring text;
};
// A message box of the process with that caption, once it shows with its text.
MessageBoxSeen WaitForMessageBox(DWORD processId, const wchar_t* caption, DWORD timeoutMs);

// Answers a message box or dialog with a button (IDOK, IDYES, IDNO, IDCANCEL...), posted.
void PressButton(HWND dialog, int id);

// Waits for the common file dialog (open or save) with that title, enters path and presses OK;
// returns the dialog (which may still ask something, such as whether to replace the file) or
// null when it did not come.
HWND ChooseFile(DWORD processId, const wchar_t* dialogTitle, const std::wstring& path, DWORD timeoutMs);
// Waits for the file dialog with that title and returns the name it proposes (empty when none,
// or when it did not come); the dialog stays open.
std::wstring ProposedFileName(DWORD processId, const wchar_t* dialogTitle, DWORD timeoutMs);
// Waits for the file dialog with that title and cancels it; true once it has gone.
bool CancelFileDialog(DWORD processId, const wchar_t* dialogTitle, DWORD timeoutMs);

}  // namespace tev::driver
