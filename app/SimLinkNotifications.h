#pragma once
// The demo build's device-change notices: what the sim link reports, sent to every window that
// asked, as WM_DEVICECHANGE. The sends happen on a thread of their own, so the link's threads
// never wait for a dialog that is itself waiting for a report from the link.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tev {

class SimLinkNotifications {
 public:
  SimLinkNotifications();
  ~SimLinkNotifications();
  SimLinkNotifications(const SimLinkNotifications&) = delete;
  SimLinkNotifications& operator=(const SimLinkNotifications&) = delete;

  void AddWindow(HWND window);
  // Queues the notice for every window that asked and still exists.
  void DeviceChanged(bool arrived, std::wstring path);

 private:
  struct Change {
    bool arrived;
    std::wstring path;
  };
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Change> changes_;
  std::vector<HWND> windows_;
  bool stopping_ = false;
  std::thread sender_;
};

}  // namespace tev
