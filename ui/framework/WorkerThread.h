#pragma once
// A dialog's one worker thread: it runs one device operation and tells the dialog when it has
// ended. The dialog never ends while its worker runs (the close protocol), and this object waits
// for it as a last resort, so no worker outlives the dialog object it works for.
#include <windows.h>

#include <atomic>
#include <functional>

#include "win32/Guards.h"

namespace tev {

class WorkerThread {
 public:
  WorkerThread() = default;
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Runs `work` on a new thread; WM_WORKER_ENDED is posted to `dialog` when it has returned.
  // False, with the work not done, while the previous worker still runs or when no thread could
  // be made.
  [[nodiscard]] bool Start(HWND dialog, std::function<void()> work);
  // True while the latest worker's work has not returned; false from just before WM_WORKER_ENDED
  // is posted (its thread may still be returning).
  bool Running() const;
  // WAIT_OBJECT_0 once the worker has ended (at once when there is none), WAIT_TIMEOUT otherwise.
  DWORD Wait(DWORD timeoutMs) const;
  // The next Start fails as if no thread could be made: how tests reach that path.
  void RefuseNextStart() { refuseNextStart_ = true; }

 private:
  win32::UniqueKernelHandle thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> refuseNextStart_{false};
};

}  // namespace tev
