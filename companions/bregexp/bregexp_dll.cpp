// BREGEXP.DLL: the two exports the launcher finds with GetProcAddress. The
// work is in bmatch.cpp, whose Match catches every exception itself (it is
// noexcept), so nothing thrown reaches the caller. bregexp.def keeps the
// exported names undecorated.

#include "bmatch.h"

extern "C" {

// Returns 1 on a match, 0 on none, a negative bregexp::Status on error (with a
// message of at most 79 characters in the caller's 80-byte buffer).
__declspec(dllexport) int BMatch(const char* expression, const char* subjectStart,
                                 const char* subjectEnd, void** handle, char* message) {
  if (handle == nullptr) {
    return bregexp::Match(expression, subjectStart, subjectEnd, nullptr, message);
  }
  auto* compiled = static_cast<bregexp::Expression*>(*handle);
  const int result = bregexp::Match(expression, subjectStart, subjectEnd, &compiled, message);
  *handle = compiled;
  return result;
}

__declspec(dllexport) void BRegfree(void* handle) {
  bregexp::Free(static_cast<bregexp::Expression*>(handle));
}

}  // extern "C"
