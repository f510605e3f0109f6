// The seam between the portable core and the operating system. The core asks
// for everything outside itself through this interface: Win32Platform is the
// real one, FakePlatform (tests) an in-memory stand-in.
//
// Paths and texts are ANSI-code-page bytes; message texts and captions are
// UTF-8 (the Win32 side shows them through the wide functions). Names from
// outside the program (the command line, the clipboard) arrive as UTF-8 and
// reach the core's ANSI world only through ToAnsi or FindUnicodeName: a path
// the system gives back (full paths, search hits, special folders, the
// associated program) is given in the code page exactly, or in its short
// form, or not at all; never as a best-fit look-alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zolto {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

struct SystemMetrics {
  int screenWidth = 0;      // SM_CXSCREEN
  int maximizedHeight = 0;  // SM_CYMAXIMIZED
  int mouseButtons = 0;     // SM_CMOUSEBUTTONS; 0 means no mouse
  int smallIconWidth = 16;  // SM_CXSMICON
  int smallIconHeight = 16; // SM_CYSMICON
};

struct FontInfo {
  std::string face;
  int height = 0;  // as the system reports it (may be negative)
};

// The special folders the path macros name: their CSIDL numbers, which the
// Win32 platform checks against the system's own constants.
enum SpecialFolder : int {
  kFolderDesktop = 0x00,
  kFolderPrograms = 0x02,
  kFolderPersonal = 0x05,
  kFolderFavorites = 0x06,
  kFolderStartup = 0x07,
  kFolderRecent = 0x08,
  kFolderSendTo = 0x09,
  kFolderStartMenu = 0x0B,
  kFolderMyMusic = 0x0D,
  kFolderMyVideo = 0x0E,
  kFolderDesktopDirectory = 0x10,
  kFolderFonts = 0x14,
  kFolderCommonStartMenu = 0x16,
  kFolderCommonPrograms = 0x17,
  kFolderCommonStartup = 0x18,
  kFolderCommonDesktopDirectory = 0x19,
  kFolderCommonFavorites = 0x1F,
  kFolderInternetCache = 0x20,
  kFolderCookies = 0x21,
  kFolderHistory = 0x22,
  kFolderWindows = 0x24,
  kFolderSystem = 0x25,
  kFolderProgramFiles = 0x26,
  kFolderMyPictures = 0x27,
  kFolderCommonDocuments = 0x2E,
  kFolderCommonMusic = 0x35,
  kFolderCommonPictures = 0x36,
  kFolderCommonVideo = 0x37,
};

// Virtual-key codes the core asks about.
enum class Key { Shift, Control };

// The components of a web address (InternetCrackUrlA).
struct UrlParts {
  std::string scheme;
  std::string host;
  std::string user;
  std::string password;
  std::string path;
  std::string extra;
};

// Splits an address the way the system parser does for the forms the
// launcher meets; false when text has no scheme. For platforms without that
// parser (the test fake, the checker on Linux).
bool SplitUrl(const std::string& text, UrlParts& parts);

// An existing file or folder named by a UTF-8 name that the ANSI code page
// cannot hold.
struct UnicodeName {
  std::string fullPath;   // UTF-8, fully qualified
  bool folder = false;
  // Its path in the code page, each name the code page cannot hold given by
  // its short name; empty when one has none.
  std::string shortPath;
};

// One request to start a program or open a document (ShellExecuteA).
struct ShellStart {
  std::string verb;        // empty: the default verb
  std::string file;
  std::string parameters;
  std::string directory;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // ---- Files ----
  // PathFileExistsA: a file or a folder of that name exists.
  virtual bool PathExists(const std::string& path) = 0;
  // PathIsDirectoryA.
  virtual bool IsDirectory(const std::string& path) = 0;
  // Reads a whole file. With createIfMissing a missing file is first created
  // empty (OPEN_ALWAYS). False when the file cannot be opened or read (a
  // folder, a locked file, a path that cannot exist).
  virtual bool ReadWholeFile(const std::string& path, bool createIfMissing,
                             std::string& contents) = 0;
  // Reads at most maxBytes of a file from byte offset on (OPEN_EXISTING);
  // nothing at or past its end.
  virtual bool ReadFilePart(const std::string& path, unsigned long long offset, size_t maxBytes,
                            std::string& contents) = 0;
  // The size of a file, if it can be opened.
  virtual std::optional<unsigned long long> FileSize(const std::string& path) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // GetFullPathNameA: empty when it fails or the result does not fit 260 bytes.
  virtual std::string FullPath(const std::string& path) = 0;
  // SearchPathA for name along folders (a ';' list), or along the system
  // search path when folders is null. Empty when nothing is found.
  virtual std::string FindOnPath(const std::string* folders,
                                 const std::string& name) = 0;
  // The PATH variable's absolute folders, ';'-separated, in the code page:
  // for searches that must not look in the current folder.
  virtual std::string PathVariable() = 0;
  // The Windows folder and the System folder, without trailing backslash.
  virtual std::string WindowsFolder() = 0;
  virtual std::string SystemFolder() = 0;
  // SHGetSpecialFolderPathA for a CSIDL, without trailing backslash; nothing
  // when the system cannot supply the folder.
  virtual std::optional<std::string> SpecialFolderPath(int csidl) = 0;

  // ---- System state ----
  virtual LocalTime Now() = 0;
  virtual bool KeyDown(Key key) = 0;
  virtual SystemMetrics Metrics() = 0;
  // The system's menu font (SPI_GETNONCLIENTMETRICS, lfMenuFont).
  virtual FontInfo MenuFont() = 0;
  virtual bool IsLeadByte(unsigned char c) = 0;

  // ---- Text from outside the program ----
  // UTF-8 text in the ANSI code page, with '?' for each character the code
  // page cannot hold (never a best-fit look-alike). exact: every character
  // converted and converts back unchanged.
  virtual std::string ToAnsi(std::string_view utf8, bool& exact) = 0;
  // Code-page text as UTF-8, for what the user reads.
  virtual std::string ToUtf8(std::string_view ansi) = 0;
  // The file or folder a UTF-8 name names (relative names from the current
  // folder), if one exists.
  virtual std::optional<UnicodeName> FindUnicodeName(std::string_view utf8) = 0;

  // ---- Clipboard (UTF-8) ----
  // The CF_HDROP file list, if the clipboard offers one.
  virtual std::optional<std::vector<std::string>> ClipboardFiles() = 0;
  // The clipboard's text (CF_UNICODETEXT), if it offers text.
  virtual std::optional<std::string> ClipboardText() = 0;

  // ---- User interface and starting programs ----
  // Brings the host window to the foreground and shows an OK message box.
  virtual void ShowMessage(const std::string& textUtf8,
                           const std::string& captionUtf8) = 0;
  // ShellExecuteA; true when the shell accepted the request.
  virtual bool Start(const ShellStart& start) = 0;
  // FindExecutableA: the program associated with a file, if any.
  virtual std::optional<std::string> AssociatedProgram(const std::string& file) = 0;
  // The long file name (without folder) the file system reports for a path
  // (FindFirstFileA), if the path exists.
  virtual std::optional<std::string> LongFileName(const std::string& path) = 0;
  // InternetCrackUrlA; false when the parser rejects the text.
  virtual bool CrackUrl(const std::string& text, UrlParts& parts) = 0;

  // ---- The regular-expression library, loaded by name ----
  virtual bool LoadRegexLibrary() = 0;
  virtual void FreeRegexLibrary() = 0;
  // BMatch on the loaded library (then BRegfree); kNoBMatch when the library
  // lacks it.
  static constexpr int kNoBMatch = -1000;
  virtual int RegexMatch(const std::string& expression, const std::string& subject) = 0;
  virtual void SleepMs(int milliseconds) = 0;
  // Starts a command line (CreateProcessA) and waits for it to end, at most
  // timeoutMs; a process still running then is ended. True when it ran and
  // ended by itself.
  virtual bool RunAndWait(const std::string& commandLine, int timeoutMs) = 0;
};

}  // namespace zolto
