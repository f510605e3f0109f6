// Internet shortcut files: the input is the file. The address read from it
// must come from the part of the file that is read and hold no line break or
// blank; the page-capture command line built for it must keep the address
// inside its quotes. The same file also goes through the text preview.
#include <algorithm>

#include "fuzz_common.h"
#include "menu/menu.h"
#include "targets/targets.h"
#include "text/text.h"

namespace {

// The address in a capture command line: from -u" to the closing quote.
void CheckCaptureLine(const std::string& line) {
  if (line.empty()) return;
  const size_t at = line.rfind(" -u\"");
  FUZZ_CHECK(at != std::string::npos && line.back() == '"' && line.size() >= at + 5);
  const std::string address = line.substr(at + 4, line.size() - at - 5);
  for (unsigned char c : address) FUZZ_CHECK(c != '"' && c > ' ');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  using namespace zolto::fuzz;
  const std::string file(zolto::fuzz::AsText(data, size));
  FuzzRun f;
  const std::string path = "C:\\s\\fuzz.url";
  f.fs.AddFile(path, file);
  const std::string url = ReadShortcutUrl(f.run, path);
  if (!url.empty()) {
    FUZZ_CHECK(url.size() < kMaxPath);
    FUZZ_CHECK(url.find_first_of(std::string("\r\n \0", 4)) == std::string::npos);
    // Read from the first 780 bytes, before any NUL.
    const std::string head = file.substr(0, std::min({file.size(), file.find('\0'), size_t{780}}));
    FUZZ_CHECK(head.find(url) != std::string::npos);
  }

  // The capture program's command line for the address, and for the raw text.
  f.run.settings.PageCaptureProgram = "C:\\Tools\\cap.exe";
  f.run.settings.CaptureArguments = "-w 800";
  CheckCaptureLine(CaptureCommandLine(f.run, url));
  CheckCaptureLine(CaptureCommandLine(f.run, file.substr(0, file.find('\0'))));

  // The text preview of the file.
  Settings& s = f.run.settings;
  s.TabWidth = static_cast<int>(size % 11);
  s.TextSkipEmptyLines = static_cast<int>(size & 1);
  s.TextPreviewLines = 100;
  f.run.targets.Clear();
  f.run.targets.Add(path);
  const std::vector<std::string> lines = TextPreviewLines(f.run);
  FUZZ_CHECK(lines.size() <= 100);
  for (const std::string& line : lines)
    FUZZ_CHECK(line.size() < 520 + static_cast<size_t>(s.TabWidth));
  return 0;
}
