// What the checker program needs from the system it runs on: the platform
// the core asks about files, and how configuration text is printed. One
// implementation for Windows (the real Win32 platform), one native (a
// folder stands in for each drive).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "checker/checker.h"

namespace zolto {

// Prepares the platform; may rewrite the paths in options into the form the
// platform understands. Null with a message when it cannot.
std::unique_ptr<Platform> MakeCheckerPlatform(CheckOptions& options, std::string& error);

// The program's arguments (without its name) in UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Configuration text (ANSI code page) as UTF-8, for JSON.
std::string AnsiToUtf8(std::string_view text);
// Configuration text as the console shows it.
std::string AnsiToConsole(std::string_view text);

}  // namespace zolto
