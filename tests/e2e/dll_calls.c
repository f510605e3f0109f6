/* Calls the companions' exports as another program may, where the
   launcher's own calls (rows with the real BREGEXP.DLL and imgctl.dll) show
   nothing: BREGEXP.DLL exports BRegfree, hands the compiled expression back
   for reuse and refuses a runaway search on a Windows thread's smaller stack;
   imgctl.dll's ToDIB sets COM up for itself and leaves the thread as it found
   it, DIBto24Bit makes 24 bits (the launcher draws 32 as well), and ToDIB
   and DeleteDIB refuse a folder and a freed handle. Loads both
   by name from its own folder; FOLDER holds picture.png.
     dll_calls FOLDER
   Prints each failed check; the exit status is the number of failures. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

typedef int(__cdecl* BMatchFn)(const char*, const char*, const char*, void**, char*);
typedef void(__cdecl* BRegfreeFn)(void*);
typedef HANDLE (*ToDIBFn)(const char*);
typedef int (*DIBto24BitFn)(HANDLE);
typedef int (*HeadDIBFn)(HANDLE, BITMAPINFOHEADER*);
typedef int (*DeleteDIBFn)(HANDLE);

static int failures;

#define CHECK(condition, what)                      \
  do {                                              \
    if (!(condition)) {                             \
      printf("FAIL: %s  [%s]\n", what, #condition); \
      ++failures;                                   \
    }                                               \
  } while (0)

static void Bregexp(void) {
  HMODULE dll = LoadLibraryA("BREGEXP.DLL");
  BMatchFn bmatch = (BMatchFn)(void*)GetProcAddress(dll, "BMatch");
  BRegfreeFn bregfree = (BRegfreeFn)(void*)GetProcAddress(dll, "BRegfree");
  const char* subject = "C:\\Work\\a.doc";
  char as[70], message[80];
  void *handle = NULL, *kept;
  CHECK(bmatch && bregfree, "BREGEXP.DLL exports BMatch and BRegfree");
  if (!bmatch || !bregfree) return;
  bmatch("/\\.txt$/i", subject, subject + strlen(subject), &handle, message);
  kept = handle;
  CHECK(bmatch("/\\.txt$/i", subject, subject + strlen(subject), &handle, message) == 0 && handle &&
            handle == kept,
        "the compiled expression is handed back and reused");
  memset(as, 'a', sizeof as - 1);
  as[sizeof as - 1] = '\0';
  CHECK(bmatch("/(a*)*b/", as, as + strlen(as), &handle, message) == -4, "a runaway search is refused");
  bregfree(handle);
  FreeLibrary(dll);
}

static void Imgctl(const char* folder) {
  HMODULE dll = LoadLibraryA("imgctl.dll");
  ToDIBFn toDib = (ToDIBFn)(void*)GetProcAddress(dll, "ToDIB");
  DIBto24BitFn to24 = (DIBto24BitFn)(void*)GetProcAddress(dll, "DIBto24Bit");
  HeadDIBFn headDib = (HeadDIBFn)(void*)GetProcAddress(dll, "HeadDIB");
  DeleteDIBFn deleteDib = (DeleteDIBFn)(void*)GetProcAddress(dll, "DeleteDIB");
  char path[2 * MAX_PATH];
  BITMAPINFOHEADER header;
  HANDLE dib;
  CHECK(toDib && to24 && headDib && deleteDib, "imgctl.dll exports ToDIB, DIBto24Bit, HeadDIB, DeleteDIB");
  if (!toDib || !to24 || !headDib || !deleteDib) return;
  snprintf(path, sizeof path, "%s\\picture.png", folder);
  deleteDib(toDib(path));
  CHECK(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED) == S_OK, "ToDIB left COM initialised");
  dib = toDib(path);
  CHECK(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED) == S_FALSE, "ToDIB ended the caller's COM");
  CoUninitialize();
  CoUninitialize();
  CHECK(to24(dib) && headDib(dib, &header) && header.biBitCount == 24, "DIBto24Bit makes 24 bits");
  CHECK(dib && deleteDib(dib) && !deleteDib(dib), "DeleteDIB frees a picture once");
  CHECK(toDib(folder) == NULL, "ToDIB took a folder");
  FreeLibrary(dll);
}

int main(int argc, char** argv) {
  if (argc != 2) return 100;
  Bregexp();
  Imgctl(argv[1]);
  return failures;
}
