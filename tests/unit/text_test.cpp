#include "text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace zolto {
namespace {

constexpr size_t npos = std::string_view::npos;

// Shift-JIS characters whose trail byte looks like ASCII punctuation.
const std::string kHyo = "\x95\x5C";  // trail is '\\'
const std::string kSo = "\x83\x5C";   // trail is '\\'
const std::string kJu = "\x8F\x5C";   // trail is '\\'
const std::string kPo = "\x83\x7C";   // trail is '|'
const std::string kA = "\x83\x41";    // trail is 'A'
const std::string kLowA = "\x83\x61"; // trail is 'a'

// Every test starts with code page 932 and leaves it installed.
class TextHelpers : public ::testing::Test {
 protected:
  void SetUp() override { SetLeadBytePredicate(Cp932LeadByte); }
  void TearDown() override { SetLeadBytePredicate(Cp932LeadByte); }
};

TEST_F(TextHelpers, Cp932LeadByteRanges) {
  for (int c : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(Cp932LeadByte(c)) << c;
  for (int c : {0x00, 0x5C, 0x80, 0xA0, 0xDF, 0xFD, 0xFF})
    EXPECT_FALSE(Cp932LeadByte(c)) << c;
  EXPECT_TRUE(IsLeadByte(0x95));
  SetLeadBytePredicate(NoLeadByte);
  EXPECT_FALSE(IsLeadByte(0x95));
}

TEST_F(TextHelpers, CharLengthAndCutNeverSplitAPair) {
  const std::string text = "a" + kHyo + "b";
  EXPECT_EQ(CharLength(text, 0), 1u);
  EXPECT_EQ(CharLength(text, 1), 2u);
  EXPECT_EQ(CharLength("a\x95", 1), 1u);  // lead byte at the very end
  EXPECT_EQ(CutToBytes(text, 0), "");
  EXPECT_EQ(CutToBytes(text, 1), "a");
  EXPECT_EQ(CutToBytes(text, 2), "a");
  EXPECT_EQ(CutToBytes(text, 3), "a" + kHyo);
  EXPECT_EQ(CutToBytes(text, 99), text);
  SetLeadBytePredicate(NoLeadByte);
  EXPECT_EQ(CharLength(text, 1), 1u);
  EXPECT_EQ(CutToBytes(text, 2), "a\x95");
}

TEST_F(TextHelpers, TrailBackslashIsNotASeparator) {
  const std::string path = "C:\\dir\\" + kHyo;
  EXPECT_FALSE(EndsWithBackslash(path));
  EXPECT_EQ(PathAddBackslash(path), path + "\\");
  EXPECT_EQ(PathRemoveBackslash(path), path);
  EXPECT_EQ(DropTrailingBackslash(path), path);
  EXPECT_EQ(FindLastSeparator(path), 6u);
  EXPECT_EQ(FileNamePart(path), kHyo);
  EXPECT_EQ(FindLastSeparator(kSo + kJu), npos);
  EXPECT_EQ(FileNamePart(kSo + kJu), kSo + kJu);

  SetLeadBytePredicate(NoLeadByte);
  EXPECT_TRUE(EndsWithBackslash(path));
  EXPECT_EQ(PathAddBackslash(path), path);
  EXPECT_EQ(FindLastSeparator(path), 8u);
  EXPECT_EQ(FileNamePart(path), "");
}

TEST_F(TextHelpers, BackslashesAddedAndRemoved) {
  EXPECT_EQ(PathAddBackslash(""), "");
  EXPECT_EQ(PathAddBackslash("C:\\dir\\"), "C:\\dir\\");
  EXPECT_EQ(PathRemoveBackslash("a\\\\"), "a\\");
  EXPECT_EQ(PathRemoveBackslash("C:\\"), "C:\\");  // a root keeps its backslash
  EXPECT_EQ(PathRemoveBackslash("\\"), "\\");
  EXPECT_EQ(DropTrailingBackslash("C:\\"), "C:");
  EXPECT_EQ(DropTrailingBackslash("\\"), "");
  EXPECT_FALSE(EndsWithBackslash(""));
}

TEST_F(TextHelpers, FindIFoldsAsciiAtCharacterBoundaries) {
  EXPECT_EQ(FindI("C:\\Program Files\\App.EXE", ".exe"), 20u);
  EXPECT_EQ(FindI("abcABC", "abc", 1), 3u);
  EXPECT_EQ(FindI("abc", "abcd"), npos);
  EXPECT_EQ(FindI("abc", ""), 0u);
  EXPECT_EQ(FindI("abc", "", 3), 3u);
  EXPECT_EQ(FindI("abc", "", 4), npos);
  EXPECT_EQ(FindI("abc", "c", 4), npos);
  EXPECT_TRUE(ContainsI("Hello", "LL"));
  // A trail byte never starts a match.
  EXPECT_EQ(FindI(kSo + "x", "\\x"), npos);
  EXPECT_EQ(FindI(kSo + "\\x", "\\x"), 2u);
  EXPECT_EQ(FindI(kPo + "|", "|"), 2u);
  EXPECT_EQ(FindI(kA + "a", "A"), 2u);
  // A double-byte character is compared exactly, never folded.
  EXPECT_EQ(FindI("x" + kLowA, kA), npos);
  EXPECT_EQ(FindI("x" + kA, kA), 1u);

  SetLeadBytePredicate(NoLeadByte);
  EXPECT_EQ(FindI(kSo + "x", "\\x"), 1u);
  EXPECT_EQ(FindI("x" + kLowA, kA), 1u);
}

// The search skips its character walk where it can; it must still agree
// with a walk character by character on every text, including runs of
// lead-byte values where only parity tells a trail byte from a lead byte.
TEST_F(TextHelpers, FindAgreesWithACharacterWalk) {
  auto walk = [](std::string_view text, std::string_view needle, size_t from, bool fold) {
    if (from > text.size()) return npos;
    for (size_t i = from; i + needle.size() <= text.size(); i += CharLength(text, i)) {
      const std::string_view part = text.substr(i, needle.size());
      if (fold ? EqualsI(part, needle) : part == needle) return i;
    }
    return npos;
  };
  EXPECT_EQ(FindI("\x81\x81\x81\x5Cx", "\\x"), npos);
  EXPECT_EQ(FindI("\x81\x81\x5Cx", "\\x"), 2u);
  const char alphabet[] = {'\x81', '\x5C', 'a', 'A', 'x', '\xE0'};
  unsigned seed = 12345;
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int round = 0; round < 20000; ++round) {
    std::string text, needle;
    for (unsigned n = next() % 12; n > 0; --n) text += alphabet[next() % 6];
    for (unsigned n = 1 + next() % 3; n > 0; --n) needle += alphabet[next() % 6];
    size_t from = 0;  // a character boundary, as callers pass
    for (unsigned k = next() % 4; k > 0 && from < text.size(); --k) from += CharLength(text, from);
    ASSERT_EQ(FindI(text, needle, from), walk(text, needle, from, true)) << round;
    ASSERT_EQ(Find(text, needle, from), walk(text, needle, from, false)) << round;
  }
}

TEST_F(TextHelpers, StartsWithIAndEqualsI) {
  EXPECT_TRUE(StartsWithI("C:\\Program Files", "c:\\PROGRAM"));
  EXPECT_TRUE(StartsWithI("abc", ""));
  EXPECT_FALSE(StartsWithI("ab", "abc"));
  EXPECT_FALSE(StartsWithI("abd", "abc"));
  EXPECT_TRUE(EqualsI("MiXeD", "mixed"));
  EXPECT_FALSE(EqualsI("abc", "abcd"));
  // Only letters fold: '@'/'`', '['/'{' and '^'/'~' differ by 0x20 too.
  EXPECT_FALSE(EqualsI("@[^", "`{~"));
  EXPECT_FALSE(EqualsI(kA, kLowA));
  EXPECT_FALSE(StartsWithI(kLowA + "z", kA));
  EXPECT_TRUE(EqualsI(kA + "Z", kA + "z"));

  SetLeadBytePredicate(NoLeadByte);
  EXPECT_TRUE(EqualsI(kA, kLowA));
  EXPECT_TRUE(StartsWithI(kLowA + "z", kA));
}

TEST_F(TextHelpers, StrToIntParsesAndSaturates) {
  EXPECT_EQ(StrToInt("-"), 0);
  EXPECT_EQ(StrToInt("+-3"), 0);
  EXPECT_EQ(StrToInt("- 3"), 0);
  EXPECT_EQ(StrToInt("\t 12 34"), 12);
  EXPECT_EQ(StrToInt("  -5x"), -5);
  EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
  EXPECT_EQ(StrToInt("2147483648"), INT_MAX);
  EXPECT_EQ(StrToInt("-99999999999999999999999"), INT_MIN);
}

TEST_F(TextHelpers, BlanksAreTrimmed) {
  EXPECT_EQ(PathRemoveBlanks("  a b  "), "a b");
  EXPECT_EQ(PathRemoveBlanks("   "), "");
  EXPECT_EQ(PathRemoveBlanks("\ta\t "), "\ta\t");
  EXPECT_EQ(TrimLeadingBlanksAndTabs(" \t a\t "), "a\t ");
  EXPECT_EQ(TrimLeadingBlanksAndTabs("\t \t"), "");
}

TEST_F(TextHelpers, QuotesAddedOnlyWhenNeeded) {
  EXPECT_EQ(PathQuoteSpaces("C:\\Program Files\\a.exe"),
            "\"C:\\Program Files\\a.exe\"");
  EXPECT_EQ(PathQuoteSpaces("\"a b\""), "\"a b\"");
  EXPECT_EQ(PathQuoteSpaces("\"a b"), "\"\"a b\"");
  EXPECT_EQ(PathQuoteSpaces(" "), "\" \"");
}

TEST_F(TextHelpers, QuotesRemovedOnePairOnly) {
  EXPECT_EQ(PathUnquoteSpaces("\"a b\""), "a b");
  EXPECT_EQ(PathUnquoteSpaces("\"\"a\"\""), "\"a\"");
  EXPECT_EQ(PathUnquoteSpaces("\""), "\"");
  EXPECT_EQ(PathUnquoteSpaces("a\""), "a\"");
}

TEST_F(TextHelpers, SplitPathLikeSplitpath) {
  struct Case {
    std::string path, drive, dir, name, ext;
  };
  const Case cases[] = {
      {"C:\\dir\\file.txt", "C:", "\\dir\\", "file", ".txt"},
      {"C:\\", "C:", "\\", "", ""},
      {"C:file.txt", "C:", "", "file", ".txt"},
      {"\\\\server\\share\\x.txt", "", "\\\\server\\share\\", "x", ".txt"},
      {"a/b.c\\d.tar.gz", "", "a/b.c\\", "d.tar", ".gz"},
      {".bashrc", "", "", "", ".bashrc"},
      {"a.", "", "", "a", "."},
      {"C:\\dir\\" + kHyo, "C:", "\\dir\\", kHyo, ""},
      {"C:\\" + kSo + ".txt", "C:", "\\", kSo, ".txt"},
      {kJu + "\\" + kHyo + ".x", "", kJu + "\\", kHyo, ".x"},
      {"\x83:x", "", "", "\x83:x", ""},  // ':' here is a trail byte
  };
  for (const Case& c : cases) {
    PathParts parts = SplitPath(c.path);
    EXPECT_EQ(parts.drive, c.drive) << c.path;
    EXPECT_EQ(parts.dir, c.dir) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
    EXPECT_EQ(parts.ext, c.ext) << c.path;
  }

  SetLeadBytePredicate(NoLeadByte);
  PathParts parts = SplitPath("C:\\dir\\" + kHyo);
  EXPECT_EQ(parts.dir, "\\dir\\\x95\\");
  EXPECT_EQ(parts.name, "");
}

TEST_F(TextHelpers, JoinPathHonoursMaxPath) {
  const std::string a(200, 'a');
  EXPECT_EQ(JoinPath(a, std::string(59, 'b')), a + std::string(59, 'b'));
  EXPECT_EQ(JoinPath(a, std::string(60, 'b')), "");
  EXPECT_EQ(JoinPath(std::string(260, 'a'), ""), "");
}

}  // namespace
}  // namespace zolto
