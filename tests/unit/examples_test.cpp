// The example configurations shipped with each edition (examples/*.ini):
// their settings, and the menu each gives the kinds of targets it is for.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "targets/targets.h"
#include "test_run.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

std::string ReadExample(const std::string& name) {
  std::ifstream file(std::string(ZOLTO_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class ExampleTest : public ::testing::TestWithParam<const Edition*> {
 protected:
  ExampleTest() : run(fs, *GetParam()) {
    InitialiseNames(run, std::string("C:\\Tools\\") + GetParam()->programName + ".exe", "");
    DerivePaths(run);
    run.start.ConfigPath = run.start.ProgramFolder + run.start.ConfigName;
    run.frontend = &menu;
    for (const char* p : {"C:\\Windows\\notepad.exe", "C:\\Windows\\explorer.exe",
                          "C:\\Windows\\system32\\mspaint.exe", "C:\\d\\a.TXT", "C:\\d\\b.png",
                          "C:\\d\\c.zip", "C:\\Windows\\win.ini", "C:\\Tools\\zolto_capture.exe"})
      fs.AddFile(p);
    fs.AddFolder("C:\\d\\sub");
    // BREGEXP.DLL's "/pattern/flags" form, enough for the example's header.
    fs.regexMatcher = [](const std::string& expression, const std::string& subject) {
      const size_t close = expression.rfind('/');
      const bool icase = expression.find('i', close) != std::string::npos;
      const std::regex pattern(expression.substr(1, close - 1),
                               icase ? std::regex::icase : std::regex::ECMAScript);
      return std::regex_search(subject, pattern) ? 1 : 0;
    };
    const std::string text = ReadExample(run.start.ConfigName);
    EXPECT_FALSE(text.empty()) << "no example " << run.start.ConfigName;
    fs.AddFile(run.start.ConfigPath, text);
    EXPECT_EQ(ReadConfiguration(run), 1);
  }

  // The entries the menu for target offers: labels, "+" for a separator,
  // "-" for a column break, "{label" and "}" for a group.
  Strings MenuFor(const std::string& target) {
    BuildTargetList(run, target, 0);
    const int shownBefore = menu.shown;
    RunTargets(run, 0, 0);
    EXPECT_EQ(menu.shown, shownBefore + 1) << "no menu for " << target;
    Strings out;
    for (int i = 0; i < run.entries.entryCount; ++i) {
      const Entry& e = run.entries.entries[static_cast<size_t>(i)];
      switch (e.kind) {
        case kSeparator: out.push_back("+"); break;
        case kColumnBreak: out.push_back("-"); break;
        case kSubmenuOpen: out.push_back("{" + e.label); break;
        case kSubmenuClose: out.push_back("}"); break;
        case kParameter: out.push_back(">" + e.label); break;
        default: out.push_back(e.label);
      }
    }
    return out;
  }

  FakePlatform fs;
  RunState run;
  MenuRecorder menu;
};

TEST_P(ExampleTest, SettingsShowOffThePreviewsIconsAndExplorerMenu) {
  const Settings& s = run.settings;
  EXPECT_EQ(s.ShowIcons, 1);
  EXPECT_EQ(s.MenuPosition, kMenuMouse);
  EXPECT_EQ(s.PicturePreview, 1);
  EXPECT_EQ(s.TextPreview, 1);
  EXPECT_EQ(s.TextTypes, (Strings{".txt", ".ini", ".log", ".csv", ".bat"}));
  EXPECT_EQ(s.ExplorerMenuMode, 1);
  EXPECT_EQ(s.EditorProgram, "C:\\Windows\\notepad.exe");
  // Web previews by the capture program beside the launcher (full edition).
  const bool full = GetParam() == &kFullEdition;
  EXPECT_EQ(s.WebPreview, full ? 1 : 0);
  EXPECT_EQ(s.PageCaptureProgram, full ? "C:\\Tools\\zolto_capture.exe" : "");
  EXPECT_EQ(s.FirstLaunchDelay, 200);
  EXPECT_EQ(s.NextLaunchDelay, 100);
}

const Strings kAsk = {"+", "{&Ask", "Notepad with a file name you type", ">Ask", "}"};

Strings With(Strings entries, const Strings& tail) {
  entries.insert(entries.end(), tail.begin(), tail.end());
  return entries;
}

TEST_P(ExampleTest, EachKindOfTargetGetsItsMenu) {
  const bool full = GetParam() == &kFullEdition;
  if (full) {
    const Strings file = {"&Open", "&Notepad", ">Edit", "Show in &folder", ">Select"};
    EXPECT_EQ(MenuFor("C:\\d\\a.TXT"), With(file, With({"+", "&Print", ">Print"}, kAsk)));
    EXPECT_EQ(MenuFor("C:\\Windows\\win.ini"), With(file, kAsk));  // not printed there
    EXPECT_EQ(MenuFor("C:\\d\\b.png"), With(file, With({"+", "&Paint", ">Edit"}, kAsk)));
    EXPECT_EQ(MenuFor("C:\\d\\c.zip"), With(file, kAsk));
    EXPECT_EQ(MenuFor("https://example.com/"), With({"Open in &browser"}, kAsk));
  } else {
    EXPECT_EQ(MenuFor("C:\\d\\a.TXT"),
              With({"&Open", "&Notepad", ">Edit", "&Print", ">Print"}, kAsk));
    EXPECT_EQ(MenuFor("C:\\d\\b.png"), With({"&Open", "&Paint", ">Edit"}, kAsk));
    EXPECT_EQ(MenuFor("C:\\d\\c.zip"), With({"&Open", "Show in &folder", ">Select"}, kAsk));
  }
  EXPECT_EQ(MenuFor("C:\\d\\sub"),
            With({"&Explorer", ">Open", "New &text file here", ">New"}, kAsk));
  EXPECT_TRUE(fs.starts.empty());
}

INSTANTIATE_TEST_SUITE_P(Editions, ExampleTest,
                         ::testing::Values(&kFullEdition, &kBasicEdition),
                         [](const auto& info) { return std::string(info.param->programName); });

}  // namespace
}  // namespace zolto
