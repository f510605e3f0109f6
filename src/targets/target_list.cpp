// The target list: command-line and clipboard targets, web addresses,
// Internet shortcuts, and one run over the targets.
#include <algorithm>

#include "app/run.h"
#include "launch/launch.h"
#include "targets/targets.h"
#include "text/text.h"

namespace zolto {
namespace {

// A folder is stored without its trailing backslash, a drive root as "C:".
std::string WithoutFolderBackslash(Platform& platform, const std::string& path) {
  if (!platform.IsDirectory(path)) return path;
  return DropTrailingBackslash(PathAddBackslash(path));
}

void FlushAnsiToken(RunState& run, std::string token) {
  if (run.settings.ParamMacrosOn) token = ExpandPathMacros(run, token);
  token = PathRemoveBlanks(PathUnquoteSpaces(token));
  if (token.empty()) return;
  Platform& platform = run.platform;
  if (platform.IsDirectory(token) || platform.PathExists(token)) {
    // The token exists relative to the current folder, so its full path is
    // that folder's; an empty result did not fit 260 bytes.
    const std::string qualified = WithoutFolderBackslash(platform, platform.FullPath(token));
    if (!qualified.empty() && qualified.size() < kMaxPath) run.targets.Add(qualified);
  } else if (run.edition.webTargets && IsUrlTarget(platform, token) && token.size() < kMaxPath) {
    run.targets.Add(token);
  }
}

void FlushToken(RunState& run, const std::string& token) {
  bool exact = false;
  std::string ansi = run.platform.ToAnsi(token, exact);
  if (exact)
    FlushAnsiToken(run, CutToBytes(ansi, kMaxTargetToken));
  else
    AddUnicodeToken(run, token);
}

// A web address that could close a quote or carry a line break into a
// command line is not taken.
bool SafeUrlText(std::string_view text) {
  for (unsigned char c : text)
    if (c == '"' || c < 0x20 || c == 0x7F) return false;
  return true;
}

void FillTargetList(RunState& run, std::string_view text, Separators separators) {
  const bool lines = separators == Separators::LineBreaks;
  TargetList& list = run.targets;
  text = text.substr(0, text.find('\0'));
  std::string token;
  bool inQuotes = false;
  auto flush = [&] {
    if (!token.empty()) FlushToken(run, token);
    token.clear();
    return list.IsFull();
  };
  for (const char c : text) {
    if (c == '"' && !inQuotes) {
      if (flush()) return;
      token = "\"";
      inQuotes = true;
    } else if (c == '"') {
      token.push_back(c);
      inQuotes = false;
      if (flush()) return;
    } else if ((c == ' ' && !inQuotes && !lines) || (c == '\n' && lines)) {
      inQuotes = false;
      if (flush()) return;
    } else if (c == '\r' || c == '\n' || c == '\t') {
      // dropped
    } else if (token.size() < kMaxUtf8Token) {
      token.push_back(c);
    }
  }
  flush();
}

}  // namespace

void BuildTargetList(RunState& run, std::string_view text, Separators separators) {
  run.targets.Clear();
  run.targets.Refused.clear();
  FillTargetList(run, text, separators);
  ReportRefusedNames(run);
}

std::optional<UrlParts> CrackUrl(Platform& platform, std::string_view text) {
  UrlParts parts;
  if (!platform.CrackUrl(std::string(text), parts)) return std::nullopt;
  return parts;
}

bool IsUrlTarget(Platform& platform, std::string_view text) {
  const std::optional<UrlParts> parts = SafeUrlText(text) ? CrackUrl(platform, text) : std::nullopt;
  if (!parts) return false;
  for (const char* scheme : {"http", "https", "ftp", "mailto", "file"})
    if (StartsWithI(parts->scheme, scheme)) return true;
  return false;
}

bool RunTargets(RunState& run, ConfigFile file, MenuPlace place) {
  const StartupState& st = run.start;
  Platform& platform = run.platform;
  std::string path = st.ConfigPath;
  bool create = false;
  if (file == ConfigFile::Second) {
    if (platform.PathExists(run.settings.AltConfigPath)) path = run.settings.AltConfigPath;
  } else if (!platform.PathExists(st.ConfigPath)) {
    // Gone since the start: the program's own file, made empty if need be.
    path = JoinPath(st.ProgramFolder, st.ConfigName);
    create = true;
  }
  run.selection.SecondConfig = file == ConfigFile::Second;
  const std::optional<std::string> read = ReadConfigurationText(run, path, create);
  if (!read) return false;
  const std::string& text = *read;

  TargetList& list = run.targets;
  if (st.OneByOne) {
    for (int i = 0; i < list.FullCount; ++i) {
      list.Working[0] = list.Full[static_cast<size_t>(i)];
      list.WorkingCount = 1;
      SelectSections(run, text);
      WaitLaunchDelay(run.settings, platform, i);
    }
  } else if (SelectSections(run, text) == 0) {
    run.currentTarget = 0;
    if (run.frontend) run.frontend->ShowPopupMenu(MenuKind::Targets, place);
  }
  list.WorkingCount = 0;
  return true;
}

bool TakeClipboardTargets(RunState& run, ConfigFile file, bool fillOnly) {
  TargetList& list = run.targets;
  if (auto files = run.platform.ClipboardFiles()) {
    list.Clear();
    list.Refused.clear();
    for (const std::string& name : *files) {
      if (list.IsFull()) break;
      bool exact = false;
      const std::string ansi = run.platform.ToAnsi(name, exact);
      if (!exact) {
        if (auto found = run.platform.FindUnicodeName(name)) AddUnicodePath(list, *found);
        continue;
      }
      // Names are taken as the clipboard gives them: no existence check.
      const std::string target = WithoutFolderBackslash(run.platform, ansi);
      if (!target.empty() && target.size() < kMaxPath) list.Add(target);
    }
    ReportRefusedNames(run);
  } else if (auto text = run.platform.ClipboardText()) {
    if (text->empty()) return false;
    BuildTargetList(run, *text, Separators::LineBreaks);
  } else {
    return false;
  }
  if (fillOnly) return true;
  if (list.WorkingCount == 0) return false;
  if (list.WorkingCount == 1) run.start.OneByOne = false;
  RunTargets(run, file, MenuPlace::Configured);
  return true;
}

std::string ReadShortcutUrl(Platform& platform, const std::string& path) {
  constexpr size_t kShortcutBytes = 780;  // the rest of a longer file is not read
  std::string text;
  if (!platform.ReadWholeFile(path, false, text)) return "";
  text.resize(std::min({text.size(), text.find('\0'), kShortcutBytes}));
  text += "\r\n";
  const size_t key = FindI(text, "URL=");
  if (key == std::string::npos) return "";
  const size_t start = key + 4;
  const size_t stop = text.find_first_of("\r\n ", start);
  const std::string url = text.substr(start, stop - start);
  if (url.size() >= kMaxPath || !CrackUrl(platform, url)) return "";
  return url;
}

}  // namespace zolto
