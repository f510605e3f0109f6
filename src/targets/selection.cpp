// Section selection: which sections' entries the first target gets, and
// whether the run opens the target, runs its one entry or shows the menu.
#include "app/run.h"
#include "launch/launch.h"
#include "targets/targets.h"
#include "text/text.h"

namespace zolto {
namespace {

constexpr std::string_view kFirstPassMarks[] = {"[^", "[$", "[-", "[+", "[!",
                                                "_[", "[file]", "[folder]", "[url]"};

using Trace = SelectionTrace;

struct Pass {
  bool matched = false;
  bool noAll = false;
  SectionReader sections;
};

// Takes the section whose header line starts at pos.
void TakeSection(RunState& run, std::string_view header, size_t pos, std::string_view text,
                 Pass& pass, Trace::Pass tracePass) {
  if (!header.empty() && header.back() == '#') pass.noAll = true;
  if (run.selection.Trace) run.selection.Trace->SectionTaken(tracePass, pos);
  pass.matched = true;
  pass.sections.Take(run, pos, text);
}

// Calls visit(line, position) for every complete line of text that holds a
// "[": no other line can be a header. Lines without one are skipped by a
// byte search instead of being fetched one by one. Stops when visit returns
// false.
template <typename Visit>
void ForEachBracketLine(std::string_view text, Visit visit) {
  LineCursor lines(text);  // always at the start of a line
  while (lines.Position() < text.size()) {
    const size_t bracket = text.find('[', lines.Position());
    if (bracket == std::string_view::npos) return;
    const size_t feed = text.rfind('\n', bracket);
    if (feed != std::string_view::npos && feed >= lines.Position()) lines.MoveTo(feed + 1);
    if (!lines.Next()) return;
    if (!visit(TrimLeadingBlanksAndTabs(lines.Line()), lines.LineStart())) return;
  }
}

// Each header is judged by its own exclusion terms: a header without any
// never inherits what an earlier header's exclusion left behind.
int MatchOwnHeader(RunState& run, std::string_view header, std::string_view subject,
                   Trace::Pass tracePass, size_t pos) {
  run.selection.Exclusion = 0;
  if (run.selection.Trace) run.selection.Trace->Header(tracePass, header, pos);
  return MatchHeader(run, header, subject);
}

// Returns false when the selection must stop (the expression library is
// unavailable and a header did not match).
bool FirstPass(RunState& run, std::string_view text, const std::string& subject, Pass& pass) {
  bool go = true;
  ForEachBracketLine(text, [&](std::string_view line, size_t pos) {
    if (!IsFirstPassHeader(line)) return true;
    if (MatchOwnHeader(run, line, subject, Trace::Pass::First, pos) == 1) {
      TakeSection(run, line, pos, text, pass, Trace::Pass::First);
    } else if (run.selection.Regex == RegexState::Unavailable) {
      go = false;
    }
    return go;
  });
  return go;
}

void CatchAllPass(RunState& run, std::string_view text, const std::string& subject, Pass& pass) {
  ForEachBracketLine(text, [&](std::string_view line, size_t pos) {
    if (!ContainsI(line, "[.*]")) return true;
    MatchOwnHeader(run, line, subject, Trace::Pass::CatchAll, pos);  // only its exclusions count
    if (run.selection.Exclusion != -1)
      TakeSection(run, line, pos, text, pass, Trace::Pass::CatchAll);
    return true;
  });
}

void Decided(RunState& run, Trace::Decision decision, int entry = -1) {
  if (run.selection.Trace) run.selection.Trace->Decided(run, decision, entry);
}

}  // namespace

bool IsFirstPassHeader(std::string_view line) {
  if (ContainsI(line, "[.*]")) return false;
  for (std::string_view mark : kFirstPassMarks)
    if (StartsWithI(line, mark)) return true;
  return false;
}

int DecideRun(RunState& run, const std::string& subject) {
  EntryTable& table = run.entries;
  if (table.ordinaryCount == 0) {
    Decided(run, Trace::Decision::Open);
    OpenWithAssociation(run, subject);
    return 1;
  }
  if (table.ordinaryCount > 1 && !run.start.OneByOne) {
    Decided(run, Trace::Decision::Menu);
    return 0;
  }
  const Entry& entry = table.entries[static_cast<size_t>(table.firstOrdinary)];
  if (entry.paramCount == 0) {
    Decided(run, Trace::Decision::RunAtOnce, table.firstOrdinary);
    RunPlainEntry(run, entry.command, subject);
    return 1;
  }
  if (entry.paramCount >= 2) {
    Decided(run, Trace::Decision::Menu);
    return 0;
  }
  const Entry& param = table.entries[static_cast<size_t>(entry.firstParam)];
  Decided(run, Trace::Decision::RunAtOnce, entry.firstParam);
  run.launch.DialogProgram = entry.command;
  RunTemplateEntry(run, entry.command, param.command, param.label,
                   param.perTarget == 1 ? run.targets.WorkingCount : 1);
  return 1;
}

int SelectSections(RunState& run, std::string_view text) {
  return run.edition.selectSections(run, text);
}

int SelectByHeaders(RunState& run, std::string_view text) {
  if (run.targets.WorkingCount < 1) return 1;
  const std::string subject = run.targets.Working[0];
  run.entries.Clear();
  run.entries.programs.clear();
  run.selection.Subject.known = false;  // the disk may have changed since
  run.selection.Exclusion = 0;
  Pass pass;
  if (!FirstPass(run, text, subject, pass)) {
    Decided(run, Trace::Decision::Stopped);
    return 1;
  }
  if (!pass.matched) {
    run.entries.Clear();
    pass = Pass{};
    CatchAllPass(run, text, subject, pass);
  }
  if (pass.matched && !pass.noAll) {
    const size_t all = FindI(text, "[all]");
    if (all != std::string_view::npos) {
      if (run.selection.Trace) run.selection.Trace->SectionTaken(Trace::Pass::All, all);
      ParseEntryLines(run, all, text);
    }
  }
  return DecideRun(run, subject);
}

}  // namespace zolto
