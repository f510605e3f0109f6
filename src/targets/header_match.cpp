// Header terms: name patterns, kinds, exclusions and regular expressions
// tested against the first target.
#include <vector>

#include "app/run.h"
#include "targets/targets.h"
#include "text/text.h"

namespace zolto {
namespace {

constexpr size_t npos = std::string_view::npos;
constexpr size_t kMaxPatternText = 259;
constexpr size_t kMaxParts = 10;

enum class Positive { NoneYet, False, True };

bool InTextRange(size_t length, size_t low) {
  return length >= low && length <= kMaxPatternText;
}

// Whether a kind term ("[file]", "[folder]", "[url]") applies to the subject.
// The subject is a web address, and if not, whether it is a folder: a disk
// probe and an address parse, made once per selection, not per term.
const SelectionState::SubjectKind& KindOf(RunState& run, std::string_view subject) {
  SelectionState& selection = run.selection;
  SelectionState::SubjectKind& kind = selection.Subject;
  if (kind.known && kind.subject == subject) return kind;
  kind.subject = std::string(subject);
  kind.url = run.edition.webTargets && IsUrlTarget(run.platform, kind.subject);
  kind.folder = !kind.url && run.platform.IsDirectory(kind.subject);
  kind.known = true;
  return kind;
}

bool KindApplies(RunState& run, std::string_view kind, std::string_view subject) {
  const SelectionState::SubjectKind& is = KindOf(run, subject);
  if (kind == "[url]") return is.url;
  return kind == "[folder]" ? is.folder : !is.url && !is.folder;
}

// The kind term at the start of text, or an empty view.
std::string_view KindTermAt(std::string_view text) {
  for (std::string_view kind : {"[file]", "[folder]", "[url]"})
    if (StartsWithI(text, kind)) return kind;
  return {};
}

bool PatternKindOf(char mark, PatternKind& kind) {
  switch (mark) {
    case '^': kind = PatternKind::BeginsWith; return true;
    case '$': kind = PatternKind::EndsWith; return true;
    case '-': kind = PatternKind::AllParts; return true;
    case '+': kind = PatternKind::OrderedParts; return true;
  }
  return false;
}

// The expression of a "[!" or "_[!" term: the rest of the header less its
// closing "]" (and a final "#").
std::string_view ExpressionOf(std::string_view header, size_t start) {
  const size_t tail = !header.empty() && header.back() == '#' ? 2 : 1;
  if (start + tail > header.size()) return {};
  return header.substr(start, header.size() - tail - start);
}

std::vector<std::string_view> SplitParts(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    const size_t amp = Find(text, "&&", start);
    parts.push_back(text.substr(start, amp == npos ? npos : amp - start));
    if (amp == npos) return parts;
    start = amp + 2;
  }
}

int MatchParts(std::string_view text, bool ordered, std::string_view subject) {
  std::vector<std::string_view> parts = SplitParts(text);
  if (parts.size() > kMaxParts) return 0;  // more parts than there is room for
  if (ordered) std::erase_if(parts, [](std::string_view p) { return p.empty(); });
  if (parts.empty()) return ordered ? 0 : 1;
  size_t start = 0;
  size_t end = subject.size();
  size_t first = 0;
  size_t last = parts.size();
  if (!parts.front().empty() && parts.front()[0] == '^') {
    const std::string_view head = parts.front().substr(1);
    if (!StartsWithI(subject, head)) return 0;
    start = head.size();
    first = 1;
  }
  if (last > first && !parts.back().empty() && parts.back()[0] == '$') {
    const std::string_view tail = parts.back().substr(1);
    if (!EndsWithI(subject, tail)) return 0;
    end = subject.size() - tail.size();
    --last;
  }
  for (size_t i = first; i < last; ++i) {
    const size_t at = FindI(subject, parts[i], start);
    if (at == npos || at + parts[i].size() > end) return 0;
    if (ordered) start = at + parts[i].size();
  }
  return 1;
}

using Outcome = SelectionTrace::Outcome;

void Note(SelectionState& selection, std::string_view term, bool exclusion, Outcome outcome) {
  if (selection.Trace) selection.Trace->Term(term, exclusion, outcome);
}

Outcome OutcomeOf(bool hit) { return hit ? Outcome::Hit : Outcome::Miss; }

int MatchTerms(RunState& run, std::string_view header, std::string_view subject);

}  // namespace

int LoadRegexLibrary(RunState& run) {
  if (!run.platform.LoadRegexLibrary()) {
    run.platform.ShowMessage("正規表現ライブラリが使用できません",
                             run.edition.configErrorCaption);
    return 0;
  }
  run.selection.Regex = RegexState::Loaded;
  return 1;
}

void FreeRegexLibrary(RunState& run) {
  run.platform.FreeRegexLibrary();
  run.selection.Regex = RegexState::NotLoaded;
}

int MatchPattern(RunState& run, std::string_view text, PatternKind kind,
                 std::string_view subject) {
  switch (kind) {
    case PatternKind::BeginsWith:
      return StartsWithI(subject, text) ? 1 : 0;
    case PatternKind::EndsWith:
      return EndsWithI(subject, text) ? 1 : 0;
    case PatternKind::AllParts:
      return MatchParts(text, false, subject);
    case PatternKind::OrderedParts:
      return MatchParts(text, true, subject);
    case PatternKind::Expression:
      break;
  }
  SelectionState& sel = run.selection;
  if (sel.Regex == RegexState::NotLoaded && !LoadRegexLibrary(run)) {
    sel.Regex = RegexState::Unavailable;
    return 0;
  }
  if (sel.Regex != RegexState::Loaded) return 0;
  return run.platform.RegexMatch(std::string(text), std::string(subject)) == 1 ? 1 : 0;
}

int MatchHeader(RunState& run, std::string_view header, std::string_view subject) {
  const int matched = MatchTerms(run, header, subject);
  if (run.selection.Trace) run.selection.Trace->HeaderResult(matched, run.selection.Exclusion);
  return matched;
}

namespace {

int MatchTerms(RunState& run, std::string_view header, std::string_view subject) {
  int& exclusion = run.selection.Exclusion;
  Positive positive = Positive::NoneYet;
  auto finalRule = [&] {
    return positive == Positive::True || (positive == Positive::NoneYet && exclusion == 1)
               ? 1 : 0;
  };
  // Notes a kind or pattern term's result; false when an exclusion hit
  // ends the header.
  auto record = [&](bool excluding, bool hit) {
    if (excluding) {
      exclusion = hit ? -1 : 1;
      return !hit;
    }
    if (positive == Positive::NoneYet) positive = Positive::False;
    if (hit) positive = Positive::True;
    return true;
  };
  size_t cursor = 0;
  while (true) {
    const size_t open = Find(header, "[", cursor);
    const size_t under = Find(header, "_[", cursor);
    if (open == npos && under == npos) return finalRule();
    const bool excluding = under != npos && (open == npos || under < open);
    const size_t bracket = excluding ? under + 1 : open;
    // Kind and expression terms count only right at the cursor.
    const bool atCursor = (excluding ? under : open) == cursor;
    const std::string_view term = header.substr(bracket);
    size_t close = npos;

    if (const std::string_view kind = atCursor ? KindTermAt(term) : std::string_view();
        !kind.empty()) {
      const bool hit = KindApplies(run, kind, subject);
      Note(run.selection, term.substr(0, kind.size()), excluding, OutcomeOf(hit));
      if (!record(excluding, hit)) return 0;
      close = bracket + kind.size() - 1;
    } else if (atCursor && StartsWithI(term, "[!")) {
      const std::string_view expr = ExpressionOf(header, bracket + 2);
      const bool tested = InTextRange(expr.size(), 2);
      const bool hit = tested && MatchPattern(run, expr, PatternKind::Expression, subject) == 1;
      Note(run.selection, term.substr(0, expr.size() + 3), excluding,
           tested ? OutcomeOf(hit) : Outcome::Skipped);
      if (excluding) {
        if (hit) {
          exclusion = -1;
          return 0;
        }
        return 1;
      }
      return hit || positive == Positive::True ? 1 : 0;
    } else {
      close = Find(header, "]", bracket + 2);
      if (close == npos) return finalRule();
      PatternKind kind;
      const std::string_view text = header.substr(bracket + 2, close - bracket - 2);
      const std::string_view whole = header.substr(bracket, close + 1 - bracket);
      if (term.size() < 2 || !PatternKindOf(term[1], kind)) {
        Note(run.selection, whole, excluding, Outcome::Ignored);
      } else if (!InTextRange(text.size(), 1)) {
        Note(run.selection, whole, excluding, Outcome::Skipped);
      } else {
        const bool hit = MatchPattern(run, text, kind, subject) == 1;
        Note(run.selection, whole, excluding, OutcomeOf(hit));
        if (!record(excluding, hit)) return 0;
      }
    }
    if (header.size() - (close + 1) < 3) return finalRule();
    cursor = close + 1;
  }
}

}  // namespace

}  // namespace zolto
