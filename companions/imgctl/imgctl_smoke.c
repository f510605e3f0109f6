/* Loads imgctl.dll by name from the program's folder, as the launcher does,
   and calls the six exports through GetProcAddress on the files smoke.sh
   made in the folder given as the first argument: picture.png (800x600, red
   at the top, blue at the bottom), text.txt (not a picture), wide.bmp
   (20000x1, wider than the library takes), hostile.bmp (claims 4000x4000,
   holds 100 bytes). The buffer and scaling are tested natively; here the
   decoding, the exports and COM. Prints each failed check; the exit status
   is the number of failures. */
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
static char folder[MAX_PATH], path[2 * MAX_PATH];

#define CHECK(condition, ...)                                  \
  do {                                                         \
    if (!(condition)) {                                        \
      printf("FAIL: " __VA_ARGS__);                            \
      printf("  [%s]\n", #condition);                          \
      ++failures;                                              \
    }                                                          \
  } while (0)

static const char* InFolder(const char* name) {
  snprintf(path, sizeof path, "%s\\%s", folder, name);
  return path;
}

int main(int argc, char** argv) {
  static const char* const notPictures[] = {"missing.png", "text.txt", "wide.bmp", "hostile.bmp"};
  static const DWORD models[] = {COINIT_APARTMENTTHREADED, COINIT_MULTITHREADED};
  HMODULE dll = LoadLibraryA("imgctl.dll");
  BITMAPINFOHEADER h;
  DWORD infoSize = 0, bitsSize = 0, stride;
  unsigned char info[64], *bits;
  HANDLE dib;
  int i;
  if (argc < 2 || strlen(argv[1]) >= sizeof folder || dll == NULL) {
    printf("FAIL: usage imgctl_smoke FOLDER, beside imgctl.dll (error %lu)\n", GetLastError());
    return 1;
  }
  strcpy(folder, argv[1]);
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
     nothing set up, and in each kind of apartment of the caller's. */
  deleteDib(toDib(InFolder("picture.png")));
  for (i = 0; i < 2; ++i) {
    CHECK(CoInitializeEx(NULL, models[i]) == S_OK, "ToDIB left COM initialised\n");
    dib = toDib(InFolder("picture.png"));
    CHECK(dib != NULL, "ToDIB in the caller's apartment (model %lu) failed\n", models[i]);
    deleteDib(dib);
    CHECK(CoInitializeEx(NULL, models[i]) == S_FALSE, "ToDIB ended the caller's COM\n");
    CoUninitialize();
    CoUninitialize();
  }

  /* Decoded at 32 bits, bottom-up; then 24 bits, scaled to 67x50 (66.67
     rounds up; rows of 201 bytes padded to 204), red still at the top. */
  dib = toDib(InFolder("picture.png"));
  CHECK(headDib(dib, &h) && h.biWidth == 800 && h.biHeight == 600 && h.biBitCount == 32,
        "decoded header %ldx%ld, %u bits\n", h.biWidth, h.biHeight, h.biBitCount);
  CHECK(to24(dib) && resizeDib(dib, -1, 50) && !resizeDib(dib, -1, -1), "DIBto24Bit, ResizeDIB\n");
  CHECK(headDib(dib, &h) && h.biWidth == 67 && h.biHeight == 50 && h.biBitCount == 24 &&
            h.biSizeImage == 204 * 50 && h.biCompression == BI_RGB,
        "scaled header %ldx%ld, %u bits, %lu bytes\n", h.biWidth, h.biHeight, h.biBitCount,
        h.biSizeImage);
  CHECK(getDib(dib, NULL, &infoSize, NULL, &bitsSize) && infoSize == 40 && bitsSize == 204 * 50,
        "GetDIB sizes %lu and %lu\n", infoSize, bitsSize);
  bits = malloc(bitsSize + 1);
  bits[bitsSize] = 0x5A;
  infoSize = sizeof info;
  CHECK(getDib(dib, (BITMAPINFO*)info, &infoSize, bits, &bitsSize) && bits[bitsSize] == 0x5A,
        "GetDIB failed or wrote past the pixels\n");
  stride = 204;
  CHECK(bits[33 * 3] > 200 && bits[33 * 3 + 2] < 56, "the bottom row is not blue\n");
  CHECK(bits[49 * stride + 33 * 3 + 2] > 200 && bits[49 * stride + 33 * 3] < 56,
        "the top row is not red\n");
  free(bits);
  CHECK(deleteDib(dib) && !deleteDib(dib) && !headDib(dib, &h), "a freed DIB was accepted\n");

  for (i = 0; i < 4; ++i)
    CHECK(toDib(InFolder(notPictures[i])) == NULL, "ToDIB took %s\n", notPictures[i]);
  CHECK(toDib(NULL) == NULL && toDib("") == NULL && toDib(folder) == NULL,
        "ToDIB took NULL, \"\" or a folder\n");
  dib = (HANDLE)(ULONG_PTR)12345;
  CHECK(!deleteDib(NULL) && !headDib(dib, &h) && !to24(dib) && !resizeDib(dib, 10, 10) &&
            !getDib(dib, NULL, &infoSize, NULL, &bitsSize),
        "an export accepted a null or made-up handle\n");
  FreeLibrary(dll);
  if (failures == 0) printf("imgctl.dll: all checks passed\n");
  return failures;
}
