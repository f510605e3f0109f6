// Start-up: names from the executable's path, held keys, switches, and the
// dispatch to one of the three start-up paths.
#include "app/app.h"
#include "text/text.h"

namespace zolto {

void InitialiseNames(RunState& run, std::string_view modulePath,
                     std::string_view commandLine) {
  StartupState& st = run.start;
  st.ModulePath = PathUnquoteSpaces(modulePath);
  st.ClassName = SplitPath(st.ModulePath).name;
  st.ConfigName = st.ClassName + ".ini";
  st.CommandLineUtf8 = std::string(commandLine);
  bool exact = false;
  st.CommandLine = run.platform.ToAnsi(commandLine, exact);
}

void DerivePaths(RunState& run) {
  StartupState& st = run.start;
  Platform& platform = run.platform;
  const PathParts parts = SplitPath(st.ModulePath);
  st.ProgramFolder = JoinPath(parts.drive, parts.dir);
  st.ProgramDrive = parts.drive;
  st.HelpTextPath = JoinPath(st.ProgramFolder, run.edition.helpTextName);
  if (run.edition.previewBitmapFiles) {
    st.TempFolder = JoinPath(st.ProgramFolder, "temp");
    st.PreviewBitmapPath = JoinPath(st.ProgramFolder, "temp\\zolto5_c.bmp");
  }
  // Qualified from the Windows folder, never along the search path, which
  // would find an "explorer.exe" planted in the current (target's) folder.
  st.ExplorerPath = JoinPath(PathAddBackslash(platform.WindowsFolder()), "explorer.exe");
  st.Metrics = platform.Metrics();
}

namespace {

// The characters after a switch up to the first space or the end; false when
// they do not fit a 260-byte buffer.
bool SwitchValue(std::string_view commandLine, size_t valueStart,
                 std::string& value) {
  size_t stop = commandLine.find(' ', valueStart);
  if (stop == std::string_view::npos) stop = commandLine.size();
  if (stop - valueStart >= kMaxPath - 1) return false;
  value = std::string(commandLine.substr(valueStart, stop - valueStart));
  return true;
}

void ApplyConfigSwitch(RunState& run, std::string_view commandLine) {
  StartupState& st = run.start;
  const std::string defaultPath = JoinPath(st.ProgramFolder, st.ConfigName);
  st.ConfigPath = defaultPath;
  const size_t at = FindI(commandLine, kSwitchConfig);
  std::string name;
  if (at == std::string_view::npos || !SwitchValue(commandLine, at + kSwitchConfig.size(), name))
    return;
  // The name is always taken relative to the program folder.
  st.ConfigPath = JoinPath(st.ProgramFolder, name);
  if (st.ConfigPath.empty() || !run.platform.PathExists(st.ConfigPath))
    st.ConfigPath = defaultPath;
}

void ApplyMenuSwitch(RunState& run, std::string_view commandLine) {
  const size_t at = FindI(commandLine, kSwitchMenu);
  std::string value;
  if (at == std::string_view::npos || !SwitchValue(commandLine, at + kSwitchMenu.size(), value))
    return;
  if (!value.empty()) ParseMenuPosition(run, value);
}

}  // namespace

void ParseSwitches(RunState& run, std::string_view commandLine) {
  ApplyConfigSwitch(run, commandLine);
  ApplyMenuSwitch(run, commandLine);
  if (ContainsI(commandLine, kSwitchOneByOne)) run.start.OneByOne = true;
}

bool OnHostCreate(RunState& run) {
  StartupState& st = run.start;
  DerivePaths(run);
  const std::string& commandLine = st.CommandLine;
  if (!ContainsI(commandLine, kSwitchNoKeys)) {
    st.ShiftFlag = run.platform.KeyDown(Key::Shift);
    st.ControlFlag = run.platform.KeyDown(Key::Control);
  }
  if (ContainsI(commandLine, kSwitchShift)) st.ShiftFlag = !st.ShiftFlag;
  st.ConfigPath = JoinPath(st.ProgramFolder, st.ConfigName);
  if (!commandLine.empty()) ParseSwitches(run, commandLine);
  return ReadConfiguration(run) == 1;
}

namespace {

// Shift held at the start (or "/#k=sft") chooses the second configuration.
ConfigFile ShiftedFile(const StartupState& st) {
  return st.ShiftFlag ? ConfigFile::Second : ConfigFile::Main;
}

}  // namespace

void ShowTargetlessMenu(Frontend* frontend) {
  if (frontend) frontend->ShowPopupMenu(MenuKind::Targetless, MenuPlace::Configured);
}

StartupPath StartupDispatch(RunState& run) {
  StartupState& st = run.start;
  if (st.ShiftFlag && st.ControlFlag) {
    ShowTargetlessMenu(run.frontend);
    return StartupPath::TargetlessMenu;
  }
  // A whole command line that names one path with blanks is one target.
  if (!st.CommandLineUtf8.empty() && NamesExistingPath(run.platform, st.CommandLineUtf8)) {
    st.CommandLineUtf8 = PathQuoteSpaces(st.CommandLineUtf8);
    st.CommandLine = PathQuoteSpaces(st.CommandLine);
  }
  BuildTargetList(run, st.CommandLineUtf8, Separators::Blanks);
  const int count = run.targets.WorkingCount;
  if (count >= 1) {
    if (count == 1) st.OneByOne = false;
    RunTargets(run, ShiftedFile(st), MenuPlace::Configured);
    return StartupPath::Targets;
  }
  // The user named a target that could not be taken: the message said so.
  if (!run.targets.Refused.empty()) return StartupPath::Refused;
  if (ContainsI(st.CommandLine, kSwitchClipboard)) {
    TakeClipboardTargets(run, ShiftedFile(st), false);
    return StartupPath::Clipboard;
  }
  ShowTargetlessMenu(run.frontend);
  return StartupPath::TargetlessMenu;
}

}  // namespace zolto
