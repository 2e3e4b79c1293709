#include "model/WidePath.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tev
