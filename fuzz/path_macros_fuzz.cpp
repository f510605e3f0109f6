// Path and date macros: the first line of the input is the text to expand;
// the lines after it are user macros as the "@param" block holds them
// ("name | value"). The text is expanded at two dates; the result never
// passes the expansion's capacity.
#include "config/config.h"
#include "fuzz_common.h"
#include "launch/launch.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  using namespace zolto::fuzz;
  const std::vector<std::string_view> lines = Split(AsText(data, size), '\n');
  const std::string_view text = lines[0];
  FuzzRun f;
  Settings& s = f.run.settings;
  s.ParamMacrosOn = true;
  for (size_t i = 1; i < lines.size() && s.UserMacros.size() < kMaxUserMacros; ++i) {
    const size_t d = lines[i].find(s.Delimiter);
    if (d == std::string_view::npos) continue;
    s.UserMacros.push_back({CutToBytes(lines[i].substr(0, d), kMaxMacroName),
                            CutToBytes(lines[i].substr(d + s.Delimiter.size()), kMaxMacroValue)});
  }
  for (const LocalTime& now : {LocalTime{2010, 5, 3, 12, 0, 0},
                               LocalTime{30827, 12, 31, 23, 59, 59},
                               LocalTime{1601, 1, 1, 0, 0, 0}}) {
    f.fs.now = now;
    const std::string expanded = ExpandPathMacros(f.run, text);
    FUZZ_CHECK(expanded.size() <= kMaxMacroText);
  }
  // Without a macro name in it, a text only gets cut.
  s.UserMacros.clear();
  if (text.find('%') == std::string_view::npos)
    FUZZ_CHECK(ExpandPathMacros(f.run, text) == CutToBytes(text, kMaxMacroText));
  return 0;
}
