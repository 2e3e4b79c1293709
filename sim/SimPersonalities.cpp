// Which firmware the simulated altimeter runs in each personality.
#include "sim/SimAltimeter.h"
#include "sim/SimApplication.h"

namespace tev {

std::unique_ptr<SimPersonality> MakeSimPersonality(Personality personality, SimState& state) {
  switch (personality) {
    case Personality::Application:
      return std::make_unique<SimApplication>(state);
    case Personality::Bootloader:
      break;
  }
  // No bootloader firmware yet: the application answers, which the host tells apart by product id.
  return std::make_unique<SimApplication>(state);
}

}  // namespace tev
