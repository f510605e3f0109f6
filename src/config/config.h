// The configuration file: locating and reading it, the [system] settings,
// the Explorer item filter, and the two helpers every reader of the file
// shares (the line reader and the program resolver).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zolto {

struct RunState;
class Platform;

// The configuration files: the main one, and the second one "@ext2=" names
// (read with Shift held).
enum class ConfigFile { Main, Second };

// Where the menu opens (stored here, acted on by the menu tracking).
enum MenuPositionCode : int {
  kMenuUnset = -1,
  kMenuActive = 0,
  kMenuCoordinates = 1,
  kMenuMouse = 2,
  kMenuMous2 = 3,
  kMenuCenter = 4,
};

// Capacities of the [system] values; longer texts are cut to them.
constexpr size_t kMaxDelimiter = 31;
constexpr size_t kMaxTitleTemplate = 31;
constexpr size_t kMaxMacroName = 19;
constexpr size_t kMaxMacroValue = 259;
constexpr size_t kMaxUserMacros = 10;
constexpr size_t kMaxListItem = 259;
constexpr size_t kMaxDialogText = 259;
constexpr size_t kMaxSearchList = 5199;
constexpr size_t kMaxFilterPrefixes = 50;
constexpr size_t kMaxLine = 517;

struct UserMacro {
  std::string name;
  std::string value;
};

struct ExplorerItemFilter {
  // "[add]" keeps only the listed items, "[del]" removes them.
  enum class Mode { None, KeepListed, RemoveListed } mode = Mode::None;
  std::vector<std::string> prefixes;
};

// The [system] section's values with their built-in defaults.
struct Settings {
  std::string Delimiter = " | ";
  bool ParamMacrosOn = false;
  std::vector<UserMacro> UserMacros;
  std::string ProgramSearchList;
  bool SearchListOn = false;
  int ShowIcons = 0;
  int MenuPosition = kMenuUnset;
  int MenuX = 0;
  int MenuY = 0;
  int NameLength = 0;
  std::string AltConfigPath;
  std::string EditorProgram;
  int FirstLaunchDelay = 0;
  int NextLaunchDelay = 0;
  int ExplorerMenuMode = 0;
  int ExplorerMenuFirst = 0;
  int SoleMark = 1;

  int PicturePreview = 0;
  int PictureSize = 200;
  int PictureNoHighlight = 0;
  std::vector<std::string> PictureTypes = {".jpg", ".jpeg", ".gif", ".png",
                                           ".bmp"};

  int TextPreview = 0;
  int TextPreviewWidth = 200;
  int TextPreviewLines = 20;
  int TextSkipEmptyLines = 0;
  std::string TextFontFace;
  int TextFontSize = 10;
  int TextNoHighlight = 0;
  int TabWidth = 4;
  std::vector<std::string> TextTypes = {".txt", ".ini"};

  int WebPreview = 0;
  std::string PageCaptureProgram;
  std::string CaptureArguments;
  int WebNoHighlight = 0;
  std::vector<std::string> WebFileTypes = {".htm", ".html"};
  std::vector<std::string> WebUrlTypes = {".htm", ".html", "blank"};

  int ForceActivate = 0;
  std::string DialogInitialText;
  std::string DialogTitleTemplate;
  int DialogTitleMode = 0;

  ExplorerItemFilter ExplorerFilter;

  int SmallIconWidth = 16;
  int SmallIconHeight = 16;
};

// A fixed line buffer that FetchLine fills without allocating.
struct LineBuffer {
  char data[kMaxLine + 3] = {};
  size_t length = 0;
  std::string_view view() const { return {data, length}; }
};

// Cuts the line that starts at byte start of text (reading no further than
// byte end) into line, dropping CR (and tabs unless keepTabs), at most 517
// characters. Returns the bytes consumed, LF included; for a last line
// without LF one more than the bytes scanned, so that the caller's test
// start + consumed > end rejects it.
size_t FetchLine(size_t start, size_t end, std::string_view text,
                 bool keepTabs, LineBuffer& line);

// Reads a text line by line with FetchLine's rules. A last line without LF
// is no line: Next refuses it and stays where it is.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text, size_t start = 0, bool keepTabs = false)
      : text_(text), position_(start), keepTabs_(keepTabs) {}
  // Reads the next complete line and moves past it; false at the end.
  bool Next();
  // Moves past the rest of the line the cursor is in (a header's own line),
  // whether or not a line feed ends it.
  void SkipLine();
  std::string_view Line() const { return line_.view(); }
  size_t LineStart() const { return lineStart_; }
  size_t Position() const { return position_; }
  void MoveTo(size_t position) { position_ = position; }

 private:
  std::string_view text_;
  size_t position_;
  size_t lineStart_ = 0;
  bool keepTabs_;
  LineBuffer line_;
};

// Turns a program name into a full path: the name itself, name + ".exe",
// the "@path=" folders, then the system search path. Returns the name
// unchanged, with found false, when nothing is found.
std::string ResolveProgram(RunState& run, std::string_view name, bool tryExe,
                           bool& found);

// Fills the program search list from a file ("path=" line, or the whole
// text with tabs and line breaks removed).
void LoadSearchList(RunState& run, const std::string& path);

// The [system] keys an edition reads (the web-preview key only when it has
// web previews), in the order a line is tested against them.
std::vector<std::string_view> SystemKeys(bool webPreview);

// Parses a "@menu=" / "/#m=" value; value must end in a line break.
void ParseMenuPosition(RunState& run, std::string_view value);

// Reads a configuration file (made empty first with createIfMissing); the
// text ends at its first NUL byte, as a C string does. When the file cannot
// be read, shows "設定ファイル異常" and gives nothing.
std::optional<std::string> ReadConfigurationText(RunState& run, const std::string& path,
                                                 bool createIfMissing);

// Locates and reads the configuration file and applies its [system] part and
// its [add]/[del] list. Returns 1, or 0 after reporting a file that cannot be
// opened.
int ReadConfiguration(RunState& run);

// The pieces of ReadConfiguration, for tests: apply a configuration text to
// the settings as if it had been read from ConfigPath.
void ApplyConfigurationText(RunState& run, std::string_view text);

}  // namespace zolto
