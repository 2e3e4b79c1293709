#pragma once
// For ./run: the program's main job done in a demo that is already running, as a user would do
// it: Tools > Capture Data, Live Update, Read Data, the second flight picked, Select && Close.

namespace tev::driver {

// 0 when the flight was handed back to the main window; otherwise says on standard error why not.
int CaptureInRunningDemo();

}  // namespace tev::driver
