#include "ui/framework/DeviceNotifications.h"

#include <utility>

namespace tev {

namespace {
DeviceNotifier& Notifier() {
  static DeviceNotifier notifier;
  return notifier;
}
}  // namespace

void SetDeviceNotifier(DeviceNotifier notifier) { Notifier() = std::move(notifier); }

void RequestDeviceNotifications(HWND window) {
  if (Notifier()) Notifier()(window);
}

}  // namespace tev
