#include "menu/menu_win32.h"

#include <vector>

#include "platform/dpi_win32.h"
#include "platform/platform_win32.h"

namespace zolto {
namespace {

// The core places the menu with its own names for the tracking flags.
static_assert(kTrackRightButton == TPM_RIGHTBUTTON && kTrackCenterAlign == TPM_CENTERALIGN &&
              kTrackVCenterAlign == TPM_VCENTERALIGN && kTrackReturnCommand == TPM_RETURNCMD);

void PressDownArrow() {
  keybd_event(VK_DOWN, 0, 0, 0);
  keybd_event(VK_DOWN, 0, KEYEVENTF_KEYUP, 0);
}

void ForceForeground(HWND window) {
  const DWORD foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  const DWORD own = GetWindowThreadProcessId(window, nullptr);
  AttachThreadInput(own, foreground, TRUE);
  DWORD timeout = 0;
  SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
  SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
  SetActiveWindow(window);
  SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                        reinterpret_cast<void*>(static_cast<UINT_PTR>(timeout)), 0);
  AttachThreadInput(own, foreground, FALSE);
}

bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Waits until the key is physically released; after 3 s, and after every
// dismissal from 5 s on, asks the user to let go.
void WaitForKeyRelease(HWND window, int key) {
  for (int polls = 1; (GetAsyncKeyState(key) & 0x8000) != 0; ++polls) {
    if (polls == 300 || polls >= 500)
      MessageBoxW(window, Widen("キーを開放してください！").c_str(), Widen("注意").c_str(), MB_OK);
    Sleep(10);
  }
}

ScreenFacts ReadScreenFacts(HWND startForeground) {
  ScreenFacts facts;
  RECT rect;
  if (startForeground && GetWindowRect(startForeground, &rect)) {
    facts.hasForeground = true;
    facts.foregroundLeft = rect.left;
    facts.foregroundTop = rect.top;
    facts.foregroundRight = rect.right;
    facts.foregroundBottom = rect.bottom;
  }
  POINT cursor{};
  if (GetCursorPos(&cursor)) {
    facts.cursorX = cursor.x;
    facts.cursorY = cursor.y;
  }
  return facts;
}

}  // namespace

Win32Menus* Win32Menus::tracking_ = nullptr;

// A right-button press on an item means: run it for every target.
LRESULT CALLBACK Win32Menus::RightClickHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code >= 0 && wParam == WM_RBUTTONDOWN && tracking_)
    tracking_->run_.menu.AllTargetsRequested = true;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void Win32Menus::SetStartForeground(HWND window) {
  startForeground_ = window;
  const MenuPlacement place =
      PlaceMenu(run_, ReadScreenFacts(startForeground_), MenuPlace::Configured);
  run_.menu.AnchorX = place.x;
  run_.menu.AnchorY = place.y;
  run_.menu.AnchorFlags = place.flags;
}

void Win32Menus::ShowPopupMenu(MenuKind kind, MenuPlace where) {
  MenuState& state = run_.menu;
  // Icons and previews are made for the monitor the menu is expected on;
  // the place itself is worked out once the menu is built, as before.
  const MenuPlacement expected = PlaceMenu(run_, ReadScreenFacts(startForeground_), where);
  builder_.SetDpi(DpiAt({expected.x, expected.y}, window_));
  const MenuHandle menu = BuildPopupMenu(run_, builder_, kind);
  const MenuPlacement place = PlaceMenu(run_, ReadScreenFacts(startForeground_), where);
  state.AnchorX = place.x;
  state.AnchorY = place.y;
  state.AnchorFlags = place.flags;

  state.AllTargetsRequested = false;
  state.MenuShown = true;
  tracking_ = this;
  rightClickHook_.reset(SetWindowsHookExA(WH_MOUSE, RightClickHook, nullptr, GetCurrentThreadId()));
  if (run_.settings.ForceActivate)
    ForceForeground(window_);
  else
    SetForegroundWindow(window_);
  const int chosen = static_cast<int>(
      TrackPopupMenu(reinterpret_cast<HMENU>(menu), place.flags, place.x, place.y, 0, window_, nullptr));
  PostMessageA(window_, WM_NULL, 0, 0);
  rightClickHook_.reset();
  tracking_ = nullptr;
  DestroyPopupMenu(run_.menu, builder_, menu);
  state.MenuShown = false;
  if (chosen == 0) return;

  const bool control = KeyHeld(VK_CONTROL);
  if (KeyHeld(VK_SHIFT)) state.AllTargetsRequested = true;
  WaitForKeyRelease(window_, VK_CONTROL);
  WaitForKeyRelease(window_, VK_SHIFT);
  ActOnMenuChoice(run_, *this, chosen, control);
}

void Win32Menus::ShowAbout() {
  SetForegroundWindow(window_);
  MessageBoxW(window_, Widen(run_.edition.aboutText).c_str(), Widen("バージョン情報").c_str(), MB_OK);
}

void Win32Menus::InvokeShellCommand(int id) { builder_.Shell().Invoke(window_, id); }

DialogResult Win32Menus::OpenParameterDialog() { return dialog_.Open(window_); }

void Win32Menus::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
  lastSelectMenu_ = reinterpret_cast<HMENU>(lParam);
  lastSelectByMouse_ = (HIWORD(wParam) & MF_MOUSESELECT) != 0;
}

void Win32Menus::OnInitMenu() { PressDownArrow(); }

void Win32Menus::OnMeasureItem(MEASUREITEMSTRUCT* item) {
  if (item->itemID < kIdEntryBase)
    builder_.Shell().Forward(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(item));
  else if (item->itemID == kIdPreviewImage || item->itemID == kIdPreviewCaption)
    builder_.MeasurePreviewItem(item);
}

void Win32Menus::OnDrawItem(const DRAWITEMSTRUCT* item) {
  if (item->itemID < kIdEntryBase)
    builder_.Shell().Forward(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(item));
  else if (item->itemID == kIdPreviewImage || item->itemID == kIdPreviewCaption)
    builder_.DrawPreviewItem(item);
}

void Win32Menus::OnMenuChar(WPARAM wParam, LPARAM lParam) {
  builder_.Shell().Forward(WM_MENUCHAR, wParam, lParam);  // when the shell's menu is there
}

void Win32Menus::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
  if (!lastSelectMenu_) return;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID;
  if (!GetMenuItemInfoA(lastSelectMenu_, LOWORD(lParam), TRUE, &info)) return;
  const int id = static_cast<int>(info.wID);
  if (id < kIdEntryBase) {  // the shell's own submenus
    builder_.Shell().Forward(WM_INITMENUPOPUP, wParam, lParam);
    return;
  }
  const int index = id - kIdEntryBase;
  if (index < run_.entries.entryCount &&
      run_.entries.entries[static_cast<size_t>(index)].kind == kSubmenuOpen)
    AddLevelItems(run_, builder_, reinterpret_cast<MenuHandle>(wParam), index, true);
  if (lastSelectByMouse_) PressDownArrow();
}

}  // namespace zolto
