#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_run.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

class LaunchingTest : public RunTest {
 protected:
  LaunchingTest() {
    fs.AddFile("C:\\Tools\\app.exe");
    fs.AddFile("C:\\root.exe");
    fs.AddFile("C:\\Tools\\job.bat");
    fs.AddFile("C:\\x\\one.txt");
    fs.AddFolder("C:\\My Files");
    fs.AddFolder("D:\\work");
    fs.associations[".txt"] = "C:\\Windows\\notepad.exe";
  }
  void Targets(const Strings& targets) {
    run.targets.Clear();
    for (const std::string& t : targets) run.targets.Add(t);
  }
  Strings Starts() const {
    Strings out;
    for (const ShellStart& s : fs.starts)
      out.push_back(s.file + "|" + s.parameters + "|" + s.directory);
    return out;
  }
};

TEST_F(LaunchingTest, WorkingFolder) {
  RunProgram(run, "C:\\Tools\\app.exe", "-a");
  RunProgram(run, "C:\\root.exe", "-b");
  run.launch.WorkFolderOverride = "D:\\work\\";
  RunProgram(run, "C:\\Tools\\app.exe", "-c");
  RunProgram(run, "C:\\Tools\\app.exe", "-d");  // used for one launch only
  run.launch.WorkFolderOverride = "D:\\missing\\";
  RunProgram(run, "C:\\Tools\\app.exe", "-e");
  EXPECT_EQ(Starts(), (Strings{"C:\\Tools\\app.exe|-a|C:\\Tools", "C:\\root.exe|-b|C:",
                               "C:\\Tools\\app.exe|-c|D:\\work", "C:\\Tools\\app.exe|-d|C:\\Tools",
                               "C:\\Tools\\app.exe|-e|C:\\Tools"}));
  EXPECT_TRUE(run.launch.WorkFolderOverride.empty());
}

TEST_F(LaunchingTest, MissingOrSystemProgramOpensTheParameters) {
  RunProgram(run, "C:\\Tools\\gone.exe", "\"C:\\x\\one.txt\"");
  RunProgram(run, "@SYSTEM", "C:\\x");
  EXPECT_EQ(Starts(), (Strings{"C:\\x\\one.txt||", "C:\\x||"}));
}

TEST_F(LaunchingTest, ListStartJoinsTargets) {
  Targets({"C:\\x\\one.txt", "C:\\My Files"});
  run.launch.ListQuoteMode = 1;
  RunProgram(run, "C:\\Tools\\app.exe", "-a \"%M\" -b");
  EXPECT_EQ(run.targets.workingCount, 0);
  EXPECT_EQ(run.launch.ListQuoteMode, 0);

  Targets({"C:\\x\\one.txt", "C:\\My Files"});
  run.launch.ListQuoteMode = 1;
  RunProgram(run, "C:\\Tools\\app.exe", "\"%-m\"");

  Targets({"C:\\x\\one.txt", "C:\\x\\two.txt", "C:\\x\\3.txt"});
  run.launch.ListQuoteMode = 2;
  RunProgram(run, "C:\\Tools\\app.exe", "/p %M");
  EXPECT_EQ(Starts(), (Strings{"C:\\Tools\\app.exe|-a \"C:\\x\\one.txt\" \"C:\\My Files\\\" -b|C:\\Tools",
                               "C:\\Tools\\app.exe|\"C:\\x\\one.txt\" \"C:\\My Files\"|C:\\Tools",
                               "C:\\Tools\\app.exe|/p C:\\x\\one.txt C:\\x\\two.txt C:\\x\\3.txt|C:\\Tools"}));
}

TEST_F(LaunchingTest, ListStartNeedsMacroAndTargets) {
  run.launch.ListQuoteMode = 2;
  RunProgram(run, "C:\\Tools\\app.exe", "/p %M");  // no targets
  Targets({"C:\\x\\one.txt"});
  run.launch.ListQuoteMode = 1;
  RunProgram(run, "C:\\Tools\\app.exe", "/p %M");  // the quoted form is missing
  EXPECT_TRUE(fs.starts.empty());
}

TEST_F(LaunchingTest, BareListKeepsEachNameOneArgument) {
  fs.AddFile("C:\\x\\a&b.txt");
  Targets({"C:\\My Files", "C:\\x\\a&b.txt"});
  run.launch.ListQuoteMode = 2;
  RunProgram(run, "C:\\Tools\\app.exe", "%-M");
  EXPECT_EQ(Starts(), Strings{"C:\\Tools\\app.exe|\"C:\\My Files\" \"C:\\x\\a&b.txt\"|C:\\Tools"});
}

TEST_F(LaunchingTest, PlainEntryArgumentIsOneArgument) {
  EXPECT_EQ(QuoteTargetArgument("C:\\x\\one.txt"), "C:\\x\\one.txt");
  for (const char* name : {"C:\\a b.txt", "C:\\a&b.txt", "C:\\a|b", "C:\\a^b", "C:\\a(1)",
                           "C:\\a,b", "C:\\a;b", "C:\\a=b", "C:\\a<b", "C:\\a!b", "C:\\a%b%"})
    EXPECT_EQ(QuoteTargetArgument(name), "\"" + std::string(name) + "\"") << name;
  EXPECT_EQ(QuoteTargetArgument("\"C:\\a b\""), "\"C:\\a b\"");
  fs.AddFile("C:\\x\\a&calc.txt");
  RunPlainEntry(run, "C:\\Tools\\app.exe", "C:\\x\\a&calc.txt");
  RunPlainEntry(run, "C:\\Tools\\job.bat", "C:\\x\\a&calc.txt");
  EXPECT_EQ(Starts(), (Strings{"C:\\Tools\\app.exe|\"C:\\x\\a&calc.txt\"|C:\\Tools",
                               "C:\\Tools\\job.bat|\"C:\\x\\a&calc.txt\"|C:\\Tools"}));
}

TEST_F(LaunchingTest, BatchProgramsNeverGetExpandableNames) {
  fs.AddFile("C:\\x\\50%PATH%.txt");
  RunPlainEntry(run, "C:\\Tools\\job.bat", "C:\\x\\50%PATH%.txt");
  Targets({"C:\\x\\one.txt", "C:\\x\\50%PATH%.txt"});
  run.launch.ListQuoteMode = 1;
  RunProgram(run, "C:\\Tools\\job.bat", "\"%M\"");
  EXPECT_TRUE(fs.starts.empty());
  RunPlainEntry(run, "C:\\Tools\\app.exe", "C:\\x\\50%PATH%.txt");  // a program is fine
  EXPECT_EQ(fs.starts.size(), 1u);
}

TEST_F(LaunchingTest, TemplateSequenceStopsAtCancel) {
  Targets({"C:\\x\\one.txt", "C:\\My Files", "https://example.org/"});
  run.settings.FirstLaunchDelay = 500;
  run.settings.NextLaunchDelay = 100;
  RunTemplateEntry(run, "C:\\Tools\\app.exe", "-go", "Go", 3);
  EXPECT_EQ(Starts(), Strings(3, "C:\\Tools\\app.exe|-go|C:\\Tools"));
  EXPECT_EQ(fs.sleeps, (std::vector<int>{500, 100, 100}));
  EXPECT_EQ(run.launch.EntryLabelForTitle, "Go");

  fs.starts.clear();
  fs.sleeps.clear();
  RunTemplateEntry(run, "C:\\Tools\\app.exe", kCancelMarker, "Go", 3);
  EXPECT_TRUE(fs.starts.empty());
  EXPECT_TRUE(fs.sleeps.empty());
}

TEST_F(LaunchingTest, TemplatesExpandPathMacrosWhenOn) {
  Targets({"C:\\x\\one.txt"});
  fs.specialFolders[0x24] = "C:\\Windows";
  RunTemplateEntry(run, "C:\\Tools\\app.exe", "%Windows%", "", 1);
  run.settings.ParamMacrosOn = true;
  RunTemplateEntry(run, "C:\\Tools\\app.exe", "%Windows%", "", 1);
  EXPECT_EQ(Starts(), (Strings{"C:\\Tools\\app.exe|%Windows%|C:\\Tools",
                               "C:\\Tools\\app.exe|C:\\Windows|C:\\Tools"}));
}

}  // namespace
}  // namespace zolto
