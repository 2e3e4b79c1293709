#pragma once
// What the benchmarks run under Wine share.
#include <windows.h>

#include <string>

namespace tev::bench {

// An environment variable's value; empty when unset or too long.
inline std::wstring Env(const wchar_t* name) {
  wchar_t value[1024] = {};
  const DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
  return n > 0 && n < 1024 ? value : L"";
}

}  // namespace tev::bench
