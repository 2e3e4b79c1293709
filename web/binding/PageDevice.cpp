#include "web/binding/PageDevice.h"

#include <emscripten.h>

#include <string>

#include "web/binding/WebHidBus.h"

namespace {

EM_JS(void, tev_js_device_status, (const char* text), {
  if (Module.onDeviceStatus) Module.onDeviceStatus(UTF8ToString(text));
});

}  // namespace

namespace tev::web {

AltimeterDevice& Device() {
  static WebHidBus bus;
  static AltimeterDevice device(bus);
  return device;
}

void ShowDeviceStatus(std::string_view lines) { tev_js_device_status(std::string(lines).c_str()); }

}  // namespace tev::web
