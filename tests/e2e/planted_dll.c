/* A DLL planted next to the installer under a system DLL's name (the
 * downloads-folder attack on elevated programs). Loading it leaves
 * "<its name>.loaded" beside it; its exports only fail, so a program that
 * really used it would not work either. */
#define NOGDI /* AlphaBlend is defined here, not imported */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH + 8];
    DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
      lstrcpyW(path + n, L".loaded");
      HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
      if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
  }
  return TRUE;
}

#define FAIL_EXPORT(name) __declspec(dllexport) void* name(void) { return NULL; }
FAIL_EXPORT(InternetOpenW)
FAIL_EXPORT(InternetConnectW)
FAIL_EXPORT(InternetCloseHandle)
FAIL_EXPORT(InternetReadFile)
FAIL_EXPORT(HttpOpenRequestW)
FAIL_EXPORT(HttpSendRequestW)
FAIL_EXPORT(HttpSendRequestExW)
FAIL_EXPORT(HttpEndRequestW)
FAIL_EXPORT(HttpQueryInfoW)
FAIL_EXPORT(AlphaBlend)
