// The hidden host window of a run and the helpers other Win32 files share.
#pragma once

#include <windows.h>

#include "app/run.h"
#include "platform/platform_win32.h"

namespace zolto {

// Registers the class, creates the hidden window and runs the message loop
// until the run has closed it. The command line is read wide, so that every
// name reaches the core as the user gave it. Returns the process exit code.
int RunHostWindow(HINSTANCE instance, HINSTANCE previous, const Edition& edition);

// A fixed-pitch Shift-JIS font of the given face (ANSI, or UTF-16 for the
// wide form) and height; the caller deletes it. Where the system has no
// Shift-JIS font, one of the same size whose glyphs the system chooses.
HFONT MakeFixedFont(const char* face, int height);
HFONT MakeFixedFontW(const wchar_t* face, int height);

}  // namespace zolto
