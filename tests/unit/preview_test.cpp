// What the previews need beyond drawing: size labels, the lines of a text
// preview, the capture program's command line and the check of its picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "menu/menu.h"
#include "test_run.h"

namespace zolto {
namespace {

TEST(Preview, SizeLabelShowsTheRemaindersLeadingDigits) {
  const std::pair<unsigned, const char*> rows[] = {
      {0, "( 0 バイト )"},          {1023, "( 1023 バイト )"},
      {1024, "( 1.0 KB )"},         {1536, "( 1.51 KB )"},
      {1048575, "( 1023.10 KB )"},  {1048576, "( 1.0 MB )"},
      {3 * 1048576 + 100000, "( 3.10 MB )"},
  };
  for (const auto& [size, label] : rows) EXPECT_EQ(FormatSizeLabel(size), label) << size;
}

struct TextRow {
  std::string contents;
  int tabWidth, skipEmpty, lines;
  std::string expect;  // the lines, "|" between them
};

const TextRow kText[] = {
    {"a\tb\r\n\r\nlast", 4, 0, 20, "a    b||last"},
    {"a\tb\r\n\r\nlast\n", 0, 1, 20, "ab|last"},
    {"", 4, 0, 20, "( 0 バイト )"},
    // Read on until the lines are taken, however long the lines before: each
    // is cut to 517 characters and the rest of it skipped.
    {std::string(70000, 'x') + "\r\n" + std::string(70000, 'y') + "\nthird\nfourth\nfifth\n",
     4, 0, 4, std::string(517, 'x') + "|" + std::string(517, 'y') + "|third|fourth"},
};

TEST(Preview, TextLinesWithTabsExpanded) {
  for (const TextRow& row : kText) {
    SCOPED_TRACE(row.contents.substr(0, 20));
    TestRun t;
    t.fs.AddFile("C:\\d\\t.txt", row.contents);
    t.SetTargets({"C:\\d\\t.txt"});
    t.run.settings.TabWidth = row.tabWidth;
    t.run.settings.TextSkipEmptyLines = row.skipEmpty;
    t.run.settings.TextPreviewLines = row.lines;
    EXPECT_EQ(Join(TextPreviewLines(t.run), "|"), row.expect);
  }
  TestRun t;
  t.SetTargets({"C:\\d\\missing.txt"});
  EXPECT_EQ(Join(TextPreviewLines(t.run)), "( 0 バイト )");
}

// The check of the capture program's picture takes what can be drawn: a
// bitmap file of the given size and depth holding all its rows (whatever
// else it takes or refuses, the fuzz target checks).
struct BitmapRow {
  int32_t width, height;
  uint16_t bits;
  size_t pixelBytes;  // 0: refused
};

const BitmapRow kBitmaps[] = {
    {3, 2, 24, 24},  // rows of 12 bytes
    {3, -2, 32, 24},
    {8192, 1, 24, 8192 * 3},
    {1, -8192, 24, 8192 * 4},
    {8193, 1, 24, 0},
    {1, -8193, 32, 0},
    {0, 2, 24, 0},
    {3, 2, 16, 0},
};

TEST(Preview, CaptureBitmapOfDrawableSize) {
  for (const BitmapRow& row : kBitmaps) {
    SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height) + "x" +
                 std::to_string(row.bits));
    std::string file(54 + 8193 * 4, '\0');
    const uint32_t fields[][2] = {{10, 54}, {14, 40}, {18, static_cast<uint32_t>(row.width)},
                                  {22, static_cast<uint32_t>(row.height)},
                                  {26, 1u | row.bits << 16}};
    for (const auto& [at, value] : fields) std::memcpy(&file[at], &value, 4);
    file[0] = 'B', file[1] = 'M';
    CaptureBitmap info;
    EXPECT_EQ(ValidateCaptureBitmap(file, info) ? info.pixelBytes : 0, row.pixelBytes);
  }
}

const std::string kCapture =
    "\"C:\\Tools\\cap.exe\" -w 800 -oC:\\Tools\\temp\\zolto5_c.bmp -b -fbmp ";

TEST(Preview, CaptureCommandLineNeverCarriesOptionsOfTheAddress) {
  const std::pair<std::string, std::string> rows[] = {
      {"https://example.org/a?b=1", kCapture + "-u\"https://example.org/a?b=1\""},
      {"C:\\My Files\\a b.txt", kCapture + "-u\"file:///C:\\My%20Files\\a%20b.txt\""},
      {"https://example.org/\"\t-x", ""},
  };
  TestRun t;
  t.run.settings.PageCaptureProgram = "C:\\Tools\\cap.exe";
  t.run.settings.CaptureArguments = "-w 800";
  for (const auto& [address, expect] : rows)
    EXPECT_EQ(CaptureCommandLine(t.run, address), expect) << address;
  t.run.settings.PageCaptureProgram.clear();
  EXPECT_EQ(CaptureCommandLine(t.run, "https://example.org/"), "");
}

// The capture runs, is waited for, and its picture loaded only when it is new.
TEST(Preview, CaptureShowsOnlyAFreshPicture) {
  TestRun t;
  t.run.settings.PageCaptureProgram = "C:\\Tools\\cap.exe";
  const std::string& bmp = t.run.start.PreviewBitmapPath;
  RecordingMenuBuilder builder;
  t.fs.runner = [&](const std::string&) {
    t.fs.AddFile(bmp, "new");
    return true;
  };
  EXPECT_EQ(CaptureWebPreview(t.run, builder, "https://example.org/"), 1);
  EXPECT_TRUE(t.fs.IsDirectory(t.run.start.TempFolder));
  t.fs.runner = [](const std::string&) { return true; };  // writes nothing: the old one is gone
  EXPECT_EQ(CaptureWebPreview(t.run, builder, "https://example.org/"), 0);
  t.fs.AddFile(bmp, "old");  // an old picture that cannot be removed is never shown
  t.fs.LockFile(bmp);
  EXPECT_EQ(CaptureWebPreview(t.run, builder, "https://example.org/"), 0);
  EXPECT_EQ(t.fs.waitedCommands.size(), 2u);
  TestRun timedOut;  // a program that never ends gives no preview
  timedOut.run.settings.PageCaptureProgram = "C:\\Tools\\cap.exe";
  timedOut.fs.runner = [&](const std::string&) {
    timedOut.fs.AddFile(timedOut.run.start.PreviewBitmapPath, "late");
    return false;
  };
  EXPECT_EQ(CaptureWebPreview(timedOut.run, builder, "https://example.org/"), 0);
  timedOut.fs.runner = [&](const std::string&) {
    timedOut.fs.AddFile(timedOut.run.start.PreviewBitmapPath, "new");
    return true;
  };
  builder.captureLoads = false;  // nor one the front end cannot load
  EXPECT_EQ(CaptureWebPreview(timedOut.run, builder, "https://example.org/"), 0);
}

}  // namespace
}  // namespace zolto
