/* Loads BREGEXP.DLL by name from the program's folder, as the launcher does,
   and calls both exports through GetProcAddress. Prints each failed check;
   the exit status is the number of failures. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

typedef int(__cdecl* BMatchFn)(const char*, const char*, const char*, void**, char*);
typedef void(__cdecl* BRegfreeFn)(void*);

static BMatchFn bmatch;
static int failures;

static void Expect(const char* expression, const char* subject, int expected, void** handle) {
  char message[80];
  int got;
  memset(message, 'X', sizeof message);
  got = bmatch(expression, subject, subject + strlen(subject), handle, message);
  if (got != expected) {
    printf("FAIL: %s on \"%s\": %d, expected %d (%.79s)\n", expression, subject, got,
           expected, got < 0 ? message : "");
    ++failures;
  }
  if (memchr(message, '\0', sizeof message) == NULL) {
    printf("FAIL: %s: message not terminated within 80 bytes\n", expression);
    ++failures;
  }
}

int main(void) {
  HMODULE dll = LoadLibraryA("BREGEXP.DLL");
  BRegfreeFn bregfree;
  void* handle = NULL;
  void* kept;
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
  Expect("m#^c:\\\\work\\\\#i", "C:\\Work\\a.txt", 1, &handle);
  Expect("/\xC0/i", "\xE0", 0, &handle);         /* no folding above 0x7F */
  Expect("/^\\x95\\x5C/", "\x95\x5C.txt", 1, &handle);
  Expect("/a(/", "a", -3, &handle);
  Expect("m/abc", "abc", -2, &handle);
  Expect("/(a*)*b/", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", -4,
         &handle);
  Expect("/(?1)((a+)\\2)/", "aab", -4, &handle); /* would read past the subject */
  if (bmatch("/a/", "a", NULL, &handle, NULL) != -1) {
    printf("FAIL: a null end pointer was accepted\n");
    ++failures;
  }
  bregfree(handle);
  bregfree(NULL);
  FreeLibrary(dll);
  if (failures == 0) printf("BREGEXP.DLL: all checks passed\n");
  return failures;
}
