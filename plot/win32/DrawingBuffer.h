#pragma once
// The one off-screen buffer of the main window: a DirectDraw 7 surface of the client's size,
// painted through GDI+ and copied to the window in one blit, so redrawing never flickers.
//
// Painting, presenting and re-creating the buffer are serialised by the buffer's own lock: a
// worker painting the live trace never meets a released surface, and the window's thread
// presenting meanwhile waits for the frame to be finished.
#include <windows.h>

#include <ddraw.h>

#include <cstdint>
#include <mutex>
#include <vector>

#include "model/DataSet.h"
#include "model/LiveTrace.h"
#include "plot/PlotScale.h"

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
  // Creates the DirectDraw object, the primary surface clipped to the window and the
  // off-screen surface of the buffer size; false at the first failing step, with nothing kept.
  bool CreateSurfaces();
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
  void ReleaseLocked();
  bool CreateLocked();
  bool FillLocked(std::uint32_t pixel);

  mutable std::recursive_mutex lock_;
  IDirectDraw7* directDraw_ = nullptr;
  IDirectDrawSurface7* primary_ = nullptr;
  IDirectDrawSurface7* offscreen_ = nullptr;
  HWND window_ = nullptr;
  int width_ = 640;
  int height_ = 480;
  int surfaceWidth_ = 0;  // the size the off-screen surface was made with
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
void SetBufferSize(int width, int height);

}  // namespace tev::win32
