#pragma once
// Paths reach the model as wide strings (as the Windows file dialogs give them). Windows opens
// them as they are; elsewhere they are spelt in UTF-8.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tev {

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

std::filesystem::path ToFsPath(const std::wstring& path);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// mode as for fopen ("rb", "wb"); empty on failure.
FilePtr OpenFile(const std::filesystem::path& path, const char* mode);

}  // namespace tev
