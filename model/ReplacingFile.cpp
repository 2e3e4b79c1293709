#include "model/ReplacingFile.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tev {
namespace {

// Tries a few names before giving up: only a folder that takes no new files fails them all.
constexpr int kNameAttempts = 8;

unsigned long ProcessId() {
#ifdef _WIN32
  return static_cast<unsigned long>(_getpid());
#else
  return static_cast<unsigned long>(getpid());
#endif
}

// A name beside the target that no other save, in this process or another, picks: the process id
// and a random part. Left-overs of a crashed save never stand in the way of the next one.
std::filesystem::path TemporaryName(const std::filesystem::path& target) {
  static std::mt19937_64 random = [] {
    std::random_device device;
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seed{device(), device(), static_cast<unsigned>(now), static_cast<unsigned>(now >> 32)};
    return std::mt19937_64(seed);
  }();
  char suffix[48];
  std::snprintf(suffix, sizeof suffix, ".tmp-%lu-%016llx", ProcessId(),
                static_cast<unsigned long long>(random()));
  std::filesystem::path name = target;
  name += suffix;
  return name;
}

// Creates the file only if no file of that name exists, so nothing is ever overwritten on the way.
UniqueFile CreateNewFile(const std::filesystem::path& path) {
#ifdef _WIN32
  const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return {};
  UniqueFile file(_fdopen(fd, "wb"));
  if (!file) _close(fd);
#else
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return {};
  UniqueFile file(fdopen(fd, "wb"));
  if (!file) close(fd);
#endif
  return file;
}

// Asks the system to put the file's data on the disk before the rename makes it the target.
bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;  // FlushFileBuffers
#else
  return fsync(fileno(file)) == 0;
#endif
}

}  // namespace

ReplacingFile::ReplacingFile(const std::wstring& target) : target_(ToFsPath(target)) {
  // A directory is never a file to replace.
  std::error_code ec;
  if (target_.empty()) return;
  const std::filesystem::file_status status = std::filesystem::status(target_, ec);
  if (std::filesystem::is_directory(status)) return;
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    file_ = OpenFile(target_, "wb");
    direct_ = true;
    return;
  }
  for (int attempt = 0; attempt < kNameAttempts && !file_; ++attempt) {
    const std::filesystem::path candidate = TemporaryName(target_);
    file_ = CreateNewFile(candidate);
    if (file_) temporary_ = candidate;
  }
}

ReplacingFile::~ReplacingFile() {
  if (!committed_) Discard();
}

void ReplacingFile::Discard() {
  file_.Reset();
  if (temporary_.empty()) return;
  std::error_code ec;
  std::filesystem::remove(temporary_, ec);
  temporary_.clear();
}

bool ReplacingFile::Write(std::string_view bytes) {
  if (!file_ || failed_) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_.Get()) != bytes.size()) failed_ = true;
  return !failed_;
}

bool ReplacingFile::Commit() {
  if (!file_ || failed_ || committed_) return false;
  std::FILE* file = file_.Release();
  // fflush and fclose report what the buffer could not write (a full disk, for instance).
  if (direct_) {
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    failed_ = !flushed || !closed;
    committed_ = !failed_;
    return committed_;
  }
  const bool flushed = std::fflush(file) == 0 && SyncToDisk(file);
  const bool closed = std::fclose(file) == 0;
  std::error_code ec;
  if (flushed && closed) std::filesystem::rename(temporary_, target_, ec);
  if (!flushed || !closed || ec) {
    failed_ = true;
    Discard();
    return false;
  }
  committed_ = true;
  return true;
}

}  // namespace tev
