// Start-up of a run: the names derived from the executable's own path, the
// held keys and switches read while the host window is created, and the
// dispatch that decides what the run shows.
//
// Where a run starts: WinMain (main_win32.cpp) creates the hidden host window;
// its WM_CREATE calls OnHostCreate below, and timer 610 calls
// StartupDispatch, which hands over to the targets, the clipboard or the
// target-less menu.
#pragma once

#include <string>
#include <string_view>

#include "app/run.h"

namespace zolto {

// The command-line switches, each found anywhere in the command line
// (case-insensitive, first occurrence). kSwitches lists them all, so that
// what documents them can be checked against it.
inline constexpr std::string_view kSwitchConfig = "/#s=";     // another configuration file
inline constexpr std::string_view kSwitchMenu = "/#m=";       // where the menu opens
inline constexpr std::string_view kSwitchOneByOne = "/#y";    // each target by itself
inline constexpr std::string_view kSwitchNoKeys = "/#x";      // held keys do not count
inline constexpr std::string_view kSwitchShift = "/#k=sft";   // as if Shift were (not) held
inline constexpr std::string_view kSwitchClipboard = "/#c";   // targets from the clipboard
inline constexpr std::string_view kSwitches[] = {kSwitchConfig, kSwitchMenu,  kSwitchOneByOne,
                                                 kSwitchNoKeys, kSwitchShift, kSwitchClipboard};

// Entry steps 1 to 3: the module path (quotes removed), the class name (the
// executable's base name) and ConfigName; keeps the command-line tail
// (UTF-8) and its code-page form.
void InitialiseNames(RunState& run, std::string_view modulePath,
                     std::string_view commandLine);

// Fills ProgramFolder, ProgramDrive, the help, temp and preview paths, the
// Explorer path and the screen metrics.
void DerivePaths(RunState& run);

// Applies "/#s=", "/#m=" and "/#y" (called before the configuration is read).
void ParseSwitches(RunState& run, std::string_view commandLine);

// WM_CREATE: paths, held keys, "/#x", "/#k=sft", the default ConfigPath,
// switches, the configuration file. True when the run goes on (arm timer
// 610); false when the configuration could not be read (close the window).
bool OnHostCreate(RunState& run);

// Which of the three start-up paths the dispatch took; Refused: the command
// line named only targets that could not be taken, and nothing ran.
enum class StartupPath { TargetlessMenu, Targets, Clipboard, Refused };

// Runs one start-up path. The caller closes the window afterwards.
StartupPath StartupDispatch(RunState& run);

// Shows the target-less menu, when there is a front end to show it.
void ShowTargetlessMenu(Frontend* frontend);

}  // namespace zolto
