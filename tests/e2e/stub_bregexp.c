/* Stand-ins named BREGEXP.DLL for the fault tests, built several times with
 * different parts of the library's interface:
 *   WITH_BMATCH    BMatch, which matches every subject (returns 1)
 *   WITH_BREGFREE  BRegfree, which has nothing to release
 *   MARK_LOADING   on loading, creates "dll-loaded.log" beside the DLL, so a
 *                  test sees whether a program loaded this copy */
#include <windows.h>

#ifdef WITH_BMATCH
__declspec(dllexport) int BMatch(const char *expression, const char *start, const char *end,
                                 void **handle, char *message) {
  (void)expression, (void)start, (void)end, (void)message;
  *handle = NULL;
  return 1;
}
#endif

#ifdef WITH_BREGFREE
__declspec(dllexport) void BRegfree(void *handle) { (void)handle; }
#endif

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
