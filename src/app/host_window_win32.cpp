// The hidden, topmost tool window that owns everything a run shows. Its
// creation reads the start-up state; timer 610 runs the start-up dispatch
// from inside the message loop; the window then closes itself.
#include "app/host_window_win32.h"

#include <optional>
#include <string>

#include "app/app.h"
#include "menu/menu_win32.h"
#include "text/text.h"

namespace zolto {
namespace {

constexpr UINT_PTR kStartTimer = 610;

// The process's one run and what its window procedure reaches: made by
// RunHostWindow, kept by the window (GWLP_USERDATA).
struct Host {
  Host(const Edition& edition, HINSTANCE instance) : run(platform, edition), instance(instance) {}
  Win32Platform platform;
  RunState run;
  HINSTANCE instance;
  std::optional<Win32Menus> menus;  // made with the window
  // Set when losing the focus ended an open menu with a posted click: that
  // click must not reach anything else.
  bool swallowNextClick = false;
};

Host* HostOf(HWND window) {
  return reinterpret_cast<Host*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT OnCreate(Host& host, HWND window) {
  host.platform.SetHostWindow(window);
  host.menus.emplace(host.run, window, host.instance);
  host.run.frontend = &*host.menus;
  if (OnHostCreate(host.run))
    SetTimer(window, kStartTimer, 0, nullptr);
  else
    SendMessageA(window, WM_CLOSE, 0, 0);
  return 0;
}

void OnStartTimer(Host& host, HWND window) {
  KillTimer(window, kStartTimer);
  host.menus->SetStartForeground(GetForegroundWindow());
  StartupDispatch(host.run);
  SendMessageA(window, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Host* found = HostOf(window);
  if (!found) return DefWindowProcA(window, message, wParam, lParam);
  Host& host = *found;
  RunState& run = host.run;
  switch (message) {
    case WM_CREATE:
      return OnCreate(host, window);
    case WM_TIMER:
      if (wParam == kStartTimer) OnStartTimer(host, window);
      return 0;
    case WM_CLOSE:
      if (host.menus) host.menus->CloseShellMenu();
      if (run.selection.Regex == RegexState::Loaded) FreeRegexLibrary(run);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_KILLFOCUS:
      // Losing the focus ends an open menu: a posted click ends its loop.
      if (run.menu.MenuShown) {
        host.swallowNextClick = true;
        PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
      }
      return 0;
    case WM_MENUSELECT:
      if (host.menus) host.menus->OnMenuSelect(wParam, lParam);
      return 0;
    case WM_INITMENU:
      if (host.menus) host.menus->OnInitMenu();
      return 0;
    case WM_INITMENUPOPUP:
      if (host.menus) host.menus->OnInitMenuPopup(wParam, lParam);
      return 0;
    case WM_MENUCHAR:
      if (host.menus) host.menus->OnMenuChar(wParam, lParam);
      return 0;
    case WM_MEASUREITEM:
      // Menus send wParam 0; the preview items are told apart by their ids.
      if (wParam != 0 || !host.menus) return 0;
      host.menus->OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_DRAWITEM:
      if (wParam != 0 || !host.menus) return 0;
      host.menus->OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_DROPFILES:
      if (host.menus && host.menus->Dialog().IsOpen())
        host.menus->Dialog().DropFromHost(reinterpret_cast<HDROP>(wParam), window);
      return 0;
    case WM_LBUTTONDOWN:
      if (host.swallowNextClick) {
        host.swallowNextClick = false;
        return 1;
      }
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool RegisterHostClass(HINSTANCE instance, const std::string& className) {
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = HostWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, "MYICON");
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = className.c_str();
  return RegisterClassA(&wc) != 0;
}

bool CreateHostWindow(Host& host, const std::string& className) {
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_ACCEPTFILES | WS_EX_TOPMOST,
                                className.c_str(), className.c_str(), WS_POPUP,
                                CW_USEDEFAULT, CW_USEDEFAULT, 32, 32, nullptr, nullptr,
                                host.instance, &host);
  if (!window) return false;
  ShowWindow(window, SW_HIDE);
  UpdateWindow(window);
  return true;
}

std::wstring ModuleFileName() {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n < path.size() ? n : 0);
  return path;
}

// Keeps font when the system drew it with real glyphs; where no installed
// font has the face and character set (the letter A has no glyph), takes a
// font of the same height whose glyphs the system has, so the text stays
// readable rather than boxes.
HFONT WithReadableGlyphs(HFONT font, int height) {
  WORD glyph = 0xFFFF;
  {
    const win32::MemoryDc dc(CreateCompatibleDC(nullptr));
    const win32::Selection selected(dc.get(), font);
    GetGlyphIndicesW(dc.get(), L"A", 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS);
  }
  if (glyph != 0xFFFF) return font;
  DeleteObject(font);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                     FIXED_PITCH | FF_MODERN, L"");
}

}  // namespace

HFONT MakeFixedFont(const std::wstring& face, int height) {
  return WithReadableGlyphs(
      CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN,
                  face.c_str()),
      height);
}

int RunHostWindow(HINSTANCE instance, HINSTANCE previous, const Edition& edition) {
  Host host(edition, instance);
  // The program's own folder holds its configuration: a folder the code page
  // cannot name (and that has no short name) would send the run elsewhere.
  const std::wstring module = ModuleFileName();
  const std::optional<std::string> modulePath = AnsiPathOf(module);
  if (!modulePath) {
    const std::string text = std::string(kUnrepresentableNames) + "\n\n" + Utf8Of(module);
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(edition.configErrorCaption).c_str(), MB_OK);
    return 0;
  }
  const std::string commandLine = Utf8Of(GetCommandLineW());
  InitialiseNames(host.run, *modulePath, CommandLineTail(commandLine));
  // A window class name is limited to 256 characters.
  const std::string className = host.run.start.ClassName.substr(0, 255);
  if (!previous && !RegisterHostClass(instance, className)) return 0;
  if (!CreateHostWindow(host, className)) return 0;
  // The exit status is WM_QUIT's, always 0; a failing GetMessageA (-1) must
  // not hand on the wParam of some earlier message.
  MSG message{};
  BOOL got;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 0;
}

}  // namespace zolto
