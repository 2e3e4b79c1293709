#pragma once
// A file descriptor owned by one object and closed with it.
#include <unistd.h>

#include "model/Unique.h"

namespace tev::hidraw {

struct FdTraits {
  static int Invalid() { return -1; }
  static bool Valid(int fd) { return fd >= 0; }
  static void Release(int fd) { ::close(fd); }
};
using UniqueFd = Unique<int, FdTraits>;

}  // namespace tev::hidraw
