// The configuration checker: runs the launcher's own start-up, selection,
// menu construction and template expansion for a configuration file and a
// command line, with every start, wait and message recorded instead of
// carried out, and explains what it saw. It also scans the file for likely
// mistakes. The console programs (tools/checker/) only parse arguments, pick
// the platform and print.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/entries.h"
#include "editions/edition.h"
#include "platform/platform.h"
#include "targets/targets.h"

namespace zolto {

// Exit statuses of the checker programs.
enum CheckStatus : int { kCheckClean = 0, kCheckWarnings = 1, kCheckFailed = 2 };

// Paths, words and clipboard text are UTF-8, as the user typed them.
struct CheckOptions {
  std::string configPath;             // a path as the platform names it
  std::vector<std::string> arguments; // the launcher's command line, one word each
  const Edition* edition = &kFullEdition;
  std::optional<std::string> clipboard;  // text in place of the real clipboard
  bool json = false;
  std::string drives;  // the folder holding a folder per drive (native only)
};

// Parses the checker's arguments (without the program name). The edition
// defaults by the program's name: a name without "_c" before "_check" is the
// basic edition. False with a message on bad usage.
bool ParseCheckArguments(const std::vector<std::string>& args, std::string_view programName,
                         CheckOptions& options, std::string& error);
extern const char kCheckUsage[];

// One thing the run would have done to the system.
struct CheckAction {
  enum Kind { Start, RunAndWait, Message, Sleep, CreateFolder, RemoveFile } kind = Start;
  ShellStart start;      // Start
  std::string text;      // RunAndWait: the command line; Message: text (UTF-8); others: the path
  int milliseconds = 0;  // Sleep
  bool accepted = true;  // Start: whether the shell would take it
};

// A parameter dialog the expansion would open.
struct CheckAsk {
  std::string title;  // empty: the dialog's own caption
  std::string defaultText;
};

using TracePass = SelectionTrace::Pass;
using TraceOutcome = SelectionTrace::Outcome;
using TraceDecision = SelectionTrace::Decision;

struct CheckTerm {
  std::string text;
  bool exclusion = false;
  TraceOutcome outcome = TraceOutcome::Miss;
};

struct CheckHeader {
  TracePass pass = TracePass::First;
  int line = 0;  // 1-based; 0 for the basic edition's key
  std::string text;
  std::vector<CheckTerm> terms;
  int matched = 0;
  int exclusion = 0;
  bool taken = false;
};

struct CheckSection {
  TracePass pass = TracePass::First;
  int line = 0;
  std::string header;     // the whole header line
  int firstEntry = 0;     // its entries: [firstEntry, endEntry)
  int endEntry = 0;
  bool discarded = false; // cleared again before the decision
};

struct CheckMenuItem {
  enum Kind { Item, Separator, Preview, Caption, ShellMenu } kind = Item;
  int id = 0;
  std::string label;
  bool labelUtf8 = false;  // captions and the header: UTF-8 already
  std::string icon;  // the icon's source, when items show icons
  bool columnBreak = false;
  bool hasSubmenu = false;
  std::vector<CheckMenuItem> submenu;
};

// What choosing one entry would run.
struct CheckCommand {
  int entry = 0;
  std::string label;
  std::vector<CheckAction> actions;
  std::vector<CheckAsk> asks;
};

// One selection: one per run, or one per target in one-by-one mode.
struct CheckSelection {
  std::string subject;
  std::string key;  // the basic edition's extension key
  std::vector<CheckHeader> headers;
  std::vector<CheckSection> sections;
  std::vector<Entry> entries;
  int ordinaryCount = 0;
  int firstOrdinary = 0;
  TraceDecision decision = TraceDecision::Open;
  int decisionEntry = -1;
  bool oneByOne = false;
  std::vector<CheckMenuItem> menu;  // when the menu opens
  std::vector<CheckCommand> commands;
  std::vector<CheckAction> actions;  // what this selection itself did
  std::vector<CheckAsk> asks;
};

struct CheckWarning {
  int line = 0;  // 0: the file as a whole
  std::string code;
  std::string message;
};

struct CheckReport {
  std::string configPath;
  std::string edition;
  bool readable = false;
  std::string commandLine;
  std::vector<std::string> targets;
  std::vector<std::string> targetKinds;  // "file", "folder", "web address"
  std::string path;  // "targets", "clipboard", "refused" or "target-less menu"
  std::vector<CheckSelection> selections;
  std::vector<CheckAction> otherActions;  // outside any selection
  std::vector<CheckWarning> warnings;
  int status = kCheckClean;
};

// Checks the configuration for the command line. Nothing is started, shown,
// created or removed: the platform is only asked about files, associations
// and the search path.
CheckReport CheckConfiguration(Platform& platform, const CheckOptions& options);

// The static scan alone: sections without "%end", programs that cannot be
// found, [system] keys, unreachable sections. run holds the settings read
// from text.
std::vector<CheckWarning> ScanConfiguration(RunState& run, std::string_view text);

// Converts configuration text (ANSI code page) for output; identity by
// default. Message texts are UTF-8 already and are not converted.
using TextEncoder = std::string (*)(std::string_view);
std::string FormatReportText(const CheckReport& report, TextEncoder encode = nullptr);
// JSON; strings are passed through encode, which must give UTF-8.
std::string FormatReportJson(const CheckReport& report, TextEncoder encode = nullptr);

}  // namespace zolto
