#include "capture.h"

#include <gtest/gtest.h>

#include <string>

namespace capture {
namespace {

struct Rgb {
  int red, green, blue;
  bool operator==(const Rgb&) const = default;
};

Rgb At(const Picture& picture, int x, int y) {
  const std::uint8_t* p = &picture.rgb.at((std::size_t(y) * picture.width + x) * 3);
  return {p[0], p[1], p[2]};
}

TEST(ParseCommandLine, ReadsWhatTheLauncherPasses) {
  struct Case {
    const char* line;
    const char* output;
    const char* address;
  } cases[] = {
      // No extra arguments: two blanks after the program.
      {R"(C:\x\zolto_capture.exe  -oC:\x\temp\zolto5_c.bmp -b -fbmp -u"file:///C:\x\page.html")",
       R"(C:\x\temp\zolto5_c.bmp)", R"(file:///C:\x\page.html)"},
      // A quoted program and output path with blanks, extra arguments, an
      // address with blanks.
      {R"("C:\Program Files\cap\zolto_capture.exe" -w 800 -o"C:\My Temp\a b.bmp" -b -fbmp )"
       R"(-u"http://example.test/a b?c=1&d=2")",
       R"(C:\My Temp\a b.bmp)", R"(http://example.test/a b?c=1&d=2)"},
      // Extra arguments that look like the launcher's own: the last ones count.
      {R"(cap.exe -oEXTRA -uextra -fpng  -oC:\out.bmp -b -fbmp -u"http://h/")", R"(C:\out.bmp)",
       "http://h/"},
      // A path ending in a backslash; Shift-JIS bytes (0x95 0x5C is one
      // character) pass through as they are.
      {"cap.exe -o\"C:\\dir\\\x95\x5C.bmp\" -b -fbmp -u\"C:\\\"", "C:\\dir\\\x95\x5C.bmp", "C:\\"},
      // An empty address is an address.
      {R"(cap.exe -oC:\o.bmp -b -fbmp -u"")", R"(C:\o.bmp)", ""},
  };
  for (const Case& c : cases) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(c.line, &options, &error)) << c.line << ": " << error;
    EXPECT_EQ(options.output, c.output) << c.line;
    EXPECT_EQ(options.address, c.address) << c.line;
    EXPECT_EQ(options.width, 320);
    EXPECT_EQ(options.height, 240);
    EXPECT_FALSE(options.fail || options.garbage || options.hangSeconds != 0) << c.line;
  }
}

TEST(ParseCommandLine, ReadsTheTestOptions) {
  const std::string tail = R"( -oC:\o.bmp -b -fbmp -u"http://h/")";
  Options options;
  std::string error;
  ASSERT_TRUE(ParseCommandLine("cap.exe --fail --size=33x10" + tail, &options, &error)) << error;
  EXPECT_TRUE(options.fail);
  EXPECT_EQ(options.width, 33);
  EXPECT_EQ(options.height, 10);
  ASSERT_TRUE(ParseCommandLine("cap.exe --garbage --other-tool-option" + tail, &options, &error));
  EXPECT_TRUE(options.garbage);
  EXPECT_FALSE(options.fail);
  ASSERT_TRUE(ParseCommandLine("cap.exe --hang" + tail, &options, &error));
  EXPECT_EQ(options.hangSeconds, kDefaultHangSeconds);
  ASSERT_TRUE(ParseCommandLine("cap.exe --hang=3" + tail, &options, &error));
  EXPECT_EQ(options.hangSeconds, 3);
  ASSERT_TRUE(ParseCommandLine("cap.exe --size=8192x1" + tail, &options, &error));
  EXPECT_EQ(options.width, kMaxSide);
}

TEST(ParseCommandLine, RefusesIncompleteOrOddLines) {
  const char* const lines[] = {
      "",
      R"(cap.exe -b -fbmp -u"http://h/")",                 // no -o
      R"(cap.exe -o"" -b -fbmp -u"http://h/")",            // empty -o
      R"(cap.exe -oC:\o.bmp -b -fbmp)",                    // no -u
      R"(cap.exe -oC:\o.bmp -fbmp -u"http://h/")",         // no -b
      R"(cap.exe -oC:\o.bmp -b -u"http://h/")",            // no -f
      R"(cap.exe -oC:\o.bmp -b -fbmp -fjpg -u"http://h/")",
      R"(cap.exe --size=0x10 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=10x8193 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=-5x10 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=99999999999x1 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=10 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=10x10x10 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --hang=0 -oC:\o.bmp -b -fbmp -u"h")",
      "cap.exe -oC:\\o.bmp -b -fbmp -u\"unterminated -b",  // fine: -u takes the rest
  };
  for (std::size_t i = 0; i + 1 < std::size(lines); ++i) {
    Options options;
    options.output = "untouched";
    std::string error;
    EXPECT_FALSE(ParseCommandLine(lines[i], &options, &error)) << lines[i];
    EXPECT_FALSE(error.empty()) << lines[i];
    EXPECT_EQ(options.output, "untouched") << lines[i];
  }
  // An unterminated quote runs to the end of the line.
  Options options;
  std::string error;
  ASSERT_TRUE(ParseCommandLine(lines[std::size(lines) - 1], &options, &error)) << error;
  EXPECT_EQ(options.address, "unterminated -b");
}

// The header fields are read back by ImageMagick in the Wine smoke test; here,
// the rows: bottom-up, blue first, each padded with zeros.
TEST(EncodeBmp, WritesPaddedBottomUpRows) {
  for (const int width : {4, 1, 2, 33}) {  // 0, 3, 2 and 1 padding bytes a row
    const int height = 3;
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        picture.rgb.insert(picture.rgb.end(), {std::uint8_t(x), std::uint8_t(y), 100});
      }
    }
    const std::vector<std::uint8_t> bmp = EncodeBmp(picture);
    const std::size_t stride = (width * 3 + 3) / 4 * 4;
    ASSERT_EQ(bmp.size(), 54 + stride * height) << width;
    for (int row = 0; row < height; ++row) {
      const std::uint8_t* p = &bmp[54 + row * stride];
      for (int x = 0; x < width; ++x, p += 3) {
        EXPECT_TRUE(p[0] == 100 && p[1] == height - 1 - row && p[2] == x) << x << ", row " << row;
      }
      for (std::size_t i = 3 * width; i < stride; ++i, ++p) EXPECT_EQ(*p, 0) << "padding " << row;
    }
  }
  // Pixels that do not add up to the size: nothing.
  EXPECT_TRUE(EncodeBmp(Picture{}).empty());
  EXPECT_TRUE(EncodeBmp(Picture{2, 2, std::vector<std::uint8_t>(11)}).empty());
  const std::vector<std::uint8_t> tooWide((kMaxSide + 1) * 3);
  EXPECT_TRUE(EncodeBmp(Picture{kMaxSide + 1, 1, tooWide}).empty());
}

TEST(DrawPage, DrawsBorderBandsAndTheEndOfTheAddress) {
  const Picture page = DrawPage(320, 240, "http://example.test/");
  ASSERT_EQ(page.rgb.size(), 320u * 240u * 3u);
  const Rgb navy{0, 0, 128}, red{255, 0, 0}, grey{128, 128, 128}, white{255, 255, 255};
  EXPECT_EQ(At(page, 0, 0), navy);
  EXPECT_EQ(At(page, 319, 239), navy);
  EXPECT_EQ(At(page, 20, 50), red) << "the first band, at the top left";
  EXPECT_EQ(At(page, 300, 50), grey) << "the last band, at the top right";
  EXPECT_EQ(At(page, 310, 150), white) << "right of the text";

  // Some ink in the text strip, none without text.
  const auto ink = [](const Picture& picture) {
    int count = 0;
    for (int y = 150; y < 230; ++y) {
      for (int x = 8; x < 312; ++x) count += At(picture, x, y) == Rgb{0, 0, 0};
    }
    return count;
  };
  EXPECT_GT(ink(page), 100);
  EXPECT_EQ(ink(DrawPage(320, 240, "")), 0);

  const std::string end = "/folder/page-01.html";  // 20 characters
  const Picture a = DrawPage(320, 240, "file:///C:/one" + end);
  EXPECT_EQ(a.rgb, DrawPage(320, 240, "http://two.example.test" + end).rgb)
      << "only the last 20 characters are drawn";
  EXPECT_NE(a.rgb, DrawPage(320, 240, "file:///C:/one/folder/page-02.html").rgb)
      << "a different last character shows";
  EXPECT_EQ(DrawPage(320, 240, "ABC").rgb, DrawPage(320, 240, "abc").rgb)
      << "lower case is drawn as capitals";
}

// Sizes that are all border, that cut the text off, and the widest, with bytes
// the font lacks: under the sanitizers, nothing is drawn outside the picture.
TEST(DrawPage, AnySizeInRangeAndNoneOutside) {
  const int sizes[][2] = {{1, 1}, {33, 10}, {12, 12}, {kMaxSide, 2}};
  for (const auto& size : sizes) {
    const Picture page = DrawPage(size[0], size[1], "http://a.test/\x95\x5C\x01\xff~");
    EXPECT_EQ(page.width, size[0]);
    EXPECT_EQ(page.height, size[1]);
    EXPECT_EQ(page.rgb.size(), std::size_t(size[0]) * size[1] * 3);
  }
  const int bad[][2] = {{0, 10}, {10, 0}, {-1, 10}, {kMaxSide + 1, 1}};
  for (const auto& size : bad) {
    EXPECT_TRUE(DrawPage(size[0], size[1], "x").rgb.empty()) << size[0] << "x" << size[1];
  }
}

}  // namespace
}  // namespace capture
