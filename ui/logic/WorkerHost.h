#pragma once
// What every dialog's worker asks of its dialog, called on the worker thread: the one way a worker
// reports. A dialog whose workers need more derives its own host from this one.
#include <string>

namespace tev {

class WorkerHost {
 public:
  virtual ~WorkerHost() = default;
  virtual void AppendStatus(const std::wstring& text) = 0;
  // busy: the worker holds the device and the controls wait. Not busy: the worker's work is over
  // and the dialog sets the controls for the device as it is.
  virtual void RefreshControls(bool busy) = 0;
  // Repaints the main window's plot from the data set on display.
  virtual void RenderPlot() = 0;
};

}  // namespace tev
