// The core's other parsers and expanders: the rows of fuzz/CMakeLists.txt's table
// besides the configuration and the matcher.
#include <algorithm>
#include <cstdint>

#include "config/config.h"
#include "fuzz_common.h"
#include "launch/launch.h"
#include "targets/targets.h"
#include "text/text.h"

namespace zolto::fuzz {
namespace {

constexpr size_t npos = std::string_view::npos;

// What the launches take for granted of the target list: at most 100
// targets, each shorter than 260 bytes without a NUL, and each a full path or
// a web address of the full edition. (That a path exists is not checked: the
// fake platform finds "..\x" as C:\Work\x but qualifies it as C:\x.)
void CheckTargets(RunState& run) {
  const TargetList& list = run.targets;
  FUZZ_CHECK(list.WorkingCount >= 0 && list.WorkingCount <= kMaxTargets);
  for (int i = 0; i < list.WorkingCount; ++i) {
    const std::string& t = list.Working[static_cast<size_t>(i)];
    FUZZ_CHECK(!t.empty() && t.size() < kMaxPath && t.find('\0') == npos);
    FUZZ_CHECK(Qualified(t) || (run.edition.webTargets && IsUrlTarget(run.platform, t)));
  }
}

// The address in a capture command line cannot end its quoted argument and
// hand options of its choosing to the capture program.
void CheckCaptureLine(const std::string& line) {
  if (line.empty()) return;
  const size_t at = line.rfind(" -u\"");
  FUZZ_CHECK(at != npos && line.back() == '"' && line.size() >= at + 5);
  for (unsigned char c : line.substr(at + 4, line.size() - at - 5))
    FUZZ_CHECK(c != '"' && c > ' ');
}

std::uint32_t LittleEndian(std::string_view bytes, size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
  return value;
}

}  // namespace

// An option byte, then a command line (or clipboard text, lines for
// targets), taken as targets and from the clipboard; a command line also
// starts a run: switches, selection, the menu.
void FuzzTargets(std::string_view input) {
  if (input.empty()) return;
  const int mode = input[0] & 1;
  const Edition& edition = (input[0] & 2) ? kBasicEdition : kFullEdition;
  const std::string_view text = input.substr(1);
  {
    FuzzRun f(edition);
    if (input[0] & 4) {
      f.run.settings.ParamMacrosOn = true;
      f.run.settings.UserMacros = {{"%d%", "C:\\d"}, {"~", "C:\\My Docs\\"}};
    }
    BuildTargetList(f.run, text, mode == 1 ? Separators::LineBreaks : Separators::Blanks);
    CheckTargets(f.run);
    f.fs.clipboardText = std::string(text);
    TakeClipboardTargets(f.run, ConfigFile::Main, true);
    CheckTargets(f.run);
  }
  if (mode == 1) return;
  FuzzRun f(edition);
  ScriptedFrontend frontend(f.run);
  frontend.answers = {{kOk, "-x %N"}, {kCtrlOk, "all"}};
  frontend.chooseEntries = 3;
  InitialiseNames(f.run, f.run.start.ModulePath, text);
  if (OnHostCreate(f.run)) StartupDispatch(f.run);
}

// A section header, a NUL or line break, then a subject, matched with the
// expression library present, missing and lacking its match function: a run
// loads it at most once and remembers when it is missing.
void FuzzHeaders(std::string_view input) {
  const auto [header, subject] = CutAt(input, std::string_view("\0\n", 2));
  FuzzRun f;
  for (int library = 0; library < 3; ++library) {
    f.fs.regexLibraryPresent = library != 1;
    f.fs.regexHasBMatch = library != 2;
    f.run.selection = SelectionState{};
    const int loads = f.fs.regexLoads;
    MatchHeader(f.run, header, subject);
    if (library == 1 && f.fs.regexLoads > loads)
      FUZZ_CHECK(f.run.selection.Regex == RegexState::Unavailable);
    MatchHeader(f.run, subject, header);  // a second header, in the state the first left
    FUZZ_CHECK(f.fs.regexLoads - loads <= 1);
  }
  for (PatternKind kind : {PatternKind::BeginsWith, PatternKind::EndsWith,
                           PatternKind::AllParts, PatternKind::OrderedParts})
    MatchPattern(f.run, header, kind, subject);
  FreeRegexLibrary(f.run);
}

// A text, then lines of user macros as "@param" reads them ("name | value").
// The expansion fits its buffer at any date; a text without '%' and without
// user macros is only cut.
void FuzzPathMacros(std::string_view input) {
  const auto [text, macros] = CutAt(input, "\n");
  FuzzRun f;
  ApplyConfigurationText(f.run, "[system]\n@param\n" + std::string(macros));
  for (const LocalTime& now : {LocalTime{2010, 5, 3, 12, 0, 0},
                               LocalTime{30827, 12, 31, 23, 59, 59},
                               LocalTime{1601, 1, 1, 0, 0, 0}}) {
    f.fs.now = now;
    FUZZ_CHECK(ExpandPathMacros(f.run, text).size() <= kMaxMacroText);
  }
  f.run.settings.UserMacros.clear();
  if (text.find('%') == npos)
    FUZZ_CHECK(ExpandPathMacros(f.run, text) == CutToBytes(text, kMaxMacroText));
}

// An option byte, then NUL-separated the template, the clipboard and the
// dialog's answers (\x01 first: confirmed with Ctrl). Expanded for a file and
// for an address, for each of a few targets, a template fits the command
// buffer or cancels; then it is launched for all of them by a program and by
// a batch file.
void FuzzTemplates(std::string_view input) {
  if (input.empty()) return;
  const unsigned options = static_cast<unsigned char>(input[0]);
  const std::vector<std::string_view> parts = Split(input.substr(1), '\0');
  const std::string templ(parts[0]);
  const std::string_view clipboard = parts.size() > 1 ? parts[1] : std::string_view();
  FuzzRun f((options & 8) ? kBasicEdition : kFullEdition);
  Settings& s = f.run.settings;
  if (options & 1) {
    s.ParamMacrosOn = true;
    s.UserMacros = {{"%t%", "C:\\Tools"}, {"%X", "%P"}};
  }
  s.DialogTitleMode = ((options >> 1) & 3) % 3;
  s.DialogTitleTemplate = "for %N";
  if (options & 32) s.DialogInitialText = "init %P";
  if (options & 16) {
    f.fs.clipboardFiles.emplace();
    for (std::string_view line : Split(clipboard, '\n')) f.fs.clipboardFiles->emplace_back(line);
  } else {
    f.fs.clipboardText = std::string(clipboard);
  }
  ScriptedFrontend dialog(f.run);
  for (size_t i = 2; i < parts.size(); ++i) {
    const bool control = parts[i].substr(0, 1) == "\x01";
    dialog.answers.push_back(
        {control ? kCtrlOk : kOk, std::string(parts[i].substr(control ? 1 : 0))});
  }
  f.run.launch.EntryLabelForTitle = "&Edit it";

  static const char* const kTargets[] = {"C:\\dir\\name.ext", "\"C:\\My Docs\"", "C:\\gone\\x.txt",
                                         "C:\\", "http://me:pw@host.example/dir/readme?x=1#y",
                                         "C:\\Data\\\x95\x5C"};
  for (const char* target : kTargets) {
    for (auto expand : {ExpandCommandTemplate, ExpandUrlTemplate}) {
      f.run.targets.Clear();
      f.run.targets.Add(target);
      f.run.currentTarget = 0;
      dialog.Rewind();
      const std::string result = expand(f.run, templ, "C:\\Tools\\app.exe");
      FUZZ_CHECK(result == kCancelMarker || result.size() <= kMaxCommandText);
    }
  }
  for (const char* program : {"C:\\Tools\\app.exe", "C:\\Tools\\run.bat"}) {
    f.run.targets.Clear();
    for (const char* target : kTargets) f.run.targets.Add(target);
    dialog.Rewind();
    RunTemplateEntry(f.run, program, templ, "&Label", f.run.targets.WorkingCount);
  }
}

// An Internet shortcut file. Its address comes from the first 780 bytes,
// before any NUL, without a line break or blank; the capture command lines
// for it and for the raw text keep the address inside its quotes; the file's
// text preview keeps to its lines and widths.
void FuzzShortcut(std::string_view input) {
  const std::string file(input);
  FuzzRun f;
  const std::string path = "C:\\s\\fuzz.url";
  f.fs.AddFile(path, file);
  const std::string url = ReadShortcutUrl(f.run.platform, path);
  if (!url.empty()) {
    FUZZ_CHECK(url.size() < kMaxPath && url.find_first_of(std::string("\r\n \0", 4)) == npos);
    const std::string head = file.substr(0, std::min({file.size(), file.find('\0'), size_t{780}}));
    FUZZ_CHECK(head.find(url) != npos);
  }
  Settings& s = f.run.settings;
  s.PageCaptureProgram = "C:\\Tools\\cap.exe";
  s.CaptureArguments = "-w 800";
  CheckCaptureLine(CaptureCommandLine(f.run, url));
  CheckCaptureLine(CaptureCommandLine(f.run, file.substr(0, file.find('\0'))));

  s.TabWidth = static_cast<int>(file.size() % 11);
  s.TextSkipEmptyLines = static_cast<int>(file.size() & 1);
  s.TextPreviewLines = 100;
  f.run.targets.Clear();
  f.run.targets.Add(path);
  const std::vector<std::string> lines = TextPreviewLines(f.run);
  FUZZ_CHECK(lines.size() <= 100);
  for (const std::string& line : lines)
    FUZZ_CHECK(line.size() < 520 + static_cast<size_t>(s.TabWidth));
}

// The page-capture program's picture file. The front end hands the file's
// own header to the system with the pixels at the offset the check reports,
// so a file the check accepts has a plain header that agrees with the check
// and holds every pixel row it promises.
void FuzzCaptureBitmap(std::string_view file) {
  CaptureBitmap info;
  if (!ValidateCaptureBitmap(file, info)) return;
  const std::int64_t width = static_cast<std::int32_t>(LittleEndian(file, 18, 4));
  const std::int64_t height = static_cast<std::int32_t>(LittleEndian(file, 22, 4));
  const std::int64_t bitCount = LittleEndian(file, 28, 2);
  FUZZ_CHECK(info.width == width && info.height == height && info.bitCount == bitCount);
  FUZZ_CHECK(LittleEndian(file, 14, 4) == 40 && LittleEndian(file, 30, 4) == 0);
  const std::int64_t stride = (width * bitCount + 31) / 32 * 4;
  const std::int64_t end = info.pixelOffset + stride * (height < 0 ? -height : height);
  FUZZ_CHECK(end <= static_cast<std::int64_t>(file.size()));
}

// The Explorer menu's item filter: a byte for where the shell's items start,
// a byte for the list (none, [add] or [del]), the list's lines, a NUL, the
// items one a line ("-" a separator). The positions to delete come descending (each deletion
// leaves the next position valid), within the shell's items, and take exactly
// the items the filter rejects.
void FuzzShellFilter(std::string_view input) {
  if (input.size() < 2) return;
  const auto [prefixText, itemText] = CutAt(input.substr(2), std::string_view("\0", 1));
  static const char* const kLists[] = {"", "[add]\n", "[del]\n"};
  FuzzRun f;
  RunState& run = f.run;
  const char* list = kLists[static_cast<unsigned char>(input[1]) % 3];
  ApplyConfigurationText(run, list + std::string(prefixText));
  std::vector<ShellItem> items;
  for (std::string_view line : Split(itemText, '\n'))
    if (!itemText.empty()) items.push_back({line == "-", line == "-" ? "" : std::string(line)});
  const int count = static_cast<int>(items.size());
  const int first = static_cast<unsigned char>(input[0]) % (count + 2);  // up to one past the end

  std::vector<bool> gone(items.size(), false);
  int previous = count;
  for (int p : ShellItemsToDelete(run.settings.ExplorerFilter, items, first)) {
    FUZZ_CHECK(p < previous && p >= first);
    gone[static_cast<size_t>(p)] = true;
    previous = p;
  }
  for (int i = first; i < count; ++i) {
    const ShellItem& item = items[static_cast<size_t>(i)];
    if (!item.separator)
      FUZZ_CHECK(gone[static_cast<size_t>(i)] ==
                 !ShellMenuFilter(run.settings.ExplorerFilter, item.text));
  }
}

}  // namespace zolto::fuzz
