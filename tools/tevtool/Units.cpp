#include "tools/tevtool/Units.h"

namespace tev::tool {

std::optional<Units> ParseUnits(const std::wstring& text) {
  if (text == L"m") return kMetric;
  if (text == L"ft") return kImperial;
  return std::nullopt;
}

}  // namespace tev::tool
