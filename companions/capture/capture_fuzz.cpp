// libFuzzer target: any command line is parsed without a fault; what is
// accepted becomes a browser command line that splits back, by the rules of
// CommandLineToArgvW, into the same arguments with the address last. Any
// text quoted as one argument splits back into that text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "capture.h"

namespace {

// The arguments after the program, as CommandLineToArgvW reads them: 2n
// backslashes and a quote give n backslashes and toggle quoting, 2n+1 give
// n and a literal quote, other backslashes are literal.
std::vector<std::string> SplitArguments(std::string_view line) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) return arguments;
    std::string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      std::size_t backslashes = 0;
      while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
      if (i < line.size() && line[i] == '"') {
        argument.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) argument += '"';
        else quoted = !quoted;
        ++i;
      } else if (backslashes > 0) {
        argument.append(backslashes, '\\');
      } else {
        argument += line[i++];
      }
    }
    arguments.push_back(std::move(argument));
  }
}

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Check(SplitArguments(capture::QuoteArgument(text)) == std::vector<std::string>{std::string(text)});

  capture::Request request;
  capture::Options options;
  std::string error;
  if (!capture::ParseCommandLine(text, &request, &error) ||
      !capture::ReadOptions(request.extras, &options, &error) ||
      !capture::CheckAddress(request.address, &error)) {
    return 0;
  }
  const std::string program = "\"C:\\b\\msedge.exe\"";
  const std::string line = capture::BrowserCommandLine("C:\\b\\msedge.exe", options,
                                                       "C:\\t\\p", request.output, request.address);
  Check(line.compare(0, program.size(), program) == 0);
  const std::vector<std::string> arguments = SplitArguments(line.substr(program.size()));
  Check(arguments.size() == 15 && arguments.back() == request.address &&
        arguments[13] == "--screenshot=" + request.output);
  return 0;
}
