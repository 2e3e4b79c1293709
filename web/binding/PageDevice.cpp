#include "web/binding/PageDevice.h"

#include "web/binding/WebHidBus.h"

namespace tev::web {

AltimeterDevice& Device() {
  static WebHidBus bus;
  static AltimeterDevice device(bus);
  return device;
}

}  // namespace tev::web
