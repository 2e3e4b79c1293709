// Which firmware the simulated altimeter runs in each personality.
#include "sim/SimAltimeter.h"
#include "sim/SimApplication.h"
#include "sim/SimBootloader.h"

namespace tev {

std::unique_ptr<SimPersonality> MakeSimPersonality(Personality personality, SimState& state) {
  switch (personality) {
    case Personality::Application:
      return std::make_unique<SimApplication>(state);
    case Personality::Bootloader:
      return std::make_unique<SimBootloader>(state);
  }
  return std::make_unique<SimApplication>(state);
}

}  // namespace tev
