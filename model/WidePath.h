#pragma once
// Paths reach the model as wide strings (as the Windows file dialogs give them). Windows opens
// them as they are; elsewhere they are spelt in UTF-8.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "model/Unique.h"

namespace tev {

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

std::filesystem::path ToFsPath(const std::wstring& path);

struct FileTraits {
  static std::FILE* Invalid() { return nullptr; }
  static bool Valid(std::FILE* file) { return file != nullptr; }
  static void Release(std::FILE* file) { std::fclose(file); }
};
using UniqueFile = Unique<std::FILE*, FileTraits>;

// mode as for fopen ("rb", "wb"); empty on failure.
UniqueFile OpenFile(const std::filesystem::path& path, const char* mode);

}  // namespace tev
