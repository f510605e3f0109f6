#include <algorithm>
#include <string_view>

#include "capture.h"

namespace capture {

const std::vector<Glyph>& Font() {
  static const std::vector<Glyph> font = {
      {' ', ".....|.....|.....|.....|.....|.....|....."},
      {'!', "..#..|..#..|..#..|..#..|..#..|.....|..#.."},
      {'"', ".#.#.|.#.#.|.....|.....|.....|.....|....."},
      {'#', ".#.#.|.#.#.|#####|.#.#.|#####|.#.#.|.#.#."},
      {'$', "..#..|.####|#.#..|.###.|..#.#|####.|..#.."},
      {'%', "##...|##..#|...#.|..#..|.#...|#..##|...##"},
      {'&', ".##..|#..#.|#.#..|.#...|#.#.#|#..#.|.##.#"},
      {'\'', "..#..|..#..|.....|.....|.....|.....|....."},
      {'(', "...#.|..#..|.#...|.#...|.#...|..#..|...#."},
      {')', ".#...|..#..|...#.|...#.|...#.|..#..|.#..."},
      {'*', ".....|..#..|#.#.#|.###.|#.#.#|..#..|....."},
      {'+', ".....|..#..|..#..|#####|..#..|..#..|....."},
      {',', ".....|.....|.....|.....|.##..|..#..|.#..."},
      {'-', ".....|.....|.....|#####|.....|.....|....."},
      {'.', ".....|.....|.....|.....|.....|.##..|.##.."},
      {'/', ".....|....#|...#.|..#..|.#...|#....|....."},
      {'0', ".###.|#...#|#..##|#.#.#|##..#|#...#|.###."},
      {'1', "..#..|.##..|..#..|..#..|..#..|..#..|.###."},
      {'2', ".###.|#...#|....#|...#.|..#..|.#...|#####"},
      {'3', "#####|...#.|..#..|...#.|....#|#...#|.###."},
      {'4', "...#.|..##.|.#.#.|#..#.|#####|...#.|...#."},
      {'5', "#####|#....|####.|....#|....#|#...#|.###."},
      {'6', "..##.|.#...|#....|####.|#...#|#...#|.###."},
      {'7', "#####|....#|...#.|..#..|.#...|.#...|.#..."},
      {'8', ".###.|#...#|#...#|.###.|#...#|#...#|.###."},
      {'9', ".###.|#...#|#...#|.####|....#|...#.|.##.."},
      {':', ".....|.##..|.##..|.....|.##..|.##..|....."},
      {';', ".....|.##..|.##..|.....|.##..|..#..|.#..."},
      {'<', "...#.|..#..|.#...|#....|.#...|..#..|...#."},
      {'=', ".....|.....|#####|.....|#####|.....|....."},
      {'>', ".#...|..#..|...#.|....#|...#.|..#..|.#..."},
      {'?', ".###.|#...#|....#|...#.|..#..|.....|..#.."},
      {'@', ".###.|#...#|....#|.##.#|#.#.#|#.#.#|.###."},
      {'A', ".###.|#...#|#...#|#####|#...#|#...#|#...#"},
      {'B', "####.|#...#|#...#|####.|#...#|#...#|####."},
      {'C', ".###.|#...#|#....|#....|#....|#...#|.###."},
      {'D', "###..|#..#.|#...#|#...#|#...#|#..#.|###.."},
      {'E', "#####|#....|#....|####.|#....|#....|#####"},
      {'F', "#####|#....|#....|####.|#....|#....|#...."},
      {'G', ".###.|#...#|#....|#.###|#...#|#...#|.####"},
      {'H', "#...#|#...#|#...#|#####|#...#|#...#|#...#"},
      {'I', ".###.|..#..|..#..|..#..|..#..|..#..|.###."},
      {'J', "..###|...#.|...#.|...#.|...#.|#..#.|.##.."},
      {'K', "#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#"},
      {'L', "#....|#....|#....|#....|#....|#....|#####"},
      {'M', "#...#|##.##|#.#.#|#.#.#|#...#|#...#|#...#"},
      {'N', "#...#|#...#|##..#|#.#.#|#..##|#...#|#...#"},
      {'O', ".###.|#...#|#...#|#...#|#...#|#...#|.###."},
      {'P', "####.|#...#|#...#|####.|#....|#....|#...."},
      {'Q', ".###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#"},
      {'R', "####.|#...#|#...#|####.|#.#..|#..#.|#...#"},
      {'S', ".####|#....|#....|.###.|....#|....#|####."},
      {'T', "#####|..#..|..#..|..#..|..#..|..#..|..#.."},
      {'U', "#...#|#...#|#...#|#...#|#...#|#...#|.###."},
      {'V', "#...#|#...#|#...#|#...#|#...#|.#.#.|..#.."},
      {'W', "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#."},
      {'X', "#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#"},
      {'Y', "#...#|#...#|.#.#.|..#..|..#..|..#..|..#.."},
      {'Z', "#####|....#|...#.|..#..|.#...|#....|#####"},
      {'[', ".###.|.#...|.#...|.#...|.#...|.#...|.###."},
      {'\\', ".....|#....|.#...|..#..|...#.|....#|....."},
      {']', ".###.|...#.|...#.|...#.|...#.|...#.|.###."},
      {'^', "..#..|.#.#.|#...#|.....|.....|.....|....."},
      {'_', ".....|.....|.....|.....|.....|.....|#####"},
      {'`', ".#...|..#..|.....|.....|.....|.....|....."},
      {'{', "...#.|..#..|..#..|.#...|..#..|..#..|...#."},
      {'|', "..#..|..#..|..#..|..#..|..#..|..#..|..#.."},
      {'}', ".#...|..#..|..#..|...#.|..#..|..#..|.#..."},
      {'~', ".....|.....|.#...|#.#.#|...#.|.....|....."},
  };
  return font;
}

namespace {

// Drawn for a byte the font lacks (control characters, bytes above 0x7E).
constexpr const char* kBox = "#####|#...#|#...#|#...#|#...#|#...#|#####";

const char* GlyphRows(char c) {
  if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  for (const Glyph& glyph : Font()) {
    if (glyph.character == c) return glyph.rows;
  }
  return kBox;
}

struct Colour {
  std::uint8_t red, green, blue;
};

class Canvas {
 public:
  explicit Canvas(Picture& picture) : picture_(picture) {}

  // Fills [left, right) x [top, bottom), clipped to the picture.
  void Fill(int left, int top, int right, int bottom, Colour colour) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, picture_.width);
    bottom = std::min(bottom, picture_.height);
    for (int y = top; y < bottom; ++y) {
      std::uint8_t* p = &picture_.rgb[(std::size_t(y) * picture_.width + left) * 3];
      for (int x = left; x < right; ++x, p += 3) {
        p[0] = colour.red;
        p[1] = colour.green;
        p[2] = colour.blue;
      }
    }
  }

  // Draws the glyph with its top-left corner at (x, y), each dot scale x scale.
  void Glyph(char c, int x, int y, int scale, Colour colour) {
    const char* rows = GlyphRows(c);
    for (int row = 0; row < 7; ++row, rows += 6) {  // 5 dots and a '|'
      for (int column = 0; column < 5; ++column) {
        if (rows[column] == '#') {
          Fill(x + column * scale, y + row * scale, x + (column + 1) * scale,
               y + (row + 1) * scale, colour);
        }
      }
    }
  }

 private:
  Picture& picture_;
};

void Put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = std::uint8_t(value >> (8 * i));
}

constexpr std::uint32_t kHeadersSize = 14 + 40;

// The two headers of a 24-bit BMP; imageSize is the size of the pixel rows.
void PutHeaders(std::vector<std::uint8_t>& bytes, std::uint32_t width, std::uint32_t height,
                std::uint32_t imageSize) {
  bytes[0] = 'B';
  bytes[1] = 'M';
  Put(bytes, 2, kHeadersSize + imageSize, 4);  // bfSize
  Put(bytes, 10, kHeadersSize, 4);             // bfOffBits
  Put(bytes, 14, 40, 4);                       // biSize
  Put(bytes, 18, width, 4);
  Put(bytes, 22, height, 4);                   // positive: bottom-up
  Put(bytes, 26, 1, 2);                        // biPlanes
  Put(bytes, 28, 24, 2);                       // biBitCount
  Put(bytes, 30, 0, 4);                        // BI_RGB
  Put(bytes, 34, imageSize, 4);
  Put(bytes, 38, 2835, 4);                     // 72 dots per inch
  Put(bytes, 42, 2835, 4);
}

}  // namespace

Picture DrawPage(int width, int height, std::string_view address) {
  Picture picture;
  if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide) return picture;
  picture.width = width;
  picture.height = height;
  picture.rgb.assign(std::size_t(width) * height * 3, 0);
  Canvas canvas(picture);

  const Colour border{0, 0, 128}, white{255, 255, 255}, black{0, 0, 0};
  static const Colour bands[] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},   {255, 255, 0},
                                 {0, 255, 255}, {255, 0, 255}, {255, 128, 0}, {128, 128, 128}};
  constexpr int bandCount = sizeof bands / sizeof bands[0];

  canvas.Fill(0, 0, width, height, border);
  const int thickness = std::max(1, std::min(width, height) / 40);
  const int left = thickness, top = thickness;
  const int right = width - thickness, bottom = height - thickness;
  if (right <= left || bottom <= top) return picture;  // all border

  // The bands over the upper three fifths, the text on white below.
  const int innerWidth = right - left, innerHeight = bottom - top;
  const int split = top + innerHeight * 3 / 5;
  for (int band = 0; band < bandCount; ++band) {
    canvas.Fill(left + innerWidth * band / bandCount, top,
                left + innerWidth * (band + 1) / bandCount, split, bands[band]);
  }
  canvas.Fill(left, split, right, bottom, white);

  if (address.size() > kShownCharacters) address.remove_prefix(address.size() - kShownCharacters);
  const int textHeight = bottom - split;
  const int scale = std::clamp(std::min((innerWidth - 4) / int(kShownCharacters * 6),
                                        textHeight / 9), 1, 4);
  const int y = split + std::max(0, (textHeight - 7 * scale) / 2);
  int x = left + 2 * scale;
  for (const char c : address) {
    if (x >= right) break;
    canvas.Glyph(c, x, y, scale, black);
    x += 6 * scale;
  }
  // Text running past the strip is cut off at its edges.
  canvas.Fill(right, split, width, bottom, border);
  canvas.Fill(left, bottom, width, height, border);
  return picture;
}

std::vector<std::uint8_t> EncodeBmp(const Picture& picture) {
  const int width = picture.width, height = picture.height;
  if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide ||
      picture.rgb.size() != std::size_t(width) * height * 3) {
    return {};
  }
  // At most 8192 x 3 x 8192 bytes of rows: well within 32 bits.
  const std::uint32_t stride = (std::uint32_t(width) * 3 + 3) & ~3u;
  const std::uint32_t imageSize = stride * std::uint32_t(height);
  std::vector<std::uint8_t> bytes(kHeadersSize + std::size_t(imageSize), 0);
  PutHeaders(bytes, std::uint32_t(width), std::uint32_t(height), imageSize);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* from = &picture.rgb[std::size_t(height - 1 - y) * width * 3];
    std::uint8_t* to = &bytes[kHeadersSize + std::size_t(y) * stride];
    for (int x = 0; x < width; ++x, from += 3, to += 3) {
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
    }
  }
  return bytes;
}

std::vector<std::uint8_t> GarbageBmp() {
  std::vector<std::uint8_t> bytes(100, 0);
  PutHeaders(bytes, 4000, 4000, 4000 * 4000 * 3);
  return bytes;
}

}  // namespace capture
