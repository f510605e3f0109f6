// The two editions choose sections differently from the same files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "platform/fake_platform.h"
#include "text/text.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

struct Menus : Frontend {
  int shown = 0;
  void ShowPopupMenu(int, int) override { ++shown; }
  int OpenParameterDialog() override { return 0; }
};

// One edition installed in C:\Tools\ with the configuration `config`.
struct EditionRun {
  EditionRun(const Edition& edition, const std::string& config) : run(fs, edition) {
    for (const char* p : {"C:\\Tools\\a.exe", "C:\\Tools\\b.exe", "C:\\Tools\\c.exe",
                          "C:\\d\\a.TXT", "C:\\d\\noext", "C:\\d\\x.log", "C:\\d\\x.zip"})
      fs.AddFile(p);
    fs.AddFolder("C:\\d\\sub");
    fs.associations[".zip"] = "C:\\Windows\\unzip.exe";
    InitialiseNames(run, std::string("C:\\Tools\\") + edition.programName + ".exe", "");
    DerivePaths(run);
    run.start.ConfigPath = run.start.ProgramFolder + run.start.ConfigName;
    fs.AddFile(run.start.ConfigPath, config);
    run.frontend = &menus;
  }
  // What a run on target did: "menu:<labels>", "open:<file>" or
  // "run:<program> <parameters>".
  std::string RunOn(const std::string& target) {
    fs.starts.clear();
    menus.shown = 0;
    BuildTargetList(run, target, 0);
    RunTargets(run, 0, 0);
    if (menus.shown) {
      std::string labels;
      for (int i = 0; i < run.entries.entryCount; ++i)
        labels += (i ? "," : "") + run.entries.entries[static_cast<size_t>(i)].label;
      return "menu:" + labels;
    }
    if (fs.starts.empty()) return "nothing";
    const ShellStart& s = fs.starts.front();
    if (s.parameters.empty()) return "open:" + s.file;
    return "run:" + std::string(FileNamePart(s.file)) + " " + s.parameters;
  }
  FakePlatform fs;
  RunState run;
  Menus menus;
};

struct BothEditions {
  explicit BothEditions(const std::string& config)
      : full(kFullEdition, config), basic(kBasicEdition, config) {}
  // "full result / basic result"
  std::string On(const std::string& target) {
    return full.RunOn(target) + " / " + basic.RunOn(target);
  }
  EditionRun full, basic;
};

TEST(Editions, ExtensionKeysAgainstPatternHeaders) {
  BothEditions both(
      "[.txt][.log]\na.exe | A\n%end\n"
      "[$.txt]\nb.exe | B\n%end\n"
      "[folder]\nc.exe | C\n%end\n");
  EXPECT_EQ(both.On("C:\\d\\a.TXT"), "run:b.exe C:\\d\\a.TXT / run:a.exe C:\\d\\a.TXT");
  EXPECT_EQ(both.On("C:\\d\\x.log"), "open:C:\\d\\x.log / run:a.exe C:\\d\\x.log");
  EXPECT_EQ(both.On("C:\\d\\sub"), "run:c.exe C:\\d\\sub\\ / run:c.exe C:\\d\\sub\\");
}

TEST(Editions, EveryOccurrenceInFileOrderAndAll) {
  BothEditions both(
      "[.txt]\na.exe | A\n%end\n"
      "[.zip]\nc.exe | C\n%end\n"
      "; a second section for [.TXT] files\nb.exe | B\n%end\n"
      "[all]\nc.exe | All\n%end\n");
  EXPECT_EQ(both.basic.RunOn("C:\\d\\a.TXT"), "menu:A,B,All");
  EXPECT_EQ(both.basic.RunOn("C:\\d\\x.zip"), "menu:C,All");
  EXPECT_EQ(both.full.RunOn("C:\\d\\a.TXT"), "open:C:\\d\\a.TXT");  // no pattern header
}

TEST(Editions, NoAllMarkAndCatchAll) {
  BothEditions both(
      "[.txt]#\na.exe | A\n%end\n"
      "[.log]\n+\n%end\n"
      "[.*]\nb.exe | B\n%end\n"
      "[all]\nc.exe | All\n%end\n");
  EXPECT_EQ(both.basic.RunOn("C:\\d\\a.TXT"), "run:a.exe C:\\d\\a.TXT");
  // The key's section has no program, but "[all]" gives one.
  EXPECT_EQ(both.basic.RunOn("C:\\d\\x.log"), "run:c.exe C:\\d\\x.log");
  EXPECT_EQ(both.basic.RunOn("C:\\d\\noext"), "menu:B,All");
  EXPECT_EQ(both.full.RunOn("C:\\d\\noext"), "menu:B,All");
}

TEST(Editions, SectionWithoutProgramsFallsBackToCatchAll) {
  BothEditions both("[.log]\n+\n{G\n}\n%end\n[.*]\nb.exe | B\n%end\n");
  EXPECT_EQ(both.basic.RunOn("C:\\d\\x.log"), "run:b.exe C:\\d\\x.log");
}

TEST(Editions, WithoutCatchAllTheTargetOpens) {
  BothEditions both("[]\na.exe | A\n%end\n");
  EXPECT_EQ(both.On("C:\\d\\noext"), "open:C:\\d\\noext / run:a.exe C:\\d\\noext");
  EXPECT_EQ(both.On("C:\\d\\x.zip"), "open:C:\\d\\x.zip / open:C:\\d\\x.zip");
}

TEST(Editions, PatternAndKindHeadersAreNeverBasicKeys) {
  BothEditions both("[^C:\\d]\na.exe | A\n%end\n[file]\nb.exe | B\n%end\n");
  EXPECT_EQ(both.On("C:\\d\\x.zip"), "menu:A,B / open:C:\\d\\x.zip");
}

TEST(Editions, WebAddressesAreNoBasicTargets) {
  BothEditions both("[url]\na.exe | A\n%end\n");
  EXPECT_EQ(both.full.RunOn("https://example.org/"), "run:a.exe https://example.org/");
  BuildTargetList(both.basic.run, "https://example.org/", 0);
  EXPECT_EQ(both.basic.run.targets.workingCount, 0);
}

}  // namespace
}  // namespace zolto
