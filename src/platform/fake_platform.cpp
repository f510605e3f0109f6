#include "platform/fake_platform.h"

#include <cctype>

#include "text/text.h"

namespace zolto {

FakePlatform::FakePlatform()
    : codePage{{"表", "\x95\x5C"}, {"ソ", "\x83\x5C"}, {"十", "\x8F\x5C"},
               {"ポ", "\x83\x7C"}, {"示", "\x8E\xA6"}, {"＂", "\xFA\x57"}} {
  AddFolder("C:\\");
  AddFolder("C:\\Windows\\system32");
  AddFolder(currentFolder_);
}

std::string FakePlatform::KeyOf(const std::string& path) const {
  std::string full = PathCanonicalize(path);
  const bool qualified = (full.size() >= 2 && full[1] == ':') ||
                         (full.size() >= 2 && full[0] == '\\' && full[1] == '\\');
  if (!qualified) full = PathAddBackslash(currentFolder_) + full;
  std::string key;
  for (size_t i = 0; i < full.size(); i += CharLength(full, i)) {
    if (CharLength(full, i) == 2) {
      key.append(full, i, 2);  // a double-byte character is kept as it is
      continue;
    }
    char c = full[i] == '/' ? '\\' : full[i];
    key.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
  }
  while (EndsWithBackslash(key)) key.pop_back();
  return key;
}

const FakePlatform::Node* FakePlatform::Find(const std::string& path) const {
  if (path.empty() || path.find('\0') != std::string::npos) return nullptr;
  auto it = nodes_.find(KeyOf(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

void FakePlatform::AddFolder(const std::string& path) {
  std::string key = KeyOf(path);
  // Every folder above it exists too.
  for (size_t i = 0; i < key.size(); i += CharLength(key, i)) {
    if (key[i] == '\\' && i > 2) nodes_[key.substr(0, i)].folder = true;
  }
  nodes_[key].folder = true;
  nodes_[key].name = std::string(FileNamePart(DropTrailingBackslash(path)));
}

void FakePlatform::AddFile(const std::string& path, const std::string& contents) {
  std::string key = KeyOf(path);
  const size_t sep = FindLastSeparator(key);
  if (sep != std::string::npos && sep > 2) AddFolder(key.substr(0, sep));
  nodes_[key] = Node{false, false, contents, std::string(FileNamePart(path))};
}

void FakePlatform::LockFile(const std::string& path) {
  auto it = nodes_.find(KeyOf(path));
  if (it != nodes_.end()) it->second.locked = true;
}

std::optional<std::string> FakePlatform::FileContents(const std::string& path) const {
  const Node* node = Find(path);
  if (!node || node->folder) return std::nullopt;
  return node->contents;
}

bool FakePlatform::PathExists(const std::string& path) { return Find(path) != nullptr; }

bool FakePlatform::IsDirectory(const std::string& path) {
  const Node* node = Find(path);
  return node && node->folder;
}

bool FakePlatform::ReadWholeFile(const std::string& path, bool createIfMissing,
                                 std::string& contents) {
  const Node* node = Find(path);
  if (!node && createIfMissing && !path.empty()) {
    const std::string key = KeyOf(path);
    const size_t sep = FindLastSeparator(key);
    if (sep == std::string::npos || !IsDirectory(key.substr(0, sep))) return false;
    AddFile(path);
    node = Find(path);
  }
  if (!node || node->folder || node->locked) return false;
  contents = node->contents;
  return true;
}

bool FakePlatform::ReadFilePart(const std::string& path, unsigned long long offset,
                                size_t maxBytes, std::string& contents) {
  std::string whole;
  if (!ReadWholeFile(path, false, whole)) return false;
  contents = offset < whole.size() ? whole.substr(static_cast<size_t>(offset), maxBytes) : "";
  return true;
}

std::optional<unsigned long long> FakePlatform::FileSize(const std::string& path) {
  const Node* node = Find(path);
  if (!node || node->folder || node->locked) return std::nullopt;
  return node->contents.size();
}

bool FakePlatform::CreateFolder(const std::string& path) {
  if (path.empty()) return false;
  AddFolder(path);
  return true;
}

bool FakePlatform::RemoveFile(const std::string& path) {
  auto it = nodes_.find(KeyOf(path));
  if (it == nodes_.end() || it->second.folder || it->second.locked) return false;
  nodes_.erase(it);
  return true;
}

bool FakePlatform::RunAndWait(const std::string& commandLine, int) {
  waitedCommands.push_back(commandLine);
  return runner ? runner(commandLine) : false;
}

std::string FakePlatform::FullPath(const std::string& path) {
  if (path.empty()) return "";
  const bool qualified = path.size() >= 2 && (path[1] == ':' || path.substr(0, 2) == "\\\\");
  const std::string full =
      PathCanonicalize(qualified ? path : PathAddBackslash(currentFolder_) + path);
  return full.size() < kMaxPath ? full : "";
}

std::string FakePlatform::FindOnPath(const std::string* folders, const std::string& name) {
  std::vector<std::string> list;
  if (folders) {
    size_t start = 0;
    while (start <= folders->size()) {
      size_t semi = folders->find(';', start);
      if (semi == std::string::npos) semi = folders->size();
      if (semi > start) list.push_back(folders->substr(start, semi - start));
      start = semi + 1;
    }
  } else {
    list.push_back(applicationFolder);
    list.insert(list.end(), systemSearchPath.begin(), systemSearchPath.end());
    list.push_back(currentFolder_);
  }
  for (const std::string& folder : list) {
    std::string candidate = PathAddBackslash(folder) + name;
    const Node* node = Find(candidate);
    if (node && !node->folder) return candidate;
  }
  return "";
}

std::optional<std::string> FakePlatform::SpecialFolderPath(int csidl) {
  ++specialFolderCalls;
  auto it = specialFolders.find(csidl);
  if (it == specialFolders.end()) return std::nullopt;
  return it->second;
}

bool FakePlatform::KeyDown(zolto::Key key) {
  return key == zolto::Key::Shift ? shiftDown : controlDown;
}

bool FakePlatform::IsLeadByte(unsigned char c) { return Cp932LeadByte(c); }

void FakePlatform::ShowMessage(const std::string& text, const std::string& caption) {
  messages.push_back({text, caption});
}

bool FakePlatform::Start(const ShellStart& start) {
  starts.push_back(start);
  if (refusedStarts.count(start.file)) return false;
  if (start.file.find('\0') != std::string::npos) return false;
  // A document opens only when its extension has an association.
  const std::string ext = SplitPath(start.file).ext;
  const bool program = EqualsI(ext, ".exe") || EqualsI(ext, ".bat") || EqualsI(ext, ".cmd");
  if (program || IsDirectory(start.file)) return PathExists(start.file);
  if (!PathExists(start.file)) return start.file.find("://") != std::string::npos;
  return AssociatedProgram(start.file).has_value();
}

std::optional<std::string> FakePlatform::AssociatedProgram(const std::string& file) {
  if (!PathExists(file) || IsDirectory(file)) return std::nullopt;
  const std::string ext = SplitPath(file).ext;
  if (EqualsI(ext, ".exe")) return FullPath(file);  // a program opens itself
  for (const auto& [known, program] : associations)
    if (EqualsI(known, ext)) return program;
  return std::nullopt;
}

std::optional<std::string> FakePlatform::LongFileName(const std::string& path) {
  const Node* node = Find(path);
  if (!node) return std::nullopt;
  return node->name;
}

bool FakePlatform::CrackUrl(const std::string& text, UrlParts& parts) {
  return SplitUrl(text, parts);
}

bool FakePlatform::LoadRegexLibrary() {
  ++regexLoads;
  return regexLibraryPresent;
}

int FakePlatform::RegexMatch(const std::string& expression, const std::string& subject) {
  if (!regexHasBMatch) return kNoBMatch;
  if (regexMatcher) return regexMatcher(expression, subject);
  // Without a matcher: "/text/" matches when the subject holds text.
  if (expression.size() < 2 || expression.front() != '/' || expression.back() != '/')
    return -1;
  return subject.find(expression.substr(1, expression.size() - 2)) != std::string::npos;
}

namespace {

// A UTF-8 path as a key: qualified from folder, ASCII folded, without
// trailing separators.
std::string UnicodeKey(std::string_view utf8, const std::string& folder) {
  std::string full(utf8);
  if (!(full.size() >= 2 && (full[1] == ':' || full.substr(0, 2) == "\\\\")))
    full = PathAddBackslash(folder) + full;
  for (char& c : full) c = c == '/' ? '\\' : FoldAscii(c);
  while (!full.empty() && full.back() == '\\') full.pop_back();
  return full;
}

}  // namespace

std::string FakePlatform::ToAnsi(std::string_view utf8, bool& exact) {
  exact = true;
  std::string ansi;
  for (size_t i = 0; i < utf8.size();) {
    const size_t length = Utf8CharLength(utf8, i);
    const std::string character(utf8.substr(i, length));
    i += length;
    if (static_cast<unsigned char>(character[0]) < 0x80) {
      ansi += character;
    } else if (auto it = codePage.find(character); it != codePage.end()) {
      ansi += it->second;
    } else {
      ansi += '?';
      exact = false;
    }
  }
  return ansi;
}

std::string FakePlatform::ToUtf8(std::string_view ansi) {
  std::string utf8;
  for (size_t i = 0; i < ansi.size(); i += CharLength(ansi, i)) {
    const std::string_view character = ansi.substr(i, CharLength(ansi, i));
    std::string shown = static_cast<unsigned char>(character[0]) < 0x80 ? std::string(character)
                                                                         : "\xEF\xBF\xBD";
    for (const auto& [unicode, bytes] : codePage)
      if (bytes == character) shown = unicode;
    utf8 += shown;
  }
  return utf8;
}

void FakePlatform::AddUnicodeFile(const std::string& utf8Path, const std::string& shortPath,
                                  const std::string& contents) {
  unicodeNames_[UnicodeKey(utf8Path, currentFolder_)] = {utf8Path, false, shortPath};
  if (!shortPath.empty()) AddFile(shortPath, contents);
}

void FakePlatform::AddUnicodeFolder(const std::string& utf8Path, const std::string& shortPath) {
  unicodeNames_[UnicodeKey(utf8Path, currentFolder_)] = {utf8Path, true, shortPath};
  if (!shortPath.empty()) AddFolder(shortPath);
}

std::optional<UnicodeName> FakePlatform::FindUnicodeName(std::string_view utf8) {
  auto it = unicodeNames_.find(UnicodeKey(utf8, currentFolder_));
  if (it == unicodeNames_.end()) return std::nullopt;
  return it->second;
}

}  // namespace zolto
