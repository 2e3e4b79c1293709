#include "model/ReplacingFile.h"

#include <cstdio>
#include <system_error>

namespace tev {

ReplacingFile::ReplacingFile(const std::wstring& target) : target_(ToFsPath(target)) {
  // A directory is never a file to replace.
  std::error_code ec;
  if (target_.empty() || std::filesystem::is_directory(target_, ec)) return;
  // Pick a name no file has yet, so nothing of the user's is ever overwritten on the way.
  for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
    std::filesystem::path candidate = target_;
    candidate += ".tmp" + std::to_string(attempt);
    if (std::filesystem::exists(candidate, ec) || ec) continue;
    file_ = OpenFile(candidate, "wb");
    if (file_) temporary_ = candidate;
    else return;  // the folder does not take new files
  }
}

ReplacingFile::~ReplacingFile() {
  if (committed_) return;
  file_.reset();
  if (!temporary_.empty()) {
    std::error_code ec;
    std::filesystem::remove(temporary_, ec);
  }
}

bool ReplacingFile::Write(std::string_view bytes) {
  if (!file_ || failed_) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) failed_ = true;
  return !failed_;
}

bool ReplacingFile::Commit() {
  if (!file_ || failed_ || committed_) return false;
  std::FILE* file = file_.release();
  // fflush and fclose report what the buffer could not write (a full disk, for instance).
  const bool flushed = std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  if (!flushed || !closed) {
    failed_ = true;
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(temporary_, target_, ec);
  if (ec) {
    failed_ = true;
    return false;
  }
  committed_ = true;
  return true;
}

}  // namespace tev
