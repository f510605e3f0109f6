// Targets and section selection: the target list from the command line or
// the clipboard, web addresses, one run over the targets, the headers that
// choose menu sections, and the decision between opening, running at once
// and showing the menu.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config.h"
#include "menu/menu.h"
#include "platform/platform.h"

namespace zolto {

struct RunState;

constexpr int kMaxTargets = 100;
constexpr size_t kMaxTargetToken = 519;  // bytes a token keeps
// The same token as UTF-8: a character the code page holds in one or two
// bytes takes at most three.
constexpr size_t kMaxUtf8Token = 3 * kMaxTargetToken;

// The targets of a run: existing files and folders (fully qualified, no
// trailing backslash; a drive root as "C:") and web addresses, each shorter
// than 260 characters. The full list is read back in one-by-one mode, where
// the working list holds one target at a time.
// Emptying a list sets its count to 0 and leaves the slots' texts, which a
// launch sequence still reads after a list start emptied the list.
struct TargetList {
  std::array<std::string, kMaxTargets> Working;
  std::array<std::string, kMaxTargets> Full;
  int WorkingCount = 0;
  int FullCount = 0;
  // Targets whose names the code page cannot hold are kept by their short
  // names; this gives each such target's real name (UTF-8), for what the
  // user reads. It holds for the whole run, so Clear leaves it.
  std::map<std::string, std::string> RealNames;
  // Names of the last build that could not be taken (UTF-8): files and
  // folders the code page cannot hold that have no short name.
  std::vector<std::string> Refused;

  void Clear() { WorkingCount = FullCount = 0; }
  bool IsFull() const { return WorkingCount >= kMaxTargets; }
  void Add(const std::string& target) {
    Working[static_cast<size_t>(WorkingCount++)] = target;
    Full[static_cast<size_t>(FullCount++)] = target;
  }
};

// Regular-expression library state.
enum class RegexState { NotLoaded, Loaded, Unavailable };

// Where a selection looked and what it decided, reported step by step for
// the configuration checker. The launcher leaves it unset.
class SelectionTrace {
 public:
  enum class Pass { First, CatchAll, All, ExtensionKey };
  // Hit: the term's test held (for an exclusion term: it excluded); Skipped:
  // its text is empty or too long, so it counts neither way; Ignored: not a
  // term the matcher knows.
  enum class Outcome { Hit, Miss, Skipped, Ignored };
  enum class Decision { Open, RunAtOnce, Menu, Stopped };

  virtual ~SelectionTrace() = default;
  // A header line (at byte pos of the text) is about to be matched; in the
  // basic edition, the extension key looked for (pos npos).
  virtual void Header(Pass pass, std::string_view line, size_t pos) = 0;
  virtual void Term(std::string_view term, bool exclusion, Outcome outcome) = 0;
  virtual void HeaderResult(int matched, int exclusion) = 0;
  // The section whose header line holds byte pos is parsed into the table.
  virtual void SectionTaken(Pass pass, size_t pos) = 0;
  // entry: the entry run at once, else -1. Called before anything starts.
  virtual void Decided(const RunState& run, Decision decision, int entry) = 0;
};

struct SelectionState {
  // 0 no exclusion term met, 1 one was tested and did not hit, -1 one hit.
  int Exclusion = 0;
  RegexState Regex = RegexState::NotLoaded;
  // While the run works from the second configuration file.
  bool SecondConfig = false;
  // The subject's kind as the kind terms found it, asked again by every
  // "[file]", "[folder]" and "[url]" term of the selection: good while the
  // subject is the same.
  struct SubjectKind {
    bool known = false;
    std::string subject;
    bool url = false;
    bool folder = false;
  } Subject;
  SelectionTrace* Trace = nullptr;
};

// ---- Target list ----

// Blanks separate targets on the command line, line breaks in clipboard
// text. The text is UTF-8, as the user gave it: a name that converts exactly
// to the code page is taken as it is; see AddUnicodeToken for the others.
// Shows the message for refused names.
enum class Separators { Blanks, LineBreaks };
void BuildTargetList(RunState& run, std::string_view text, Separators separators);
// A web address the program takes as a target: one the parser accepts, of
// scheme http, https, ftp, mailto or file (or one that begins with these
// letters), and without what could close a quote or break a line.
bool IsUrlTarget(Platform& platform, std::string_view text);
// The parts of a web address, when the platform's parser accepts it.
std::optional<UrlParts> CrackUrl(Platform& platform, std::string_view text);
// Reads the configuration text and selects sections for the targets; opens
// the menu when the choice is the user's. False after the configuration
// message.
bool RunTargets(RunState& run, ConfigFile file, MenuPlace place);
// Fills the target list from the clipboard and, unless fillOnly, goes on to
// RunTargets. False when the clipboard holds no usable target.
bool TakeClipboardTargets(RunState& run, ConfigFile file, bool fillOnly);
// The "URL=" address of an Internet shortcut file, or "".
std::string ReadShortcutUrl(Platform& platform, const std::string& path);

// ---- Names the code page cannot hold ----

// Shown, with the edition's caption and the names, for files and folders
// whose names the code page cannot hold and that have no short name.
inline constexpr char kUnrepresentableNames[] =
    "次の名前はこのシステムの文字コードで表せず、短い名前もないため、開けません。";

// A token (UTF-8) holding characters the code page cannot hold: path macros
// are expanded around them; then it must name an existing file or folder,
// which is taken by its short name, or be a web address, whose such
// characters are percent-encoded as UTF-8. Never a best-fit look-alike.
void AddUnicodeToken(RunState& run, std::string token);
// An existing file or folder of such a name: its short name is added, or
// its name is refused when it has none.
void AddUnicodePath(TargetList& targets, const UnicodeName& name);
// True when the UTF-8 text names an existing file or folder.
bool NamesExistingPath(Platform& platform, std::string_view utf8);
// Shows one message naming the refused names of the last build, if any.
void ReportRefusedNames(RunState& run);
// The name the user gave for a target, in UTF-8.
std::string ShownName(RunState& run, const std::string& target);
// Code-page text as the user reads it (UTF-8), each target kept by its short
// name shown by its real name.
std::string ShownText(RunState& run, std::string_view text);

// ---- Section selection ----

// 1 when the run was dealt with (started, opened, cancelled or stopped), 0
// when the menu must open. Selects the way the run's edition does.
int SelectSections(RunState& run, std::string_view text);
// The full edition's selection: header patterns, kinds and expressions.
int SelectByHeaders(RunState& run, std::string_view text);
// The basic edition's selection: "[.ext]" and "[folder]" keys.
int SelectByExtension(RunState& run, std::string_view text);
// With the entry table filled: opens the subject, runs its one entry, or
// returns 0 for the menu.
int DecideRun(RunState& run, const std::string& subject);
// Lines the full edition tries as first-pass headers.
bool IsFirstPassHeader(std::string_view line);

enum class PatternKind { BeginsWith, EndsWith, AllParts, OrderedParts, Expression };

// 1 when the header line matches the subject; updates the exclusion state.
int MatchHeader(RunState& run, std::string_view header, std::string_view subject);
int MatchPattern(RunState& run, std::string_view text, PatternKind kind,
                 std::string_view subject);
int LoadRegexLibrary(RunState& run);
void FreeRegexLibrary(RunState& run);

}  // namespace zolto
