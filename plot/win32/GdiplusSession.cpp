#include "plot/win32/GdiplusSession.h"

#include "plot/win32/Gdiplus.h"

namespace tev::win32 {

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;  // version 1, no debug callback, GDI+'s own background thread
  started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession() {
  if (started_) Gdiplus::GdiplusShutdown(token_);
}

}  // namespace tev::win32
