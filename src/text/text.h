// Byte-string and path helpers with the semantics of the Windows light-weight
// path and string functions, written portably so the core behaves the same on
// Linux (tests) and Windows.
//
// Text is bytes in the ANSI code page. Every scan that looks for a separator
// ('\\', '/', ':', '.', ' ') steps over double-byte characters: in code page
// 932 a trail byte may be 0x5C ('\\') or 0x7C ('|'). Case folding is ASCII
// only and never touches a trail byte. Which bytes lead a double-byte
// character is decided by one predicate that the platform installs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zolto {

// ---- Code page -----------------------------------------------------------

using LeadBytePredicate = bool (*)(unsigned char);

// Lead bytes of code page 932 (Shift-JIS): 0x81-0x9F and 0xE0-0xFC.
bool Cp932LeadByte(unsigned char c);
// A single-byte code page: no byte leads a pair.
bool NoLeadByte(unsigned char c);

// Installs the predicate used by every function below. Default: Cp932LeadByte.
void SetLeadBytePredicate(LeadBytePredicate predicate);
bool IsLeadByte(unsigned char c);

// Length in bytes of the character that starts at text[i]: 2 for a lead byte
// followed by a trail byte, else 1 (a lead byte at the very end counts as 1).
size_t CharLength(std::string_view text, size_t i);

// ---- Case-insensitive comparison (ASCII folding, DBCS-aware) --------------

char FoldAscii(char c);

// StrStrIA: position of the first occurrence of needle in text, compared
// without regard to ASCII case; matches start only at character boundaries.
// An empty needle is found at 0. npos when absent.
size_t FindI(std::string_view text, std::string_view needle, size_t from = 0);
inline bool ContainsI(std::string_view text, std::string_view needle) {
  return FindI(text, needle) != std::string_view::npos;
}

// The same search with case (StrStrA on character boundaries).
size_t Find(std::string_view text, std::string_view needle, size_t from = 0);

// StrCmpNIA(text, prefix, len(prefix)) == 0: text begins with prefix.
bool StartsWithI(std::string_view text, std::string_view prefix);
bool EqualsI(std::string_view a, std::string_view b);

// ---- Numbers --------------------------------------------------------------

// StrToIntA: optional leading blanks, optional sign, decimal digits; stops at
// the first other character; 0 when no digit follows. Saturates instead of
// overflowing.
int StrToInt(std::string_view text);

// ---- Blanks and quotes ----------------------------------------------------

// PathRemoveBlanksA: removes leading and trailing spaces.
std::string PathRemoveBlanks(std::string_view text);
// Removes leading spaces and tabs (the configuration readers' line trim).
std::string_view TrimLeadingBlanksAndTabs(std::string_view text);
// PathQuoteSpacesA: encloses the text in double quotes when it contains a
// space and is not already quoted.
std::string PathQuoteSpaces(std::string_view text);
// PathUnquoteSpacesA: removes one pair of enclosing double quotes.
std::string PathUnquoteSpaces(std::string_view text);

// ---- Backslashes ----------------------------------------------------------

// True when the last character (not a trail byte) is '\\'.
bool EndsWithBackslash(std::string_view path);
// PathAddBackslashA: appends '\\' unless the path is empty or already ends in one.
std::string PathAddBackslash(std::string_view path);
// PathRemoveBackslashA: removes one trailing '\\' except from a drive root
// such as "C:\\" (which stays as it is).
std::string PathRemoveBackslash(std::string_view path);
// Removes one trailing '\\' whatever precedes it ("C:\\" becomes "C:").
std::string DropTrailingBackslash(std::string_view path);

// ---- Splitting ------------------------------------------------------------

// _splitpath semantics: drive ("C:" or empty), directory (up to and with the
// last separator '\\' or '/'), file name (without extension), extension (from
// the last '.' of the name, dot included; empty when the name has none).
struct PathParts {
  std::string drive;
  std::string dir;
  std::string name;
  std::string ext;
};
PathParts SplitPath(std::string_view path);

// Index of the last '\\' or '/' (DBCS-aware), or npos.
size_t FindLastSeparator(std::string_view path);
// The part after the last separator (the whole text when there is none).
std::string_view FileNamePart(std::string_view path);

// PathCanonicalizeA: removes "." and ".." steps ("C:\\a\\..\\b" is "C:\\b");
// ".." never climbs above the root.
std::string PathCanonicalize(std::string_view path);

// Case-insensitive test of a text's ending.
bool EndsWithI(std::string_view text, std::string_view suffix);

// ---- Bounded joins --------------------------------------------------------

// Windows paths in fixed buffers hold at most 259 characters.
constexpr size_t kMaxPath = 260;
// a + b when the result fits in kMaxPath bytes with its terminator; else an
// empty string, which every caller treats as "no such path".
std::string JoinPath(std::string_view a, std::string_view b);

// Copies at most max bytes of text without splitting a double-byte character.
std::string CutToBytes(std::string_view text, size_t max);

// ---- UTF-8 text: names as the user gave them ------------------------------
//
// The command line and the clipboard are read as UTF-8. No byte of a
// multi-byte UTF-8 character is ASCII, so quotes, blanks and separators are
// found byte by byte (PathUnquoteSpaces, PathRemoveBlanks and PathQuoteSpaces
// work on it unchanged); characters are counted by their first bytes.

// Length of the UTF-8 character at text[i]: 1 to 4, 1 for a byte that starts
// no well-formed character.
size_t Utf8CharLength(std::string_view text, size_t i);
// The first or last `count` characters of UTF-8 text.
std::string Utf8FirstCharacters(std::string_view text, size_t count);
std::string Utf8LastCharacters(std::string_view text, size_t count);
// The part of a UTF-8 path after its last '\\' or '/'.
std::string_view Utf8FileNamePart(std::string_view path);
// "%E3%81%82" for the bytes of text, upper-case hexadecimal.
std::string PercentEncode(std::string_view text);
// The reverse, for display only: each run of escapes of bytes 0x80 and above
// that spells whole UTF-8 characters is decoded; every other escape stays.
std::string DecodeUtf8Escapes(std::string_view text);

// The command line without the program's name, as a program's entry gets it:
// the name ends at the first blank or control character outside double
// quotes; the blanks after it are skipped.
std::string_view CommandLineTail(std::string_view commandLine);

}  // namespace zolto
