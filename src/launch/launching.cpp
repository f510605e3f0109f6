// Starting what the user chose: programs with their parameters, documents
// with their association, one start for a whole target list, and the launch
// sequence of a template entry.
#include "app/run.h"
#include "launch/launch.h"
#include "text/text.h"

namespace zolto {
namespace {

// Characters a command interpreter reads as more than part of a name.
constexpr std::string_view kShellSpecial = " &|<>^()%!,;=";

bool IsBatchProgram(std::string_view program) {
  const std::string ext = SplitPath(program).ext;
  return EqualsI(ext, ".bat") || EqualsI(ext, ".cmd");
}

// cmd.exe, which runs batch files, expands %NAME% and !NAME! even inside
// quotes, so a name holding either cannot be handed to a batch file intact.
bool SafeForProgram(std::string_view program, std::string_view argument) {
  return !IsBatchProgram(program) || argument.find_first_of("%!") == std::string_view::npos;
}

std::string FolderOf(std::string_view path) {
  const PathParts parts = SplitPath(path);
  return parts.drive + parts.dir;
}

void SetEntry(Entry& entry, const std::string& command, const std::string& label) {
  entry.command = CutToBytes(command, kMaxEntryText);
  entry.label = CutToBytes(label, kMaxEntryText);
}

}  // namespace

std::string QuoteTargetArgument(std::string_view target) {
  if (target.empty() || target.find_first_of(kShellSpecial) == std::string_view::npos ||
      (target.size() >= 2 && target.front() == '"' && target.back() == '"'))
    return std::string(target);
  return "\"" + std::string(target) + "\"";
}

void RunProgram(RunState& run, const std::string& program, const std::string& parameters) {
  Platform& platform = run.platform;
  LaunchState& launch = run.launch;
  if (ContainsI(program, "@system") || !platform.PathExists(program)) {
    OpenWithAssociation(run, parameters);
    return;
  }
  std::string folder = FolderOf(program);
  if (!launch.WorkFolderOverride.empty() && platform.IsDirectory(launch.WorkFolderOverride))
    folder = launch.WorkFolderOverride;
  folder = DropTrailingBackslash(folder);
  if (launch.ListQuoteMode != ListQuote::None) {
    StartWithTargetList(run, parameters, program, folder);
    run.targets.WorkingCount = 0;
    launch.ListQuoteMode = ListQuote::None;
  } else {
    platform.Start({"", program, parameters, folder});
  }
  launch.WorkFolderOverride.clear();
}

void RunWithTarget(RunState& run, const std::string& program, const std::string& target) {
  const std::string argument = QuoteTargetArgument(target);
  if (SafeForProgram(program, argument)) RunProgram(run, program, argument);
}

void RunPlainEntry(RunState& run, const std::string& program, std::string target) {
  if (run.platform.IsDirectory(target)) target = PathAddBackslash(target);
  RunWithTarget(run, program, target);
}

void OpenWithAssociation(RunState& run, std::string target) {
  Platform& platform = run.platform;
  target = PathUnquoteSpaces(target);
  if (!platform.Start({"", target, "", ""})) {
    // The shell's Open-with dialog, from the System folder only.
    const std::string rundll = JoinPath(PathAddBackslash(platform.SystemFolder()), "rundll32.exe");
    if (!rundll.empty()) platform.Start({"", rundll, "shell32.dll,OpenAs_RunDLL " + target, ""});
    run.targets.WorkingCount = 0;
  }
  run.launch.WorkFolderOverride.clear();
}

void StartWithTargetList(RunState& run, const std::string& parameters,
                         const std::string& program, const std::string& folder) {
  const bool quoted = run.launch.ListQuoteMode == ListQuote::Quoted;
  std::string_view macro = quoted ? "\"%M\"" : "%M";
  size_t at = FindI(parameters, macro);
  bool minus = false;
  if (at == std::string::npos) {
    macro = quoted ? "\"%-M\"" : "%-M";
    at = FindI(parameters, macro);
    minus = true;
  }
  TargetList& list = run.targets;
  if (at == std::string::npos || list.WorkingCount <= 0) return;

  std::string items;
  for (int i = 0; i < list.WorkingCount; ++i) {
    std::string& target = list.Working[static_cast<size_t>(i)];
    target = PathUnquoteSpaces(target);
    if (run.platform.IsDirectory(target)) {
      target = PathAddBackslash(target);
      if (minus) target = PathRemoveBackslash(target);
    }
    // A bare list still keeps each name one argument.
    const std::string item = quoted ? "\"" + target + "\"" : QuoteTargetArgument(target);
    if (!SafeForProgram(program, item)) return;
    items += item;
    items += ' ';
  }
  items.pop_back();  // the suffix touches the last item
  const std::string line = parameters.substr(0, at) + items + parameters.substr(at + macro.size());
  run.platform.Start({"", program, line, folder});
  list.WorkingCount = 0;
}

void ResolveSystemEntry(RunState& run, int index) {
  Entry& entry = run.entries.entries[static_cast<size_t>(index)];
  Platform& platform = run.platform;
  const std::string& first = run.targets.Working[0];
  if (run.targets.WorkingCount > 0 && platform.IsDirectory(first)) {
    if (platform.PathExists(run.start.ExplorerPath))
      SetEntry(entry, run.start.ExplorerPath, "explorer");
    else
      SetEntry(entry, "@system", "@system");
    return;
  }
  const std::optional<std::string> found =
      run.targets.WorkingCount > 0 ? platform.AssociatedProgram(first) : std::nullopt;
  if (!found) {
    SetEntry(entry, "@system", "@system");
    return;
  }
  const std::string program = PathUnquoteSpaces(*found);
  const std::string name =
      platform.LongFileName(program).value_or(std::string(FileNamePart(program)));
  const PathParts parts = SplitPath(name);
  const std::string_view targetName = FileNamePart(first);
  if (ContainsI(parts.ext, ".exe") && !ContainsI(targetName, name))
    SetEntry(entry, program, parts.name);
  else
    SetEntry(entry, "@system", "@system");
}

void WaitLaunchDelay(const Settings& settings, Platform& platform, int index) {
  const int delay = index == 0 ? settings.FirstLaunchDelay : settings.NextLaunchDelay;
  if (delay > 0) platform.SleepMs(delay);
}

void RunTemplateEntry(RunState& run, const std::string& program, const std::string& templ,
                      const std::string& label, int count) {
  // Own copies: the template may be the dialog's answer, which every "%X"
  // of the sequence overwrites.
  const std::string templateText = templ;
  const std::string programPath = program;
  const std::string entryLabel = label;
  Platform& platform = run.platform;
  for (int i = 0; i < count && i < kMaxTargets; ++i) {
    run.currentTarget = i;
    const std::string& target = run.targets.Working[static_cast<size_t>(i)];
    std::string expanded;
    const bool onDisk = platform.IsDirectory(target) || platform.PathExists(target);
    if (!onDisk && run.edition.webTargets) {
      expanded = ExpandUrlTemplate(run, templateText, programPath);
    } else {
      run.launch.EntryLabelForTitle = entryLabel;
      expanded = ExpandCommandTemplate(run, templateText, programPath);
    }
    if (expanded == kCancelMarker) return;
    RunProgram(run, programPath, expanded);
    WaitLaunchDelay(run.settings, platform, i);
  }
}

}  // namespace zolto
