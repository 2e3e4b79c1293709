#pragma once
// A dialog's messages and commands as tables of small handlers, instead of one large switch.
#include <windows.h>

#include <optional>
#include <span>

namespace tev {

// A handler's result; none leaves the message to the common handling.
using DialogResult = std::optional<INT_PTR>;

template <typename Dialog>
struct MessageEntry {
  UINT message;
  DialogResult (Dialog::*handler)(WPARAM, LPARAM);
};

template <typename Dialog>
struct CommandEntry {
  WORD id;
  INT_PTR (Dialog::*handler)();
};

template <typename Dialog>
DialogResult DispatchMessageTable(Dialog& dialog, std::span<const MessageEntry<Dialog>> table, UINT message,
                             WPARAM wParam, LPARAM lParam) {
  for (const auto& entry : table) {
    if (entry.message == message) return (dialog.*entry.handler)(wParam, lParam);
  }
  return std::nullopt;
}

// The command whose id is the whole wParam; none when no entry has it.
template <typename Dialog>
DialogResult DispatchCommandTable(Dialog& dialog, std::span<const CommandEntry<Dialog>> table, WPARAM wParam) {
  for (const auto& entry : table) {
    if (entry.id == wParam) return (dialog.*entry.handler)();
  }
  return std::nullopt;
}

}  // namespace tev
