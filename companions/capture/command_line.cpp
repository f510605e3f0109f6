#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "capture.h"

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

// A whole decimal number in [low, high].
bool Number(std::string_view text, int low, int high, int* value) {
  int parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return false;
  if (parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool ParseCommandLine(std::string_view commandLine, Options* options, std::string* error) {
  const std::vector<std::string> arguments = Split(commandLine);
  Options result;
  bool haveOutput = false, haveAddress = false, haveBitmap = false;
  std::string format;
  // arguments[0] is the program.
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--fail") {
      result.fail = true;
    } else if (argument == "--garbage") {
      result.garbage = true;
    } else if (argument == "--hang") {
      result.hangSeconds = kDefaultHangSeconds;
    } else if (StartsWith(argument, "--hang=")) {
      if (!Number(argument.substr(7), 1, 86400, &result.hangSeconds)) {
        *error = "--hang= needs a number of seconds from 1 to 86400";
        return false;
      }
    } else if (StartsWith(argument, "--size=")) {
      const std::string_view size = argument.substr(7);
      const std::size_t x = size.find('x');
      if (x == std::string_view::npos ||
          !Number(size.substr(0, x), 1, kMaxSide, &result.width) ||
          !Number(size.substr(x + 1), 1, kMaxSide, &result.height)) {
        *error = "--size= needs WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxSide);
        return false;
      }
    } else if (StartsWith(argument, "--")) {
      // Someone else's option among the extra arguments.
    } else if (StartsWith(argument, "-o")) {
      result.output = argument.substr(2);
      haveOutput = true;
    } else if (StartsWith(argument, "-u")) {
      result.address = argument.substr(2);
      haveAddress = true;
    } else if (StartsWith(argument, "-f")) {
      format = argument.substr(2);
    } else if (argument == "-b") {
      haveBitmap = true;
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
    *options = std::move(result);
    return true;
  }
  return false;
}

}  // namespace capture
