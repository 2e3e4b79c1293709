// The system's HID stack under Wine, on its own: a virtual HID device of the tests' driver (the
// altimeter's 4-byte reports), opened by the product's own bus (Win32HidBus). Each round trip is
// one output report written by the bus, collected and fed back as an input report by the device's
// client on another thread, and read by the bus: what a command and its reply cost the host
// before the device itself takes any time. Figures from one run; never a test.
//   hid_roundtrip_bench.exe TEVHID.inf
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench/WineBench.h"
#include "device/win32/Win32HidBus.h"
#include "tests/hid/VirtualHidDevice.h"

namespace {

constexpr int kRoundTrips = 2000;

using tev::bench::NowMs;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::puts("usage: hid_roundtrip_bench TEVHID.inf");
    return 2;
  }
  tev::hidtest::VirtualHidDevice::RemoveLeftovers();
  std::wstring error;
  auto device = tev::hidtest::VirtualHidDevice::Plug(argv[1], {0x1209, 0x0002, 0x0140, 4}, error);
  if (!device) {
    std::printf("cannot plug the virtual device: %ls\n", error.c_str());
    return 1;
  }
  tev::win32::Win32HidBus bus;
  const tev::HidHandle read = bus.OpenForReading(device->InterfacePath());
  const tev::HidHandle write = bus.OpenForWriting(device->InterfacePath());
  if (read == tev::kInvalidHidHandle || write == tev::kInvalidHidHandle) {
    std::puts("the bus cannot open the virtual device");
    return 1;
  }
  std::atomic<bool> stop{false};
  std::thread echo([&] {
    std::vector<std::uint8_t> report;
    while (!stop) {
      if (device->NextOutput(report, 100)) device->FeedInput(report.data(), report.size());
    }
  });

  std::vector<double> times;
  int failed = 0;
  for (int i = 0; i < kRoundTrips; ++i) {
    std::uint8_t out[4] = {0, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8), 2};
    std::uint8_t in[4] = {};
    const double start = NowMs();
    if (!bus.WriteReport(write, out, 4, 3000) || !bus.ReadReport(read, in, 4, 3000) || in[1] != out[1] ||
        in[2] != out[2]) {
      ++failed;
      continue;
    }
    times.push_back(NowMs() - start);
  }
  stop = true;
  device->CancelOutputWait();
  echo.join();
  bus.Close(read);
  bus.Close(write);
  device.reset();
  if (times.empty()) {
    std::puts("no round trip succeeded");
    return 1;
  }
  std::sort(times.begin(), times.end());
  double total = 0;
  for (double t : times) total += t;
  std::printf("report round trips through the HID stack: %zu (%d failed)\n", times.size(), failed);
  std::printf("median %.3f ms, p99 %.3f ms, max %.3f ms; %.0f round trips/s\n", times[times.size() / 2],
              times[times.size() * 99 / 100], times.back(), 1000.0 * times.size() / total);
  return failed ? 1 : 0;
}
