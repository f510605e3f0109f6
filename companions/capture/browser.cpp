// The program's options, the check of the address and the browser's command
// line.
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "capture.h"

namespace capture {
namespace {

// The switches every capture gets, and why.
constexpr const char* kFixedSwitches[] = {
    "--headless",                       // no window; --screenshot works only here
    "--disable-gpu",                    // software drawing: no GPU process to fail
    "--hide-scrollbars",                // a picture of the page, not of the window
    "--mute-audio",                     // a page that plays sound stays silent
    "--force-device-scale-factor=1",    // one pixel a pixel, whatever the DPI
    "--no-first-run",                   // no welcome pages or imports
    "--no-default-browser-check",       // no question about the default browser
    "--disable-background-networking",  // no update, safe-browsing or variation fetches
    "--disable-component-update",       // no component downloads into the profile
    "--disable-sync",                   // no sign-in, nothing synchronised
};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool StartsWithNoCase(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != lowerPrefix[i]) return false;
  }
  return true;
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

// "WxH", each side in [low, high].
bool Size(std::string_view text, int low, int high, int* width, int* height) {
  const std::size_t x = text.find('x');
  return x != std::string_view::npos && Number(text.substr(0, x), low, high, width) &&
         Number(text.substr(x + 1), low, high, height);
}

bool ReadOption(std::string_view argument, Options* options) {
  if (StartsWith(argument, "--browser=")) {
    options->browser = UnquotePath(argument.substr(10));
    return !options->browser.empty();
  }
  if (StartsWith(argument, "--window=")) {
    return Size(argument.substr(9), 100, 4096, &options->windowWidth, &options->windowHeight);
  }
  if (StartsWith(argument, "--width=")) {
    return Number(argument.substr(8), 16, 2048, &options->width);
  }
  if (StartsWith(argument, "--timeout=")) {
    return Number(argument.substr(10), 1, kLimitSeconds, &options->timeoutSeconds);
  }
  return false;
}

}  // namespace

bool ReadOptions(const std::vector<std::string>& extras, Options* options, std::string* error) {
  Options result;
  for (const std::string& argument : extras) {
    if (!ReadOption(argument, &result)) {
      *error = "unknown option or value out of range: " + argument;
      return false;
    }
  }
  *options = std::move(result);
  return true;
}

bool CheckAddress(std::string_view address, std::string* error) {
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte == 0x7F || c == '"') {
      *error = "the address holds a blank, a quote or a control character";
      return false;
    }
  }
  // A file address must name a drive: file://host/ would reach out to a
  // network share.
  const bool local = StartsWithNoCase(address, "file:///") && address.size() > 9 &&
                     ((address[8] | 0x20) >= 'a' && (address[8] | 0x20) <= 'z') &&
                     address[9] == ':';
  const bool web = (StartsWithNoCase(address, "http://") && address.size() > 7) ||
                   (StartsWithNoCase(address, "https://") && address.size() > 8);
  if (!local && !web) {
    *error = "not an http, https or local file address";
    return false;
  }
  return true;
}

std::string QuoteArgument(std::string_view argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos) {
    return std::string(argument);
  }
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(2 * backslashes, '\\');  // before the closing quote
  return quoted + "\"";
}

std::string BrowserCommandLine(std::string_view program, const Options& options,
                               std::string_view profileFolder, std::string_view screenshot,
                               std::string_view address) {
  std::vector<std::string> arguments(std::begin(kFixedSwitches), std::end(kFixedSwitches));
  arguments.push_back("--user-data-dir=" + std::string(profileFolder));
  arguments.push_back("--window-size=" + std::to_string(options.windowWidth) + "," +
                      std::to_string(options.windowHeight));
  // The browser stops loading a slow page in time to take its picture still.
  arguments.push_back("--timeout=" + std::to_string(options.timeoutSeconds * 800));
  arguments.push_back("--screenshot=" + std::string(screenshot));
  arguments.emplace_back(address);
  std::string line = "\"" + std::string(program) + "\"";
  for (const std::string& argument : arguments) line += " " + QuoteArgument(argument);
  return line;
}

int ScaledHeight(int width, int height, int toWidth) {
  if (width <= 0 || height <= 0 || toWidth <= 0 || toWidth > kMaxSide) return 0;
  const std::int64_t scaled = (std::int64_t(height) * toWidth + width / 2) / width;
  if (scaled > kMaxSide) return 0;
  return scaled < 1 ? 1 : int(scaled);
}

std::string UnquotePath(std::string_view path) {
  const std::size_t first = path.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  path.remove_prefix(first);
  if (path[0] == '"') {
    path.remove_prefix(1);
    return std::string(path.substr(0, path.find('"')));
  }
  return std::string(path.substr(0, path.find_last_not_of(" \t") + 1));
}

}  // namespace capture
