// The regular-expression matcher of BREGEXP.DLL: the input is an expression,
// a NUL, then the subject bytes, handed over in a buffer of exactly their
// size so that a read past them shows. Any crash, escaped exception or hang
// is a fault too.
#include <cstring>
#include <memory>

#include "bmatch.h"
#include "fuzz_common.h"

namespace zolto::fuzz {

// Only an expression that does not compile leaves no handle; every error
// writes a message; a second search with the same handle gives the same
// result unless the first was abandoned (out of budget).
void FuzzBregexp(std::string_view input) {
  const auto [expressionText, subjectText] = CutAt(input, std::string_view("\0", 1));
  const std::string expression(expressionText);
  auto subject = std::make_unique<char[]>(subjectText.size());
  if (!subjectText.empty()) std::memcpy(subject.get(), subjectText.data(), subjectText.size());
  const char* begin = subject.get();
  const char* end = begin + subjectText.size();

  char message[bregexp::kMessageSize] = "";
  bregexp::Expression* handle = nullptr;
  const int first = bregexp::Match(expression.c_str(), begin, end, &handle, message);
  const bool compileError = first == bregexp::kBadOperator || first == bregexp::kBadPattern;
  FUZZ_CHECK(compileError == (handle == nullptr));
  FUZZ_CHECK(first >= 0 || std::strlen(message) > 0);
  const int again = bregexp::Match(expression.c_str(), begin, end, &handle, message);
  FUZZ_CHECK(again == first || first == bregexp::kMatchAbandoned);
  bregexp::Match("/x/i", begin, end, &handle, message);  // replaces the expression
  bregexp::Free(handle);
}

}  // namespace zolto::fuzz
