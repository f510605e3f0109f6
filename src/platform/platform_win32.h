// The real platform: Win32 calls behind the seam.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/win32_owners.h"

namespace zolto {

class Win32Platform : public Platform {
 public:
  // The hidden host window owns message boxes, the clipboard and the shell
  // calls; it is set once the window exists.
  void SetHostWindow(HWND window) { host_ = window; }
  HWND HostWindow() const { return host_; }

  bool PathExists(const std::string& path) override;
  bool IsDirectory(const std::string& path) override;
  bool ReadWholeFile(const std::string& path, bool createIfMissing,
                     std::string& contents) override;
  bool ReadFilePart(const std::string& path, unsigned long long offset, size_t maxBytes,
                    std::string& contents) override;
  std::optional<unsigned long long> FileSize(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool RunAndWait(const std::string& commandLine, int timeoutMs) override;
  std::string FullPath(const std::string& path) override;
  std::string FindOnPath(const std::string* folders, const std::string& name) override;
  std::string PathVariable() override;
  std::string WindowsFolder() override;
  std::string SystemFolder() override;
  std::optional<std::string> SpecialFolderPath(int csidl) override;
  LocalTime Now() override;
  bool KeyDown(Key key) override;
  SystemMetrics Metrics() override;
  FontInfo MenuFont() override;
  bool IsLeadByte(unsigned char c) override;
  std::string ToAnsi(std::string_view utf8, bool& exact) override;
  std::string ToUtf8(std::string_view ansi) override;
  std::optional<UnicodeName> FindUnicodeName(std::string_view utf8) override;
  std::optional<std::vector<std::string>> ClipboardFiles() override;
  std::optional<std::string> ClipboardText() override;
  void ShowMessage(const std::string& textUtf8, const std::string& captionUtf8) override;
  bool Start(const ShellStart& start) override;
  void SleepMs(int milliseconds) override;
  std::optional<std::string> AssociatedProgram(const std::string& file) override;
  std::optional<std::string> LongFileName(const std::string& path) override;
  bool CrackUrl(const std::string& text, UrlParts& parts) override;
  bool LoadRegexLibrary() override;
  void FreeRegexLibrary() override;
  int RegexMatch(const std::string& expression, const std::string& subject) override;

 private:
  HWND host_ = nullptr;
  win32::Library regexLibrary_;
};

// Loads a library the program names without a folder (BREGEXP.DLL,
// imgctl.dll): from the program's own folder or the System folder, never
// from the current folder or the search path.
win32::Library LoadCompanionLibrary(const char* name);

// UTF-8 (the source's UI texts) or CP_ACP text (names, configuration text)
// to UTF-16 for the wide functions, and back to UTF-8.
using win32::Utf8Of;
using win32::Widen;

// Names the system gives in UTF-16 reach the core in the ANSI code page only
// when they convert exactly: Windows' best-fit conversion would turn "é"
// into "e" and "¥" into "\\", naming another file.
// The code page's text of wide, with '?' for each character it cannot hold;
// exact when every character converted and converts back unchanged.
std::string AnsiOf(std::wstring_view wide, bool& exact);
// A path from the system in the code page: as it is when it converts
// exactly, else its short form when the volume has one that does; nothing
// otherwise.
std::optional<std::string> AnsiPathOf(const std::wstring& path);

}  // namespace zolto
