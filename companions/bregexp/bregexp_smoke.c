/* Loads BREGEXP.DLL by name from the program's folder, as the launcher does,
   and calls both exports through GetProcAddress: the matcher's semantics are
   tested natively; here the exports, the handle passed through them, and a
   runaway search on a Windows thread's smaller stack. Prints each failed
   check; the exit status is the number of failures. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

typedef int(__cdecl* BMatchFn)(const char*, const char*, const char*, void**, char*);
typedef void(__cdecl* BRegfreeFn)(void*);

static BMatchFn bmatch;
static int failures;

static void Expect(const char* expression, const char* subject, int expected, void** handle) {
  char message[80] = "";
  int got = bmatch(expression, subject, subject + strlen(subject), handle, message);
  if (got != expected) {
    printf("FAIL: %s on \"%.40s\": %d, expected %d (%.79s)\n", expression, subject, got,
           expected, message);
    ++failures;
  }
}

int main(void) {
  HMODULE dll = LoadLibraryA("BREGEXP.DLL");
  BRegfreeFn bregfree;
  void *handle = NULL, *kept;
  char as[70];
  if (dll == NULL) {
    printf("FAIL: LoadLibraryA(BREGEXP.DLL): error %lu\n", GetLastError());
    return 1;
  }
  bmatch = (BMatchFn)(void*)GetProcAddress(dll, "BMatch");
  bregfree = (BRegfreeFn)(void*)GetProcAddress(dll, "BRegfree");
  if (bmatch == NULL || bregfree == NULL) {
    printf("FAIL: BMatch or BRegfree not exported\n");
    return 1;
  }
  Expect("/\\.txt$/i", "C:\\Work\\a.TXT", 1, &handle);
  kept = handle;
  Expect("/\\.txt$/i", "C:\\Work\\a.doc", 0, &handle);
  if (handle == NULL || handle != kept) {
    printf("FAIL: the compiled expression was not kept and reused\n");
    ++failures;
  }
  memset(as, 'a', sizeof as - 1);
  as[sizeof as - 1] = '\0';
  Expect("/(a*)*b/", as, -4, &handle);
  bregfree(handle);
  FreeLibrary(dll);
  if (failures == 0) printf("BREGEXP.DLL: all checks passed\n");
  return failures;
}
