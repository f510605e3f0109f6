// Acting on a chosen menu item: programs started with the target or their
// templates, once or for every target, list starts, working folders and
// waits; the fixed items of the menu.
#include <gtest/gtest.h>

#include "test_run.h"

namespace zolto {
namespace {

using Answers = std::deque<RecordingFrontend::Answer>;

struct LaunchRow {
  std::string section;  // the entries the menu offers
  Strings targets;
  std::vector<std::pair<int, bool>> choices;  // item id, Ctrl held
  // Each start "program|parameters|folder", then " / sleep ...", " / " and
  // the front end's log, " [second]" while the second file is in use.
  std::string expect;
  std::string settings = "";  // [system] lines
  Answers answers = {};
  bool allTargets = false;  // the menu was opened for all targets
};

const Strings kX = {"C:\\d\\x.txt"};
const Strings kXY = {"C:\\d\\x.txt", "C:\\d\\y.txt"};
const Strings kMixed = {"C:\\d\\x.txt", "C:\\My Files"};
const std::string kA = "C:\\Tools\\a.exe|";
const LaunchRow kLaunches[] = {
    // A program entry: the target as one argument, from the program's folder.
    {"[x]\na.exe | A\n", {"C:\\d\\My File.txt"}, {{1000, false}}, kA + "\"C:\\d\\My File.txt\"|C:\\Tools"},
    {"[x]\nC:\\root.exe | R\n", kX, {{1000, false}}, "C:\\root.exe|C:\\d\\x.txt|C:"},
    {"[x]\na.exe | A\n", {"C:\\d\\sub"}, {{1000, false}}, kA + "C:\\d\\sub|C:\\Tools"},
    {"[x]\na.exe | A\n", {"C:\\d\\x.txt", "C:\\My Files", "C:\\d\\z.txt"}, {{1000, false}},
     kA + "C:\\d\\x.txt|C:\\Tools; " + kA + "\"C:\\My Files\"|C:\\Tools; " + kA + "C:\\d\\z.txt|C:\\Tools"
     " / sleep 200 20 20", "@dist=200,20", {}, true},
    // A batch program never gets a name that cmd.exe would expand.
    {"[x]\njob.bat | J\na.exe | A\n", {"C:\\d\\50%PATH%.txt"}, {{1000, false}, {1001, false}},
     kA + "\"C:\\d\\50%PATH%.txt\"|C:\\Tools"},
    {"[x]\njob.bat | J\n>\"%M\"\n", {"C:\\d\\x.txt", "C:\\d\\50%PATH%.txt"}, {{1001, false}}, ""},
    {"[x]\njob.bat | J\n", {"C:\\d\\a&calc.txt"}, {{1000, false}}, "C:\\Tools\\job.bat|\"C:\\d\\a&calc.txt\"|C:\\Tools"},
    // Template lines: ">" once, "]" for every target; Ctrl asks first.
    {"[x]\na.exe | A\n>-p | P\n]-each | E\n", kXY, {{1001, false}, {1002, false}},
     kA + "-p|C:\\Tools; " + kA + "-each|C:\\Tools; " + kA + "-each|C:\\Tools"},
    {"[x]\na.exe | A\n>-p | P\n]-each | E\n", kXY, {{1001, true}}, " / ask -p|-"},
    {"[x]\na.exe | A\n>-p | P\n]-each | E\n", kXY, {{1001, true}, {1000, true}},
     kA + "-typed|C:\\Tools; " + kA + "-typed|C:\\Tools / ask -p|-; ask |-", "", {{4, "-typed"}, {4, "-typed"}}},
    // The typed template runs for every target, each asking anew; a cancel ends the sequence.
    {"[x]\na.exe | A\n", kXY, {{1000, true}},
     kA + "-o first \"C:\\d\\x.txt\"|C:\\Tools; " + kA + "-o second \"C:\\d\\y.txt\"|C:\\Tools"
     " / ask |-; ask |-; ask |-", "", {{4, "-o %X \"%P\""}, {4, "first"}, {4, "second"}}, true},
    {"[x]\na.exe | A\n]%X\n", {"C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\z.txt"}, {{1001, false}},
     kA + "ok|C:\\Tools / ask |-; ask |-", "", {{4, "ok"}, {0, ""}, {4, "never"}}},
    {"[x]\na.exe | A\n]-go\n", {"C:\\d\\x.txt", "C:\\My Files", "https://example.org/"}, {{1001, false}},
     kA + "-go|C:\\Tools; " + kA + "-go|C:\\Tools; " + kA + "-go|C:\\Tools / sleep 500 100 100", "@dist=500,100"},
    {"[x]\na.exe | A\n>%Windows%\n", kX, {{1001, false}}, kA + "%Windows%|C:\\Tools"},
    {"[x]\na.exe | A\n>%Windows%\n", kX, {{1001, false}}, kA + "C:\\Windows|C:\\Tools", "@param"},
    // The "%Z" folder serves one start; a missing one is not used.
    {"[x]\na.exe | A\n>%Z\"D:\\work\"-c\n>-d\n", kX, {{1001, false}, {1002, false}},
     kA + "-c|D:\\work; " + kA + "-d|C:\\Tools"},
    {"[x]\na.exe | A\n>%Z\"D:\\missing\"-e\n", kX, {{1001, false}}, kA + "-e|C:\\Tools"},
    // The system's program: the shell opens the parameters.
    {"[x]\n@system | S\n>\"%P\"\n", {"C:\\d\\q.zz9"}, {{1001, false}},
     "C:\\d\\q.zz9||; C:\\Windows\\system32\\rundll32.exe|shell32.dll,OpenAs_RunDLL C:\\d\\q.zz9|"},
    // One start for the whole list.
    {"[x]\na.exe | A\n>-a \"%M\" -b\n", kMixed, {{1001, false}}, kA + "-a \"C:\\d\\x.txt\" \"C:\\My Files\\\" -b|C:\\Tools"},
    {"[x]\na.exe | A\n>\"%-m\"\n", kMixed, {{1001, false}}, kA + "\"C:\\d\\x.txt\" \"C:\\My Files\"|C:\\Tools"},
    {"[x]\na.exe | A\n>/p %M\n", {"C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\z.txt"}, {{1001, false}},
     kA + "/p C:\\d\\x.txt C:\\d\\y.txt C:\\d\\z.txt|C:\\Tools"},
    {"[x]\na.exe | A\n>%-M\n", {"C:\\My Files", "C:\\d\\a&calc.txt"}, {{1001, false}},
     kA + "\"C:\\My Files\" \"C:\\d\\a&calc.txt\"|C:\\Tools"},
    // The header opens the target; with Ctrl it reopens the menu from the other file.
    {"[x]\na.exe | A\nb.exe | B\n", kX, {{kIdHeader, false}}, "C:\\d\\x.txt||"},
    {"[x]\na.exe | A\nb.exe | B\n", kX, {{kIdPreviewImage, true}}, " / menu 0 1 [second]", "@ext2=alt.ini"},
    // The fixed items.
    {"[x]\n", kX, {{kIdEditSecond, false}}, "C:\\Tools\\alt one.ini||", "@ext2=alt one.ini"},
    {"[x]\n", kX, {{kIdHelp, false}, {kIdEditMain, false}},
     kA + "C:\\Tools\\zolto5_c.txt|C:\\Tools; " + kA + "C:\\Tools\\zolto5_c.ini|C:\\Tools", "@editor=a"},
    {"[x]\n", kX, {{kIdVersion, false}, {17, false}, {kIdFixedSeparator, false}, {1100, false}},
     " / about; shell 17"},
    {"[x]\n", kX, {{kIdClipboard, false}}, "C:\\d\\y.txt||"},
};

TEST(Launching, ChosenItemsStartWhatTheySay) {
  for (const LaunchRow& row : kLaunches) {
    SCOPED_TRACE(row.section + " for " + Join(row.targets) + " choosing " + std::to_string(row.choices[0].first));
    TestRun t;
    for (const char* p : {"C:\\root.exe", "C:\\d\\50%PATH%.txt", "C:\\d\\a&calc.txt", "C:\\Tools\\alt one.ini"})
      t.fs.AddFile(p);
    t.fs.AddFolder("D:\\work");
    t.fs.clipboardText = "C:\\d\\y.txt";
    ASSERT_EQ(t.Configure("[system]\n" + row.settings + "\n%end\n"), 1);
    t.SetTargets(row.targets);
    ParseEntryLines(t.run, 0, row.section);
    t.frontend.answers = row.answers;
    t.run.menu.allTargetsRequested = row.allTargets;
    for (const auto& [id, control] : row.choices) ActOnMenuChoice(t.run, t.frontend, id, control);
    std::string got = t.Starts();
    if (!t.fs.sleeps.empty()) got += " / sleep " + t.Sleeps();
    if (!t.frontend.log.empty()) got += " / " + Join(t.frontend.log);
    if (t.run.selection.secondConfig) got += " [second]";
    EXPECT_EQ(got, row.expect);
  }
}

TEST(Launching, PlainArgumentIsQuotedWhenAnInterpreterWouldSplitIt) {
  EXPECT_EQ(QuoteTargetArgument("C:\\x\\one.txt"), "C:\\x\\one.txt");
  EXPECT_EQ(QuoteTargetArgument("\"C:\\a b\""), "\"C:\\a b\"");
  EXPECT_EQ(QuoteTargetArgument(""), "");
  for (const char* name : {"C:\\a b.txt", "C:\\a&b.txt", "C:\\a|b", "C:\\a^b", "C:\\a(1)", "C:\\a,b",
                           "C:\\a;b", "C:\\a=b", "C:\\a<b", "C:\\a>b", "C:\\a!b", "C:\\a%b%", "\"C:\\a&b"})
    EXPECT_EQ(QuoteTargetArgument(name), "\"" + std::string(name) + "\"") << name;
}

}  // namespace
}  // namespace zolto
