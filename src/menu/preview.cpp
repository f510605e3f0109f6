// What the previews need beyond drawing: size labels, the lines of a text
// preview, the capture program's command line and a check of its picture.
#include <cstdint>
#include <cstring>

#include "app/run.h"
#include "config/config.h"
#include "menu/menu.h"
#include "text/text.h"

namespace zolto {
namespace {

// The text preview reads the file a part at a time until it has its lines,
// skipping the rest of lines longer than the line reader keeps; past this
// many bytes it shows what it has, so that a huge file without line breaks
// cannot hold the menu up.
constexpr size_t kTextPreviewPart = 64 * 1024;
constexpr unsigned long long kTextPreviewMaxBytes = 16ull << 20;

std::string TwoLeadingDigits(unsigned whole, unsigned remainder, const char* unit) {
  const std::string digits = std::to_string(remainder);
  const std::string fraction = digits.size() > 2 ? digits.substr(0, 2) : digits;
  return "( " + std::to_string(whole) + "." + fraction + " " + unit + " )";
}

std::string ExpandTabs(std::string line, int width) {
  const std::string spaces(static_cast<size_t>(width), ' ');
  size_t tab = line.find('\t');
  while (tab != std::string::npos && line.size() + static_cast<size_t>(width) < 520) {
    line.replace(tab, 1, spaces);
    tab = line.find('\t', tab + spaces.size());
  }
  return line;
}

uint32_t Read32(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

uint16_t Read16(std::string_view bytes, size_t at) {
  uint16_t value = 0;
  std::memcpy(&value, bytes.data() + at, 2);
  return value;
}

// The address as the capture program gets it: a file as a "file:///" URL.
// A browser would read "#" as the start of a fragment and "%" as an escape,
// so they are escaped, as blanks are ("?" cannot be in a file name). None
// of them is a trail byte of a double-byte character.
std::string CaptureAddress(Platform& platform, const std::string& address) {
  if (!platform.PathExists(address)) return address;
  std::string url = "file:///";
  for (char c : address) {
    switch (c) {
      case ' ': url += "%20"; break;
      case '#': url += "%23"; break;
      case '%': url += "%25"; break;
      default: url += c;
    }
  }
  return url;
}

}  // namespace

std::string FormatSizeLabel(unsigned size) {
  if (size < 1024) return "( " + std::to_string(size) + " バイト )";
  if (size < 1048576) return TwoLeadingDigits(size / 1024, size % 1024, "KB");
  return TwoLeadingDigits(size / 1048576, size % 1048576, "MB");
}

namespace {

// Gathers the text preview's lines from a file read a part at a time, with
// the line reader's rules: CRs dropped, at most kMaxLine characters of a
// line kept and the rest of it skipped, a last line without LF kept too.
class PreviewLines {
 public:
  PreviewLines(const Settings& settings) : settings_(settings) {}
  bool Full() const { return static_cast<int>(lines_.size()) >= settings_.TextPreviewLines; }
  void Add(std::string_view part) {
    for (const char c : part) {
      if (Full()) return;
      if (c == '\n') {
        EndLine();
      } else {
        open_ = true;
        if (c != '\r' && line_.size() < kMaxLine) line_.push_back(c);
      }
    }
  }
  std::vector<std::string> Finish() {
    if (open_ && !Full()) EndLine();
    return std::move(lines_);
  }

 private:
  void EndLine() {
    std::string shown = ExpandTabs(std::move(line_), settings_.TabWidth);
    line_.clear();
    open_ = false;
    if (settings_.TextSkipEmptyLines == 1 && shown.empty()) return;
    lines_.push_back(std::move(shown));
  }

  const Settings& settings_;
  std::vector<std::string> lines_;
  std::string line_;
  bool open_ = false;  // bytes of a line whose LF has not come yet
};

}  // namespace

std::vector<std::string> TextPreviewLines(RunState& run) {
  PreviewLines lines(run.settings);
  std::string part;
  unsigned long long read = 0;
  while (!lines.Full() && read < kTextPreviewMaxBytes &&
         run.platform.ReadFilePart(run.targets.Working[0], read, kTextPreviewPart, part) &&
         !part.empty()) {
    read += part.size();
    lines.Add(part);
  }
  if (read == 0) return {kEmptyTextPreview};  // empty, or it cannot be read
  return lines.Finish();
}

bool ValidateCaptureBitmap(std::string_view file, CaptureBitmap& info) {
  constexpr size_t kHeaders = CaptureBitmap::infoOffset + 40;  // no colour table
  constexpr int kMaxSide = 8192;
  if (file.size() < kHeaders || file[0] != 'B' || file[1] != 'M') return false;
  if (Read32(file, 10) != kHeaders || Read32(file, CaptureBitmap::infoOffset) != 40) return false;
  const int32_t width = static_cast<int32_t>(Read32(file, 18));
  const int32_t height = static_cast<int32_t>(Read32(file, 22));
  const int bitCount = Read16(file, 28);
  if (Read16(file, 26) != 1 || Read32(file, 30) != 0) return false;  // one plane, BI_RGB
  if (bitCount != 24 && bitCount != 32) return false;
  if (width < 1 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
    return false;
  const size_t stride = (static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32 * 4;
  const size_t rows = static_cast<size_t>(height < 0 ? -static_cast<int64_t>(height) : height);
  const size_t pixels = stride * rows;
  if (file.size() - kHeaders < pixels) return false;  // short pixel data
  info = {width, height, bitCount, kHeaders, pixels};
  return true;
}

std::string CaptureCommandLine(RunState& run, const std::string& address) {
  const Settings& s = run.settings;
  const std::string url = CaptureAddress(run.platform, address);
  // A quote or a blank or control character could end the argument and hand
  // options of the address's choosing to the capture program.
  for (unsigned char c : url)
    if (c == '"' || c <= ' ') return "";
  if (s.PageCaptureProgram.empty() || run.start.PreviewBitmapPath.empty()) return "";
  return "\"" + s.PageCaptureProgram + "\" " + s.CaptureArguments + " -o" +
         PathQuoteSpaces(run.start.PreviewBitmapPath) + " -b -fbmp -u\"" + url + "\"";
}

int CaptureWebPreview(RunState& run, MenuBuilder& builder, const std::string& address) {
  Platform& platform = run.platform;
  const StartupState& st = run.start;
  const std::string command = CaptureCommandLine(run, address);
  if (command.empty()) return 0;
  if (!platform.IsDirectory(st.TempFolder) && !platform.CreateFolder(st.TempFolder)) return 0;
  // An old picture that stays would be shown as this page's.
  if (platform.PathExists(st.PreviewBitmapPath) && !platform.RemoveFile(st.PreviewBitmapPath))
    return 0;
  if (!platform.RunAndWait(command, kCaptureTimeoutMs)) return 0;
  if (!platform.PathExists(st.PreviewBitmapPath)) return 0;
  return builder.LoadCapturePreview(st.PreviewBitmapPath) ? 1 : 0;
}

}  // namespace zolto
