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

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "capture.h"

namespace {

constexpr int kWidth = 320, kHeight = 240, kBorder = 6;

struct Pattern {
  bool fail = false, garbage = false, crash = false;
  unsigned hangSeconds = 0;
};

bool ReadPatternOptions(const std::vector<std::string>& extras, Pattern* pattern) {
  for (const std::string& option : extras) {
    if (option == "--fail") {
      pattern->fail = true;
    } else if (option == "--garbage") {
      pattern->garbage = true;
    } else if (option == "--crash") {
      pattern->crash = true;
    } else if (std::sscanf(option.c_str(), "--hang=%u", &pattern->hangSeconds) != 1) {
      return false;
    }
  }
  return true;
}

void Put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = std::uint8_t(value >> (8 * i));
}

// The file header and BITMAPINFOHEADER of a bottom-up 24-bit BMP.
std::vector<std::uint8_t> Headers(std::uint32_t width, std::uint32_t height,
                                  std::uint32_t imageSize) {
  std::vector<std::uint8_t> bytes(54, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put(bytes, 2, 54 + imageSize, 4);
  Put(bytes, 10, 54, 4);
  Put(bytes, 14, 40, 4);
  Put(bytes, 18, width, 4);
  Put(bytes, 22, height, 4);
  Put(bytes, 26, 1, 2);
  Put(bytes, 28, 24, 2);
  Put(bytes, 34, imageSize, 4);
  return bytes;
}

// Red, green, blue of the pattern at x, y (y counted from the top).
std::uint32_t Colour(int x, int y) {
  static const std::uint32_t bands[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                        0x00FFFF, 0xFF00FF, 0xFF8000, 0x808080};
  constexpr int innerWidth = kWidth - 2 * kBorder, innerHeight = kHeight - 2 * kBorder;
  if (x < kBorder || y < kBorder || x >= kWidth - kBorder || y >= kHeight - kBorder) {
    return 0x000080;
  }
  if (y >= kBorder + innerHeight * 3 / 5) return 0xFFFFFF;
  return bands[(x - kBorder) * 8 / innerWidth];
}

std::vector<std::uint8_t> PatternBmp() {
  constexpr std::uint32_t stride = kWidth * 3;  // a multiple of 4: no padding
  std::vector<std::uint8_t> bytes = Headers(kWidth, kHeight, stride * kHeight);
  for (int row = 0; row < kHeight; ++row) {  // bottom-up, blue first
    for (int x = 0; x < kWidth; ++x) {
      const std::uint32_t rgb = Colour(x, kHeight - 1 - row);
      bytes.insert(bytes.end(), {std::uint8_t(rgb), std::uint8_t(rgb >> 8), std::uint8_t(rgb >> 16)});
    }
  }
  return bytes;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool done = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
  if (CloseHandle(file) && done) return true;
  DeleteFileA(path.c_str());
  return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  capture::Request request;
  Pattern pattern;
  std::string error;
  if (!capture::ParseCommandLine(GetCommandLineA(), &request, &error) ||
      !ReadPatternOptions(request.extras, &pattern)) {
    return 2;
  }
  if (pattern.hangSeconds > 0) {
    Sleep(DWORD(pattern.hangSeconds) * 1000);
    return 1;
  }
  if (pattern.fail) return 1;
  std::vector<std::uint8_t> bytes = PatternBmp();
  if (pattern.garbage) {
    bytes = Headers(4000, 4000, 4000 * 4000 * 3);
    bytes.resize(100);
  }
  if (pattern.crash) {
    bytes.resize(30);
    WriteWholeFile(request.output, bytes);
    // Ended at once with the crash's code, not held by Wine's crash dialog.
    SetUnhandledExceptionFilter([](EXCEPTION_POINTERS*) -> LONG { return EXCEPTION_EXECUTE_HANDLER; });
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  }
  return WriteWholeFile(request.output, bytes) ? 0 : 3;
}
