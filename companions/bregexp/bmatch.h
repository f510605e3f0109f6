// The matcher behind BREGEXP.DLL, free of Win32 so that it builds and is
// tested natively. bregexp_dll.cpp only forwards the two exports to it.
//
// An expression is a Perl-style match operator:
//
//   m<d>pattern<d>flags     <d>: any printable ASCII character that is neither
//                           a letter, a digit nor a blank ('/', '#', '!', ...)
//   /pattern/flags          the same with '/' and no m
//
// - The brackets ( [ { < open a pair: m{pattern}i ends with '}', m<...> with
//   '>', and so on. Every other delimiter closes with itself.
// - The pattern runs to the last unescaped closing delimiter; what follows it
//   is the flags. So /a/b/i is the pattern "a/b" with the flag i.
// - A backslash before a delimiter (opening or closing) stands for the
//   delimiter character itself, literally, whatever it means to the regex
//   syntax: m|a\|b| matches "a|b", m<a\>b> matches "a>b". (A backslash
//   delimiter, m\...\, has no such escape.)
// - Flags: i ignore case (ASCII letters only), x extended (blanks and
//   #-comments in the pattern are ignored), s dot matches line breaks, m ^ and
//   $ match at line breaks. Without s and m they follow Perl: '.' stops at line
//   breaks (\n, \r, \f), ^ and $ only at the ends of the subject. Any other
//   flag character is an error.
// - An empty pattern (//) matches every subject.
// - The pattern is Perl syntax (Boost.Regex): classes, look-ahead and
//   look-behind, lazy and possessive repeats, back references, named groups.
//
// The subject is bytes (ANSI code page text), matched byte for byte: a
// double-byte character is two chars to the pattern. Subject bytes may
// include NUL; nothing at or after the end pointer is read.

#ifndef BREGEXP_BMATCH_H
#define BREGEXP_BMATCH_H

#include <cstddef>

namespace bregexp {

// What Match returns. Each error also writes a message.
enum Status : int {
  kMatch = 1,
  kNoMatch = 0,
  kBadArgument = -1,    // null expression or subject, end before start
  kBadOperator = -2,    // not m<d>...<d>flags or /.../flags, unknown flag
  kBadPattern = -3,     // the pattern does not compile
  kMatchAbandoned = -4, // matching gave up: too complex for the subject
  kInternalError = -5,  // out of memory, or anything unforeseen
};

// Size of the caller's message buffer: at most kMessageSize - 1 printable
// ASCII characters and a terminating NUL are written.
inline constexpr std::size_t kMessageSize = 80;

// A compiled expression, kept between calls through the caller's handle.
class Expression;

// Searches [subjectBegin, subjectEnd) for the expression and returns kMatch,
// kNoMatch or a negative Status.
//
// *handle caches the compiled expression: when it is null, or holds a
// different expression text, the expression is compiled anew (the old one is
// freed) and *handle receives it; when it holds the same text, it is reused.
// When compilation fails, *handle is left null. A null handle is allowed: the
// expression is then compiled for this call only. Argument errors leave
// *handle untouched.
//
// message (null allowed) receives an empty string on success and a short
// description on error. Never throws.
int Match(const char* expression, const char* subjectBegin,
          const char* subjectEnd, Expression** handle, char* message) noexcept;

// Frees what Match stored in a handle. Null is allowed.
void Free(Expression* expression) noexcept;

}  // namespace bregexp

#endif  // BREGEXP_BMATCH_H
