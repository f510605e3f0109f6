// Pixel sizes for the monitor a menu or box opens on. The manifest makes the
// program per-monitor DPI aware, so Windows scales nothing of what the
// program draws itself: the sizes in the configuration and the fixed layout
// sizes are meant at 96 DPI and are scaled here to the monitor's DPI.
#pragma once

#include <windows.h>

namespace zolto {

constexpr int kDesignDpi = 96;

// The effective DPI of the monitor nearest to point. Asks the system in the
// newest way it offers (per monitor, then per window, then per screen).
int DpiAt(POINT point, HWND window);

// The system DPI, which the system metrics and fonts of a per-monitor aware
// process are given in.
int SystemDpi();

// A size meant at 96 DPI, at dpi.
inline int ScaleToDpi(int pixels, int dpi) { return MulDiv(pixels, dpi, kDesignDpi); }

// The small icon's width and height at dpi.
SIZE SmallIconSizeForDpi(int dpi);

}  // namespace zolto
