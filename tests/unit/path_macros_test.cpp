#include <gtest/gtest.h>

#include <string>

#include "launch/launch.h"
#include "test_run.h"

namespace zolto {
namespace {

class PathMacrosTest : public RunTest {
 protected:
  PathMacrosTest() {
    fs.specialFolders[0x24] = "C:\\Windows";
    fs.specialFolders[0x26] = "C:\\Program Files";
    fs.specialFolders[0x05] = "C:\\Users\\me\\Documents";
  }
  std::string Expand(const std::string& text) { return ExpandPathMacros(run, text); }
};

TEST_F(PathMacrosTest, SpecialFoldersInAnyCase) {
  EXPECT_EQ(Expand("%Windows%\\notepad.exe"), "C:\\Windows\\notepad.exe");
  EXPECT_EQ(Expand("%windows%;%WINDOWS%"), "C:\\Windows;C:\\Windows");
  EXPECT_EQ(Expand("\"%Program Files%\\x\" %P"), "\"C:\\Program Files\\x\" %P");
  EXPECT_EQ(Expand("%My Documents%"), "C:\\Users\\me\\Documents");
  // A folder the system cannot supply stays as written.
  EXPECT_EQ(Expand("%Common My Video%\\%Windows%"), "%Common My Video%\\C:\\Windows");
}

TEST_F(PathMacrosTest, EveryBuiltinNameIsKnown) {
  const char* folders[] = {
      "%Windows%", "%Program Files%", "%System%", "%My Pictures%", "%My Music%",
      "%My Video%", "%My Documents%", "%Favorites%", "%Start Menu%", "%Programs%",
      "%StartUp%", "%SendTo%", "%Internet Cache%", "%Fonts%", "%Cookies%",
      "%History%", "%Desktop%", "%DesktopDirectory%", "%Recent%",
      "%Common Start Menu%", "%Common Programs%", "%Common StartUp%",
      "%Common Desktop%", "%Common Favorites%", "%Common My Documents%",
      "%Common My Pictures%", "%Common My Music%", "%Common My Video%"};
  const int csidls[] = {0x24, 0x26, 0x25, 0x27, 0x0D, 0x0E, 0x05, 0x08 - 2, 0x0B,
                        0x02, 0x07, 0x09, 0x20, 0x14, 0x21, 0x22, 0x00, 0x10, 0x08,
                        0x16, 0x17, 0x18, 0x19, 0x1F, 0x2E, 0x36, 0x35, 0x37};
  for (size_t i = 0; i < std::size(folders); ++i) {
    FakePlatform other;
    RunState r(other, kFullEdition);
    other.specialFolders[csidls[i]] = "X" + std::to_string(i);
    EXPECT_EQ(ExpandPathMacros(r, folders[i]), "X" + std::to_string(i)) << folders[i];
  }
}

TEST_F(PathMacrosTest, DatesUseOneReading) {
  fs.now = {2010, 5, 3, 23, 59, 59};
  EXPECT_EQ(Expand("%4y%%0m%%0d%"), "20100503");
  EXPECT_EQ(Expand("%2y%|%mm%|%-m%|%dd%|%-d%"), "10|5| 5|3| 3");
  fs.now = {987, 12, 25};
  EXPECT_EQ(Expand("%2y% %4y% %0m% %-d%"), "87 987 12 25");
  fs.now = {7, 1, 1};
  EXPECT_EQ(Expand("%2y%"), "7");
}

TEST_F(PathMacrosTest, ProgramFolderAndDrive) {
  EXPECT_EQ(Expand("%ins_zolto%\\a;%DRV_ZOLTO%"), "C:\\Tools\\a;C:");
  run.start.ProgramFolder = "\\\\srv\\share\\";
  run.start.ProgramDrive = "";
  EXPECT_EQ(Expand("[%ins_zolto%][%drv_zolto%]"), "[\\\\srv\\share][]");
}

TEST_F(PathMacrosTest, UserMacrosAfterBuiltins) {
  run.settings.UserMacros = {{"%ed%", "%Program Files%\\ed.exe"},
                             {"EDITOR", "vi"},
                             {"loop", "loop loop"},
                             {"%B%", "b"},
                             {"%a%", "%B%"},
                             {"", "never"}};
  EXPECT_EQ(Expand("%ed% %P"), "%Program Files%\\ed.exe %P");
  EXPECT_EQ(Expand("myeditor"), "myvi");  // plain substring replacement
  EXPECT_EQ(Expand("loop-loop"), "loop loop-loop loop");
  EXPECT_EQ(Expand("%b% then %A%"), "b then %B%");  // in definition order
  EXPECT_EQ(Expand("no macros here"), "no macros here");
  run.settings.UserMacros = {{"%Windows%", "W"}};
  EXPECT_EQ(Expand("%Windows%"), "C:\\Windows");  // a user name in a value
  run.settings.UserMacros = {{"Win", "w"}};
  EXPECT_EQ(Expand("%Windows%"), "C:\\wdows");  // names match in any case
}

TEST_F(PathMacrosTest, TextNeverGrowsPastItsLimit) {
  run.settings.UserMacros = {{"x", std::string(259, 'v')}};
  const std::string out = Expand("x x x");
  EXPECT_EQ(out, std::string(259, 'v') + " x x");  // the rest stays as written
  EXPECT_EQ(Expand(std::string(600, 'a')).size(), 519u);
  fs.specialFolders[0x24] = std::string(300, 'w');
  EXPECT_EQ(Expand("%Windows%"), std::string(259, 'w'));
}

TEST_F(PathMacrosTest, DoubleByteNamesAndTrailBytes) {
  // "ソ" is 0x83 0x5C: its trail byte must not end a match.
  run.settings.UserMacros = {{"\\n", "NEW"}};
  EXPECT_EQ(Expand("\x83\x5Cn"), "\x83\x5Cn");
  EXPECT_EQ(Expand("a\\n"), "aNEW");
}

}  // namespace
}  // namespace zolto
