#pragma once
// The practice dialog, run as `shell_driver.exe --practice-dialog`: a modal "DialogClass" dialog
// in a process of its own, so that the driver's dialog helpers are tried across processes before
// the program's own dialogs use them. It writes what it is asked to do on standard output:
// "ready", "clicked ID", "key VK", "command 2", "close", "hanging", "awake". Start appends
// "Started." at once and "Done." 300 ms later; Fill fills the status box to its 131,071
// characters; Hang keeps its thread busy for 8 s. Its status box follows the dialog's size.
namespace tev::driver {

int RunPracticeDialog();

}  // namespace tev::driver
