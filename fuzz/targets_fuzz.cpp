// The target list: the first byte chooses the mode (bit 0: 0 blanks separate
// targets, as on the command line; 1 line breaks do, as in clipboard text),
// the edition (bit 1: the basic one) and user path macros (bit 2); the rest
// is the text. A command-line text also goes through the start-up: the
// switches, the configuration and the dispatch to targets, clipboard or menu.
#include "fuzz_common.h"
#include "targets/targets.h"
#include "text/text.h"

namespace zolto::fuzz {
namespace {

// What the list promises: the two lists agree, at most 100 targets, each
// shorter than 260 characters, and each a fully qualified path or a web
// address of the full edition. (That a path target exists is not checked:
// the fake platform finds a relative path by another rule than the one it
// qualifies it by: "..\x" is found as C:\Work\x but qualified as C:\x,
// and ".\D:\x" is found as D:\x.)
void CheckTargets(FuzzRun& f) {
  const TargetList& list = f.run.targets;
  FUZZ_CHECK(list.workingCount == list.fullCount);
  FUZZ_CHECK(list.workingCount >= 0 && list.workingCount <= kMaxTargets);
  for (int i = 0; i < list.workingCount; ++i) {
    const std::string& t = list.working[static_cast<size_t>(i)];
    FUZZ_CHECK(t == list.full[static_cast<size_t>(i)]);
    FUZZ_CHECK(!t.empty() && t.size() < kMaxPath);
    FUZZ_CHECK(t.find('\0') == std::string::npos);
    const bool qualified = t.size() >= 2 && (t[1] == ':' || t.compare(0, 2, "\\\\") == 0);
    if (!qualified) FUZZ_CHECK(f.run.edition.webTargets && IsUrlTarget(f.run, t) == 1);
  }
}

}  // namespace
}  // namespace zolto::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  using namespace zolto::fuzz;
  if (size == 0) return 0;
  const int mode = data[0] & 1;
  const Edition& edition = (data[0] & 2) ? kBasicEdition : kFullEdition;
  const bool macros = (data[0] & 4) != 0;
  const std::string_view text = AsText(data + 1, size - 1);
  {
    FuzzRun f(edition);
    if (macros) {
      f.run.settings.ParamMacrosOn = true;
      f.run.settings.UserMacros = {{"%d%", "C:\\d"}, {"~", "C:\\My Docs\\"}};
    }
    BuildTargetList(f.run, text, mode);
    CheckTargets(f);
    // The same text from the clipboard.
    f.fs.clipboardText = std::string(text);
    TakeClipboardTargets(f.run, 0, 1);
    CheckTargets(f);
  }
  if (mode == 0) {
    // The start-up of a run with this command line.
    FuzzRun f(edition);
    f.fs.AddFile(f.run.start.ConfigPath, kFixedConfiguration);
    ScriptedFrontend frontend(f.run);
    frontend.answers = {{4, "-x %N"}, {3, "all"}};
    frontend.chooseEntries = 3;
    InitialiseNames(f.run, f.run.start.ModulePath, text);
    if (OnHostCreate(f.run)) StartupDispatch(f.run);
    // A run empties the working list; the full list keeps what was taken.
    const TargetList& list = f.run.targets;
    FUZZ_CHECK(list.fullCount >= 0 && list.fullCount <= kMaxTargets);
    for (int i = 0; i < list.fullCount; ++i)
      FUZZ_CHECK(list.full[static_cast<size_t>(i)].size() < kMaxPath);
  }
  return 0;
}
