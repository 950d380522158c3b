/* A library planted beside the program file under a system library's name (IPHLPAPI.DLL,
 * WINSPOOL.DRV), as a download beside an installer could be. Loaded into a process, it leaves
 * the file "<its own path>.loaded" behind and declines to stay; the program must never load
 * it. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH + 8] = {0};
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      lstrcatW(path, L".loaded");
      HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
      if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    }
    return FALSE;
  }
  return TRUE;
}
