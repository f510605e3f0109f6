// The hidden host window of a run and the helpers other Win32 files share.
#pragma once

#include <windows.h>

#include <string>

#include "app/run.h"
#include "platform/platform_win32.h"

namespace zolto {

// Registers the class, creates the hidden window and runs the message loop
// until the run has closed it. The command line is read wide, so that every
// name reaches the core as the user gave it. Returns the process exit code.
int RunHostWindow(HINSTANCE instance, HINSTANCE previous, const Edition& edition);

// A fixed-pitch Shift-JIS font of the given face and height; the caller
// deletes it. Where the system has no Shift-JIS font, one of the same size
// whose glyphs the system chooses.
HFONT MakeFixedFont(const std::wstring& face, int height);

}  // namespace zolto
