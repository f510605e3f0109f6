// libFuzzer target for the matcher: the input is an expression, a NUL, then
// the subject bytes. Any crash, sanitizer report, escaped exception or hang is
// a fault. Build with clang (-fsanitize=fuzzer,address,undefined).

#include "bmatch.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const void* nul = std::memchr(bytes, '\0', size);
  const std::size_t split = nul ? static_cast<const char*>(nul) - bytes : size;
  const std::string expression(bytes, split);
  const std::size_t subjectSize = nul ? size - split - 1 : 0;
  auto subject = std::make_unique<char[]>(subjectSize);  // exactly sized
  if (subjectSize > 0) std::memcpy(subject.get(), bytes + split + 1, subjectSize);

  char message[bregexp::kMessageSize];
  bregexp::Expression* handle = nullptr;
  const char* begin = subject.get();
  const char* end = begin + subjectSize;
  const int first = bregexp::Match(expression.c_str(), begin, end, &handle, message);
  const bool compileError = first == bregexp::kBadOperator || first == bregexp::kBadPattern;
  if (compileError != (handle == nullptr)) __builtin_trap();
  if (first < 0 && std::strlen(message) == 0) __builtin_trap();
  const int again = bregexp::Match(expression.c_str(), begin, end, &handle, message);
  if (again != first && first != bregexp::kMatchAbandoned) __builtin_trap();
  bregexp::Match("/x/i", begin, end, &handle, message);  // replaces it
  bregexp::Free(handle);
  return 0;
}
