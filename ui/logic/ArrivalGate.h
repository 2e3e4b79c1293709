#pragma once
// When a dialog may react to a device arrival. Connecting closes the open handles first, so a
// connect while a worker talks to the altimeter would break that worker's exchange (any HID
// device plugged in, a mouse, would do it): an arrival during a worker is remembered and acted on
// once the worker has ended, unless the dialog is closing by then.

namespace tev {

class ArrivalGate {
 public:
  // True when the connect sequence may run now; otherwise the arrival is remembered.
  bool OnArrival(bool workerRunning) {
    if (!workerRunning) return true;
    pending_ = true;
    return false;
  }
  // True when a remembered arrival should be acted on now. Either way it is forgotten.
  bool OnWorkerEnded(bool closing) {
    const bool run = pending_ && !closing;
    pending_ = false;
    return run;
  }
  bool Pending() const { return pending_; }

 private:
  bool pending_ = false;  // dialog thread only
};

}  // namespace tev
