// Command templates for files and for web addresses. The first byte sets the
// options (bit 0: path macros on; bits 1-2: the dialog title mode; bit 3: the
// basic edition; bit 4: the clipboard holds files, not text; bit 5: an
// initial dialog text); the rest is split at NUL bytes into the template, the
// clipboard's contents and the dialog's answers (an answer starting with
// \x01 is confirmed with Ctrl held). The template is expanded for a fixed
// set of targets and then launched for all of them.
#include "fuzz_common.h"
#include "launch/launch.h"
#include "text/text.h"

namespace {

constexpr const char* kTargets[] = {
    "C:\\dir\\name.ext", "\"C:\\My Docs\"", "C:\\gone\\x.txt", "C:\\",
    "http://me:pw@host.example/dir/readme?x=1#y", "C:\\Data\\\x95\x5C",
};

void CheckExpansion(const zolto::RunState& run, const std::string& result) {
  using namespace zolto;
  FUZZ_CHECK(result == kCancelMarker || result.size() <= kMaxCommandText);
  FUZZ_CHECK(run.launch.ListQuoteMode >= 0 && run.launch.ListQuoteMode <= 2);
  const std::string& folder = run.launch.WorkFolderOverride;
  FUZZ_CHECK(folder.empty() || EndsWithBackslash(folder));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  using namespace zolto::fuzz;
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const std::vector<std::string_view> parts = Split(AsText(data + 1, size - 1), '\0');
  const std::string templ(parts[0]);
  const std::string_view clipboard = parts.size() > 1 ? parts[1] : std::string_view();

  FuzzRun f((options & 8) ? kBasicEdition : kFullEdition);
  RunState& run = f.run;
  Settings& s = run.settings;
  if (options & 1) {
    s.ParamMacrosOn = true;
    s.UserMacros = {{"%t%", "C:\\Tools"}, {"%X", "%P"}};
  }
  s.DialogTitleMode = (options >> 1) & 3;
  if (s.DialogTitleMode == 3) s.DialogTitleMode = 0;
  s.DialogTitleTemplate = "for %N";
  if (options & 32) s.DialogInitialText = "init %P";
  if (options & 16) {
    std::vector<std::string> files;
    for (std::string_view line : Split(clipboard, '\n')) files.emplace_back(line);
    f.fs.clipboardFiles = files;
  } else {
    f.fs.clipboardText = std::string(clipboard);
  }
  ScriptedFrontend dialog(run);
  for (size_t i = 2; i < parts.size(); ++i) {
    const bool control = !parts[i].empty() && parts[i][0] == '\x01';
    dialog.answers.push_back({control ? 3 : 4, std::string(parts[i].substr(control ? 1 : 0))});
  }
  run.launch.EntryLabelForTitle = "&Edit it";

  for (int i = 0; i < static_cast<int>(std::size(kTargets)); ++i) {
    run.targets.Clear();
    run.targets.Add(kTargets[i]);
    run.currentTarget = 0;
    dialog.Rewind();
    CheckExpansion(run, ExpandCommandTemplate(run, templ, "C:\\Tools\\app.exe"));
    run.targets.Clear();
    run.targets.Add(kTargets[i]);
    run.currentTarget = 0;
    dialog.Rewind();
    CheckExpansion(run, ExpandUrlTemplate(run, templ, "C:\\Tools\\app.exe"));
  }

  // The launch of the template for every target, by a program and a batch file.
  for (const char* program : {"C:\\Tools\\app.exe", "C:\\Tools\\run.bat"}) {
    run.targets.Clear();
    for (const char* target : kTargets) run.targets.Add(target);
    dialog.Rewind();
    RunTemplateEntry(run, program, templ, "&Label", run.targets.workingCount);
  }
  return 0;
}
