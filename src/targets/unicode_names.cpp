// Names the ANSI code page cannot hold. The core works in the code page; a
// name from the command line or the clipboard with other characters (é on a
// Japanese system, 表 on a Western one, any emoji) must still reach programs
// as the very file the user chose. Windows' best-fit conversion would give a
// look-alike (Café.txt as Cafe.txt, ¥ as a backslash), so such a name is
// taken by its short name, refused with a message, or, for a web address,
// percent-encoded.
#include <algorithm>

#include "app/run.h"
#include "launch/launch.h"
#include "targets/targets.h"
#include "text/text.h"

namespace zolto {
namespace {

// Stands in for a character the code page cannot hold while path macros are
// expanded: no file name holds a control character.
constexpr char kHeldCharacter = '\x01';

// The token's path macros expanded around the characters the code page
// cannot hold; nothing when the expansion lost or added one of them.
std::optional<std::string> ExpandMacrosAround(RunState& run, std::string_view token) {
  std::string ansi;
  std::vector<std::string_view> held;
  for (size_t i = 0; i < token.size();) {
    const std::string_view character = token.substr(i, Utf8CharLength(token, i));
    i += character.size();
    bool exact = false;
    const std::string converted = run.platform.ToAnsi(character, exact);
    if (exact && converted.find(kHeldCharacter) == std::string::npos) {
      ansi += converted;
    } else {
      ansi += kHeldCharacter;
      held.push_back(character);
    }
  }
  const std::string expanded = ExpandPathMacros(run, ansi);
  if (static_cast<size_t>(std::count(expanded.begin(), expanded.end(), kHeldCharacter)) !=
      held.size())
    return std::nullopt;
  std::string result;
  size_t next = 0;
  size_t start = 0;
  for (size_t at; (at = expanded.find(kHeldCharacter, start)) != std::string::npos;
       start = at + 1) {
    result += run.platform.ToUtf8(std::string_view(expanded).substr(start, at - start));
    result += held[next++];
  }
  return result + run.platform.ToUtf8(std::string_view(expanded).substr(start));
}

// A web address in the code page: each character it cannot hold as its
// UTF-8 bytes, percent-encoded (the form browsers send).
std::string EncodeAddress(Platform& platform, std::string_view address) {
  std::string encoded;
  for (size_t i = 0; i < address.size();) {
    const std::string_view character = address.substr(i, Utf8CharLength(address, i));
    i += character.size();
    bool exact = false;
    const std::string converted = platform.ToAnsi(character, exact);
    encoded += exact ? converted : PercentEncode(character);
  }
  return encoded;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty() || from == to) return;
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
}

// A name without its extension (from the last dot of its last part).
std::string_view BaseName(std::string_view name) {
  return name.substr(0, std::min(name.size(), name.rfind('.')));
}

}  // namespace

void AddUnicodePath(TargetList& targets, const UnicodeName& name) {
  if (name.shortPath.empty()) {
    targets.Refused.push_back(name.fullPath);
    return;
  }
  std::string target = name.shortPath;
  std::string real = name.fullPath;
  if (name.folder) {
    target = DropTrailingBackslash(PathAddBackslash(target));
    while (!real.empty() && real.back() == '\\') real.pop_back();
  }
  if (target.size() >= kMaxPath) return;  // as any target that long
  targets.RealNames[target] = real;
  targets.Add(target);
}

void AddUnicodeToken(RunState& run, std::string token) {
  if (run.settings.ParamMacrosOn) {
    std::optional<std::string> expanded = ExpandMacrosAround(run, token);
    if (!expanded) return;
    token = std::move(*expanded);
  }
  token = PathRemoveBlanks(PathUnquoteSpaces(token));
  if (token.empty()) return;
  if (std::optional<UnicodeName> name = run.platform.FindUnicodeName(token)) {
    AddUnicodePath(run.targets, *name);
    return;
  }
  if (!run.edition.webTargets) return;
  const std::string address = EncodeAddress(run.platform, token);
  if (address.size() < kMaxPath && IsUrlTarget(run.platform, address)) {
    run.targets.RealNames[address] = token;
    run.targets.Add(address);
  }
}

bool NamesExistingPath(Platform& platform, std::string_view utf8) {
  bool exact = false;
  const std::string ansi = platform.ToAnsi(utf8, exact);
  if (exact) return platform.IsDirectory(ansi) || platform.PathExists(ansi);
  return platform.FindUnicodeName(utf8).has_value();
}

void ReportRefusedNames(RunState& run) {
  const std::vector<std::string>& refused = run.targets.Refused;
  if (refused.empty()) return;
  std::string text = kUnrepresentableNames;
  text += "\n";
  for (const std::string& name : refused) text += "\n" + name;
  run.platform.ShowMessage(text, run.edition.configErrorCaption);
}

std::string ShownName(RunState& run, const std::string& target) {
  auto it = run.targets.RealNames.find(target);
  return it != run.targets.RealNames.end() ? it->second : run.platform.ToUtf8(target);
}

std::string ShownText(RunState& run, std::string_view text) {
  std::string shown = run.platform.ToUtf8(text);
  for (const auto& [target, real] : run.targets.RealNames) {
    ReplaceAll(shown, run.platform.ToUtf8(target), real);
    const std::string shortName = run.platform.ToUtf8(FileNamePart(target));
    const std::string_view realName = Utf8FileNamePart(real);
    ReplaceAll(shown, shortName, std::string(realName));
    ReplaceAll(shown, std::string(BaseName(shortName)), std::string(BaseName(realName)));
  }
  return shown;
}

}  // namespace zolto
