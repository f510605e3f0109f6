// The line reader and the program resolver shared by every reader of the
// configuration text.
#include <algorithm>

#include "app/run.h"
#include "config/config.h"
#include "text/text.h"

namespace zolto {

size_t FetchLine(size_t start, size_t end, std::string_view text,
                 bool keepTabs, LineBuffer& line) {
  line.length = 0;
  if (end > text.size()) end = text.size();
  size_t i = start;
  for (; i < end; ++i) {
    const char c = text[i];
    if (c == '\n') break;
    if (c == '\r' || (c == '\t' && !keepTabs)) continue;
    if (line.length < kMaxLine) line.data[line.length++] = c;
  }
  line.data[line.length] = '\0';
  // With the LF counted, or one past the end when the text ran out first.
  return i - start + 1;
}

namespace {

// A path found by SearchPathA counts only when it fits a 260-byte buffer.
bool FitsPath(const std::string& path) {
  return !path.empty() && path.size() < kMaxPath;
}

std::string SearchFor(Platform& platform, const std::string* folders,
                      const std::string& name, bool tryExe) {
  std::string hit = platform.FindOnPath(folders, name);
  if (!FitsPath(hit) && tryExe) hit = platform.FindOnPath(folders, name + ".exe");
  return FitsPath(hit) ? hit : std::string();
}

}  // namespace

std::string ResolveProgram(RunState& run, std::string_view name, bool tryExe,
                           bool& found) {
  Platform& platform = run.platform;
  const std::string given(name);
  found = true;
  if (given.empty()) {
    found = false;
    return given;
  }
  if (platform.PathExists(given)) {
    std::string full = platform.FullPath(given);
    return full.empty() ? given : full;
  }
  if (tryExe && platform.PathExists(given + ".exe")) {
    std::string full = platform.FullPath(given + ".exe");
    return full.empty() ? given + ".exe" : full;
  }
  const Settings& settings = run.settings;
  if (settings.SearchListOn) {
    std::string hit =
        SearchFor(platform, &settings.ProgramSearchList, given, tryExe);
    if (!hit.empty()) return hit;
  }
  std::string hit = SearchFor(platform, nullptr, given, tryExe);
  if (!hit.empty()) return hit;
  found = false;
  return given;
}

void LoadSearchList(RunState& run, const std::string& path) {
  Settings& settings = run.settings;
  settings.SearchListOn = false;
  std::string text;
  if (!run.platform.ReadWholeFile(path, false, text)) return;
  text.resize(std::min(text.size(), text.find('\0')));  // a C string ends at NUL

  std::string_view source = text;
  bool oneLine = false;
  const size_t key = FindI(text, "path=");
  if (key != std::string_view::npos) {
    source = source.substr(key + 5);
    oneLine = true;
  }
  std::string list;
  for (char c : source) {
    if (oneLine && (c == '\r' || c == '\n')) break;
    if (c == '\t' || c == '\r' || c == '\n') continue;
    list.push_back(c);
  }
  settings.ProgramSearchList = CutToBytes(list, kMaxSearchList);
  settings.SearchListOn = !settings.ProgramSearchList.empty();
}

}  // namespace zolto
