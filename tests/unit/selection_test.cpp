#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_run.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

class SelectionTest : public RunTest {
 protected:
  SelectionTest() {
    run.frontend = &menu;
    for (const char* p : {"C:\\Tools\\a.exe", "C:\\Tools\\b.exe", "C:\\Tools\\c.exe",
                          "C:\\d\\x.txt", "C:\\d\\y.txt", "C:\\d\\z.txt", "C:\\d\\My File.txt"})
      fs.AddFile(p);
    fs.AddFolder("C:\\d\\sub");
    fs.associations[".txt"] = "C:\\Windows\\notepad.exe";
  }
  // Runs the targets named by commandLine against a configuration text.
  void RunWith(const std::string& config, const std::string& commandLine) {
    fs.AddFile(run.start.ConfigPath, config);
    ASSERT_EQ(ReadConfiguration(run), 1);
    BuildTargetList(run, commandLine, 0);
    RunTargets(run, 0, 0);
  }
  // "file|parameters|folder" of each start.
  Strings Starts() const {
    Strings out;
    for (const ShellStart& s : fs.starts)
      out.push_back(s.file + "|" + s.parameters + "|" + s.directory);
    return out;
  }
  MenuRecorder menu;
};

TEST_F(SelectionTest, NothingMatchesOpensWithTheAssociation) {
  RunWith("[^D:\\]\na.exe\n%end\n", "C:\\d\\x.txt");
  EXPECT_EQ(Starts(), Strings{"C:\\d\\x.txt||"});
  EXPECT_EQ(menu.shown, 0);
}

TEST_F(SelectionTest, NoAssociationOpensTheOpenWithDialog) {
  fs.AddFile("C:\\d\\q.zz9");
  RunWith("", "C:\\d\\q.zz9");
  EXPECT_EQ(Starts(), (Strings{"C:\\d\\q.zz9||",
                               "C:\\Windows\\system32\\rundll32.exe|shell32.dll,OpenAs_RunDLL C:\\d\\q.zz9|"}));
}

TEST_F(SelectionTest, SingleProgramRunsAtOnceWithTheQuotedTarget) {
  RunWith("[$.txt]\na.exe\n%end\n", "\"C:\\d\\My File.txt\"");
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\a.exe|\"C:\\d\\My File.txt\"|C:\\Tools"});
  EXPECT_EQ(menu.shown, 0);
}

TEST_F(SelectionTest, AllSectionAndNoAllMark) {
  const std::string all = "[all]\nb.exe\nc.exe\n%end\n";
  RunWith("[$.txt]\na.exe\n%end\n" + all, "C:\\d\\x.txt");
  EXPECT_EQ(menu.shown, 1);
  EXPECT_EQ(run.entries.ordinaryCount, 3);
  EXPECT_EQ(run.entries.entries[2].command, "C:\\Tools\\c.exe");  // [all] comes last

  fs.starts.clear();
  RunWith("[$.txt]#\na.exe\n%end\n" + all, "C:\\d\\x.txt");
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\a.exe|C:\\d\\x.txt|C:\\Tools"});
  EXPECT_EQ(menu.shown, 1);

  fs.starts.clear();  // the first "[all]" anywhere counts, even in a comment
  RunWith("; see [all]\n[$.txt]\na.exe\n%end\n", "C:\\d\\x.txt");
  EXPECT_EQ(menu.shown, 2);
}

TEST_F(SelectionTest, SectionsWithoutProgramsOpenTheTarget) {
  RunWith("[$.txt]\n+\n-\n{G\n}\n%end\n", "C:\\d\\x.txt");
  EXPECT_EQ(Starts(), Strings{"C:\\d\\x.txt||"});
}

TEST_F(SelectionTest, CatchAllSection) {
  const std::string config = "[^D:\\]\na.exe\n%end\n; [.*]_[folder]\nb.exe\n%end\n";
  RunWith(config, "C:\\d\\x.txt");
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\b.exe|C:\\d\\x.txt|C:\\Tools"});
  fs.starts.clear();
  RunWith(config, "C:\\d\\sub");  // excluded: opened with its association
  EXPECT_EQ(Starts(), Strings{"C:\\d\\sub||"});
  // A matching first-pass header keeps the catch-all out.
  fs.starts.clear();
  RunWith("[$.txt]\na.exe\n%end\n[.*]\nb.exe\n%end\n", "C:\\d\\x.txt");
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\a.exe|C:\\d\\x.txt|C:\\Tools"});
}

TEST_F(SelectionTest, ExclusionStateIsEachHeadersOwn) {
  // The first header's exclusion hits; the plain catch-all is still taken.
  RunWith("_[$.txt]\na.exe\n%end\n[.*]\nb.exe\n%end\n", "C:\\d\\x.txt");
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\b.exe|C:\\d\\x.txt|C:\\Tools"});
}

TEST_F(SelectionTest, FolderTargetGetsItsBackslash) {
  fs.AddFolder("C:\\My Dir");
  RunWith("[folder]\na.exe\n%end\n", "\"C:\\My Dir\"");
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\a.exe|\"C:\\My Dir\\\"|C:\\Tools"});
}

TEST_F(SelectionTest, TemplateEntryRunsOncePerTargetOrOnce) {
  RunWith("[$.txt]\na.exe\n]-x\n%end\n[@dist]\n", "C:\\d\\x.txt C:\\d\\y.txt C:\\d\\z.txt");
  EXPECT_EQ(Starts(), Strings(3, "C:\\Tools\\a.exe|-x|C:\\Tools"));
  EXPECT_EQ(run.launch.DialogProgram, "C:\\Tools\\a.exe");

  fs.starts.clear();
  RunWith("[system]\n@dist=500,100\n%end\n[$.txt]\na.exe\n]-x\n%end\n",
          "C:\\d\\x.txt C:\\d\\y.txt C:\\d\\z.txt");
  EXPECT_EQ(fs.starts.size(), 3u);
  EXPECT_EQ(fs.sleeps, (std::vector<int>{500, 100, 100}));

  fs.starts.clear();
  RunWith("[$.txt]\na.exe\n>-once\n%end\n", "C:\\d\\x.txt C:\\d\\y.txt");
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\a.exe|-once|C:\\Tools"});

  fs.starts.clear();
  RunWith("[$.txt]\na.exe\n>-1\n>-2\n%end\n", "C:\\d\\x.txt");
  EXPECT_TRUE(fs.starts.empty());
  EXPECT_EQ(menu.shown, 1);
}

TEST_F(SelectionTest, OneByOneRunsEachTargetWithoutMenu) {
  run.start.OneByOne = 1;
  RunWith("[system]\n@dist=300,50\n%end\n[$.txt]\na.exe\nb.exe\nc.exe\n%end\n",
          "C:\\d\\x.txt C:\\d\\y.txt C:\\d\\z.txt");
  EXPECT_EQ(Starts(), (Strings{"C:\\Tools\\a.exe|C:\\d\\x.txt|C:\\Tools",
                               "C:\\Tools\\a.exe|C:\\d\\y.txt|C:\\Tools",
                               "C:\\Tools\\a.exe|C:\\d\\z.txt|C:\\Tools"}));
  EXPECT_EQ(fs.sleeps, (std::vector<int>{300, 50, 50}));
  EXPECT_EQ(menu.shown, 0);
  EXPECT_EQ(run.targets.workingCount, 0);
}

TEST_F(SelectionTest, MissingRegexLibraryStopsTheRun) {
  fs.regexLibraryPresent = false;
  RunWith("[!/x/]\na.exe\n%end\n[$.txt]\nb.exe\n%end\n", "C:\\d\\x.txt");
  EXPECT_TRUE(fs.starts.empty());
  EXPECT_EQ(menu.shown, 0);
  EXPECT_EQ(fs.messages.size(), 1u);
}

TEST_F(SelectionTest, SecondConfigurationFile) {
  fs.AddFile("C:\\Tools\\alt.ini", "[$.txt]\nb.exe\n%end\n");
  RunWith("[system]\n@ext2=alt.ini\n%end\n[$.txt]\na.exe\n%end\n", "C:\\d\\x.txt");
  fs.starts.clear();
  BuildTargetList(run, "C:\\d\\x.txt", 0);
  RunTargets(run, 1, 0);
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\b.exe|C:\\d\\x.txt|C:\\Tools"});
  EXPECT_EQ(run.selection.secondConfig, 1);
}

TEST_F(SelectionTest, UnreadableConfigurationIsReported) {
  RunWith("", "C:\\d\\x.txt");
  fs.LockFile(run.start.ConfigPath);
  BuildTargetList(run, "C:\\d\\x.txt", 0);
  fs.starts.clear();
  EXPECT_EQ(RunTargets(run, 0, 0), 0);
  EXPECT_TRUE(fs.starts.empty());
  ASSERT_EQ(fs.messages.size(), 1u);
  EXPECT_EQ(fs.messages[0].text, "設定ファイル異常");
}

// Sections without "%end" run on into the sections below them; those that
// add nothing are not read again, but only as far as their "%end".
TEST_F(SelectionTest, SectionsRunningOnStopAtTheirEnd) {
  RunWith("[$.txt]\nmissing.exe\n[$.txt]\ngone.exe\n[$.txt]\n%end\n[$.txt]\na.exe\n%end\n",
          "C:\\d\\x.txt");
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\a.exe|C:\\d\\x.txt|C:\\Tools"});

  // Each taken section adds what runs on into it: a.exe and b.exe, then
  // b.exe again for the second header.
  RunWith("[$.txt]\na.exe\n[$.txt]\nb.exe\n%end\n", "C:\\d\\x.txt");
  EXPECT_EQ(menu.shown, 1);
  EXPECT_EQ(run.entries.ordinaryCount, 3);

  // A program looked up once is not found later in the same selection
  // only because the disk changed: each selection looks again.
  RunWith("[$.txt]\nlate.exe\nb.exe\n%end\n", "C:\\d\\x.txt");
  EXPECT_EQ(run.entries.ordinaryCount, 1);
  fs.AddFile("C:\\Tools\\late.exe");
  RunWith("[$.txt]\nlate.exe\nb.exe\n%end\n", "C:\\d\\x.txt");
  EXPECT_EQ(run.entries.ordinaryCount, 2);
}

}  // namespace
}  // namespace zolto
