#include "capture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace capture {
namespace {

std::uint32_t Get(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(at + i);
  return value;
}

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
      "cap.exe",
      R"(cap.exe -b -fbmp -u"http://h/")",                 // no -o
      R"(cap.exe -o -b -fbmp -u"http://h/")",              // empty -o
      R"(cap.exe -o"" -b -fbmp -u"http://h/")",            // empty quoted -o
      R"(cap.exe -oC:\o.bmp -b -fbmp)",                    // no -u
      R"(cap.exe -oC:\o.bmp -fbmp -u"http://h/")",         // no -b
      R"(cap.exe -oC:\o.bmp -b -u"http://h/")",            // no -f
      R"(cap.exe -oC:\o.bmp -b -fpng -u"http://h/")",      // not bmp
      R"(cap.exe -oC:\o.bmp -b -fbmp -fjpg -u"http://h/")",
      R"(cap.exe --size=0x10 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=10x8193 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=10 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=x -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=-5x10 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=99999999999x1 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --size=10x10x10 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --hang=0 -oC:\o.bmp -b -fbmp -u"h")",
      R"(cap.exe --hang=soon -oC:\o.bmp -b -fbmp -u"h")",
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

TEST(EncodeBmp, WritesBothHeadersAndPaddedBottomUpRows) {
  // Widths whose rows need 0, 3, 2 and 1 padding bytes.
  for (const int width : {4, 1, 2, 33}) {
    const int height = 3;
    Picture picture;
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        picture.rgb.push_back(std::uint8_t(x));       // red
        picture.rgb.push_back(std::uint8_t(y));       // green
        picture.rgb.push_back(std::uint8_t(100));     // blue
      }
    }
    const std::vector<std::uint8_t> bmp = EncodeBmp(picture);
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    ASSERT_EQ(bmp.size(), 54 + stride * height) << width;
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Get(bmp, 2, 4), bmp.size()) << "bfSize";
    EXPECT_EQ(Get(bmp, 6, 4), 0u) << "reserved";
    EXPECT_EQ(Get(bmp, 10, 4), 54u) << "bfOffBits";
    EXPECT_EQ(Get(bmp, 14, 4), 40u) << "biSize";
    EXPECT_EQ(Get(bmp, 18, 4), std::uint32_t(width));
    EXPECT_EQ(Get(bmp, 22, 4), std::uint32_t(height)) << "positive: bottom-up";
    EXPECT_EQ(Get(bmp, 26, 2), 1u) << "planes";
    EXPECT_EQ(Get(bmp, 28, 2), 24u) << "bits";
    EXPECT_EQ(Get(bmp, 30, 4), 0u) << "BI_RGB";
    EXPECT_EQ(Get(bmp, 34, 4), stride * height) << "biSizeImage";
    EXPECT_EQ(Get(bmp, 46, 4), 0u) << "no colour table";
    for (int row = 0; row < height; ++row) {
      const std::size_t start = 54 + std::size_t(row) * stride;
      const int y = height - 1 - row;  // the first row in the file is the bottom one
      for (int x = 0; x < width; ++x) {
        EXPECT_EQ(bmp[start + 3 * x], 100) << "blue first, at " << x << "," << y;
        EXPECT_EQ(bmp[start + 3 * x + 1], y) << "green, at " << x << "," << y;
        EXPECT_EQ(bmp[start + 3 * x + 2], x) << "red last, at " << x << "," << y;
      }
      for (std::size_t i = 3 * width; i < stride; ++i) {
        EXPECT_EQ(bmp[start + i], 0) << "padding of row " << row;
      }
    }
  }
}

TEST(EncodeBmp, RefusesInconsistentPictures) {
  Picture picture;
  EXPECT_TRUE(EncodeBmp(picture).empty());
  picture.width = 2;
  picture.height = 2;
  picture.rgb.assign(11, 0);  // one byte short
  EXPECT_TRUE(EncodeBmp(picture).empty());
  picture.width = kMaxSide + 1;
  picture.height = 1;
  picture.rgb.assign(std::size_t(kMaxSide + 1) * 3, 0);
  EXPECT_TRUE(EncodeBmp(picture).empty());
}

TEST(GarbageBmp, ClaimsFarMoreThanItHolds) {
  const std::vector<std::uint8_t> bmp = GarbageBmp();
  ASSERT_EQ(bmp.size(), 100u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(Get(bmp, 2, 4), 54u + 4000u * 4000u * 3u);
  EXPECT_EQ(Get(bmp, 18, 4), 4000u);
  EXPECT_EQ(Get(bmp, 22, 4), 4000u);
  EXPECT_EQ(Get(bmp, 28, 2), 24u);
}

TEST(DrawPage, DrawsBorderBandsAndText) {
  const Picture page = DrawPage(320, 240, "http://example.test/");
  ASSERT_EQ(page.width, 320);
  ASSERT_EQ(page.height, 240);
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
}

TEST(DrawPage, ShowsTheEndOfTheAddress) {
  const std::string end = "/folder/page-01.html";  // 20 characters
  const Picture a = DrawPage(320, 240, "file:///C:/one" + end);
  const Picture b = DrawPage(320, 240, "http://two.example.test" + end);
  const Picture c = DrawPage(320, 240, "file:///C:/one/folder/page-02.html");
  EXPECT_EQ(a.rgb, b.rgb) << "only the last 20 characters are drawn";
  EXPECT_NE(a.rgb, c.rgb) << "a different last character shows";
  EXPECT_EQ(DrawPage(320, 240, "ABC").rgb, DrawPage(320, 240, "abc").rgb)
      << "lower case is drawn as capitals";
}

TEST(DrawPage, AnySizeInRangeAndNoneOutside) {
  const int sizes[][2] = {{1, 1}, {2, 1}, {1, 300}, {33, 10}, {12, 12}, {kMaxSide, 2}};
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

TEST(Font, EveryGlyphIsSevenRowsOfFiveDots) {
  std::set<char> seen;
  for (const Glyph& glyph : Font()) {
    EXPECT_TRUE(seen.insert(glyph.character).second) << "twice: " << glyph.character;
    const std::string rows = glyph.rows;
    ASSERT_EQ(rows.size(), 7u * 6u - 1u) << glyph.character;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const char expected = i % 6 == 5 ? '|' : rows[i] == '#' ? '#' : '.';
      EXPECT_EQ(rows[i], expected) << glyph.character << " at " << i;
    }
  }
  // Every printable ASCII character but the lower-case letters.
  for (char c = ' '; c <= '~'; ++c) {
    if (c < 'a' || c > 'z') {
      EXPECT_EQ(seen.count(c), 1u) << "missing: " << c;
    }
  }
}

}  // namespace
}  // namespace capture
