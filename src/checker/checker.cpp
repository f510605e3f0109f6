// Running the launcher's own code for a configuration without letting it do
// anything: a platform that records what it would start, a front end that
// records the menu and answers parameter dialogs with a placeholder, and a
// selection trace that keeps each header, term and section.
#include "checker/checker.h"

#include <algorithm>
#include <map>
#include <memory>

#include "app/app.h"
#include "app/run.h"
#include "menu/menu.h"
#include "text/text.h"

namespace zolto {
namespace {

// What a parameter dialog "answers": shows where the user's text would go.
constexpr char kAnswerPlaceholder[] = "<%X>";

// Asks the real platform about files and the system, and records instead of
// doing whatever would start, wait, show or change something.
class DryRunPlatform : public Platform {
 public:
  DryRunPlatform(Platform& inner, std::optional<std::string> clipboard)
      : inner_(inner), clipboard_(std::move(clipboard)) {}

  std::vector<CheckAction> actions;

  bool PathExists(const std::string& p) override { return inner_.PathExists(p); }
  bool IsDirectory(const std::string& p) override { return inner_.IsDirectory(p); }
  // A missing file is never created.
  bool ReadWholeFile(const std::string& p, bool, std::string& contents) override {
    return inner_.ReadWholeFile(p, false, contents);
  }
  bool ReadFilePart(const std::string& p, unsigned long long offset, size_t max,
                    std::string& contents) override {
    return inner_.ReadFilePart(p, offset, max, contents);
  }
  std::optional<unsigned long long> FileSize(const std::string& p) override {
    return inner_.FileSize(p);
  }
  bool CreateFolder(const std::string& p) override {
    Record(CheckAction::CreateFolder, p);
    return false;
  }
  bool RemoveFile(const std::string& p) override {
    Record(CheckAction::RemoveFile, p);
    return false;
  }
  std::string FullPath(const std::string& p) override { return inner_.FullPath(p); }
  std::string FindOnPath(const std::string* folders, const std::string& name) override {
    return inner_.FindOnPath(folders, name);
  }
  std::string PathVariable() override { return inner_.PathVariable(); }
  std::string ToAnsi(std::string_view utf8, bool& exact) override {
    return inner_.ToAnsi(utf8, exact);
  }
  std::string ToUtf8(std::string_view ansi) override { return inner_.ToUtf8(ansi); }
  std::optional<UnicodeName> FindUnicodeName(std::string_view utf8) override {
    return inner_.FindUnicodeName(utf8);
  }
  std::string WindowsFolder() override { return inner_.WindowsFolder(); }
  std::string SystemFolder() override { return inner_.SystemFolder(); }
  std::optional<std::string> SpecialFolderPath(int csidl) override {
    return inner_.SpecialFolderPath(csidl);
  }
  LocalTime Now() override { return inner_.Now(); }
  // The checker runs as if no key were held.
  bool KeyDown(Key) override { return false; }
  SystemMetrics Metrics() override { return inner_.Metrics(); }
  FontInfo MenuFont() override { return inner_.MenuFont(); }
  bool IsLeadByte(unsigned char c) override { return inner_.IsLeadByte(c); }
  std::optional<std::vector<std::string>> ClipboardFiles() override {
    return clipboard_ ? std::nullopt : inner_.ClipboardFiles();
  }
  std::optional<std::string> ClipboardText() override {
    return clipboard_ ? clipboard_ : inner_.ClipboardText();
  }
  void ShowMessage(const std::string& text, const std::string&) override {
    Record(CheckAction::Message, text);
  }
  bool Start(const ShellStart& start) override {
    CheckAction action;
    action.kind = CheckAction::Start;
    action.start = start;
    action.accepted = WouldAccept(start.file);
    actions.push_back(action);
    return action.accepted;
  }
  void SleepMs(int ms) override {
    CheckAction action;
    action.kind = CheckAction::Sleep;
    action.milliseconds = ms;
    actions.push_back(action);
  }
  bool RunAndWait(const std::string& commandLine, int) override {
    Record(CheckAction::RunAndWait, commandLine);
    return false;
  }
  std::optional<std::string> AssociatedProgram(const std::string& file) override {
    return inner_.AssociatedProgram(file);
  }
  std::optional<std::string> LongFileName(const std::string& p) override {
    return inner_.LongFileName(p);
  }
  bool CrackUrl(const std::string& text, UrlParts& parts) override {
    return inner_.CrackUrl(text, parts);
  }
  bool LoadRegexLibrary() override { return inner_.LoadRegexLibrary(); }
  void FreeRegexLibrary() override { inner_.FreeRegexLibrary(); }
  int RegexMatch(const std::string& e, const std::string& s) override {
    return inner_.RegexMatch(e, s);
  }

 private:
  void Record(CheckAction::Kind kind, const std::string& text) {
    CheckAction action;
    action.kind = kind;
    action.text = text;
    actions.push_back(action);
  }
  // What the shell would say: programs and folders start when they exist,
  // documents when they have an association, addresses always.
  bool WouldAccept(const std::string& file) {
    if (inner_.IsDirectory(file)) return true;
    if (!inner_.PathExists(file)) {
      UrlParts parts;
      return inner_.CrackUrl(file, parts) && parts.scheme.size() > 1;
    }
    const std::string ext = SplitPath(file).ext;
    for (const char* program : {".exe", ".com", ".bat", ".cmd"})
      if (EqualsI(ext, program)) return true;
    return inner_.AssociatedProgram(file).has_value();
  }

  Platform& inner_;
  std::optional<std::string> clipboard_;
};

// Records the menu tree the core builds.
class MenuRecorder : public MenuBuilder {
 public:
  struct Node {
    CheckMenuItem item;
    MenuHandle submenu = 0;
  };
  std::map<MenuHandle, std::vector<Node>> menus;

  MenuHandle CreateMenu() override {
    menus[++last_];
    return last_;
  }
  void AppendItem(MenuHandle m, int id, const std::string& label, bool columnBreak) override {
    Add(m, CheckMenuItem::Item, id, label, columnBreak);
  }
  void AppendIconItem(MenuHandle m, int id, const std::string& text, const IconSource& icon,
                      int, bool columnBreak) override {
    // The text carries one space before the label, for the icon.
    CheckMenuItem& item =
        Add(m, CheckMenuItem::Item, id, text.empty() ? text : text.substr(1), columnBreak);
    item.icon = icon.kind == IconSource::SystemIcon ? "MYSYS" : icon.path;
  }
  void AppendCaptionItem(MenuHandle m, int id, const std::string& text) override {
    Add(m, CheckMenuItem::Caption, id, text, false).labelUtf8 = true;
  }
  void AppendHeaderItem(MenuHandle m, const std::string& label, const IconSource* icon) override {
    // With an icon the label carries one space before it, for the icon.
    CheckMenuItem& item =
        Add(m, CheckMenuItem::Item, kIdHeader, icon && !label.empty() ? label.substr(1) : label,
            false);
    item.labelUtf8 = true;
    if (icon) item.icon = icon->path;
  }
  void AppendSeparator(MenuHandle m, int id) override {
    Add(m, CheckMenuItem::Separator, id, "", false);
  }
  void AppendOwnerDrawn(MenuHandle m, int id, bool columnBreak) override {
    Add(m, CheckMenuItem::Preview, id, "", columnBreak);
  }
  void AttachSubmenu(MenuHandle m, int itemId, MenuHandle submenu) override {
    std::vector<Node>& items = menus[m];
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
      if (it->item.id != itemId) continue;
      it->submenu = submenu;
      it->item.hasSubmenu = true;
      return;
    }
  }
  void RemoveAllItems(MenuHandle m) override { menus[m].clear(); }
  void DestroySubmenus(MenuHandle) override {}
  void DestroyMenu(MenuHandle) override {}
  void AddShellMenu(MenuHandle m) override {
    Add(m, CheckMenuItem::ShellMenu, kIdShellMenu, "", false);
  }
  // Pictures and captured pages are not decoded: no preview item.
  bool LoadPicturePreview(const std::string&) override { return false; }
  bool LoadCapturePreview(const std::string&) override { return false; }
  void ReleaseMenuResources() override {}

 private:
  CheckMenuItem& Add(MenuHandle m, CheckMenuItem::Kind kind, int id, const std::string& label,
                     bool columnBreak) {
    Node node;
    node.item.kind = kind;
    node.item.id = id;
    node.item.label = label;
    node.item.columnBreak = columnBreak;
    menus[m].push_back(node);
    return menus[m].back().item;
  }
  MenuHandle last_ = 0;
};

// The front end: records that a menu would open, and answers every
// parameter dialog with the placeholder.
class ScriptedFrontend : public Frontend, public MenuActions {
 public:
  explicit ScriptedFrontend(RunState*& run) : run_(run) {}
  std::vector<CheckAsk> asks;
  int menus = 0;
  int targetlessMenus = 0;

  void ShowPopupMenu(MenuKind kind, MenuPlace) override {
    if (kind == MenuKind::Targetless) ++targetlessMenus; else ++menus;
  }
  DialogResult OpenParameterDialog() override {
    LaunchState& launch = run_->launch;
    asks.push_back({launch.TitleGiven ? launch.ParameterTitle : std::string(),
                    launch.ParameterDefault});
    launch.ParameterAnswer = kAnswerPlaceholder;
    return DialogResult::Confirmed;
  }
  void ShowAbout() override {}
  void InvokeShellCommand(int) override {}

 private:
  RunState*& run_;  // the run whose dialog is open
};

// The byte position of each line start, for line numbers.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text) {
    starts_.push_back(0);
    for (size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n') starts_.push_back(i + 1);
  }
  int LineOf(size_t pos) const {
    return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), pos) -
                            starts_.begin());
  }
  size_t StartOf(int line) const { return starts_[static_cast<size_t>(line - 1)]; }

 private:
  std::vector<size_t> starts_;
};

// The line at start, complete or not (a header's own line).
std::string LineAt(std::string_view text, size_t start) {
  LineCursor cursor(text, start);
  cursor.SkipLine();
  return std::string(TrimLeadingBlanksAndTabs(cursor.Line()));
}

// Keeps what the selections report, one CheckSelection per selection.
class Tracer : public SelectionTrace {
 public:
  Tracer(std::string_view text, DryRunPlatform& platform, ScriptedFrontend& frontend)
      : text_(text), index_(text), platform_(platform), frontend_(frontend) {}

  std::vector<CheckSelection> selections;
  std::vector<std::unique_ptr<RunState>> snapshots;  // each at its decision
  const RunState* run = nullptr;

  void Header(Pass pass, std::string_view line, size_t pos) override {
    CheckSelection& s = Current();
    if (pass == Pass::ExtensionKey) {
      s.key = std::string(line);
      return;
    }
    CheckHeader header;
    header.pass = pass;
    header.line = index_.LineOf(pos);
    header.text = std::string(line);
    s.headers.push_back(header);
  }
  void Term(std::string_view term, bool exclusion, Outcome outcome) override {
    CheckSelection& s = Current();
    if (!s.headers.empty())
      s.headers.back().terms.push_back({std::string(term), exclusion, outcome});
  }
  void HeaderResult(int matched, int exclusion) override {
    CheckSelection& s = Current();
    if (s.headers.empty()) return;
    s.headers.back().matched = matched;
    s.headers.back().exclusion = exclusion;
  }
  void SectionTaken(Pass pass, size_t pos) override {
    CheckSelection& s = Current();
    const int count = run ? run->entries.entryCount : 0;
    // The catch-all after other sections is the basic edition's fallback:
    // it clears the table, so what came before is gone.
    if (!s.sections.empty() && pass == Pass::CatchAll &&
        s.sections.back().pass != Pass::CatchAll) {
      for (CheckSection& earlier : s.sections) earlier.discarded = true;
    } else if (!s.sections.empty()) {
      s.sections.back().endEntry = count;
    }
    CheckSection section;
    section.pass = pass;
    section.line = index_.LineOf(pos);
    section.header = LineAt(text_, index_.StartOf(section.line));
    section.firstEntry = count;
    s.sections.push_back(section);
    const int line = section.line;
    for (CheckHeader& h : s.headers)
      if (h.line == line && h.pass == pass) h.taken = true;
  }
  void Decided(const RunState& decided, Decision decision, int entry) override {
    CheckSelection& s = Current();
    s.subject = decided.targets.Working[0];
    s.decision = decision;
    s.decisionEntry = entry;
    s.oneByOne = decided.start.OneByOne;
    const EntryTable& table = decided.entries;
    if (!s.sections.empty() && !s.sections.back().discarded)
      s.sections.back().endEntry = table.entryCount;
    s.entries.assign(table.entries.begin(), table.entries.begin() + table.entryCount);
    s.ordinaryCount = table.ordinaryCount;
    s.firstOrdinary = table.firstOrdinary;
    snapshots.push_back(std::make_unique<RunState>(decided));
    open_ = false;
  }
  // Closes the last selection's record of actions and dialogs.
  void Finish() {
    if (!selections.empty()) Collect(selections.back());
  }
  std::vector<CheckAction> before;  // actions before the first selection

 private:
  CheckSelection& Current() {
    if (!open_) {
      if (selections.empty())
        before.assign(platform_.actions.begin(), platform_.actions.end());
      else
        Collect(selections.back());
      platform_.actions.clear();
      frontend_.asks.clear();
      selections.emplace_back();
      open_ = true;
    }
    return selections.back();
  }
  void Collect(CheckSelection& s) {
    s.actions.insert(s.actions.end(), platform_.actions.begin(), platform_.actions.end());
    s.asks.insert(s.asks.end(), frontend_.asks.begin(), frontend_.asks.end());
    platform_.actions.clear();
    frontend_.asks.clear();
  }

  std::string_view text_;
  LineIndex index_;
  DryRunPlatform& platform_;
  ScriptedFrontend& frontend_;
  bool open_ = false;
};

std::vector<CheckMenuItem> MenuTree(RunState& run, MenuRecorder& recorder, MenuHandle menu,
                                    int depth) {
  std::vector<CheckMenuItem> items;
  if (depth > kMaxEntries) return items;
  // A copy: filling a group adds menus to the recorder.
  const std::vector<MenuRecorder::Node> nodes = recorder.menus[menu];
  for (const MenuRecorder::Node& node : nodes) {
    CheckMenuItem item = node.item;
    const int index = item.id - kIdEntryBase;
    if (node.submenu != 0 && index >= 0 && index < run.entries.entryCount &&
        run.entries.entries[static_cast<size_t>(index)].kind == kSubmenuOpen)
      AddLevelItems(run, recorder, node.submenu, index, true);  // as the group opens
    if (node.submenu != 0) item.submenu = MenuTree(run, recorder, node.submenu, depth + 1);
    items.push_back(item);
  }
  return items;
}

// The menu the launcher would show for a snapshot.
std::vector<CheckMenuItem> BuildMenu(const RunState& snapshot) {
  RunState run(snapshot);
  run.selection.Trace = nullptr;
  MenuRecorder recorder;
  const MenuHandle root = BuildPopupMenu(run, recorder, MenuKind::Targets);
  return MenuTree(run, recorder, root, 0);
}

// What choosing each entry the menu can return would run.
std::vector<CheckCommand> EntryCommands(const RunState& snapshot, DryRunPlatform& platform,
                                        ScriptedFrontend& frontend, RunState*& current) {
  std::vector<CheckCommand> commands;
  const EntryTable& table = snapshot.entries;
  for (int i = 0; i < table.entryCount; ++i) {
    const Entry& entry = table.entries[static_cast<size_t>(i)];
    const bool choosable = (entry.kind == kOrdinary && entry.paramCount == 0) ||
                           entry.kind == kParameter || entry.kind == kSoloParameter;
    if (!choosable) continue;
    RunState run(snapshot);
    run.selection.Trace = nullptr;
    run.frontend = &frontend;
    run.currentTarget = 0;
    current = &run;
    platform.actions.clear();
    frontend.asks.clear();
    ActOnMenuChoice(run, frontend, kIdEntryBase + i, false);
    CheckCommand command;
    command.entry = i;
    command.label = entry.label;
    if (entry.kind != kOrdinary)
      command.label = table.entries[static_cast<size_t>(entry.parentIndex)].label + " > " +
                      entry.label;
    command.actions = platform.actions;
    command.asks = frontend.asks;
    commands.push_back(command);
  }
  platform.actions.clear();
  frontend.asks.clear();
  return commands;
}

// The launcher's command line from separate words, quoted as a shell of
// Windows would quote them.
std::string CommandLineOf(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    line += word.find(' ') != std::string::npos && word.front() != '"' ? "\"" + word + "\"" : word;
  }
  return line;
}

// The configuration file's path (given in UTF-8) as the core reads it: in the
// code page, or by its short name; empty when it has neither.
std::string ConfigPathInCodePage(Platform& platform, const std::string& path) {
  bool exact = false;
  const std::string ansi = platform.ToAnsi(path, exact);
  if (exact) return ansi;
  const std::optional<UnicodeName> name = platform.FindUnicodeName(path);
  return name ? name->shortPath : "";
}

std::string KindOf(Platform& platform, const std::string& target) {
  if (platform.IsDirectory(target)) return "folder";
  if (platform.PathExists(target)) return "file";
  return "web address";
}

}  // namespace

CheckReport CheckConfiguration(Platform& realPlatform, const CheckOptions& options) {
  CheckReport report;
  const std::string configPath = ConfigPathInCodePage(realPlatform, options.configPath);
  const std::string full = realPlatform.FullPath(configPath);
  report.configPath = full.empty() ? configPath : full;
  report.edition = options.edition->programName;
  DryRunPlatform platform(realPlatform, options.clipboard);
  std::string text;
  if (!platform.ReadWholeFile(report.configPath, false, text) ||
      platform.IsDirectory(report.configPath)) {
    report.status = kCheckFailed;
    return report;
  }
  report.readable = true;
  text.resize(std::min(text.size(), text.find('\0')));

  // The program stands beside its configuration, as the launcher does.
  const PathParts config = SplitPath(report.configPath);
  const std::string folder = config.drive + config.dir;
  RunState run(platform, *options.edition);
  RunState* dialogRun = &run;
  ScriptedFrontend frontend(dialogRun);
  run.frontend = &frontend;
  InitialiseNames(run, folder + options.edition->programName + ".exe",
                  CommandLineOf(options.arguments));
  report.commandLine = run.start.CommandLine;
  DerivePaths(run);
  if (!report.commandLine.empty()) ParseSwitches(run, report.commandLine);
  run.start.ConfigPath = report.configPath;
  ReadConfiguration(run);
  report.warnings = ScanConfiguration(run, text);

  Tracer tracer(text, platform, frontend);
  tracer.run = &run;
  run.selection.Trace = &tracer;
  platform.actions.clear();
  const StartupPath path = StartupDispatch(run);
  tracer.Finish();
  run.selection.Trace = nullptr;
  report.path = path == StartupPath::Targets     ? "targets"
                : path == StartupPath::Clipboard ? "clipboard"
                : path == StartupPath::Refused   ? "refused"
                                                 : "target-less menu";
  report.otherActions = tracer.before;
  if (tracer.selections.empty())
    report.otherActions.insert(report.otherActions.end(), platform.actions.begin(),
                               platform.actions.end());
  if (!tracer.snapshots.empty()) {
    const TargetList& list = tracer.snapshots.front()->targets;
    for (int i = 0; i < list.FullCount; ++i) {
      const std::string& target = list.Full[static_cast<size_t>(i)];
      report.targets.push_back(target);
      report.targetKinds.push_back(KindOf(realPlatform, target));
    }
  }
  for (size_t i = 0; i < tracer.selections.size(); ++i) {
    CheckSelection& s = tracer.selections[i];
    if (i >= tracer.snapshots.size()) break;
    const RunState& snapshot = *tracer.snapshots[i];
    if (s.decision == TraceDecision::Menu && !s.oneByOne) s.menu = BuildMenu(snapshot);
    s.commands = EntryCommands(snapshot, platform, frontend, dialogRun);
  }
  dialogRun = &run;
  report.selections = std::move(tracer.selections);
  for (const CheckSelection& s : report.selections)
    for (const CheckAction& a : s.actions)
      if (a.kind == CheckAction::Message)
        report.warnings.push_back({0, "message", "the run would show the message \"" + a.text + "\""});
  for (const CheckAction& a : report.otherActions)
    if (a.kind == CheckAction::Message)
      report.warnings.push_back({0, "message", "the run would show the message \"" + a.text + "\""});
  report.status = report.warnings.empty() ? kCheckClean : kCheckWarnings;
  return report;
}

}  // namespace zolto
