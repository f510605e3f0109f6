// capture_pattern.exe: a page-capture program for the tests of the
// launcher's web preview. It reads the launcher's command line as
// zolto_capture.exe does but, instead of a page, writes a test pattern as an
// uncompressed 24-bit BMP of 320x240: a navy border of 6 pixels around eight
// colour bands (red, green, blue, yellow, cyan, magenta, orange, grey) over
// the upper three fifths and white below. Extra arguments:
//   --fail       write nothing, exit 1
//   --garbage    write 100 bytes that start like a BMP of 4000x4000, exit 0
//   --hang=S     sleep S seconds, then exit 1 writing nothing
//   --crash      write the pattern's first 30 bytes, then die of an access
//                violation, as a capture program that breaks mid-write does
// Exit status 2: a command line it does not take; 3: the file not written.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "capture.h"

namespace {

constexpr int kWidth = 320, kHeight = 240, kBorder = 6;

// The file header and BITMAPINFOHEADER of a bottom-up 24-bit BMP of
// width x height, then room for its rows (a multiple of 4 bytes here).
std::vector<BYTE> Headers(LONG width, LONG height) {
  const DWORD imageSize = DWORD(width) * 3 * DWORD(height);
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const BITMAPFILEHEADER file{0x4D42, offset + imageSize, 0, 0, offset};
  const BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, imageSize, 0, 0, 0, 0};
  std::vector<BYTE> bytes(offset);
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
  return bytes;
}

// Red, green, blue of the pattern at x, y (y counted from the top).
DWORD Colour(int x, int y) {
  static const DWORD bands[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                0x00FFFF, 0xFF00FF, 0xFF8000, 0x808080};
  constexpr int innerWidth = kWidth - 2 * kBorder, innerHeight = kHeight - 2 * kBorder;
  if (x < kBorder || y < kBorder || x >= kWidth - kBorder || y >= kHeight - kBorder) return 0x000080;
  if (y >= kBorder + innerHeight * 3 / 5) return 0xFFFFFF;
  return bands[(x - kBorder) * 8 / innerWidth];
}

std::vector<BYTE> PatternBmp() {
  std::vector<BYTE> bytes = Headers(kWidth, kHeight);
  for (int row = kHeight - 1; row >= 0; --row) {  // bottom-up, blue first
    for (int x = 0; x < kWidth; ++x) {
      const DWORD rgb = Colour(x, row);
      bytes.insert(bytes.end(), {BYTE(rgb), BYTE(rgb >> 8), BYTE(rgb >> 16)});
    }
  }
  return bytes;
}

bool WriteWholeFile(const std::string& path, const std::vector<BYTE>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool done = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return done;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  capture::Request request;
  std::string error;
  if (!capture::ParseCommandLine(GetCommandLineA(), &request, &error)) return 2;
  std::vector<BYTE> bytes = PatternBmp();
  for (const std::string& option : request.extras) {
    unsigned seconds = 0;
    if (option == "--fail") return 1;
    if (std::sscanf(option.c_str(), "--hang=%u", &seconds) == 1) {
      Sleep(seconds * 1000);
      return 1;
    }
    if (option == "--garbage") {
      bytes = Headers(4000, 4000);
      bytes.resize(100);
    } else if (option == "--crash") {
      bytes.resize(30);
      WriteWholeFile(request.output, bytes);
      // Ended at once with the crash's code, not held by Wine's crash dialog.
      SetUnhandledExceptionFilter([](EXCEPTION_POINTERS*) -> LONG { return EXCEPTION_EXECUTE_HANDLER; });
      RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    } else {
      return 2;
    }
  }
  return WriteWholeFile(request.output, bytes) ? 0 : 3;
}
