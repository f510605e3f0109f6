#include "launch/param_dialog_win32.h"

#include <shellapi.h>

#include "app/host_window_win32.h"
#include "platform/dpi_win32.h"
#include "platform/platform_win32.h"
#include "text/text.h"

namespace zolto {
namespace {

enum ControlId { kCaption = 300, kIcon = 301, kEdit = 400, kCancel = 502, kOk = 503 };

// The dialog's own result codes (EndDialog).
enum ResultCode : int { kCancelled = 0, kConfirmedWithControl = 3, kConfirmed = 4 };

// Shown when the typed text holds characters the code page cannot hold.
constexpr char kUnrepresentableInput[] =
    "入力の一部の文字はこのシステムの文字コードで表せないため、使えません。";

// The dialog each window belongs to: the dialog keeps it in DWLP_USER, the
// edit box in GWLP_USERDATA (which an edit box leaves to its owner).
ParamDialog* DialogOf(HWND window, int index) {
  return reinterpret_cast<ParamDialog*>(GetWindowLongPtrA(window, index));
}

}  // namespace

DialogResult ParamDialog::Open(HWND owner) {
  dialog_ = edit_ = nullptr;
  dragging_ = false;
  const INT_PTR result = DialogBoxParamA(instance_, "OPTION", owner, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  font_.reset();
  open_ = false;  // the caller's side of the dialog-open flag
  return result == kConfirmed             ? DialogResult::Confirmed
         : result == kConfirmedWithControl ? DialogResult::ConfirmedWithControl
                                           : DialogResult::Cancelled;
}

INT_PTR CALLBACK ParamDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    DialogOf(dialog, DWLP_USER)->dialog_ = dialog;
  }
  ParamDialog* self = DialogOf(dialog, DWLP_USER);
  return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}

LRESULT CALLBACK ParamDialog::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  ParamDialog* self = DialogOf(edit, GWLP_USERDATA);
  const WNDPROC previous = self->editProc_;
  if (message == WM_KEYDOWN && wParam == VK_RETURN) self->Accept();
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) self->End(kCancelled);
  return CallWindowProcA(previous, edit, message, wParam, lParam);
}

INT_PTR ParamDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      open_ = true;
      DragAcceptFiles(dialog_, TRUE);
      Layout();
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kOk) Accept();
      else if (LOWORD(wParam) == kCancel || LOWORD(wParam) == IDCANCEL) End(kCancelled);
      else return FALSE;
      return TRUE;
    case WM_DROPFILES: {
      const std::string path = FirstDroppedFile(reinterpret_cast<HDROP>(wParam));
      if (!path.empty()) PutIntoEdit(path, !PromptMode());
      SetForegroundWindow(dialog_);
      SetFocus(edit_);
      return TRUE;
    }
    case WM_DRAWITEM:
      if (wParam != kIcon) return FALSE;
      DrawProgramIcon(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_LBUTTONDOWN:
      dragging_ = true;
      SetCapture(dialog_);
      GetCursorPos(&last_);
      return FALSE;
    case WM_MOUSEMOVE:
      if (dragging_) Drag();
      return FALSE;
    case WM_LBUTTONUP:
      ReleaseCapture();
      dragging_ = false;
      return FALSE;
    default:
      return FALSE;
  }
}

std::wstring ParamDialog::CaptionText() const {
  const LaunchState& l = run_.launch;
  // The title may name a target by its short name: shown by its real name.
  if (PromptMode() && l.TitleGiven) return Widen(ShownText(run_, l.ParameterTitle));
  return Widen("[ ミルンズ ]") + Widen(PromptMode() ? "　'%X'入力" : "　オプション");
}

std::string ParamDialog::InitialText() const {
  const std::string& defaultText = run_.launch.ParameterDefault;
  if (PromptMode() || !defaultText.empty()) return defaultText;
  const std::string& first = run_.targets.Working[0];
  const bool onDisk = run_.platform.IsDirectory(first) || run_.platform.PathExists(first);
  return onDisk || !run_.edition.webTargets ? "\"%P\"" : "%L";
}

// What the user typed, in the code page: a typed name of an existing file or
// folder that the code page cannot hold is taken by its short name; other
// text the code page cannot hold is not taken (it would reach the program
// as a best-fit look-alike).
std::optional<std::string> ParamDialog::TypedAnswer() const {
  const int length = GetWindowTextLengthW(edit_);
  std::wstring typed(static_cast<size_t>(length) + 1, L'\0');
  typed.resize(static_cast<size_t>(GetWindowTextW(edit_, typed.data(), length + 1)));
  bool exact = false;
  const std::string ansi = AnsiOf(typed, exact);
  if (exact) return CutToBytes(ansi, kMaxPath - 1);
  const std::string utf8 = Utf8Of(typed);
  const std::string unquoted = PathUnquoteSpaces(utf8);
  const std::optional<UnicodeName> name = run_.platform.FindUnicodeName(unquoted);
  if (!name || name->shortPath.empty()) return std::nullopt;
  return unquoted.size() == utf8.size() ? name->shortPath : "\"" + name->shortPath + "\"";
}

void ParamDialog::Accept() {
  const std::optional<std::string> answer = TypedAnswer();
  if (!answer) {
    MessageBoxW(dialog_, Widen(kUnrepresentableInput).c_str(),
                Widen(run_.edition.configErrorCaption).c_str(), MB_OK);
    SetFocus(edit_);
    return;
  }
  run_.launch.ParameterAnswer = *answer;
  End((GetKeyState(VK_CONTROL) & 0x8000) ? kConfirmedWithControl : kConfirmed);
}

void ParamDialog::End(int result) {
  font_.reset();
  EndDialog(dialog_, result);
}

// The layout's sizes are meant at 96 DPI.
int ParamDialog::Px(int pixelsAt96) const { return ScaleToDpi(pixelsAt96, dpi_); }

HWND ParamDialog::AddControl(const wchar_t* cls, const std::wstring& text, int id, int x, int y,
                             int width, int height, DWORD style, DWORD exStyle) {
  HWND control = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, Px(x),
                                 Px(y), Px(width), Px(height), dialog_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_,
                                 nullptr);
  if (control && id != kIcon)
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  return control;
}

void ParamDialog::Layout() {
  const MenuState& menu = run_.menu;
  dpi_ = DpiAt({menu.AnchorX, menu.AnchorY}, dialog_);
  MoveWindow(dialog_, menu.AnchorX, menu.AnchorY, Px(250), Px(47), TRUE);
  ShowWindow(dialog_, SW_SHOW);
  font_.reset(MakeFixedFont(Widen("ＭＳ Ｐゴシック"), Px(13)));
  AddControl(L"STATIC", CaptionText(), kCaption, 2, 2, 170, 16, SS_LEFTNOWORDWRAP);
  AddControl(L"BUTTON", L"", kIcon, 2, 20, 17, 17, BS_OWNERDRAW);
  edit_ = AddControl(L"EDIT", L"", kEdit, 22, 20, 148, 17,
                     WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
  AddControl(L"BUTTON", L"OK", kOk, 180, 21, 60, 16, BS_PUSHBUTTON | WS_TABSTOP);
  AddControl(L"BUTTON", L"CANCEL", kCancel, 180, 2, 60, 16, BS_PUSHBUTTON | WS_TABSTOP);
  SetWindowLongPtrA(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  editProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  SetWindowTextA(edit_, InitialText().c_str());
  SetFocus(edit_);
}

void ParamDialog::PutIntoEdit(const std::string& path, bool quote) {
  const std::string text = quote ? PathQuoteSpaces(path) : path;
  SetWindowTextA(edit_, text.c_str());
  SendMessageA(edit_, EM_SETSEL, 0, static_cast<LPARAM>(text.size()));
}

// The first dropped file in the code page (by its short name when the code
// page cannot hold its name), or nothing when its name does not fit or has
// no such form (the user is told).
std::string ParamDialog::FirstDroppedFile(HDROP drop) const {
  wchar_t name[kMaxPath] = {};
  const bool fits = DragQueryFileW(drop, 0, nullptr, 0) < kMaxPath;
  if (fits) DragQueryFileW(drop, 0, name, kMaxPath);
  DragFinish(drop);
  if (!fits) return "";
  const std::optional<std::string> path = AnsiPathOf(name);
  if (path && path->size() < kMaxPath) return *path;
  MessageBoxW(dialog_, Widen(std::string(kUnrepresentableNames) + "\n\n" + Utf8Of(name)).c_str(),
              Widen(run_.edition.configErrorCaption).c_str(), MB_OK);
  return "";
}

void ParamDialog::DropFromHost(HDROP drop, HWND host) {
  const std::string path = FirstDroppedFile(drop);
  if (!path.empty()) PutIntoEdit(path, true);
  SetForegroundWindow(host);
  SetFocus(edit_);
  ShowWindow(host, SW_HIDE);
}

void ParamDialog::DrawProgramIcon(const DRAWITEMSTRUCT* item) const {
  const std::string& program = run_.launch.DialogProgram;
  win32::Icon icon;
  if (ContainsI(program, "@system")) {
    icon.reset(static_cast<HICON>(LoadImageA(instance_, "MYSYS", IMAGE_ICON, Px(16), Px(16), 0)));
  } else {
    SHFILEINFOA info{};
    if (SHGetFileInfoA(program.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON))
      icon.reset(info.hIcon);
  }
  if (icon)
    DrawIconEx(item->hDC, item->rcItem.left, item->rcItem.top, icon.get(), Px(16), Px(16), 0,
               nullptr, DI_NORMAL);
}

void ParamDialog::Drag() {
  POINT cursor;
  RECT rect;
  GetCursorPos(&cursor);
  GetWindowRect(dialog_, &rect);
  MoveWindow(dialog_, rect.left + cursor.x - last_.x, rect.top + cursor.y - last_.y,
             rect.right - rect.left, rect.bottom - rect.top, TRUE);
  last_ = cursor;
}

}  // namespace zolto
