#pragma once
// Writes a file so that the target is either replaced by the complete new contents or left
// exactly as it was: everything goes to a temporary file beside the target, which replaces the
// target only after every write and the close have succeeded.
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

  bool IsOpen() const { return file_ != nullptr; }
  // False once any write has failed; later writes are not attempted.
  bool Write(std::string_view bytes);
  // Closes the temporary file and moves it over the target. False if anything failed.
  bool Commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  FilePtr file_;
  bool failed_ = false;
  bool committed_ = false;
};

}  // namespace tev
