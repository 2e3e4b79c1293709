#pragma once
// The one off-screen buffer of the main window: the client's size in a DirectDraw 7 surface,
// painted through GDI+ and copied to the window in one blit, so redrawing never flickers.
//
// Painting, presenting and re-creating the buffer are serialised by the buffer's own lock: a
// worker painting the live trace never meets a released surface, and the window's thread
// presenting meanwhile waits for the frame to be finished.
#include <windows.h>

#include <ddraw.h>
#include <wrl/client.h>

#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "model/DataSet.h"
#include "model/LiveTrace.h"
#include "model/PlotScale.h"

namespace tev::win32 {

class DrawingBuffer {
 public:
  DrawingBuffer() = default;
  ~DrawingBuffer();
  DrawingBuffer(const DrawingBuffer&) = delete;
  DrawingBuffer& operator=(const DrawingBuffer&) = delete;

  // Releases what there was, remembers the window and creates the buffer, black. On failure:
  // releases everything, warns (unless quiet) and posts the quit message.
  bool InitDirectDraw(HWND window, bool quiet);
  // Creates the buffer of the buffer size, and the DirectDraw object with the primary surface
  // clipped to the window unless they are there for this window already; false at the first
  // failing step, with nothing kept.
  bool CreateSurfaces();
  // Releases the buffer: none until the next CreateSurfaces. Its surface, the DirectDraw object
  // and the primary surface are kept for that (they go with the buffer object, or when a buffer
  // is made for another window), so that a resize costs next to nothing.
  void ReleaseSurfaces();
  // Colour-fills the whole buffer with a raw pixel of the display's format (0x808080 is mid grey).
  bool FillBuffer(std::uint32_t pixel);
  // Copies the buffer to the client rectangle (0,0)-(width,height), stretching when sizes differ.
  // False when there is no buffer or a surface was lost (then restored; the next paint redraws).
  bool PresentBuffer(int clientWidth, int clientHeight);
  // Paints the data set into the buffer and has the window present it when it next paints.
  void RenderPlot(const DataSet& set, PlotScale& scale);
  // Paints the live trace into the buffer; the caller presents it.
  void RenderLiveTrace(const LiveTrace& trace, PlotScale& scale);
  // A download's live frame: the trace painted and presented at once, or, while another thread
  // holds the buffer (a re-creation after a resize takes seconds under Wine), skipped at once:
  // the download never waits for it. True when the frame was shown.
  bool TryShowLiveTrace(const LiveTrace& trace, PlotScale& scale, int clientWidth, int clientHeight);

  // The size the next CreateSurfaces makes (initially 640 × 480).
  void SetBufferSize(int width, int height);
  int BufferWidth() const;
  int BufferHeight() const;
  void SetWindow(HWND window);
  HWND Window() const;
  bool HasBuffer() const;

  // A copy of the buffer as 0x00RRGGBB pixels, row by row (for screenshots and tests).
  bool CopyPixels(std::vector<std::uint32_t>& pixels, int& width, int& height);

 private:
  class Surface;
  void ReleaseLocked();  // everything
  void ReleaseOffscreenLocked();
  bool CreateLocked();
  bool CreateDeviceLocked();
  bool CreateOffscreenLocked();
  std::pair<int, int> ScreenSize() const;
  bool SameFormatAsScreen(IDirectDrawSurface7* surface) const;
  bool FillLocked(std::uint32_t pixel);

  mutable std::recursive_mutex lock_;
  Microsoft::WRL::ComPtr<IDirectDraw7> directDraw_;
  Microsoft::WRL::ComPtr<IDirectDrawSurface7> primary_;
  Microsoft::WRL::ComPtr<IDirectDrawSurface7> offscreen_;  // the buffer: its top left surfaceWidth_ x surfaceHeight_
  Microsoft::WRL::ComPtr<IDirectDrawSurface7> spare_;      // a released buffer's surface, for the next creation
  int allocatedWidth_ = 0, allocatedHeight_ = 0;  // of offscreen_
  int spareWidth_ = 0, spareHeight_ = 0;
  HWND window_ = nullptr;
  HWND deviceWindow_ = nullptr;  // the window the DirectDraw object and the primary surface serve
  int width_ = 640;
  int height_ = 480;
  int surfaceWidth_ = 0;  // the buffer's size when it was made
  int surfaceHeight_ = 0;
};

// The program's one buffer, and the operations the window and the dialogs call on it.
DrawingBuffer& TheDrawingBuffer();
bool InitDirectDraw(HWND window, bool quiet);
bool CreateSurfaces();
void ReleaseSurfaces();
bool FillBuffer(std::uint32_t pixel);
bool PresentBuffer(int clientWidth, int clientHeight);
void RenderPlot(const DataSet& set, PlotScale& scale);
void RenderLiveTrace(const LiveTrace& trace, PlotScale& scale);
bool TryShowLiveTrace(const LiveTrace& trace, PlotScale& scale, int clientWidth, int clientHeight);
void SetBufferSize(int width, int height);

}  // namespace tev::win32
