// Header terms: name patterns, kinds, exclusions and expressions, matched
// against one subject with the exclusion state cleared first, as the
// selection does.
#include <gtest/gtest.h>

#include "test_run.h"

namespace zolto {
namespace {

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
    {"[^C:\\Work]", "C:\\Work\\a.txt", 1, 0},
    {"[^c:\\work]", "C:\\Workshop", 1, 0},
    {"[^C:\\Work\\a.txt.bak]", "C:\\Work\\a.txt", 0, 0},
    {"[$.txt]", "C:\\X\\B.TXT", 1, 0},
    {"[$.txt]", "C:\\X\\b.txt.exe", 0, 0},
    {"[^]", "C:\\X", 0, 0},  // an empty text is skipped
    {"[^" + std::string(260, 'C') + "]", std::string(270, 'C'), 0, 0},  // so is a long one
    {"[^" + std::string(259, 'C') + "]", std::string(270, 'C'), 1, 0},
    // All parts, anywhere ("-"), or in order ("+"); "^" and "$" anchor the ends.
    {"[-^C:\\&&doc&&$.txt]", "C:\\mydoc.txt", 1, 0},
    {"[-^D:\\&&doc]", "C:\\mydoc.txt", 0, 0},
    {"[-doc&&$.log]", "C:\\mydoc.txt", 0, 0},
    {"[+a&&b]", "C:\\b\\a.txt", 0, 0},
    {"[-a&&b]", "C:\\b\\a.txt", 1, 0},
    {"[+b&&&&a]", "C:\\b\\a.txt", 1, 0},  // empty parts dropped
    {"[+&&]", "C:\\b\\a.txt", 0, 0},      // nothing left
    {"[-&&]", "C:\\b\\a.txt", 1, 0},
    {"[-^C:\\my&&$doc.txt]", "C:\\mydoc.txt", 1, 0},
    {"[-doc&&^C]", "C:\\doc", 0, 0},   // "^" only on the first part
    {"[-txt&&$.txt]", "C:\\a.txt", 0, 0},  // a part ends before the "$" part
    {"[+^C:&&a&&$.txt]", "C:\\a.txt", 1, 0},
    {kEleven, "C:\\a", 0, 0},  // more than ten parts: refused
    {"[-a" + Numbered("&&a", 9, "") + "]", "C:\\a", 1, 0},
    // Kinds, only right at the cursor.
    {"[file]", "C:\\Work\\a.txt", 1, 0},
    {"[file]", "C:\\Workshop", 0, 0},
    {"[file]", "https://example.org/", 0, 0},
    {"[FILE][folder]", "C:\\Workshop", 1, 0},
    {"[file] [folder]", "C:\\Workshop", 0, 0},
    {"[url]", "https://example.org/", 1, 0},
    {"[url]", "C:\\Work\\a.txt", 0, 0},
    // Exclusions: a header of exclusions alone holds when none hits.
    {"_[folder]", "C:\\Work\\a.txt", 1, 1},
    {"_[folder]", "https://example.org/", 1, 1},
    {"_[folder]", "C:\\Workshop", 0, -1},
    {"[^C:\\]_[$.exe]", "C:\\a.txt", 1, 1},
    {"[^C:\\]_[$.exe]", "C:\\a.exe", 0, -1},
    {"[^D:\\]_[$.exe]", "C:\\a.txt", 0, 1},  // a positive term failed
    {"_[$.exe][^D:\\]", "C:\\a.txt", 0, 1},
    {"[.*]_[folder]", "C:\\Workshop", 0, -1},
    {"[.*]_[folder]", "C:\\Work\\a.txt", 1, 1},
    {"[.*]", "C:\\Work\\a.txt", 0, 0},
    // Where the term list ends.
    {"[$.txt] comment", "C:\\a.txt", 1, 0},
    {"[$.exe]#", "C:\\a.txt", 0, 0},
    {"[$.exe][$.tx", "C:\\a.txt", 0, 0},  // no closing bracket
    {"[$.txt][$.tx", "C:\\a.txt", 1, 0},
    {"[$.exe]ab[$.txt]", "C:\\a.txt", 1, 0},
    {"[$.exe]ab[$.txt", "C:\\a.txt", 0, 0},
    {"[$.exe][x", "C:\\a.txt", 0, 0},  // fewer than 3 characters follow
    {"[$.exe][$.t]", "C:\\a.t", 1, 0},
    {"", "C:\\a.txt", 0, 0},
    {"[", "C:\\a.txt", 0, 0},
    {"_[", "C:\\a.txt", 0, 0},
    // Expressions (the fake library: "/text/" matches a subject holding text).
    {"[!/a.t/]", "C:\\a.txt", 1, 0},
    {"[!/zz/]", "C:\\a.txt", 0, 0},
    {"[!/a.t/]#", "C:\\a.txt", 1, 0},       // "#" is not part of it
    {"[$.txt][!/zz/]", "C:\\a.txt", 1, 0},  // an earlier term held
    {"[!x]", "C:\\a.txt", 0, 0},            // one character: not tested
    {"[!/a/]", "C:\\a.txt", 1, 0},
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
    if (row.library == Failing) t.fs.regexMatcher = [](const std::string&, const std::string&) { return -3; };
    EXPECT_EQ(MatchHeader(t.run, row.header, row.subject), row.match);
    EXPECT_EQ(t.run.selection.exclusion, row.exclusion);
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
    EXPECT_EQ(t.run.selection.regex, present ? RegexState::Loaded : RegexState::Unavailable);
    ASSERT_EQ(t.fs.messages.size(), present ? 0u : 1u);
    if (!present) {
      EXPECT_EQ(t.fs.messages[0].text, "正規表現ライブラリが使用できません");
      EXPECT_EQ(t.fs.messages[0].caption, "zolto5_c");
    }
  }
  TestRun t;
  MatchHeader(t.run, "[!/a/]", "C:\\a.txt");
  FreeRegexLibrary(t.run);
  EXPECT_EQ(t.fs.regexFrees, 1);
  EXPECT_EQ(t.run.selection.regex, RegexState::NotLoaded);
}

}  // namespace
}  // namespace zolto
