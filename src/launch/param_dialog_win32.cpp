#include "launch/param_dialog_win32.h"

#include <shellapi.h>

#include <string>

#include "app/host_window_win32.h"
#include "platform/dpi_win32.h"
#include "platform/platform_win32.h"
#include "text/text.h"

namespace zolto {
namespace {

enum ControlId { kCaption = 300, kIcon = 301, kEdit = 400, kCancel = 502, kOk = 503 };

// Shown when the typed text holds characters the code page cannot hold.
constexpr char kUnrepresentableInput[] =
    "入力の一部の文字はこのシステムの文字コードで表せないため、使えません。";

// The open dialog's state: one dialog at a time.
struct DialogState {
  RunState* run = nullptr;
  HINSTANCE instance = nullptr;
  HWND dialog = nullptr;
  HWND edit = nullptr;
  WNDPROC editProc = nullptr;
  HFONT font = nullptr;
  int dpi = kDesignDpi;  // of the monitor the dialog opens on
  bool open = false;
  bool dragging = false;
  POINT last{};
};
DialogState g_dialog;

bool PromptMode() { return g_dialog.run->launch.DialogCount > 0; }

std::wstring CaptionText() {
  const LaunchState& l = g_dialog.run->launch;
  // The title may name a target by its short name: shown by its real name.
  if (PromptMode() && l.TitleGiven) return Widen(ShownText(*g_dialog.run, l.ParameterTitle));
  return Widen("[ ミルンズ ]") + Widen(PromptMode() ? "　'%X'入力" : "　オプション");
}

std::string InitialText() {
  RunState& run = *g_dialog.run;
  const std::string& defaultText = run.launch.ParameterDefault;
  if (PromptMode() || !defaultText.empty()) return defaultText;
  const std::string& first = run.targets.working[0];
  const bool onDisk = run.platform.IsDirectory(first) || run.platform.PathExists(first);
  return onDisk || !run.edition.webTargets ? "\"%P\"" : "%L";
}

void ReleaseFont() {
  if (g_dialog.font) DeleteObject(g_dialog.font);
  g_dialog.font = nullptr;
}

// What the user typed, in the code page: a typed name of an existing file or
// folder that the code page cannot hold is taken by its short name; other
// text the code page cannot hold is not taken (it would reach the program
// as a best-fit look-alike).
std::optional<std::string> TypedAnswer() {
  const int length = GetWindowTextLengthW(g_dialog.edit);
  std::wstring typed(static_cast<size_t>(length) + 1, L'\0');
  typed.resize(static_cast<size_t>(GetWindowTextW(g_dialog.edit, typed.data(), length + 1)));
  bool exact = false;
  const std::string ansi = AnsiOf(typed, exact);
  if (exact) return CutToBytes(ansi, kMaxPath - 1);
  const std::string utf8 = Utf8Of(typed);
  const std::string unquoted = PathUnquoteSpaces(utf8);
  const std::optional<UnicodeName> name = g_dialog.run->platform.FindUnicodeName(unquoted);
  if (!name || name->shortPath.empty()) return std::nullopt;
  return unquoted.size() == utf8.size() ? name->shortPath : "\"" + name->shortPath + "\"";
}

void Accept() {
  const std::optional<std::string> answer = TypedAnswer();
  if (!answer) {
    MessageBoxW(g_dialog.dialog, Widen(kUnrepresentableInput).c_str(),
                Widen(g_dialog.run->edition.configErrorCaption).c_str(), MB_OK);
    SetFocus(g_dialog.edit);
    return;
  }
  g_dialog.run->launch.ParameterAnswer = *answer;
  ReleaseFont();
  EndDialog(g_dialog.dialog, (GetKeyState(VK_CONTROL) & 0x8000) ? 3 : 4);
}

void Cancel() {
  ReleaseFont();
  EndDialog(g_dialog.dialog, 0);
}

LRESULT CALLBACK ParamEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = g_dialog.editProc;
  if (message == WM_KEYDOWN && wParam == VK_RETURN) Accept();
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) Cancel();
  return CallWindowProcA(previous, edit, message, wParam, lParam);
}

// The layout's sizes are meant at 96 DPI.
int Px(int pixelsAt96) { return ScaleToDpi(pixelsAt96, g_dialog.dpi); }

HWND AddControl(HWND dialog, const wchar_t* cls, const std::wstring& text, int id, int x, int y,
                int width, int height, DWORD style, DWORD exStyle = 0) {
  HWND control = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, Px(x),
                                 Px(y), Px(width), Px(height), dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 g_dialog.instance, nullptr);
  if (control && id != kIcon)
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_dialog.font), TRUE);
  return control;
}

void LayoutParamDialog(HWND dialog) {
  const MenuState& menu = g_dialog.run->menu;
  g_dialog.dpi = DpiAt({menu.anchorX, menu.anchorY}, dialog);
  MoveWindow(dialog, menu.anchorX, menu.anchorY, Px(250), Px(47), TRUE);
  ShowWindow(dialog, SW_SHOW);
  g_dialog.font = MakeFixedFontW(Widen("ＭＳ Ｐゴシック").c_str(), Px(13));
  AddControl(dialog, L"STATIC", CaptionText(), kCaption, 2, 2, 170, 16, SS_LEFTNOWORDWRAP);
  AddControl(dialog, L"BUTTON", L"", kIcon, 2, 20, 17, 17, BS_OWNERDRAW);
  g_dialog.edit = AddControl(dialog, L"EDIT", L"", kEdit, 22, 20, 148, 17,
                             WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
  AddControl(dialog, L"BUTTON", L"OK", kOk, 180, 21, 60, 16, BS_PUSHBUTTON | WS_TABSTOP);
  AddControl(dialog, L"BUTTON", L"CANCEL", kCancel, 180, 2, 60, 16, BS_PUSHBUTTON | WS_TABSTOP);
  g_dialog.editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      g_dialog.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParamEditProc)));
  SetWindowTextA(g_dialog.edit, InitialText().c_str());
  SetFocus(g_dialog.edit);
}

void PutIntoEdit(std::string path) {
  if (!PromptMode()) path = PathQuoteSpaces(path);
  SetWindowTextA(g_dialog.edit, path.c_str());
  SendMessageA(g_dialog.edit, EM_SETSEL, 0, static_cast<LPARAM>(path.size()));
}

// The first dropped file in the code page (by its short name when the code
// page cannot hold its name), or nothing when its name does not fit or has
// no such form (the user is told).
std::string FirstDroppedFile(HDROP drop) {
  wchar_t name[kMaxPath] = {};
  const bool fits = DragQueryFileW(drop, 0, nullptr, 0) < kMaxPath;
  if (fits) DragQueryFileW(drop, 0, name, kMaxPath);
  DragFinish(drop);
  if (!fits) return "";
  const std::optional<std::string> path = AnsiPathOf(name);
  if (path && path->size() < kMaxPath) return *path;
  MessageBoxW(g_dialog.dialog,
              Widen(std::string(kUnrepresentableNames) + "\n\n" + Utf8Of(name)).c_str(),
              Widen(g_dialog.run->edition.configErrorCaption).c_str(), MB_OK);
  return "";
}

void DrawProgramIcon(const DRAWITEMSTRUCT* item) {
  const std::string& program = g_dialog.run->launch.DialogProgram;
  HICON icon = nullptr;
  if (ContainsI(program, "@system")) {
    icon = static_cast<HICON>(LoadImageA(g_dialog.instance, "MYSYS", IMAGE_ICON, Px(16), Px(16), 0));
  } else {
    SHFILEINFOA info{};
    if (SHGetFileInfoA(program.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON))
      icon = info.hIcon;
  }
  if (!icon) return;
  DrawIconEx(item->hDC, item->rcItem.left, item->rcItem.top, icon, Px(16), Px(16), 0, nullptr,
             DI_NORMAL);
  DestroyIcon(icon);
}

void Drag(HWND dialog) {
  POINT cursor;
  RECT rect;
  GetCursorPos(&cursor);
  GetWindowRect(dialog, &rect);
  MoveWindow(dialog, rect.left + cursor.x - g_dialog.last.x, rect.top + cursor.y - g_dialog.last.y,
             rect.right - rect.left, rect.bottom - rect.top, TRUE);
  g_dialog.last = cursor;
}

INT_PTR CALLBACK ParamDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      g_dialog.open = true;
      g_dialog.dialog = dialog;
      DragAcceptFiles(dialog, TRUE);
      LayoutParamDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kOk) Accept();
      else if (LOWORD(wParam) == kCancel || LOWORD(wParam) == IDCANCEL) Cancel();
      else return FALSE;
      return TRUE;
    case WM_DROPFILES: {
      const std::string path = FirstDroppedFile(reinterpret_cast<HDROP>(wParam));
      if (!path.empty()) PutIntoEdit(path);
      SetForegroundWindow(dialog);
      SetFocus(g_dialog.edit);
      return TRUE;
    }
    case WM_DRAWITEM:
      if (wParam != kIcon) return FALSE;
      DrawProgramIcon(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_LBUTTONDOWN:
      g_dialog.dragging = true;
      SetCapture(dialog);
      GetCursorPos(&g_dialog.last);
      return FALSE;
    case WM_MOUSEMOVE:
      if (g_dialog.dragging) Drag(dialog);
      return FALSE;
    case WM_LBUTTONUP:
      ReleaseCapture();
      g_dialog.dragging = false;
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int OpenParamDialog(RunState& run, HINSTANCE instance, HWND owner) {
  g_dialog = DialogState{};
  g_dialog.run = &run;
  g_dialog.instance = instance;
  const INT_PTR result = DialogBoxParamA(instance, "OPTION", owner, ParamDialogProc, 0);
  ReleaseFont();
  g_dialog.open = false;  // the caller's side of the dialog-open flag
  return result == 3 || result == 4 ? static_cast<int>(result) : 0;
}

bool ParamDialogIsOpen() { return g_dialog.open; }

void DropIntoParamDialog(HDROP drop, HWND host) {
  const std::string path = FirstDroppedFile(drop);
  if (!path.empty()) {
    std::string text = PathQuoteSpaces(path);
    SetWindowTextA(g_dialog.edit, text.c_str());
    SendMessageA(g_dialog.edit, EM_SETSEL, 0, static_cast<LPARAM>(text.size()));
  }
  SetForegroundWindow(host);
  SetFocus(g_dialog.edit);
  ShowWindow(host, SW_HIDE);
}

}  // namespace zolto
