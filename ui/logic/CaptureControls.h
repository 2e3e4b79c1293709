#pragma once
// Which of the Capture Data dialog's controls may be used, for the altimeter's state and the
// packets held.
#include "model/DataSet.h"

namespace tev {

struct CaptureState {
  bool connected = false;
  bool busy = false;  // a worker runs
  bool hasPackets = false;
  int setCount = 0;
  int selectedSet = -1;
};

struct CaptureControls {
  bool readData = false;
  bool clearDevice = false;
  bool liveUpdate = false;
  bool selectAndClose = false;
  bool saveSelected = false;
  bool saveAll = false;
  bool endSeeThrough = false;  // the download's see-through view ends with an idle refresh
};

CaptureControls CaptureControlsFor(const CaptureState& state);

// Save Selected is for a picked set that the packets hold.
bool CanSaveSelected(int selectedSet, int setCount);

// The pick a dialog opens with: the set on display, which is set 0 while nothing is on display, so
// that the first flight is picked once a first download has brought it.
int PickOnOpening(const DataSet& onDisplay);

}  // namespace tev
