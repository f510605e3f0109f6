// Section headers: the input is a header line, a NUL or line break, then the
// subject (a path or an address). The header is matched with the expression
// library present (the fake platform's matcher), missing, and lacking its
// match function; each pattern kind is also tried on its own.
#include "fuzz_common.h"
#include "targets/targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  using namespace zolto::fuzz;
  const auto [header, subject] = CutAt(AsText(data, size), std::string_view("\0\n", 2));
  FuzzRun f;
  RunState& run = f.run;
  for (int library = 0; library < 3; ++library) {
    f.fs.regexLibraryPresent = library != 1;
    f.fs.regexHasBMatch = library != 2;
    run.selection = SelectionState{};
    const int loads = f.fs.regexLoads;
    const int matched = MatchHeader(run, header, subject);
    FUZZ_CHECK(matched == 0 || matched == 1);
    FUZZ_CHECK(run.selection.exclusion >= -1 && run.selection.exclusion <= 1);
    FUZZ_CHECK(f.fs.regexLoads - loads <= 1);  // loaded at most once per run
    if (library == 1 && f.fs.regexLoads > loads)
      FUZZ_CHECK(run.selection.regex == RegexState::Unavailable);
    // A second header with the state the first one left.
    const int again = MatchHeader(run, subject, header);
    FUZZ_CHECK(again == 0 || again == 1);
  }
  for (PatternKind kind : {PatternKind::BeginsWith, PatternKind::EndsWith,
                           PatternKind::AllParts, PatternKind::OrderedParts}) {
    const int hit = MatchPattern(run, header, kind, subject);
    FUZZ_CHECK(hit == 0 || hit == 1);
  }
  FreeRegexLibrary(run);
  return 0;
}
