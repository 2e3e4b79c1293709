#include "ui/logic/StatusText.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace tev {
namespace {

constexpr std::size_t kMaxLength = StatusText::kCapacity - 1;

std::wstring Line(int n, std::size_t width = 20) {
  std::wstring text = L"Packet Read: " + std::to_wstring(n);
  text.resize(width - 2, L'.');
  return text + L"\r\n";
}

TEST(StatusText, GrowsLineByLine) {
  StatusText status;
  EXPECT_EQ(status.Text(), L"");
  status.Append(L"Device Connected.\r\n");
  status.Append(L"Current device firmware version: 1.40\r\n");
  EXPECT_EQ(status.Text(), L"Device Connected.\r\nCurrent device firmware version: 1.40\r\n");
}

TEST(StatusText, OverItsCapacityTheOldestWholeLinesGoAndTheNewestStay) {
  StatusText status;
  const int lines = static_cast<int>(kMaxLength / 20);  // exactly full after these
  for (int i = 0; i < lines; ++i) status.Append(Line(i));
  ASSERT_EQ(status.Text().size(), static_cast<std::size_t>(lines) * 20);
  ASSERT_LE(status.Text().size(), kMaxLength);

  status.Append(Line(lines));
  status.Append(Line(lines + 1));
  const std::wstring text = status.Text();
  EXPECT_LE(text.size(), kMaxLength);
  EXPECT_EQ(text.substr(0, 20), Line(2)) << "not cut at a line start";
  EXPECT_EQ(text.substr(text.size() - 20), Line(lines + 1));
}

TEST(StatusText, OneTextLargerThanTheBoxKeepsItsEndFromALineStart) {
  StatusText status;
  status.Append(L"old\r\n");
  std::wstring huge;
  for (int i = 0; huge.size() <= kMaxLength + 100; ++i) huge += Line(i);
  status.Append(huge);
  const std::wstring text = status.Text();
  EXPECT_LE(text.size(), kMaxLength);
  EXPECT_EQ(text.rfind(L"old", 0), std::wstring::npos);
  EXPECT_EQ(text.substr(0, 13), L"Packet Read: ");
  EXPECT_EQ(text.substr(text.size() - 20), huge.substr(huge.size() - 20));
}

TEST(StatusText, AppendsFromTwoThreadsLoseNothing) {
  StatusText status;
  auto writer = [&](wchar_t c) {
    for (int i = 0; i < 2000; ++i) status.Append(std::wstring(1, c) + L"\r\n");
  };
  std::thread a(writer, L'a');
  std::thread b(writer, L'b');
  for (int i = 0; i < 200; ++i) (void)status.Text().size();  // a reader meanwhile, as the dialog is
  a.join();
  b.join();
  const std::wstring text = status.Text();
  EXPECT_EQ(text.size(), 4000u * 3);
  EXPECT_EQ(std::count(text.begin(), text.end(), L'a'), 2000);
}

}  // namespace
}  // namespace tev
