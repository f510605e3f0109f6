// The page-capture stand-in used by the tests, free of Win32 so that it builds
// and is tested natively. capture_win32.cpp only reads the command line,
// writes the file and sleeps.
//
// The launcher starts it as
//
//   <program> <extra arguments> -o<output path> -b -fbmp -u"<address>"
//
// with the output path quoted when it holds blanks. Instead of a page it
// draws a test picture: coloured bands, a border and the last characters of
// the address, and writes it as an uncompressed 24-bit BMP.
//
// Extra arguments for the tests:
//   --fail         write nothing, exit 1
//   --garbage      write 100 bytes that start like a BMP of 4000x4000, exit 0
//   --hang[=S]     sleep S seconds (default 600), then exit 1 writing nothing
//   --size=WxH     the picture's size (default 320x240; each 1..kMaxSide)

#ifndef CAPTURE_CAPTURE_H
#define CAPTURE_CAPTURE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace capture {

inline constexpr int kMaxSide = 8192;
inline constexpr int kDefaultHangSeconds = 600;
inline constexpr std::size_t kShownCharacters = 20;  // of the address

struct Options {
  std::string output;    // after -o, without quotes
  std::string address;   // after -u, without quotes
  int width = 320;
  int height = 240;
  bool fail = false;
  bool garbage = false;
  int hangSeconds = 0;   // 0: no --hang
};

// Reads the whole command line, program first. Arguments are separated by
// blanks; double quotes group blanks into an argument and are removed (there
// is no escape character: a path may end in a backslash). When -o, -u or -f
// come more than once, the last counts (the launcher's own come last). Fails,
// with a message, without a non-empty -o, without -u, without -b, when the
// last -f is not bmp, or on a malformed --size or --hang.
bool ParseCommandLine(std::string_view commandLine, Options* options, std::string* error);

// A picture, top row first, 3 bytes (red, green, blue) a pixel, no padding.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// The test picture for an address, of the given size (1..kMaxSide each):
// a dark border, vertical bands of eight colours in the upper part and the
// last kShownCharacters characters of the address in black on white below,
// lower-case letters drawn as capitals, other bytes as boxes. Empty when the
// size is out of range.
Picture DrawPage(int width, int height, std::string_view address);

// The picture as a BMP file: BITMAPFILEHEADER ("BM", the file size, pixels
// at 54), BITMAPINFOHEADER (40 bytes, positive height, 24 bits, BI_RGB, the
// size of the pixels), then the rows bottom-up, blue-green-red, each padded
// to 4 bytes with zeros. Empty for an empty picture.
std::vector<std::uint8_t> EncodeBmp(const Picture& picture);

// 100 bytes whose headers describe a 4000x4000 24-bit BMP of 48 000 054 bytes.
std::vector<std::uint8_t> GarbageBmp();

// The 5x7 font: the rows of the glyph drawn for a byte, top first, each 5
// characters of '#' (ink) or '.'.
struct Glyph {
  char character;
  const char* rows;  // "#...#|..." 7 rows separated by '|'
};
const std::vector<Glyph>& Font();

}  // namespace capture

#endif  // CAPTURE_CAPTURE_H
