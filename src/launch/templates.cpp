// Command templates: the target, clipboard, parameter, working-folder and
// list macros of a parameter line, for file targets and for web addresses.
//
// Each macro kind is replaced over the whole text, left to right, and the
// search goes on after an inserted value, so a value is never read again by
// the macro that inserted it (later kinds do read it). A text that would grow
// past kMaxCommandText is refused: a cut command line could run something
// the user never wrote.
#include <functional>
#include <optional>

#include "app/run.h"
#include "launch/launch.h"
#include "text/text.h"

namespace zolto {
namespace {

constexpr size_t npos = std::string::npos;
constexpr size_t kMaxTitle = 32;
constexpr size_t kMaxDefault = 259;

// A text being expanded; `failed` is set once the expansion must cancel.
struct Work {
  std::string text;
  bool failed = false;
};

// The parts of a path as the target macros use them.
struct SplitTarget {
  std::string path;  // unquoted, a folder without its trailing backslash
  bool folder = false;
  bool exists = false;
  PathParts parts;
};

SplitTarget Split(Platform& platform, std::string_view target, bool unquote) {
  SplitTarget t;
  t.path = unquote ? PathUnquoteSpaces(target) : std::string(target);
  t.folder = platform.IsDirectory(t.path);
  if (t.folder) t.path = DropTrailingBackslash(t.path);
  t.exists = platform.PathExists(t.path);
  t.parts = SplitPath(t.path);
  return t;
}

// The value of a target macro's letter(s) for a split path.
std::string TargetValue(const SplitTarget& t, std::string_view macro) {
  const PathParts& p = t.parts;
  if (macro == "P") return t.folder ? PathAddBackslash(t.path) : t.path;
  if (macro == "-P") return t.path;
  if (macro == "D") return p.drive + p.dir;
  if (macro == "-D") return DropTrailingBackslash(p.drive + p.dir);
  if (macro == "F") return SplitPath(DropTrailingBackslash(p.drive + p.dir)).name;
  if (macro == "N") return p.name + p.ext;
  if (macro == "E") return p.ext;
  if (macro == "A") return p.name;
  return p.drive + p.dir + p.name;  // "B"
}

// Replaces every occurrence of macro with the value value() gives for it;
// value() returns nothing to cancel the expansion.
void Replace(Work& work, std::string_view macro,
             const std::function<std::optional<std::string>()>& value) {
  size_t pos = FindI(work.text, macro);
  while (!work.failed && pos != npos) {
    const std::optional<std::string> v = value();
    if (!v || work.text.size() - macro.size() + v->size() > kMaxCommandText) {
      work.failed = true;
      return;
    }
    work.text.replace(pos, macro.size(), *v);
    pos = FindI(work.text, macro, pos + v->size());
  }
}

void ReplaceWith(Work& work, std::string_view macro, const std::string& value) {
  Replace(work, macro, [&] { return std::optional<std::string>(value); });
}

constexpr std::string_view kTargetLetters[] = {"-P", "D", "-D", "F", "N", "E", "A", "B"};

void ReplaceTargetMacros(RunState& run, Work& work) {
  const SplitTarget t = Split(run.platform, CurrentTarget(run), true);
  ReplaceWith(work, "%P", TargetValue(t, "P"));
  if (!t.exists && run.edition.targetMacrosNeedTarget) return;
  for (std::string_view letters : kTargetLetters)
    ReplaceWith(work, "%" + std::string(letters), TargetValue(t, letters));
}

// "%$P" ... "%$B": the first clipboard item, read anew for each occurrence.
void ReplaceClipboardMacros(RunState& run, Work& work) {
  for (std::string_view letters : {"P", "-P", "D", "-D", "F", "N", "E", "A", "B"}) {
    const std::string macro = letters[0] == '-' ? "%-$" + std::string(letters.substr(1))
                                                : "%$" + std::string(letters);
    Replace(work, macro, [&]() -> std::optional<std::string> {
      if (!TakeClipboardTargets(run, ConfigFile::Main, true) || run.targets.WorkingCount == 0)
        return std::nullopt;
      return TargetValue(Split(run.platform, run.targets.Working[0], false), letters);
    });
  }
}

// The first "%Z" followed by a quoted folder names the working folder.
void ApplyWorkingFolder(RunState& run, Work& work) {
  const size_t at = FindI(work.text, "%Z\"");
  if (at == npos) return;
  const size_t close = work.text.find('"', at + 3);
  if (close == npos) return;
  const std::string folder = work.text.substr(at + 3, close - at - 3);
  if (run.platform.IsDirectory(folder)) run.launch.WorkFolderOverride = PathAddBackslash(folder);
  work.text.erase(at, close + 1 - at);
}

// The caption of "@xtitle": the last ten bytes before "%X", " __ ", the
// first ten after it, never splitting a double-byte character.
std::string ContextTitle(const std::string& prefix, const std::string& suffix) {
  size_t start = 0;
  while (prefix.size() - start > 10) start += CharLength(prefix, start);
  return prefix.substr(start) + " __ " + CutToBytes(suffix, 10);
}

std::string WithoutAmpersands(std::string text) {
  std::erase(text, '&');
  return text;
}

std::string ExpandNested(RunState& run, const std::string& text) {
  Work work{text};
  ReplaceTargetMacros(run, work);
  return work.failed ? std::string() : work.text;
}

// Opens the dialog unless an earlier Ctrl+OK answered for the whole
// expansion. False when the user cancelled.
bool Ask(RunState& run, const std::string& program, bool& askedOnce) {
  if (askedOnce) return true;
  ++run.launch.DialogCount;
  run.launch.DialogProgram = program;
  const DialogResult result = OpenParameterDialog(run);
  if (result == DialogResult::Cancelled) return false;
  if (result == DialogResult::ConfirmedWithControl) askedOnce = true;
  return true;
}

// Sets the dialog's default text and title for one "%X"; inner is the
// quoted text of the "=" form, if any.
void PrepareDialog(RunState& run, const std::optional<std::string>& inner,
                   const std::string& prefix, const std::string& suffix) {
  LaunchState& l = run.launch;
  const Settings& s = run.settings;
  l.ParameterDefault = s.DialogInitialText;
  l.ParameterTitle.clear();
  l.TitleGiven = 0;
  const size_t marker = inner ? inner->find("%_") : npos;
  if (marker != npos) {
    l.ParameterTitle = CutToBytes(ExpandNested(run, inner->substr(marker + 2)), kMaxTitle);
    l.TitleGiven = 1;
    l.ParameterDefault = inner->substr(0, marker);
    if (l.ParameterTitle.empty())
      l.ParameterTitle = CutToBytes(WithoutAmpersands(l.EntryLabelForTitle), kMaxTitle);
    if (l.ParameterDefault.empty()) l.ParameterDefault = s.DialogInitialText;
  } else if (inner) {
    l.ParameterDefault = *inner;
  }
  l.ParameterDefault = CutToBytes(ExpandNested(run, l.ParameterDefault), kMaxDefault);
  if (l.TitleGiven) return;
  if (s.DialogTitleMode == 1) {
    l.ParameterTitle = ContextTitle(prefix, suffix);
    l.TitleGiven = 1;
  } else if (s.DialogTitleMode == 2) {
    l.ParameterTitle = CutToBytes(ExpandNested(run, s.DialogTitleTemplate), kMaxTitle);
    l.TitleGiven = 1;
  }
}

// Every "%X" of a file template, with its "=" form and "%_" title.
void ReplaceParameterMacros(RunState& run, Work& work, const std::string& program) {
  run.launch.DialogCount = 0;
  bool askedOnce = false;
  size_t pos = FindI(work.text, "%X");
  while (pos != npos) {
    const std::string prefix = work.text.substr(0, pos);
    std::string suffix = work.text.substr(pos + 2);
    std::optional<std::string> inner;
    if (suffix.size() >= 2 && suffix[0] == '=' && suffix[1] == '"') {
      const size_t close = suffix.find('"', 2);
      if (close == npos) {
        work.failed = true;
        return;
      }
      inner = CutToBytes(suffix.substr(2, close - 2), kMaxDefault);
      suffix = suffix.substr(close + 1);
    }
    PrepareDialog(run, inner, prefix, suffix);
    if (!Ask(run, program, askedOnce)) {
      work.failed = true;
      return;
    }
    const std::string& answer = run.launch.ParameterAnswer;
    if (prefix.size() + answer.size() + suffix.size() > kMaxCommandText) {
      work.failed = true;
      return;
    }
    work.text = prefix + answer + suffix;
    pos = FindI(work.text, "%X", prefix.size() + answer.size());
  }
}

// Notes a list macro for the launch: 1 quoted, 2 bare.
void NoteListMacro(LaunchState& launch, const Work& work, bool minusForms,
                   const std::string* program) {
  const std::string& t = work.text;
  const bool quoted = FindI(t, "\"%M\"") != npos || (minusForms && FindI(t, "\"%-M\"") != npos);
  const bool bare = FindI(t, "%M") != npos || (minusForms && FindI(t, "%-M") != npos);
  launch.ListQuoteMode = quoted ? ListQuote::Quoted : bare ? ListQuote::Bare : ListQuote::None;
  if ((quoted || bare) && program) launch.DialogProgram = *program;
}

std::string Result(const Work& work) {
  return work.failed ? std::string(kCancelMarker) : work.text;
}

// The URL path's folder part, with its last slash.
std::string UrlFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == npos ? std::string() : path.substr(0, slash + 1);
}

// The URL path's last component, or "index.html" when it has no extension.
std::string UrlPage(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string page = slash == npos ? path : path.substr(slash + 1);
  return page.find('.') == npos ? "index.html" : page;
}

std::string QuotedIfBlank(const std::string& text) {
  return text.find(' ') == npos ? text : "\"" + text + "\"";
}

// The address before its first "#", or else its first "?".
std::string UrlWithoutExtra(const std::string& url) {
  size_t cut = url.find('#');
  if (cut == npos) cut = url.find('?');
  return url.substr(0, cut);
}

}  // namespace

std::string ExpandCommandTemplate(RunState& run, const std::string& templ,
                                  const std::string& program) {
  run.launch.ListQuoteMode = ListQuote::None;
  Work work{run.settings.ParamMacrosOn ? ExpandPathMacros(run, templ) : templ};
  if (work.text.size() > kMaxCommandText) return kCancelMarker;
  ReplaceParameterMacros(run, work, program);
  if (!work.failed) ReplaceTargetMacros(run, work);
  if (!work.failed) ReplaceClipboardMacros(run, work);
  if (work.failed) return kCancelMarker;
  ApplyWorkingFolder(run, work);
  NoteListMacro(run.launch, work, true, &program);
  return Result(work);
}

std::string ExpandUrlTemplate(RunState& run, const std::string& templ,
                              const std::string& program) {
  run.launch.ListQuoteMode = ListQuote::None;
  Work work{run.settings.ParamMacrosOn ? ExpandPathMacros(run, templ) : templ};
  if (work.text.size() > kMaxCommandText) return kCancelMarker;
  const std::string url = CurrentTarget(run);
  run.launch.DialogCount = 0;
  bool askedOnce = false;
  Replace(work, "%X", [&]() -> std::optional<std::string> {
    if (!Ask(run, program, askedOnce)) return std::nullopt;
    return run.launch.ParameterAnswer;
  });
  const UrlParts u = CrackUrl(run.platform, url).value_or(UrlParts{});
  const std::pair<std::string_view, std::string> macros[] = {
      {"%F", u.scheme}, {"%G", u.host}, {"%H", u.user}, {"%I", u.password},
      {"%J", u.path}, {"%-J", UrlFolder(u.path)}, {"%K", UrlPage(u.path)},
      {"%L", QuotedIfBlank(url)}, {"%-L", QuotedIfBlank(UrlWithoutExtra(url))}};
  for (const auto& [macro, value] : macros) ReplaceWith(work, macro, value);
  if (work.failed) return kCancelMarker;
  ApplyWorkingFolder(run, work);
  NoteListMacro(run.launch, work, false, nullptr);
  return Result(work);
}

}  // namespace zolto
