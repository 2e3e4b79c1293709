#include "plot/win32/DrawingBuffer.h"

#include <algorithm>
#include <utility>

#include "plot/PlotView.h"
#include "plot/win32/GdiplusCanvas.h"

namespace tev::win32 {

namespace {

// DDBLT_WAIT should never report "still drawing"; if a driver keeps doing so, skip the frame
// rather than spin for ever.
constexpr int kMaxBlitAttempts = 1000;

// One colour channel of a pixel, by its mask, scaled to 8 bits.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const std::uint32_t max = mask >> shift;
  const std::uint32_t value = (pixel & mask) >> shift;
  return max == 0xFF ? value : value * 255 / max;
}

}  // namespace

// The buffer's off-screen surface as a GDI+ canvas sees it; used only while the lock is held.
class DrawingBuffer::Surface : public DrawingSurface {
 public:
  explicit Surface(DrawingBuffer& buffer) : buffer_(buffer) {}
  int SurfaceWidth() const override { return buffer_.surfaceWidth_; }
  int SurfaceHeight() const override { return buffer_.surfaceHeight_; }
  bool FillSurface(std::uint32_t pixel) override { return buffer_.FillLocked(pixel); }
  HDC AcquireDc() override {
    HDC dc = nullptr;
    if (!buffer_.offscreen_ || FAILED(buffer_.offscreen_->GetDC(&dc))) return nullptr;
    return dc;
  }
  void ReleaseDc(HDC dc) override {
    if (buffer_.offscreen_) buffer_.offscreen_->ReleaseDC(dc);
  }

 private:
  DrawingBuffer& buffer_;
};

DrawingBuffer::~DrawingBuffer() { ReleaseLocked(); }

bool DrawingBuffer::InitDirectDraw(HWND window, bool quiet) {
  bool created = false;
  {
    std::lock_guard guard(lock_);
    ReleaseLocked();
    window_ = window;
    created = CreateLocked();
    if (created) FillLocked(0);
    else ReleaseLocked();
  }
  if (!created) {
    // Outside the lock: the message box runs a loop that may paint the window.
    if (!quiet) MessageBoxW(window, L"Failed to Initialize Direct Draw", L"Direct Draw Init Failed!", MB_OK | MB_ICONWARNING);
    PostQuitMessage(0);
  }
  return created;
}

bool DrawingBuffer::CreateSurfaces() {
  std::lock_guard guard(lock_);
  ReleaseOffscreenLocked();  // never two buffers at once
  if (CreateLocked()) return true;
  ReleaseLocked();
  return false;
}

bool DrawingBuffer::CreateLocked() {
  // Making the DirectDraw object and releasing it again cost a good part of a second under Wine:
  // a resize makes only a new buffer, for as long as the window is the same.
  if (!directDraw_ || deviceWindow_ != window_ || !IsWindow(window_)) {
    ReleaseLocked();
    if (!CreateDeviceLocked()) return false;
  }
  return CreateOffscreenLocked();
}

bool DrawingBuffer::CreateDeviceLocked() {
  if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(directDraw_.ReleaseAndGetAddressOf()), IID_IDirectDraw7,
                                nullptr))) {
    directDraw_.Detach();  // whatever a failed call left there is not ours to release
    return false;
  }
  deviceWindow_ = window_;
  // A windowed desktop program: normal cooperation.
  if (FAILED(directDraw_->SetCooperativeLevel(window_, DDSCL_NORMAL))) return false;

  DDSURFACEDESC2 primary{};
  primary.dwSize = sizeof primary;
  primary.dwFlags = DDSD_CAPS;
  primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  if (FAILED(directDraw_->CreateSurface(&primary, primary_.ReleaseAndGetAddressOf(), nullptr))) {
    primary_.Detach();
    return false;
  }

  // The primary surface keeps the clipper alive; our own reference goes with this function.
  Microsoft::WRL::ComPtr<IDirectDrawClipper> clipper;
  if (FAILED(directDraw_->CreateClipper(0, clipper.GetAddressOf(), nullptr))) return false;
  return SUCCEEDED(clipper->SetHWnd(0, window_)) && SUCCEEDED(primary_->SetClipper(clipper.Get()));
}

bool DrawingBuffer::CreateOffscreenLocked() {
  if (width_ <= 0 || height_ <= 0) return false;
  // A new surface costs tens of milliseconds under Wine the first time it is drawn into, most of
  // a resize: the buffer lives in the top left of a surface at least as large as the screen,
  // which each re-creation takes over as long as the new size fits into it.
  if (spare_ && (width_ > spareWidth_ || height_ > spareHeight_ || !SameFormatAsScreen(spare_.Get()))) spare_.Reset();
  if (!spare_) {
    const auto [screenWidth, screenHeight] = ScreenSize();
    DDSURFACEDESC2 offscreen{};
    offscreen.dwSize = sizeof offscreen;
    offscreen.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    offscreen.dwWidth = static_cast<DWORD>(std::max(width_, screenWidth));
    offscreen.dwHeight = static_cast<DWORD>(std::max(height_, screenHeight));
    // No pixel format: the buffer takes the display's, so a blit is a plain copy.
    offscreen.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    if (FAILED(directDraw_->CreateSurface(&offscreen, spare_.ReleaseAndGetAddressOf(), nullptr))) {
      spare_.Detach();
      return false;
    }
    spareWidth_ = static_cast<int>(offscreen.dwWidth);
    spareHeight_ = static_cast<int>(offscreen.dwHeight);
  }
  // MinGW's ComPtr copies on a move assignment: a swap hands a surface over.
  offscreen_.Reset();
  offscreen_.Swap(spare_);
  allocatedWidth_ = spareWidth_;
  allocatedHeight_ = spareHeight_;
  surfaceWidth_ = width_;
  surfaceHeight_ = height_;
  return true;
}

std::pair<int, int> DrawingBuffer::ScreenSize() const {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  if (!primary_ || FAILED(primary_->GetSurfaceDesc(&desc))) return {0, 0};
  return {static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight)};
}

// A display switched to another depth since the surface was made would need a conversion on
// every blit: such a surface is not taken over.
bool DrawingBuffer::SameFormatAsScreen(IDirectDrawSurface7* surface) const {
  DDPIXELFORMAT screen{}, own{};
  screen.dwSize = own.dwSize = sizeof(DDPIXELFORMAT);
  if (!primary_ || FAILED(primary_->GetPixelFormat(&screen)) || FAILED(surface->GetPixelFormat(&own))) return false;
  return screen.dwRGBBitCount == own.dwRGBBitCount && screen.dwRBitMask == own.dwRBitMask &&
         screen.dwGBitMask == own.dwGBitMask && screen.dwBBitMask == own.dwBBitMask;
}

void DrawingBuffer::ReleaseSurfaces() {
  std::lock_guard guard(lock_);
  // The buffer goes; its surface, the DirectDraw object and the primary surface with its clipper
  // stay for the next creation for the same window.
  ReleaseOffscreenLocked();
}

void DrawingBuffer::ReleaseOffscreenLocked() {
  if (!offscreen_) return;
  spare_.Reset();
  spare_.Swap(offscreen_);
  spareWidth_ = allocatedWidth_;
  spareHeight_ = allocatedHeight_;
}

void DrawingBuffer::ReleaseLocked() {
  offscreen_.Reset();
  spare_.Reset();
  primary_.Reset();
  if (directDraw_) {
    directDraw_->SetCooperativeLevel(deviceWindow_, DDSCL_NORMAL);
    directDraw_.Reset();
  }
  deviceWindow_ = nullptr;
}

bool DrawingBuffer::FillBuffer(std::uint32_t pixel) {
  std::lock_guard guard(lock_);
  return FillLocked(pixel);
}

bool DrawingBuffer::FillLocked(std::uint32_t pixel) {
  if (!offscreen_) return false;
  DDBLTFX effects{};
  effects.dwSize = sizeof effects;
  effects.dwFillColor = pixel;
  RECT area{0, 0, surfaceWidth_, surfaceHeight_};
  return SUCCEEDED(offscreen_->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects));
}

bool DrawingBuffer::PresentBuffer(int clientWidth, int clientHeight) {
  std::lock_guard guard(lock_);
  if (!primary_ || !offscreen_) return false;

  POINT topLeft{0, 0};
  POINT bottomRight{clientWidth, clientHeight};
  ClientToScreen(window_, &topLeft);
  ClientToScreen(window_, &bottomRight);
  RECT target{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  RECT source{0, 0, surfaceWidth_, surfaceHeight_};  // the buffer, not the whole surface

  HRESULT result = DD_OK;
  for (int attempt = 0; attempt < kMaxBlitAttempts; ++attempt) {
    result = primary_->Blt(&target, offscreen_.Get(), &source, DDBLT_WAIT, nullptr);
    if (result != DDERR_WASSTILLDRAWING) break;
  }
  if (result == DDERR_SURFACELOST) {
    primary_->Restore();
    offscreen_->Restore();
    return false;
  }
  // Any other failure is a skipped frame; the next paint shows the buffer again.
  return true;
}

void DrawingBuffer::RenderPlot(const DataSet& set, PlotScale& scale) {
  HWND window = nullptr;
  {
    std::lock_guard guard(lock_);
    if (!offscreen_) return;
    Surface surface(*this);
    GdiplusCanvas canvas(surface);
    PaintPlot(canvas, set, scale);
    window = window_;
  }
  InvalidateRect(window, nullptr, FALSE);
}

void DrawingBuffer::RenderLiveTrace(const LiveTrace& trace, PlotScale& scale) {
  std::lock_guard guard(lock_);
  if (!offscreen_) return;
  Surface surface(*this);
  GdiplusCanvas canvas(surface);
  PaintLiveTrace(canvas, trace, scale);
}

bool DrawingBuffer::TryShowLiveTrace(const LiveTrace& trace, PlotScale& scale, int clientWidth, int clientHeight) {
  std::unique_lock guard(lock_, std::try_to_lock);
  if (!guard.owns_lock() || !offscreen_) return false;
  {
    Surface surface(*this);
    GdiplusCanvas canvas(surface);
    PaintLiveTrace(canvas, trace, scale);
  }  // the surface's context is given back before the blit
  return PresentBuffer(clientWidth, clientHeight);
}

void DrawingBuffer::SetBufferSize(int width, int height) {
  std::lock_guard guard(lock_);
  width_ = width;
  height_ = height;
}

int DrawingBuffer::BufferWidth() const {
  std::lock_guard guard(lock_);
  return width_;
}

int DrawingBuffer::BufferHeight() const {
  std::lock_guard guard(lock_);
  return height_;
}

void DrawingBuffer::SetWindow(HWND window) {
  std::lock_guard guard(lock_);
  window_ = window;
}

HWND DrawingBuffer::Window() const {
  std::lock_guard guard(lock_);
  return window_;
}

bool DrawingBuffer::HasBuffer() const {
  std::lock_guard guard(lock_);
  return static_cast<bool>(offscreen_);
}

bool DrawingBuffer::CopyPixels(std::vector<std::uint32_t>& pixels, int& width, int& height) {
  std::lock_guard guard(lock_);
  if (!offscreen_) return false;
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  if (FAILED(offscreen_->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY | DDLOCK_SURFACEMEMORYPTR, nullptr)))
    return false;
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  const DWORD bytesPerPixel = format.dwRGBBitCount / 8;
  const bool readable = (format.dwFlags & DDPF_RGB) && bytesPerPixel >= 2 && bytesPerPixel <= 4;
  if (readable) {
    width = std::min(surfaceWidth_, static_cast<int>(desc.dwWidth));
    height = std::min(surfaceHeight_, static_cast<int>(desc.dwHeight));
    pixels.assign(static_cast<std::size_t>(width) * height, 0);
    const auto* base = static_cast<const std::uint8_t*>(desc.lpSurface);
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = base + static_cast<std::ptrdiff_t>(y) * desc.lPitch;
      for (int x = 0; x < width; ++x) {
        std::uint32_t raw = 0;
        for (DWORD b = 0; b < bytesPerPixel; ++b) raw |= static_cast<std::uint32_t>(row[x * bytesPerPixel + b]) << (8 * b);
        pixels[static_cast<std::size_t>(y) * width + x] = (Channel(raw, format.dwRBitMask) << 16) |
                                                          (Channel(raw, format.dwGBitMask) << 8) |
                                                          Channel(raw, format.dwBBitMask);
      }
    }
  }
  offscreen_->Unlock(nullptr);
  return readable;
}

// --- the program's buffer

DrawingBuffer& TheDrawingBuffer() {
  static DrawingBuffer buffer;
  return buffer;
}

bool InitDirectDraw(HWND window, bool quiet) { return TheDrawingBuffer().InitDirectDraw(window, quiet); }
bool CreateSurfaces() { return TheDrawingBuffer().CreateSurfaces(); }
void ReleaseSurfaces() { TheDrawingBuffer().ReleaseSurfaces(); }
bool FillBuffer(std::uint32_t pixel) { return TheDrawingBuffer().FillBuffer(pixel); }
bool PresentBuffer(int clientWidth, int clientHeight) { return TheDrawingBuffer().PresentBuffer(clientWidth, clientHeight); }
void RenderPlot(const DataSet& set, PlotScale& scale) { TheDrawingBuffer().RenderPlot(set, scale); }
void RenderLiveTrace(const LiveTrace& trace, PlotScale& scale) { TheDrawingBuffer().RenderLiveTrace(trace, scale); }
bool TryShowLiveTrace(const LiveTrace& trace, PlotScale& scale, int clientWidth, int clientHeight) {
  return TheDrawingBuffer().TryShowLiveTrace(trace, scale, clientWidth, clientHeight);
}
void SetBufferSize(int width, int height) { TheDrawingBuffer().SetBufferSize(width, height); }

}  // namespace tev::win32
