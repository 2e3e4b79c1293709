#pragma once
// Where tevtool finds the altimeter, and what it tells the user on the way: a simulated altimeter
// over the sim link (--sim PORT), or the system's own HID bus.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "device/AltimeterDevice.h"

namespace tev::tool {

// How long a command waits for an altimeter to be plugged in.
inline constexpr std::chrono::milliseconds kAttachWait = std::chrono::seconds(30);

class AltimeterLink {
 public:
  virtual ~AltimeterLink() = default;
  virtual HidBus& Bus() = 0;
  // Returns once an altimeter may be present or `wait` has passed.
  virtual void AwaitAltimeter(AltimeterDevice& device, std::chrono::milliseconds wait, std::ostream& err) = 0;
  // Writes the one line that says no altimeter came.
  virtual void ReportNotFound(std::ostream& err) = 0;
  // Why the altimeter at `path` could not be opened, for the user.
  virtual std::string CannotOpenText(const std::wstring& path) = 0;
};

// The sim link when simPort is given, else the system's bus; nullptr after saying why on err.
std::unique_ptr<AltimeterLink> MakeAltimeterLink(std::optional<std::uint16_t> simPort, std::ostream& err);

// Connects in application mode, waiting up to `wait` for an altimeter; false after saying why on err.
bool ConnectAltimeter(AltimeterDevice& device, AltimeterLink& link, std::chrono::milliseconds wait,
                      std::ostream& err);

}  // namespace tev::tool
