#include "ui/logic/CaptureControls.h"

namespace tev {

bool CanSaveSelected(int selectedSet, int setCount) { return selectedSet >= 0 && selectedSet < setCount; }

int PickOnOpening(const DataSet& onDisplay) { return onDisplay.setNumber; }

CaptureControls CaptureControlsFor(const CaptureState& state) {
  CaptureControls c;
  const bool idle = !state.busy;
  c.readData = state.connected && idle;
  c.clearDevice = state.connected && idle;
  c.liveUpdate = idle;
  c.selectAndClose = idle && state.hasPackets;
  c.saveSelected = idle && state.hasPackets && CanSaveSelected(state.selectedSet, state.setCount);
  c.saveAll = idle && state.hasPackets;
  c.endSeeThrough = idle;
  return c;
}

}  // namespace tev
