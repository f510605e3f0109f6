// Locating and reading the configuration file: the [system] settings and the
// [add]/[del] filter of Explorer menu items.
#include <algorithm>
#include <cstdlib>

#include "app/run.h"
#include "config/config.h"
#include "launch/launch.h"
#include "text/text.h"

namespace zolto {
namespace {

constexpr size_t npos = std::string_view::npos;

// Where a ">" list line goes: set by "@pic", "@text" and "@browse" lines.
enum class ListMode { None, Picture, Text, WebFiles, WebUrls };

// Reading state of one [system] pass.
struct SystemReader {
  RunState& run;
  LineCursor lines;
  ListMode list = ListMode::None;
};

// ---- Value helpers ----

// The built-in defaults, which values out of range fall back to.
const Settings kDefaults;

int InRangeOr(int value, int low, int high, int otherwise) {
  return value >= low && value <= high ? value : otherwise;
}

// Splits a comma-field value. Each field keeps at most maxChars characters;
// apply(index, field, isLast) returns false to end the line early.
template <typename Apply>
void ForEachField(std::string_view value, size_t maxChars, Apply apply) {
  std::string field;
  int index = 0;
  for (char c : value) {
    if (c == ',') {
      if (!apply(index++, std::string_view(field), false)) return;
      field.clear();
    } else if (field.size() < maxChars) {
      field.push_back(c);
    }
  }
  apply(index, std::string_view(field), true);
}

void FillList(std::vector<std::string>& list, size_t capacity,
              std::string_view items) {
  list.clear();
  size_t start = 0;
  while (start <= items.size() && list.size() < capacity) {
    size_t semi = items.find(';', start);
    if (semi == npos) semi = items.size();
    if (semi > start)
      list.push_back(CutToBytes(items.substr(start, semi - start), kMaxListItem));
    start = semi + 1;
  }
}

// ---- Preview keys ----

void ApplyPictureFields(Settings& s, std::string_view value) {
  ForEachField(value, 127, [&](int i, std::string_view f, bool) {
    const int n = StrToInt(f);
    switch (i) {
      case 0: s.PicturePreview = n == 1 ? 1 : 0; return n == 1;
      case 1: s.PictureSize = InRangeOr(n, 1, 500, kDefaults.PictureSize); return true;
      case 2: if (n == 1 || n == 2) s.PicturePreview = n + 1; return true;
      case 3: s.PictureNoHighlight = n == 1 ? 1 : 0; return false;
    }
    return false;
  });
}

void ApplyTextFields(Settings& s, std::string_view value) {
  ForEachField(value, 127, [&](int i, std::string_view f, bool) {
    const int n = StrToInt(f);
    switch (i) {
      case 0: s.TextPreview = n == 1 ? 1 : 0; return n == 1;
      case 1: s.TextPreviewWidth = InRangeOr(n, 1, 1000, kDefaults.TextPreviewWidth); return true;
      case 2: s.TextPreviewLines = InRangeOr(n, 1, 100, kDefaults.TextPreviewLines); return true;
      case 3: if (n == 1) s.TextSkipEmptyLines = 1; return true;
      case 4: if (!f.empty()) s.TextFontFace = std::string(f); return true;
      case 5: s.TextFontSize = n > 0 ? n : 12; return true;
      case 6: if (n == 1 || n == 2) s.TextPreview = n + 1; return true;
      case 7: s.TextNoHighlight = n == 1 ? 1 : 0; return true;
      case 8: s.TabWidth = InRangeOr(n, 0, 10, kDefaults.TabWidth); return false;
    }
    return false;
  });
}

void ApplyBrowseFields(RunState& run, std::string_view value) {
  Settings& s = run.settings;
  ForEachField(value, 519, [&](int i, std::string_view f, bool) {
    const int n = StrToInt(f);
    switch (i) {
      case 0: {
        std::string name(f);
        if (s.ParamMacrosOn) name = ExpandPathMacros(run, name);
        bool found = false;
        std::string program = ResolveProgram(run, name, true, found);
        if (!found || run.platform.IsDirectory(program)) return false;
        s.PageCaptureProgram = program;
        s.WebPreview = 1;
        return true;
      }
      case 1: s.CaptureArguments = std::string(f); return true;
      case 2: if (n == 1 || n == 2) s.WebPreview = n + 1; return true;
      case 3: s.WebNoHighlight = n == 1 ? 1 : 0; return false;
    }
    return false;
  });
}

// ---- Other keys ----

void ApplyDelays(Settings& s, std::string_view value) {
  ForEachField(value, 6, [&](int i, std::string_view f, bool last) {
    const int ms = InRangeOr(StrToInt(f), 1, 10000, 0);
    if (i == 0) {
      s.FirstLaunchDelay = ms;
      if (last) s.NextLaunchDelay = ms;
      return true;
    }
    s.NextLaunchDelay = ms;
    return false;
  });
}

void ApplyExplorerMode(Settings& s, std::string_view value) {
  ForEachField(value, 6, [&](int i, std::string_view f, bool) {
    const int n = StrToInt(f);
    if (i == 0) {
      s.ExplorerMenuMode = InRangeOr(n, 0, 2, 0);
      return true;
    }
    s.ExplorerMenuFirst = n == 1 ? 1 : 0;
    return false;
  });
}

void ApplySearchList(RunState& run, std::string_view value) {
  if (value.empty()) return;
  bool found = false;
  std::string file = ResolveProgram(run, value, false, found);
  if (found && !run.platform.IsDirectory(file)) {
    LoadSearchList(run, file);
    return;
  }
  run.settings.ProgramSearchList = CutToBytes(value, kMaxSearchList);
  run.settings.SearchListOn = true;
}

void ApplySecondConfig(RunState& run, std::string_view value) {
  std::string path = JoinPath(run.start.ProgramFolder, value);
  if (!path.empty() && run.platform.PathExists(path) &&
      !run.platform.IsDirectory(path))
    run.settings.AltConfigPath = path;
}

void ApplyEditor(RunState& run, std::string_view value) {
  std::string name(value);
  if (run.settings.ParamMacrosOn) name = ExpandPathMacros(run, name);
  bool found = false;
  std::string program = ResolveProgram(run, name, true, found);
  if (found && !run.platform.IsDirectory(program))
    run.settings.EditorProgram = program;
}

// Reads the user macro lines after "@param": those that hold the delimiter.
void ReadUserMacros(SystemReader& r) {
  Settings& s = r.run.settings;
  s.ParamMacrosOn = true;
  s.UserMacros.clear();
  while (s.UserMacros.size() < kMaxUserMacros && r.lines.Next()) {
    const std::string_view line = r.lines.Line();  // leading spaces stay
    const size_t d = Find(line, s.Delimiter);
    if (d == npos) {
      r.lines.MoveTo(r.lines.LineStart());  // a [system] line again
      return;
    }
    s.UserMacros.push_back({CutToBytes(line.substr(0, d), kMaxMacroName),
                            CutToBytes(line.substr(d + s.Delimiter.size()), kMaxMacroValue)});
  }
}

// One [system] key: matched as a prefix of the line; apply gets the rest of
// the line and may read more lines from the reader.
struct SystemKey {
  std::string_view key;
  void (*apply)(SystemReader& r, std::string_view value);
  bool webPreviewOnly;  // read only by an edition with web previews
};

// In the order a line is tested: the first key that matches decides, so a
// longer key stands before the shorter one it begins with.
constexpr SystemKey kSystemKeys[] = {
    {"@dlm=", [](SystemReader& r, std::string_view v) {
       if (v.size() >= 2) r.run.settings.Delimiter = CutToBytes(v, kMaxDelimiter);
     }, false},
    {"@param", [](SystemReader& r, std::string_view) {
       ReadUserMacros(r);
     }, false},
    {"@path=", [](SystemReader& r, std::string_view v) { ApplySearchList(r.run, v); },
     false},
    {"@icon", [](SystemReader& r, std::string_view) { r.run.settings.ShowIcons = 1; },
     false},
    {"@menu=", [](SystemReader& r, std::string_view v) {
       if (v.size() >= 3 && r.run.settings.MenuPosition == kMenuUnset) ParseMenuPosition(r.run, v);
     }, false},
    {"@len=-1", [](SystemReader& r, std::string_view) { r.run.settings.NameLength = -1; },
     false},
    {"@len=", [](SystemReader& r, std::string_view v) {
       r.run.settings.NameLength = InRangeOr(StrToInt(v), 1, 254, 0);
     }, false},
    {"@ext2=", [](SystemReader& r, std::string_view v) { ApplySecondConfig(r.run, v); },
     false},
    {"@editor=", [](SystemReader& r, std::string_view v) { ApplyEditor(r.run, v); },
     false},
    {"@dist=", [](SystemReader& r, std::string_view v) { ApplyDelays(r.run.settings, v); },
     false},
    {"@context=", [](SystemReader& r, std::string_view v) {
       ApplyExplorerMode(r.run.settings, v);
     }, false},
    {"@mark=0", [](SystemReader& r, std::string_view) { r.run.settings.SoleMark = 0; },
     false},
    {"@pic", [](SystemReader& r, std::string_view v) {
       if (!v.empty() && v[0] == '=') ApplyPictureFields(r.run.settings, v.substr(1));
       r.list = ListMode::Picture;
     }, false},
    {"@text", [](SystemReader& r, std::string_view v) {
       if (!v.empty() && v[0] == '=') ApplyTextFields(r.run.settings, v.substr(1));
       r.list = ListMode::Text;
     }, false},
    {"@browse", [](SystemReader& r, std::string_view v) {
       if (!v.empty() && v[0] == '=') ApplyBrowseFields(r.run, v.substr(1));
       r.list = ListMode::WebFiles;
     }, true},
    {"@active=1", [](SystemReader& r, std::string_view) {
       r.run.settings.ForceActivate = 1;
     }, false},
    {"@xinit=", [](SystemReader& r, std::string_view v) {
       r.run.settings.DialogInitialText = CutToBytes(v, kMaxDialogText);
     }, false},
    {"@xtitle=", [](SystemReader& r, std::string_view v) {
       r.run.settings.DialogTitleTemplate = CutToBytes(v, kMaxTitleTemplate);
       r.run.settings.DialogTitleMode = 2;
     }, false},
    {"@xtitle", [](SystemReader& r, std::string_view) {
       r.run.settings.DialogTitleMode = 1;
     }, false},
};

// Applies one [system] line. Returns false at "%end".
bool ApplySystemLine(SystemReader& r, std::string_view line) {
  if (StartsWithI(line, "%end")) return false;
  for (const SystemKey& key : kSystemKeys) {
    if (key.webPreviewOnly && !r.run.edition.webPreview) continue;
    if (!StartsWithI(line, key.key)) continue;
    key.apply(r, line.substr(key.key.size()));
    break;
  }
  return true;
}

// A ">" line while a list mode is active replaces that list.
void ApplyListLine(SystemReader& r, std::string_view items) {
  Settings& s = r.run.settings;
  ListMode next = ListMode::None;
  switch (r.list) {
    case ListMode::Picture: FillList(s.PictureTypes, 5, items); break;
    case ListMode::Text: FillList(s.TextTypes, 20, items); break;
    case ListMode::WebFiles:
      FillList(s.WebFileTypes, 20, items);
      next = ListMode::WebUrls;
      break;
    case ListMode::WebUrls: FillList(s.WebUrlTypes, 20, items); break;
    case ListMode::None: break;
  }
  r.list = next;
}

void ReadSystemPart(RunState& run, std::string_view text) {
  const size_t header = FindI(text, "[system]");
  if (header == npos) return;
  SystemReader r{run, LineCursor(text, header)};
  r.lines.SkipLine();
  while (r.lines.Next()) {
    const std::string line(TrimLeadingBlanksAndTabs(r.lines.Line()));
    if (r.list != ListMode::None && line.size() > 1 && line[0] == '>') {
      ApplyListLine(r, std::string_view(line).substr(1));
    } else if (!line.empty() && line[0] == ';') {
      // a comment keeps the list mode
    } else {
      r.list = ListMode::None;
      if (!ApplySystemLine(r, line)) return;
    }
  }
}

void PostProcess(RunState& run) {
  Settings& s = run.settings;
  if (s.ExplorerMenuMode == 0) s.ExplorerMenuFirst = 0;
  if (s.MenuPosition == kMenuUnset) s.MenuPosition = kMenuActive;
  if (s.TextPreview >= 1 && s.TextFontFace.empty()) {
    const FontInfo font = run.platform.MenuFont();
    s.TextFontFace = font.face;
    s.TextFontSize = std::abs(font.height);
  }
}

void ReadExplorerFilter(ExplorerItemFilter& filter, std::string_view text) {
  filter.mode = ExplorerItemFilter::Mode::None;
  filter.prefixes.clear();
  size_t header = FindI(text, "[add]");
  filter.mode = ExplorerItemFilter::Mode::KeepListed;
  if (header == npos) {
    header = FindI(text, "[del]");
    filter.mode = ExplorerItemFilter::Mode::RemoveListed;
  }
  if (header == npos) {
    filter.mode = ExplorerItemFilter::Mode::None;
    return;
  }
  LineCursor lines(text, header);
  lines.SkipLine();
  while (lines.Next()) {
    std::string_view item = TrimLeadingBlanksAndTabs(lines.Line());
    if (!item.empty() && item[0] == ';') continue;
    if (filter.prefixes.size() >= kMaxFilterPrefixes) continue;
    if (StartsWithI(item, "%end")) return;
    if (!item.empty()) filter.prefixes.push_back(CutToBytes(item, kMaxListItem));
  }
}

// Every setting back to its built-in default, but the menu position that
// "/#m=" gave before the file is read (it wins over the file's "@menu=").
void ResetBeforeReading(RunState& run) {
  Settings fresh;
  fresh.MenuPosition = run.settings.MenuPosition;
  fresh.MenuX = run.settings.MenuX;
  fresh.MenuY = run.settings.MenuY;
  fresh.AltConfigPath = run.start.ConfigPath;
  const SystemMetrics metrics = run.platform.Metrics();
  fresh.SmallIconWidth = metrics.smallIconWidth;
  fresh.SmallIconHeight = metrics.smallIconHeight;
  run.settings = std::move(fresh);
}

// The file to read: ConfigPath if it exists, else <exe>.ini, else the
// edition's own name, else a new <exe>.ini.
void ChooseConfigPath(RunState& run, bool& createIfMissing) {
  StartupState& st = run.start;
  Platform& platform = run.platform;
  createIfMissing = false;
  if (!st.ConfigPath.empty() && platform.PathExists(st.ConfigPath)) return;
  createIfMissing = true;
  const std::string own = JoinPath(st.ProgramFolder, st.ConfigName);
  const std::string fallback =
      JoinPath(st.ProgramFolder, run.edition.secondConfigName);
  if (!own.empty() && platform.PathExists(own)) {
    st.ConfigPath = own;
  } else if (!fallback.empty() && platform.PathExists(fallback)) {
    st.ConfigPath = fallback;
  } else {
    st.ConfigPath = own;
  }
}

}  // namespace

std::vector<std::string_view> SystemKeys(bool webPreview) {
  std::vector<std::string_view> keys;
  for (const SystemKey& key : kSystemKeys)
    if (webPreview || !key.webPreviewOnly) keys.push_back(key.key);
  return keys;
}

void ParseMenuPosition(RunState& run, std::string_view value) {
  Settings& s = run.settings;
  const SystemMetrics& m = run.start.Metrics;
  const bool mouse = m.mouseButtons > 0;
  s.MenuPosition = kMenuActive;
  // A named position; false when the token names none.
  auto named = [&](const std::string& token) {
    if (ContainsI(token, "mouse") && mouse) s.MenuPosition = kMenuMouse;
    else if (ContainsI(token, "mous2") && mouse) s.MenuPosition = kMenuMous2;
    else if (ContainsI(token, "center")) s.MenuPosition = kMenuCenter;
    else if (ContainsI(token, "active")) s.MenuPosition = kMenuActive;
    else return false;
    return true;
  };
  std::string token;
  bool second = false;
  for (size_t i = 0; i <= value.size(); ++i) {
    const char c = i < value.size() ? value[i] : '\n';
    const bool lineEnd = c == '\r' || c == '\n';
    if (c != ',' && !lineEnd) {
      if (token.size() < 6) token.push_back(c);
      continue;
    }
    if (!second && c == ',') {
      if (ContainsI(token, "MAX")) s.MenuX = m.screenWidth;
      else if (named(token)) return;
      else s.MenuX = StrToInt(token);
      second = true;
      token.clear();
      continue;
    }
    if (!second) {  // line end in the first field
      named(token);
      return;
    }
    const bool max = c == ',' ? ContainsI(token, "MAX") : token == "MAX";
    s.MenuY = max ? m.maximizedHeight : StrToInt(token);
    s.MenuPosition = kMenuCoordinates;
    return;
  }
}

void ApplyConfigurationText(RunState& run, std::string_view text) {
  // The text is a C string to the platform's search functions: it ends at
  // the first NUL byte.
  text = text.substr(0, std::min(text.size(), text.find('\0')));
  ResetBeforeReading(run);
  ReadSystemPart(run, text);
  PostProcess(run);
  ReadExplorerFilter(run.settings.ExplorerFilter, text);
}

std::optional<std::string> ReadConfigurationText(RunState& run, const std::string& path,
                                                 bool createIfMissing) {
  std::string text;
  if (path.empty() || !run.platform.ReadWholeFile(path, createIfMissing, text)) {
    run.platform.ShowMessage("設定ファイル異常", run.edition.configErrorCaption);
    return std::nullopt;
  }
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

int ReadConfiguration(RunState& run) {
  bool createIfMissing = false;
  ChooseConfigPath(run, createIfMissing);
  const std::optional<std::string> text =
      ReadConfigurationText(run, run.start.ConfigPath, createIfMissing);
  if (!text) return 0;
  ApplyConfigurationText(run, *text);
  return 1;
}

}  // namespace zolto
