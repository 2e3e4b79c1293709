#pragma once
// A fresh folder for one test's files, removed with everything in it afterwards.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "model/WidePath.h"

namespace tev::testing {

class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    for (int i = 0;; ++i) {
      path_ = base / ("tev-test-" + std::to_string(Stamp()) + "-" + std::to_string(counter++) + "-" + std::to_string(i));
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& Path() const { return path_; }
  // The wide form that the model's file functions take.
  std::wstring File(const std::wstring& name) const {
#ifdef _WIN32
    return (path_ / name).wstring();
#else
    return Utf8ToWide((path_ / WideToUtf8(name)).string());
#endif
  }

 private:
  static long long Stamp() { return static_cast<long long>(std::filesystem::file_time_type::clock::now().time_since_epoch().count()); }
  std::filesystem::path path_;
};

inline std::string ReadAll(const std::wstring& path) {
  std::ifstream in(ToFsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(ToFsPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::size_t CountEntries(const std::filesystem::path& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

}  // namespace tev::testing
