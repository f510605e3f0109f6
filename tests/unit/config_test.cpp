// The configuration file: which file is read, its [system] keys, the
// Explorer item filter, the program search, and the help that describes them.
#include "config/config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "test_run.h"

namespace zolto {
namespace {

std::string Text(int value) { return std::to_string(value); }
std::string Text(const std::string& value) { return value; }
std::string Text(ExplorerItemFilter::Mode mode) {
  using Mode = ExplorerItemFilter::Mode;
  return mode == Mode::KeepListed ? "KeepListed" : mode == Mode::RemoveListed ? "RemoveListed" : "None";
}
std::string Text(const std::vector<std::string>& list) { return "[" + Join(list, ",") + "]"; }
std::string Text(const std::vector<UserMacro>& macros) {
  Strings out;
  for (const UserMacro& m : macros) out.push_back(m.name + "=" + m.value);
  return "[" + Join(out, "|") + "]";
}

// "Name=value" of each setting that differs from base, in declaration order.
std::string Changed(const Settings& s, const Settings& base) {
  Strings out;
  auto field = [&](const char* name, const auto& value, const auto& was) {
    if (Text(value) != Text(was)) out.push_back(std::string(name) + "=" + Text(value));
  };
#define FIELD(f) field(#f, s.f, base.f)
  FIELD(Delimiter), FIELD(ParamMacrosOn), FIELD(UserMacros), FIELD(ProgramSearchList);
  FIELD(SearchListOn), FIELD(ShowIcons), FIELD(MenuPosition), FIELD(MenuX), FIELD(MenuY);
  FIELD(NameLength), FIELD(AltConfigPath), FIELD(EditorProgram), FIELD(FirstLaunchDelay);
  FIELD(NextLaunchDelay), FIELD(ExplorerMenuMode), FIELD(ExplorerMenuFirst), FIELD(SoleMark);
  FIELD(PicturePreview), FIELD(PictureSize), FIELD(PictureNoHighlight), FIELD(PictureTypes);
  FIELD(TextPreview), FIELD(TextPreviewWidth), FIELD(TextPreviewLines), FIELD(TextSkipEmptyLines);
  FIELD(TextFontFace), FIELD(TextFontSize), FIELD(TextNoHighlight), FIELD(TabWidth);
  FIELD(TextTypes), FIELD(WebPreview), FIELD(PageCaptureProgram), FIELD(CaptureArguments);
  FIELD(WebNoHighlight), FIELD(WebFileTypes), FIELD(WebUrlTypes), FIELD(ForceActivate);
  FIELD(DialogInitialText), FIELD(DialogTitleTemplate), FIELD(DialogTitleMode);
  FIELD(ExplorerFilter.mode), FIELD(ExplorerFilter.prefixes);
#undef FIELD
  return Join(out, " ");
}

struct SettingsRow {
  std::string file;    // the configuration; without "[system]", the body of that part
  std::string expect;  // Changed() against an empty configuration
  std::string list = "";  // C:\Tools\list.txt, for "@path="
  const Edition* edition = &kFullEdition;
  int mouseButtons = 3;
};

const std::string k40 = std::string(40, '#');
const SettingsRow kSettings[] = {
    // Where the [system] part starts and ends, and what it reads.
    {"@icon\n[txt]\n; [SYSTEM] in a comment starts it\n   \t@mark=0\n%end\n@active=1\n",
     "SoleMark=0"},
    {"[system]\n@icon\n[.*]\nnotepad.exe | Edit\n@mark=0\n", "ShowIcons=1 SoleMark=0"},
    {"@icon\r\n@mark=0", "ShowIcons=1"},  // the last line without a line break is not read
    {std::string("@icon\n\0@mark=0\n", 16), "ShowIcons=1"},  // a NUL ends the text
    {"@menu=" + std::string(1 << 20, '9') + "\n@icon\n", "ShowIcons=1"},  // a huge line is cut
    {"@ICON=0\n@Mark=0\n@active=0\n@XTITLE\n", "ShowIcons=1 SoleMark=0 DialogTitleMode=1"},
    {"@active=1\n", "ForceActivate=1"},
    {"@dlm=" + k40 + "\n", "Delimiter=" + k40.substr(9)},
    {"@len=-1\n", "NameLength=-1"},
    {"@len=-5\n", ""},
    {"@len=1\n", "NameLength=1"},
    {"@len=254\n", "NameLength=254"},
    {"@len=255\n", ""},
    {"@menu=center\n", "MenuPosition=4"},
    {"@menu=mous2\n", "MenuPosition=3"},
    {"@menu=mouse\n", "", "", &kFullEdition, 0},  // no mouse: the active window
    {"@menu=mouse,7\n", "MenuPosition=1 MenuY=7", "", &kFullEdition, 0},
    {"@menu=ab\n@menu=center\n@menu=mouse\n", "MenuPosition=4"},  // the first valid line
    {"@menu=100,MAX\n", "MenuPosition=1 MenuX=100 MenuY=1024"},
    {"@menu=100,max\n", "MenuPosition=1 MenuX=100"},  // at the line end only "MAX"
    {"@menu=MAX,200\n", "MenuPosition=1 MenuX=1280 MenuY=200"},
    {"@menu=1234567,5\n", "MenuPosition=1 MenuX=123456 MenuY=5"},  // fields hold 6 characters
    {"@dist=500\n", "FirstLaunchDelay=500 NextLaunchDelay=500"},
    {"@dist=12345678,30\n", "NextLaunchDelay=30"},
    {"@context=2,1,0\n", "ExplorerMenuMode=2 ExplorerMenuFirst=1"},  // a third field is no part
    {"@context=1,1\n@context=1\n", "ExplorerMenuMode=1 ExplorerMenuFirst=1"},
    {"@context=3,1\n", ""},
    {"@pic=1,300,2,1\n", "PicturePreview=3 PictureSize=300 PictureNoHighlight=1"},
    {"@pic=1,300\n@pic=0,400\n", "PictureSize=300"},  // off ends the line
    {"@pic=1,100,7,0\n", "PicturePreview=1 PictureSize=100"},
    {"@text=1\n", "TextPreview=1 TextFontFace=MS UI Gothic TextFontSize=12"},  // the menu font
    {"@text=1,1000,101\n",  // at most 100 lines
     "TextPreview=1 TextPreviewWidth=1000 TextFontFace=MS UI Gothic TextFontSize=12"},
    {"@text=1,2000,0,1,Fixed Sys,0,2,1,11\n",
     "TextPreview=3 TextSkipEmptyLines=1 TextFontFace=Fixed Sys TextFontSize=12 TextNoHighlight=1"},
    {"@text=1,1000,100,0,F,8,1,0,0\n",
     "TextPreview=2 TextPreviewWidth=1000 TextPreviewLines=100 TextFontFace=F TextFontSize=8 "
     "TabWidth=0"},
    {"@browse=cap,-w 800,2,1\n",
     "WebPreview=3 PageCaptureProgram=C:\\Tools\\cap.exe CaptureArguments=-w 800 WebNoHighlight=1"},
    {"@browse=cap,,1\n", "WebPreview=2 PageCaptureProgram=C:\\Tools\\cap.exe"},
    {"@browse=cap,,3\n", "WebPreview=1 PageCaptureProgram=C:\\Tools\\cap.exe"},
    {"@param\n@browse=%Windows%\\notepad,-x\n",
     "ParamMacrosOn=1 WebPreview=1 PageCaptureProgram=C:\\Windows\\notepad.exe "
     "CaptureArguments=-x"},
    {"@browse=missing,-x,2,1\n", ""},  // the line ends at the program
    {"@pic\n>.png;.tif\n", "PictureTypes=[.png,.tif]"},
    {"@pic=1\n; a comment keeps the list mode\n>.a;;.b\n", "PicturePreview=1 PictureTypes=[.a,.b]"},
    {"@PICTURE\n>1;2;3;4;5;6;7\n", "PictureTypes=[1,2,3,4,5]"},
    {"@pic\n\n>.x\n", ""},  // an empty line ends the list mode
    {"@text\n> .log ;.md\n>.again\n", "TextTypes=[ .log ,.md]"},
    {"@browse\n>.php\n;c\n>blank;.asp\n>.x\n", "WebFileTypes=[.php] WebUrlTypes=[blank,.asp]"},
    {"@browse\n>" + Numbered("#", 21, ";") + "\n", "WebFileTypes=[" + Numbered("#", 20, ",") + "]"},
    {.file = "@browse=cap\n>.php\n", .expect = "", .edition = &kBasicEdition},
    {"@xinit=  say \"hi\"\n@xtitle=" + k40 + "\n",
     "DialogInitialText=  say \"hi\" DialogTitleTemplate=" + k40.substr(9) + " DialogTitleMode=2"},
    {"@ext2=alt.ini\n@editor=notepad\n",
     "AltConfigPath=C:\\Tools\\alt.ini EditorProgram=C:\\Windows\\notepad.exe"},
    {"@ext2=none.ini\n@editor=none\n@ext2=..\n@editor=C:\\Tools\n", ""},
    {"@editor=%Windows%\\notepad.exe\n", ""},  // no macros before "@param"
    {"@param\n@editor=%Windows%\\notepad.exe\n",
     "ParamMacrosOn=1 EditorProgram=C:\\Windows\\notepad.exe"},
    {"@param\na | 1\n b | 2 \n@icon\n", "ParamMacrosOn=1 UserMacros=[a=1| b=2 ] ShowIcons=1"},
    {"@dlm==>\n@param\n" + Numbered("m#=>v\n", 11, ""),
     "Delimiter==> ParamMacrosOn=1 UserMacros=[" + Numbered("m#=v", 10, "|") + "]"},
    {"@path=D:\\bin;E:\\tools\n", "ProgramSearchList=D:\\bin;E:\\tools SearchListOn=1"},
    {"@path=" + std::string(600, 'y') + "\n",  // lines are cut at 517 characters
     "ProgramSearchList=" + std::string(511, 'y') + " SearchListOn=1"},
    {"@path=list.txt\n", "ProgramSearchList=D:\\a;D:\\b SearchListOn=1",
     "junk\r\nPATH=\tD:\\a;D:\\b\r\nmore"},
    {"@path=list.txt\n", "ProgramSearchList=D:\\a;D:\\b; SearchListOn=1", "D:\\a;\r\n\tD:\\b;\r\n"},
    {"@path=list.txt\n", "", "\r\n"},
    // The Explorer item filter: "[add]" keeps only the listed items, "[del]" drops them.
    {"[del]\nx\n%end\n[add] rest\n  &Open\n;c\n\nCopy\n%END\nlate\n",
     "ExplorerFilter.mode=KeepListed ExplorerFilter.prefixes=[&Open,Copy]"},
    {"[DEL]\nProp\n", "ExplorerFilter.mode=RemoveListed ExplorerFilter.prefixes=[Prop]"},
};

TEST(Settings, EachLineOfTheFileSetsWhatItSays) {
  for (const SettingsRow& row : kSettings) {
    SCOPED_TRACE(row.file.substr(0, 80));
    TestRun t(*row.edition);
    t.fs.metrics.mouseButtons = row.mouseButtons;
    t.run.start.Metrics.mouseButtons = row.mouseButtons;
    if (!row.list.empty()) t.fs.AddFile("C:\\Tools\\list.txt", row.list);
    const bool whole = FindI(row.file, "[system]") != std::string::npos ||
                       FindI(row.file, "[add]") != std::string::npos ||
                       FindI(row.file, "[del]") != std::string::npos;
    ASSERT_EQ(t.Configure(whole ? row.file : "[system]\n" + row.file), 1);
    TestRun base(*row.edition);
    base.Configure("");
    EXPECT_EQ(Changed(t.run.settings, base.run.settings), row.expect);
  }
}

// Which file a run reads: <exe>.ini, else the edition's own name, else a new
// <exe>.ini; one that cannot be read is reported with the edition's caption.
struct FileRow {
  const Edition* edition;
  std::string exe;
  Strings files;  // beside the program
  std::string expectPath;
  std::string expect = "read";  // or "message <caption>"
  bool locked = false;  // the first file cannot be opened
};

const FileRow kFiles[] = {
    {&kFullEdition, "C:\\Tools\\zolto5_c.exe", {}, "C:\\Tools\\zolto5_c.ini"},
    {&kFullEdition, "C:\\Tools\\launch.exe", {"zolto5_c.ini"}, "C:\\Tools\\zolto5_c.ini"},
    {&kFullEdition, "C:\\Tools\\launch.exe", {"zolto5_c.ini", "launch.ini"},
     "C:\\Tools\\launch.ini"},
    {&kBasicEdition, "C:\\B\\other.exe", {"zolto5_c.ini", "zolto5.ini"}, "C:\\B\\zolto5.ini"},
    {&kBasicEdition, "C:\\B\\zolto5.exe", {"zolto5.ini"}, "C:\\B\\zolto5.ini", "message エラー",
     true},
    {&kFullEdition, "C:\\" + std::string(250, 'd') + "\\zolto5_c.exe", {}, "", "message zolto5_c"},
};

TEST(ConfigFile, ChosenByTheProgramsNameThenTheEditions) {
  for (const FileRow& row : kFiles) {
    SCOPED_TRACE(row.exe + " beside " + Join(row.files));
    TestRun t(*row.edition);
    InitialiseNames(t.run, row.exe, "");
    DerivePaths(t.run);
    t.fs.AddFolder(t.run.start.ProgramFolder);
    for (const std::string& name : row.files) t.fs.AddFile(t.run.start.ProgramFolder + name);
    if (row.locked) t.fs.LockFile(t.run.start.ProgramFolder + row.files[0]);
    t.run.start.ConfigPath = JoinPath(t.run.start.ProgramFolder, t.run.start.ConfigName);
    std::string got = ReadConfiguration(t.run) ? "read" : "";
    for (const FakePlatform::Message& m : t.fs.messages)
      got += "message " + m.caption + (m.text == "設定ファイル異常" ? "" : " " + m.text);
    EXPECT_EQ(got, row.expect);
    EXPECT_EQ(t.run.start.ConfigPath, row.expectPath);
    if (got == "read") {
      EXPECT_TRUE(t.fs.PathExists(row.expectPath));  // created when missing
    }
  }
}

// A bare name never comes from the current folder (often the target's own),
// nor from a relative folder of PATH; a name with a folder part may.
struct ResolveRow {
  std::string name;
  bool tryExe;
  std::string searchList;
  std::string expect;  // "" when not found
};

const ResolveRow kResolve[] = {
    {"local.exe", false, "", "C:\\Tools\\local.exe"},
    {"local", true, "", "C:\\Tools\\local.exe"},
    {"local", false, "", ""},
    {"planted", true, "", ""},
    {".\\planted.exe", false, "", "C:\\Work\\planted.exe"},
    {"inpath", true, "", "D:\\path\\inpath.exe"},
    {"tool", true, "", "C:\\Windows\\system32\\tool.exe"},
    {"tool", true, "D:\\bin", "D:\\bin\\tool.exe"},
    {"sys.exe", true, "D:\\bin", "C:\\Windows\\system32\\sys.exe"},
    {"", true, "", ""},
};

TEST(ResolveProgram, NameExeSearchListThenSystemPath) {
  for (const ResolveRow& row : kResolve) {
    SCOPED_TRACE(row.name + (row.tryExe ? " (.exe)" : "") + " in " + row.searchList);
    TestRun t;
    for (const char* p : {"C:\\Tools\\local.exe", "D:\\bin\\tool.exe", "C:\\Work\\planted.exe",
                          "C:\\Windows\\system32\\tool.exe", "C:\\Windows\\system32\\sys.exe",
                          "D:\\path\\inpath.exe"})
      t.fs.AddFile(p);
    t.fs.pathVariable = ".;planted;D:\\path";
    t.run.settings.ProgramSearchList = row.searchList;
    t.run.settings.SearchListOn = !row.searchList.empty();
    bool found = false;
    const std::string got = ResolveProgram(t.run, row.name, row.tryExe, found);
    EXPECT_EQ(found ? got : "", row.expect);
    EXPECT_EQ(found ? row.name : got, row.name);  // not found: the name as it was
  }
}

// The help texts shipped beside the executables (help/<edition>.txt) describe
// every [system] key their edition reads, no key it does not, and every switch.

TEST(HelpText, DescribesEachKeyOfItsEditionAndEachSwitch) {
  for (const Edition* edition : {&kFullEdition, &kBasicEdition}) {
    SCOPED_TRACE(edition->helpTextName);
    std::ifstream file(std::string(ZOLTO_SOURCE_DIR) + "/help/" + edition->helpTextName,
                       std::ios::binary);
    std::ostringstream buffer;
    buffer << file.rdbuf();
    const std::string text = buffer.str();
    ASSERT_NE(text.find(edition->programName), std::string::npos);
    const std::vector<std::string_view> own = SystemKeys(edition->webPreview);
    for (std::string_view key : SystemKeys(true)) {
      const bool read = std::find(own.begin(), own.end(), key) != own.end();
      EXPECT_EQ(text.find(key) != std::string::npos, read) << key;
    }
    for (std::string_view option : kSwitches)
      EXPECT_NE(text.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace zolto
