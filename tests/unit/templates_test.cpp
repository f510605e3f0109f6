// Command templates: the target, clipboard, parameter, working-folder and
// list macros, for files and folders and for web addresses; and the path and
// date macros expanded before them.
#include <gtest/gtest.h>

#include "test_run.h"

namespace zolto {
namespace {

using Answers = std::vector<RecordingFrontend::Answer>;

struct TemplateRow {
  std::string templ;
  std::string target;  // an address ("http...") takes the address macros
  // The expansion (or the cancel marker), then "[Z folder]", "[M mode]",
  // "[X dialogs counted]", "[T targets]" for the launch state it leaves, when set.
  std::string expect;
  std::string asked = "";  // the dialogs' log
  Answers answers = {};
  std::string settings = "";   // [system] lines
  std::string clipboard = "";  // text
  const Edition* edition = &kFullEdition;
};

const std::string kName = "C:\\dir\\name.ext";
const std::string kAll = "%P|%-P|%D|%-D|%F|%N|%E|%A|%B";
const std::string k259[] = {std::string(259, 'a'), std::string(259, 'b'), std::string(259, 'c')};
const std::string kUrl = "http://h.example/";
const TemplateRow kTemplates[] = {
    {kAll, kName,
     "C:\\dir\\name.ext|C:\\dir\\name.ext|C:\\dir\\|C:\\dir|dir|name.ext|.ext|name|C:\\dir\\name"},
    {kAll, "C:\\rel.2\\sub\\",
     "C:\\rel.2\\sub\\|C:\\rel.2\\sub|C:\\rel.2\\|C:\\rel.2|rel|sub||sub|C:\\rel.2\\sub"},
    {kAll, "C:\\", "C:\\|C:|C:|C:|||||C:"},
    {"%P|%-P|%N|%F", "C:\\\x95\x5C", "C:\\\x95\x5C\\|C:\\\x95\x5C|\x95\x5C|"},  // 表: no separator
    {"\"%p\"", "\"C:\\My Files\"", "\"C:\\My Files\\\""},
    {"%P %N %D", "C:\\gone\\x.txt", "C:\\gone\\x.txt %N %D"},  // only "%P" for a missing target
    {.templ = "%P %N %D", .target = "C:\\gone\\x.txt", .expect = "C:\\gone\\x.txt x.txt C:\\gone\\",
     .edition = &kBasicEdition},
    {"%P", "C:\\50%Percent\\f.txt", "C:\\50%Percent\\f.txt"},  // a value is not read again
    {"-x %X", kName, "-x name.ext [X1]", "ask |-", {{kOk, "%N"}}},    // ... but later macros read it
    // The parameter dialog: asked for each "%X" unless Ctrl+OK answered for all.
    {"%X %X", kName, "one two [X2]", "ask |-; ask |-", {{kOk, "one"}, {kOk, "two"}}},
    {"%X %X", kName, "same same [X1]", "ask |-", {{kCtrlOk, "same"}}},
    {"%X", kName, "CancelData_Mirun [X1]", "ask |-"},
    {"%X=\"no close", kName, "CancelData_Mirun"},
    {"%X", kName, "a [X1]", "ask init|-", {{kOk, "a"}}, "@xinit=init"},
    {"%X=\"abc%_Title for %N and some more text\"", kName, "a [X1]",
     "ask abc|Title for name.ext and some more", {{kOk, "a"}}, "@xinit=init"},
    {"%X=\"%_\"", kName, "a [X1]", "ask init|Edit it", {{kOk, "a"}}, "@xinit=init"},
    {"-o=%X;-q", kName, "-o=;-q [X1]", "ask |-o= __ ;-q", {{kOk, ""}}, "@xtitle"},
    {"%X", kName, " [X1]", "ask |for name.ext", {{kOk, ""}}, "@xtitle=for %N"},
    {"%X%X%X", kName, k259[0] + k259[1] + k259[2] + " [X3]", "ask |-; ask |-; ask |-",
     {{kOk, k259[0]}, {kOk, k259[1]}, {kOk, k259[2]}}},
    {"%X%X%X%X%X", kName, "CancelData_Mirun [X1]", "ask |-", {{kCtrlOk, k259[0]}}},  // 1295 do not fit
    // The clipboard's first item, read anew for each occurrence; its items stay.
    {"%$N %-$D %$P", "C:\\My Files\\a b.txt", "name.ext C:\\dir C:\\dir\\name.ext [T2]", "", {}, "",
     "C:\\dir\\name.ext\nC:\\My Files\n"},
    {"%$N", kName, "CancelData_Mirun [T0]", "", {}, "", "nothing on disk"},
    // The working folder ("%Z" and a quoted folder) and the list macros.
    {"%Z\"D:\\work\" -a %Z\"C:\\\"", kName, " -a %Z\"C:\\\" [Z D:\\work\\]"},
    {"%z\"D:\\missing\"x", kName, "x"},
    {"-a \"%-M\"", kName, "-a \"%-M\" [M1]"},
    {"-a %m", kName, "-a %m [M2]"},
    {"%Program Files%", kName, "C:\\dir\\name.extrogram Files%"},
    {"%Program Files%", kName, "C:\\Program Files", "", {}, "@param"},  // path macros first
    // Web addresses.
    {"%F|%G|%H|%I|%J|%-J|%K", "http://me:pw@host.example/dir/readme?x=1#y",
     "http|host.example|me|pw|/dir/readme|/dir/|index.html"},
    {"%K %L", "http://h.example/a/page.html", "page.html http://h.example/a/page.html"},
    {"%-L", "http://h.example/p?q=1#frag", "http://h.example/p?q=1"},
    {"%-L", "http://h.example/p?q=1", "http://h.example/p"},
    {"\"%M\" %-M", kUrl, "\"%M\" %-M [M1]"},
    {"?s=%X%x", kUrl, "CancelData_Mirun [X2]", "ask |-; ask |-", {{kOk, "q"}}},
    {"?s=%X%x", kUrl, "?s=qq [X1]", "ask |-", {{kCtrlOk, "q"}}},
    {"%Z\"D:\\work\"%J", kUrl, "/ [Z D:\\work\\]"},
    {"%Program Files%", kUrl, "C:\\Program Files", "", {}, "@param"},
};

TEST(Templates, MacrosExpandForTheCurrentTarget) {
  for (const TemplateRow& row : kTemplates) {
    SCOPED_TRACE(row.templ.substr(0, 40) + " for " + row.target);
    TestRun t(*row.edition);
    for (const char* p : {"C:\\50%Percent\\f.txt", "C:\\\x95\x5C\\f.txt"}) t.fs.AddFile(p);
    ASSERT_EQ(t.Configure("[system]\n" + row.settings + "\n%end\n"), 1);
    if (!row.clipboard.empty()) t.fs.clipboardText = row.clipboard;
    t.frontend.answers = row.answers;
    t.SetTargets({row.target});
    t.run.currentTarget = 0;
    t.run.launch.EntryLabelForTitle = "&Edit it";
    t.run.launch.DialogCount = 5;  // each expansion counts its own dialogs
    const LaunchState& l = t.run.launch;
    std::string got = row.target.rfind("http", 0) == 0
                          ? ExpandUrlTemplate(t.run, row.templ, "C:\\Tools\\a.exe")
                          : ExpandCommandTemplate(t.run, row.templ, "C:\\Tools\\a.exe");
    if (!l.WorkFolderOverride.empty()) got += " [Z " + l.WorkFolderOverride + "]";
    if (l.ListQuoteMode != ListQuote::None)
      got += l.ListQuoteMode == ListQuote::Quoted ? " [M1]" : " [M2]";
    if (!t.frontend.log.empty()) got += " [X" + std::to_string(l.DialogCount) + "]";
    const int targets = t.run.targets.WorkingCount;
    if (targets != 1) got += " [T" + std::to_string(targets) + "]";
    EXPECT_EQ(got, row.expect);
    EXPECT_EQ(Join(t.frontend.log), row.asked);
    if (!t.frontend.log.empty()) {
      EXPECT_EQ(l.DialogProgram, "C:\\Tools\\a.exe");
    }
  }
}

// Path and date macros: special folders, the program's folder and drive, the
// date, and the user macros of the "@param" block after them.

struct MacroRow {
  std::string text;
  std::string expect;
  std::vector<UserMacro> macros = {};
  LocalTime now = {2010, 5, 3, 23, 59, 59};
};

const MacroRow kMacros[] = {
    {"%Windows%\\notepad.exe", "C:\\Windows\\notepad.exe"},
    // A folder the system cannot supply stays as written.
    {"%Common My Video%\\%Windows%", "%Common My Video%\\C:\\Windows"},
    {"%ins_zolto%\\a;%DRV_ZOLTO%", "C:\\Tools\\a;C:"},
    {"%4y%%0m%%0d%", "20100503"},
    {"%2y%|%mm%|%-m%|%dd%|%-d%", "10|5| 5|3| 3"},
    {"%2y% %4y% %0m% %-d%", "87 987 12 25", {}, {987, 12, 25}},
    // User macros: plain text replaced in any case, in their order, never
    // read again, and only while the text stays within its limit.
    {"%ed% %P", "%Program Files%\\ed.exe %P", {{"%ed%", "%Program Files%\\ed.exe"}}},
    {"loop-loop", "loop loop-loop loop", {{"loop", "loop loop"}}},
    {"%b% then %A%", "b then %B%", {{"%B%", "b"}, {"%a%", "%B%"}, {"", "never"}}},
    {"%Windows%", "C:\\Windows", {{"%Windows%", "W"}}},  // the built-in name first
    {"x x x", std::string(259, 'v') + " x x", {{"x", std::string(259, 'v')}}},  // the rest stays
    {"\x83\x5Cn", "\x83\x5Cn", {{"\\n", "NEW"}}},  // ソ: its trail byte starts no match
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
  t.fs.specialFolders[kFolderWindows] = std::string(300, 'w');  // cut to 259
  EXPECT_EQ(ExpandPathMacros(t.run, "%Windows%"), std::string(259, 'w'));
  t.fs.specialFolders[kFolderPersonal] = "D:\\";  // a drive root loses its backslash too
  EXPECT_EQ(ExpandPathMacros(t.run, "%My Documents%\\a.txt"), "D:\\a.txt");
}

}  // namespace
}  // namespace zolto
