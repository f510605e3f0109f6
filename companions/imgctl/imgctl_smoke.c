/* Loads imgctl.dll by name from the program's folder, as the launcher does,
   and calls the six exports through GetProcAddress on the pictures smoke.sh
   made in the folder given as the first argument:

     gradient.png .jpg .gif .bmp  800x600, red at the top, blue at the bottom
     text.txt                     not a picture
     truncated.png                the first half of gradient.png
     wide.bmp                     20000x1, wider than the library takes
     hostile.bmp                  claims 4000x4000, holds 100 bytes

   Prints each failed check; the exit status is the number of failures. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef HANDLE (*ToDIBFn)(const char*);
typedef int (*DIBto24BitFn)(HANDLE);
typedef int (*HeadDIBFn)(HANDLE, BITMAPINFOHEADER*);
typedef int (*ResizeDIBFn)(HANDLE, int, int);
typedef int (*GetDIBFn)(HANDLE, BITMAPINFO*, DWORD*, void*, DWORD*);
typedef int (*DeleteDIBFn)(HANDLE);

static ToDIBFn toDib;
static DIBto24BitFn dibTo24Bit;
static HeadDIBFn headDib;
static ResizeDIBFn resizeDib;
static GetDIBFn getDib;
static DeleteDIBFn deleteDib;

static int failures;
static char folder[MAX_PATH];

#define CHECK(condition, ...)            \
  do {                                   \
    if (!(condition)) {                  \
      printf("FAIL: " __VA_ARGS__);      \
      printf("  [%s]\n", #condition);    \
      ++failures;                        \
    }                                    \
  } while (0)

static const char* InFolder(const char* name) {
  static char path[2 * MAX_PATH];
  snprintf(path, sizeof path, "%s\\%s", folder, name);
  return path;
}

/* Checks the header against the expected size and depth: a bottom-up
   (positive height) uncompressed picture. */
static int CheckHead(const char* what, HANDLE dib, LONG width, LONG height, WORD bits) {
  BITMAPINFOHEADER h;
  DWORD stride = ((DWORD)width * bits + 31) / 32 * 4;
  int before = failures;
  memset(&h, 0xCC, sizeof h);
  CHECK(headDib(dib, &h) && h.biSize == 40 && h.biPlanes == 1 && h.biCompression == BI_RGB &&
            h.biWidth == width && h.biHeight == height && h.biBitCount == bits &&
            h.biSizeImage == stride * height,
        "%s: header of %lu bytes, %ldx%ld, %u planes, %u bits, compression %lu, %lu bytes "
        "of pixels; expected %ldx%ld, %u bits\n", what, h.biSize, h.biWidth, h.biHeight,
        h.biPlanes, h.biBitCount, h.biCompression, h.biSizeImage, width, height, bits);
  return failures == before;
}

/* Gets the pixels with the two calls and checks the colours: red at the top,
   blue at the bottom (the first row in memory), both in the middle row. */
static void CheckPixels(const char* what, HANDLE dib, LONG width, LONG height) {
  DWORD infoSize = 0, bitsSize = 0, stride = ((DWORD)width * 3 + 3) & ~3u;
  unsigned char info[64];
  unsigned char* bits;
  const unsigned char* p;
  CHECK(getDib(dib, NULL, &infoSize, NULL, &bitsSize), "%s: GetDIB asking sizes failed\n", what);
  CHECK(infoSize == 40 && bitsSize == stride * height, "%s: GetDIB sizes %lu and %lu\n", what,
        infoSize, bitsSize);
  if (infoSize != 40 || bitsSize != stride * height) return;
  bits = malloc(bitsSize + 1);
  if (bits == NULL) return;
  bits[bitsSize] = 0x5A;
  infoSize = 39;
  CHECK(!getDib(dib, (BITMAPINFO*)info, &infoSize, bits, &bitsSize),
        "%s: GetDIB accepted a header buffer one byte short\n", what);
  infoSize = sizeof info;
  CHECK(getDib(dib, (BITMAPINFO*)info, &infoSize, bits, &bitsSize), "%s: GetDIB failed\n", what);
  CHECK(((BITMAPINFOHEADER*)info)->biWidth == width, "%s: GetDIB header width\n", what);
  CHECK(bits[bitsSize] == 0x5A, "%s: GetDIB wrote past the pixels\n", what);
  p = bits + width / 2 * 3;  /* bottom row: blue */
  CHECK(p[0] > 200 && p[2] < 56, "%s: bottom pixel B%u G%u R%u, expected blue\n", what, p[0],
        p[1], p[2]);
  p = bits + (DWORD)(height - 1) * stride + width / 2 * 3;  /* top row: red */
  CHECK(p[2] > 200 && p[0] < 56, "%s: top pixel B%u G%u R%u, expected red\n", what, p[0],
        p[1], p[2]);
  p = bits + (DWORD)(height / 2) * stride + width / 2 * 3;  /* middle: both */
  CHECK(p[0] > 64 && p[0] < 192 && p[2] > 64 && p[2] < 192,
        "%s: middle pixel B%u G%u R%u, expected purple\n", what, p[0], p[1], p[2]);
  free(bits);
}

static void CheckPicture(const char* name) {
  HANDLE dib = toDib(InFolder(name));
  BITMAPINFOHEADER header;
  char what[64];
  CHECK(dib != NULL, "ToDIB(%s) returned 0\n", name);
  if (dib == NULL) return;
  snprintf(what, sizeof what, "%s as decoded", name);
  CheckHead(what, dib, 800, 600, 32);
  CHECK(dibTo24Bit(dib), "%s: DIBto24Bit failed\n", name);
  snprintf(what, sizeof what, "%s at 24 bits", name);
  if (CheckHead(what, dib, 800, 600, 24)) CheckPixels(what, dib, 800, 600);

  /* 66.67 pixels wide rounds to 67; rows of 201 bytes are padded to 204. */
  CHECK(resizeDib(dib, -1, 50), "%s: ResizeDIB(-1, 50) failed\n", name);
  snprintf(what, sizeof what, "%s at 50 high", name);
  if (CheckHead(what, dib, 67, 50, 24)) CheckPixels(what, dib, 67, 50);
  CHECK(!resizeDib(dib, -1, -1) && !resizeDib(dib, 0, 10) && !resizeDib(dib, 20000, -1),
        "%s: ResizeDIB accepted a bad size\n", name);
  snprintf(what, sizeof what, "%s after refused resizes", name);
  CheckHead(what, dib, 67, 50, 24);

  CHECK(deleteDib(dib), "%s: DeleteDIB failed\n", name);
  CHECK(!deleteDib(dib) && !headDib(dib, &header), "%s: a freed DIB was accepted\n", name);
}

static void CheckRefusals(void) {
  static const char* const notPictures[] = {"missing.png", "text.txt", "truncated.png",
                                            "wide.bmp", "hostile.bmp"};
  BITMAPINFOHEADER header;
  DWORD infoSize = 0, bitsSize = 0;
  HANDLE bogus = (HANDLE)(ULONG_PTR)12345;
  size_t i;
  for (i = 0; i < sizeof notPictures / sizeof notPictures[0]; ++i) {
    HANDLE dib = toDib(InFolder(notPictures[i]));
    CHECK(dib == NULL, "ToDIB(%s) did not return 0\n", notPictures[i]);
    if (dib != NULL) deleteDib(dib);
  }
  CHECK(toDib(NULL) == NULL && toDib("") == NULL && toDib(folder) == NULL,
        "ToDIB accepted NULL, \"\" or a folder\n");
  CHECK(!deleteDib(NULL) && !deleteDib(bogus) && !headDib(bogus, &header) &&
            !dibTo24Bit(bogus) && !resizeDib(bogus, 10, 10) &&
            !getDib(bogus, NULL, &infoSize, NULL, &bitsSize),
        "an export accepted a null or made-up handle\n");
}

/* ToDIB sets COM up for itself and leaves the thread as it found it: first
   with nothing set up (so the caller's first CoInitializeEx is the first
   one), then in each kind of apartment of the caller's, which must stay. */
static void CheckCom(void) {
  static const DWORD models[] = {COINIT_APARTMENTTHREADED, COINIT_MULTITHREADED};
  HANDLE dib = toDib(InFolder("gradient.png"));
  HRESULT result;
  int i;
  CHECK(dib != NULL, "ToDIB without COM failed\n");
  deleteDib(dib);
  for (i = 0; i < 2; ++i) {
    result = CoInitializeEx(NULL, models[i]);
    CHECK(result == S_OK, "ToDIB left COM initialised (0x%08lx)\n", (unsigned long)result);
    dib = toDib(InFolder("gradient.png"));
    CHECK(dib != NULL, "ToDIB in the caller's apartment (model %lu) failed\n", models[i]);
    deleteDib(dib);
    result = CoInitializeEx(NULL, models[i]);
    CHECK(result == S_FALSE, "ToDIB ended the caller's COM (0x%08lx)\n", (unsigned long)result);
    CoUninitialize();
    CoUninitialize();
  }
}

int main(int argc, char** argv) {
  static const char* const pictures[] = {"gradient.png", "gradient.jpg", "gradient.gif",
                                         "gradient.bmp"};
  HMODULE dll;
  size_t i;
  if (argc < 2 || strlen(argv[1]) >= sizeof folder) {
    printf("usage: imgctl_smoke FOLDER\n");
    return 1;
  }
  strcpy(folder, argv[1]);
  dll = LoadLibraryA("imgctl.dll");
  if (dll == NULL) {
    printf("FAIL: LoadLibraryA(imgctl.dll): error %lu\n", GetLastError());
    return 1;
  }
  toDib = (ToDIBFn)(void*)GetProcAddress(dll, "ToDIB");
  dibTo24Bit = (DIBto24BitFn)(void*)GetProcAddress(dll, "DIBto24Bit");
  headDib = (HeadDIBFn)(void*)GetProcAddress(dll, "HeadDIB");
  resizeDib = (ResizeDIBFn)(void*)GetProcAddress(dll, "ResizeDIB");
  getDib = (GetDIBFn)(void*)GetProcAddress(dll, "GetDIB");
  deleteDib = (DeleteDIBFn)(void*)GetProcAddress(dll, "DeleteDIB");
  if (!toDib || !dibTo24Bit || !headDib || !resizeDib || !getDib || !deleteDib) {
    printf("FAIL: an export is missing\n");
    return 1;
  }

  CheckCom();
  for (i = 0; i < sizeof pictures / sizeof pictures[0]; ++i) CheckPicture(pictures[i]);
  CheckRefusals();
  FreeLibrary(dll);
  if (failures == 0) printf("imgctl.dll: all checks passed\n");
  return failures;
}
