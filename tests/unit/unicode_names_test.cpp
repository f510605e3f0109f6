// Names the code page cannot hold: each reaches programs as the very file
// the user chose (by its short name), or is refused with a message; never as
// a best-fit look-alike. The fake's code page is ASCII and a few characters
// of code page 932 (表 among them); é, ¥, ” and emoji do not convert.
#include <gtest/gtest.h>

#include <cctype>

#include <string>
#include <vector>

#include "menu/menu.h"
#include "null_menu_builder.h"
#include "text/text.h"
#include "test_run.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

class UnicodeNamesTest : public RunTest {
 protected:
  UnicodeNamesTest() {
    fs.AddFile("C:\\d\\Cafe.txt", "look-alike");  // what best fit would open
    fs.AddUnicodeFile("C:\\d\\Café.txt", "C:\\d\\CAFE~1.TXT", "chosen");
    fs.AddUnicodeFile("C:\\d\\No short é.txt", "");
    fs.AddFile("C:\\b.txt");  // where "¥" read as "\" would lead
    fs.AddUnicodeFile("C:\\d\\sub\\a¥..¥..¥b.txt", "C:\\d\\sub\\A__~1.TXT");
    fs.AddUnicodeFolder("C:\\d\\Földer", "C:\\d\\FLDER~1");
    fs.AddUnicodeFile("C:\\d\\photo 😀.txt", "C:\\d\\PHOTO~1.TXT");
    fs.AddFile("C:\\d\\\x95\x5C.txt");  // 表.txt, which the code page holds
  }
  Strings Targets() const {
    return Strings(run.targets.working.begin(),
                   run.targets.working.begin() + run.targets.workingCount);
  }
};

struct NameCase {
  const char* what;
  const char* commandLine;  // UTF-8
  Strings targets;          // in the code page
  const char* refused;      // the name the message gives, or ""
  const char* shownFirst;   // the first target as the user reads it
};

class CommandLineNames : public UnicodeNamesTest,
                         public ::testing::WithParamInterface<NameCase> {};

TEST_P(CommandLineNames, ReachTheChosenFileOrAreRefused) {
  const NameCase& c = GetParam();
  BuildTargetList(run, c.commandLine, 0);
  EXPECT_EQ(Targets(), c.targets);
  if (*c.refused) {
    ASSERT_EQ(fs.messages.size(), 1u);
    EXPECT_NE(fs.messages[0].text.find(kUnrepresentableNames), std::string::npos);
    EXPECT_NE(fs.messages[0].text.find(c.refused), std::string::npos);
    EXPECT_EQ(fs.messages[0].caption, kFullEdition.configErrorCaption);
  } else {
    EXPECT_TRUE(fs.messages.empty());
  }
  if (!c.targets.empty()) EXPECT_EQ(ShownName(run, c.targets[0]), c.shownFirst);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineNames,
    ::testing::Values(
        NameCase{"held by the code page", "C:\\d\\表.txt", {"C:\\d\\\x95\x5C.txt"}, "",
                 "C:\\d\\表.txt"},
        NameCase{"short name", "\"C:\\d\\Café.txt\"", {"C:\\d\\CAFE~1.TXT"}, "",
                 "C:\\d\\Café.txt"},
        NameCase{"yen is no separator", "C:\\d\\sub\\a¥..¥..¥b.txt", {"C:\\d\\sub\\A__~1.TXT"},
                 "", "C:\\d\\sub\\a¥..¥..¥b.txt"},
        NameCase{"emoji", "\"C:\\d\\photo 😀.txt\"", {"C:\\d\\PHOTO~1.TXT"}, "",
                 "C:\\d\\photo 😀.txt"},
        NameCase{"folder", "C:\\d\\Földer\\", {"C:\\d\\FLDER~1"}, "", "C:\\d\\Földer"},
        NameCase{"no short name: the others go on", "\"C:\\d\\No short é.txt\" C:\\d\\Cafe.txt",
                 {"C:\\d\\Cafe.txt"}, "C:\\d\\No short é.txt", "C:\\d\\Cafe.txt"},
        NameCase{"names nothing", "C:\\d\\nothing é.txt", {}, "", ""},
        NameCase{"address", "https://example.org/café?q=é",
                 {"https://example.org/caf%C3%A9?q=%C3%A9"}, "", "https://example.org/café?q=é"},
        NameCase{"a best-fit quote stays encoded", "http://a.example/”x",
                 {"http://a.example/%E2%80%9Dx"}, "", "http://a.example/”x"},
        NameCase{"a control character is refused", "http://a.example/é\x1bx", {}, "", ""}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST_F(UnicodeNamesTest, ClipboardNamesFollowTheSameRules) {
  fs.clipboardFiles = Strings{"C:\\d\\Café.txt", "C:\\d\\No short é.txt", "C:\\d\\Földer"};
  EXPECT_EQ(TakeClipboardTargets(run, 0, 1), 1);
  EXPECT_EQ(Targets(), (Strings{"C:\\d\\CAFE~1.TXT", "C:\\d\\FLDER~1"}));
  ASSERT_EQ(fs.messages.size(), 1u);
  EXPECT_NE(fs.messages[0].text.find("No short é.txt"), std::string::npos);

  fs.clipboardFiles.reset();
  fs.clipboardText = "C:\\d\\sub\\a¥..¥..¥b.txt\r\nC:\\d\\photo 😀.txt\r\n";
  EXPECT_EQ(TakeClipboardTargets(run, 0, 1), 1);
  EXPECT_EQ(Targets(), (Strings{"C:\\d\\sub\\A__~1.TXT", "C:\\d\\PHOTO~1.TXT"}));
}

TEST_F(UnicodeNamesTest, RefusedTargetsStartNothing) {
  fs.AddFile(run.start.ConfigPath, "[system]\r\n%end\r\n[file]\r\nrec.exe\r\n");
  fs.AddFile("C:\\Tools\\rec.exe");
  fs.clipboardText = "C:\\d\\Cafe.txt";
  MenuRecorder frontend;
  run.frontend = &frontend;
  InitialiseNames(run, "C:\\Tools\\zolto5_c.exe", "\"C:\\d\\No short é.txt\" /#c");
  EXPECT_EQ(StartupDispatch(run), StartupPath::Refused);
  EXPECT_TRUE(fs.starts.empty());  // neither the look-alike nor the clipboard
  EXPECT_EQ(frontend.shown, 0);
  EXPECT_EQ(fs.messages.size(), 1u);

  // Started as one whole name with blanks and no quotes, as Send To may.
  InitialiseNames(run, "C:\\Tools\\zolto5_c.exe", "C:\\d\\photo 😀.txt");
  EXPECT_EQ(StartupDispatch(run), StartupPath::Targets);
  ASSERT_EQ(fs.starts.size(), 1u);
  EXPECT_EQ(fs.starts[0].parameters, "C:\\d\\PHOTO~1.TXT");
}

TEST_F(UnicodeNamesTest, PathMacrosExpandAroundForeignCharacters) {
  run.settings.ParamMacrosOn = true;
  run.settings.UserMacros = {{"%d%", "C:\\d"}};
  BuildTargetList(run, "\"%d%\\Café.txt\" %d%\\Földer", 0);
  EXPECT_EQ(Targets(), (Strings{"C:\\d\\CAFE~1.TXT", "C:\\d\\FLDER~1"}));
  // A held character is never taken for a control byte of the name.
  BuildTargetList(run, "%d%\\\x01é", 0);
  EXPECT_EQ(Targets(), Strings{});
}

TEST_F(UnicodeNamesTest, WhatTheUserReadsShowsTheRealName) {
  fs.AddFile(run.start.ConfigPath, "");
  NullMenuBuilder builder;
  struct HeaderBuilder : NullMenuBuilder {
    std::string header;
    void AppendHeaderItem(MenuHandle, const std::string& label, const IconSource*) override {
      header = label;
    }
  } headers;
  BuildTargetList(run, "\"C:\\d\\photo 😀.txt\" https://example.org/é?x=1", 0);
  BuildPopupMenu(run, headers, 0);
  EXPECT_EQ(headers.header, "photo 😀.txt [ +1 ] ( &0 )");
  run.settings.NameLength = 7;
  BuildPopupMenu(run, headers, 0);
  EXPECT_EQ(headers.header, "photo 😀 [ +1 ] ( &0 )");  // characters, not bytes
  std::swap(run.targets.working[0], run.targets.working[1]);
  run.settings.NameLength = 0;
  BuildPopupMenu(run, headers, 0);
  EXPECT_EQ(headers.header, "https://example.org/é [ +1 ] ( &0 )");
  // A dialog title that names the target by its short name.
  EXPECT_EQ(ShownText(run, "PHOTO~1.TXT __ C:\\d\\PHOTO~1.TXT __ PHOTO~1"),
            "photo 😀.txt __ C:\\d\\photo 😀.txt __ photo 😀");
}

struct TextCase {
  const char* text;
  const char* tail;      // CommandLineTail
  const char* decoded;   // DecodeUtf8Escapes
};

TEST(Utf8Text, TailsAndEscapes) {
  const TextCase cases[] = {
      {"prog.exe a b", "a b", "prog.exe a b"},
      {"\"C:\\My Apps\\p.exe\"  \"x y\"", "\"x y\"", "\"C:\\My Apps\\p.exe\"  \"x y\""},
      {"p\"q r\"s\tt", "t", "p\"q r\"s\tt"},
      {"%C3%A9%20%22 %e3%81%82", "%e3%81%82", "é%20%22 あ"},
      {"%C3 %C3%A9%C3 %E3%81", "%C3%A9%C3 %E3%81", "%C3 é%C3 %E3%81"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(CommandLineTail(c.text), c.tail) << c.text;
    EXPECT_EQ(DecodeUtf8Escapes(c.text), c.decoded) << c.text;
  }
  EXPECT_EQ(Utf8FirstCharacters("aé😀b", 3), "aé😀");
  EXPECT_EQ(Utf8LastCharacters("aé😀b", 2), "😀b");
  EXPECT_EQ(Utf8LastCharacters("\xC3", 5), "\xC3");  // a stray byte is one character
}

}  // namespace
}  // namespace zolto
