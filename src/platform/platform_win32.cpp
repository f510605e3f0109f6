#include "platform/platform_win32.h"

#include <shellapi.h>
#include <wininet.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "platform/dpi_win32.h"

namespace zolto {
namespace {

// The core names the special folders itself.
static_assert(kFolderDesktop == CSIDL_DESKTOP);
static_assert(kFolderPrograms == CSIDL_PROGRAMS);
static_assert(kFolderPersonal == CSIDL_PERSONAL);
static_assert(kFolderFavorites == CSIDL_FAVORITES);
static_assert(kFolderStartup == CSIDL_STARTUP);
static_assert(kFolderRecent == CSIDL_RECENT);
static_assert(kFolderSendTo == CSIDL_SENDTO);
static_assert(kFolderStartMenu == CSIDL_STARTMENU);
static_assert(kFolderMyMusic == CSIDL_MYMUSIC);
static_assert(kFolderMyVideo == CSIDL_MYVIDEO);
static_assert(kFolderDesktopDirectory == CSIDL_DESKTOPDIRECTORY);
static_assert(kFolderFonts == CSIDL_FONTS);
static_assert(kFolderCommonStartMenu == CSIDL_COMMON_STARTMENU);
static_assert(kFolderCommonPrograms == CSIDL_COMMON_PROGRAMS);
static_assert(kFolderCommonStartup == CSIDL_COMMON_STARTUP);
static_assert(kFolderCommonDesktopDirectory == CSIDL_COMMON_DESKTOPDIRECTORY);
static_assert(kFolderCommonFavorites == CSIDL_COMMON_FAVORITES);
static_assert(kFolderInternetCache == CSIDL_INTERNET_CACHE);
static_assert(kFolderCookies == CSIDL_COOKIES);
static_assert(kFolderHistory == CSIDL_HISTORY);
static_assert(kFolderWindows == CSIDL_WINDOWS);
static_assert(kFolderSystem == CSIDL_SYSTEM);
static_assert(kFolderProgramFiles == CSIDL_PROGRAM_FILES);
static_assert(kFolderMyPictures == CSIDL_MYPICTURES);
static_assert(kFolderCommonDocuments == CSIDL_COMMON_DOCUMENTS);
static_assert(kFolderCommonMusic == CSIDL_COMMON_MUSIC);
static_assert(kFolderCommonPictures == CSIDL_COMMON_PICTURES);
static_assert(kFolderCommonVideo == CSIDL_COMMON_VIDEO);

// A configuration or list file larger than this is refused rather than read.
constexpr LONGLONG kMaxFileBytes = 64LL << 20;

// A file opened for reading (shared read), existing or made empty.
win32::UniqueHandle OpenForReading(const std::string& path, DWORD disposition) {
  return win32::UniqueHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Holds the clipboard open for the host window.
class ClipboardLock {
 public:
  explicit ClipboardLock(HWND owner) : open_(OpenClipboard(owner) != 0) {}
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;
  bool open() const { return open_; }

 private:
  bool open_;
};

}  // namespace

std::string AnsiOf(std::wstring_view wide, bool& exact) {
  exact = true;
  if (wide.empty()) return "";
  // WC_NO_BEST_FIT_CHARS: a character without an exact counterpart becomes
  // the default character, never a look-alike. A UTF-8 code page takes
  // neither the flag nor a default character; the round trip finds its
  // losses (unpaired surrogates).
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* defaultCharacter = utf8 ? nullptr : "?";
  BOOL usedDefault = FALSE;
  BOOL* used = utf8 ? nullptr : &usedDefault;
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0,
                                    defaultCharacter, used);
  if (n <= 0) {
    exact = false;
    return "";
  }
  std::string ansi(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), size, ansi.data(), n, defaultCharacter, used);
  exact = !usedDefault && Widen(ansi, CP_ACP) == wide;
  return ansi;
}

namespace {

// The short form of an existing path, as the file system gives it.
std::optional<std::wstring> ShortPathOf(const std::wstring& path) {
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring shortPath(size, L'\0');
  const DWORD n = GetShortPathNameW(path.c_str(), shortPath.data(), size);
  if (n == 0 || n >= size) return std::nullopt;
  shortPath.resize(n);
  return shortPath;
}

// A path the system gives, fitting a 260-byte buffer in the code page.
std::string FittingAnsiPath(const wchar_t* buffer, DWORD length, DWORD capacity) {
  if (length == 0 || length >= capacity) return "";
  const std::optional<std::string> ansi = AnsiPathOf(std::wstring(buffer, length));
  return ansi && ansi->size() < MAX_PATH ? *ansi : "";
}

}  // namespace

namespace {

// Where the first name of a path starts: after "C:\\", after
// "\\\\server\\share\\", or at 0 for a relative path.
size_t RootLength(std::wstring_view path) {
  if (path.size() >= 2 && path[1] == L':') return path.size() > 2 && path[2] == L'\\' ? 3 : 2;
  if (path.substr(0, 2) != L"\\\\") return 0;
  size_t at = path.find(L'\\', 2);
  if (at != std::wstring_view::npos) at = path.find(L'\\', at + 1);
  return at == std::wstring_view::npos ? path.size() : at + 1;
}

}  // namespace

std::optional<std::string> AnsiPathOf(const std::wstring& path) {
  bool exact = false;
  std::string ansi = AnsiOf(path, exact);
  if (exact) return ansi;
  // Each name the code page cannot hold is replaced by its short name; the
  // others stay as they are, so the path reads as much like the user's as
  // it can.
  const size_t root = RootLength(path);
  ansi = AnsiOf(std::wstring_view(path).substr(0, root), exact);
  if (!exact) return std::nullopt;
  for (size_t start = root; start < path.size();) {
    size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring_view name = std::wstring_view(path).substr(start, end - start);
    std::string part = AnsiOf(name, exact);
    if (!exact) {
      const std::optional<std::wstring> shortPath = ShortPathOf(path.substr(0, end));
      if (!shortPath) return std::nullopt;
      part = AnsiOf(std::wstring_view(*shortPath).substr(shortPath->rfind(L'\\') + 1), exact);
      if (!exact) return std::nullopt;
    }
    ansi += part;
    if (end < path.size()) ansi += '\\';
    start = end + 1;
  }
  return ansi;
}

win32::Library LoadCompanionLibrary(const char* name) {
  // Explicit folders: the empty DLL directory set at start does not keep the
  // current folder (often the target's own) out of every search; under Wine
  // a plain LoadLibraryA still finds a DLL planted there.
  return win32::Library(LoadLibraryExA(
      name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
}

bool Win32Platform::PathExists(const std::string& path) {
  return !path.empty() && PathFileExistsA(path.c_str()) != 0;
}

bool Win32Platform::IsDirectory(const std::string& path) {
  return !path.empty() && PathIsDirectoryA(path.c_str()) != 0;
}

bool Win32Platform::ReadWholeFile(const std::string& path, bool createIfMissing,
                                  std::string& contents) {
  if (path.empty()) return false;
  win32::UniqueHandle file = OpenForReading(path, createIfMissing ? OPEN_ALWAYS : OPEN_EXISTING);
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxFileBytes) return false;
  contents.assign(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!contents.empty() &&
      !::ReadFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &read,
                  nullptr))
    return false;
  contents.resize(read);  // a short read gives the bytes read
  return true;
}

bool Win32Platform::ReadFilePart(const std::string& path, unsigned long long offset,
                                 size_t maxBytes, std::string& contents) {
  win32::UniqueHandle file = OpenForReading(path, OPEN_EXISTING);
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!file || !SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return false;
  contents.assign(maxBytes, '\0');
  DWORD read = 0;
  if (maxBytes > 0 && !::ReadFile(file.get(), contents.data(), static_cast<DWORD>(maxBytes),
                                  &read, nullptr))
    return false;
  contents.resize(read);
  return true;
}

std::optional<unsigned long long> Win32Platform::FileSize(const std::string& path) {
  win32::UniqueHandle file = OpenForReading(path, OPEN_EXISTING);
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size)) return std::nullopt;
  return static_cast<unsigned long long>(size.QuadPart);
}

bool Win32Platform::CreateFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32Platform::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool Win32Platform::RunAndWait(const std::string& commandLine, int timeoutMs) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;  // CreateProcessA may write into it
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                      nullptr, nullptr, &startup, &process))
    return false;
  const win32::UniqueHandle thread(process.hThread);
  const win32::UniqueHandle program(process.hProcess);
  const bool ended =
      WaitForSingleObject(program.get(), static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(program.get(), 1);  // a capture that hangs
  return ended;
}

std::string Win32Platform::FullPath(const std::string& path) {
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetFullPathNameW(Widen(path, CP_ACP).c_str(), MAX_PATH, buffer, nullptr);
  return FittingAnsiPath(buffer, n, MAX_PATH);
}

std::string Win32Platform::FindOnPath(const std::string* folders, const std::string& name) {
  wchar_t buffer[MAX_PATH];
  const std::wstring list = folders ? Widen(*folders, CP_ACP) : L"";
  const DWORD n = SearchPathW(folders ? list.c_str() : nullptr, Widen(name, CP_ACP).c_str(),
                              nullptr, MAX_PATH, buffer, nullptr);
  return FittingAnsiPath(buffer, n, MAX_PATH);
}

std::string Win32Platform::PathVariable() {
  const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  std::wstring path(size, L'\0');
  const DWORD n = size ? GetEnvironmentVariableW(L"PATH", path.data(), size) : 0;
  path.resize(n < size ? n : 0);
  std::string list;
  for (size_t start = 0; start < path.size();) {
    size_t end = path.find(L';', start);
    if (end == std::wstring::npos) end = path.size();
    std::wstring folder = path.substr(start, end - start);
    start = end + 1;
    if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"')
      folder = folder.substr(1, folder.size() - 2);
    const std::optional<std::string> ansi = AnsiPathOf(folder);
    if (!ansi || ansi->empty()) continue;  // a folder the code page cannot name
    if (!list.empty()) list += ';';
    list += *ansi;
  }
  return list;
}

std::string Win32Platform::WindowsFolder() {
  wchar_t buffer[MAX_PATH];
  return FittingAnsiPath(buffer, GetWindowsDirectoryW(buffer, MAX_PATH), MAX_PATH);
}

std::string Win32Platform::SystemFolder() {
  wchar_t buffer[MAX_PATH];
  return FittingAnsiPath(buffer, GetSystemDirectoryW(buffer, MAX_PATH), MAX_PATH);
}

std::optional<std::string> Win32Platform::SpecialFolderPath(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(host_, buffer, csidl, FALSE)) return std::nullopt;
  const std::string path = FittingAnsiPath(buffer, static_cast<DWORD>(wcslen(buffer)), MAX_PATH);
  if (path.empty()) return std::nullopt;
  return path;
}

LocalTime Win32Platform::Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

bool Win32Platform::KeyDown(Key key) {
  return (GetKeyState(key == Key::Shift ? VK_SHIFT : VK_CONTROL) & 0x8000) != 0;
}

SystemMetrics Win32Platform::Metrics() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYMAXIMIZED),
          GetSystemMetrics(SM_CMOUSEBUTTONS), GetSystemMetrics(SM_CXSMICON),
          GetSystemMetrics(SM_CYSMICON)};
}

FontInfo Win32Platform::MenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    return {};
  // Sizes in the settings are meant at 96 DPI; the menu scales them to its
  // monitor. The system gives the font at the system DPI.
  return {metrics.lfMenuFont.lfFaceName, MulDiv(metrics.lfMenuFont.lfHeight, kDesignDpi, SystemDpi())};
}

bool Win32Platform::IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

std::string Win32Platform::ToAnsi(std::string_view utf8, bool& exact) {
  return AnsiOf(Widen(utf8), exact);
}

std::string Win32Platform::ToUtf8(std::string_view ansi) { return Utf8Of(Widen(ansi, CP_ACP)); }

std::optional<UnicodeName> Win32Platform::FindUnicodeName(std::string_view utf8) {
  const std::wstring name = Widen(utf8);
  if (name.empty() || name.find(L'\0') != std::wstring::npos) return std::nullopt;
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (size == 0) return std::nullopt;
  std::wstring full(size, L'\0');
  const DWORD n = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
  if (n == 0 || n >= size) return std::nullopt;
  full.resize(n);
  const DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return UnicodeName{Utf8Of(full), (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                     AnsiPathOf(full).value_or("")};
}

std::optional<std::vector<std::string>> Win32Platform::ClipboardFiles() {
  if (!IsClipboardFormatAvailable(CF_HDROP)) return std::nullopt;
  ClipboardLock lock(host_);
  if (!lock.open()) return std::nullopt;
  HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
  if (!drop) return std::nullopt;
  std::vector<std::string> files;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // A longer name would come back cut, and a cut path names another file.
    if (DragQueryFileW(drop, i, nullptr, 0) >= MAX_PATH) continue;
    wchar_t name[MAX_PATH] = {};
    DragQueryFileW(drop, i, name, MAX_PATH);
    files.push_back(Utf8Of(name));
  }
  return files;
}

std::optional<std::string> Win32Platform::ClipboardText() {
  const bool wide = IsClipboardFormatAvailable(CF_UNICODETEXT);
  if (!wide && !IsClipboardFormatAvailable(CF_TEXT)) return std::nullopt;
  ClipboardLock lock(host_);
  if (!lock.open()) return std::nullopt;
  HGLOBAL data = GetClipboardData(wide ? CF_UNICODETEXT : CF_TEXT);
  if (!data) return std::nullopt;
  const void* text = GlobalLock(data);
  if (!text) return std::nullopt;
  // The text ends at its NUL, but never past the memory block.
  const size_t capacity = GlobalSize(data);
  std::string result =
      wide ? Utf8Of({static_cast<const wchar_t*>(text),
                     wcsnlen(static_cast<const wchar_t*>(text), capacity / sizeof(wchar_t))})
           : ToUtf8({static_cast<const char*>(text),
                     strnlen(static_cast<const char*>(text), capacity)});
  GlobalUnlock(data);
  return result;
}

void Win32Platform::ShowMessage(const std::string& textUtf8, const std::string& captionUtf8) {
  if (host_) SetForegroundWindow(host_);
  MessageBoxW(host_, Widen(textUtf8).c_str(), Widen(captionUtf8).c_str(), MB_OK);
}

bool Win32Platform::Start(const ShellStart& start) {
  auto orNull = [](const std::string& s) { return s.empty() ? nullptr : s.c_str(); };
  HINSTANCE result = ShellExecuteA(nullptr, orNull(start.verb), start.file.c_str(),
                                   orNull(start.parameters), orNull(start.directory),
                                   SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void Win32Platform::SleepMs(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

std::optional<std::string> Win32Platform::AssociatedProgram(const std::string& file) {
  wchar_t program[MAX_PATH] = {};
  if (reinterpret_cast<INT_PTR>(FindExecutableW(Widen(file, CP_ACP).c_str(), nullptr, program)) <=
      32)
    return std::nullopt;
  const std::string path = FittingAnsiPath(program, static_cast<DWORD>(wcslen(program)), MAX_PATH);
  if (path.empty()) return std::nullopt;
  return path;
}

std::optional<std::string> Win32Platform::LongFileName(const std::string& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Widen(path, CP_ACP).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(find);
  // A long name the code page cannot hold is given by its short name.
  for (const wchar_t* name : {data.cFileName, data.cAlternateFileName}) {
    bool exact = false;
    const std::string ansi = AnsiOf(name, exact);
    if (exact && !ansi.empty()) return ansi;
  }
  return std::nullopt;
}

namespace {

using CrackUrlFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPURL_COMPONENTSA);

// The address parser is the only thing the launcher takes from wininet.dll,
// which (with what it loads in turn) costs start-up time on every run; most
// runs are for files and never need it. Loaded from the system folder on
// first use, and kept.
CrackUrlFunction InternetCrackUrlFunction() {
  static const CrackUrlFunction crack = [] {
    HMODULE wininet = LoadLibraryExA("wininet.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return wininet ? reinterpret_cast<CrackUrlFunction>(
                         reinterpret_cast<void*>(GetProcAddress(wininet, "InternetCrackUrlA")))
                   : nullptr;
  }();
  return crack;
}

}  // namespace

bool Win32Platform::CrackUrl(const std::string& text, UrlParts& parts) {
  // The parser writes each part into a buffer of its own: the scheme's of 32
  // bytes, the others' of 260.
  char scheme[32] = {};
  char others[5][260] = {};
  URL_COMPONENTSA url{};
  url.dwStructSize = sizeof url;
  url.lpszScheme = scheme;
  url.dwSchemeLength = sizeof scheme;
  const std::pair<LPSTR*, DWORD*> fields[] = {
      {&url.lpszHostName, &url.dwHostNameLength}, {&url.lpszUserName, &url.dwUserNameLength},
      {&url.lpszPassword, &url.dwPasswordLength}, {&url.lpszUrlPath, &url.dwUrlPathLength},
      {&url.lpszExtraInfo, &url.dwExtraInfoLength}};
  for (size_t i = 0; i < std::size(fields); ++i) {
    *fields[i].first = others[i];
    *fields[i].second = sizeof others[i];
  }
  const CrackUrlFunction crack = InternetCrackUrlFunction();
  if (!crack || !crack(text.c_str(), 0, 0, &url)) return false;
  parts = UrlParts{scheme, others[0], others[1], others[2], others[3], others[4]};
  return true;
}

bool Win32Platform::LoadRegexLibrary() {
  regexLibrary_ = LoadCompanionLibrary("BREGEXP.DLL");
  return static_cast<bool>(regexLibrary_);
}

void Win32Platform::FreeRegexLibrary() { regexLibrary_.reset(); }

int Win32Platform::RegexMatch(const std::string& expression, const std::string& subject) {
  using MatchFunction = int(__cdecl*)(const char*, const char*, const char*, void**, char*);
  using FreeFunction = void(__cdecl*)(void*);
  if (!regexLibrary_) return kNoBMatch;
  auto match = reinterpret_cast<MatchFunction>(
      reinterpret_cast<void*>(GetProcAddress(regexLibrary_.get(), "BMatch")));
  if (!match) return kNoBMatch;
  void* handle = nullptr;
  char message[80] = {};
  const int result = match(expression.c_str(), subject.c_str(),
                           subject.c_str() + subject.size(), &handle, message);
  auto release = reinterpret_cast<FreeFunction>(
      reinterpret_cast<void*>(GetProcAddress(regexLibrary_.get(), "BRegfree")));
  if (release) release(handle);
  return result;
}

}  // namespace zolto
