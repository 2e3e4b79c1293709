#pragma once
// The text of a dialog's status box: lines that a worker and the dialog's own thread append, read
// back whole by the dialog thread to show. It holds at most `kCapacity` characters with the
// terminator; past that the oldest whole lines go, so that the newest text always shows.
#include <cstddef>
#include <mutex>
#include <string>

namespace tev {

class StatusText {
 public:
  static constexpr std::size_t kCapacity = 131072;  // wide characters, terminator included

  void Append(const std::wstring& text);
  std::wstring Text() const;

 private:
  mutable std::mutex mutex_;  // the worker appends while the dialog thread reads
  std::wstring text_;
};

}  // namespace tev
