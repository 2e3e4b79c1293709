#pragma once
// GDI+ started for as long as the object lives: the program's one way to start it (the program for
// its whole run, each test program and benchmark for theirs).
#include <windows.h>

namespace tev::win32 {

class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;

  // False when GDI+ could not start: nothing is drawn then.
  bool Started() const { return started_; }

 private:
  ULONG_PTR token_ = 0;
  bool started_ = false;
};

}  // namespace tev::win32
