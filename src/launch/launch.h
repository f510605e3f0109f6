// Composing commands: path and date macros (template expansion and launching
// build on these).
#pragma once

#include <string>
#include <string_view>

namespace zolto {

struct RunState;

// The working text of a path-macro expansion holds at most this many
// characters; a replacement that would pass it is not made.
constexpr size_t kMaxMacroText = 519;

// Replaces the 38 built-in names (special folders, the program's folder and
// drive, date forms) and then the user macros of the "@param" block.
std::string ExpandPathMacros(RunState& run, std::string_view text);

}  // namespace zolto
