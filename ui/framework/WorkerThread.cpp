#include "ui/framework/WorkerThread.h"

#include <atomic>
#include <exception>
#include <memory>

#include "model/DebugLog.h"
#include "ui/framework/DialogMessages.h"

namespace tev {

namespace {

struct Job {
  HWND dialog;
  std::function<void()> work;
  std::atomic<bool>* running;  // the WorkerThread's; it outlives every job that may still touch it
};

DWORD WINAPI RunJob(LPVOID parameter) {
  std::unique_ptr<Job> job(static_cast<Job*>(parameter));
  try {
    job->work();
  } catch (const std::exception& e) {
    // Nothing may leave a thread's routine; the dialog still hears that the worker ended.
    DebugLog(std::string("Worker stopped: ") + e.what());
  } catch (...) {
    DebugLog("Worker stopped.");
  }
  // What the work held goes first; from the flag on nothing here touches the dialog's objects,
  // so the dialog may start the next worker as soon as it hears of this end.
  job->work = nullptr;
  job->running->store(false);
  ::PostMessageW(job->dialog, WM_WORKER_ENDED, 0, 0);
  return 0;
}

}  // namespace

WorkerThread::~WorkerThread() {
  if (thread_) ::WaitForSingleObject(thread_.Get(), INFINITE);
}

bool WorkerThread::Start(HWND dialog, std::function<void()> work) {
  // One worker at a time. Waiting here for a running one could hang the dialog: that worker may
  // be sending to the dialog thread, which would be the one waiting.
  if (Running()) {
    DebugLog("A worker is still running; nothing more is started.");
    return false;
  }
  if (refuseNextStart_.exchange(false)) {
    DebugLog("Could not start the worker thread.");
    return false;
  }
  // The previous thread, if any, has done its work and is only returning: its handle may go.
  running_ = true;
  auto job = std::make_unique<Job>(Job{dialog, std::move(work), &running_});
  thread_.Reset(::CreateThread(nullptr, 0, &RunJob, job.get(), 0, nullptr));
  if (!thread_) {
    running_ = false;
    DebugLog("Could not start the worker thread.");
    return false;
  }
  job.release();  // the thread owns it now
  return true;
}

bool WorkerThread::Running() const { return running_; }

DWORD WorkerThread::Wait(DWORD timeoutMs) const {
  if (!thread_) return WAIT_OBJECT_0;
  return ::WaitForSingleObject(thread_.Get(), timeoutMs);
}

}  // namespace tev
