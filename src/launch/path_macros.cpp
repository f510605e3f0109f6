// Path and date macros: special folders, the program's own folder and drive,
// today's date, and the user macros of the "@param" block.
#include <cstdio>
#include <optional>

#include "app/run.h"
#include "launch/launch.h"
#include "text/text.h"

namespace zolto {
namespace {

struct BuiltinMacro {
  const char* name;
  int csidl;  // special folder, or -1 for the names with values of their own
};

// Processed in this order; the order is visible when values hold names.
constexpr BuiltinMacro kBuiltinMacros[] = {
    {"%Windows%", kFolderWindows},
    {"%Program Files%", kFolderProgramFiles},
    {"%System%", kFolderSystem},
    {"%My Pictures%", kFolderMyPictures},
    {"%My Music%", kFolderMyMusic},
    {"%My Video%", kFolderMyVideo},
    {"%My Documents%", kFolderPersonal},
    {"%Favorites%", kFolderFavorites},
    {"%Start Menu%", kFolderStartMenu},
    {"%Programs%", kFolderPrograms},
    {"%StartUp%", kFolderStartup},
    {"%SendTo%", kFolderSendTo},
    {"%Internet Cache%", kFolderInternetCache},
    {"%Fonts%", kFolderFonts},
    {"%Cookies%", kFolderCookies},
    {"%History%", kFolderHistory},
    {"%Desktop%", kFolderDesktop},
    {"%DesktopDirectory%", kFolderDesktopDirectory},
    {"%Recent%", kFolderRecent},
    {"%Common Start Menu%", kFolderCommonStartMenu},
    {"%Common Programs%", kFolderCommonPrograms},
    {"%Common StartUp%", kFolderCommonStartup},
    {"%Common Desktop%", kFolderCommonDesktopDirectory},
    {"%Common Favorites%", kFolderCommonFavorites},
    {"%Common My Documents%", kFolderCommonDocuments},
    {"%Common My Pictures%", kFolderCommonPictures},
    {"%Common My Music%", kFolderCommonMusic},
    {"%Common My Video%", kFolderCommonVideo},
    {"%ins_zolto%", -1},
    {"%drv_zolto%", -1},
    {"%4y%", -1},
    {"%2y%", -1},
    {"%mm%", -1},
    {"%0m%", -1},
    {"%-m%", -1},
    {"%dd%", -1},
    {"%0d%", -1},
    {"%-d%", -1},
};

std::string Format(const char* format, int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// The value of a name with a value of its own (names 29 to 38).
std::string OwnValue(const StartupState& start, std::string_view name, const LocalTime& t) {
  if (name == "%ins_zolto%") return DropTrailingBackslash(start.ProgramFolder);
  if (name == "%drv_zolto%") return DropTrailingBackslash(start.ProgramDrive);
  if (name == "%4y%") return Format("%d", t.year);
  if (name == "%2y%") {
    std::string year = Format("%d", t.year);
    return year.size() > 2 ? year.substr(year.size() - 2) : year;
  }
  if (name == "%mm%") return Format("%d", t.month);
  if (name == "%0m%") return Format("%02d", t.month);
  if (name == "%-m%") return Format("%2d", t.month);
  if (name == "%dd%") return Format("%d", t.day);
  if (name == "%0d%") return Format("%02d", t.day);
  return Format("%2d", t.day);  // "%-d%"
}

// Replaces every occurrence of name, never re-reading an inserted value. An
// occurrence whose value would make the text longer than it may grow stays
// as written: a cut path could name another file.
void ReplaceAll(std::string& work, std::string_view name, std::string_view value) {
  size_t pos = FindI(work, name);
  while (pos != std::string::npos) {
    if (work.size() - name.size() + value.size() > kMaxMacroText) return;
    work.replace(pos, name.size(), value);
    pos = FindI(work, name, pos + value.size());
  }
}

}  // namespace

std::string ExpandPathMacros(RunState& run, std::string_view text) {
  std::string work = CutToBytes(text, kMaxMacroText);
  const LocalTime now = run.platform.Now();
  for (const BuiltinMacro& macro : kBuiltinMacros) {
    if (FindI(work, macro.name) == std::string::npos) continue;
    std::string value;
    if (macro.csidl >= 0) {
      std::optional<std::string> folder = run.platform.SpecialFolderPath(macro.csidl);
      if (!folder) continue;  // the name stays in the text
      // Without trailing backslash, a drive root ("D:\\") too: the text
      // that follows the name brings its own.
      value = DropTrailingBackslash(*folder);
    } else {
      value = OwnValue(run.start, macro.name, now);
    }
    ReplaceAll(work, macro.name, CutToBytes(value, kMaxMacroValue));
  }
  for (const UserMacro& macro : run.settings.UserMacros) {
    if (!macro.name.empty()) ReplaceAll(work, macro.name, macro.value);
  }
  return work;
}

}  // namespace zolto
