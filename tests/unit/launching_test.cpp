// Acting on a chosen menu item: programs started with the target or their
// templates, once or for every target, list starts, working folders and
// waits; the fixed items of the menu.
#include <gtest/gtest.h>

#include "test_run.h"

namespace zolto {
namespace {

struct LaunchRow {
  std::string section;  // the entries the menu offers
  Strings targets;
  std::vector<std::pair<int, bool>> choices;  // item id, Ctrl held
  std::string expect;  // TestRun::Outcome()
  std::string settings = "";  // [system] lines
  std::vector<RecordingFrontend::Answer> answers = {};
  bool allTargets = false;  // the menu was opened for all targets
};

const Strings kX = {"C:\\d\\x.txt"};
const Strings kXY = {"C:\\d\\x.txt", "C:\\d\\y.txt"};
const Strings kXYZ = {"C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\z.txt"};
const Strings kMixed = {"C:\\d\\x.txt", "C:\\My Files"};
const std::string kAP = "[x]\na.exe | A\n>-p | P\n]-each | E\n";
const LaunchRow kLaunches[] = {
    // A program entry: the target as one argument, from the program's folder.
    {"[x]\na.exe | A\n", {"C:\\d\\My File.txt"}, {{1000, false}}, "a.exe \"C:\\d\\My File.txt\""},
    {"[x]\nC:\\root.exe | R\n", kX, {{1000, false}}, "C:\\root.exe C:\\d\\x.txt"},
    {"[x]\na.exe | A\n", {"C:\\d\\x.txt", "C:\\My Files", "C:\\d\\z.txt"}, {{1000, false}},
     "a.exe C:\\d\\x.txt; a.exe \"C:\\My Files\"; a.exe C:\\d\\z.txt; sleep 200 20 20",
     "@dist=200,20", {}, true},
    // A batch program never gets a name that cmd.exe would expand.
    {"[x]\njob.bat | J\na.exe | A\n", {"C:\\d\\50%PATH%.txt"}, {{1000, false}, {1001, false}},
     "a.exe \"C:\\d\\50%PATH%.txt\""},
    {"[x]\njob.bat | J\n>\"%M\"\n", {"C:\\d\\x.txt", "C:\\d\\50%PATH%.txt"}, {{1001, false}}, ""},
    // Template lines: ">" once, "]" for every target; Ctrl asks first.
    {kAP, kXY, {{1001, false}, {1002, false}}, "a.exe -p; a.exe -each; a.exe -each"},
    {kAP, kXY, {{1001, true}, {1000, true}}, "ask -p|-; ask |-; a.exe -typed; a.exe -typed", "",
     {{kOk, "-typed"}, {kOk, "-typed"}}},
    // The typed template runs for every target, each asking anew; a cancel ends the sequence.
    {"[x]\na.exe | A\n", kXY, {{1000, true}},
     "ask |-; ask |-; ask |-; a.exe -o first \"C:\\d\\x.txt\"; a.exe -o second \"C:\\d\\y.txt\"",
     "",
     {{kOk, "-o %X \"%P\""}, {kOk, "first"}, {kOk, "second"}}, true},
    {"[x]\na.exe | A\n]%X\n", kXYZ, {{1001, false}}, "ask |-; ask |-; a.exe ok", "",
     {{kOk, "ok"}, {kCancel, ""}}},
    {"[x]\na.exe | A\n]-go\n", {"C:\\d\\x.txt", "C:\\My Files", "https://example.org/"},
     {{1001, false}},
     "a.exe -go; a.exe -go; a.exe -go; sleep 500 100 100", "@dist=500,100"},
    // The "%Z" folder serves one start; a missing one is not used.
    {"[x]\na.exe | A\n>%Z\"D:\\work\"-c\n>-d\n", kX, {{1001, false}, {1002, false}},
     "a.exe -c in D:\\work; a.exe -d"},
    {"[x]\na.exe | A\n>%Z\"D:\\missing\"-e\n", kX, {{1001, false}}, "a.exe -e"},
    // The system's program: the shell opens the parameters.
    {"[x]\n@system | S\n>\"%P\"\n", {"C:\\d\\q.zz9"}, {{1001, false}},
     "C:\\d\\q.zz9; C:\\Windows\\system32\\rundll32.exe shell32.dll,OpenAs_RunDLL C:\\d\\q.zz9"},
    // One start for the whole list.
    {"[x]\na.exe | A\n>-a \"%M\" -b\n", kMixed, {{1001, false}},
     "a.exe -a \"C:\\d\\x.txt\" \"C:\\My Files\\\" -b"},
    {"[x]\na.exe | A\n>%-M\n", {"C:\\My Files", "C:\\d\\a&calc.txt"}, {{1001, false}},
     "a.exe \"C:\\My Files\" \"C:\\d\\a&calc.txt\""},
    // The header opens the target; with Ctrl it reopens the menu from the other file.
    {"[x]\na.exe | A\nb.exe | B\n", kX, {{kIdHeader, false}}, "C:\\d\\x.txt"},
    {"[x]\na.exe | A\nb.exe | B\n", kX, {{kIdPreviewImage, true}}, "menu 0 1:b,c; second file",
     "@ext2=alt.ini"},
    // The fixed items.
    {"[x]\n", kX, {{kIdEditSecond, false}}, "alt one.ini", "@ext2=alt one.ini"},
    {"[x]\n", kX, {{kIdHelp, false}, {kIdEditMain, false}},
     "a.exe C:\\Tools\\zolto5_c.txt; a.exe C:\\Tools\\zolto5_c.ini",
     "@editor=a"},
    {"[x]\n", kX, {{kIdVersion, false}, {17, false}, {kIdFixedSeparator, false}, {1100, false}},
     "about; shell 17"},
    {"[x]\n", kX, {{kIdClipboard, false}}, "C:\\d\\y.txt"},
};

TEST(Launching, ChosenItemsStartWhatTheySay) {
  for (const LaunchRow& row : kLaunches) {
    SCOPED_TRACE(row.section + " for " + Join(row.targets) + " choosing " +
                 std::to_string(row.choices[0].first));
    TestRun t;
    t.fs.clipboardText = "C:\\d\\y.txt";
    ASSERT_EQ(t.Configure("[system]\n" + row.settings + "\n%end\n"), 1);
    t.SetTargets(row.targets);
    ParseEntryLines(t.run, 0, row.section);
    t.frontend.answers = row.answers;
    t.run.menu.AllTargetsRequested = row.allTargets;
    for (const auto& [id, control] : row.choices) ActOnMenuChoice(t.run, t.frontend, id, control);
    EXPECT_EQ(t.Outcome(), row.expect);
  }
}

TEST(Launching, PlainArgumentIsQuotedWhenAnInterpreterWouldSplitIt) {
  EXPECT_EQ(QuoteTargetArgument("C:\\x\\one.txt"), "C:\\x\\one.txt");
  EXPECT_EQ(QuoteTargetArgument("\"C:\\a b\""), "\"C:\\a b\"");
  EXPECT_EQ(QuoteTargetArgument(""), "");
  for (const char* name : {"C:\\a b.txt", "C:\\a&b.txt", "C:\\a^b", "C:\\a(1)", "C:\\a;b",
                           "C:\\a!b", "C:\\a%b%", "\"C:\\a&b"})
    EXPECT_EQ(QuoteTargetArgument(name), "\"" + std::string(name) + "\"") << name;
}

}  // namespace
}  // namespace zolto
