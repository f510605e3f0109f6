#include "bmatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace bregexp {
namespace {

struct Row {
  std::string expression;
  std::string subject;
  int expected;
};

const std::string kTable = "\x95\x5C.txt";  // 表.txt in Shift-JIS: its trail byte is a backslash
std::string Times(const std::string& text, int n) {
  std::string out;
  while (n-- > 0) out += text;
  return out;
}
std::string Lines() {
  std::string lines;
  for (int i = 0; lines.size() < 300000; ++i)
    lines += "  name" + std::to_string(i) + " = some value ; comment\r\n";
  return lines + "last = 1\r\n";
}

const Row kRows[] = {
    // Any punctuation after "m" delimits; brackets pair; the pattern runs to the last delimiter.
    {"/abc/", "xxabcxx", 1},
    {"m#a/b#", "a/b", 1},
    {"m{a{2}}", "aa", 1},
    {"//", "", 1},
    // An escaped delimiter is that character, whatever it means to the syntax.
    {"/a\\/b/", "a/b", 1},
    {"m#a\\#b#x", "a", 0},  // not the start of a comment under x
    {"m|a\\|b|", "a", 0},   // not an alternation
    // Each flag changes the match.
    {"/abc/", "xABCx", 0},
    {"/abc/i", "xABCx", 1},
    {"/a b c/x", "abc", 1},
    {"/a.b/", "a\nb", 0},
    {"/a.b/s", "a\nb", 1},
    {"/^b$/m", "a\nb\nc", 1},
    // Malformed operators and patterns are refused.
    {"", "abc", kBadOperator},
    {"m/abc", "abc", kBadOperator},
    {"/a\\/", "abc", kBadOperator},
    {"/abc/g", "abc", kBadOperator},
    {"/a(/", "abc", kBadPattern},
    {"/" + std::string(5000, '(') + std::string(5000, ')') + "/", "abc", kBadPattern},
    // Runaway searches are abandoned; the same pattern still works where it can.
    {"/(a*)*b/", std::string(20000, 'a'), kMatchAbandoned},
    {"/(a*)*$/", std::string(20000, 'a'), 1},
    // A long pattern gets no larger allowance.
    {"/" + Times("(a*)*", 120) + "b/", std::string(5000, 'a'), kMatchAbandoned},
    {"/(a*)*(?R)*+/", std::string(259, 'x'), kMatchAbandoned},
    {"/(a(a*)*(?0)*+|>,*)*(?0)*+|>,/", "aa$", kMatchAbandoned},
    // A back-reference to a group a recursion left inverted would read past the subject.
    {"/(?1)((a+)\\2)/", "aab", kMatchAbandoned},
    {"/^(\\((?1)*\\))+$/", Times("(())", 1000), 1},
    {"/^(\\((?1)*\\))+$/", Times("(())", 1000) + "(", 0},
    {"/\\((?:[^()]|(?R))*\\)/", "C:\\Data\\" + std::string(100, '(') + ")\\f.txt", 1},
    {"/(a)(?-1)b/", "aab", 1},  // "(?-" before a digit is a recursion
    {"/(?-i:A)b/i", "Ab", 1},
    // Long subjects are searched to their end.
    {"/^last\\s*=\\s*(.*?)\\s*$/m", Lines(), 1},
    // The subject is bytes up to the end pointer, NUL included.
    {"/b\\x00c/", std::string("ab\0cd", 5), 1},
    {"/^ab$/", std::string("ab\0cd", 5), 0},
    {"/^\\x95\\x5C/", kTable, 1},
    {"/\xC0/i", "\xE0", 0},    // bytes above 0x7F are never case-folded
    {"m#^c:\\\\work\\\\#i", "C:\\Work\\a.txt", 1},
};

TEST(BMatch, ExpressionsAgainstSubjects) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.expression.substr(0, 60) + " on " + row.subject.substr(0, 40));
    // The subject in a heap block of exactly its size: the sanitizers catch
    // any read at or past the end pointer.
    auto bytes = std::make_unique<char[]>(row.subject.size());
    std::memcpy(bytes.get(), row.subject.data(), row.subject.size());
    char message[kMessageSize];
    std::memset(message, 'X', sizeof message);
    Expression* handle = nullptr;
    const char* end = bytes.get() + row.subject.size();
    EXPECT_EQ(Match(row.expression.c_str(), bytes.get(), end, &handle, message),
              row.expected) << message;
    const std::size_t length = strnlen(message, sizeof message);
    ASSERT_LT(length, kMessageSize);
    EXPECT_EQ(length == 0, row.expected >= 0) << message;
    for (std::size_t i = 0; i < length; ++i)
      EXPECT_TRUE(message[i] >= 0x20 && message[i] < 0x7F) << message;
    EXPECT_EQ(handle == nullptr, row.expected == kBadOperator || row.expected == kBadPattern);
    Free(handle);
  }
}

// The compiled expression is kept for the same text, replaced for another
// one, and left alone by bad arguments.
TEST(BMatch, HandleIsReusedReplacedOrKept) {
  const char subject[] = "abc";
  const char* end = subject + 3;
  char message[kMessageSize];
  Expression* handle = nullptr;
  ASSERT_EQ(Match("/a/", subject, end, &handle, message), 1);
  Expression* first = handle;
  EXPECT_EQ(Match("/a/", subject + 1, end, &handle, message), 0);
  EXPECT_EQ(handle, first);
  EXPECT_EQ(Match(nullptr, subject, end, &handle, message), kBadArgument);
  EXPECT_EQ(Match("/a/", nullptr, end, &handle, message), kBadArgument);
  EXPECT_EQ(Match("/a/", subject, nullptr, &handle, message), kBadArgument);
  EXPECT_EQ(Match("/a/", end, subject, &handle, nullptr), kBadArgument);
  EXPECT_EQ(Match("/b/", subject, end, nullptr, nullptr), 1);  // no handle
  EXPECT_EQ(handle, first);
  EXPECT_EQ(Match("/A/i", subject, end, &handle, message), 1);  // other text: recompiled
  EXPECT_EQ(Match("/b(/", subject, end, &handle, message), kBadPattern);
  EXPECT_EQ(handle, nullptr);  // the old one is gone, nothing new
  EXPECT_STREQ(message, "bad pattern at offset 2: unmatched ( or )");
}

}  // namespace
}  // namespace bregexp
