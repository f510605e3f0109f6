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

#include "mark_loading.h"
