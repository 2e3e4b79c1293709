#include "tests/wine/shell/DriverEnvironment.h"

#include <windows.h>

namespace tev::driver {

namespace {

std::wstring Variable(const wchar_t* name, std::wstring& missing) {
  wchar_t value[4096] = {};
  const DWORD length = ::GetEnvironmentVariableW(name, value, 4096);
  if (length == 0 || length >= 4096) {
    missing += std::wstring(missing.empty() ? L"" : L", ") + name;
    return {};
  }
  return value;
}

}  // namespace

DriverEnvironment ReadDriverEnvironment(std::wstring& missing) {
  DriverEnvironment env;
  env.demoExe = Variable(L"TEV_DEMO_EXE", missing);
  env.tevtoolExe = Variable(L"TEV_TEVTOOL_EXE", missing);
  env.simExe = Variable(L"TEV_SIM_EXE", missing);
  env.sampleFile = Variable(L"TEV_SAMPLE_FILE", missing);
  env.workDir = Variable(L"TEV_WORK_DIR", missing);
  env.shotDir = Variable(L"TEV_SHOT_DIR", missing);
  const std::wstring port = Variable(L"TEV_BASE_PORT", missing);
  if (!port.empty()) env.basePort = _wtoi(port.c_str());
  std::wstring optional;
  env.hidBridgeExe = Variable(L"TEV_HID_BRIDGE_EXE", optional);
  env.hidInf = Variable(L"TEV_HID_INF", optional);
  return env;
}

const DriverEnvironment& Environment() {
  static const DriverEnvironment env = [] {
    std::wstring missing;
    return ReadDriverEnvironment(missing);
  }();
  return env;
}

int NextPort() {
  static int next = Environment().basePort;
  return next++;
}

}  // namespace tev::driver
