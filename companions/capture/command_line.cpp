#include <string>
#include <string_view>
#include <vector>

#include "capture.h"

// The launcher's command line. Its own arguments come last, so ARGS that
// look like them (-o, -u, -f) are overridden rather than refused.
namespace capture {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Splits at blanks outside double quotes; the quotes are dropped.
std::vector<std::string> Split(std::string_view line) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    std::string argument;
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
      if (line[i] == '"') {
        quoted = !quoted;
      } else {
        argument += line[i];
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool ParseCommandLine(std::string_view commandLine, Request* request, std::string* error) {
  const std::vector<std::string> arguments = Split(commandLine);
  Request result;
  bool haveOutput = false, haveAddress = false, haveBitmap = false;
  std::string format;
  // arguments[0] is the program.
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (StartsWith(argument, "-o")) {
      result.output = argument.substr(2);
      haveOutput = true;
    } else if (StartsWith(argument, "-u")) {
      result.address = argument.substr(2);
      haveAddress = true;
    } else if (StartsWith(argument, "-f")) {
      format = argument.substr(2);
    } else if (argument == "-b") {
      haveBitmap = true;
    } else {
      result.extras.emplace_back(argument);
    }
  }
  if (!haveOutput || result.output.empty()) {
    *error = "no output path after -o";
  } else if (!haveAddress) {
    *error = "no address after -u";
  } else if (!haveBitmap) {
    *error = "no -b";
  } else if (format != "bmp") {
    *error = "the format is not -fbmp";
  } else {
    *request = std::move(result);
    return true;
  }
  return false;
}

}  // namespace capture
