/* The least a launcher must do to show a menu: a hidden tool window and a
 * two-item popup menu at the mouse. The start-to-menu benchmark measures the
 * launcher against this program in the same run. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
  WNDCLASSA wc = {0};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "minimal_menu";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "minimal_menu", "minimal_menu",
                                WS_POPUP, 0, 0, 0, 0, NULL, NULL, instance, NULL);
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "&First");
  AppendMenuA(menu, MF_STRING, 2, "&Second");
  POINT at;
  GetCursorPos(&at);
  SetForegroundWindow(window);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, window, NULL);
  DestroyMenu(menu);
  DestroyWindow(window);
  return 0;
}
