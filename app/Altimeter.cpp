#include "app/Altimeter.h"

namespace tev {

AltimeterDevice& InstallAltimeter(HidBus& bus) {
  static AltimeterDevice device(bus);
  return device;
}

}  // namespace tev
