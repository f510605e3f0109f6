// An in-memory platform for tests: a case-insensitive file system of Windows
// paths, scripted keys, clipboard, time and metrics, and logs of the messages
// shown and the programs started.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zolto {

class FakePlatform : public Platform {
 public:
  FakePlatform();

  // ---- Scripting ----
  // Adds a file (and its folders) with the given contents.
  void AddFile(const std::string& path, const std::string& contents = "");
  void AddFolder(const std::string& path);
  // A file that exists but cannot be opened (locked, no access).
  void LockFile(const std::string& path);
  std::optional<std::string> FileContents(const std::string& path) const;
  void SetCurrentFolder(const std::string& folder) { currentFolder_ = folder; }
  // SearchPathA without a list: the program's folder, the system folders,
  // then the current folder (the safe search order the launcher sets).
  std::string applicationFolder = "C:\\Tools";
  std::vector<std::string> systemSearchPath = {"C:\\Windows\\system32",
                                               "C:\\Windows"};
  std::string windowsFolder = "C:\\Windows";
  std::string systemFolder = "C:\\Windows\\system32";
  std::map<int, std::string> specialFolders;  // CSIDL -> path
  LocalTime now{2010, 5, 3, 12, 0, 0};
  SystemMetrics metrics{1280, 1024, 3, 16, 16};
  FontInfo menuFont{"MS UI Gothic", -12};
  bool shiftDown = false;
  bool controlDown = false;
  std::optional<std::vector<std::string>> clipboardFiles;  // UTF-8
  std::optional<std::string> clipboardText;                // UTF-8
  std::string pathVariable = "C:\\Windows\\system32;C:\\Windows";

  // The fake's code page: ASCII, and these characters (UTF-8 -> bytes);
  // every other character does not convert. By default a few characters of
  // code page 932, among them ones whose trail byte is '\\' or '|'.
  std::map<std::string, std::string> codePage;
  // A file or folder whose name the code page cannot hold, at its UTF-8
  // path; shortPath (added as an ordinary file or folder) is its short
  // name, or empty when the volume has none.
  void AddUnicodeFile(const std::string& utf8Path, const std::string& shortPath,
                      const std::string& contents = "");
  void AddUnicodeFolder(const std::string& utf8Path, const std::string& shortPath);

  // Associations: extension (".txt") -> program path; a file without one
  // cannot be opened by the shell.
  std::map<std::string, std::string> associations;
  // Starts of these files are refused by the shell.
  std::set<std::string> refusedStarts;
  // The regular-expression library: whether it loads, whether it exports
  // BMatch, and the matcher that stands for it.
  bool regexLibraryPresent = true;
  bool regexHasBMatch = true;
  std::function<int(const std::string&, const std::string&)> regexMatcher;
  int regexLoads = 0;
  int regexFrees = 0;

  // ---- Logs ----
  struct Message {
    std::string text;
    std::string caption;
  };
  std::vector<Message> messages;
  std::vector<ShellStart> starts;
  std::vector<int> sleeps;
  // Commands run and waited for; runner, when set, acts for the program.
  std::vector<std::string> waitedCommands;
  std::function<bool(const std::string&)> runner;
  int specialFolderCalls = 0;

  // ---- Platform ----
  bool PathExists(const std::string& path) override;
  bool IsDirectory(const std::string& path) override;
  bool ReadWholeFile(const std::string& path, bool createIfMissing,
                     std::string& contents) override;
  bool ReadFilePart(const std::string& path, unsigned long long offset, size_t maxBytes,
                    std::string& contents) override;
  std::optional<unsigned long long> FileSize(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  std::string FullPath(const std::string& path) override;
  std::string FindOnPath(const std::string* folders,
                         const std::string& name) override;
  std::string WindowsFolder() override { return windowsFolder; }
  std::string SystemFolder() override { return systemFolder; }
  std::optional<std::string> SpecialFolderPath(int csidl) override;
  LocalTime Now() override { return now; }
  bool KeyDown(Key key) override;
  SystemMetrics Metrics() override { return metrics; }
  FontInfo MenuFont() override { return menuFont; }
  bool IsLeadByte(unsigned char c) override;
  std::string PathVariable() override { return pathVariable; }
  std::string ToAnsi(std::string_view utf8, bool& exact) override;
  std::string ToUtf8(std::string_view ansi) override;
  std::optional<UnicodeName> FindUnicodeName(std::string_view utf8) override;
  std::optional<std::vector<std::string>> ClipboardFiles() override {
    return clipboardFiles;
  }
  std::optional<std::string> ClipboardText() override { return clipboardText; }
  void ShowMessage(const std::string& text, const std::string& caption) override;
  bool Start(const ShellStart& start) override;
  void SleepMs(int milliseconds) override { sleeps.push_back(milliseconds); }
  bool RunAndWait(const std::string& commandLine, int timeoutMs) override;
  std::optional<std::string> AssociatedProgram(const std::string& file) override;
  std::optional<std::string> LongFileName(const std::string& path) override;
  bool CrackUrl(const std::string& text, UrlParts& parts) override;
  bool LoadRegexLibrary() override;
  void FreeRegexLibrary() override { ++regexFrees; }
  int RegexMatch(const std::string& expression, const std::string& subject) override;

 private:
  struct Node {
    bool folder = false;
    bool locked = false;
    std::string contents;
    std::string name;  // the name as it was added
  };
  // The key of a path: qualified, '/' as '\\', ASCII upper case, no
  // trailing backslash.
  std::string KeyOf(const std::string& path) const;
  const Node* Find(const std::string& path) const;

  std::map<std::string, Node> nodes_;
  std::map<std::string, UnicodeName> unicodeNames_;  // by folded full path
  std::string currentFolder_ = "C:\\Work";
};

}  // namespace zolto
