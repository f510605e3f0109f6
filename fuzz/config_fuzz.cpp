// The configuration reader: the [system] part (keys, the "@param" block, the
// ">" lists) and the [add]/[del] list, applied from a text and read from a
// file. The settings must stay within the capacities the rest of the program
// relies on.
#include "config/config.h"
#include "fuzz_common.h"

namespace zolto::fuzz {
namespace {

bool ListWithin(const std::vector<std::string>& list, size_t count) {
  if (list.size() > count) return false;
  for (const std::string& item : list)
    if (item.empty() || item.size() > kMaxListItem) return false;
  return true;
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

void CheckSettings(FuzzRun& f) {
  const Settings& s = f.run.settings;
  FUZZ_CHECK(!s.Delimiter.empty() && s.Delimiter.size() <= kMaxDelimiter);
  FUZZ_CHECK(s.UserMacros.size() <= kMaxUserMacros);
  for (const UserMacro& m : s.UserMacros)
    FUZZ_CHECK(m.name.size() <= kMaxMacroName && m.value.size() <= kMaxMacroValue);
  FUZZ_CHECK(s.ParamMacrosOn || s.UserMacros.empty());
  FUZZ_CHECK(s.ProgramSearchList.size() <= kMaxSearchList);
  FUZZ_CHECK(!s.SearchListOn || !s.ProgramSearchList.empty());
  FUZZ_CHECK(InRange(s.ShowIcons, 0, 1));
  FUZZ_CHECK(InRange(s.MenuPosition, kMenuActive, kMenuCenter));
  FUZZ_CHECK(s.NameLength == -1 || InRange(s.NameLength, 0, 254));
  FUZZ_CHECK(InRange(s.FirstLaunchDelay, 0, 10000) && InRange(s.NextLaunchDelay, 0, 10000));
  FUZZ_CHECK(InRange(s.ExplorerMenuMode, 0, 2) && InRange(s.ExplorerMenuFirst, 0, 1));
  FUZZ_CHECK(s.ExplorerMenuMode != 0 || s.ExplorerMenuFirst == 0);
  FUZZ_CHECK(InRange(s.SoleMark, 0, 1));
  FUZZ_CHECK(InRange(s.PicturePreview, 0, 3) && InRange(s.PictureSize, 1, 500));
  FUZZ_CHECK(InRange(s.PictureNoHighlight, 0, 1));
  FUZZ_CHECK(InRange(s.TextPreview, 0, 3) && InRange(s.TextPreviewWidth, 1, 1000));
  FUZZ_CHECK(InRange(s.TextPreviewLines, 1, 100) && InRange(s.TabWidth, 0, 10));
  FUZZ_CHECK(InRange(s.TextSkipEmptyLines, 0, 1) && InRange(s.TextNoHighlight, 0, 1));
  FUZZ_CHECK(s.TextFontSize > 0);
  FUZZ_CHECK(s.TextPreview == 0 || !s.TextFontFace.empty());
  FUZZ_CHECK(InRange(s.WebPreview, 0, 3) && InRange(s.WebNoHighlight, 0, 1));
  FUZZ_CHECK(s.WebPreview == 0 || !s.PageCaptureProgram.empty());
  FUZZ_CHECK(ListWithin(s.PictureTypes, 5) && ListWithin(s.TextTypes, 20));
  FUZZ_CHECK(ListWithin(s.WebFileTypes, 20) && ListWithin(s.WebUrlTypes, 20));
  FUZZ_CHECK(InRange(s.ForceActivate, 0, 1));
  FUZZ_CHECK(s.DialogInitialText.size() <= kMaxDialogText);
  FUZZ_CHECK(s.DialogTitleTemplate.size() <= kMaxTitleTemplate);
  FUZZ_CHECK(InRange(s.DialogTitleMode, 0, 2));
  FUZZ_CHECK(InRange(s.ExplorerFilter.mode, 0, 2));
  FUZZ_CHECK(ListWithin(s.ExplorerFilter.prefixes, kMaxFilterPrefixes));
  FUZZ_CHECK(s.ExplorerFilter.mode != 0 || s.ExplorerFilter.prefixes.empty());
  // Programs named by the settings are full paths and no folders. (Whether
  // they exist is not checked: the fake platform finds "..\x" as
  // C:\Work\x but qualifies it as C:\x.)
  for (const std::string* program : {&s.EditorProgram, &s.PageCaptureProgram}) {
    const std::string& p = *program;
    FUZZ_CHECK(p.empty() ||
               (p.size() >= 2 && (p[1] == ':' || p.compare(0, 2, "\\\\") == 0) &&
                !f.fs.IsDirectory(p)));
  }
  FUZZ_CHECK(s.AltConfigPath == f.run.start.ConfigPath ||
             (f.fs.PathExists(s.AltConfigPath) && !f.fs.IsDirectory(s.AltConfigPath)));
}

}  // namespace
}  // namespace zolto::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  using namespace zolto::fuzz;
  const std::string_view text = AsText(data, size);
  {
    // The full edition, from the text ("@browse" exists only here).
    FuzzRun f;
    ApplyConfigurationText(f.run, text);
    CheckSettings(f);
  }
  {
    // The basic edition, from its configuration file.
    FuzzRun f(kBasicEdition);
    f.fs.AddFile(f.run.start.ConfigPath, std::string(text));
    FUZZ_CHECK(ReadConfiguration(f.run) == 1);
    CheckSettings(f);
  }
  return 0;
}
