#pragma once
// Where the programs load DLLs from: the system folder only, never the folder the exe lies in
// (a Downloads folder may hold a planted hid.dll). Called first thing in each Windows entry point;
// the DLLs that are not known to the system are delay-loaded (cmake/DelayLoad.cmake), so none of
// them has been loaded before.
#include <windows.h>

namespace tev::win32 {

inline void LoadDllsFromSystemFolderOnly() {
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  ::SetDllDirectoryW(L"");  // and not the current folder either
}

}  // namespace tev::win32
