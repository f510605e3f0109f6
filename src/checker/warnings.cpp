// The static scan of a configuration for likely mistakes. It walks the lines
// as the readers do (FetchLine, leading blanks removed) and asks the core
// (MatchHeader, ResolveProgram, ExpandPathMacros) wherever the answer is the
// core's to give.
//
// A section is unreachable when its header is one the edition never takes,
// whatever the target: a bracketed line that is no header of the edition
// (an extension key in the full edition, a pattern or kind header in the
// basic one, a misspelt header), a second "[all]" or (basic) a second
// "[.*]", or a first-pass header none of whose terms can be tested (each is
// empty, longer than 259 characters or unknown), which never matches.
#include "app/run.h"
#include "checker/checker.h"
#include "launch/launch.h"
#include "text/text.h"

namespace zolto {
namespace {

constexpr size_t npos = std::string_view::npos;

struct Line {
  size_t pos = 0;
  int number = 0;
  std::string text;  // tabs and CR dropped, leading blanks removed
};

// The complete lines of text (a last line without LF is not read).
std::vector<Line> LinesOf(std::string_view text) {
  std::vector<Line> lines;
  LineCursor cursor(text);
  for (int number = 1; cursor.Next(); ++number)
    lines.push_back(
        {cursor.LineStart(), number, std::string(TrimLeadingBlanksAndTabs(cursor.Line()))});
  return lines;
}

int LineNumberAt(const std::vector<Line>& lines, size_t pos) {
  if (pos == npos) return 0;
  int number = 0;
  for (const Line& line : lines) {
    if (line.pos > pos) break;
    number = line.number;
  }
  return number;
}

// The [system] key a line starts with, in the reader's own order, or "".
std::string_view SystemKeyOf(const Edition& edition, std::string_view line) {
  if (StartsWithI(line, "%end")) return "%end";
  for (std::string_view key : SystemKeys(edition.webPreview))
    if (StartsWithI(line, key)) return key;
  return {};
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Counts the terms of a header that are really tested.
struct TermCounter : SelectionTrace {
  int tested = 0;
  void Header(Pass, std::string_view, size_t) override {}
  void Term(std::string_view, bool, Outcome outcome) override {
    if (outcome == Outcome::Hit || outcome == Outcome::Miss) ++tested;
  }
  void HeaderResult(int, int) override {}
  void SectionTaken(Pass, size_t) override {}
  void Decided(const RunState&, Decision, int) override {}
};

class Scanner {
 public:
  Scanner(RunState& run, std::string_view text) : run_(run), text_(text), lines_(LinesOf(text)) {
    systemLine_ = LineNumberAt(lines_, FindI(text, "[system]"));
    size_t filter = FindI(text, "[add]");
    if (filter == npos) filter = FindI(text, "[del]");
    filterLine_ = LineNumberAt(lines_, filter);
    allLine_ = LineNumberAt(lines_, FindI(text, "[all]"));
    catchAllLine_ = LineNumberAt(lines_, FindI(text, "[.*]"));
  }

  std::vector<CheckWarning> Run() {
    for (const Line& line : lines_) Visit(line);
    CheckLastLine();
    return std::move(warnings_);
  }

 private:
  enum class Part { Outside, System, Filter, Menu };

  void Warn(int line, const char* code, std::string message) {
    warnings_.push_back({line, code, std::move(message)});
  }

  bool IsMenuHeader(const std::string& l) const {
    return StartsWithI(l, "[") || StartsWithI(l, "_[") || ContainsI(l, "[.*]");
  }

  void Visit(const Line& line) {
    const std::string& l = line.text;
    if (line.number == allLine_ && !IsMenuHeader(l))
      Warn(line.number, "comment-header",
           "the file's first \"[all]\" stands in this line, so the [all] section starts here");
    if (line.number == systemLine_) {
      Open(line, Part::System);
    } else if (line.number == filterLine_) {
      Open(line, Part::Filter);
    } else if (IsMenuHeader(l)) {
      Open(line, Part::Menu);
      CheckReachable(line);
    } else if (StartsWithI(l, "%end")) {
      part_ = Part::Outside;
      systemRunsOn_ = false;
    } else if (part_ == Part::System) {
      CheckSystemLine(line);
    } else if (part_ == Part::Menu) {
      if (systemRunsOn_ && StartsWithI(l, "@") && !SystemKeyOf(run_.edition, l).empty())
        Warn(line.number, "setting-in-section",
             Quoted(l) + " is read as a [system] setting: the [system] part has no \"%end\" "
                         "before this section");
      CheckEntryLine(line);
    }
  }

  // A header while a part is still open: that part runs on into this one.
  void Open(const Line& line, Part next) {
    if (part_ == Part::System) {
      Warn(partLine_, "system-no-end",
           "the [system] part has no \"%end\" before the section at line " +
               std::to_string(line.number) +
               ": its \"@\" lines up to the next \"%end\" are read as settings");
      systemRunsOn_ = true;
    } else if (part_ == Part::Menu) {
      Warn(partLine_, "no-end",
           "section " + Quoted(partHeader_) + " has no \"%end\": its entries run on into the "
           "section at line " + std::to_string(line.number) + ", whose lines it takes as its own");
    } else if (part_ == Part::Filter) {
      Warn(partLine_, "no-end",
           "the Explorer item list has no \"%end\": the lines of the section at line " +
               std::to_string(line.number) + " are read as items");
    }
    part_ = next;
    partLine_ = line.number;
    partHeader_ = line.text;
    paramLines_ = 0;
    if (next == Part::System) delimiter_ = " | ";
  }

  void CheckReachable(const Line& line) {
    const std::string& l = line.text;
    if (ContainsI(l, "[all]")) {
      if (line.number != allLine_)
        Warn(line.number, "unreachable",
             "only the first \"[all]\" of the file is used (line " + std::to_string(allLine_) +
                 "); this section is never taken as [all]");
      return;
    }
    if (ContainsI(l, "[.*]")) {
      if (StartsWithI(l, ";"))
        Warn(line.number, "comment-header",
             "this comment holds \"[.*]\", so it starts a catch-all section");
      if (!run_.edition.headerPatterns && line.number != catchAllLine_)
        Warn(line.number, "unreachable",
             "only the first \"[.*]\" of the file is used (line " +
                 std::to_string(catchAllLine_) + "); this section is never taken");
      return;
    }
    if (!run_.edition.headerPatterns) {
      if (!ContainsI(l, "[.") && !ContainsI(l, "[]") && !ContainsI(l, "[folder]"))
        Warn(line.number, "unreachable",
             "header " + Quoted(l) + " holds no extension key (\"[.ext]\", \"[]\" or "
             "\"[folder]\"), the only headers the basic edition takes");
      return;
    }
    if (!IsFirstPassHeader(l)) {
      Warn(line.number, "unreachable",
           "header " + Quoted(l) + " is never taken: the full edition takes headers that begin "
           "with \"[^\", \"[$\", \"[-\", \"[+\", \"[!\", \"_[\", \"[file]\", \"[folder]\" or "
           "\"[url]\", lines holding \"[.*]\" and the first \"[all]\"");
      return;
    }
    // Match it once against any subject: no tested term means the result
    // cannot depend on the target.
    RunState probe(run_);
    TermCounter counter;
    probe.selection.Trace = &counter;
    probe.selection.Regex = RegexState::Unavailable;  // nothing is loaded or shown
    probe.selection.Exclusion = 0;
    const int matched = MatchHeader(probe, l, "C:\\");
    if (counter.tested == 0 && matched == 0)
      Warn(line.number, "unreachable",
           "no term of header " + Quoted(l) + " can be tested (each is empty, longer than "
           "259 characters or unknown), so it never matches");
  }

  void CheckSystemLine(const Line& line) {
    const std::string& l = line.text;
    if (l.empty() || l[0] == ';' || l[0] == '>') return;
    // The user macro lines after "@param".
    if (paramLines_ > 0) {
      if (Find(line.text, delimiter_) != npos) {
        --paramLines_;
        return;
      }
      paramLines_ = 0;
    }
    if (l[0] != '@') {
      Warn(line.number, "not-a-key", Quoted(l) + " is not a [system] key and is ignored");
      return;
    }
    const std::string_view key = SystemKeyOf(run_.edition, l);
    if (key.empty()) {
      std::string message = Quoted(l) + " matches no [system] key and is ignored";
      if (StartsWithI(l, "@browse")) message += " (the basic edition has no web previews)";
      Warn(line.number, "unknown-key", message);
      return;
    }
    const std::string_view value = std::string_view(l).substr(key.size());
    if (key == "@param") paramLines_ = static_cast<int>(kMaxUserMacros);
    if (key == "@dlm=" && value.size() >= 2) delimiter_ = CutToBytes(value, kMaxDelimiter);
    if (key == "@editor=") CheckSettingProgram(line, value);
    if (key == "@browse" && !value.empty() && value[0] == '=')
      CheckSettingProgram(line, value.substr(1, value.substr(1).find(',')));
    if (key == "@ext2=") {
      const std::string path = JoinPath(run_.start.ProgramFolder, value);
      if (path.empty() || !run_.platform.PathExists(path) || run_.platform.IsDirectory(path))
        Warn(line.number, "file-not-found",
             "the second configuration file " + Quoted(value) + " is not in the program's "
             "folder; \"@ext2=\" is ignored");
    }
  }

  void CheckSettingProgram(const Line& line, std::string_view value) {
    std::string name(value);
    if (run_.settings.ParamMacrosOn) name = ExpandPathMacros(run_, name);
    bool found = false;
    const std::string program = ResolveProgram(run_, name, true, found);
    if (!found || run_.platform.IsDirectory(program))
      Warn(line.number, "program-not-found",
           "program " + Quoted(name) + " cannot be found; the line is ignored");
  }

  // A program line of a menu section: the program must be found.
  void CheckEntryLine(const Line& line) {
    const std::string& l = line.text;
    if (l.empty() || std::string_view(";+->]{}").find(l[0]) != npos) return;
    const std::string& delimiter = run_.settings.Delimiter;
    if (StartsWithI(l, "@system")) return;
    if (l[0] == '@') {
      Warn(line.number, "key-in-section",
           Quoted(l) + " stands in a menu section, where it is read as a program name and "
           "dropped; [system] keys belong in the [system] part");
      return;
    }
    const std::string expanded = run_.settings.ParamMacrosOn ? ExpandPathMacros(run_, l) : l;
    const size_t d = Find(expanded, delimiter);
    const std::string program = d == npos ? expanded : expanded.substr(0, d);
    bool found = false;
    const std::string path = ResolveProgram(run_, program, true, found);
    if (found && !run_.platform.IsDirectory(path)) return;
    std::string message = found ? "program " + Quoted(program) + " is a folder"
                                : "program " + Quoted(program) + " cannot be found (as written, "
                                  "with \".exe\", in the \"@path=\" folders or on the search "
                                  "path)";
    message += ": the line and its parameter lines are dropped";
    if (program.find(' ') != npos && program.find('%') != npos)
      message += "; arguments belong in \">\" or \"]\" lines under the program";
    Warn(line.number, "program-not-found", message);
  }

  void CheckLastLine() {
    if (text_.empty() || text_.back() == '\n') return;
    const size_t start = text_.rfind('\n') == npos ? 0 : text_.rfind('\n') + 1;
    if (TrimLeadingBlanksAndTabs(text_.substr(start)).find_first_not_of(" \r") == npos) return;
    const int number = lines_.empty() ? 1 : lines_.back().number + 1;
    Warn(number, "last-line", "the last line has no line break, so it is not read");
  }

  RunState& run_;
  std::string_view text_;
  std::vector<Line> lines_;
  int systemLine_ = 0;
  int filterLine_ = 0;
  int allLine_ = 0;
  int catchAllLine_ = 0;
  Part part_ = Part::Outside;
  int partLine_ = 0;
  std::string partHeader_;
  bool systemRunsOn_ = false;
  int paramLines_ = 0;
  std::string delimiter_ = " | ";
  std::vector<CheckWarning> warnings_;
};

}  // namespace

std::vector<CheckWarning> ScanConfiguration(RunState& run, std::string_view text) {
  text = text.substr(0, std::min(text.size(), text.find('\0')));
  return Scanner(run, text).Run();
}

}  // namespace zolto
