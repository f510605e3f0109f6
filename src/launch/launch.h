// Composing commands: path and date macros (template expansion and launching
// build on these).
#pragma once

#include <string>
#include <string_view>

namespace zolto {

struct RunState;
struct Settings;
class Platform;

// The working text of a path-macro expansion holds at most this many
// characters; a replacement that would pass it is not made.
constexpr size_t kMaxMacroText = 519;

// Replaces the 38 built-in names (special folders, the program's folder and
// drive, date forms) and then the user macros of the "@param" block.
std::string ExpandPathMacros(RunState& run, std::string_view text);

}  // namespace zolto

namespace zolto {

// Returned by an expansion instead of a command when the user cancelled.
inline constexpr char kCancelMarker[] = "CancelData_Mirun";

// What the parameter dialog's user did: cancelled, confirmed, or confirmed
// with Ctrl held (the answer then serves every later "%X" of the expansion).
enum class DialogResult { Cancelled, Confirmed, ConfirmedWithControl };

// The list macro of the command about to start: none, "%M" in quotes, or bare.
enum class ListQuote { None, Quoted, Bare };

// State of launching and of the parameter dialog.
struct LaunchState {
  ListQuote ListQuoteMode = ListQuote::None;
  // A folder named by "%Z" for the next launch, with a trailing backslash.
  std::string WorkFolderOverride;
  std::string DialogProgram;
  std::string EntryLabelForTitle;
  // The parameter dialog's default text, the user's answer, and how often it
  // was asked in one expansion.
  std::string ParameterDefault;
  std::string ParameterTitle;  // the caption line; shown when TitleGiven
  int TitleGiven = 0;
  std::string ParameterAnswer;
  int DialogCount = 0;
};

// Waits the launch delay ("@dist=") that follows the start for target
// index: the first after target 0, the next after every later one.
void WaitLaunchDelay(const Settings& settings, Platform& platform, int index);

// Starts program with parameters in its own folder (or the "%Z" folder);
// hands over to the list start when the parameters hold a list macro.
void RunProgram(RunState& run, const std::string& program, const std::string& parameters);
// Starts a program entry without templates with the target as its one
// argument (a folder with its trailing backslash). A batch program is not
// started for a name that cmd.exe would expand.
void RunPlainEntry(RunState& run, const std::string& program, std::string target);
// The same without the folder backslash: the target, quoted as needed.
void RunWithTarget(RunState& run, const std::string& program, const std::string& target);
// Opens a target with its associated program, or the Open-with dialog.
void OpenWithAssociation(RunState& run, std::string target);
// Starts program once with every target in place of the list macro.
void StartWithTargetList(RunState& run, const std::string& parameters,
                         const std::string& program, const std::string& folder);
// Fills an "@system" entry's program and label from the first target.
void ResolveSystemEntry(RunState& run, int index);
// Expands template for the first count targets and runs program with each,
// waiting the launch delays; stops at the cancel marker.
void RunTemplateEntry(RunState& run, const std::string& program, const std::string& templ,
                      const std::string& label, int count);
// A plain program entry's argument: the target, quoted when a command
// interpreter would otherwise split it or read it as more than a name.
std::string QuoteTargetArgument(std::string_view target);

// Template expansion for files and for web addresses: the parameter text
// for the current target, or kCancelMarker when the user cancelled, a form
// is malformed, or the text would pass kMaxCommandText.
constexpr size_t kMaxCommandText = 1039;
std::string ExpandCommandTemplate(RunState& run, const std::string& templ,
                                  const std::string& program);
std::string ExpandUrlTemplate(RunState& run, const std::string& templ,
                              const std::string& program);

}  // namespace zolto
