#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "menu/menu.h"
#include "null_menu_builder.h"
#include "test_run.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

TEST(SizeLabel, LeadingDigitsOfTheRemainder) {
  EXPECT_EQ(FormatSizeLabel(0), "( 0 バイト )");
  EXPECT_EQ(FormatSizeLabel(1023), "( 1023 バイト )");
  EXPECT_EQ(FormatSizeLabel(1024), "( 1.0 KB )");
  EXPECT_EQ(FormatSizeLabel(1536), "( 1.51 KB )");
  EXPECT_EQ(FormatSizeLabel(1048575), "( 1023.10 KB )");
  EXPECT_EQ(FormatSizeLabel(1048576), "( 1.0 MB )");
  EXPECT_EQ(FormatSizeLabel(3 * 1048576 + 100000), "( 3.10 MB )");
  EXPECT_EQ(FormatSizeLabel(static_cast<unsigned>((4ULL << 30) + 10)), "( 10 バイト )");
}

class TextPreviewTest : public RunTest {
 protected:
  Strings Lines(const std::string& contents) {
    fs.AddFile("C:\\d\\t.txt", contents);
    run.targets.Clear();
    run.targets.Add("C:\\d\\t.txt");
    return TextPreviewLines(run);
  }
};

TEST_F(TextPreviewTest, LinesTabsAndEnds) {
  EXPECT_EQ(Lines("a\tb\r\n\r\nlast"), (Strings{"a    b", "", "last"}));
  run.settings.TabWidth = 0;
  run.settings.TextSkipEmptyLines = 1;
  EXPECT_EQ(Lines("a\tb\r\n\r\nlast\n"), (Strings{"ab", "last"}));
  run.settings.TextPreviewLines = 2;
  EXPECT_EQ(Lines("1\n2\n3\n"), (Strings{"1", "2"}));
  EXPECT_EQ(Lines(""), Strings{"( 0 バイト )"});
  run.targets.working[0] = "C:\\d\\missing.txt";
  EXPECT_EQ(TextPreviewLines(run), Strings{"( 0 バイト )"});
}

TEST_F(TextPreviewTest, TabsStopBeforeTheLineBufferEnds) {
  run.settings.TabWidth = 10;
  const Strings lines = Lines(std::string(60, '\t') + "\n");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_LT(lines[0].size(), 520u + 10u);
  EXPECT_NE(lines[0].find('\t'), std::string::npos);  // the rest stay tabs
}

// A bitmap file of the given fields, followed by `pixels` bytes.
std::string Bitmap(int32_t width, int32_t height, uint16_t bits, size_t pixels,
                   uint32_t offset = 54, uint32_t infoSize = 40, uint32_t compression = 0) {
  std::string file(54 + pixels, '\0');
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, offset);
  put32(14, infoSize);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, bits);
  put32(30, compression);
  return file;
}

TEST(CaptureBitmapCheck, AcceptsOnlyWhatCanBeDrawn) {
  CaptureBitmap info;
  EXPECT_TRUE(ValidateCaptureBitmap(Bitmap(3, 2, 24, 24), info));  // rows of 12 bytes
  EXPECT_EQ(info.pixelBytes, 24u);
  EXPECT_TRUE(ValidateCaptureBitmap(Bitmap(3, -2, 32, 24), info));
  EXPECT_FALSE(ValidateCaptureBitmap(Bitmap(3, 2, 24, 23), info));  // short pixel data
  EXPECT_FALSE(ValidateCaptureBitmap(Bitmap(4000, 4000, 24, 100), info));
  EXPECT_FALSE(ValidateCaptureBitmap(Bitmap(9000, 1, 24, 27000), info));
  EXPECT_FALSE(ValidateCaptureBitmap(Bitmap(0, 2, 24, 24), info));
  EXPECT_FALSE(ValidateCaptureBitmap(Bitmap(-3, 2, 24, 24), info));
  EXPECT_FALSE(ValidateCaptureBitmap(Bitmap(3, 2, 8, 24), info));           // palette
  EXPECT_FALSE(ValidateCaptureBitmap(Bitmap(3, 2, 24, 24, 1078), info));    // colour table
  EXPECT_FALSE(ValidateCaptureBitmap(Bitmap(3, 2, 24, 24, 54, 108), info)); // other header
  EXPECT_FALSE(ValidateCaptureBitmap(Bitmap(3, 2, 24, 24, 54, 40, 1), info));
  std::string wrong = Bitmap(3, 2, 24, 24);
  wrong[0] = 'X';
  EXPECT_FALSE(ValidateCaptureBitmap(wrong, info));
  EXPECT_FALSE(ValidateCaptureBitmap(Bitmap(3, 2, 24, 24).substr(0, 40), info));
}

class CaptureTest : public RunTest {
 protected:
  CaptureTest() {
    fs.AddFile("C:\\Tools\\cap.exe");
    run.settings.PageCaptureProgram = "C:\\Tools\\cap.exe";
    run.settings.CaptureArguments = "-w 800";
  }
};

TEST_F(CaptureTest, CommandLine) {
  EXPECT_EQ(CaptureCommandLine(run, "https://example.org/a?b=1"),
            "\"C:\\Tools\\cap.exe\" -w 800 -oC:\\Tools\\temp\\zolto5_c.bmp -b -fbmp "
            "-u\"https://example.org/a?b=1\"");
  fs.AddFile("C:\\My Pages\\a.html");
  EXPECT_EQ(CaptureCommandLine(run, "C:\\My Pages\\a.html").substr(64),
            "-u\"file:///C:\\My%20Pages\\a.html\"");
  fs.AddFile("C:\\d\\C# 100%.html");  // a fragment and an escape to a browser
  EXPECT_EQ(CaptureCommandLine(run, "C:\\d\\C# 100%.html").substr(64),
            "-u\"file:///C:\\d\\C%23%20100%25.html\"");
  EXPECT_EQ(CaptureCommandLine(run, "https://example.org/\"\t-x"), "");
  EXPECT_EQ(CaptureCommandLine(run, "https://example.org/ -x"), "");
  run.settings.PageCaptureProgram.clear();
  EXPECT_EQ(CaptureCommandLine(run, "https://example.org/"), "");
}

TEST_F(CaptureTest, RunsWaitsAndLoadsFreshPictures) {
  NullMenuBuilder builder;
  builder.captureLoads = true;
  const std::string& bmp = run.start.PreviewBitmapPath;
  fs.runner = [&](const std::string&) {
    fs.AddFile(bmp, "new");
    return true;
  };
  EXPECT_EQ(CaptureWebPreview(run, builder, "https://example.org/"), 1);
  EXPECT_TRUE(fs.IsDirectory(run.start.TempFolder));
  // A program that writes nothing: the old picture was removed first.
  fs.runner = [](const std::string&) { return true; };
  EXPECT_EQ(CaptureWebPreview(run, builder, "https://example.org/"), 0);
  // An old picture that cannot be removed is never shown.
  fs.AddFile(bmp, "old");
  fs.LockFile(bmp);
  EXPECT_EQ(CaptureWebPreview(run, builder, "https://example.org/"), 0);
  EXPECT_EQ(fs.waitedCommands.size(), 2u);
  // A program that never ends (timed out) gives no preview.
  FakePlatform other;
  RunState r(other, kFullEdition);
  r.start = run.start;
  r.settings = run.settings;
  other.AddFile("C:\\Tools\\cap.exe");
  other.runner = [](const std::string&) { return false; };
  EXPECT_EQ(CaptureWebPreview(r, builder, "https://example.org/"), 0);
}

}  // namespace
}  // namespace zolto
