// The basic edition's selection: a section is taken when its header line
// holds the key of the first target's extension ("[.txt]") or "[folder]";
// "[.*]" stands for targets that no key takes.
#include "app/run.h"
#include "targets/targets.h"
#include "text/text.h"

namespace zolto {
namespace {

constexpr size_t npos = std::string_view::npos;

std::string KeyOf(Platform& platform, const std::string& subject) {
  if (platform.IsDirectory(subject)) return "[folder]";
  return "[" + SplitPath(subject).ext + "]";
}

// Parses the section whose key or header starts at `at`; a line that ends
// in "#" keeps "[all]" out. Returns the start of the following line.
size_t TakeSectionAt(RunState& run, std::string_view text, size_t at, bool& noAll,
                     SectionReader& sections, SelectionTrace::Pass pass) {
  if (run.selection.Trace) run.selection.Trace->SectionTaken(pass, at);
  LineCursor header(text, at);
  header.SkipLine();
  if (!header.Line().empty() && header.Line().back() == '#') noAll = true;
  sections.Take(run, at, text);
  return header.Position();
}

void AddAllSection(RunState& run, std::string_view text, bool noAll) {
  if (noAll) return;
  const size_t all = FindI(text, "[all]");
  if (all == npos) return;
  if (run.selection.Trace) run.selection.Trace->SectionTaken(SelectionTrace::Pass::All, all);
  ParseEntryLines(run, all, text);
}

// "[.*]" and then "[all]"; false when there is no "[.*]" section.
bool TakeCatchAll(RunState& run, std::string_view text, bool& noAll) {
  const size_t at = FindI(text, "[.*]");
  if (at == npos) return false;
  run.entries.Clear();
  SectionReader sections;
  TakeSectionAt(run, text, at, noAll, sections, SelectionTrace::Pass::CatchAll);
  AddAllSection(run, text, noAll);
  return true;
}

}  // namespace

int SelectByExtension(RunState& run, std::string_view text) {
  if (run.targets.WorkingCount < 1) return 1;
  const std::string subject = run.targets.Working[0];
  const std::string key = KeyOf(run.platform, subject);
  run.entries.programs.clear();
  if (run.selection.Trace)
    run.selection.Trace->Header(SelectionTrace::Pass::ExtensionKey, key, npos);
  bool noAll = false;
  size_t at = FindI(text, key);
  const bool keyFound = at != npos;
  if (keyFound) {
    // Every occurrence, in file order; a header may hold several keys.
    run.entries.Clear();
    SectionReader sections;
    while (at != npos && at < text.size()) {
      const size_t next =
          TakeSectionAt(run, text, at, noAll, sections, SelectionTrace::Pass::ExtensionKey);
      at = next < text.size() ? FindI(text, key, next) : npos;
    }
    AddAllSection(run, text, noAll);
  }
  if (!keyFound || run.entries.ordinaryCount == 0) {
    if (!TakeCatchAll(run, text, noAll) || run.entries.ordinaryCount == 0) {
      if (run.selection.Trace)
        run.selection.Trace->Decided(run, SelectionTrace::Decision::Open, -1);
      OpenWithAssociation(run, subject);
      return 1;
    }
  }
  return DecideRun(run, subject);
}

}  // namespace zolto
