#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_run.h"

namespace zolto {
namespace {

class StartupTest : public RunTest {
 protected:
  // Runs WM_CREATE's part with the given command-line tail.
  bool Create(const std::string& commandLine) {
    InitialiseNames(run, "\"C:\\Tools\\zolto5_c.exe\"", commandLine);
    return OnHostCreate(run);
  }
  void SetCommandLine(const std::string& commandLine) {
    InitialiseNames(run, "C:\\Tools\\zolto5_c.exe", commandLine);
  }
};

// Records the menus a run asks to show.
struct RecordingFrontend : Frontend {
  std::vector<std::string> menus;
  void ShowPopupMenu(int targetless, int reopen) override {
    menus.push_back(targetless ? "targetless" : "targets");
  }
  int OpenParameterDialog() override { return 0; }
};

TEST_F(StartupTest, NamesFollowTheExecutable) {
  InitialiseNames(run, "\"D:\\My Apps\\launch.v2.exe\"", "a b");
  DerivePaths(run);
  const StartupState& st = run.start;
  EXPECT_EQ(st.ModulePath, "D:\\My Apps\\launch.v2.exe");
  EXPECT_EQ(st.ClassName, "launch.v2");
  EXPECT_EQ(st.ConfigName, "launch.v2.ini");
  EXPECT_EQ(st.ProgramFolder, "D:\\My Apps\\");
  EXPECT_EQ(st.ProgramDrive, "D:");
  EXPECT_EQ(st.HelpTextPath, "D:\\My Apps\\zolto5_c.txt");
  EXPECT_EQ(st.TempFolder, "D:\\My Apps\\temp");
  EXPECT_EQ(st.PreviewBitmapPath, "D:\\My Apps\\temp\\zolto5_c.bmp");
  EXPECT_EQ(st.ExplorerPath, "C:\\Windows\\explorer.exe");
  EXPECT_EQ(st.Metrics.screenWidth, 1280);
  EXPECT_EQ(st.CommandLine, "a b");

  FakePlatform basicFs;
  RunState basic(basicFs, kBasicEdition);
  InitialiseNames(basic, "C:\\B\\zolto5.exe", "");
  DerivePaths(basic);
  EXPECT_EQ(basic.start.HelpTextPath, "C:\\B\\zolto5.txt");
  EXPECT_EQ(basic.start.TempFolder, "");
  EXPECT_EQ(basic.start.PreviewBitmapPath, "");
}

TEST_F(StartupTest, HeldKeysAndKeySwitches) {
  struct Case {
    bool shift, control;
    std::string commandLine;
    int shiftFlag, controlFlag;
  };
  const std::vector<Case> cases = {
      {true, true, "", 1, 1},
      {true, true, "/#x", 0, 0},
      {true, false, "/#X /#k=sft", 1, 0},
      {true, false, "/#k=sft", 0, 0},
      {false, false, "/#k=sft", 1, 0},
  };
  for (const Case& c : cases) {
    run.start.ShiftFlag = run.start.ControlFlag = 0;
    fs.shiftDown = c.shift;
    fs.controlDown = c.control;
    ASSERT_TRUE(Create(c.commandLine));
    EXPECT_EQ(run.start.ShiftFlag, c.shiftFlag) << c.commandLine;
    EXPECT_EQ(run.start.ControlFlag, c.controlFlag) << c.commandLine;
  }
}

TEST_F(StartupTest, ConfigSwitchNamesAFileInTheProgramFolder) {
  fs.AddFile("C:\\Tools\\other.ini", "[system]\r\n@icon\r\n");
  ASSERT_TRUE(Create("/#S=other.ini C:\\x"));
  EXPECT_EQ(run.start.ConfigPath, "C:\\Tools\\other.ini");
  EXPECT_EQ(run.settings.ShowIcons, 1);

  ASSERT_TRUE(Create("/#s=missing.ini"));
  EXPECT_EQ(run.start.ConfigPath, "C:\\Tools\\zolto5_c.ini");

  fs.AddFile("C:\\cfg\\a.ini");
  ASSERT_TRUE(Create("/#s=C:\\cfg\\a.ini"));  // always relative
  EXPECT_EQ(run.start.ConfigPath, "C:\\Tools\\zolto5_c.ini");

  ASSERT_TRUE(Create("/#s=" + std::string(300, 'n')));  // does not fit
  EXPECT_EQ(run.start.ConfigPath, "C:\\Tools\\zolto5_c.ini");
}

TEST_F(StartupTest, ConfigSwitchWithABlankNamesTheFolderAndFails) {
  EXPECT_FALSE(Create("/#s= C:\\x"));
  ASSERT_EQ(fs.messages.size(), 1u);
  EXPECT_EQ(fs.messages[0].text, "設定ファイル異常");
  EXPECT_EQ(fs.messages[0].caption, "zolto5_c");
}

TEST_F(StartupTest, MenuSwitchWinsOverTheFile) {
  fs.AddFile("C:\\Tools\\zolto5_c.ini", "[system]\r\n@menu=mouse\r\n");
  ASSERT_TRUE(Create("/#m=center"));
  EXPECT_EQ(run.settings.MenuPosition, kMenuCenter);

  run.settings = Settings();
  ASSERT_TRUE(Create("x /#m=xyz y"));
  EXPECT_EQ(run.settings.MenuPosition, kMenuActive);

  run.settings = Settings();
  ASSERT_TRUE(Create("/#m=100,MAX"));
  EXPECT_EQ(run.settings.MenuPosition, kMenuCoordinates);
  EXPECT_EQ(run.settings.MenuY, 1024);

  run.settings = Settings();  // too long or empty: nothing applied
  ASSERT_TRUE(Create("/#m=" + std::string(259, '1')));
  EXPECT_EQ(run.settings.MenuPosition, kMenuMouse);
  run.settings = Settings();
  ASSERT_TRUE(Create("/#m= x"));
  EXPECT_EQ(run.settings.MenuPosition, kMenuMouse);
}

TEST_F(StartupTest, OneByOneSwitch) {
  ASSERT_TRUE(Create("a /#Y b"));
  EXPECT_EQ(run.start.OneByOne, 1);
  run.start.OneByOne = 0;
  ASSERT_TRUE(Create("a b"));
  EXPECT_EQ(run.start.OneByOne, 0);
}

TEST_F(StartupTest, DispatchChoosesOnePath) {
  RecordingFrontend frontend;
  run.frontend = &frontend;
  fs.AddFile("C:\\Tools\\zolto5_c.ini", "[system]\r\n%end\r\n[file]\r\nA.exe\r\nB.exe\r\n");
  fs.AddFile("C:\\Tools\\A.exe");
  fs.AddFile("C:\\Tools\\B.exe");
  fs.AddFile("C:\\d\\x.txt");
  fs.AddFile("C:\\d\\y.txt");
  ASSERT_TRUE(Create(""));
  EXPECT_EQ(StartupDispatch(run), StartupPath::TargetlessMenu);
  EXPECT_EQ(frontend.menus, std::vector<std::string>{"targetless"});

  frontend.menus.clear();
  SetCommandLine("C:\\d\\x.txt C:\\d\\y.txt");
  EXPECT_EQ(StartupDispatch(run), StartupPath::Targets);
  EXPECT_EQ(frontend.menus, std::vector<std::string>{"targets"});

  frontend.menus.clear();
  run.start.OneByOne = 1;  // one target: one-by-one mode is cleared
  SetCommandLine("C:\\d\\x.txt /#y");
  EXPECT_EQ(StartupDispatch(run), StartupPath::Targets);
  EXPECT_EQ(run.start.OneByOne, 0);
  EXPECT_EQ(frontend.menus, std::vector<std::string>{"targets"});

  frontend.menus.clear();
  SetCommandLine("nothing-here /#C");
  EXPECT_EQ(StartupDispatch(run), StartupPath::Clipboard);
  EXPECT_TRUE(frontend.menus.empty());  // an empty clipboard shows nothing

  frontend.menus.clear();
  run.start.ShiftFlag = run.start.ControlFlag = 1;
  SetCommandLine("C:\\d\\x.txt");
  EXPECT_EQ(StartupDispatch(run), StartupPath::TargetlessMenu);
  EXPECT_EQ(frontend.menus, std::vector<std::string>{"targetless"});
  EXPECT_TRUE(fs.starts.empty());
}

TEST_F(StartupTest, DispatchQuotesAWholePathWithBlanks) {
  fs.AddFile("C:\\My Files\\a b.txt");
  SetCommandLine("C:\\My Files\\a b.txt");
  StartupDispatch(run);
  EXPECT_EQ(run.start.CommandLine, "\"C:\\My Files\\a b.txt\"");
  EXPECT_EQ(run.targets.fullCount, 1);
  EXPECT_EQ(run.targets.full[0], "C:\\My Files\\a b.txt");

  SetCommandLine("C:\\My Files");
  StartupDispatch(run);
  EXPECT_EQ(run.start.CommandLine, "\"C:\\My Files\"");

  SetCommandLine("C:\\My Files\\a b.txt C:\\x");
  StartupDispatch(run);
  EXPECT_EQ(run.start.CommandLine, "C:\\My Files\\a b.txt C:\\x");
  EXPECT_EQ(run.targets.fullCount, 0);
}

}  // namespace
}  // namespace zolto
