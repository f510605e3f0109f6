// Section selection and the decision it leads to, for both editions side by
// side: the full edition's header patterns, kinds and expressions against
// the basic edition's "[.ext]" and "[folder]" keys.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "test_run.h"

namespace zolto {
namespace {

std::string Shown(const Entry& e) {
  switch (e.kind) {
    case kSeparator: return "+";
    case kColumnBreak: return "-";
    case kSubmenuOpen: return "{" + e.label;
    case kSubmenuClose: return "}";
    case kParameter: case kSoloParameter: return ">" + e.label;
    default: return e.label;
  }
}

// What a run did: the front end's log and the entries the menu offers ("+"
// separator, "-" column break, "{label" and "}" a group, ">label" a
// parameter line), each start as "program parameters" (programs of
// C:\Tools\ by name), the waits and the messages; "; " between them.
std::string Outcome(const TestRun& t) {
  Strings out;
  if (!t.frontend.log.empty()) {
    Strings entries;
    for (int i = 0; i < t.run.entries.entryCount; ++i)
      entries.push_back(Shown(t.run.entries.entries[static_cast<size_t>(i)]));
    out.push_back(Join(t.frontend.log) + ":" + Join(entries, ","));
  }
  for (const ShellStart& s : t.fs.starts) {
    std::string file = s.file;
    if (StartsWithI(file, "C:\\Tools\\")) file = file.substr(9);
    out.push_back(file + (s.parameters.empty() ? "" : " " + s.parameters));
  }
  if (!t.fs.sleeps.empty()) out.push_back("sleep " + t.Sleeps());
  for (const FakePlatform::Message& m : t.fs.messages) out.push_back("message " + m.text);
  return Join(out);
}

enum Flag { Plain, NoRegex, SecondFile };

struct SelectionRow {
  std::string config;
  std::string commandLine;
  std::string full, basic;  // Outcome() in each edition
  Flag flag = Plain;
};

const std::string kAll = "[all]\nb.exe\nc.exe\n%end\n";
const SelectionRow kSelections[] = {
    // Nothing taken: the target opens with its association or the Open-with dialog.
    {"[^D:\\]\na.exe\n%end\n", "C:\\d\\x.txt", "C:\\d\\x.txt", "C:\\d\\x.txt"},
    {"", "C:\\d\\q.zz9",
     "C:\\d\\q.zz9; C:\\Windows\\system32\\rundll32.exe shell32.dll,OpenAs_RunDLL C:\\d\\q.zz9",
     "C:\\d\\q.zz9; C:\\Windows\\system32\\rundll32.exe shell32.dll,OpenAs_RunDLL C:\\d\\q.zz9"},
    {"[$.txt]\n+\n-\n{G\n}\n%end\n", "C:\\d\\x.txt", "C:\\d\\x.txt", "C:\\d\\x.txt"},
    {"[.txt]\n+\n-\n{G\n}\n%end\n", "C:\\d\\x.txt", "C:\\d\\x.txt", "C:\\d\\x.txt"},
    // One program runs at once with the target, quoted when it must be.
    {"[$.txt]\na.exe\n%end\n", "\"C:\\d\\My File.txt\"", "a.exe \"C:\\d\\My File.txt\"",
     "C:\\d\\My File.txt"},
    {"[.txt]\na.exe\n%end\n", "\"C:\\d\\My File.txt\"", "C:\\d\\My File.txt",
     "a.exe \"C:\\d\\My File.txt\""},
    {"[folder]\na.exe\n%end\n", "\"C:\\My Files\"", "a.exe \"C:\\My Files\\\"",
     "a.exe \"C:\\My Files\\\""},
    // "[all]" follows every taken section unless a header ends in "#"; the
    // file's first "[all]" counts, even in a comment.
    {"[$.txt]\na.exe\n%end\n" + kAll, "C:\\d\\x.txt", "menu 0 0:a,b,c", "C:\\d\\x.txt"},
    {"[.txt]\na.exe\n%end\n" + kAll, "C:\\d\\x.txt", "C:\\d\\x.txt", "menu 0 0:a,b,c"},
    {"[$.txt]#\na.exe\n%end\n" + kAll, "C:\\d\\x.txt", "a.exe C:\\d\\x.txt", "C:\\d\\x.txt"},
    {"[.txt]#\na.exe\n%end\n" + kAll, "C:\\d\\x.txt", "C:\\d\\x.txt", "a.exe C:\\d\\x.txt"},
    {"; see [all]\n[$.txt]\na.exe\n%end\n", "C:\\d\\x.txt", "menu 0 0:a,a", "C:\\d\\x.txt"},
    // The catch-all "[.*]" when nothing else is taken; in the full edition
    // only its exclusions count, each header keeping its own.
    {"[^D:\\]\na.exe\n%end\n; [.*]_[folder]\nb.exe\n%end\n", "C:\\d\\x.txt", "b.exe C:\\d\\x.txt",
     "b.exe C:\\d\\x.txt"},
    {"[^D:\\]\na.exe\n%end\n; [.*]_[folder]\nb.exe\n%end\n", "C:\\d\\sub", "C:\\d\\sub",
     "b.exe C:\\d\\sub\\"},
    {"[$.txt]\na.exe\n%end\n[.*]\nb.exe\n%end\n", "C:\\d\\x.txt", "a.exe C:\\d\\x.txt",
     "b.exe C:\\d\\x.txt"},
    {"_[$.txt]\na.exe\n%end\n[.*]\nb.exe\n%end\n", "C:\\d\\x.txt", "b.exe C:\\d\\x.txt",
     "b.exe C:\\d\\x.txt"},
    // Extension keys against patterns, kinds and expressions.
    {"[.txt][.log]\na.exe | A\n%end\n[$.txt]\nb.exe | B\n%end\n[folder]\nc.exe | C\n%end\n",
     "C:\\d\\A.TXT", "b.exe C:\\d\\A.TXT", "a.exe C:\\d\\A.TXT"},
    {"[.txt][.log]\na.exe | A\n%end\n[$.txt]\nb.exe | B\n%end\n[folder]\nc.exe | C\n%end\n",
     "C:\\d\\x.log", "C:\\d\\x.log", "a.exe C:\\d\\x.log"},
    {"[.txt][.log]\na.exe | A\n%end\n[$.txt]\nb.exe | B\n%end\n[folder]\nc.exe | C\n%end\n",
     "C:\\d\\sub", "c.exe C:\\d\\sub\\", "c.exe C:\\d\\sub\\"},
    {"[.txt]\na.exe | A\n%end\n[.zip]\nc.exe | C\n%end\n; more for [.TXT] files\nb.exe | B\n"
     "%end\n[all]\nc.exe | All\n%end\n",
     "C:\\d\\A.TXT", "C:\\d\\A.TXT", "menu 0 0:A,B,All"},
    {"[.txt]\na.exe | A\n%end\n[.zip]\nc.exe | C\n%end\n[all]\nc.exe | All\n%end\n", "C:\\d\\x.zip",
     "C:\\d\\x.zip", "menu 0 0:C,All"},
    {"[.txt]#\na.exe | A\n%end\n[.log]\n+\n%end\n[.*]\nb.exe | B\n%end\n[all]\nc.exe | All\n%end\n",
     "C:\\d\\x.log", "menu 0 0:B,All", "c.exe C:\\d\\x.log"},  // the key's section has no program
    {"[.txt]#\na.exe | A\n%end\n[.log]\n+\n%end\n[.*]\nb.exe | B\n%end\n[all]\nc.exe | All\n%end\n",
     "C:\\d\\noext", "menu 0 0:B,All", "menu 0 0:B,All"},
    {"[.log]\n+\n{G\n}\n%end\n[.*]\nb.exe | B\n%end\n", "C:\\d\\x.log", "b.exe C:\\d\\x.log",
     "b.exe C:\\d\\x.log"},
    {"[]\na.exe | A\n%end\n", "C:\\d\\noext",
     "C:\\d\\noext; C:\\Windows\\system32\\rundll32.exe shell32.dll,OpenAs_RunDLL C:\\d\\noext",
     "a.exe C:\\d\\noext"},
    {"[]\na.exe | A\n%end\n", "C:\\d\\x.zip", "C:\\d\\x.zip", "C:\\d\\x.zip"},
    {"[^C:\\d]\na.exe | A\n%end\n[file]\nb.exe | B\n%end\n", "C:\\d\\x.zip", "menu 0 0:A,B",
     "C:\\d\\x.zip"},
    {"[url]\na.exe | A\n%end\n", "https://example.org/", "a.exe https://example.org/", ""},
    {"[file]\na.exe | A\n%end\n[.*]\na.exe | A\n%end\n", "C:\\nowhere.txt", "", ""},  // no target: nothing
    // Template entries: "]" once per target, ">" once; two make a menu.
    {"[$.txt]\na.exe\n]-x\n%end\n", "C:\\d\\x.txt C:\\d\\y.txt C:\\d\\z.txt",
     "a.exe -x; a.exe -x; a.exe -x", "C:\\d\\x.txt"},
    {"[system]\n@dist=500,100\n%end\n[.txt]\na.exe\n]-x\n%end\n", "C:\\d\\x.txt C:\\d\\y.txt",
     "C:\\d\\x.txt", "a.exe -x; a.exe -x; sleep 500 100"},
    {"[$.txt]\na.exe\n>-once\n%end\n", "C:\\d\\x.txt C:\\d\\y.txt", "a.exe -once", "C:\\d\\x.txt"},
    {"[$.txt]\na.exe\n>-1\n>-2\n%end\n", "C:\\d\\x.txt", "menu 0 0:a,>-1,>-2", "C:\\d\\x.txt"},
    // One by one: each target by itself, never a menu.
    {"[system]\n@dist=300,50\n%end\n[$.txt][.txt]\na.exe\nb.exe\n%end\n",
     "/#y C:\\d\\x.txt C:\\d\\y.txt C:\\d\\z.txt",
     "a.exe C:\\d\\x.txt; a.exe C:\\d\\y.txt; a.exe C:\\d\\z.txt; sleep 300 50 50",
     "a.exe C:\\d\\x.txt; a.exe C:\\d\\y.txt; a.exe C:\\d\\z.txt; sleep 300 50 50"},
    // Sections without "%end" run on into the next; those that add nothing
    // are not read again, but only as far as their "%end".
    {"[$.txt]\nmissing.exe\n[$.txt]\ngone.exe\n[$.txt]\n%end\n[$.txt]\na.exe\n%end\n", "C:\\d\\x.txt",
     "a.exe C:\\d\\x.txt", "C:\\d\\x.txt"},
    {"[$.txt]\na.exe\n[$.txt]\nb.exe\n%end\n", "C:\\d\\x.txt", "menu 0 0:a,b,b", "C:\\d\\x.txt"},
    {"[.txt]\na.exe\n[.txt]\nb.exe\n%end\n", "C:\\d\\x.txt", "C:\\d\\x.txt", "menu 0 0:a,b,b"},
    // Without the expression library the selection stops at the first expression.
    {"[!/x/]\na.exe\n%end\n[$.txt]\nb.exe\n%end\n", "C:\\d\\x.txt",
     "message 正規表現ライブラリが使用できません", "C:\\d\\x.txt", NoRegex},
    {"[$.txt]\nb.exe\n%end\n[!/x/]\na.exe\n%end\n", "C:\\d\\x.txt",
     "message 正規表現ライブラリが使用できません", "C:\\d\\x.txt", NoRegex},  // even after a match
    // The second file ("@ext2=alt.ini") instead of the first.
    {"[system]\n@ext2=alt.ini\n%end\n[$.txt]\na.exe\n%end\n", "C:\\d\\x.txt", "menu 0 0:b,c",
     "C:\\d\\x.txt", SecondFile},
    {"[system]\n@ext2=none.ini\n%end\n[$.txt]\na.exe\n%end\n", "C:\\d\\x.txt", "a.exe C:\\d\\x.txt",
     "C:\\d\\x.txt", SecondFile},
};

// Reads config and runs the targets of the command line.
std::string RunOn(TestRun& t, const std::string& config, const std::string& commandLine, Flag flag) {
  t.fs.regexLibraryPresent = flag != NoRegex;
  if (t.Configure(config) != 1) return "unreadable";
  ParseSwitches(t.run, commandLine);
  BuildTargetList(t.run, commandLine, 0);
  t.run.selection.secondConfig = flag == SecondFile ? 0 : 1;  // what the run sets counts
  EXPECT_EQ(RunTargets(t.run, flag == SecondFile ? 1 : 0, 0), 1);
  EXPECT_EQ(t.run.selection.secondConfig, flag == SecondFile ? 1 : 0);
  EXPECT_EQ(t.run.targets.workingCount, 0);
  return Outcome(t);
}

TEST(Selection, BothEditionsSideBySide) {
  for (const SelectionRow& row : kSelections) {
    SCOPED_TRACE(row.commandLine + " with " + row.config);
    TestRun full(kFullEdition), basic(kBasicEdition);
    EXPECT_EQ(RunOn(full, row.config, row.commandLine, row.flag), row.full);
    EXPECT_EQ(RunOn(basic, row.config, row.commandLine, row.flag), row.basic);
  }
}

TEST(Selection, UnreadableFileIsReportedAndEachSelectionLooksProgramsUpAgain) {
  TestRun t;
  t.Configure("[$.txt]\nlate.exe\nb.exe\n%end\n");
  BuildTargetList(t.run, "C:\\d\\x.txt", 0);
  RunTargets(t.run, 0, 0);
  t.fs.AddFile("C:\\Tools\\late.exe");
  BuildTargetList(t.run, "C:\\d\\x.txt", 0);
  RunTargets(t.run, 0, 0);
  EXPECT_EQ(Outcome(t), "menu 0 0:late,b; b.exe C:\\d\\x.txt");
  t.fs.LockFile(t.run.start.ConfigPath);
  EXPECT_EQ(RunTargets(t.run, 0, 0), 0);
  EXPECT_EQ(t.fs.messages.size(), 1u);
}

// The example configurations shipped with each edition give each kind of
// target its menu.
std::string Example(const std::string& name) {
  std::ifstream file(std::string(ZOLTO_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

const std::string kAsk = ",+,{&Ask,Notepad with a file name you type,>Ask,}";
const std::string kFile = "menu 0 0:&Open,&Notepad,>Edit,Show in &folder,>Select";
const SelectionRow kExamples[] = {
    {"", "C:\\d\\x.txt", kFile + ",+,&Print,>Print" + kAsk,
     "menu 0 0:&Open,&Notepad,>Edit,&Print,>Print" + kAsk},
    {"", "C:\\Windows\\win.ini", kFile + kAsk, "menu 0 0:&Open,&Notepad,>Edit,&Print,>Print" + kAsk},
    {"", "C:\\d\\b.png", kFile + ",+,&Paint,>Edit" + kAsk, "menu 0 0:&Open,&Paint,>Edit" + kAsk},
    {"", "C:\\d\\x.zip", kFile + kAsk, "menu 0 0:&Open,Show in &folder,>Select" + kAsk},
    {"", "https://example.com/", "menu 0 0:Open in &browser" + kAsk, ""},
    {"", "C:\\d\\sub", "menu 0 0:&Explorer,>Open,New &text file here,>New" + kAsk,
     "menu 0 0:&Explorer,>Open,New &text file here,>New" + kAsk},
};

TEST(Selection, ExampleConfigurations) {
  for (const SelectionRow& row : kExamples) {
    SCOPED_TRACE(row.commandLine);
    TestRun full(kFullEdition), basic(kBasicEdition);
    for (TestRun* t : {&full, &basic}) {
      t->fs.AddFile("C:\\Windows\\win.ini");
      t->fs.AddFile("C:\\d\\b.png");
      t->fs.AddFile("C:\\Windows\\system32\\mspaint.exe");
      // The library's "/pattern/flags" form, enough for the example's header.
      t->fs.regexMatcher = [](const std::string& expression, const std::string& subject) {
        const size_t close = expression.rfind('/');
        const bool icase = expression.find('i', close) != std::string::npos;
        return std::regex_search(subject, std::regex(expression.substr(1, close - 1),
                                                     icase ? std::regex::icase : std::regex::ECMAScript));
      };
    }
    EXPECT_EQ(RunOn(full, Example("zolto5_c.ini"), row.commandLine, Plain), row.full);
    EXPECT_EQ(RunOn(basic, Example("zolto5.ini"), row.commandLine, Plain), row.basic);
  }
}

}  // namespace
}  // namespace zolto
