#include "app/SimLinkNotifications.h"

#include <algorithm>
#include <utility>

#include "device/win32/DeviceChange.h"
#include "model/DebugLog.h"
#include "model/WidePath.h"

namespace tev {

SimLinkNotifications::SimLinkNotifications() : sender_([this] { Run(); }) {}

SimLinkNotifications::~SimLinkNotifications() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  sender_.join();
}

void SimLinkNotifications::AddWindow(HWND window) {
  std::lock_guard<std::mutex> lock(mutex_);
  // Handles of destroyed windows may be reused; drop them before they could be.
  std::erase_if(windows_, [](HWND w) { return !::IsWindow(w); });
  if (std::find(windows_.begin(), windows_.end(), window) == windows_.end()) windows_.push_back(window);
}

void SimLinkNotifications::DeviceChanged(bool arrived, std::wstring path) {
  // The one trace of a simulated device coming or going while no dialog listens.
  DebugLog((arrived ? "Sim link: arrival of " : "Sim link: removal of ") + WideToUtf8(path));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    changes_.push_back({arrived, std::move(path)});
  }
  wake_.notify_all();
}

void SimLinkNotifications::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !changes_.empty(); });
    if (stopping_) return;
    const Change change = std::move(changes_.front());
    changes_.pop_front();
    std::erase_if(windows_, [](HWND w) { return !::IsWindow(w); });
    const std::vector<HWND> windows = windows_;
    lock.unlock();
    for (HWND window : windows) win32::SendDeviceChange(window, change.arrived, change.path);
    lock.lock();
  }
}

}  // namespace tev
