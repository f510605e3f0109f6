// Program entry of both editions; ZOLTO_BASIC_EDITION picks the basic one.
#include <windows.h>

#include "app/host_window_win32.h"
#include "text/text.h"

namespace {

#ifdef ZOLTO_BASIC_EDITION
const zolto::Edition& kThisEdition = zolto::kBasicEdition;
#else
const zolto::Edition& kThisEdition = zolto::kFullEdition;
#endif

bool SystemLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int) {
  // Libraries and programs named without a folder must never come from the
  // current folder, which is often the target's own (a download folder).
  SetDllDirectoryA("");
  SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
  zolto::SetLeadBytePredicate(SystemLeadByte);
  return zolto::RunHostWindow(instance, previous, kThisEdition);
}
