// Prints what Explorer's Properties show of a program's version resource, one "Name: value" line
// each: FileVersion, ProductVersion, ProductName, FileDescription and the fixed file version.
// Exit status 1 when the file has no version resource.
//   file-version.exe FILE
#include <windows.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(argv[1], &ignored);
  std::vector<unsigned char> data(size);
  if (size == 0 || !::GetFileVersionInfoW(argv[1], 0, size, data.data())) {
    std::printf("no version resource\n");
    return 1;
  }
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion", L"ProductName", L"FileDescription"}) {
    wchar_t path[96];
    swprintf(path, 96, L"\\StringFileInfo\\040904B0\\%ls", name);
    wchar_t* value = nullptr;
    UINT length = 0;
    const bool found = ::VerQueryValueW(data.data(), path, reinterpret_cast<void**>(&value), &length) && length > 0;
    std::printf("%ls: %ls\n", name, found ? value : L"");
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
    std::printf("Fixed: %d.%d.%d.%d\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  return 0;
}
