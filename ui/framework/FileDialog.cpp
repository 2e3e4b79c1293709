#include "ui/framework/FileDialog.h"

#include <algorithm>
#include <array>

namespace tev {

std::optional<std::wstring> AskForFile(HWND owner, const FileQuestion& question) {
  std::array<wchar_t, 2048> name{};
  question.proposedName.copy(name.data(), std::min(question.proposedName.size(), name.size() - 1));
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = question.shortStructure ? OPENFILENAME_SIZE_VERSION_400W : sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = question.filter;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrTitle = question.title.c_str();
  ofn.lpstrDefExt = question.defaultExtension;
  ofn.Flags = question.flags;
  const BOOL chosen =
      question.kind == FileQuestion::Kind::Save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
  if (!chosen) return std::nullopt;
  return std::wstring(name.data());
}

}  // namespace tev
