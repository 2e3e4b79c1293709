#pragma once
// Plugs the simulated altimeters of the sim link into the system's HID stack: it listens as the
// sim-link host, and each device that attaches becomes a virtual HID device with that device's
// vendor id, product id and version (4-byte reports in the application personality, 65-byte in
// the bootloader). Reports are relayed both ways; a closed connection unplugs it. A device that
// cannot be opened (as if another program held it) or whose attributes cannot be read is not
// plugged in: Wine's HID stack can show neither.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "sim/SimLinkBus.h"

namespace tev::hidtest {

class HidBridge {
 public:
  // log gets one line per event: "HID: SIMPATH is HIDPATH" and "Sim link: arrival of SIMPATH"
  // once the HID device is there; "HID: SIMPATH was written N reports" and "Sim link: removal of
  // SIMPATH" once it is gone; and problems.
  using Log = std::function<void(const std::string& line)>;

  HidBridge(std::wstring infPath, Log log);
  ~HidBridge();  // unplugs everything
  HidBridge(const HidBridge&) = delete;
  HidBridge& operator=(const HidBridge&) = delete;

  bool Listen(std::uint16_t port);
  std::uint16_t Port() const { return bus_.Port(); }

 private:
  struct Bridged;
  struct Change {
    bool arrived;
    std::wstring path;
  };

  void Worker();
  void Arrive(const std::wstring& simPath);
  void Leave(std::wstring simPath);

  std::wstring infPath_;
  Log log_;
  SimLinkBus bus_;
  // Plugs and unplugs one at a time, in the order the link saw them, on a thread of their own:
  // installing a device takes a while and must not hold up the link's readers.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Change> changes_;
  bool stopping_ = false;
  std::thread worker_;
  std::map<std::wstring, std::unique_ptr<Bridged>> bridged_;  // the worker's own
};

}  // namespace tev::hidtest
