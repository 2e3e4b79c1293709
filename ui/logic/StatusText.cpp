#include "ui/logic/StatusText.h"

namespace tev {

void StatusText::Append(const std::wstring& text) {
  constexpr std::size_t kMaxLength = kCapacity - 1;
  std::lock_guard lock(mutex_);
  if (text.size() >= kMaxLength) {
    // One append larger than the whole box: keep its end, from a line start where there is one.
    std::size_t from = text.size() - kMaxLength;
    if (from > 0 && text[from - 1] != L'\n') {
      const std::size_t next = text.find(L'\n', from);
      if (next != std::wstring::npos && next + 1 < text.size()) from = next + 1;
    }
    text_.assign(text, from, std::wstring::npos);
    return;
  }
  text_ += text;
  if (text_.size() <= kMaxLength) return;
  // Drop whole lines from the front until the text fits.
  const std::size_t excess = text_.size() - kMaxLength;
  std::size_t cut = text_.find(L'\n', excess - 1);
  cut = (cut == std::wstring::npos) ? excess : cut + 1;
  text_.erase(0, cut);
}

std::wstring StatusText::Text() const {
  std::lock_guard lock(mutex_);
  return text_;
}

}  // namespace tev
