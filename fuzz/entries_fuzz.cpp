// The entry lines of menu sections: the section at the start of the input,
// then the one at each line that begins with '[', all into one table (as
// several matching sections fill it), after the input's [system] part has set
// the delimiter and the user macros. The table is checked for consistency and
// then built into a menu.
#include "config/config.h"
#include "config/entries.h"
#include "fuzz_common.h"

namespace zolto::fuzz {
namespace {

// Sections parsed at most: each runs to "%end" or the end of the input.
constexpr int kMaxSections = 12;

void CheckTable(FuzzRun& f) {
  const EntryTable& t = f.run.entries;
  FUZZ_CHECK(t.entryCount >= 0 && t.entryCount <= kMaxEntries);
  int ordinary = 0;
  int firstOrdinary = -1;
  for (int i = 0; i < t.entryCount; ++i) {
    const Entry& e = t.entries[static_cast<size_t>(i)];
    FUZZ_CHECK(e.kind == kOrdinary || e.kind == kParameter || e.kind == kSeparator ||
               e.kind == kColumnBreak || e.kind == kSubmenuOpen || e.kind == kSubmenuClose);
    FUZZ_CHECK(e.level >= 0);
    FUZZ_CHECK(e.command.size() <= kMaxEntryText && e.label.size() <= kMaxEntryText);
    if (e.kind == kSubmenuClose) FUZZ_CHECK(e.level >= 1);
    if (e.kind == kOrdinary) {
      if (firstOrdinary < 0) firstOrdinary = i;
      ++ordinary;
      // A program's full path, or the association's stand-in. (Whether it
      // exists is not checked: the fake platform finds "..\x" as
      // C:\Work\x but qualifies it as C:\x.)
      const std::string& c = e.command;
      FUZZ_CHECK(c == "@system" ||
                 (c.size() >= 2 && (c[1] == ':' || c.compare(0, 2, "\\\\") == 0)));
      int params = 0;
      int firstParam = 0;
      for (int k = i + 1; k < t.entryCount; ++k) {
        const Entry& p = t.entries[static_cast<size_t>(k)];
        if (p.kind == kParameter && p.parentIndex == i) {
          if (params++ == 0) firstParam = k;
        }
      }
      FUZZ_CHECK(e.paramCount == params && e.firstParam == firstParam);
    }
    if (e.kind == kParameter) {
      FUZZ_CHECK(e.parentIndex >= 0 && e.parentIndex < i);
      const Entry& parent = t.entries[static_cast<size_t>(e.parentIndex)];
      FUZZ_CHECK(parent.kind == kOrdinary && parent.level == e.level);
      FUZZ_CHECK(e.perTarget == 0 || e.perTarget == 1);
    }
  }
  FUZZ_CHECK(t.ordinaryCount == ordinary);
  FUZZ_CHECK(ordinary == 0 || t.firstOrdinary == firstOrdinary);
}

}  // namespace
}  // namespace zolto::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  using namespace zolto::fuzz;
  const std::string_view text = AsText(data, size);
  FuzzRun f;
  ApplyConfigurationText(f.run, text);
  // "@system" lines resolve against the first target.
  static const char* const kTargets[] = {"C:\\d\\x.txt", "C:\\d\\sub",
                                         "http://h.example/a/page.html?q#f"};
  f.run.targets.Add(kTargets[size % 3]);

  ParseEntryLines(f.run, 0, text);
  int sections = 1;
  for (size_t pos = 1; pos < text.size() && sections < kMaxSections; ++pos) {
    if (text[pos - 1] == '\n' && text[pos] == '[') {
      ParseEntryLines(f.run, pos, text);
      ++sections;
    }
  }
  CheckTable(f);
  BuildAndDestroyMenu(f.run, 0);
  return 0;
}
