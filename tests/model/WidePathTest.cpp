#include "model/WidePath.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tev {
namespace {

TEST(WidePath, Utf8RoundTripsEveryPlane) {
  const std::wstring samples[] = {L"", L"plain.tev", L"Fl\u00fcge", L"\u9ad8\u5ea6", L"rocket \U0001F680.csv"};
  for (const auto& text : samples) EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
  EXPECT_EQ(WideToUtf8(L"\u00e9"), "\xC3\xA9");
  EXPECT_EQ(WideToUtf8(L"\U0001F680"), "\xF0\x9F\x9A\x80");
}

TEST(WidePath, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFD" L"b");
  EXPECT_EQ(Utf8ToWide("\xC3"), L"\uFFFD");
  EXPECT_EQ(Utf8ToWide("\xE9\x9A" "x"), L"\uFFFD\uFFFD" L"x");
}

#ifndef _WIN32
TEST(WidePath, AFileNameOfAnyBytesComesBackAsTheSameBytesAndShowsEscaped) {
  struct Case {
    const char* bytes;
    const char* shown;
  };
  const Case cases[] = {
      {"plain.tev", "plain.tev"},
      {"caf\xE9.tev", "caf\\xe9.tev"},                  // Latin-1
      {"Fl\xC3\xBCge.tev", "Fl\xC3\xBCge.tev"},            // UTF-8 stays text
      {"\xC3", "\\xc3"},                                 // cut short
      {"\xC0\xAF", "\\xc0\\xaf"},                         // an overlong '/': never a slash
      {"\xED\xB3\xA9", "\\xed\\xb3\\xa9"},                 // an encoded surrogate
      {"a\xFF\xFE" "b", "a\\xff\\xfe" "b"},
  };
  for (const Case& c : cases) {
    const std::wstring wide = PathBytesToWide(c.bytes);
    EXPECT_EQ(ToFsPath(wide).string(), c.bytes) << c.shown;
    EXPECT_EQ(PathForDisplay(wide), c.shown);
  }
  EXPECT_EQ(PathBytesToWide("caf\xC3\xA9"), Utf8ToWide("caf\xC3\xA9"));
  EXPECT_EQ(Utf8ToWide("caf\xE9"), L"caf\uFFFD");  // text that is not a path still reads as before
}
#endif

}  // namespace
}  // namespace tev
