// hid-bridge.exe: simulated altimeters plugged into the system's HID stack, for the tests and for
// ./run --hid. Listens on 127.0.0.1 at --port (else TEV_SIM_PORT, else the sim link's default)
// and runs until its standard input ends or says "quit" (with --no-input: until it is ended, for a
// parent that gives it no input to hold open).
//   hid-bridge.exe --inf Z:\...\tevhid.inf [--port N] [--no-input]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>

#include "model/WidePath.h"
#include "sim/SimPort.h"
#include "tests/hid/HidBridge.h"
#include "tests/hid/VirtualHidDevice.h"

namespace {

std::mutex logMutex;

void Say(const std::string& line) {
  std::lock_guard lock(logMutex);
  std::cout << line << std::endl;
}

// The driver file as built, in place of one an earlier build left in the system folder. A copy
// in use by a plugged device cannot be replaced; that one is then what runs.
void RefreshDriverFile(const std::wstring& inf) {
  const std::wstring folder = inf.substr(0, inf.find_last_of(L"\\/") + 1);
  wchar_t system[MAX_PATH];
  if (!::GetSystemDirectoryW(system, MAX_PATH)) return;
  ::CopyFileW((folder + L"tevhid.sys").c_str(), (std::wstring(system) + L"\\drivers\\tevhid.sys").c_str(), FALSE);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring inf;
  std::string portText;
  bool readInput = true;
  for (int i = 1; i < argc; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"--no-input") {
      readInput = false;
      --i;
    } else if (i + 1 == argc) {
      std::cerr << "hid-bridge: " << tev::WideToUtf8(option) << " needs a value\n";
      return 2;
    } else if (option == L"--inf") {
      inf = argv[i + 1];
    } else if (option == L"--port") {
      portText = tev::WideToUtf8(argv[i + 1]);
    } else {
      std::cerr << "hid-bridge: unknown option " << tev::WideToUtf8(option) << "\n";
      return 2;
    }
  }
  if (inf.empty()) {
    std::cerr << "usage: hid-bridge --inf PATH\\tevhid.inf [--port N] [--no-input]\n";
    return 2;
  }
  std::string problem;
  const std::uint16_t port =
      tev::ParseSimPort(portText.empty() ? std::getenv("TEV_SIM_PORT") : portText.c_str(), problem);
  if (!problem.empty()) Say("hid-bridge: " + problem);

  const int leftovers = tev::hidtest::VirtualHidDevice::RemoveLeftovers();
  if (leftovers) Say("HID: removed " + std::to_string(leftovers) + " virtual devices left from an earlier session");
  RefreshDriverFile(inf);

  tev::hidtest::HidBridge bridge(inf, Say);
  if (!bridge.Listen(port)) {
    Say("hid-bridge: cannot listen on 127.0.0.1:" + std::to_string(port));
    return 1;
  }
  Say("hid-bridge: listening on 127.0.0.1:" + std::to_string(bridge.Port()));
  if (!readInput) {
    for (;;) ::Sleep(INFINITE);
  }
  for (std::string line; std::getline(std::cin, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "quit") break;
  }
  return 0;
}
