#include <gtest/gtest.h>

#include <string>

#include "test_run.h"

namespace zolto {
namespace {

class HeaderMatchTest : public RunTest {
 protected:
  HeaderMatchTest() {
    fs.AddFile("C:\\Work\\a.txt");
    fs.AddFile("C:\\a.exe");
    fs.AddFolder("C:\\Workshop");
  }
  // Matches with the exclusion state cleared first, as the selection does.
  int Match(const std::string& header, const std::string& subject) {
    run.selection.exclusion = 0;
    return MatchHeader(run, header, subject);
  }
};

TEST_F(HeaderMatchTest, BeginsAndEndsWith) {
  EXPECT_EQ(Match("[^C:\\Work]", "C:\\Work\\a.txt"), 1);
  EXPECT_EQ(Match("[^c:\\work]", "C:\\Workshop"), 1);
  EXPECT_EQ(Match("[^C:\\Work\\a.txt.bak]", "C:\\Work\\a.txt"), 0);
  EXPECT_EQ(Match("[$.txt]", "C:\\X\\B.TXT"), 1);
  EXPECT_EQ(Match("[$.txt]", "C:\\X\\b.txt.exe"), 0);
  EXPECT_EQ(Match("[^]", "C:\\X"), 0);  // an empty text is skipped
  EXPECT_EQ(Match("[^" + std::string(260, 'C') + "]", std::string(270, 'C')), 0);
}

TEST_F(HeaderMatchTest, AllAndOrderedParts) {
  EXPECT_EQ(Match("[-^C:\\&&doc&&$.txt]", "C:\\mydoc.txt"), 1);
  EXPECT_EQ(Match("[-^D:\\&&doc]", "C:\\mydoc.txt"), 0);
  EXPECT_EQ(Match("[-doc&&$.log]", "C:\\mydoc.txt"), 0);
  EXPECT_EQ(Match("[+a&&b]", "C:\\b\\a.txt"), 0);
  EXPECT_EQ(Match("[-a&&b]", "C:\\b\\a.txt"), 1);
  EXPECT_EQ(Match("[+b&&&&a]", "C:\\b\\a.txt"), 1);  // empty parts dropped
  EXPECT_EQ(Match("[+&&]", "C:\\b\\a.txt"), 0);      // nothing left
  EXPECT_EQ(Match("[-^C:\\my&&$doc.txt]", "C:\\mydoc.txt"), 1);
  EXPECT_EQ(Match("[-doc&&^C]", "C:\\doc"), 0);  // "^" only on the first part
  // A part must end before the "$" part begins.
  EXPECT_EQ(Match("[-txt&&$.txt]", "C:\\a.txt"), 0);
  std::string eleven = "[-a";
  for (int i = 0; i < 10; ++i) eleven += "&&a";
  EXPECT_EQ(Match(eleven + "]", "C:\\a"), 0);  // more than ten parts: refused
}

TEST_F(HeaderMatchTest, Kinds) {
  EXPECT_EQ(Match("[file]", "C:\\Work\\a.txt"), 1);
  EXPECT_EQ(Match("[file]", "C:\\Workshop"), 0);
  EXPECT_EQ(Match("[file]", "https://example.org/"), 0);
  EXPECT_EQ(Match("[FILE][folder]", "C:\\Workshop"), 1);
  EXPECT_EQ(Match("[file] [folder]", "C:\\Workshop"), 0);  // not at the cursor
  EXPECT_EQ(Match("[url]", "https://example.org/"), 1);
  EXPECT_EQ(Match("[url]", "C:\\Work\\a.txt"), 0);
}

TEST_F(HeaderMatchTest, Exclusions) {
  EXPECT_EQ(Match("_[folder]", "C:\\Work\\a.txt"), 1);
  EXPECT_EQ(Match("_[folder]", "https://example.org/"), 1);
  EXPECT_EQ(Match("_[folder]", "C:\\Workshop"), 0);
  EXPECT_EQ(run.selection.exclusion, -1);
  EXPECT_EQ(Match("[^C:\\]_[$.exe]", "C:\\a.txt"), 1);
  EXPECT_EQ(Match("[^C:\\]_[$.exe]", "C:\\a.exe"), 0);
  EXPECT_EQ(Match("[^D:\\]_[$.exe]", "C:\\a.txt"), 0);  // a positive term failed
  EXPECT_EQ(Match("[.*]_[folder]", "C:\\Workshop"), 0);
  EXPECT_EQ(run.selection.exclusion, -1);
  EXPECT_EQ(Match("[.*]_[folder]", "C:\\Work\\a.txt"), 1);
  EXPECT_EQ(Match("[.*]", "C:\\Work\\a.txt"), 0);
  EXPECT_EQ(run.selection.exclusion, 0);
}

TEST_F(HeaderMatchTest, TermListEnds) {
  EXPECT_EQ(Match("[$.txt] comment", "C:\\a.txt"), 1);
  EXPECT_EQ(Match("[$.exe]#", "C:\\a.txt"), 0);
  EXPECT_EQ(Match("[$.exe][$.tx", "C:\\a.txt"), 0);  // no closing bracket
  EXPECT_EQ(Match("[$.txt][$.tx", "C:\\a.txt"), 1);
  EXPECT_EQ(Match("[$.exe]ab[$.txt]", "C:\\a.txt"), 1);
  EXPECT_EQ(Match("[$.exe][x", "C:\\a.txt"), 0);  // fewer than 3 characters follow
  EXPECT_EQ(Match("", "C:\\a.txt"), 0);
  EXPECT_EQ(Match("[", "C:\\a.txt"), 0);
  EXPECT_EQ(Match("_[", "C:\\a.txt"), 0);
}

TEST_F(HeaderMatchTest, RegularExpressions) {
  EXPECT_EQ(Match("[!/a.t/]", "C:\\a.txt"), 1);
  EXPECT_EQ(Match("[!/zz/]", "C:\\a.txt"), 0);
  EXPECT_EQ(Match("[!/a.t/]#", "C:\\a.txt"), 1);   // "#" is not part of it
  EXPECT_EQ(Match("[$.txt][!/zz/]", "C:\\a.txt"), 1);  // an earlier term held
  EXPECT_EQ(Match("[!x]", "C:\\a.txt"), 0);        // one character: not tested
  EXPECT_EQ(Match("[$.log]_[!/zz/]", "C:\\a.txt"), 1);
  EXPECT_EQ(Match("_[!/a.t/]", "C:\\a.txt"), 0);
  EXPECT_EQ(run.selection.exclusion, -1);
  EXPECT_EQ(Match(" [!/a.t/]", "C:\\a.txt"), 0);  // only right at the cursor
  EXPECT_EQ(fs.regexLoads, 1);  // loaded once, at the first expression
}

TEST_F(HeaderMatchTest, MissingLibraryIsReportedOnce) {
  fs.regexLibraryPresent = false;
  EXPECT_EQ(Match("[!/a/]", "C:\\a.txt"), 0);
  EXPECT_EQ(Match("[!/a/]", "C:\\a.txt"), 0);
  EXPECT_EQ(run.selection.regex, RegexState::Unavailable);
  ASSERT_EQ(fs.messages.size(), 1u);
  EXPECT_EQ(fs.messages[0].text, "正規表現ライブラリが使用できません");
  EXPECT_EQ(fs.messages[0].caption, "zolto5_c");
  EXPECT_EQ(fs.regexLoads, 1);
}

TEST_F(HeaderMatchTest, LibraryWithoutMatchFunctionMatchesNothing) {
  fs.regexHasBMatch = false;
  EXPECT_EQ(Match("[!/a/]", "C:\\a.txt"), 0);
  EXPECT_EQ(run.selection.regex, RegexState::Loaded);
  fs.regexHasBMatch = true;
  fs.regexMatcher = [](const std::string&, const std::string&) { return -3; };
  EXPECT_EQ(Match("[!/a/]", "C:\\a.txt"), 0);  // an error is no match
  FreeRegexLibrary(run);
  EXPECT_EQ(fs.regexFrees, 1);
  EXPECT_EQ(run.selection.regex, RegexState::NotLoaded);
}

}  // namespace
}  // namespace zolto
