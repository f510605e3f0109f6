/* Stand-ins for the libraries the launcher loads by name, built once for
 * each variant (CMakeLists.txt), each with a part of the interface:
 *   BREGEXP       BMatch, which matches every subject, and BRegfree, which
 *                 has nothing to release; NO_BMATCH, NO_BREGFREE leave one out
 *   IMGCTL        ToDIB takes any file and gives a 100x100 picture of one
 *                 colour, pure green, so a test sees from the menu whether
 *                 the launcher drew it; nothing is decoded. NO_TO24BIT,
 *                 NO_GETDIB leave out DIBto24Bit or GetDIB */
#include <windows.h>
#include <string.h>

#if defined(BREGEXP) && !defined(NO_BMATCH)
__declspec(dllexport) int BMatch(const char *expression, const char *start, const char *end,
                                 void **handle, char *message) {
  (void)expression, (void)start, (void)end, (void)message;
  *handle = NULL;
  return 1;
}
#endif

#if defined(BREGEXP) && !defined(NO_BREGFREE)
__declspec(dllexport) void BRegfree(void *handle) { (void)handle; }
#endif

#ifdef IMGCTL
enum { kSide = 100, kRowBytes = kSide * 3 };
static const HANDLE kPicture = (HANDLE)(INT_PTR)0x5a17;

static void FillHeader(BITMAPINFOHEADER *header) {
  memset(header, 0, sizeof *header);
  header->biSize = sizeof *header;
  header->biWidth = kSide;
  header->biHeight = kSide;
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biCompression = BI_RGB;
  header->biSizeImage = kRowBytes * kSide;
}

__declspec(dllexport) HANDLE ToDIB(const char *path) { return path ? kPicture : NULL; }

#ifndef NO_TO24BIT
__declspec(dllexport) int DIBto24Bit(HANDLE dib) { return dib == kPicture; }
#endif

__declspec(dllexport) int HeadDIB(HANDLE dib, BITMAPINFOHEADER *header) {
  if (dib != kPicture || !header) return 0;
  FillHeader(header);
  return 1;
}

__declspec(dllexport) int ResizeDIB(HANDLE dib, int width, int height) {
  (void)width, (void)height;
  return dib == kPicture;
}

#ifndef NO_GETDIB
__declspec(dllexport) int GetDIB(HANDLE dib, BITMAPINFO *info, DWORD *infoSize, void *bits,
                                 DWORD *bitsSize) {
  if (dib != kPicture || !infoSize || !bitsSize) return 0;
  const DWORD infoNeeded = sizeof(BITMAPINFOHEADER), bitsNeeded = kRowBytes * kSide;
  if (info && bits) {
    if (*infoSize < infoNeeded || *bitsSize < bitsNeeded) return 0;
    FillHeader(&info->bmiHeader);
    unsigned char *pixel = bits;
    for (DWORD i = 0; i < bitsNeeded; i += 3) {  /* blue, green, red */
      pixel[i] = 0;
      pixel[i + 1] = 255;
      pixel[i + 2] = 0;
    }
  }
  *infoSize = infoNeeded;
  *bitsSize = bitsNeeded;
  return 1;
}
#endif

__declspec(dllexport) int DeleteDIB(HANDLE dib) { return dib == kPicture; }
#endif
