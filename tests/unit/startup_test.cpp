// Start-up: the names derived from the executable, the held keys and
// switches, and the dispatch to one of the start-up paths.
#include <gtest/gtest.h>

#include "test_run.h"

namespace zolto {
namespace {

struct NamesRow {
  const Edition* edition;
  std::string modulePath;
  // ModulePath ClassName ConfigName ProgramFolder ProgramDrive HelpTextPath
  // TempFolder PreviewBitmapPath ExplorerPath, joined by "|".
  std::string expect;
};

const NamesRow kNames[] = {
    {&kFullEdition, "\"D:\\My Apps\\launch.v2.exe\"",
     "D:\\My Apps\\launch.v2.exe|launch.v2|launch.v2.ini|D:\\My Apps\\|D:|"
     "D:\\My Apps\\zolto5_c.txt|"
     "D:\\My Apps\\temp|D:\\My Apps\\temp\\zolto5_c.bmp|C:\\Windows\\explorer.exe"},
    {&kBasicEdition, "\\\\srv\\share\\zolto5.exe",
     "\\\\srv\\share\\zolto5.exe|zolto5|zolto5.ini|\\\\srv\\share\\||\\\\srv\\share\\zolto5.txt|||"
     "C:\\Windows\\explorer.exe"},
};

TEST(Startup, NamesFollowTheExecutable) {
  for (const NamesRow& row : kNames) {
    SCOPED_TRACE(row.modulePath.substr(0, 40));
    TestRun t(*row.edition);
    InitialiseNames(t.run, row.modulePath, "a b");
    DerivePaths(t.run);
    const StartupState& s = t.run.start;
    EXPECT_EQ(Join({s.ModulePath, s.ClassName, s.ConfigName, s.ProgramFolder, s.ProgramDrive,
                    s.HelpTextPath, s.TempFolder, s.PreviewBitmapPath, s.ExplorerPath}, "|"),
              row.expect);
    EXPECT_EQ(s.CommandLine, "a b");
    EXPECT_EQ(s.Metrics.screenWidth, 1280);
  }
}

// The host window's creation with the configuration below, keys held and a
// command line: "keys <shift><control> y<one-by-one> menu<position> <file read>"
// (and "icons" when it set them), or "failed" when it could not be read.
struct SwitchRow {
  std::string commandLine;
  bool shift, control;  // held
  std::string expect;
};

const SwitchRow kSwitches[] = {
    {"", true, true, "keys 11 y0 menu2 zolto5_c.ini"},
    {"/#x", true, true, "keys 00 y0 menu2 zolto5_c.ini"},
    {"/#X /#k=sft", true, false, "keys 10 y0 menu2 zolto5_c.ini"},
    {"/#k=sft", false, false, "keys 10 y0 menu2 zolto5_c.ini"},
    {"/#S=other.ini C:\\x", false, false, "keys 00 y0 menu0 other.ini icons"},
    {"/#s=missing.ini", false, false, "keys 00 y0 menu2 zolto5_c.ini"},
    {"/#s=" + std::string(300, 'n'), false, false, "keys 00 y0 menu2 zolto5_c.ini"},
    {"/#s= C:\\x", false, false, "failed"},  // names the program's folder
    {"/#m=center", false, false, "keys 00 y0 menu4 zolto5_c.ini"},  // wins over the file
    {"x /#m=xyz y", false, false, "keys 00 y0 menu0 zolto5_c.ini"},
    {"/#m=" + std::string(259, '1'), false, false, "keys 00 y0 menu2 zolto5_c.ini"},  // too long
    {"a /#Y b", false, false, "keys 00 y1 menu2 zolto5_c.ini"},
};

TEST(Startup, HeldKeysAndSwitches) {
  for (const SwitchRow& row : kSwitches) {
    SCOPED_TRACE(row.commandLine.substr(0, 40));
    TestRun t;
    t.fs.AddFile("C:\\Tools\\zolto5_c.ini", "[system]\n@menu=mouse\n%end\n");
    t.fs.AddFile("C:\\Tools\\other.ini", "[system]\n@icon\n");
    t.fs.shiftDown = row.shift;
    t.fs.controlDown = row.control;
    InitialiseNames(t.run, "\"C:\\Tools\\zolto5_c.exe\"", row.commandLine);
    const bool created = OnHostCreate(t.run);
    const StartupState& s = t.run.start;
    const std::string got = "keys " + std::to_string(s.ShiftFlag) + std::to_string(s.ControlFlag) +
                            " y" + std::to_string(s.OneByOne) + " menu" +
                            std::to_string(t.run.settings.MenuPosition) + " " +
                            std::string(FileNamePart(s.ConfigPath)) +
                            (t.run.settings.ShowIcons ? " icons" : "");
    EXPECT_EQ(created ? got : "failed", row.expect);
    EXPECT_EQ(t.fs.messages.size(), created ? 0u : 1u);
  }
}

// The whole start-up for a command line: which path it took, what the front
// end was asked to show, the targets and what started.
struct DispatchRow {
  std::string commandLine;  // UTF-8
  bool keys;                // Shift and Ctrl held
  StartupPath path;
  std::string shown;    // the front end's log
  std::string targets;  // the full list
  std::string commandLineAfter;  // the code-page command line after the dispatch
};

const DispatchRow kDispatch[] = {
    {"", false, StartupPath::TargetlessMenu, "menu 1 0", "", ""},
    {"C:\\d\\x.txt C:\\d\\y.txt", false, StartupPath::Targets, "menu 0 0",
     "C:\\d\\x.txt; C:\\d\\y.txt", "C:\\d\\x.txt C:\\d\\y.txt"},
    // One target clears one-by-one mode, so its menu opens.
    {"C:\\d\\x.txt /#y", false, StartupPath::Targets, "menu 0 0", "C:\\d\\x.txt",
     "C:\\d\\x.txt /#y"},
    {"nothing-here /#C", false, StartupPath::Clipboard, "menu 0 0", "C:\\d\\Cafe.txt",
     "nothing-here /#C"},
    {"C:\\d\\x.txt", true, StartupPath::TargetlessMenu, "menu 1 0", "", "C:\\d\\x.txt"},
    // A whole command line that names a path with blanks is one target.
    {"C:\\My Files\\a b.txt", false, StartupPath::Targets, "menu 0 0", "C:\\My Files\\a b.txt",
     "\"C:\\My Files\\a b.txt\""},
    {"C:\\d\\photo 😀.txt", false, StartupPath::Targets, "menu 0 0", "C:\\d\\PHOTO~1.TXT",
     "\"C:\\d\\photo ?.txt\""},
    // A name that cannot be taken: neither its look-alike nor the clipboard.
    {"\"C:\\d\\No short é.txt\" /#c", false, StartupPath::Refused, "", "",
     "\"C:\\d\\No short ?.txt\" /#c"},
};

TEST(Startup, DispatchTakesOnePath) {
  for (const DispatchRow& row : kDispatch) {
    SCOPED_TRACE(row.commandLine);
    TestRun t;
    t.fs.clipboardText = "C:\\d\\Cafe.txt";
    t.fs.AddFile("C:\\Tools\\zolto5_c.ini",
                 "[system]\n%end\n[file]\na.exe\nb.exe\n[folder]\na.exe\nb.exe\n");
    t.fs.shiftDown = t.fs.controlDown = row.keys;
    InitialiseNames(t.run, "C:\\Tools\\zolto5_c.exe", row.commandLine);
    ASSERT_TRUE(OnHostCreate(t.run));
    EXPECT_EQ(StartupDispatch(t.run), row.path);
    EXPECT_EQ(Join(t.frontend.log), row.shown);
    const TargetList& list = t.run.targets;
    EXPECT_EQ(Join(Strings(list.Full.begin(), list.Full.begin() + list.FullCount)), row.targets);
    EXPECT_EQ(t.run.start.CommandLine, row.commandLineAfter);
    EXPECT_TRUE(t.fs.starts.empty());
    EXPECT_EQ(t.fs.messages.size(), row.path == StartupPath::Refused ? 1u : 0u);
  }
}

}  // namespace
}  // namespace zolto
