// The checker on Linux: Windows paths over Linux folders. With --drives DIR
// the folder DIR/C stands for C:\, DIR/D for D:\ and so on; Z:\ stands for
// the root "/" (as under Wine) unless DIR/Z exists. Names are matched without
// regard to case, as Windows does. Regular expressions use the same matcher
// as BREGEXP.DLL.
#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>

#include "bmatch.h"
#include "checker_system.h"
#include "text/text.h"

namespace zolto {
namespace {

std::string Convert(std::string_view text, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string in(text);
  std::string out(in.size() * 4 + 4, '\0');
  char* src = in.data();
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  const size_t done = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1)) {
    // Not code page 932 text: keep ASCII, mark the rest.
    std::string ascii(text);
    for (char& c : ascii)
      if (static_cast<unsigned char>(c) >= 0x80) c = '?';
    return ascii;
  }
  out.resize(out.size() - dstLeft);
  return out;
}

// The code page's text of one UTF-8 character, when it has one.
std::optional<std::string> Cp932Character(std::string_view character) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in(character);
  char out[8];
  char* src = in.data();
  size_t srcLeft = in.size();
  char* dst = out;
  size_t dstLeft = sizeof out;
  const size_t done = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1) || srcLeft != 0) return std::nullopt;
  return std::string(out, sizeof out - dstLeft);
}

class DrivePlatform : public Platform {
 public:
  DrivePlatform(std::string drives, std::string currentFolder)
      : drives_(std::move(drives)), current_(std::move(currentFolder)) {}

  // Where SearchPathA looks first: the program's folder.
  std::string applicationFolder;

  // The Linux path for a fully qualified Windows path, or "" when no folder
  // stands for its drive. Each name is matched without regard to case.
  // Linux names are UTF-8: the path's names are code page 932 text unless
  // utf8Names.
  std::string LinuxPath(const std::string& windowsPath, bool utf8Names = false) const {
    std::string full = PathCanonicalize(windowsPath);
    for (char& c : full)
      if (c == '/') c = '\\';
    if (full.size() < 2 || full[1] != ':' || !std::isalpha(static_cast<unsigned char>(full[0])))
      return "";
    std::string path = DriveFolder(static_cast<char>(std::toupper(full[0])));
    if (path.empty()) return "";
    size_t start = 2;
    while (start < full.size()) {
      size_t end = full.find('\\', start);
      if (end == std::string::npos) end = full.size();
      std::string name = full.substr(start, end - start);
      start = end + 1;
      if (name.empty()) continue;
      if (!utf8Names) name = Convert(name, "CP932", "UTF-8");
      path = Child(path, name);
      if (path.empty()) return "";
    }
    return path;
  }

  bool PathExists(const std::string& path) override { return Stat(path) != nullptr; }
  bool IsDirectory(const std::string& path) override {
    const struct stat* st = Stat(path);
    return st && S_ISDIR(st->st_mode);
  }
  bool ReadWholeFile(const std::string& path, bool, std::string& contents) override {
    return ReadFilePart(path, 0, std::string::npos, contents);
  }
  bool ReadFilePart(const std::string& path, unsigned long long offset, size_t maxBytes,
                    std::string& contents) override {
    if (IsDirectory(path)) return false;
    const std::string linux = LinuxPath(Qualified(path));
    std::ifstream in(linux, std::ios::binary);
    if (linux.empty() || !in) return false;
    contents.clear();
    if (!in.seekg(static_cast<std::streamoff>(offset))) return true;  // past the end
    char buffer[65536];
    while (contents.size() < maxBytes && in.read(buffer, sizeof buffer).gcount() > 0)
      contents.append(buffer, static_cast<size_t>(in.gcount()));
    if (contents.size() > maxBytes) contents.resize(maxBytes);
    return true;
  }
  std::optional<unsigned long long> FileSize(const std::string& path) override {
    const struct stat* st = Stat(path);
    if (!st || S_ISDIR(st->st_mode)) return std::nullopt;
    return static_cast<unsigned long long>(st->st_size);
  }
  // The checker changes nothing.
  bool CreateFolder(const std::string&) override { return false; }
  bool RemoveFile(const std::string&) override { return false; }
  std::string FullPath(const std::string& path) override {
    if (path.empty()) return "";
    const std::string full = Qualified(path);
    return full.size() < kMaxPath ? full : "";
  }
  std::string FindOnPath(const std::string* folders, const std::string& name) override {
    std::vector<std::string> list;
    if (folders) {
      std::stringstream in(*folders);
      for (std::string folder; std::getline(in, folder, ';');)
        if (!folder.empty()) list.push_back(folder);
    } else {
      list = {applicationFolder, SystemFolder(), WindowsFolder(), current_};
    }
    for (const std::string& folder : list) {
      const std::string candidate = FullPath(PathAddBackslash(folder) + name);
      if (!candidate.empty() && PathExists(candidate) && !IsDirectory(candidate)) return candidate;
    }
    return "";
  }
  std::string WindowsFolder() override { return "C:\\Windows"; }
  std::string SystemFolder() override { return "C:\\Windows\\system32"; }
  std::optional<std::string> SpecialFolderPath(int) override { return std::nullopt; }
  LocalTime Now() override {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  }
  bool KeyDown(Key) override { return false; }
  SystemMetrics Metrics() override { return {1280, 1024, 3, 16, 16}; }
  FontInfo MenuFont() override { return {"MS UI Gothic", -12}; }
  bool IsLeadByte(unsigned char c) override { return Cp932LeadByte(c); }
  std::string PathVariable() override { return ""; }
  std::string ToAnsi(std::string_view utf8, bool& exact) override {
    exact = true;
    std::string ansi;
    for (size_t i = 0; i < utf8.size();) {
      const std::string_view character = utf8.substr(i, Utf8CharLength(utf8, i));
      i += character.size();
      std::optional<std::string> converted = Cp932Character(character);
      exact = exact && converted.has_value();
      ansi += converted.value_or("?");
    }
    return ansi;
  }
  std::string ToUtf8(std::string_view ansi) override { return Convert(ansi, "CP932", "UTF-8"); }
  // Linux has no short names: such a name exists, but cannot be taken.
  std::optional<UnicodeName> FindUnicodeName(std::string_view utf8) override {
    const std::string full = Qualified(std::string(utf8));
    const std::string linux = LinuxPath(full, true);
    struct stat st;
    if (linux.empty() || stat(linux.c_str(), &st) != 0) return std::nullopt;
    return UnicodeName{full, S_ISDIR(st.st_mode), ""};
  }
  std::optional<std::vector<std::string>> ClipboardFiles() override { return std::nullopt; }
  std::optional<std::string> ClipboardText() override { return std::nullopt; }
  void ShowMessage(const std::string&, const std::string&) override {}
  bool Start(const ShellStart&) override { return false; }
  // No associations are known here, except that a program opens itself.
  std::optional<std::string> AssociatedProgram(const std::string& file) override {
    if (PathExists(file) && EqualsI(SplitPath(file).ext, ".exe")) return FullPath(file);
    return std::nullopt;
  }
  std::optional<std::string> LongFileName(const std::string& path) override {
    const std::string linux = LinuxPath(Qualified(path));
    if (linux.empty()) return std::nullopt;
    bool exact = false;
    const std::string name = ToAnsi(linux.substr(linux.rfind('/') + 1), exact);
    if (!exact) return std::nullopt;
    return name;
  }
  bool CrackUrl(const std::string& text, UrlParts& parts) override {
    if (text.find(':') == 1) return false;  // "C:" is a drive
    return SplitUrl(text, parts);
  }
  bool LoadRegexLibrary() override { return true; }
  void FreeRegexLibrary() override {}
  int RegexMatch(const std::string& expression, const std::string& subject) override {
    bregexp::Expression* handle = nullptr;
    char message[bregexp::kMessageSize];
    const int result = bregexp::Match(expression.c_str(), subject.data(),
                                      subject.data() + subject.size(), &handle, message);
    bregexp::Free(handle);
    return result;
  }
  void SleepMs(int) override {}
  bool RunAndWait(const std::string&, int) override { return false; }

 private:
  std::string Qualified(const std::string& path) const {
    std::string p = path;
    for (char& c : p)
      if (c == '/') c = '\\';
    const bool qualified = p.size() >= 2 && p[1] == ':';
    if (!qualified) p = (p.rfind('\\', 0) == 0 ? current_.substr(0, 2) : PathAddBackslash(current_)) + p;
    return PathCanonicalize(p);
  }
  const struct stat* Stat(const std::string& path) {
    if (path.empty()) return nullptr;
    const std::string linux = LinuxPath(Qualified(path));
    if (linux.empty() || stat(linux.c_str(), &stat_) != 0) return nullptr;
    return &stat_;
  }
  std::string DriveFolder(char letter) const {
    if (!drives_.empty()) {
      const std::string folder = Child(drives_, std::string(1, letter));
      if (!folder.empty()) return folder;
    }
    return letter == 'Z' ? "/" : "";
  }
  // folder/name, or the entry of folder whose name equals name without
  // regard to case; "" when there is none.
  static std::string Child(const std::string& folder, const std::string& name) {
    const std::string base = folder == "/" ? "" : folder;
    struct stat st;
    if (stat((base + "/" + name).c_str(), &st) == 0) return base + "/" + name;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return "";
    std::string found;
    while (const dirent* entry = readdir(dir)) {
      if (EqualsI(entry->d_name, name)) {
        found = base + "/" + entry->d_name;
        break;
      }
    }
    closedir(dir);
    return found;
  }

  std::string drives_;
  std::string current_;
  struct stat stat_ {};
};

// An absolute Linux path in the form the drives give it: under DIR/X it is
// X:\..., anywhere else Z:\... .
std::string WindowsPathOf(const std::string& drives, std::string linux) {
  if (!linux.empty() && linux[0] != '/') {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd)) linux = std::string(cwd) + "/" + linux;
  }
  std::string drive = "Z:";
  if (!drives.empty()) {
    const std::string prefix = drives.back() == '/' ? drives : drives + "/";
    if (linux.rfind(prefix, 0) == 0 && linux.size() > prefix.size() &&
        std::isalpha(static_cast<unsigned char>(linux[prefix.size()])) &&
        (linux.size() == prefix.size() + 1 || linux[prefix.size() + 1] == '/')) {
      drive = std::string(1, static_cast<char>(std::toupper(linux[prefix.size()]))) + ":";
      linux = linux.substr(prefix.size() + 1);
    }
  }
  for (char& c : linux)
    if (c == '/') c = '\\';
  if (linux.empty()) linux = "\\";
  return PathCanonicalize(drive + linux);
}

// A word of the launcher's command line that names a Linux path. Switches,
// web addresses and Windows paths are left as they are.
bool LooksLikeLinuxPath(const std::string& word) {
  if (word.empty() || word.rfind("/#", 0) == 0) return false;
  if (word.size() >= 2 && word[1] == ':') return false;
  if (word.find('\\') != std::string::npos || word.find("://") != std::string::npos) return false;
  if (word.find(':') != std::string::npos && word.find('/') == std::string::npos) return false;
  return true;
}

}  // namespace

std::unique_ptr<Platform> MakeCheckerPlatform(CheckOptions& options, std::string& error) {
  std::string drives = options.drives;
  if (!drives.empty()) {
    char real[PATH_MAX];
    if (!realpath(drives.c_str(), real)) {
      error = "--drives: no folder " + drives;
      return nullptr;
    }
    drives = real;
  }
  if (LooksLikeLinuxPath(options.configPath))
    options.configPath = WindowsPathOf(drives, options.configPath);
  for (std::string& word : options.arguments)
    if (LooksLikeLinuxPath(word)) word = WindowsPathOf(drives, word);
  char cwd[PATH_MAX];
  const std::string current = getcwd(cwd, sizeof cwd) ? WindowsPathOf(drives, cwd) : "Z:\\";
  auto platform = std::make_unique<DrivePlatform>(drives, current);
  const PathParts config = SplitPath(platform->FullPath(options.configPath));
  platform->applicationFolder = config.drive + config.dir;
  return platform;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);  // UTF-8 already
}

std::string AnsiToUtf8(std::string_view text) { return Convert(text, "CP932", "UTF-8"); }
std::string AnsiToConsole(std::string_view text) { return AnsiToUtf8(text); }

}  // namespace zolto
