#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_run.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

class TargetListTest : public RunTest {
 protected:
  TargetListTest() {
    fs.AddFile("C:\\My Files\\a b.txt");
    fs.AddFile("C:\\My Files\\c.txt");
    fs.AddFolder("C:\\Data");
    fs.AddFile("C:\\Work\\rel.txt");
  }
  Strings Build(const std::string& text, int mode = 0) {
    BuildTargetList(run, text, mode);
    EXPECT_EQ(run.targets.workingCount, run.targets.fullCount);
    return Strings(run.targets.working.begin(),
                   run.targets.working.begin() + run.targets.workingCount);
  }
};

TEST_F(TargetListTest, CommandLineTokens) {
  EXPECT_EQ(Build("\"C:\\My Files\\a b.txt\" \"C:\\My Files\\c.txt\""),
            (Strings{"C:\\My Files\\a b.txt", "C:\\My Files\\c.txt"}));
  EXPECT_EQ(Build("C:\\My Files\\a b.txt"), Strings{});  // split at the blank
  EXPECT_EQ(Build("C:\\Data\\ D:\\ C:\\"), (Strings{"C:\\Data", "C:"}));
  EXPECT_EQ(Build("rel.txt /#y /#c"), Strings{"C:\\Work\\rel.txt"});
  EXPECT_EQ(Build("\t\"C:\\Data\"\"rel.txt\"\r\n"), (Strings{"C:\\Data", "C:\\Work\\rel.txt"}));
  EXPECT_EQ(Build("\"  rel.txt  \""), Strings{"C:\\Work\\rel.txt"});  // blanks trimmed
  EXPECT_EQ(Build("\"C:\\My Files\\a b.txt"), Strings{});  // an unclosed quote stays
}

TEST_F(TargetListTest, ListModeLines) {
  EXPECT_EQ(Build("C:\\My Files\\a b.txt\r\nC:\\Data\n", 1),
            (Strings{"C:\\My Files\\a b.txt", "C:\\Data"}));
  // An unclosed quote ends at the line break; its token names nothing.
  EXPECT_EQ(Build("\"C:\\Data\nrel.txt\n", 1), Strings{"C:\\Work\\rel.txt"});
}

TEST_F(TargetListTest, WebAddresses) {
  EXPECT_EQ(Build("https://example.org/a?b=1 mailto:me@example.org news:comp.x "
                  "httpx://odd.example ftp://f.example/x file:///C:/x"),
            (Strings{"https://example.org/a?b=1", "mailto:me@example.org",
                     "httpx://odd.example", "ftp://f.example/x", "file:///C:/x"}));
  EXPECT_EQ(Build("http://" + std::string(300, 'a') + ".example"), Strings{});
  // Nothing that could close a quote or break a line reaches a command.
  EXPECT_EQ(IsUrlTarget(run, "http://a.example/\"&calc"), 0);
  EXPECT_EQ(IsUrlTarget(run, "http://a.example/\x1b"), 0);
  EXPECT_EQ(IsUrlTarget(run, "http://a.example/\x7f"), 0);
  EXPECT_EQ(Build("http://a.example/\tb", 1), Strings{"http://a.example/b"});
  FakePlatform basicFs;
  RunState basic(basicFs, kBasicEdition);
  BuildTargetList(basic, "https://example.org/", 0);
  EXPECT_EQ(basic.targets.workingCount, 0);
}

TEST_F(TargetListTest, FailedCrackLeavesNoEarlierParts) {
  EXPECT_EQ(CrackUrl(run, "http://host.example/a?b"), 1);
  EXPECT_EQ(run.urlParts.scheme, "http");
  EXPECT_EQ(CrackUrl(run, "no address"), 0);
  EXPECT_EQ(run.urlParts.scheme, "");
  EXPECT_EQ(run.urlParts.extra, "");
}

TEST_F(TargetListTest, HundredTargetsAtMost) {
  std::string text;
  for (int i = 0; i < 150; ++i) {
    fs.AddFile("C:\\m\\" + std::to_string(i) + ".txt");
    text += "C:\\m\\" + std::to_string(i) + ".txt ";
  }
  const Strings list = Build(text);
  ASSERT_EQ(list.size(), 100u);
  EXPECT_EQ(list.front(), "C:\\m\\0.txt");
  EXPECT_EQ(list.back(), "C:\\m\\99.txt");
}

TEST_F(TargetListTest, LongAndDoubleByteNames) {
  const std::string deep = "C:\\" + std::string(255, 'x') + "\\n.txt";
  fs.AddFile(deep);
  EXPECT_EQ(Build(deep), Strings{});  // 260 characters or more: dropped
  // A folder ending in 表 (0x95 0x5C) keeps its last character.
  fs.AddFolder("C:\\Data\\\x95\x5C");
  EXPECT_EQ(Build("C:\\Data\\表"), Strings{"C:\\Data\\\x95\x5C"});
  EXPECT_EQ(Build(std::string(2000, 'q')), Strings{});
}

TEST_F(TargetListTest, PathMacrosInTokens) {
  run.settings.ParamMacrosOn = true;
  run.settings.UserMacros = {{"%d%", "C:\\Data"}};
  EXPECT_EQ(Build("%d%"), Strings{"C:\\Data"});
}

TEST_F(TargetListTest, ClipboardFileList) {
  fs.clipboardFiles = Strings{"C:\\Data\\", "C:\\gone.txt", "C:\\" + std::string(270, 'l'), "D:\\"};
  EXPECT_EQ(TakeClipboardTargets(run, 0, 1), 1);
  EXPECT_EQ(Strings(run.targets.working.begin(), run.targets.working.begin() + 2),
            (Strings{"C:\\Data", "C:\\gone.txt"}));
  EXPECT_EQ(run.targets.workingCount, 3);  // the long name is skipped
}

TEST_F(TargetListTest, ClipboardTextAndEmptyClipboard) {
  EXPECT_EQ(TakeClipboardTargets(run, 0, 0), 0);
  fs.clipboardText = "";
  EXPECT_EQ(TakeClipboardTargets(run, 0, 0), 0);
  fs.clipboardText = std::string("C:\\Data\r\nrel.txt\0C:\\My Files\\c.txt\n", 30);
  EXPECT_EQ(TakeClipboardTargets(run, 0, 1), 1);
  EXPECT_EQ(run.targets.workingCount, 2);  // the text ends at its NUL
  fs.clipboardText = "nothing here";
  EXPECT_EQ(TakeClipboardTargets(run, 0, 0), 0);
  EXPECT_TRUE(fs.messages.empty());
}

TEST_F(TargetListTest, ShortcutUrl) {
  fs.AddFile("C:\\s\\a.url", "[InternetShortcut]\r\nurl=https://example.org/x more\r\n");
  fs.AddFile("C:\\s\\b.url", "[InternetShortcut]\r\nIconFile=x\r\n");
  fs.AddFile("C:\\s\\c.url", "URL=" + std::string(300, 'h'));
  fs.AddFile("C:\\s\\d.url", std::string(800, ' ') + "URL=http://late.example/");
  fs.AddFile("C:\\s\\e.url", "URL=no scheme");
  EXPECT_EQ(ReadShortcutUrl(run, "C:\\s\\a.url"), "https://example.org/x");
  EXPECT_EQ(ReadShortcutUrl(run, "C:\\s\\b.url"), "");
  EXPECT_EQ(ReadShortcutUrl(run, "C:\\s\\c.url"), "");
  EXPECT_EQ(ReadShortcutUrl(run, "C:\\s\\d.url"), "");  // past the 780 bytes read
  EXPECT_EQ(ReadShortcutUrl(run, "C:\\s\\e.url"), "");
  EXPECT_EQ(ReadShortcutUrl(run, "C:\\s\\none.url"), "");
}

}  // namespace
}  // namespace zolto
