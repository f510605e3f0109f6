/* Loads imgctl.dll by name from the program's folder, as the launcher does,
   and calls each export through GetProcAddress on picture.png (800x600, red
   at the top, blue at the bottom) in the folder given as the first argument.
   The buffers, the scaling and the refusals are tested natively; here the
   decoding through the system's codecs, the exports and COM. Prints each
   failed check; the exit status is the number of failures. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

typedef HANDLE (*ToDIBFn)(const char*);
typedef int (*DIBto24BitFn)(HANDLE);
typedef int (*HeadDIBFn)(HANDLE, BITMAPINFOHEADER*);
typedef int (*ResizeDIBFn)(HANDLE, int, int);
typedef int (*GetDIBFn)(HANDLE, BITMAPINFO*, DWORD*, void*, DWORD*);
typedef int (*DeleteDIBFn)(HANDLE);

static int failures;

#define CHECK(condition, what)                               \
  do {                                                       \
    if (!(condition)) {                                      \
      printf("FAIL: %s  [%s]\n", what, #condition);          \
      ++failures;                                            \
    }                                                        \
  } while (0)

int main(int argc, char** argv) {
  HMODULE dll = LoadLibraryA("imgctl.dll");
  char path[2 * MAX_PATH];
  BITMAPINFOHEADER h;
  DWORD infoSize = 0, bitsSize = 0;
  unsigned char info[64], *bits;
  HANDLE dib;
  if (argc < 2 || dll == NULL) {
    printf("FAIL: usage imgctl_smoke FOLDER, beside imgctl.dll (error %lu)\n", GetLastError());
    return 1;
  }
  snprintf(path, sizeof path, "%s\\picture.png", argv[1]);
  ToDIBFn toDib = (ToDIBFn)(void*)GetProcAddress(dll, "ToDIB");
  DIBto24BitFn to24 = (DIBto24BitFn)(void*)GetProcAddress(dll, "DIBto24Bit");
  HeadDIBFn headDib = (HeadDIBFn)(void*)GetProcAddress(dll, "HeadDIB");
  ResizeDIBFn resizeDib = (ResizeDIBFn)(void*)GetProcAddress(dll, "ResizeDIB");
  GetDIBFn getDib = (GetDIBFn)(void*)GetProcAddress(dll, "GetDIB");
  DeleteDIBFn deleteDib = (DeleteDIBFn)(void*)GetProcAddress(dll, "DeleteDIB");
  if (!toDib || !to24 || !headDib || !resizeDib || !getDib || !deleteDib) {
    printf("FAIL: an export is missing\n");
    return 1;
  }

  /* ToDIB sets COM up for itself and leaves the thread as it found it: with
     nothing set up, and in the caller's apartment. */
  deleteDib(toDib(path));
  CHECK(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED) == S_OK, "ToDIB left COM initialised");
  dib = toDib(path);
  CHECK(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED) == S_FALSE, "ToDIB ended the caller's COM");
  CoUninitialize();
  CoUninitialize();

  /* Decoded at 32 bits; then 24 bits scaled to 67x50 (rows of 201 bytes
     padded to 204), bottom-up: blue in the first row, red in the last. */
  CHECK(headDib(dib, &h) && h.biWidth == 800 && h.biHeight == 600 && h.biBitCount == 32,
        "the decoded header");
  CHECK(to24(dib) && resizeDib(dib, -1, 50), "DIBto24Bit, ResizeDIB");
  CHECK(getDib(dib, NULL, &infoSize, NULL, &bitsSize) && bitsSize == 204 * 50, "GetDIB's sizes");
  bits = malloc(bitsSize);
  CHECK(getDib(dib, (BITMAPINFO*)info, &infoSize, bits, &bitsSize) && bits[33 * 3] > 200 &&
            bits[49 * 204 + 33 * 3 + 2] > 200,
        "GetDIB's pixels");
  free(bits);
  CHECK(deleteDib(dib) && !deleteDib(dib), "DeleteDIB");
  CHECK(toDib(argv[1]) == NULL, "ToDIB took a folder");
  FreeLibrary(dll);
  if (failures == 0) printf("imgctl.dll: all checks passed\n");
  return failures;
}
