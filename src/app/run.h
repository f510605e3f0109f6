// The state of one run of the launcher. A process performs exactly one run;
// keeping its state in one object lets a test build a run from scratch.
#pragma once

#include <string>

#include "config/config.h"
#include "editions/edition.h"
#include "platform/platform.h"

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
  std::string CommandLine;  // the command-line tail
  int ShiftFlag = 0;
  int ControlFlag = 0;
  int OneByOne = 0;
  int SwallowNextClick = 0;
};

struct RunState {
  RunState(Platform& platform, const Edition& edition)
      : platform(platform), edition(edition) {}

  Platform& platform;
  const Edition& edition;
  StartupState start;
  Settings settings;
};

}  // namespace zolto
