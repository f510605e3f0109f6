#include "platform/platform_win32.h"

#include <shellapi.h>
#include <wininet.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "platform/dpi_win32.h"

namespace zolto {
namespace {

// A configuration or list file larger than this is refused rather than read.
constexpr LONGLONG kMaxFileBytes = 64LL << 20;

// Closes a kernel handle when it goes out of scope.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (valid()) CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

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

std::string FromBuffer(const char* buffer, DWORD length, DWORD capacity) {
  if (length == 0 || length >= capacity) return "";
  return std::string(buffer, length);
}

}  // namespace

std::wstring Widen(const std::string& text, UINT codePage) {
  const int n = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
  if (n <= 0) return L"";
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

HMODULE LoadCompanionLibrary(const char* name) {
  // Explicit folders: the empty DLL directory set at start does not keep the
  // current folder (often the target's own) out of every search; under Wine
  // a plain LoadLibraryA still finds a DLL planted there.
  return LoadLibraryExA(name, nullptr,
                        LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
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
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                createIfMissing ? OPEN_ALWAYS : OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
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

bool Win32Platform::ReadFileHead(const std::string& path, size_t maxBytes,
                                 std::string& contents) {
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  contents.assign(maxBytes, '\0');
  DWORD read = 0;
  if (maxBytes > 0 && !::ReadFile(file.get(), contents.data(), static_cast<DWORD>(maxBytes),
                                  &read, nullptr))
    return false;
  contents.resize(read);
  return true;
}

std::optional<unsigned long long> Win32Platform::FileSize(const std::string& path) {
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.valid() || !GetFileSizeEx(file.get(), &size)) return std::nullopt;
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
  CloseHandle(process.hThread);
  const bool ended = WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMs)) ==
                     WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);  // a capture that hangs
  CloseHandle(process.hProcess);
  return ended;
}

std::string Win32Platform::FullPath(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
  return FromBuffer(buffer, n, MAX_PATH);
}

std::string Win32Platform::FindOnPath(const std::string* folders, const std::string& name) {
  char buffer[MAX_PATH];
  const DWORD n = SearchPathA(folders ? folders->c_str() : nullptr, name.c_str(), nullptr,
                              MAX_PATH, buffer, nullptr);
  return FromBuffer(buffer, n, MAX_PATH);
}

std::string Win32Platform::WindowsFolder() {
  char buffer[MAX_PATH];
  return FromBuffer(buffer, GetWindowsDirectoryA(buffer, MAX_PATH), MAX_PATH);
}

std::string Win32Platform::SystemFolder() {
  char buffer[MAX_PATH];
  return FromBuffer(buffer, GetSystemDirectoryA(buffer, MAX_PATH), MAX_PATH);
}

std::optional<std::string> Win32Platform::SpecialFolderPath(int csidl) {
  char buffer[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(host_, buffer, csidl, FALSE)) return std::nullopt;
  return std::string(buffer);
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

std::optional<std::vector<std::string>> Win32Platform::ClipboardFiles() {
  if (!IsClipboardFormatAvailable(CF_HDROP)) return std::nullopt;
  ClipboardLock lock(host_);
  if (!lock.open()) return std::nullopt;
  HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
  if (!drop) return std::nullopt;
  std::vector<std::string> files;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // A longer name would come back cut, and a cut path names another file.
    if (DragQueryFileA(drop, i, nullptr, 0) >= MAX_PATH) continue;
    char name[MAX_PATH] = {};
    DragQueryFileA(drop, i, name, MAX_PATH);
    files.emplace_back(name);
  }
  return files;
}

std::optional<std::string> Win32Platform::ClipboardText() {
  if (!IsClipboardFormatAvailable(CF_TEXT)) return std::nullopt;
  ClipboardLock lock(host_);
  if (!lock.open()) return std::nullopt;
  HGLOBAL data = GetClipboardData(CF_TEXT);
  if (!data) return std::nullopt;
  const char* text = static_cast<const char*>(GlobalLock(data));
  if (!text) return std::nullopt;
  // The text ends at its NUL, but never past the memory block.
  const size_t capacity = GlobalSize(data);
  std::string result(text, strnlen(text, capacity));
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
  char program[MAX_PATH] = {};
  if (reinterpret_cast<INT_PTR>(::FindExecutableA(file.c_str(), nullptr, program)) <= 32)
    return std::nullopt;
  return std::string(program);
}

std::optional<std::string> Win32Platform::LongFileName(const std::string& path) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(find);
  return std::string(data.cFileName);
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
  char scheme[32] = {}, host[260] = {}, user[260] = {}, password[260] = {}, path[260] = {},
       extra[260] = {};
  URL_COMPONENTSA url{};
  url.dwStructSize = sizeof url;
  url.lpszScheme = scheme;
  url.dwSchemeLength = sizeof scheme;
  url.lpszHostName = host;
  url.dwHostNameLength = sizeof host;
  url.lpszUserName = user;
  url.dwUserNameLength = sizeof user;
  url.lpszPassword = password;
  url.dwPasswordLength = sizeof password;
  url.lpszUrlPath = path;
  url.dwUrlPathLength = sizeof path;
  url.lpszExtraInfo = extra;
  url.dwExtraInfoLength = sizeof extra;
  const CrackUrlFunction crack = InternetCrackUrlFunction();
  if (!crack || !crack(text.c_str(), 0, 0, &url)) return false;
  parts = UrlParts{scheme, host, user, password, path, extra};
  return true;
}

bool Win32Platform::LoadRegexLibrary() {
  regexLibrary_ = LoadCompanionLibrary("BREGEXP.DLL");
  return regexLibrary_ != nullptr;
}

void Win32Platform::FreeRegexLibrary() {
  if (regexLibrary_) FreeLibrary(regexLibrary_);
  regexLibrary_ = nullptr;
}

int Win32Platform::RegexMatch(const std::string& expression, const std::string& subject) {
  using MatchFunction = int(__cdecl*)(const char*, const char*, const char*, void**, char*);
  using FreeFunction = void(__cdecl*)(void*);
  if (!regexLibrary_) return kNoBMatch;
  auto match = reinterpret_cast<MatchFunction>(
      reinterpret_cast<void*>(GetProcAddress(regexLibrary_, "BMatch")));
  if (!match) return kNoBMatch;
  void* handle = nullptr;
  char message[80] = {};
  const int result = match(expression.c_str(), subject.c_str(),
                           subject.c_str() + subject.size(), &handle, message);
  auto release = reinterpret_cast<FreeFunction>(
      reinterpret_cast<void*>(GetProcAddress(regexLibrary_, "BRegfree")));
  if (release) release(handle);
  return result;
}

}  // namespace zolto
