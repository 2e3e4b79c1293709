#include "app/Altimeter.h"

#include <cassert>

namespace tev {

namespace {
AltimeterDevice* installed = nullptr;
}

AltimeterDevice& InstallAltimeter(HidBus& bus) {
  static AltimeterDevice device(bus);
  installed = &device;
  return device;
}

AltimeterDevice& TheAltimeter() {
  assert(installed != nullptr);
  return *installed;
}

}  // namespace tev
