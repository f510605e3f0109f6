#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "test_run.h"

namespace zolto {
namespace {

using Strings = std::vector<std::string>;

// A parameter dialog that answers from a script and records what it showed.
struct ScriptedDialog : Frontend {
  struct Answer {
    int result;
    std::string text;
  };
  RunState* run = nullptr;
  std::deque<Answer> answers;
  Strings shown;  // "default|title" of each dialog
  void ShowPopupMenu(int, int) override {}
  int OpenParameterDialog() override {
    const LaunchState& l = run->launch;
    shown.push_back(l.ParameterDefault + "|" + (l.TitleGiven ? l.ParameterTitle : "-"));
    if (answers.empty()) return 0;
    const Answer a = answers.front();
    answers.pop_front();
    run->launch.ParameterAnswer = a.text;
    return a.result;
  }
};

class TemplatesTest : public RunTest {
 protected:
  TemplatesTest() {
    dialog.run = &run;
    run.frontend = &dialog;
    fs.AddFile("C:\\dir\\name.ext");
    fs.AddFile("C:\\My Docs\\a.txt");
    fs.AddFolder("C:\\My Docs");
    fs.AddFolder("C:\\rel.2\\sub");
    fs.AddFolder("D:\\work");
  }
  std::string File(const std::string& templ, const std::string& target = "C:\\dir\\name.ext") {
    Target(target);
    return ExpandCommandTemplate(run, templ, "C:\\Tools\\app.exe");
  }
  std::string Url(const std::string& templ, const std::string& target) {
    Target(target);
    return ExpandUrlTemplate(run, templ, "C:\\Tools\\app.exe");
  }
  void Target(const std::string& target) {
    run.targets.Clear();
    run.targets.Add(target);
    run.currentTarget = 0;
  }
  ScriptedDialog dialog;
};

TEST_F(TemplatesTest, TargetMacrosForFilesFoldersAndRoots) {
  EXPECT_EQ(File("%P|%-P|%D|%-D|%F|%N|%E|%A|%B"),
            "C:\\dir\\name.ext|C:\\dir\\name.ext|C:\\dir\\|C:\\dir|dir|name.ext|.ext|name|C:\\dir\\name");
  EXPECT_EQ(File("%P|%-P|%D|%-D|%F|%N|%E|%A|%B", "C:\\rel.2\\sub\\"),
            "C:\\rel.2\\sub\\|C:\\rel.2\\sub|C:\\rel.2\\|C:\\rel.2|rel|sub||sub|C:\\rel.2\\sub");
  EXPECT_EQ(File("%P|%-P|%D|%-D|%F|%N|%E|%A|%B", "C:\\"), "C:\\|C:|C:|C:|||||C:");
  EXPECT_EQ(File("\"%P\"", "C:\\My Docs\\a.txt"), "\"C:\\My Docs\\a.txt\"");
  EXPECT_EQ(File("\"%p\"", "\"C:\\My Docs\""), "\"C:\\My Docs\\\"");
  EXPECT_EQ(File("%dd%"), "C:\\dir\\d%");  // "%d" is "%D" whatever the case
}

TEST_F(TemplatesTest, MissingTargetGetsOnlyThePath) {
  EXPECT_EQ(File("%P %N %D", "C:\\gone\\x.txt"), "C:\\gone\\x.txt %N %D");
  FakePlatform basicFs;
  RunState basic(basicFs, kBasicEdition);
  basic.targets.Add("C:\\gone\\x.txt");
  basic.currentTarget = 0;
  EXPECT_EQ(ExpandCommandTemplate(basic, "%P %N %D", "p"), "C:\\gone\\x.txt x.txt C:\\gone\\");
}

TEST_F(TemplatesTest, InsertedValuesAreNotReadAgainByTheirMacro) {
  fs.AddFile("C:\\50%Percent\\f.txt");
  EXPECT_EQ(File("%P", "C:\\50%Percent\\f.txt"), "C:\\50%Percent\\f.txt");
  // ... but later macros do read them: "%pe" of the path meets no macro, and
  // "%F" is not in it; an answer typed as "%N" becomes the name.
  dialog.answers = {{4, "%N"}};
  EXPECT_EQ(File("-x %X"), "-x name.ext");
}

TEST_F(TemplatesTest, ParameterDialogAskingAndReuse) {
  dialog.answers = {{4, "one"}, {4, "two"}};
  EXPECT_EQ(File("%X %X"), "one two");
  EXPECT_EQ(run.launch.DialogCount, 2);
  dialog.answers = {{3, "same"}};
  EXPECT_EQ(File("%X %X"), "same same");  // Ctrl+OK answers both
  EXPECT_EQ(run.launch.DialogCount, 1);
  dialog.answers = {{0, ""}};
  EXPECT_EQ(File("%X"), kCancelMarker);
  EXPECT_EQ(File("%X=\"no close"), kCancelMarker);
  EXPECT_EQ(run.launch.DialogProgram, "C:\\Tools\\app.exe");
}

TEST_F(TemplatesTest, DialogDefaultsAndTitles) {
  run.settings.DialogInitialText = "init";
  run.launch.EntryLabelForTitle = "&Edit it";
  dialog.answers = {{4, "a"}, {4, "b"}, {4, "c"}, {4, "d"}, {4, "e"}};
  File("%X");
  File("%X=\"\"");
  File("%X=\"abc%_Title for %N and some more text\"");
  File("%X=\"%_\"");
  File("%X=\"%P\"");
  EXPECT_EQ(dialog.shown, (Strings{"init|-", "|-", "abc|Title for name.ext and some more",
                                   "init|Edit it", "C:\\dir\\name.ext|-"}));
}

TEST_F(TemplatesTest, TitleModes) {
  run.settings.DialogTitleMode = 1;
  dialog.answers = {{4, ""}, {4, ""}};
  File("-o=%X;-q");
  File("/verylongoption=%X;-q and more");
  run.settings.DialogTitleMode = 2;
  run.settings.DialogTitleTemplate = "for %N";
  dialog.answers = {{4, ""}};
  File("%X");
  EXPECT_EQ(dialog.shown, (Strings{"|-o= __ ;-q", "|ongoption= __ ;-q and mo", "|for name.ext"}));
}

TEST_F(TemplatesTest, ClipboardMacros) {
  fs.clipboardFiles = Strings{"C:\\dir\\name.ext", "C:\\My Docs"};
  EXPECT_EQ(File("%$N %-$D %$P", "C:\\My Docs\\a.txt"), "name.ext C:\\dir C:\\dir\\name.ext");
  EXPECT_EQ(run.targets.workingCount, 2);  // the clipboard's items stay
  fs.clipboardFiles.reset();
  EXPECT_EQ(File("%$N"), kCancelMarker);
  fs.clipboardText = "nothing on disk";
  EXPECT_EQ(File("%$N"), kCancelMarker);
  EXPECT_EQ(File("no clipboard macro"), "no clipboard macro");
}

TEST_F(TemplatesTest, WorkingFolderAndListMacros) {
  EXPECT_EQ(File("%Z\"D:\\work\" -a %Z\"C:\\\""), " -a %Z\"C:\\\"");
  EXPECT_EQ(run.launch.WorkFolderOverride, "D:\\work\\");
  run.launch.WorkFolderOverride.clear();
  EXPECT_EQ(File("%z\"D:\\missing\"x"), "x");
  EXPECT_EQ(run.launch.WorkFolderOverride, "");
  EXPECT_EQ(File("%Z\"unclosed"), "%Z\"unclosed");
  File("-a \"%-M\"");
  EXPECT_EQ(run.launch.ListQuoteMode, 1);
  File("-a %m");
  EXPECT_EQ(run.launch.ListQuoteMode, 2);
  File("-a");
  EXPECT_EQ(run.launch.ListQuoteMode, 0);
}

TEST_F(TemplatesTest, UrlMacros) {
  EXPECT_EQ(Url("%F|%G|%H|%I|%J|%-J|%K", "http://me:pw@host.example/dir/readme?x=1#y"),
            "http|host.example|me|pw|/dir/readme|/dir/|index.html");
  EXPECT_EQ(Url("%K %L", "http://h.example/a/page.html"), "page.html http://h.example/a/page.html");
  EXPECT_EQ(Url("%-L", "http://h.example/p?q=1#frag"), "http://h.example/p?q=1");
  EXPECT_EQ(Url("%-L", "http://h.example/p?q=1"), "http://h.example/p");
  EXPECT_EQ(Url("%P %N", "http://h.example/"), "%P %N");  // file macros stay
  Url("\"%M\" %-M", "http://h.example/");
  EXPECT_EQ(run.launch.ListQuoteMode, 1);
  dialog.answers = {{4, "q"}};
  EXPECT_EQ(Url("?s=%X%x", "http://h.example/"), kCancelMarker);  // second asked, none left
  dialog.answers = {{3, "q"}};
  EXPECT_EQ(Url("?s=%X%x", "http://h.example/"), "?s=qq");
}

TEST_F(TemplatesTest, TextLimitRefusesInsteadOfCutting) {
  dialog.answers = {{4, std::string(259, 'a')}, {4, std::string(259, 'b')},
                    {4, std::string(259, 'c')}, {4, std::string(259, 'd')}};
  EXPECT_EQ(File("%X%X%X%X"), std::string(259, 'a') + std::string(259, 'b') +
                                  std::string(259, 'c') + std::string(259, 'd'));
  dialog.answers = {{3, std::string(259, 'a')}};
  EXPECT_EQ(File("%X%X%X%X%X"), kCancelMarker);  // 1295 characters do not fit
  EXPECT_EQ(File(std::string(1040, 'z')), kCancelMarker);
}

TEST_F(TemplatesTest, TypedTemplateSurvivesLaterDialogs) {
  // The Ctrl path: the typed template runs for two targets, each asking.
  fs.AddFile("C:\\Tools\\app.exe");
  run.targets.Clear();
  run.targets.Add("C:\\dir\\name.ext");
  run.targets.Add("C:\\My Docs\\a.txt");
  run.launch.ParameterAnswer = "-o %X \"%P\"";
  dialog.answers = {{4, "first"}, {4, "second"}};
  RunTemplateEntry(run, "C:\\Tools\\app.exe", run.launch.ParameterAnswer, "E", 2);
  ASSERT_EQ(fs.starts.size(), 2u);
  EXPECT_EQ(fs.starts[0].parameters, "-o first \"C:\\dir\\name.ext\"");
  EXPECT_EQ(fs.starts[1].parameters, "-o second \"C:\\My Docs\\a.txt\"");
}

TEST_F(TemplatesTest, CancelEndsTheSequenceAfterTheFirstTarget) {
  fs.AddFile("C:\\Tools\\app.exe");
  run.targets.Clear();
  for (const char* t : {"C:\\dir\\name.ext", "C:\\My Docs\\a.txt", "C:\\My Docs"})
    run.targets.Add(t);
  dialog.answers = {{4, "ok"}, {0, ""}, {4, "never"}};
  RunTemplateEntry(run, "C:\\Tools\\app.exe", "%X", "E", 3);
  ASSERT_EQ(fs.starts.size(), 1u);
  EXPECT_EQ(fs.starts[0].parameters, "ok");
}

TEST_F(TemplatesTest, DoubleBytePathEndingInTrailBackslash) {
  // 表 is 0x95 0x5C: the folder's last byte is no separator.
  fs.AddFolder("C:\\\x95\x5C");
  EXPECT_EQ(File("%P|%-P|%N|%F", "C:\\\x95\x5C"), "C:\\\x95\x5C\\|C:\\\x95\x5C|\x95\x5C|");
  fs.AddFile("C:\\\x95\x5C\\f.txt");
  EXPECT_EQ(File("%F|%D", "C:\\\x95\x5C\\f.txt"), "\x95\x5C|C:\\\x95\x5C\\");
}

TEST_F(TemplatesTest, PathMacrosFirstWhenOn) {
  fs.specialFolders[0x26] = "C:\\Program Files";
  EXPECT_EQ(File("%Program Files%"), "C:\\dir\\name.extrogram Files%");
  run.settings.ParamMacrosOn = true;
  EXPECT_EQ(File("%Program Files%"), "C:\\Program Files");
}

}  // namespace
}  // namespace zolto
