// The matcher: parse the operator, compile it with Boost.Regex (header-only,
// standalone), search the subject. Every exception stops in Match.

#include "bmatch.h"

#include <cstddef>

// Boost gives up a search after BOOST_REGEX_MAX_STATE_COUNT steps when the
// iterators are not random-access (with pointers it allows O(N * pattern
// length^2) steps, which is minutes for a long pattern on a long subject).
// Search passes a bidirectional cursor and sets this budget for each search.
// Likewise it gives up when its backtracking memory, in blocks of 4 KB, is
// full; Search sets how many blocks each search may fill.
namespace bregexp {
extern thread_local std::ptrdiff_t searchBudget;
extern thread_local unsigned blockBudget;
}
#define BOOST_REGEX_MAX_STATE_COUNT (::bregexp::searchBudget)
#define BOOST_REGEX_MAX_BLOCKS (::bregexp::blockBudget)
#define BOOST_REGEX_STANDALONE
#define BOOST_REGEX_USE_CPP_LOCALE  // not the Win32 traits: see AsciiTraits
#include <boost/regex.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <string>

namespace bregexp {

thread_local std::ptrdiff_t searchBudget = 0;
thread_local unsigned blockBudget = 0;

namespace {

namespace rc = boost::regex_constants;

// The steps a search may take on a subject of n bytes: quadratic for short
// subjects (capped at about 0.2 s of work), linear for long ones.
//
// A pattern that recurses gets far fewer: Boost walks its stack of repeat
// counters on every repeat inside a recursion, so a step costs time in the
// recursion depth, and the time of a runaway search grows with the square of
// its steps. With the general budget "(a*)*(?0)*+" spent half a second on a
// 150-byte subject before giving up; with this cap, about a twentieth of that.
// Bracket matching on paths stays well inside it.
std::ptrdiff_t SearchBudget(std::ptrdiff_t n, bool recursive) {
  constexpr std::ptrdiff_t kBase = 100000, kQuadraticCap = 20000000, kPerByte = 64;
  constexpr std::ptrdiff_t kRecursiveCap = 40000;
  n = std::min(n, std::numeric_limits<std::ptrdiff_t>::max() / kPerByte - kBase);
  const std::ptrdiff_t quadratic =
      n <= kQuadraticCap / std::max<std::ptrdiff_t>(n, 1) ? n * n : kQuadraticCap;
  const std::ptrdiff_t budget = kBase + std::max(quadratic, kPerByte * n);
  return recursive ? std::min(budget, kRecursiveCap) : budget;
}

// Blocks of backtracking memory a search may fill: Boost's own 4 MB, but far
// less for a pattern that recurses. Each recursion saves a copy of every
// group's match on that memory, so a runaway recursion spent a second filling
// 4 MB ("(a(a*)*(?0)*+|>,*)*(?0)*+|>," on 3 bytes) without using up its
// steps or reads; with 1 MB it gives up in a twentieth of a second, while
// bracket matching over 4,000 bytes still completes.
constexpr unsigned kBlocks = 1024, kRecursiveBlocks = 256;

// Whether the pattern may recurse: "(?R", "(?" and a digit, "(?+", "(?-" and a
// digit, "(?&", "(?P>". An escaped or bracketed look-alike only lowers the
// budget of that pattern.
bool MayRecurse(const std::string& pattern) {
  for (std::size_t at = pattern.find("(?"); at != std::string::npos;
       at = pattern.find("(?", at + 1)) {
    const char c = at + 2 < pattern.size() ? pattern[at + 2] : '\0';
    const char d = at + 3 < pattern.size() ? pattern[at + 3] : '\0';
    const bool digitNext = d >= '0' && d <= '9';
    if (c == 'R' || c == '&' || c == '+' || (c >= '0' && c <= '9') ||
        (c == '-' && digitNext) || (c == 'P' && d == '>')) {
      return true;
    }
  }
  return false;
}

// The subject of the search under way, [begin, end).
thread_local const char* subjectBegin = nullptr;
thread_local const char* subjectEnd = nullptr;

// Thrown by a cursor asked to read outside the subject.
struct OutsideSubject {};

// Reads of the subject left to the search under way. Boost's step count does
// not bound every search: "(.(a*)*a*)*(?!a*).b" takes time exponential in the
// subject's length (two seconds for 21 bytes, minutes for 30) without using up
// its steps. Every step reads the subject, so reads bound all of them.
thread_local std::ptrdiff_t readsLeft = 0;
constexpr std::ptrdiff_t kReadsPerStep = 16;

// Thrown by a cursor whose search has used up its reads.
struct TooManyReads {};

// A pointer that presents itself as bidirectional only (see searchBudget) and
// never reads outside the subject. Boost 1.81 does: a back-reference to a
// group inside a recursed group ("(?1)((a+)\2)" on "aab") can leave the
// group's end before its start, and the comparison then walks past the
// subject's end. Such a search is abandoned instead.
class Cursor {
 public:
  using iterator_category = std::bidirectional_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  Cursor() = default;
  explicit Cursor(const char* p) : p_(p) {}
  reference operator*() const {
    const std::less<const char*> before;
    if (before(p_, subjectBegin) || !before(p_, subjectEnd)) throw OutsideSubject{};
    if (--readsLeft < 0) throw TooManyReads{};
    return *p_;
  }
  pointer operator->() const { return &**this; }
  Cursor& operator++() { ++p_; return *this; }
  Cursor operator++(int) { return Cursor(p_++); }
  Cursor& operator--() { --p_; return *this; }
  Cursor operator--(int) { return Cursor(p_--); }
  friend bool operator==(Cursor a, Cursor b) { return a.p_ == b.p_; }

 private:
  const char* p_ = nullptr;
};

// Case folding of ASCII letters only, whatever the locale of the process (the
// C runtime's tolower follows setlocale, which the host program may call).
// Bytes 0x80-0xFF are never folded, nor classified as letters or spaces.
class AsciiTraits : public boost::cpp_regex_traits<char> {
 public:
  AsciiTraits() { imbue(std::locale::classic()); }
  static char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
  static char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
  char translate(char c) const { return c; }
  char translate(char c, bool icase) const { return icase ? Lower(c) : c; }
  char translate_nocase(char c) const { return Lower(c); }
  char tolower(char c) const { return Lower(c); }
  char toupper(char c) const { return Upper(c); }
};

using Regex = boost::basic_regex<char, AsciiTraits>;

// Perl's defaults: '.' stops at line breaks, ^ and $ only at the ends.
constexpr rc::syntax_option_type kBaseOptions = rc::perl | rc::no_mod_s | rc::no_mod_m;

struct FlagRule {
  char letter;
  rc::syntax_option_type set;
  rc::syntax_option_type clear;
};
constexpr FlagRule kFlagRules[] = {
    //  flag  turns on        turns off
    {'i', rc::icase, {}},
    {'x', rc::mod_x, {}},
    {'s', rc::mod_s, rc::no_mod_s},
    {'m', {}, rc::no_mod_m},
};

struct OpeningBracket {
  char open;
  char close;
};
constexpr OpeningBracket kBrackets[] = {{'(', ')'}, {'[', ']'}, {'{', '}'}, {'<', '>'}};

struct PatternError {
  rc::error_type code;
  const char* text;
};
constexpr PatternError kPatternErrors[] = {
    {rc::error_collate, "invalid collating element"},
    {rc::error_ctype, "invalid character class"},
    {rc::error_escape, "invalid escape"},
    {rc::error_backref, "invalid back reference"},
    {rc::error_brack, "unmatched ["},
    {rc::error_paren, "unmatched ( or )"},
    {rc::error_right_paren, "unmatched )"},
    {rc::error_brace, "unmatched {"},
    {rc::error_badbrace, "invalid {} repeat"},
    {rc::error_range, "invalid range in []"},
    {rc::error_space, "out of memory"},
    {rc::error_badrepeat, "nothing to repeat"},
    {rc::error_complexity, "too complex or nested too deeply"},
    {rc::error_stack, "out of memory"},
    {rc::error_perl_extension, "invalid (?...) group"},
    {rc::error_empty, "empty alternative"},
    {rc::error_size, "too large"},
};

}  // namespace

class Expression {
 public:
  std::string text;  // the operator as given, to recognise it next time
  Regex regex;
  bool recursive = false;  // see SearchBudget
};

namespace {

bool IsDelimiter(char c) {
  const bool printable = c > ' ' && c < 0x7F;
  const bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return printable && !alnum;
}

// Writes at most kMessageSize - 1 characters and a NUL; anything that is not
// printable ASCII becomes '?'.
void WriteMessage(char* message, const char* text) {
  if (message == nullptr) return;
  std::size_t n = 0;
  for (; text[n] != '\0' && n + 1 < kMessageSize; ++n) {
    const unsigned char c = static_cast<unsigned char>(text[n]);
    message[n] = c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  }
  message[n] = '\0';
}

int Fail(char* message, int status, const char* text) {
  WriteMessage(message, text);
  return status;
}

std::string Quote(char c) {
  char buffer[16];
  const unsigned char u = static_cast<unsigned char>(c);
  if (u > 0x20 && u < 0x7F) {
    std::snprintf(buffer, sizeof buffer, "'%c'", c);
  } else {
    std::snprintf(buffer, sizeof buffer, "0x%02X", u);
  }
  return buffer;
}

// Splits the operator into pattern and options. A delimiter escaped in the
// pattern becomes \xHH: literal in every position and mode (inside [...],
// under x, where \> or \' would otherwise be an assertion).
int ParseOperator(const char* text, std::string& pattern, rc::syntax_option_type& options,
                  std::string& error) {
  std::size_t start;  // index of the opening delimiter
  if (text[0] == 'm' && IsDelimiter(text[1])) {
    start = 1;
  } else if (text[0] == '/') {
    start = 0;
  } else if (text[0] == 'm') {
    error = "invalid delimiter after m: " + Quote(text[1]);
    return kBadOperator;
  } else {
    error = "expression must be m/pattern/flags or /pattern/flags";
    return kBadOperator;
  }
  const char open = text[start];
  char close = open;
  for (const OpeningBracket& b : kBrackets) {
    if (b.open == open) close = b.close;
  }
  const bool escapes = open != '\\';

  std::size_t last = 0;  // the last unescaped closing delimiter, 0 for none
  for (std::size_t i = start + 1; text[i] != '\0'; ++i) {
    if (escapes && text[i] == '\\' && text[i + 1] != '\0') {
      ++i;
    } else if (text[i] == close) {
      last = i;
    }
  }
  if (last == 0) {
    error = "missing closing delimiter " + Quote(close);
    return kBadOperator;
  }

  pattern.clear();
  for (std::size_t i = start + 1; i < last; ++i) {
    if (escapes && text[i] == '\\') {  // always paired: see the scan above
      const char next = text[i + 1];
      if (next == open || next == close) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(next));
        pattern += hex;
      } else {
        pattern += text[i];
        pattern += next;
      }
      ++i;
    } else {
      pattern += text[i];
    }
  }

  options = kBaseOptions;
  for (const char* f = text + last + 1; *f != '\0'; ++f) {
    const FlagRule* rule = nullptr;
    for (const FlagRule& r : kFlagRules) {
      if (r.letter == *f) rule = &r;
    }
    if (rule == nullptr) {
      error = "unknown flag " + Quote(*f) + " (allowed: i x s m)";
      return kBadOperator;
    }
    options = (options & ~rule->clear) | rule->set;
  }
  return kMatch;
}

std::string DescribePatternError(const boost::regex_error& e) {
  const char* text = "invalid pattern";
  for (const PatternError& p : kPatternErrors) {
    if (p.code == e.code()) text = p.text;
  }
  char buffer[kMessageSize];
  std::snprintf(buffer, sizeof buffer, "bad pattern at offset %ld: %s",
                static_cast<long>(e.position()), text);
  return buffer;
}

int Compile(const char* text, std::unique_ptr<Expression>& out, char* message) {
  std::string pattern, error;
  rc::syntax_option_type options{};
  if (const int status = ParseOperator(text, pattern, options, error); status < 0) {
    return Fail(message, status, error.c_str());
  }
  auto expression = std::make_unique<Expression>();
  expression->text = text;
  try {
    expression->regex.assign(pattern.data(), pattern.data() + pattern.size(), options);
  } catch (const boost::regex_error& e) {
    return Fail(message, kBadPattern, DescribePatternError(e).c_str());
  }
  expression->recursive = MayRecurse(pattern);
  out = std::move(expression);
  return kMatch;
}

int Search(const Expression& expression, const char* begin, const char* end, char* message) {
  try {
    searchBudget = SearchBudget(end - begin, expression.recursive);
    readsLeft = kReadsPerStep * searchBudget;
    blockBudget = expression.recursive ? kRecursiveBlocks : kBlocks;
    subjectBegin = begin;
    subjectEnd = end;
    const bool found =
        boost::regex_search(Cursor(begin), Cursor(end), expression.regex, boost::match_default);
    WriteMessage(message, "");
    return found ? kMatch : kNoMatch;
  } catch (const TooManyReads&) {
    return Fail(message, kMatchAbandoned, "match abandoned: pattern too complex for this subject");
  } catch (const OutsideSubject&) {
    return Fail(message, kMatchAbandoned, "match abandoned: the matcher read outside the subject");
  } catch (const boost::regex_error& e) {
    if (e.code() == rc::error_complexity) {
      return Fail(message, kMatchAbandoned, "match abandoned: pattern too complex for this subject");
    }
    if (e.code() == rc::error_stack) {
      return Fail(message, kMatchAbandoned, "match abandoned: out of backtracking memory");
    }
    return Fail(message, kMatchAbandoned, "match abandoned");
  }
}

int MatchOrThrow(const char* expression, const char* begin, const char* end,
                 Expression** handle, char* message) {
  if (expression == nullptr) return Fail(message, kBadArgument, "null expression");
  if (begin == nullptr || end == nullptr) return Fail(message, kBadArgument, "null subject");
  if (std::less<const char*>()(end, begin)) {
    return Fail(message, kBadArgument, "subject end before its start");
  }

  std::unique_ptr<Expression> local;  // owns the expression when there is no handle
  Expression* current = handle != nullptr ? *handle : nullptr;
  if (current != nullptr && current->text != expression) {
    Free(current);
    current = nullptr;
    *handle = nullptr;
  }
  if (current == nullptr) {
    if (const int status = Compile(expression, local, message); status < 0) return status;
    current = local.get();
    if (handle != nullptr) *handle = local.release();
  }
  return Search(*current, begin, end, message);
}

}  // namespace

int Match(const char* expression, const char* subjectBegin, const char* subjectEnd,
          Expression** handle, char* message) noexcept {
  try {
    return MatchOrThrow(expression, subjectBegin, subjectEnd, handle, message);
  } catch (const std::bad_alloc&) {
    return Fail(message, kInternalError, "out of memory");
  } catch (...) {
    return Fail(message, kInternalError, "internal error");
  }
}

void Free(Expression* expression) noexcept { delete expression; }

}  // namespace bregexp
