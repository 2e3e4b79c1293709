#pragma once
// Tools > Capture Data: downloads the flights recorded on the altimeter (with the live trace in the
// main window), shows how its memory divides into sets on the strip, saves one or all of them
// (with a CSV file beside each when asked), clears the device, and hands the picked set back to
// the main window.
//
// Threads: the read and clear workers (CaptureWork) reach the dialog through its Host. The strip and the save handlers run on the dialog
// thread. `selectedSet_` and the device's packets are read and written under the device's
// packetsMutex wherever a worker may run.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "ui/dialogs/CaptureStrip.h"
#include "ui/framework/DeviceWindow.h"
#include "ui/logic/CaptureWorkers.h"

namespace tev {

// Names: template IDD_CAPTURE, title "Capture Data"; tests CaptureDialog, CaptureTest, CaptureWorkTest.
class CCaptureWindow : public CDeviceWindow {
 public:
  explicit CCaptureWindow(AltimeterDevice& device);
  // The device is closed whenever the dialog ends.
  ~CCaptureWindow() override;

  // The picked set: the set on display as the dialog opened (0 when none was) unless the user
  // picked another; the main window shows it once the dialog has ended.
  int SelectedSet() const;

 private:
  class Host;  // the dialog as its workers see it

  MessageResult HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void EnableControls(bool busy) override;
  void PrepareClose() override;
  void FinishClose() override;

  MessageResult OnInitDialog(WPARAM, LPARAM);
  MessageResult OnKeyDown(WPARAM, LPARAM);
  MessageResult OnCommand(WPARAM, LPARAM);

  INT_PTR OnReadData();
  INT_PTR OnClearDevice();
  INT_PTR OnSaveSelected();
  INT_PTR OnSaveAll();
  INT_PTR OnSelectAndClose();

  // Saving (CaptureSave.cpp): the data file and, when asked, its CSV; a message says what failed.
  // A set that a download may have cut off is saved only after a question, under a name that says so.
  bool SaveSet(const PacketList& packets, int set, const std::wstring& path);

  // The strip (CaptureStrip.cpp).
  void DrawSetStrip();
  void InvalidateStrip() const;
  LRESULT OnStripClick(HWND strip, LPARAM lParam);
  static LRESULT CALLBACK StripProc(HWND strip, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR);

  void EndSeeThrough() const;

  static const MessageEntry<CCaptureWindow> kMessages[];
  static const CommandEntry<CCaptureWindow> kCommands[];

  SetStripImage stripBitmap_;
  int selectedSet_;                       // guarded by device.packetsMutex
  bool wasRunning_ = false;               // dialog thread: the worker ran when this close began
  std::unique_ptr<Host> host_;            // made with the dialog: every worker reports through it
  CaptureWork work_;                      // after host_, which it reports to
};

}  // namespace tev
