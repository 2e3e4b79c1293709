#pragma once
// Writes a file so that the target is either replaced by the complete new contents or left
// exactly as it was: everything goes to a temporary file of its own beside the target, which is
// flushed to the disk and replaces the target only after every write and the close have
// succeeded. The temporary file is removed on every failure.
// A target that exists but is no regular file (a device such as /dev/stdout, a pipe) cannot be
// replaced, and must never be replaced by a regular file: the bytes go straight into it, and
// Commit says whether all of them went.
#include <filesystem>
#include <string>
#include <string_view>

#include "model/WidePath.h"

namespace tev {

class ReplacingFile {
 public:
  explicit ReplacingFile(const std::wstring& target);
  ~ReplacingFile();  // removes the temporary file unless committed
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool IsOpen() const { return file_.Valid(); }
  // False once any write has failed; later writes are not attempted.
  bool Write(std::string_view bytes);
  // Flushes the temporary file to the disk, closes it and moves it over the target. False if
  // anything failed.
  bool Commit();

 private:
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  UniqueFile file_;
  bool direct_ = false;  // writing into the target itself
  bool failed_ = false;
  bool committed_ = false;
};

}  // namespace tev
