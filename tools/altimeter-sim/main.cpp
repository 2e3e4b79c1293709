// altimeter-sim: plugs one simulated altimeter into a running demo over the sim link and takes
// plug, unplug, switch and quit on standard input.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include "model/DebugLog.h"
#include "sim/FlightModel.h"
#include "sim/SimAltimeter.h"
#include "sim/SimFlightCommands.h"
#include "sim/SimLinkDevice.h"
#include "sim/SimPath.h"
#include "tools/altimeter-sim/AltimeterSimOptions.h"

namespace {

using namespace tev;

// Lines from standard input, read on their own thread so that serving the host never waits.
class CommandQueue {
 public:
  void Push(std::string line) {
    {
      std::lock_guard lock(mutex_);
      lines_.push_back(std::move(line));
    }
    ready_.notify_one();
  }
  bool Pop(std::string& line, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, wait, [&] { return !lines_.empty(); })) return false;
    line = std::move(lines_.front());
    lines_.pop_front();
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::string> lines_;
};

void Say(const std::string& text) {
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

const char* Name(Personality p) { return p == Personality::Bootloader ? "bootloader" : "application"; }

}  // namespace

int main(int argc, char** argv) {
  const AltimeterSimOptions options =
      ParseAltimeterSimOptions(std::vector<std::string>(argv + 1, argv + argc), std::getenv("TEV_SIM_PORT"));
  if (options.help) {
    std::fputs(kAltimeterSimUsage, stdout);
    return 0;
  }
  if (!options.error.empty()) {
    std::fprintf(stderr, "altimeter-sim: %s\n%s", options.error.c_str(), kAltimeterSimUsage);
    return 2;
  }
  SetDebugLogSink(nullptr);  // the device link's diagnostics are the host's, not ours

  SimAltimeter device(options.config);
  for (const SimFault& fault : options.faults) device.InjectFault(fault);
  // Flights are recorded as the device would have recorded them with its own settings.
  const sim::FlightSettings flightSettings = sim::FlightSettings::FromImage(device.State().settingsBlock);
  if (options.flights == std::vector<std::string>{"full"}) {
    LoadFlightMemory(device.State(), sim::RecordFullMemory(flightSettings));
  } else {
    std::vector<sim::FlightProfile> profiles;
    for (const std::string& name : options.flights) profiles.push_back(*sim::FindSampleFlight(name));
    LoadFlightMemory(device.State(), sim::RecordMemory(profiles, flightSettings));
  }
  Say(std::to_string(StoredFlightPackets(device.State()).size()) + " packets of flights in memory");
  device.State().emulationPeriodMs = options.emulationPeriodMs;
  device.State().bootloaderDelayMs = options.bootloaderDelayMs;
  if (!options.dumpMemory.empty()) {
    std::ofstream dump(options.dumpMemory, std::ios::binary);
    for (const FlightPacket& p : StoredFlightPackets(device.State()))
      dump.write(reinterpret_cast<const char*>(p.bytes.data()), 64);
    if (!dump) Say("cannot write " + options.dumpMemory);
  }
  SimLinkDevice link(device);

  CommandQueue commands;
  std::thread input([&commands] {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      commands.Push(line);
      if (line == "quit") return;
    }
    commands.Push("quit");  // the end of standard input ends the simulation
  });

  auto path = [&] {
    const HidAttributes a = device.Attributes();
    return Narrow(SimInterfacePath(a.VendorID, a.ProductID, device.Config().serial));
  };
  bool wantPlugged = options.startPlugged;
  bool waitingSaid = false;
  auto tryPlug = [&] {
    if (link.Plug(options.port)) {
      Say("plugged " + path());
      waitingSaid = false;
    } else if (!waitingSaid) {
      Say("waiting for a host on 127.0.0.1:" + std::to_string(options.port));
      waitingSaid = true;
    }
  };

  for (bool running = true; running;) {
    if (wantPlugged && !link.Plugged()) tryPlug();
    if (link.Plugged() && !link.Serve(20)) {
      Say("unplugged");  // by the host, or by an unplug fault: like a pulled cable
      wantPlugged = false;
    }
    std::string line;
    const auto wait = link.Plugged() ? std::chrono::milliseconds(0) : std::chrono::milliseconds(wantPlugged ? 250 : 50);
    while (commands.Pop(line, wait)) {
      if (line == "quit") {
        running = false;
        break;
      } else if (line == "plug") {
        wantPlugged = true;
      } else if (line == "unplug") {
        wantPlugged = false;
        if (link.Plugged()) {
          link.Unplug();
          Say("unplugged");
        }
      } else if (line.rfind("switch", 0) == 0) {
        const std::string to = line.size() > 7 ? line.substr(7) : "";
        Personality next = device.Config().personality == Personality::Application ? Personality::Bootloader
                                                                                   : Personality::Application;
        if (to == "application") next = Personality::Application;
        if (to == "bootloader") next = Personality::Bootloader;
        // A real device re-enumerates when it changes firmware: it leaves and comes back.
        const bool wasPlugged = link.Plugged();
        link.Unplug();
        device.SwitchPersonality(next);
        Say(std::string("personality ") + Name(next));
        if (wasPlugged) tryPlug();
      } else if (!line.empty()) {
        Say("unknown command: " + line + " (plug, unplug, switch, quit)");
      }
    }
  }
  link.Unplug();
  input.join();
  if (!options.programmedImage.empty()) {
    const auto& image = device.State().programmedImage;
    std::ofstream out(options.programmedImage, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    if (!out) Say("cannot write " + options.programmedImage);
  }
  Say("bye");
  return 0;
}
