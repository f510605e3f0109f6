// zolto_capture.exe, the page-capture program: the parts free of Win32, so
// that they build and are tested natively. capture_win32.cpp finds the
// browser, runs it and converts its picture.
//
// The launcher starts it as
//
//   <program> <extra arguments> -o<output path> -b -fbmp -u"<address>"
//
// with the output path quoted when it holds blanks. The program renders the
// address with a Chromium-based browser (Edge, else Chrome) in headless mode,
// with an empty profile of its own, and writes the screenshot, scaled to the
// requested width, as an uncompressed 24-bit BMP to the output path.
//
// Extra arguments (the second field of "@browse="; no commas there):
//   --browser=PATH  the browser to run instead of looking for Edge and Chrome
//   --window=WxH    the browser window, i.e. the page's view (default 1024x768)
//   --width=N       the picture's width; the height keeps the window's
//                   proportions (default 320)
//   --timeout=S     seconds the browser gets before it is ended (default 25,
//                   at most 25: the launcher gives up on the capture at 30)
//
// Text is UTF-8 here; the Win32 side reads the command line as UTF-16.

#ifndef CAPTURE_CAPTURE_H
#define CAPTURE_CAPTURE_H

#include <string>
#include <string_view>
#include <vector>

namespace capture {

// What the launcher asks for.
struct Request {
  std::string output;               // after -o, without quotes
  std::string address;              // after -u, without quotes
  std::vector<std::string> extras;  // every other argument, in order
};

// Reads the whole command line, program first. Arguments are separated by
// blanks; double quotes group blanks into an argument and are removed (there
// is no escape character: a path may end in a backslash). When -o, -u or -f
// come more than once, the last counts (the launcher's own come last). Fails,
// with a message, without a non-empty -o, without -u, without -b, or when the
// last -f is not bmp.
bool ParseCommandLine(std::string_view commandLine, Request* request, std::string* error);

inline constexpr int kLimitSeconds = 25;

struct Options {
  std::string browser;  // empty: look for Edge, then Chrome
  int windowWidth = 1024;
  int windowHeight = 768;
  int width = 320;
  int timeoutSeconds = kLimitSeconds;
};

// Reads the extra arguments; fails, with a message, on one it does not know
// or on a value out of range.
bool ReadOptions(const std::vector<std::string>& extras, Options* options, std::string* error);

// Whether the browser may be given the address: http://, https:// or a local
// file:/// (a drive letter follows), and no blank, quote or control
// character. Anything else could be read as an option or run script.
bool CheckAddress(std::string_view address, std::string* error);

// The argument as CommandLineToArgvW reads it back: in quotes when it is
// empty or holds a blank, tab or quote, with the backslashes before a quote
// or before the closing quote doubled.
std::string QuoteArgument(std::string_view argument);

// The browser's command line: the program in quotes (a path holds no
// quotes), then the options and the address, each quoted as needed.
std::string BrowserCommandLine(std::string_view program, const Options& options,
                               std::string_view profileFolder, std::string_view screenshot,
                               std::string_view address);

// The height of a picture of width x height scaled to toWidth, keeping the
// proportions (at least 1); 0 when either side would exceed kMaxSide.
inline constexpr int kMaxSide = 8192;
int ScaledHeight(int width, int height, int toWidth);

// The browsers tried, in order: the name under App Paths, and the install
// folder below Program Files, Program Files (x86) or the local AppData.
struct Browser {
  const char* exe;
  const char* folder;
};
inline constexpr Browser kBrowsers[] = {
    {"msedge.exe", "Microsoft\\Edge\\Application"},
    {"chrome.exe", "Google\\Chrome\\Application"},
};

// A path as the registry may hold it: surrounding blanks and quotes removed.
std::string UnquotePath(std::string_view path);

}  // namespace capture

#endif  // CAPTURE_CAPTURE_H
