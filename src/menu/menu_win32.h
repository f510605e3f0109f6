// The popup menu on Windows: HMENUs for the core's menu construction,
// tracking with TrackPopupMenu, and the menu messages of the host window.
#pragma once

#include <windows.h>

#include "app/run.h"
#include "menu/menu.h"
#include "launch/param_dialog_win32.h"
#include "menu/menu_builder_win32.h"
#include "platform/win32_owners.h"

namespace zolto {

class Win32Menus : public Frontend, public MenuActions {
 public:
  Win32Menus(RunState& run, HWND window, HINSTANCE instance)
      : run_(run), window_(window), builder_(run, window, instance), dialog_(run, instance) {}
  // Records the window that was active at start, and anchors a dialog that
  // opens before any menu where the menu would have opened.
  void SetStartForeground(HWND window);

  // Frontend
  void ShowPopupMenu(MenuKind kind, MenuPlace place) override;
  DialogResult OpenParameterDialog() override;
  // MenuActions
  void ShowAbout() override;
  void InvokeShellCommand(int id) override;

  // WM_MENUSELECT, WM_INITMENU and WM_INITMENUPOPUP while a menu is tracked.
  void OnMenuSelect(WPARAM wParam, LPARAM lParam);
  void OnInitMenu();
  void OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
  // WM_MEASUREITEM and WM_DRAWITEM for the menu's own owner-drawn items.
  void OnMeasureItem(MEASUREITEMSTRUCT* item);
  void OnDrawItem(const DRAWITEMSTRUCT* item);
  void OnMenuChar(WPARAM wParam, LPARAM lParam);
  // Releases the Explorer menu's objects when the window closes.
  void CloseShellMenu() { builder_.Shell().Close(); }
  ParamDialog& Dialog() { return dialog_; }

 private:
  static LRESULT CALLBACK RightClickHook(int code, WPARAM wParam, LPARAM lParam);
  // The menus being tracked, for the mouse hook, which is given nothing of
  // its own: the one thing the front end keeps outside its host window.
  static Win32Menus* tracking_;

  RunState& run_;
  HWND window_;
  HmenuBuilder builder_;
  ParamDialog dialog_;
  win32::Hook rightClickHook_;  // while a menu is tracked
  HWND startForeground_ = nullptr;
  HMENU lastSelectMenu_ = nullptr;
  bool lastSelectByMouse_ = false;
};

}  // namespace zolto
