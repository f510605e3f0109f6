// The target list from the command line and the clipboard: tokens, web
// addresses, and names the code page cannot hold, which reach programs as
// the very file the user chose (by its short name) or are refused with a
// message, never as a best-fit look-alike. The fake's code page is ASCII and
// a few characters of code page 932 (表 among them); é, ¥, ” and emoji do
// not convert.
#include <gtest/gtest.h>

#include "test_run.h"

namespace zolto {
namespace {

enum Source { CommandLine, Lines, ClipboardText, ClipboardFiles };

struct TargetRow {
  std::string text;  // UTF-8; clipboard files one a line
  Source source;
  // Each target as the user reads it, with what the core holds in brackets
  // when that differs; " / refused " and the names a message gave; for the
  // clipboard, TakeClipboardTargets' result first ("0: ", "1: ").
  std::string expect;
  std::string settings = "";  // [system] lines
  const Edition* edition = &kFullEdition;
};

const std::string kCafe = "C:\\d\\Café.txt [C:\\d\\CAFE~1.TXT]";
const std::string kFolder = "C:\\d\\Földer [C:\\d\\FLDER~1]";
const TargetRow kTargets[] = {
    {"\"C:\\My Files\\a b.txt\" \"C:\\My Files\\c.txt\"", CommandLine,
     "C:\\My Files\\a b.txt; C:\\My Files\\c.txt"},
    {"C:\\My Files\\a b.txt", CommandLine, ""},  // split at the blank
    {"C:\\Data\\ D:\\ C:\\", CommandLine, "C:\\Data; C:"},
    {"rel.txt /#y /#c", CommandLine, "C:\\Work\\rel.txt"},
    {"\"  rel.txt  \"", CommandLine, "C:\\Work\\rel.txt"},  // blanks trimmed
    {"\"C:\\My Files\\a b.txt", CommandLine, ""},          // an unclosed quote stays
    {"C:\\My Files\\a b.txt\r\nC:\\Data\n", Lines, "C:\\My Files\\a b.txt; C:\\Data"},
    // An unclosed quote ends at the line break.
    {"\"C:\\Data\nrel.txt\n", Lines, "C:\\Work\\rel.txt"},
    {"https://example.org/a?b=1 mailto:me@example.org news:comp.x httpx://odd.example "
     "ftp://f.example/x file:///C:/x", CommandLine,
     "https://example.org/a?b=1; mailto:me@example.org; httpx://odd.example; ftp://f.example/x; "
     "file:///C:/x"},
    {.text = "https://example.org/ C:\\Data", .source = CommandLine, .expect = "C:\\Data",
     .edition = &kBasicEdition},
    {"http://" + std::string(245, 'a') + ".example", CommandLine, ""},  // 260 characters
    {"http://" + std::string(244, 'a') + ".example", CommandLine,
     "http://" + std::string(244, 'a') + ".example"},
    // A hundred targets at most.
    {Numbered("C:\\m\\#.txt", 150, " "), CommandLine, Numbered("C:\\m\\#.txt", 100, "; ")},
    {"C:\\" + std::string(255, 'x') + "\\n.txt", CommandLine, ""},  // 260 characters or more
    // Its trail byte is no separator.
    {"C:\\Data\\表", CommandLine, "C:\\Data\\表 [C:\\Data\\\x95\x5C]"},
    {"%d%", CommandLine, "C:\\Data", "@param\n%d% | C:\\Data"},
    // Names the code page cannot hold.
    {"\"C:\\d\\Café.txt\"", CommandLine, kCafe},
    {"C:\\d\\sub\\a¥..¥..¥b.txt", CommandLine, "C:\\d\\sub\\a¥..¥..¥b.txt [C:\\d\\sub\\A__~1.TXT]"},
    {"\"C:\\d\\No short é.txt\" C:\\d\\Cafe.txt", CommandLine,
     "C:\\d\\Cafe.txt / refused C:\\d\\No short é.txt"},
    {"https://example.org/café?q=é", CommandLine,
     "https://example.org/café?q=é [https://example.org/caf%C3%A9?q=%C3%A9]"},
    // A best-fit quote stays encoded.
    {"http://a.example/”x", CommandLine, "http://a.example/”x [http://a.example/%E2%80%9Dx]"},
    {"http://a.example/é\x1bx", CommandLine, ""},
    {"\"%d%\\Café.txt\" %d%\\Földer", CommandLine, kCafe + "; " + kFolder, "@param\n%d% | C:\\d"},
    {"%d%\\\x01é", CommandLine, "", "@param\n%d% | C:\\d"},  // a held character is no control byte
    // The clipboard: files as they are given, or text a name a line.
    {"C:\\Data\\\nC:\\gone.txt\nC:\\" + std::string(257, 'l') + "\nD:\\\n", ClipboardFiles,
     "1: C:\\Data; C:\\gone.txt; D:\\"},
    {"C:\\d\\Café.txt\nC:\\d\\No short é.txt\nC:\\d\\Földer\n", ClipboardFiles,
     "1: " + kCafe + "; " + kFolder + " / refused C:\\d\\No short é.txt"},
    {std::string("C:\\Data\r\nrel.txt\0C:\\My Files\\c.txt\n", 30), ClipboardText,
     "1: C:\\Data; C:\\Work\\rel.txt"},
    {"C:\\d\\sub\\a¥..¥..¥b.txt\r\nC:\\d\\photo 😀.txt\r\n", ClipboardText,
     "1: C:\\d\\sub\\a¥..¥..¥b.txt [C:\\d\\sub\\A__~1.TXT]; C:\\d\\photo 😀.txt "
     "[C:\\d\\PHOTO~1.TXT]"},
    {"nothing here", ClipboardText, "0: "},
};

Strings Split(const std::string& lines) {
  Strings out;
  for (size_t start = 0, end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(lines.substr(start, end - start));
  return out;
}

TEST(TargetList, TokensBecomeTargets) {
  for (const TargetRow& row : kTargets) {
    SCOPED_TRACE(row.text.substr(0, 80));
    TestRun t(*row.edition);
    t.fs.AddFolder("C:\\Data\\\x95\x5C");
    for (int i = 0; i < 150; ++i) t.fs.AddFile("C:\\m\\" + std::to_string(i) + ".txt");
    t.fs.AddFile("C:\\" + std::string(255, 'x') + "\\n.txt");
    ASSERT_EQ(t.Configure("[system]\n" + row.settings + "\n%end\n"), 1);
    std::string got;
    if (row.source == CommandLine || row.source == Lines) {
      BuildTargetList(t.run, row.text,
                      row.source == Lines ? Separators::LineBreaks : Separators::Blanks);
    } else {
      if (row.source == ClipboardText) t.fs.clipboardText = row.text;
      else t.fs.clipboardFiles = Split(row.text);
      got = std::to_string(TakeClipboardTargets(t.run, ConfigFile::Main, false)) + ": ";
    }
    const TargetList& list = t.run.targets;
    Strings shown;
    for (int i = 0; i < list.FullCount; ++i) {
      const std::string& target = list.Full[static_cast<size_t>(i)];
      const std::string name = ShownName(t.run, target);
      shown.push_back(name == target ? name : name + " [" + target + "]");
    }
    got += Join(shown);
    for (const FakePlatform::Message& m : t.fs.messages) {
      EXPECT_EQ(m.text.find(kUnrepresentableNames), 0u);
      EXPECT_EQ(m.caption, row.edition->configErrorCaption);
      got += " / refused " + m.text.substr(m.text.rfind('\n') + 1);
    }
    EXPECT_EQ(got, row.expect);
  }
}

TEST(TargetList, AddressesThatCouldBreakACommandAreNoTargets) {
  TestRun t;
  for (const char* text :
       {"http://a.example/\"&calc", "http://a.example/\x1b", "http://a.example/\x7f", "news:x"})
    EXPECT_FALSE(IsUrlTarget(t.fs, text)) << text;
  EXPECT_EQ(CrackUrl(t.fs, "http://host.example/a?b")->extra, "?b");
  EXPECT_EQ(CrackUrl(t.fs, "x:y")->scheme, "x");
  EXPECT_FALSE(CrackUrl(t.fs, ":y"));
  EXPECT_FALSE(CrackUrl(t.fs, "no address"));
}

TEST(TargetList, ShortcutAddress) {
  const std::pair<std::string, std::string> rows[] = {
      {"[InternetShortcut]\r\nurl=https://example.org/x more\r\n", "https://example.org/x"},
      {"URL=" + std::string(300, 'h'), ""},
      {"URL=http://" + std::string(253, 'a'), ""},  // 260 characters
      {std::string(800, ' ') + "URL=http://late.example/", ""},  // past the 780 bytes read
      {"URL=no scheme", ""},
  };
  for (const auto& [contents, url] : rows) {
    TestRun t;
    t.fs.AddFile("C:\\s\\a.url", contents);
    EXPECT_EQ(ReadShortcutUrl(t.fs, "C:\\s\\a.url"), url) << contents.substr(0, 60);
    EXPECT_EQ(ReadShortcutUrl(t.fs, "C:\\s\\none.url"), "");
  }
}

// What the user reads (the menu header, the dialog title) shows the real names.
TEST(TargetList, RealNamesInWhatTheUserReads) {
  TestRun t;
  BuildTargetList(t.run, "\"C:\\d\\photo 😀.txt\" https://example.org/é?x=1", Separators::Blanks);
  RecordingMenuBuilder builder;
  EXPECT_EQ(builder.Tree(BuildPopupMenu(t.run, builder, MenuKind::Targets)),
            "---1300, 1250:photo 😀.txt [ +1 ] ( &0 )");
  t.run.settings.NameLength = 7;
  EXPECT_EQ(builder.Tree(BuildPopupMenu(t.run, builder, MenuKind::Targets)),
            "---1300, 1250:photo 😀 [ +1 ] ( &0 )");
  std::swap(t.run.targets.Working[0], t.run.targets.Working[1]);
  t.run.settings.NameLength = 0;
  EXPECT_EQ(builder.Tree(BuildPopupMenu(t.run, builder, MenuKind::Targets)),
            "---1300, 1250:https://example.org/é [ +1 ] ( &0 )");
  EXPECT_EQ(ShownText(t.run, "PHOTO~1.TXT __ C:\\d\\PHOTO~1.TXT __ PHOTO~1"),
            "photo 😀.txt __ C:\\d\\photo 😀.txt __ photo 😀");
}

}  // namespace
}  // namespace zolto
