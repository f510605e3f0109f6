#include "bmatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace bregexp {
namespace {

struct Case {
  const char* expression;
  std::string subject;
  int expected;
};

// Each call gets the subject in a heap block of exactly its size, so that the
// sanitizer build catches any read at or past the end pointer.
class BMatchTest : public ::testing::Test {
 protected:
  ~BMatchTest() override { Free(handle); }

  int Run(const char* expression, const std::string& subject) {
    auto bytes = std::make_unique<char[]>(subject.size());
    std::memcpy(bytes.get(), subject.data(), subject.size());
    std::memset(message, 'X', sizeof message);
    return Match(expression, bytes.get(), bytes.get() + subject.size(), &handle, message);
  }

  void ExpectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
      EXPECT_EQ(Run(c.expression, c.subject), c.expected)
          << c.expression << " on \"" << c.subject.substr(0, 60) << "\": " << message;
    }
  }

  // An error leaves a non-empty, terminated, printable message.
  void ExpectError(const char* expression, const std::string& subject, int status) {
    EXPECT_EQ(Run(expression, subject), status) << expression;
    const std::size_t length = strnlen(message, sizeof message);
    ASSERT_LT(length, kMessageSize) << expression;
    EXPECT_GT(length, 0u) << expression;
    for (std::size_t i = 0; i < length; ++i) {
      EXPECT_TRUE(message[i] >= 0x20 && message[i] < 0x7F) << expression << ": " << message;
    }
  }

  Expression* handle = nullptr;
  char message[kMessageSize];
};

TEST_F(BMatchTest, DelimitersAfterMOrASlash) {
  ExpectAll({
      {"/abc/", "xxabcxx", 1},
      {"/abc/", "ab", 0},
      {"m#a/b#", "a/b", 1},
      {"m{a{2}}", "aa", 1},  // brackets pair up; the pattern holds a{2}
      {"m{a{2}}", "ab", 0},
      {"m<ab>", "ab", 1},
      {"m(ab)", "ab", 1},
      {"/a/b/", "a/b", 1},  // the pattern runs to the last delimiter
      {"//", "", 1},        // an empty pattern matches every subject
      {"m##i", "x", 1},
  });
}

TEST_F(BMatchTest, EscapedDelimiterIsTheLiteralCharacter) {
  ExpectAll({
      {"/a\\/b/", "a/b", 1},
      {"m#a\\#b#x", "a#b", 1},  // not the start of a comment under x
      {"m#a\\#b#x", "a", 0},
      {"m|a\\|b|", "a|b", 1},  // not an alternation
      {"m|a\\|b|", "a", 0},
      {"m<a\\>b>", "a>b", 1},  // not a word-end assertion
      {"m{a\\{b}", "a{b", 1},
      {"m/[\\/]/", "/", 1},
      {"/a\\\\/", "a\\", 1},  // an escaped backslash before the delimiter
      {"/a\\d/", "a5", 1},    // other escapes are untouched
  });
}

TEST_F(BMatchTest, EachFlagChangesTheMatch) {
  ExpectAll({
      {"/abc/", "xABCx", 0},
      {"/abc/i", "xABCx", 1},
      {"/a b c/", "abc", 0},
      {"/a b c/x", "abc", 1},
      {"/a # a comment\n b/x", "ab", 1},
      {"/a.b/", "a\nb", 0},
      {"/a.b/s", "a\nb", 1},
      {"/^b$/", "a\nb\nc", 0},
      {"/^b$/m", "a\nb\nc", 1},
      {"m!^A . b$!xism", "x\na\nB\n", 1},
  });
}

TEST_F(BMatchTest, MalformedOperatorOrPatternIsRefused) {
  for (const char* expression :
       {"", "abc", "m", "ma/", "m /a/", "m/abc", "/abc", "/a\\/", "/abc/g", "/abc/I",
        "/abc/ i", "/abc/i\n"}) {
    ExpectError(expression, "abc", kBadOperator);
  }
  const std::string deep = "/" + std::string(5000, '(') + std::string(5000, ')') + "/";
  for (const char* expression : {"/a(/", "/a)/", "/[z-a]/", "/[abc/", "/*a/", "/a{3,1}/",
                                 "/(?<name/", "/(a)\\2/", "/[[:nope:]]/", deep.c_str()}) {
    ExpectError(expression, "abc", kBadPattern);
    EXPECT_EQ(handle, nullptr) << expression;
  }
}

TEST_F(BMatchTest, CatastrophicBacktrackingIsAbandoned) {
  const std::string as(20000, 'a');
  ExpectError("/(a*)*b/", as, kMatchAbandoned);
  ExpectError("/(x+x+)+y/", std::string(2000, 'x'), kMatchAbandoned);
  std::string longPattern = "/";  // long patterns get no larger allowance
  for (int i = 0; i < 120; ++i) longPattern += "(a*)*";
  ExpectError((longPattern + "b/").c_str(), std::string(5000, 'a'), kMatchAbandoned);
  EXPECT_EQ(Run("/(a*)*$/", as), 1) << message;  // the same pattern still works
  // Exponential without using up Boost's step count: minutes for 30 bytes.
  ExpectError("/(.(a*)*a*)*(?!a*).b/", std::string(30, 'x'), kMatchAbandoned);
  ExpectError("/(.(a*)*a*)*(?i)(?!a*).b/", std::string(259, 'x'), kMatchAbandoned);
}

// Boost leaves the inner group of a recursed group with its end before its
// start; the back-reference to it would read past the subject. The search is
// abandoned instead, and recursion and back-references still work apart.
TEST_F(BMatchTest, MatcherReadingOutsideTheSubjectIsAbandoned) {
  ExpectError("/(?1)((a+)\\2)/", "aab", kMatchAbandoned);
  ExpectError("/(?1)((?<n>a+)\\k<n>)/i", "aab", kMatchAbandoned);
  ExpectAll({
      {"/(a+)\\1b/", "aab", 1},
      {"/x(?1)y(a+)/", "xaya", 1},
      {"/((a+)\\2)b/", "aab", 1},
  });
}

// A recursing pattern gets a smaller step budget (each of its steps may walk
// the whole recursion) and less backtracking memory (each recursion saves
// every group): a runaway one is abandoned, while bracket matching over
// thousands of nested and sequenced groups still completes.
TEST_F(BMatchTest, RecursionHasItsOwnBudget) {
  ExpectError("/(a*)*(?0)*+/", std::string(150, 'a'), kMatchAbandoned);
  ExpectError("/(a*)*(?R)*+/", std::string(259, 'x'), kMatchAbandoned);
  ExpectError("/(a(a*)*(?0)*+|>,*)*(?0)*+|>,/", "aa$", kMatchAbandoned);
  std::string nested = std::string(100, '(') + std::string(100, ')');
  std::string sequence;
  for (int i = 0; i < 1000; ++i) sequence += "(())";
  ExpectAll({
      {"/^(\\((?1)*\\))+$/", nested, 1},
      {"/^(\\((?1)*\\))+$/", sequence, 1},
      {"/^(\\((?1)*\\))+$/", sequence + "(", 0},
      {"/(?<p>\\[(?:[^][]|(?&p))*\\])/", "C:\\x[a[b[c]d]e]y", 1},
      {"/\\((?:[^()]|(?R))*\\)/", "C:\\Data\\" + std::string(100, '(') + ")\\f.txt", 1},
      {"/(a)(?-1)b/", "aab", 1},  // "(?-" before a digit is a recursion, flags are not
      {"/(?-i:A)b/i", "Ab", 1},
  });
}

TEST_F(BMatchTest, LongSubjectsAreSearchedToTheEnd) {
  std::string lines;
  for (int i = 0; lines.size() < 300000; ++i) {
    lines += "  name" + std::to_string(i) + " = some value ; comment\r\n";
  }
  lines += "last = 1\r\n";
  ExpectAll({
      {"/^last\\s*=\\s*(.*?)\\s*$/m", lines, 1},
      {"/^\\s*(\\w+)\\s*=\\s*(.*?)\\s*;\\s*none$/m", lines, 0},
      {"/value.*;.*last/s", lines, 1},
  });
}

// The compiled expression is kept for the same text, replaced for another
// one, and left alone by bad arguments.
TEST_F(BMatchTest, HandleIsReusedReplacedOrKept) {
  ASSERT_EQ(Run("/a/", "a"), 1);
  Expression* first = handle;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Run("/a/", "b"), 0);
  EXPECT_EQ(handle, first);
  EXPECT_STREQ(message, "") << "success clears the message";

  const char subject[] = "abc";
  const char* end = subject + 3;
  EXPECT_EQ(Match(nullptr, subject, end, &handle, message), kBadArgument);
  EXPECT_EQ(Match("/a/", nullptr, end, &handle, message), kBadArgument);
  EXPECT_EQ(Match("/a/", subject, nullptr, &handle, message), kBadArgument);
  EXPECT_EQ(Match("/a/", end, subject, &handle, message), kBadArgument);
  EXPECT_STREQ(message, "subject end before its start");
  EXPECT_EQ(Match("/a/", end, subject, &handle, nullptr), kBadArgument);
  EXPECT_EQ(Match("/a(/", subject, end, nullptr, nullptr), kBadPattern);
  EXPECT_EQ(Match("/b/", subject, end, nullptr, nullptr), 1);  // no handle
  EXPECT_EQ(handle, first);

  EXPECT_EQ(Run("/a/i", "A"), 1);  // same pattern, other flags: recompiled
  EXPECT_EQ(Run("/b/", "b"), 1);
  ExpectError("/b(/", "b", kBadPattern);  // the old one is gone, nothing new
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(Run("/b/", "b"), 1);
}

// Bytes, NUL included, up to the end pointer; a double-byte character is two
// bytes to the pattern (0x95 0x5C holds a backslash).
TEST_F(BMatchTest, SubjectIsBytesUpToTheEndPointer) {
  const std::string withNul("ab\0cd", 5);
  const std::string table = "\x95\x5C.txt";  // 表.txt in Shift-JIS
  ExpectAll({
      {"/cd/", withNul, 1},
      {"/b\\x00c/", withNul, 1},
      {"/^ab$/", withNul, 0},
      {"/d$/", withNul, 1},
      {"/a/", "", 0},
      {"/^$/", "", 1},
      {"/^\\x95\\x5C/", table, 1},
      {"/^..\\./", table, 1},
      {"/\x95\\\\/", table, 1},
      {"/\xC0/i", "\xE0", 0},    // bytes above 0x7F are never case-folded
      {"/\\w/", "\x82\xA0", 0},  // nor taken for letters
      {"m#^c:\\\\work\\\\#i", "C:\\Work\\a.txt", 1},
      {"m#^c:\\\\work\\\\#", "C:\\Work\\a.txt", 0},
  });
}

}  // namespace
}  // namespace bregexp
