// Command templates. The path and date macros apply here; the target,
// clipboard, dialog and list macros are expanded by the template engine.
#include "app/run.h"
#include "launch/launch.h"

namespace zolto {

std::string ExpandCommandTemplate(RunState& run, const std::string& templ,
                                  const std::string& program) {
  run.launch.ListQuoteMode = 0;
  return run.settings.ParamMacrosOn ? ExpandPathMacros(run, templ) : templ;
}

std::string ExpandUrlTemplate(RunState& run, const std::string& templ,
                              const std::string& program) {
  run.launch.ListQuoteMode = 0;
  return run.settings.ParamMacrosOn ? ExpandPathMacros(run, templ) : templ;
}

}  // namespace zolto
