#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config.h"
#include "test_run.h"
#include "text/text.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

class ConfigTest : public RunTest {};

// ---- Locating the file ----

TEST_F(ConfigTest, MissingFileIsCreatedEmptyAndDefaultsApply) {
  EXPECT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(fs.FileContents("C:\\Tools\\zolto5_c.ini"), std::string());
  EXPECT_EQ(run.settings.MenuPosition, kMenuActive);
  EXPECT_EQ(run.settings.Delimiter, " | ");
  EXPECT_TRUE(fs.messages.empty());
}

TEST_F(ConfigTest, RenamedProgramReadsItsOwnFileThenTheEditionName) {
  InitialiseNames(run, "C:\\Tools\\launch.exe", "");
  run.start.ConfigPath = "C:\\Tools\\launch.ini";
  fs.AddFile("C:\\Tools\\zolto5_c.ini", "[system]\r\n@icon\r\n");
  EXPECT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(run.start.ConfigPath, "C:\\Tools\\zolto5_c.ini");
  EXPECT_EQ(run.settings.ShowIcons, 1);
  EXPECT_FALSE(fs.PathExists("C:\\Tools\\launch.ini"));

  fs.AddFile("C:\\Tools\\launch.ini", "[system]\r\n@mark=0\r\n");
  run.start.ConfigPath = "C:\\Tools\\launch.ini";
  EXPECT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(run.settings.ShowIcons, 0);
  EXPECT_EQ(run.settings.SoleMark, 0);
}

TEST_F(ConfigTest, BasicEditionFallsBackToItsOwnName) {
  FakePlatform basicFs;
  RunState basic(basicFs, kBasicEdition);
  InitialiseNames(basic, "C:\\B\\other.exe", "");
  DerivePaths(basic);
  basic.start.ConfigPath = "C:\\B\\other.ini";
  basicFs.AddFile("C:\\B\\zolto5_c.ini", "[system]\r\n@icon\r\n");
  basicFs.AddFile("C:\\B\\zolto5.ini", "[system]\r\n@mark=0\r\n");
  EXPECT_EQ(ReadConfiguration(basic), 1);
  EXPECT_EQ(basic.start.ConfigPath, "C:\\B\\zolto5.ini");
  EXPECT_EQ(basic.settings.SoleMark, 0);
}

TEST_F(ConfigTest, UnreadableFileIsReportedWithTheEditionCaption) {
  run.start.ConfigPath = "C:\\Tools\\";  // the program folder itself
  EXPECT_EQ(ReadConfiguration(run), 0);
  ASSERT_EQ(fs.messages.size(), 1u);
  EXPECT_EQ(fs.messages[0].text, "設定ファイル異常");
  EXPECT_EQ(fs.messages[0].caption, "zolto5_c");

  FakePlatform basicFs;
  RunState basic(basicFs, kBasicEdition);
  basicFs.AddFile("C:\\B\\zolto5.ini");
  basicFs.LockFile("C:\\B\\zolto5.ini");
  basic.start.ConfigPath = "C:\\B\\zolto5.ini";
  EXPECT_EQ(ReadConfiguration(basic), 0);
  ASSERT_EQ(basicFs.messages.size(), 1u);
  EXPECT_EQ(basicFs.messages[0].caption, "エラー");
}

TEST_F(ConfigTest, ProgramInTooDeepAFolderFindsNoFileAndReportsIt) {
  const std::string deep = "C:\\" + std::string(250, 'd') + "\\";
  fs.AddFolder(deep);
  InitialiseNames(run, deep + "zolto5_c.exe", "");
  DerivePaths(run);
  EXPECT_EQ(run.start.ProgramFolder, deep);
  EXPECT_EQ(run.start.HelpTextPath, "");  // does not fit: absent
  run.start.ConfigPath = JoinPath(run.start.ProgramFolder, run.start.ConfigName);
  EXPECT_EQ(ReadConfiguration(run), 0);
  EXPECT_EQ(fs.messages.size(), 1u);
}

// ---- The [system] part ----

TEST_F(ConfigTest, SystemPartStartsAtItsHeaderAndEndsAtEnd) {
  fs.AddFile(run.start.ConfigPath,
             "@icon\r\n[txt]\r\n; [SYSTEM] in a comment starts it\r\n"
             "   \t@mark=0\r\n%end\r\n@active=1\r\n");
  ASSERT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(run.settings.ShowIcons, 0);  // before the header
  EXPECT_EQ(run.settings.SoleMark, 0);   // leading blanks removed
  EXPECT_EQ(run.settings.ForceActivate, 0);  // after %end
}

TEST_F(ConfigTest, SystemPartRunsIntoLaterSectionsWithoutEnd) {
  fs.AddFile(run.start.ConfigPath,
             "[system]\n@icon\n[.*]\nnotepad.exe | Edit\n@mark=0\n");
  ASSERT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(run.settings.ShowIcons, 1);
  EXPECT_EQ(run.settings.SoleMark, 0);
}

TEST_F(ConfigTest, LastLineWithoutLineBreakIsIgnored) {
  fs.AddFile(run.start.ConfigPath, "[system]\r\n@icon\r\n@mark=0");
  ASSERT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(run.settings.ShowIcons, 1);
  EXPECT_EQ(run.settings.SoleMark, 1);
}

TEST_F(ConfigTest, KeysArePrefixesMatchedWithoutCase) {
  Settings& s = ReadSystem("@ICON=0\r\n@Mark=0\r\n@active=0\r\n@XTITLE\r\n");
  EXPECT_EQ(s.ShowIcons, 1);  // "@icon" is a prefix of "@icon=0"
  EXPECT_EQ(s.SoleMark, 0);
  EXPECT_EQ(s.ForceActivate, 0);  // "@active=0" matches no key
  EXPECT_EQ(s.DialogTitleMode, 1);
  EXPECT_EQ(ReadSystem("@active=1\r\n").ForceActivate, 1);
}

TEST_F(ConfigTest, Delimiter) {
  EXPECT_EQ(ReadSystem("@dlm=|\r\n").Delimiter, " | ");
  EXPECT_EQ(ReadSystem("@dlm=::\r\n").Delimiter, "::");
  EXPECT_EQ(ReadSystem("@dlm=" + std::string(40, '#') + "\r\n").Delimiter,
            std::string(31, '#'));  // cut to its capacity
}

TEST_F(ConfigTest, NameLength) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"0", 0}, {"300", 0}, {"abc", 0}, {"-1", -1}, {"-5", 0},
      {"1", 1}, {"254", 254}, {"255", 0}, {" 12", 12}};
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(ReadSystem("@len=" + value + "\r\n").NameLength, expected) << value;
}

TEST_F(ConfigTest, MenuPositionForms) {
  struct Case {
    std::string value;
    int position, x, y;
  };
  const std::vector<Case> cases = {
      {"center", kMenuCenter, 0, 0},
      {"mouse", kMenuMouse, 0, 0},
      {"mous2", kMenuMous2, 0, 0},
      {"xyz", kMenuActive, 0, 0},
      {"100,MAX", kMenuCoordinates, 100, 1024},
      {"100,max", kMenuCoordinates, 100, 0},  // at the line end only "MAX"
      {"100,max,", kMenuCoordinates, 100, 1024},
      {"MAX,200", kMenuCoordinates, 1280, 200},
      {"1234567,5", kMenuCoordinates, 123456, 5},  // tokens hold 6 characters
  };
  for (const Case& c : cases) {
    run.settings = Settings();
    run.start.Metrics.maximizedHeight = 1024;
    Settings& s = ReadSystem("@menu=" + c.value + "\r\n");
    EXPECT_EQ(s.MenuPosition, c.position) << c.value;
    EXPECT_EQ(s.MenuX, c.x) << c.value;
    EXPECT_EQ(s.MenuY, c.y) << c.value;
  }
}

TEST_F(ConfigTest, MenuPositionOnlyFirstValidLineCounts) {
  EXPECT_EQ(ReadSystem("@menu=ab\r\n@menu=center\r\n@menu=mouse\r\n").MenuPosition,
            kMenuCenter);
  run.settings = Settings();
  run.start.Metrics.mouseButtons = 0;
  EXPECT_EQ(ReadSystem("@menu=mouse\r\n").MenuPosition, kMenuActive);
  run.settings = Settings();
  EXPECT_EQ(ReadSystem("@menu=mouse,7\r\n").MenuX, 0);  // no mouse: a number
  EXPECT_EQ(run.settings.MenuY, 7);
}

TEST_F(ConfigTest, LaunchDelays) {
  Settings& s = ReadSystem("@dist=500\r\n");
  EXPECT_EQ(s.FirstLaunchDelay, 500);
  EXPECT_EQ(s.NextLaunchDelay, 500);
  ReadSystem("@dist=0,20000\r\n");
  EXPECT_EQ(s.FirstLaunchDelay, 0);
  EXPECT_EQ(s.NextLaunchDelay, 0);
  ReadSystem("@dist=10000,1\r\n");
  EXPECT_EQ(s.FirstLaunchDelay, 10000);
  EXPECT_EQ(s.NextLaunchDelay, 1);
  ReadSystem("@dist=12345678,30\r\n");  // fields hold 6 characters
  EXPECT_EQ(s.FirstLaunchDelay, 0);
  EXPECT_EQ(s.NextLaunchDelay, 30);
}

TEST_F(ConfigTest, ExplorerMenuMode) {
  Settings& s = ReadSystem("@context=2,1\r\n");
  EXPECT_EQ(s.ExplorerMenuMode, 2);
  EXPECT_EQ(s.ExplorerMenuFirst, 1);
  ReadSystem("@context=1,1\r\n@context=1\r\n");  // a single value keeps B
  EXPECT_EQ(s.ExplorerMenuFirst, 1);
  ReadSystem("@context=3,1\r\n");  // mode 0 forces B to 0
  EXPECT_EQ(s.ExplorerMenuMode, 0);
  EXPECT_EQ(s.ExplorerMenuFirst, 0);
  ReadSystem("@context=1,2\r\n");
  EXPECT_EQ(s.ExplorerMenuFirst, 0);
}

TEST_F(ConfigTest, PicturePreviewFields) {
  Settings& s = ReadSystem("@pic=1,600\r\n");
  EXPECT_EQ(s.PicturePreview, 1);
  EXPECT_EQ(s.PictureSize, 200);
  ReadSystem("@pic=1,300,2,1\r\n");
  EXPECT_EQ(s.PicturePreview, 3);
  EXPECT_EQ(s.PictureSize, 300);
  EXPECT_EQ(s.PictureNoHighlight, 1);
  ReadSystem("@pic=1,300\r\n@pic=0,400\r\n");  // off ends the line
  EXPECT_EQ(s.PicturePreview, 0);
  EXPECT_EQ(s.PictureSize, 300);
  ReadSystem("@pic=1,100,7,0\r\n");
  EXPECT_EQ(s.PicturePreview, 1);
  EXPECT_EQ(s.PictureNoHighlight, 0);
}

TEST_F(ConfigTest, TextPreviewFields) {
  Settings& s = ReadSystem("@text=1\r\n");
  EXPECT_EQ(s.TextPreview, 1);
  EXPECT_EQ(s.TextFontFace, "MS UI Gothic");  // the menu font
  EXPECT_EQ(s.TextFontSize, 12);
  run.settings = Settings();
  ReadSystem("@text=1,200,20,0,Courier\r\n");
  EXPECT_EQ(s.TextFontFace, "Courier");
  EXPECT_EQ(s.TextFontSize, 10);
  ReadSystem("@text=1,2000,0,1,Fixed Sys,0,2,1,11\r\n");
  EXPECT_EQ(s.TextPreviewWidth, 200);
  EXPECT_EQ(s.TextPreviewLines, 20);
  EXPECT_EQ(s.TextSkipEmptyLines, 1);
  EXPECT_EQ(s.TextFontFace, "Fixed Sys");
  EXPECT_EQ(s.TextFontSize, 12);
  EXPECT_EQ(s.TextPreview, 3);
  EXPECT_EQ(s.TextNoHighlight, 1);
  EXPECT_EQ(s.TabWidth, 4);
  ReadSystem("@text=1,1000,100,0,F,8,1,0,0\r\n");
  EXPECT_EQ(s.TextPreviewWidth, 1000);
  EXPECT_EQ(s.TextPreviewLines, 100);
  EXPECT_EQ(s.TextPreview, 2);
  EXPECT_EQ(s.TabWidth, 0);
  ReadSystem("@text=0,300\r\n");
  EXPECT_EQ(s.TextPreview, 0);
  EXPECT_EQ(s.TextPreviewWidth, 200);  // the line ended at the first field
}

TEST_F(ConfigTest, WebPreviewFields) {
  fs.AddFile("C:\\Tools\\cap.exe");
  Settings& s = ReadSystem("@browse=cap,-w 800,2,1\r\n");
  EXPECT_EQ(s.PageCaptureProgram, "C:\\Tools\\cap.exe");
  EXPECT_EQ(s.CaptureArguments, "-w 800");
  EXPECT_EQ(s.WebPreview, 3);
  EXPECT_EQ(s.WebNoHighlight, 1);

  run.settings = Settings();
  ReadSystem("@browse=missing,-x,2,1\r\n");  // the line ends at the program
  EXPECT_EQ(s.WebPreview, 0);
  EXPECT_EQ(s.CaptureArguments, "");
  ReadSystem("@browse=C:\\Tools,-x\r\n");  // a folder is no program
  EXPECT_EQ(s.WebPreview, 0);
}

TEST_F(ConfigTest, ExtensionLists) {
  Settings& s = ReadSystem("@pic\r\n>.png;.tif\r\n");
  EXPECT_EQ(s.PictureTypes, (Strings{".png", ".tif"}));
  ReadSystem("@pic=1\r\n; a comment keeps the list mode\r\n>.a;;.b\r\n");
  EXPECT_EQ(s.PictureTypes, (Strings{".a", ".b"}));
  ReadSystem("@PICTURE\r\n>1;2;3;4;5;6;7\r\n");
  EXPECT_EQ(s.PictureTypes, (Strings{"1", "2", "3", "4", "5"}));
  ReadSystem("@pic\r\n\r\n>.x\r\n");  // an empty line ends the list mode
  EXPECT_EQ(s.PictureTypes, Settings().PictureTypes);
  ReadSystem("@text\r\n> .log ;.md\r\n>.again\r\n");
  EXPECT_EQ(s.TextTypes, (Strings{" .log ", ".md"}));
  ReadSystem("@pic\r\n>\r\n");  // one character is no list
  EXPECT_EQ(s.PictureTypes, Settings().PictureTypes);
  ReadSystem("@pic\r\n>" + std::string(300, 'p') + "\r\n");
  EXPECT_EQ(s.PictureTypes, (Strings{std::string(259, 'p')}));
}

TEST_F(ConfigTest, WebListsTakeOneOrTwoLines) {
  Settings& s = ReadSystem("@browse\r\n>.php\r\n;c\r\n>blank;.asp\r\n>.x\r\n");
  EXPECT_EQ(s.WebFileTypes, (Strings{".php"}));
  EXPECT_EQ(s.WebUrlTypes, (Strings{"blank", ".asp"}));

  RunState basic(fs, kBasicEdition);  // the basic edition has no "@browse"
  basic.start = run.start;
  ASSERT_EQ(ReadConfiguration(basic), 1);
  EXPECT_EQ(basic.settings.WebFileTypes, (Strings{".htm", ".html"}));
}

TEST_F(ConfigTest, DialogTexts) {
  Settings& s = ReadSystem("@xinit=  say \"hi\"\r\n@xtitle=" +
                           std::string(40, 't') + "\r\n");
  EXPECT_EQ(s.DialogInitialText, "  say \"hi\"");
  EXPECT_EQ(s.DialogTitleTemplate, std::string(31, 't'));
  EXPECT_EQ(s.DialogTitleMode, 2);
  ReadSystem("@xinit=" + std::string(600, 'i') + "\r\n");
  EXPECT_EQ(s.DialogInitialText.size(), 259u);
}

TEST_F(ConfigTest, SecondConfigAndEditorMustExist) {
  fs.AddFile("C:\\Tools\\alt.ini");
  fs.AddFile("C:\\Windows\\notepad.exe");
  Settings& s = ReadSystem("@ext2=alt.ini\r\n@editor=notepad\r\n");
  EXPECT_EQ(s.AltConfigPath, "C:\\Tools\\alt.ini");
  EXPECT_EQ(s.EditorProgram, "C:\\Windows\\notepad.exe");
  ReadSystem("@ext2=none.ini\r\n@editor=none\r\n@ext2=..\r\n@editor=C:\\Tools\r\n");
  EXPECT_EQ(s.AltConfigPath, run.start.ConfigPath);
  EXPECT_EQ(s.EditorProgram, "");
  ReadSystem("@ext2=" + std::string(300, 'a') + "\r\n");  // does not fit
  EXPECT_EQ(s.AltConfigPath, run.start.ConfigPath);
}

// ---- User macros ----

TEST_F(ConfigTest, ParamBlockReadsPairsAndResumes) {
  Settings& s = ReadSystem("@param\r\na | 1\r\n b | 2 \r\n@icon\r\n");
  ASSERT_EQ(s.UserMacros.size(), 2u);
  EXPECT_EQ(s.UserMacros[0].name, "a");
  EXPECT_EQ(s.UserMacros[0].value, "1");
  EXPECT_EQ(s.UserMacros[1].name, " b");  // leading spaces stay
  EXPECT_EQ(s.UserMacros[1].value, "2 ");
  EXPECT_TRUE(s.ParamMacrosOn);
  EXPECT_EQ(s.ShowIcons, 1);  // the line that ended the block is applied
}

TEST_F(ConfigTest, ParamBlockLimitsAndDelimiter) {
  std::string body = "@dlm==>\r\n@param\r\n";
  for (int i = 0; i < 11; ++i) body += "m" + std::to_string(i) + "=>v\r\n";
  Settings& s = ReadSystem(body);
  ASSERT_EQ(s.UserMacros.size(), 10u);
  EXPECT_EQ(s.UserMacros[9].name, "m9");

  ReadSystem("@param\r\n" + std::string(30, 'n') + " | " + std::string(300, 'v') +
             "\r\n@param\r\n");
  EXPECT_TRUE(s.UserMacros.empty());  // a new "@param" starts over
  EXPECT_TRUE(s.ParamMacrosOn);
  ReadSystem("@param\r\n" + std::string(30, 'n') + " | " + std::string(300, 'v') + "\r\n");
  ASSERT_EQ(s.UserMacros.size(), 1u);
  EXPECT_EQ(s.UserMacros[0].name, std::string(19, 'n'));
  EXPECT_EQ(s.UserMacros[0].value, std::string(259, 'v'));
}

TEST_F(ConfigTest, ParamTurnsOnMacrosForLaterLinesOnly) {
  fs.specialFolders[0x24] = "C:\\Windows";
  fs.AddFile("C:\\Windows\\notepad.exe");
  Settings& s = ReadSystem("@editor=%Windows%\\notepad.exe\r\n");
  EXPECT_EQ(s.EditorProgram, "");
  ReadSystem("@param\r\n@editor=%Windows%\\notepad.exe\r\n");
  EXPECT_EQ(s.EditorProgram, "C:\\Windows\\notepad.exe");
}

// ---- Search list and program resolution ----

TEST_F(ConfigTest, SearchListFromValueOrFile) {
  Settings& s = ReadSystem("@path=D:\\bin;E:\\tools\r\n");
  EXPECT_TRUE(s.SearchListOn);
  EXPECT_EQ(s.ProgramSearchList, "D:\\bin;E:\\tools");

  fs.AddFile("C:\\Tools\\paths.txt", "junk\r\nPATH=\tD:\\a;D:\\b\r\nmore");
  ReadSystem("@path=paths.txt\r\n");
  EXPECT_EQ(s.ProgramSearchList, "D:\\a;D:\\b");

  fs.AddFile("C:\\Tools\\lines.txt", "D:\\a;\r\n\tD:\\b;\r\n");
  ReadSystem("@path=lines.txt\r\n");
  EXPECT_EQ(s.ProgramSearchList, "D:\\a;D:\\b;");

  fs.AddFile("C:\\Tools\\empty.txt", "\r\n");
  ReadSystem("@path=empty.txt\r\n");
  EXPECT_FALSE(s.SearchListOn);
  ReadSystem("@path=\r\n");
  EXPECT_FALSE(s.SearchListOn);

  fs.AddFile("C:\\Tools\\long.txt", std::string(6000, 'x'));
  ReadSystem("@path=long.txt\r\n");
  EXPECT_EQ(s.ProgramSearchList.size(), 5199u);
  ReadSystem("@path=" + std::string(400, 'y') + "\r\n");
  EXPECT_EQ(s.ProgramSearchList.size(), 400u);  // lines are cut at 517 first
}

TEST_F(ConfigTest, ResolveProgramOrder) {
  fs.AddFile("C:\\Tools\\local.exe");
  fs.AddFile("D:\\bin\\tool.exe");
  fs.AddFile("C:\\Windows\\system32\\tool.exe");
  fs.AddFile("C:\\Windows\\system32\\sys.exe");
  bool found = false;
  EXPECT_EQ(ResolveProgram(run, "local.exe", false, found), "C:\\Tools\\local.exe");
  EXPECT_TRUE(found);
  EXPECT_EQ(ResolveProgram(run, "local", true, found), "C:\\Tools\\local.exe");
  EXPECT_EQ(ResolveProgram(run, "local", false, found), "local");
  EXPECT_FALSE(found);
  // A bare name never comes from the current folder (often the target's own),
  // nor from a relative folder of PATH; a name with a folder part may.
  fs.AddFile("C:\\Work\\planted.exe");
  fs.AddFile("D:\\path\\inpath.exe");
  fs.pathVariable = ".;planted;D:\\path";
  EXPECT_EQ(ResolveProgram(run, "planted", true, found), "planted");
  EXPECT_FALSE(found);
  EXPECT_EQ(ResolveProgram(run, ".\\planted.exe", false, found), "C:\\Work\\planted.exe");
  EXPECT_EQ(ResolveProgram(run, "inpath", true, found), "D:\\path\\inpath.exe");
  fs.SetCurrentFolder("C:\\Tools");  // the program's own folder is searched
  EXPECT_EQ(ResolveProgram(run, "local", true, found), "C:\\Tools\\local.exe");
  EXPECT_EQ(ResolveProgram(run, "tool", true, found), "C:\\Windows\\system32\\tool.exe");
  run.settings.ProgramSearchList = "D:\\bin";
  run.settings.SearchListOn = true;
  EXPECT_EQ(ResolveProgram(run, "tool", true, found), "D:\\bin\\tool.exe");
  EXPECT_EQ(ResolveProgram(run, "sys.exe", false, found), "C:\\Windows\\system32\\sys.exe");
  EXPECT_EQ(ResolveProgram(run, "", true, found), "");
  EXPECT_FALSE(found);
}

// ---- Explorer item filter ----

TEST_F(ConfigTest, ExplorerFilterKeepOrRemove) {
  fs.AddFile(run.start.ConfigPath,
             "[del]\r\nx\r\n%end\r\n[add] rest\r\n  &Open\r\n;c\r\n\r\nCopy\r\n%END\r\nlate\r\n");
  ASSERT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(run.settings.ExplorerFilter.mode, 1);
  EXPECT_EQ(run.settings.ExplorerFilter.prefixes, (Strings{"&Open", "Copy"}));

  fs.AddFile(run.start.ConfigPath, "[DEL]\r\nProp\r\n");
  ASSERT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(run.settings.ExplorerFilter.mode, 2);
  EXPECT_EQ(run.settings.ExplorerFilter.prefixes, (Strings{"Prop"}));

  std::string many = "[del]\r\n";
  for (int i = 0; i < 60; ++i) many += "p" + std::to_string(i) + "\r\n";
  fs.AddFile(run.start.ConfigPath, many);
  ASSERT_EQ(ReadConfiguration(run), 1);
  ASSERT_EQ(run.settings.ExplorerFilter.prefixes.size(), 50u);
  EXPECT_EQ(run.settings.ExplorerFilter.prefixes.back(), "p49");

  fs.AddFile(run.start.ConfigPath, "");
  ASSERT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(run.settings.ExplorerFilter.mode, 0);
}

// ---- Bad input ----

TEST_F(ConfigTest, HostileFilesAreReadWithinTheirLimits) {
  // Short hostile files are the fuzz target's work; it never tries files
  // this large.
  for (const std::string& file : {"[system]" + std::string(3 << 20, 'x'),
                                  "[system]\n@pic\n>" + std::string(100000, ';') + "\n"}) {
    fs.AddFile(run.start.ConfigPath, file);
    EXPECT_EQ(ReadConfiguration(run), 1);
  }
  // A NUL byte ends the text: nothing after it is read.
  fs.AddFile(run.start.ConfigPath, std::string("[system]\r\n@icon\r\n\0@mark=0\r\n", 27));
  ASSERT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(run.settings.ShowIcons, 1);
  EXPECT_EQ(run.settings.SoleMark, 1);
  // A line of megabytes is cut, not read on into the next line.
  fs.AddFile(run.start.ConfigPath, "[system]\n@menu=" + std::string(1 << 20, '9') + "\n@icon\n");
  run.settings = Settings();
  ASSERT_EQ(ReadConfiguration(run), 1);
  EXPECT_EQ(run.settings.MenuX, 0);
  EXPECT_EQ(run.settings.MenuPosition, kMenuActive);
  EXPECT_EQ(run.settings.ShowIcons, 1);
}

TEST(LineReader, FetchLineCutsDropsAndCounts) {
  LineBuffer line;
  const std::string text = "ab\r\tc\nlast";
  EXPECT_EQ(FetchLine(0, text.size(), text, false, line), 6u);
  EXPECT_EQ(line.view(), "abc");
  EXPECT_EQ(FetchLine(0, text.size(), text, true, line), 6u);
  EXPECT_EQ(line.view(), "ab\tc");
  // An unterminated last line reports one byte more than it scanned.
  EXPECT_EQ(FetchLine(6, text.size(), text, false, line), 5u);
  EXPECT_EQ(line.view(), "last");
  const std::string longLine = std::string(1000, 'z') + "\n";
  EXPECT_EQ(FetchLine(0, longLine.size(), longLine, false, line), 1001u);
  EXPECT_EQ(line.length, 517u);
  EXPECT_EQ(FetchLine(4, 3, text, false, line), 1u);  // start past the end
}

}  // namespace
}  // namespace zolto
