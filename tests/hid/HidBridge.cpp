#include "tests/hid/HidBridge.h"

#include <atomic>
#include <vector>

#include "device/DeviceIds.h"
#include "model/WidePath.h"
#include "tests/hid/VirtualHidDevice.h"

namespace tev::hidtest {

namespace {
constexpr std::uint32_t kPumpWaitMs = 100;
}  // namespace

struct HidBridge::Bridged {
  std::unique_ptr<VirtualHidDevice> hid;
  SimLinkBus* bus = nullptr;
  HidHandle read = kInvalidHidHandle;
  HidHandle write = kInvalidHidHandle;
  std::size_t reportLength = 0;
  std::atomic<unsigned> relayed{0};  // output reports taken to the device
  std::atomic<bool> stop{false};
  std::thread input;
  std::thread output;

  void PumpInput() {
    std::vector<std::uint8_t> report(reportLength);
    while (!stop) {
      if (bus->ReadReport(read, report.data(), report.size(), kPumpWaitMs)) hid->FeedInput(report.data(), report.size());
    }
  }

  void PumpOutput() {
    std::vector<std::uint8_t> report;
    while (!stop) {
      // The device takes it or not: the host's write has completed already, as the system's
      // HID stack completes it once the report is sent.
      if (hid->NextOutput(report, kPumpWaitMs)) {
        bus->WriteReport(write, report.data(), report.size(), kIoTimeoutMs);
        ++relayed;
      }
    }
  }

  ~Bridged() {
    stop = true;
    if (hid) hid->CancelOutputWait();
    if (input.joinable()) input.join();
    if (output.joinable()) output.join();
    if (read != kInvalidHidHandle) bus->Close(read);
    if (write != kInvalidHidHandle) bus->Close(write);
  }
};

HidBridge::HidBridge(std::wstring infPath, Log log) : infPath_(std::move(infPath)), log_(std::move(log)) {
  worker_ = std::thread([this] { Worker(); });
}

HidBridge::~HidBridge() {
  bus_.Stop();
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

bool HidBridge::Listen(std::uint16_t port) {
  bus_.SetChangeCallback([this](bool arrived, std::wstring path) {
    {
      std::lock_guard lock(mutex_);
      changes_.push_back({arrived, std::move(path)});
    }
    changed_.notify_all();
  });
  return bus_.Listen(port);
}

void HidBridge::Worker() {
  for (;;) {
    Change change;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || !changes_.empty(); });
      if (changes_.empty()) break;
      change = std::move(changes_.front());
      changes_.pop_front();
    }
    if (change.arrived) {
      Arrive(change.path);
    } else {
      Leave(change.path);
    }
  }
  // Unplugged in turn, each logged, before the bridge goes.
  while (!bridged_.empty()) Leave(bridged_.begin()->first);
}

void HidBridge::Arrive(const std::wstring& simPath) {
  const std::string name = WideToUtf8(simPath);
  const std::optional<HidAttributes> attributes = bus_.ReadAttributes(simPath);
  if (!attributes) {
    log_("HID: " + name + " cannot be plugged in: its attributes cannot be read");
    return;
  }
  auto bridged = std::make_unique<Bridged>();
  bridged->bus = &bus_;
  bridged->reportLength = attributes->ProductID == kBootloaderProductId ? 65 : 4;
  const VirtualHidParams params{attributes->VendorID, attributes->ProductID, attributes->VersionNumber,
                                static_cast<std::uint32_t>(bridged->reportLength)};
  std::wstring error;
  bridged->hid = VirtualHidDevice::Plug(infPath_, params, error);
  if (!bridged->hid) {
    log_("HID: " + name + " cannot be plugged in: " + WideToUtf8(error));
    return;
  }
  bridged->read = bus_.OpenForReading(simPath);
  bridged->write = bus_.OpenForWriting(simPath);
  if (bridged->read == kInvalidHidHandle || bridged->write == kInvalidHidHandle) {
    // It refuses to be opened, as one another program holds. Wine's HID stack cannot show that:
    // its class driver checks no sharing, and an open request does not tell the driver which
    // access it asks for. So it is not plugged in: that case stays with the sim link.
    log_("HID: " + name + " refuses to be opened; not plugged in (Wine's HID stack cannot hold a device for another program)");
    return;
  }
  Bridged* b = bridged.get();
  b->input = std::thread([b] { b->PumpInput(); });
  b->output = std::thread([b] { b->PumpOutput(); });
  log_("HID: " + name + " is " + WideToUtf8(bridged->hid->InterfacePath()));
  log_("Sim link: arrival of " + name);
  bridged_[simPath] = std::move(bridged);
}

void HidBridge::Leave(std::wstring simPath) {  // a copy: the caller's may be the map's own key
  auto it = bridged_.find(simPath);
  if (it == bridged_.end()) return;
  const unsigned relayed = it->second->relayed;
  it->second.reset();  // pumps stopped, then the device unplugged
  bridged_.erase(it);
  log_("HID: " + WideToUtf8(simPath) + " was written " + std::to_string(relayed) + " reports");
  log_("Sim link: removal of " + WideToUtf8(simPath));
}

}  // namespace tev::hidtest
