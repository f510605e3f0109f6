// Path and date macros: special folders, the program's folder and drive, the
// date, and the user macros of the "@param" block after them.
#include <gtest/gtest.h>

#include "launch/launch.h"
#include "test_run.h"

namespace zolto {
namespace {

struct MacroRow {
  std::string text;
  std::string expect;
  std::vector<UserMacro> macros = {};
  LocalTime now = {2010, 5, 3, 23, 59, 59};
};

const MacroRow kMacros[] = {
    {"%Windows%\\notepad.exe", "C:\\Windows\\notepad.exe"},
    {"%windows%;%WINDOWS%", "C:\\Windows;C:\\Windows"},
    {"\"%Program Files%\\x\" %P", "\"C:\\Program Files\\x\" %P"},
    {"%My Documents%", "C:\\Users\\me\\Documents"},
    {"%Common My Video%\\%Windows%", "%Common My Video%\\C:\\Windows"},  // a folder the system lacks
    {"%ins_zolto%\\a;%DRV_ZOLTO%", "C:\\Tools\\a;C:"},
    {"%4y%%0m%%0d%", "20100503"},
    {"%2y%|%mm%|%-m%|%dd%|%-d%", "10|5| 5|3| 3"},
    {"%2y% %4y% %0m% %-d%", "87 987 12 25", {}, {987, 12, 25}},
    {"%2y%", "7", {}, {7, 1, 1}},
    {std::string(600, 'a'), std::string(519, 'a')},
    // User macros: plain text replaced in any case, in their order, never
    // read again, and only while the text stays within its limit.
    {"%ed% %P", "%Program Files%\\ed.exe %P", {{"%ed%", "%Program Files%\\ed.exe"}}},
    {"myeditor", "myvi", {{"EDITOR", "vi"}}},
    {"loop-loop", "loop loop-loop loop", {{"loop", "loop loop"}}},
    {"%b% then %A%", "b then %B%", {{"%B%", "b"}, {"%a%", "%B%"}, {"", "never"}}},
    {"%Windows%", "C:\\Windows", {{"%Windows%", "W"}}},  // the built-in name first
    {"%Windows%", "C:\\wdows", {{"Win", "w"}}},
    {"x x x", std::string(259, 'v') + " x x", {{"x", std::string(259, 'v')}}},  // the rest stays
    {"\x83\x5Cn", "\x83\x5Cn", {{"\\n", "NEW"}}},  // ソ: its trail byte starts no match
    {"a\\n", "aNEW", {{"\\n", "NEW"}}},
};

TEST(PathMacros, BuiltinsThenUserMacros) {
  for (const MacroRow& row : kMacros) {
    SCOPED_TRACE(row.text.substr(0, 60));
    TestRun t;
    t.fs.now = row.now;
    t.run.settings.UserMacros = row.macros;
    EXPECT_EQ(ExpandPathMacros(t.run, row.text), row.expect);
  }
  TestRun t;
  t.run.start.ProgramFolder = "\\\\srv\\share\\";
  t.run.start.ProgramDrive = "";
  EXPECT_EQ(ExpandPathMacros(t.run, "[%ins_zolto%][%drv_zolto%]"), "[\\\\srv\\share][]");
  t.fs.specialFolders[0x24] = std::string(300, 'w');  // cut to 259
  EXPECT_EQ(ExpandPathMacros(t.run, "%Windows%"), std::string(259, 'w'));
}

TEST(PathMacros, EachBuiltinNameNamesItsFolder) {
  const std::pair<const char*, int> folders[] = {
      {"%Windows%", 0x24}, {"%Program Files%", 0x26}, {"%System%", 0x25}, {"%My Pictures%", 0x27},
      {"%My Music%", 0x0D}, {"%My Video%", 0x0E}, {"%My Documents%", 0x05}, {"%Favorites%", 0x06},
      {"%Start Menu%", 0x0B}, {"%Programs%", 0x02}, {"%StartUp%", 0x07}, {"%SendTo%", 0x09},
      {"%Internet Cache%", 0x20}, {"%Fonts%", 0x14}, {"%Cookies%", 0x21}, {"%History%", 0x22},
      {"%Desktop%", 0x00}, {"%DesktopDirectory%", 0x10}, {"%Recent%", 0x08},
      {"%Common Start Menu%", 0x16}, {"%Common Programs%", 0x17}, {"%Common StartUp%", 0x18},
      {"%Common Desktop%", 0x19}, {"%Common Favorites%", 0x1F}, {"%Common My Documents%", 0x2E},
      {"%Common My Pictures%", 0x36}, {"%Common My Music%", 0x35}, {"%Common My Video%", 0x37}};
  for (const auto& [name, csidl] : folders) {
    TestRun t;
    t.fs.specialFolders = {{csidl, "X"}};
    EXPECT_EQ(ExpandPathMacros(t.run, name), "X") << name;
  }
}

}  // namespace
}  // namespace zolto
