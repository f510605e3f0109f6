// Where the menu opens, and what a chosen item does.
#include "app/run.h"
#include "menu/menu.h"
#include "text/text.h"

namespace zolto {
namespace {

constexpr unsigned kTrackFlags = kTrackReturnCommand | kTrackRightButton;
constexpr unsigned kCentredFlags = kTrackFlags | kTrackCenterAlign | kTrackVCenterAlign;
constexpr unsigned kMidLeftFlags = kTrackFlags | kTrackVCenterAlign;

MenuPlacement ScreenCentre(const SystemMetrics& m) {
  return {m.screenWidth / 2, m.maximizedHeight / 2, kCentredFlags};
}

void EditFile(RunState& run, const std::string& path) {
  RunProgram(run, run.settings.EditorProgram, PathQuoteSpaces(path));
}

void RunOrdinaryForTargets(RunState& run, const Entry& entry, int count) {
  for (int k = 0; k < count; ++k) {
    RunWithTarget(run, entry.command, run.targets.Working[static_cast<size_t>(k)]);
    WaitLaunchDelay(run.settings, run.platform, k);
  }
}

// Asks for a parameter with the given default; true when the user confirmed.
bool Ask(RunState& run, const std::string& program,
         const std::string& defaultText) {
  run.launch.DialogProgram = program;
  run.launch.ParameterDefault = defaultText;
  run.launch.DialogCount = 0;
  return OpenParameterDialog(run) != DialogResult::Cancelled;
}

void ActOnEntry(RunState& run, int index, bool control) {
  if (index < 0 || index >= run.entries.entryCount) return;
  const Entry& entry = run.entries.entries[static_cast<size_t>(index)];
  const int all = run.targets.WorkingCount;
  const int n = run.menu.AllTargetsRequested ? all : 1;
  if (entry.kind == kOrdinary) {
    if (!control) {
      RunOrdinaryForTargets(run, entry, n);
    } else if (Ask(run, entry.command, "")) {
      RunTemplateEntry(run, entry.command, run.launch.ParameterAnswer, entry.label, n);
    }
    return;
  }
  if (entry.kind != kParameter && entry.kind != kSoloParameter) return;
  const std::string program = run.entries.entries[static_cast<size_t>(entry.parentIndex)].command;
  if (!control) {
    const int m = run.menu.AllTargetsRequested || entry.perTarget == 1 ? all : 1;
    RunTemplateEntry(run, program, entry.command, entry.label, m);
  } else if (Ask(run, program, entry.command)) {
    RunTemplateEntry(run, program, run.launch.ParameterAnswer, entry.label, n);
  }
}

}  // namespace

MenuPlacement PlaceMenu(const RunState& run, const ScreenFacts& facts, MenuPlace place) {
  const MenuState& menu = run.menu;
  if (place == MenuPlace::Anchor) return {menu.AnchorX, menu.AnchorY, menu.AnchorFlags};
  const Settings& s = run.settings;
  const bool mouse = run.start.Metrics.mouseButtons > 0;
  switch (s.MenuPosition) {
    case kMenuCoordinates:
      return {s.MenuX, s.MenuY, kTrackFlags};
    case kMenuMouse:
      return mouse ? MenuPlacement{facts.cursorX, facts.cursorY, kTrackFlags} : ScreenCentre(run.start.Metrics);
    case kMenuMous2:
      return mouse ? MenuPlacement{facts.cursorX, facts.cursorY, kMidLeftFlags} : ScreenCentre(run.start.Metrics);
    case kMenuCenter:
      return ScreenCentre(run.start.Metrics);
    default: {
      const int width = facts.foregroundRight - facts.foregroundLeft;
      const int height = facts.foregroundBottom - facts.foregroundTop;
      if (!facts.hasForeground || width <= 0 || height <= 0) return ScreenCentre(run.start.Metrics);
      return {facts.foregroundLeft + width / 2, facts.foregroundTop + height / 2, kCentredFlags};
    }
  }
}

void ActOnMenuChoice(RunState& run, MenuActions& actions, int id, bool control) {
  if (id >= kIdFixedSeparator) {
    switch (id) {
      case kIdEditMain: EditFile(run, run.start.ConfigPath); break;
      case kIdEditSecond: EditFile(run, run.settings.AltConfigPath); break;
      case kIdHelp: EditFile(run, run.start.HelpTextPath); break;
      case kIdVersion: actions.ShowAbout(); break;
      case kIdClipboard:
        TakeClipboardTargets(run, run.menu.AllTargetsRequested ? ConfigFile::Second : ConfigFile::Main,
                             false);
        break;
      default: break;
    }
  } else if (id < kIdEntryBase) {
    actions.InvokeShellCommand(id);
  } else if (id >= kIdHeader && id <= kIdPreviewCaption) {
    if (control)
      RunTargets(run, run.selection.SecondConfig ? ConfigFile::Main : ConfigFile::Second,
                 MenuPlace::Anchor);
    else
      OpenWithAssociation(run, PathQuoteSpaces(run.targets.Working[0]));
  } else {
    ActOnEntry(run, id - kIdEntryBase, control);
  }
}

}  // namespace zolto
