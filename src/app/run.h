// The state of one run of the launcher. A process performs exactly one run;
// keeping its state in one object lets a test build a run from scratch.
#pragma once

#include <string>

#include "config/config.h"
#include "config/entries.h"
#include "editions/edition.h"
#include "launch/launch.h"
#include "menu/menu.h"
#include "platform/platform.h"
#include "targets/targets.h"

namespace zolto {

// Names and flags fixed at start-up.
struct StartupState {
  std::string ModulePath;  // the executable, quotes removed
  std::string ClassName;   // its base name: window class and title
  std::string ConfigName;  // ClassName + ".ini"
  std::string ProgramFolder;  // drive and folder, ending in '\\'
  std::string ProgramDrive;   // "C:" (empty for a network path)
  std::string ConfigPath;
  std::string HelpTextPath;
  std::string TempFolder;
  std::string PreviewBitmapPath;
  std::string ExplorerPath;
  SystemMetrics Metrics;    // screen width, maximised height, mouse buttons
  // The command-line tail as the user gave it (UTF-8), and in the code page
  // (each character it cannot hold as '?'): switches and the fallback target.
  std::string CommandLineUtf8;
  std::string CommandLine;
  bool ShiftFlag = false;
  bool ControlFlag = false;
  bool OneByOne = false;
};

// What the run shows the user: the Win32 front end, a recorder in tests.
class Frontend {
 public:
  virtual ~Frontend() = default;
  virtual void ShowPopupMenu(MenuKind kind, MenuPlace place) = 0;
  // The modal parameter dialog; the answer goes to run.launch.ParameterAnswer.
  virtual DialogResult OpenParameterDialog() = 0;
};

// The parameter dialog through the front end; cancelled when there is none.
inline DialogResult OpenParameterDialog(RunState& run);

struct RunState {
  RunState(Platform& platform, const Edition& edition)
      : platform(platform), edition(edition) {}

  Platform& platform;
  const Edition& edition;
  Frontend* frontend = nullptr;
  StartupState start;
  Settings settings;
  TargetList targets;
  SelectionState selection;
  EntryTable entries;
  LaunchState launch;
  MenuState menu;
  // The working-list slot that menus and expansion treat as the target; -1
  // stands for the command line.
  int currentTarget = -1;
};

inline DialogResult OpenParameterDialog(RunState& run) {
  return run.frontend ? run.frontend->OpenParameterDialog() : DialogResult::Cancelled;
}

// The current target's text.
inline const std::string& CurrentTarget(const RunState& run) {
  if (run.currentTarget >= 0 && run.currentTarget < kMaxTargets)
    return run.targets.Working[static_cast<size_t>(run.currentTarget)];
  return run.start.CommandLine;
}

}  // namespace zolto
