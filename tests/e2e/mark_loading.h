/* For the library stand-ins: with MARK_LOADING defined, loading the DLL
 * creates "dll-loaded.log" beside it, so that a test sees whether a program
 * loaded this copy. */
#include <windows.h>
#include <string.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reserved;
#ifdef MARK_LOADING
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(instance, path, MAX_PATH);
    char *slash = n > 0 && n < MAX_PATH ? strrchr(path, '\\') : NULL;
    if (slash && (size_t)(slash + 1 - path) + sizeof "dll-loaded.log" <= MAX_PATH) {
      lstrcpyA(slash + 1, "dll-loaded.log");
      HANDLE mark = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, NULL);
      if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    }
  }
#else
  (void)instance, (void)reason;
#endif
  return TRUE;
}
