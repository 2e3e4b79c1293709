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

// A file name as the system gave it in bytes (a Linux command line), which need not be UTF-8:
// each byte that is not part of valid UTF-8 becomes the code point U+DC80 + byte (a lone low
// surrogate, which no valid text holds), so that ToFsPath gives back the very same bytes.
// Where wchar_t is UTF-16 (Windows) names arrive wide and this is Utf8ToWide.
std::wstring PathBytesToWide(std::string_view bytes);

// A name for people to read: as WideToUtf8, but a byte kept by PathBytesToWide is shown as \xHH.
std::string PathForDisplay(std::wstring_view path);

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
