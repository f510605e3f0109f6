#include "platform/dpi_win32.h"

namespace zolto {
namespace {

// Looked up at run time: GetDpiForMonitor exists from Windows 8.1 on,
// GetDpiForWindow and GetSystemMetricsForDpi from Windows 10 1607 on.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

template <typename Function>
Function Lookup(const char* module, const char* name) {
  HMODULE loaded = GetModuleHandleA(module);
  if (!loaded) loaded = LoadLibraryExA(module, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)))
                : nullptr;
}

bool Plausible(UINT dpi) { return dpi >= 48 && dpi <= 960; }

}  // namespace

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kDesignDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return Plausible(static_cast<UINT>(dpi)) ? dpi : kDesignDpi;
}

int DpiAt(POINT point, HWND window) {
  static const auto forMonitor = Lookup<GetDpiForMonitorFn>("shcore.dll", "GetDpiForMonitor");
  static const auto forWindow = Lookup<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow");
  UINT x = 0, y = 0;
  if (forMonitor &&
      SUCCEEDED(forMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y)) &&
      Plausible(x))
    return static_cast<int>(x);
  if (forWindow && window && Plausible(forWindow(window))) return static_cast<int>(forWindow(window));
  return SystemDpi();
}

SIZE SmallIconSizeForDpi(int dpi) {
  static const auto forDpi =
      Lookup<GetSystemMetricsForDpiFn>("user32.dll", "GetSystemMetricsForDpi");
  if (forDpi) {
    const int cx = forDpi(SM_CXSMICON, static_cast<UINT>(dpi));
    const int cy = forDpi(SM_CYSMICON, static_cast<UINT>(dpi));
    if (cx > 0 && cy > 0) return {cx, cy};
  }
  const int system = SystemDpi();
  return {MulDiv(GetSystemMetrics(SM_CXSMICON), dpi, system),
          MulDiv(GetSystemMetrics(SM_CYSMICON), dpi, system)};
}

}  // namespace zolto
