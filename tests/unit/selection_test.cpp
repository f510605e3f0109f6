// Section selection and the decision it leads to, for both editions side by
// side: the full edition's header patterns, kinds and expressions against
// the basic edition's "[.ext]" and "[folder]" keys.
#include <gtest/gtest.h>

#include "test_run.h"

namespace zolto {
namespace {

enum Flag { Plain, NoRegex, SecondFile };

struct SelectionRow {
  std::string config;
  std::string commandLine;
  std::string full, basic;  // TestRun::Outcome() in each edition
  Flag flag = Plain;
};

const std::string kAll = "[all]\nb.exe\nc.exe\n%end\n";
const std::string kOpenWith = "C:\\Windows\\system32\\rundll32.exe shell32.dll,OpenAs_RunDLL ";
const SelectionRow kSelections[] = {
    // Nothing taken: the target opens with its association or the Open-with dialog.
    {"[^D:\\]\na.exe\n%end\n", "C:\\d\\x.txt", "C:\\d\\x.txt", "C:\\d\\x.txt"},
    {"", "C:\\d\\q.zz9", "C:\\d\\q.zz9; " + kOpenWith + "C:\\d\\q.zz9",
     "C:\\d\\q.zz9; " + kOpenWith + "C:\\d\\q.zz9"},
    // One program runs at once with the target, quoted when it must be.
    {"[$.txt][.txt]\na.exe\n%end\n", "\"C:\\d\\My File.txt\"", "a.exe \"C:\\d\\My File.txt\"",
     "a.exe \"C:\\d\\My File.txt\""},
    // "[all]" follows every taken section unless a header ends in "#"; the
    // file's first "[all]" counts, even in a comment.
    {"[$.txt][.txt]\na.exe\n%end\n" + kAll, "C:\\d\\x.txt", "menu 0 0:a,b,c", "menu 0 0:a,b,c"},
    {"[$.txt][.txt]#\na.exe\n%end\n" + kAll, "C:\\d\\x.txt", "a.exe C:\\d\\x.txt",
     "a.exe C:\\d\\x.txt"},
    {"; see [all]\n[$.txt]\na.exe\n%end\n", "C:\\d\\x.txt", "menu 0 0:a,a", "C:\\d\\x.txt"},
    // The catch-all "[.*]" when nothing else is taken; in the full edition
    // only its exclusions count, each header keeping its own.
    {"[^D:\\]\na.exe\n%end\n; [.*]_[folder]\nb.exe\n%end\n", "C:\\d\\x.txt", "b.exe C:\\d\\x.txt",
     "b.exe C:\\d\\x.txt"},
    {"[^D:\\]\na.exe\n%end\n; [.*]_[folder]\nb.exe\n%end\n", "C:\\d\\sub", "C:\\d\\sub",
     "b.exe C:\\d\\sub\\"},
    {"_[$.txt]\na.exe\n%end\n[.*]\nb.exe\n%end\n", "C:\\d\\x.txt", "b.exe C:\\d\\x.txt",
     "b.exe C:\\d\\x.txt"},
    // Extension keys against patterns, kinds and expressions.
    {"[.txt][.log]\na.exe | A\n%end\n[$.txt]\nb.exe | B\n%end\n[folder]\nc.exe | C\n%end\n",
     "C:\\d\\A.TXT", "b.exe C:\\d\\A.TXT", "a.exe C:\\d\\A.TXT"},
    {"[.txt][.log]\na.exe | A\n%end\n[$.txt]\nb.exe | B\n%end\n[folder]\nc.exe | C\n%end\n",
     "C:\\d\\sub", "c.exe C:\\d\\sub\\", "c.exe C:\\d\\sub\\"},
    {"[.txt]\na.exe | A\n%end\n[.zip]\nc.exe | C\n%end\n; more for [.TXT] files\nb.exe | B\n"
     "%end\n[all]\nc.exe | All\n%end\n", "C:\\d\\A.TXT", "C:\\d\\A.TXT", "menu 0 0:A,B,All"},
    {"[.txt]#\na.exe | A\n%end\n[.log]\n+\n%end\n[.*]\nb.exe | B\n%end\n[all]\nc.exe | All\n%end\n",
     "C:\\d\\x.log", "menu 0 0:B,All", "c.exe C:\\d\\x.log"},  // the key's section has no program
    {"[.txt]#\na.exe | A\n%end\n[.log]\n+\n%end\n[.*]\nb.exe | B\n%end\n[all]\nc.exe | All\n%end\n",
     "C:\\d\\noext", "menu 0 0:B,All", "menu 0 0:B,All"},
    {"[]\na.exe | A\n%end\n", "C:\\d\\noext", "C:\\d\\noext; " + kOpenWith + "C:\\d\\noext",
     "a.exe C:\\d\\noext"},
    {"[url]\na.exe | A\n%end\n", "https://example.org/", "a.exe https://example.org/", ""},
    // No target: nothing at all.
    {"[file]\na.exe | A\n%end\n[.*]\na.exe | A\n%end\n", "C:\\nowhere.txt", "", ""},
    // Template entries: "]" once per target, ">" once; two make a menu.
    {"[system]\n@dist=500,100\n%end\n[$.txt][.txt]\na.exe\n]-x\n%end\n",
     "C:\\d\\x.txt C:\\d\\y.txt",
     "a.exe -x; a.exe -x; sleep 500 100", "a.exe -x; a.exe -x; sleep 500 100"},
    {"[$.txt][.txt]\na.exe\n>-1\n>-2\n%end\n", "C:\\d\\x.txt", "menu 0 0:a,>-1,>-2",
     "menu 0 0:a,>-1,>-2"},
    // One by one: each target by itself, never a menu.
    {"[system]\n@dist=300,50\n%end\n[$.txt][.txt]\na.exe\nb.exe\n%end\n",
     "/#y C:\\d\\x.txt C:\\d\\y.txt C:\\d\\z.txt",
     "a.exe C:\\d\\x.txt; a.exe C:\\d\\y.txt; a.exe C:\\d\\z.txt; sleep 300 50 50",
     "a.exe C:\\d\\x.txt; a.exe C:\\d\\y.txt; a.exe C:\\d\\z.txt; sleep 300 50 50"},
    // Sections without "%end" run on into the next; those that add nothing
    // are not read again, but only as far as their "%end".
    {"[$.txt][.txt]\nmissing.exe\n[$.txt][.txt]\ngone.exe\n[$.txt][.txt]\n%end\n"
     "[$.txt][.txt]\na.exe\n"
     "%end\n", "C:\\d\\x.txt", "a.exe C:\\d\\x.txt", "a.exe C:\\d\\x.txt"},
    // Without the expression library the selection stops at the first
    // expression, even after a match.
    {"[$.txt]\nb.exe\n%end\n[!/x/]\na.exe\n%end\n", "C:\\d\\x.txt",
     "message 正規表現ライブラリが使用できません", "C:\\d\\x.txt", NoRegex},
    // The second file ("@ext2=alt.ini") instead of the first.
    {"[system]\n@ext2=alt.ini\n%end\n[$.txt]\na.exe\n%end\n", "C:\\d\\x.txt",
     "menu 0 0:b,c; second file",
     "C:\\d\\x.txt; second file", SecondFile},
    {"[system]\n@ext2=none.ini\n%end\n[$.txt]\na.exe\n%end\n", "C:\\d\\x.txt",
     "a.exe C:\\d\\x.txt; second file", "C:\\d\\x.txt; second file", SecondFile},
};

// Reads config and runs the targets of the command line.
std::string RunOn(TestRun& t, const std::string& config, const std::string& line, Flag flag) {
  t.fs.regexLibraryPresent = flag != NoRegex;
  if (t.Configure(config) != 1) return "unreadable";
  ParseSwitches(t.run, line);
  BuildTargetList(t.run, line, Separators::Blanks);
  t.run.selection.SecondConfig = flag != SecondFile;  // what the run sets counts
  EXPECT_TRUE(RunTargets(t.run, flag == SecondFile ? ConfigFile::Second : ConfigFile::Main,
                         MenuPlace::Configured));
  EXPECT_EQ(t.run.targets.WorkingCount, 0);
  return t.Outcome();
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
  BuildTargetList(t.run, "C:\\d\\x.txt", Separators::Blanks);
  RunTargets(t.run, ConfigFile::Main, MenuPlace::Configured);
  t.fs.AddFile("C:\\Tools\\late.exe");
  BuildTargetList(t.run, "C:\\d\\x.txt", Separators::Blanks);
  RunTargets(t.run, ConfigFile::Main, MenuPlace::Configured);
  EXPECT_EQ(t.Outcome(), "menu 0 0:late,b; b.exe C:\\d\\x.txt");
  t.fs.LockFile(t.run.start.ConfigPath);
  EXPECT_FALSE(RunTargets(t.run, ConfigFile::Main, MenuPlace::Configured));
  EXPECT_EQ(t.fs.messages.size(), 1u);
}

// Header terms: name patterns, kinds, exclusions and expressions, matched
// against one subject with the exclusion state cleared first, as the
// selection does.

enum Library { Present, Missing, NoMatchFunction, Failing };

struct HeaderRow {
  std::string header;
  std::string subject;
  int match;
  int exclusion;  // what the header leaves: 0 none, 1 one tested and missed, -1 one hit
  Library library = Present;
};

const std::string kEleven = "[-a" + Numbered("&&a", 10, "") + "]";
const HeaderRow kHeaders[] = {
    {"[^c:\\work]", "C:\\Workshop", 1, 0},
    {"[$.txt]", "C:\\X\\B.TXT", 1, 0},
    {"[^]", "C:\\X", 0, 0},  // an empty text is skipped
    {"[^" + std::string(260, 'C') + "]", std::string(270, 'C'), 0, 0},  // so is a long one
    {"[^" + std::string(259, 'C') + "]", std::string(270, 'C'), 1, 0},
    // All parts, anywhere ("-"), or in order ("+"); "^" and "$" anchor the ends.
    {"[-^C:\\&&doc&&$.txt]", "C:\\mydoc.txt", 1, 0},
    {"[+a&&b]", "C:\\b\\a.txt", 0, 0},
    {"[-a&&b]", "C:\\b\\a.txt", 1, 0},
    {"[+b&&&&a]", "C:\\b\\a.txt", 1, 0},  // empty parts dropped
    {"[+&&]", "C:\\b\\a.txt", 0, 0},      // nothing left
    {"[-doc&&^C]", "C:\\doc", 0, 0},   // "^" only on the first part
    {"[-^D:&&doc]", "C:\\doc", 0, 0},
    {"[-txt&&$.txt]", "C:\\a.txt", 0, 0},  // a part ends before the "$" part
    {"[+^C:&&a&&$.txt]", "C:\\a.txt", 1, 0},
    {kEleven, "C:\\a", 0, 0},  // more than ten parts: refused
    {"[-a" + Numbered("&&a", 9, "") + "]", "C:\\a", 1, 0},
    // Kinds, only right at the cursor.
    {"[file]", "C:\\Workshop", 0, 0},
    {"[FILE][folder]", "C:\\Workshop", 1, 0},
    {"[file] [folder]", "C:\\Workshop", 0, 0},
    {"[url]", "https://example.org/", 1, 0},
    // Exclusions: a header of exclusions alone holds when none hits.
    {"_[folder]", "C:\\Work\\a.txt", 1, 1},
    {"_[folder]", "C:\\Workshop", 0, -1},
    {"[^C:\\]_[$.exe]", "C:\\a.exe", 0, -1},
    {"[^D:\\]_[$.exe]", "C:\\a.txt", 0, 1},  // a positive term failed
    {"[.*]_[folder]", "C:\\Workshop", 0, -1},
    {"[.*]", "C:\\Work\\a.txt", 0, 0},
    // Where the term list ends.
    {"[$.txt] comment", "C:\\a.txt", 1, 0},
    {"[$.exe]#", "C:\\a.txt", 0, 0},
    {"[$.exe][$.tx", "C:\\a.txt", 0, 0},  // no closing bracket
    {"[$.exe]ab[$.txt]", "C:\\a.txt", 1, 0},
    {"[$.exe][x", "C:\\a.txt", 0, 0},  // fewer than 3 characters follow
    {"[$.exe][$.t]", "C:\\a.t", 1, 0},
    {"[", "C:\\a.txt", 0, 0},
    // Expressions (the fake library: "/text/" matches a subject holding text).
    {"[!/a.t/]", "C:\\a.txt", 1, 0},
    {"[!/a.t/]#", "C:\\a.txt", 1, 0},       // "#" is not part of it
    {"[$.txt][!/zz/]", "C:\\a.txt", 1, 0},  // an earlier term held
    {"[!x]", "C:\\a.txt", 0, 0},            // one character: not tested
    {"[$.log]_[!/zz/]", "C:\\a.txt", 1, 0},  // an expression ends the header
    {"_[!/a.t/]", "C:\\a.txt", 0, -1},
    {" [!/a.t/]", "C:\\a.txt", 0, 0},  // only right at the cursor
    {"[!/a/]", "C:\\a.txt", 0, 0, Missing},
    {"[$.txt][!/a/]", "C:\\a.txt", 1, 0, Missing},
    {"[!/a/]", "C:\\a.txt", 0, 0, NoMatchFunction},
    {"[!/a/]", "C:\\a.txt", 0, 0, Failing},  // an error is no match
};

TEST(HeaderMatch, TermsAgainstOneSubject) {
  for (const HeaderRow& row : kHeaders) {
    SCOPED_TRACE(row.header.substr(0, 60) + " on " + row.subject.substr(0, 30));
    TestRun t;
    t.fs.AddFile("C:\\Work\\a.txt");
    t.fs.AddFile("C:\\a.exe");
    t.fs.AddFolder("C:\\Workshop");
    t.fs.regexLibraryPresent = row.library != Missing;
    t.fs.regexHasBMatch = row.library != NoMatchFunction;
    if (row.library == Failing)
      t.fs.regexMatcher = [](const std::string&, const std::string&) { return -3; };
    EXPECT_EQ(MatchHeader(t.run, row.header, row.subject), row.match);
    EXPECT_EQ(t.run.selection.Exclusion, row.exclusion);
  }
}

// The library is loaded at the first expression and only then; one that
// cannot be loaded is reported once and not tried again.
TEST(HeaderMatch, ExpressionLibraryIsLoadedOnceOrReportedOnce) {
  for (bool present : {true, false}) {
    TestRun t;
    t.fs.regexLibraryPresent = present;
    MatchHeader(t.run, "[$.txt]", "C:\\a.txt");
    EXPECT_EQ(t.fs.regexLoads, 0);
    for (int i = 0; i < 2; ++i) MatchHeader(t.run, "[!/a/]", "C:\\a.txt");
    EXPECT_EQ(t.fs.regexLoads, 1);
    EXPECT_EQ(t.Outcome(), present ? "" : "message 正規表現ライブラリが使用できません");
    FreeRegexLibrary(t.run);
    EXPECT_EQ(t.fs.regexFrees, 1);
    EXPECT_EQ(t.run.selection.Regex, RegexState::NotLoaded);
  }
}

}  // namespace
}  // namespace zolto
