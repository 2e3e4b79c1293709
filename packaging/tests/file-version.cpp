// Prints what Explorer's Properties show of each program's version resource, one line a value,
// "FILE Name: value": FileVersion, ProductVersion, ProductName, FileDescription and the fixed file
// version (FILE as given). Exit status 1 when a file has no version resource.
//   file-version.exe FILE...
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

bool PrintVersion(const wchar_t* file) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(file, &ignored);
  std::vector<unsigned char> data(size);
  if (size == 0 || !::GetFileVersionInfoW(file, 0, size, data.data())) {
    std::printf("%ls no version resource\n", file);
    return false;
  }
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion", L"ProductName", L"FileDescription"}) {
    wchar_t path[96];
    swprintf(path, 96, L"\\StringFileInfo\\040904B0\\%ls", name);
    wchar_t* value = nullptr;
    UINT length = 0;
    const bool found = ::VerQueryValueW(data.data(), path, reinterpret_cast<void**>(&value), &length) && length > 0;
    std::printf("%ls %ls: %ls\n", file, name, found ? value : L"");
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
    std::printf("%ls Fixed: %d.%d.%d.%d\n", file, HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  int status = 0;
  for (int i = 1; i < argc; ++i)
    if (!PrintVersion(argv[i])) status = 1;
  return status;
}
