// The checker on Windows: the launcher's own Win32 platform.
#include <windows.h>
#include <shellapi.h>

#include "checker_system.h"
#include "platform/platform_win32.h"
#include "text/text.h"

namespace zolto {
namespace {

bool SystemLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

}  // namespace

std::unique_ptr<Platform> MakeCheckerPlatform(CheckOptions& options, std::string& error) {
  if (!options.drives.empty()) {
    error = "--drives is for the native build; on Windows the real drives are used";
    return nullptr;
  }
  // Programs and libraries are looked up as the launcher looks them up.
  SetDllDirectoryA("");
  SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
  SetLeadBytePredicate(SystemLeadByte);
  return std::make_unique<Win32Platform>();
}

// From the wide command line: argv would hold best-fit look-alikes of the
// names the code page cannot hold.
std::vector<std::string> ProgramArguments(int, char**) {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; words && i < count; ++i) arguments.push_back(Utf8Of(words[i]));
  LocalFree(words);
  return arguments;
}

std::string AnsiToUtf8(std::string_view text) { return Utf8Of(Widen(text, CP_ACP)); }

// The console of a Windows system reads the ANSI code page as it is.
std::string AnsiToConsole(std::string_view text) { return std::string(text); }

}  // namespace zolto
