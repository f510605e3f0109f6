// The line reader and the program resolver shared by every reader of the
// configuration text.
#include <algorithm>
#include <optional>

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

bool LineCursor::Next() {
  const size_t used = FetchLine(position_, text_.size(), text_, keepTabs_, line_);
  if (position_ + used > text_.size()) return false;
  lineStart_ = position_;
  position_ += used;
  return true;
}

void LineCursor::SkipLine() {
  position_ += FetchLine(position_, text_.size(), text_, keepTabs_, line_);
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

// A name with a drive or folder part: "tools\\app.exe", "..\\x.exe", "C:app.exe".
bool HasFolderPart(std::string_view name) {
  return FindLastSeparator(name) != std::string_view::npos ||
         (name.size() >= 2 && name[1] == ':' && !IsLeadByte(static_cast<unsigned char>(name[0])));
}

// A fully qualified folder: "C:\\..." or "\\\\server\\...".
bool IsAbsoluteFolder(std::string_view folder) {
  return (folder.size() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/')) ||
         folder.substr(0, 2) == "\\\\";
}

// Where a program named without a folder is looked up after the program's
// own folder and the "@path=" list: the System and Windows folders, then the
// absolute folders of PATH. Never the current folder, which is often the
// target's own (a download folder, where anyone can leave a "notepad.exe").
std::string SystemSearchList(Platform& platform) {
  std::string list = platform.SystemFolder() + ";" + platform.WindowsFolder();
  const std::string path = platform.PathVariable();
  for (size_t start = 0; start <= path.size();) {
    size_t end = path.find(';', start);
    if (end == std::string::npos) end = path.size();
    const std::string_view folder = std::string_view(path).substr(start, end - start);
    if (IsAbsoluteFolder(folder)) (list += ';') += folder;
    start = end + 1;
  }
  return list;
}

// The name's full path when it exists (a file or a folder).
std::optional<std::string> Existing(Platform& platform, const std::string& path) {
  if (path.empty() || !platform.PathExists(path)) return std::nullopt;
  std::string full = platform.FullPath(path);
  return full.empty() ? path : full;
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
  // A bare name is looked for in the program's folder, not the current one.
  const bool bare = !HasFolderPart(given);
  const std::string& programFolder = run.start.ProgramFolder;
  const std::string here =
      !bare ? given : programFolder.empty() ? "" : JoinPath(programFolder, given);
  if (auto full = Existing(platform, here)) return *full;
  if (tryExe && !here.empty())
    if (auto full = Existing(platform, here + ".exe")) return *full;
  const Settings& settings = run.settings;
  if (settings.SearchListOn) {
    std::string hit =
        SearchFor(platform, &settings.ProgramSearchList, given, tryExe);
    if (!hit.empty()) return hit;
  }
  const std::string system = bare ? SystemSearchList(platform) : "";
  std::string hit = SearchFor(platform, bare ? &system : nullptr, given, tryExe);
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
