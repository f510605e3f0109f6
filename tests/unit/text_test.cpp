// The byte-string and path helpers, in code page 932 (where a trail byte can
// be '\\' or '|') and in a single-byte code page.
#include "text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace zolto {
namespace {

constexpr size_t npos = std::string_view::npos;

// Shift-JIS characters whose trail byte looks like ASCII punctuation or a letter.
const std::string kHyo = "\x95\x5C";   // 表, trail '\\'
const std::string kSo = "\x83\x5C";    // ソ, trail '\\'
const std::string kJu = "\x8F\x5C";    // 十, trail '\\'
const std::string kA = "\x83\x41";     // trail 'A'
const std::string kLowA = "\x83\x61";  // trail 'a'

struct TextRow {
  std::string function;
  std::string a, b;
  std::string expect;
  size_t n = 0;  // a position, count or length, for the functions that take one
  LeadBytePredicate lead = Cp932LeadByte;
};

std::string Pos(size_t at) { return at == npos ? "npos" : std::to_string(at); }

// The result of one helper as text: positions as numbers or "npos", truth as "1" or "0".
std::string Call(const TextRow& r) {
  const std::string& f = r.function;
  const std::string& a = r.a;
  if (f == "CharLength") return std::to_string(CharLength(a, r.n));
  if (f == "CutToBytes") return CutToBytes(a, r.n);
  if (f == "EndsWithBackslash") return EndsWithBackslash(a) ? "1" : "0";
  if (f == "PathAddBackslash") return PathAddBackslash(a);
  if (f == "PathRemoveBackslash") return PathRemoveBackslash(a);
  if (f == "DropTrailingBackslash") return DropTrailingBackslash(a);
  if (f == "FindLastSeparator") return Pos(FindLastSeparator(a));
  if (f == "FileNamePart") return std::string(FileNamePart(a));
  if (f == "FindI") return Pos(FindI(a, r.b, r.n));
  if (f == "StartsWithI") return StartsWithI(a, r.b) ? "1" : "0";
  if (f == "EqualsI") return EqualsI(a, r.b) ? "1" : "0";
  if (f == "EndsWithI") return EndsWithI(a, r.b) ? "1" : "0";
  if (f == "StrToInt") return std::to_string(StrToInt(a));
  if (f == "PathRemoveBlanks") return PathRemoveBlanks(a);
  if (f == "TrimLeadingBlanksAndTabs") return std::string(TrimLeadingBlanksAndTabs(a));
  if (f == "PathQuoteSpaces") return PathQuoteSpaces(a);
  if (f == "PathUnquoteSpaces") return PathUnquoteSpaces(a);
  if (f == "JoinPath") return JoinPath(a, r.b);
  if (f == "PathCanonicalize") return PathCanonicalize(std::string_view(a).substr(0,
      r.n ? r.n : npos));
  if (f == "CommandLineTail") return std::string(CommandLineTail(a));
  if (f == "DecodeUtf8Escapes") return DecodeUtf8Escapes(a);
  if (f == "PercentEncode") return PercentEncode(a);
  if (f == "Utf8FirstCharacters") return Utf8FirstCharacters(a, r.n);
  if (f == "Utf8LastCharacters") return Utf8LastCharacters(a, r.n);
  if (f == "SplitPath") {
    const PathParts p = SplitPath(a);
    return p.drive + "|" + p.dir + "|" + p.name + "|" + p.ext;
  }
  ADD_FAILURE() << "no function " << f;
  return "";
}

const std::string k200(200, 'a');
const TextRow kText[] = {
    {"CharLength", "a" + kHyo + "b", "", "2", 1},
    {"CharLength", "a" + kHyo + "b", "", "1", 1, NoLeadByte},
    {"CharLength", "a\x95", "", "1", 1},  // a lead byte at the very end
    {"CutToBytes", "a" + kHyo + "b", "", "a", 2},  // never half a character
    {"CutToBytes", "a" + kHyo + "b", "", "a" + kHyo, 3},
    // A trail byte '\\' is no separator.
    {"EndsWithBackslash", "C:\\dir\\" + kHyo, "", "0"},
    {"EndsWithBackslash", "C:\\dir\\" + kHyo, "", "1", 0, NoLeadByte},
    {"PathAddBackslash", "C:\\dir\\" + kHyo, "", "C:\\dir\\" + kHyo + "\\"},
    {"PathRemoveBackslash", "a\\\\", "", "a\\"},
    {"PathRemoveBackslash", "C:\\", "", "C:\\"},  // a root keeps its backslash
    {"PathRemoveBackslash", "\x83:\\", "", "\x83:"},  // no drive root: ':' is a trail byte
    {"DropTrailingBackslash", "C:\\", "", "C:"},
    {"FindLastSeparator", "C:\\dir\\" + kHyo, "", "6"},
    {"FileNamePart", "C:\\dir\\" + kHyo, "", kHyo},
    {"FileNamePart", "C:\\dir\\" + kHyo, "", "", 0, NoLeadByte},
    // Searches fold ASCII letters only and start only at character boundaries.
    {"FindI", "abc", "", "3", 3},
    {"FindI", "abc", "", "npos", 4},
    {"FindI", kSo + "x", "\\x", "npos"},
    {"FindI", "x" + kLowA, kA, "npos"},  // a double-byte character is never folded
    {"StartsWithI", "ab", "abc", "0"},
    {"StartsWithI", kLowA + "z", kA, "0"},
    {"EqualsI", "@[^", "`{~", "0"},  // only letters fold
    {"EqualsI", kA, kLowA, "0"},
    {"EndsWithI", "t", ".txt", "0"},
    {"StrToInt", "-", "", "0"},
    {"StrToInt", "+09", "", "9"},
    {"StrToInt", "-2147483648", "", std::to_string(INT_MIN)},
    {"StrToInt", "2147483648", "", std::to_string(INT_MAX)},
    {"PathRemoveBlanks", "\ta\t ", "", "\ta\t"},
    {"TrimLeadingBlanksAndTabs", " \t a\t ", "", "a\t "},
    {"PathQuoteSpaces", "\"a b\"", "", "\"a b\""},
    {"PathQuoteSpaces", "\"a b", "", "\"\"a b\""},
    {"PathUnquoteSpaces", "\"\"a\"\"", "", "\"a\""},
    {"SplitPath", "C:file.txt", "", "C:||file|.txt"},
    {"SplitPath", "\\\\server\\share\\x.txt", "", "|\\\\server\\share\\|x|.txt"},
    {"SplitPath", "a/b.c\\d.tar.gz", "", "|a/b.c\\|d.tar|.gz"},
    {"SplitPath", "a.", "", "||a|."},
    {"SplitPath", "C:\\dir\\" + kHyo, "", "C:|\\dir\\|" + kHyo + "|"},
    {"SplitPath", kJu + "\\" + kHyo + ".x", "", "|" + kJu + "\\|" + kHyo + "|.x"},
    {"SplitPath", "\x83:x", "", "||\x83:x|"},  // ':' here is a trail byte
    {"JoinPath", k200, std::string(59, 'b'), k200 + std::string(59, 'b')},
    {"JoinPath", k200, std::string(60, 'b'), ""},
    // "." and ".." steps go; ".." never climbs above the root.
    {"PathCanonicalize", "C:\\a\\..\\b", "", "C:\\b"},
    {"PathCanonicalize", "C:\\..\\..\\x", "", "C:\\x"},
    {"PathCanonicalize", "\\\\srv\\share\\a\\..\\..\\b", "", "\\\\srv\\share\\b"},
    {"PathCanonicalize", "\\\\srv", "", "\\\\srv"},
    {"PathCanonicalize", "C:\\" + kHyo + "\\..\\x", "", "C:\\x"},
    {"PathCanonicalize", "\x83:\\..\\x", "", "x"},
    {"PathCanonicalize", "C:\\x", "", "C:", 2},  // the view ends before its '\\'
    {"PathCanonicalize", "C:\\a\\b", "", "C:\\a", 4},
    // UTF-8 names as the user gave them.
    {"CommandLineTail", "\"C:\\My Apps\\p.exe\"  \"x y\"", "", "\"x y\""},
    {"CommandLineTail", "p\"q r\"s\tt", "", "t"},
    {"DecodeUtf8Escapes", "%C3%A9%20%22 %e3%81%82", "", "é%20%22 あ"},
    {"DecodeUtf8Escapes", "%C3 %C3%A9%C3 %E3%81", "", "%C3 é%C3 %E3%81"},
    {"PercentEncode", "é/", "", "%C3%A9%2F"},
    {"Utf8LastCharacters", "aé😀b", "", "😀b", 2},
    {"Utf8LastCharacters", "\xC3", "", "\xC3", 5},  // a stray byte is one character
    {"Utf8LastCharacters", "\xF0\x9F\x98", "", "\x98", 1},
    {"Utf8LastCharacters", "a\xF4\x8F\xBF\xBF", "", "\xF4\x8F\xBF\xBF", 1},  // the last plane
};

TEST(Text, HelpersInBothCodePages) {
  for (const TextRow& row : kText) {
    SCOPED_TRACE(row.function + "(" + row.a + ", " + row.b + ", " + std::to_string(row.n) + ")" +
                 (row.lead == NoLeadByte ? " single-byte" : ""));
    SetLeadBytePredicate(row.lead);
    EXPECT_EQ(Call(row), row.expect);
  }
  SetLeadBytePredicate(Cp932LeadByte);
  for (int c : {0x81, 0x9F, 0xE0,
      0xFC}) EXPECT_TRUE(Cp932LeadByte(static_cast<unsigned char>(c))) << c;
  for (int c : {0x00, 0x5C, 0x80, 0xA0, 0xDF, 0xFD, 0xFF})
    EXPECT_FALSE(Cp932LeadByte(static_cast<unsigned char>(c))) << c;
}

// The search skips its character walk where it can; it must still agree
// with a walk character by character on every text, including runs of
// lead-byte values where only parity tells a trail byte from a lead byte.
TEST(Text, FindAgreesWithACharacterWalk) {
  auto walk = [](std::string_view text, std::string_view needle, size_t from, bool fold) {
    if (from > text.size()) return npos;
    for (size_t i = from; i + needle.size() <= text.size(); i += CharLength(text, i)) {
      const std::string_view part = text.substr(i, needle.size());
      if (fold ? EqualsI(part, needle) : part == needle) return i;
    }
    return npos;
  };
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

}  // namespace
}  // namespace zolto
