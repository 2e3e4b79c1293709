/* A DLL that only leaves a mark: loaded, it writes "<its own path>.loaded" beside itself. Planted
   under the name of a DLL a program imports, it shows whether the program loads DLLs from its
   own folder. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH + 8] = {0};
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    lstrcpyW(path + length, L".loaded");
    HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
  }
  return TRUE;
}
