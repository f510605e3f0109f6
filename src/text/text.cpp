#include "text/text.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace zolto {

namespace {

// The predicate's answers for every byte: asked once per byte of every
// search, so a table lookup rather than a call.
struct LeadByteTable {
  bool lead[256];
  void Fill(LeadBytePredicate predicate) {
    for (int c = 0; c < 256; ++c) lead[c] = predicate(static_cast<unsigned char>(c));
  }
};

LeadByteTable MakeCp932Table() {
  LeadByteTable table;
  table.Fill(Cp932LeadByte);
  return table;
}

LeadByteTable g_lead_bytes = MakeCp932Table();

constexpr size_t npos = std::string_view::npos;

// Index of the last single-byte character equal to one of `chars`, walking
// character by character so a trail byte never matches. npos when absent.
size_t FindLastChar(std::string_view text, std::string_view chars) {
  size_t found = npos;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (CharLength(text, i) == 1 && chars.find(text[i]) != npos) found = i;
  }
  return found;
}

// Index where the last character of text starts; npos for empty text.
size_t LastCharStart(std::string_view text) {
  size_t last = npos;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) last = i;
  return last;
}

// a and b have the same length. Single-byte characters compare with ASCII
// folding; a double-byte character must match byte for byte, so a trail byte
// in the letter range is never folded.
bool SameFolded(std::string_view a, std::string_view b) {
  for (size_t i = 0; i < a.size(); i += CharLength(a, i)) {
    if (CharLength(a, i) == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

bool IsQuoted(std::string_view text) {
  return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

bool IsDriveRoot(std::string_view path) {
  return path.size() == 3 && path[1] == ':' && path[2] == '\\' &&
         !IsLeadByte(static_cast<unsigned char>(path[0]));
}

}  // namespace

// ---- Code page -----------------------------------------------------------

bool Cp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool NoLeadByte(unsigned char) { return false; }

void SetLeadBytePredicate(LeadBytePredicate predicate) {
  g_lead_bytes.Fill(predicate ? predicate : NoLeadByte);
}

bool IsLeadByte(unsigned char c) { return g_lead_bytes.lead[c]; }

size_t CharLength(std::string_view text, size_t i) {
  bool pair = i + 1 < text.size() &&
              IsLeadByte(static_cast<unsigned char>(text[i]));
  return pair ? 2 : 1;
}

// ---- Case-insensitive comparison -----------------------------------------

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

namespace {

// Finds needle in text from `from` (a character boundary) at character
// boundaries only, as a walk character by character would, but without
// walking: candidates come from a byte scan for the needle's first byte,
// and only a candidate right after a lead-byte value needs the walk to tell
// whether it starts a character or is a trail byte.
template <typename Same>
size_t FindAtBoundary(std::string_view text, std::string_view needle, size_t from, bool fold,
                      Same same) {
  if (from > text.size()) return npos;
  if (needle.empty()) return from;
  if (needle.size() > text.size()) return npos;
  const char first = fold ? FoldAscii(needle[0]) : needle[0];
  const size_t last = text.size() - needle.size();
  size_t walked = from;  // a known character boundary
  // A first byte that folding leaves alone can be searched for directly.
  const char lower = static_cast<char>(needle[0] | 0x20);
  const bool exact = !fold || lower < 'a' || lower > 'z';
  for (size_t i = from; i <= last; ++i) {
    if (exact) {
      const void* hit = std::memchr(text.data() + i, needle[0], last + 1 - i);
      if (hit == nullptr) return npos;
      i = static_cast<size_t>(static_cast<const char*>(hit) - text.data());
    } else if (FoldAscii(text[i]) != first && text[i] != needle[0]) {
      continue;
    }
    if (i > walked && IsLeadByte(static_cast<unsigned char>(text[i - 1]))) {
      while (walked < i) walked += CharLength(text, walked);
      if (walked != i) continue;  // a trail byte
    }
    walked = i;
    if (same(text.substr(i, needle.size()), needle)) return i;
  }
  return npos;
}

}  // namespace

size_t FindI(std::string_view text, std::string_view needle, size_t from) {
  return FindAtBoundary(text, needle, from, true, SameFolded);
}

size_t Find(std::string_view text, std::string_view needle, size_t from) {
  return FindAtBoundary(text, needle, from, false,
                        [](std::string_view a, std::string_view b) { return a == b; });
}

bool StartsWithI(std::string_view text, std::string_view prefix) {
  return prefix.size() <= text.size() &&
         SameFolded(text.substr(0, prefix.size()), prefix);
}

bool EqualsI(std::string_view a, std::string_view b) {
  return a.size() == b.size() && SameFolded(a, b);
}

// ---- Numbers --------------------------------------------------------------

int StrToInt(std::string_view text) {
  text = TrimLeadingBlanksAndTabs(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // Accumulate the magnitude in a wider type and stop growing it once it is
  // past every int, so long digit runs cannot overflow.
  const long long limit = static_cast<long long>(INT_MAX) + 1;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    if (value <= limit) value = value * 10 + (c - '0');
  }
  if (negative) return value >= limit ? INT_MIN : static_cast<int>(-value);
  return value >= INT_MAX ? INT_MAX : static_cast<int>(value);
}

// ---- Blanks and quotes ----------------------------------------------------

// A space is never a trail byte, so plain byte scans suffice here and in the
// quote helpers ('"' is never a trail byte either).
std::string PathRemoveBlanks(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  if (first == npos) return {};
  size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string_view TrimLeadingBlanksAndTabs(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  return first == npos ? std::string_view() : text.substr(first);
}

std::string PathQuoteSpaces(std::string_view text) {
  if (text.find(' ') == npos || IsQuoted(text)) return std::string(text);
  return '"' + std::string(text) + '"';
}

std::string PathUnquoteSpaces(std::string_view text) {
  if (!IsQuoted(text)) return std::string(text);
  return std::string(text.substr(1, text.size() - 2));
}

// ---- Backslashes ----------------------------------------------------------

bool EndsWithBackslash(std::string_view path) {
  size_t last = LastCharStart(path);
  return last != npos && last == path.size() - 1 && path[last] == '\\';
}

std::string PathAddBackslash(std::string_view path) {
  if (path.empty() || EndsWithBackslash(path)) return std::string(path);
  return std::string(path) + '\\';
}

std::string PathRemoveBackslash(std::string_view path) {
  if (path == "\\" || IsDriveRoot(path)) return std::string(path);
  return DropTrailingBackslash(path);
}

std::string DropTrailingBackslash(std::string_view path) {
  if (EndsWithBackslash(path)) path.remove_suffix(1);
  return std::string(path);
}

// ---- Splitting ------------------------------------------------------------

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  if (path.size() >= 2 && path[1] == ':' &&
      !IsLeadByte(static_cast<unsigned char>(path[0]))) {
    parts.drive = path.substr(0, 2);
    path.remove_prefix(2);
  }
  size_t sep = FindLastSeparator(path);
  std::string_view file = path;
  if (sep != npos) {
    parts.dir = path.substr(0, sep + 1);
    file = path.substr(sep + 1);
  }
  size_t dot = FindLastChar(file, ".");
  parts.name = file.substr(0, dot);
  if (dot != npos) parts.ext = file.substr(dot);
  return parts;
}

size_t FindLastSeparator(std::string_view path) {
  return FindLastChar(path, "\\/");
}

std::string_view FileNamePart(std::string_view path) {
  size_t sep = FindLastSeparator(path);
  return sep == npos ? path : path.substr(sep + 1);
}

std::string PathCanonicalize(std::string_view path) {
  // The root stays: "C:\\", "\\\\server\\share\\" or a leading "\\".
  size_t rootEnd = 0;
  if (path.size() >= 2 && path[1] == ':' && !IsLeadByte(static_cast<unsigned char>(path[0])))
    rootEnd = 2;
  if (path.substr(rootEnd, 2) == "\\\\") {
    size_t share = path.find('\\', rootEnd + 2);
    share = share == npos ? npos : path.find('\\', share + 1);
    rootEnd = share == npos ? path.size() : share;
  }
  const bool rooted = rootEnd < path.size() && path[rootEnd] == '\\';
  std::string result(path.substr(0, rootEnd + (rooted ? 1 : 0)));
  const size_t keep = result.size();  // ".." never removes these bytes
  std::string_view rest = path.substr(result.size());
  std::string step;
  auto flush = [&](bool last) {
    if (step == "..") {
      const std::string_view kept = std::string_view(result).substr(keep);
      const size_t sep = FindLastSeparator(DropTrailingBackslash(kept));
      result.resize(sep == npos ? keep : keep + sep + 1);
    } else if (step != ".") {
      result += step;
      if (!last) result += '\\';
    }
    step.clear();
  };
  for (size_t i = 0; i < rest.size(); i += CharLength(rest, i)) {
    if (CharLength(rest, i) == 1 && rest[i] == '\\') {
      flush(false);
    } else {
      step.append(rest.substr(i, CharLength(rest, i)));
    }
  }
  flush(true);
  return result;
}

bool EndsWithI(std::string_view text, std::string_view suffix) {
  return suffix.size() <= text.size() &&
         EqualsI(text.substr(text.size() - suffix.size()), suffix);
}

// ---- Bounded joins --------------------------------------------------------

std::string JoinPath(std::string_view a, std::string_view b) {
  if (a.size() + b.size() > kMaxPath - 1) return {};
  std::string joined(a);
  joined += b;
  return joined;
}

std::string CutToBytes(std::string_view text, size_t max) {
  size_t end = 0;
  while (end < text.size() && end + CharLength(text, end) <= max) {
    end += CharLength(text, end);
  }
  return std::string(text.substr(0, end));
}

// ---- UTF-8 text -------------------------------------------------------------

size_t Utf8CharLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char first = byte(i);
  const size_t length = first >= 0xF0 && first <= 0xF4   ? 4
                        : first >= 0xE0 && first <= 0xEF ? 3
                        : first >= 0xC2 && first <= 0xDF ? 2
                                                         : 1;
  if (i + length > text.size()) return 1;
  for (size_t k = i + 1; k < i + length; ++k)
    if ((byte(k) & 0xC0) != 0x80) return 1;
  return length;
}

std::string Utf8FirstCharacters(std::string_view text, size_t count) {
  size_t end = 0;
  for (size_t n = 0; n < count && end < text.size(); ++n) end += Utf8CharLength(text, end);
  return std::string(text.substr(0, end));
}

std::string Utf8LastCharacters(std::string_view text, size_t count) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); i += Utf8CharLength(text, i)) ++characters;
  size_t start = 0;
  for (; characters > count; --characters) start += Utf8CharLength(text, start);
  return std::string(text.substr(start));
}

std::string_view Utf8FileNamePart(std::string_view path) {
  const size_t sep = path.find_last_of("\\/");
  return sep == npos ? path : path.substr(sep + 1);
}

std::string PercentEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : text) {
    encoded += '%';
    encoded += kHex[c >> 4];
    encoded += kHex[c & 0x0F];
  }
  return encoded;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = FoldAscii(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The byte of the escape "%XX" at text[i], or -1.
int EscapedByte(std::string_view text, size_t i) {
  if (i + 2 >= text.size() || text[i] != '%') return -1;
  const int high = HexDigit(text[i + 1]);
  const int low = HexDigit(text[i + 2]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

}  // namespace

std::string DecodeUtf8Escapes(std::string_view text) {
  std::string result;
  for (size_t i = 0; i < text.size();) {
    std::string bytes;  // a run of escapes of bytes 0x80 and above
    size_t end = i;
    for (int b; (b = EscapedByte(text, end)) >= 0x80; end += 3) bytes += static_cast<char>(b);
    if (bytes.empty()) {
      result += text[i++];
      continue;
    }
    for (size_t k = 0; k < bytes.size(); k += Utf8CharLength(bytes, k)) {
      const size_t length = Utf8CharLength(bytes, k);
      result += length > 1 ? bytes.substr(k, length) : std::string(text.substr(i + 3 * k, 3));
    }
    i = end;
  }
  return result;
}

std::string_view CommandLineTail(std::string_view commandLine) {
  size_t i = 0;
  bool inQuotes = false;
  for (; i < commandLine.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(commandLine[i]);
    if (c == '"') inQuotes = !inQuotes;
    else if (c <= ' ' && !inQuotes) break;
  }
  while (i < commandLine.size() && static_cast<unsigned char>(commandLine[i]) <= ' ' &&
         commandLine[i] != '\0')
    ++i;
  return commandLine.substr(i);
}

}  // namespace zolto
