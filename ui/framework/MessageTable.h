#pragma once
// A window's messages and commands as tables of small handlers, instead of one large switch: the
// dialogs' and the main window's alike.
#include <windows.h>

#include <optional>
#include <span>

namespace tev {

// A handler's result; none leaves the message to the common handling (the default procedure).
using MessageResult = std::optional<INT_PTR>;

template <typename Window>
struct MessageEntry {
  UINT message;
  MessageResult (Window::*handler)(WPARAM, LPARAM);
};

template <typename Window>
struct CommandEntry {
  WORD id;
  INT_PTR (Window::*handler)();
};

template <typename Window>
MessageResult DispatchMessageTable(Window& window, std::span<const MessageEntry<Window>> table, UINT message,
                                   WPARAM wParam, LPARAM lParam) {
  for (const auto& entry : table) {
    if (entry.message == message) return (window.*entry.handler)(wParam, lParam);
  }
  return std::nullopt;
}

// The command whose id is the whole wParam; none when no entry has it.
template <typename Window>
MessageResult DispatchCommandTable(Window& window, std::span<const CommandEntry<Window>> table, WPARAM wParam) {
  for (const auto& entry : table) {
    if (entry.id == wParam) return (window.*entry.handler)();
  }
  return std::nullopt;
}

}  // namespace tev
