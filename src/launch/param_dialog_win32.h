// The parameter dialog "OPTION": one line of text for a "%X" prompt or for
// a template typed when an entry is chosen with Ctrl.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/run.h"
#include "platform/win32_owners.h"

namespace zolto {

class ParamDialog {
 public:
  ParamDialog(RunState& run, HINSTANCE instance) : run_(run), instance_(instance) {}

  // Opens the modal dialog at the menu's anchor (the answer is in
  // run.launch.ParameterAnswer).
  DialogResult Open(HWND owner);
  // While the dialog is open, files dropped on the host window go into it.
  bool IsOpen() const { return open_; }
  void DropFromHost(HDROP drop, HWND host);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool PromptMode() const { return run_.launch.DialogCount > 0; }
  std::wstring CaptionText() const;
  std::string InitialText() const;
  std::optional<std::string> TypedAnswer() const;
  std::string FirstDroppedFile(HDROP drop) const;
  void Layout();
  HWND AddControl(const wchar_t* cls, const std::wstring& text, int id, int x, int y, int width,
                  int height, DWORD style, DWORD exStyle = 0);
  void PutIntoEdit(const std::string& path, bool quote);
  void DrawProgramIcon(const DRAWITEMSTRUCT* item) const;
  void Drag();
  void Accept();
  void End(int result);
  int Px(int pixelsAt96) const;

  RunState& run_;
  HINSTANCE instance_;
  HWND dialog_ = nullptr;
  HWND edit_ = nullptr;
  WNDPROC editProc_ = nullptr;
  win32::Font font_;  // lives as long as the dialog
  int dpi_ = 96;      // of the monitor the dialog opens on
  bool open_ = false;
  bool dragging_ = false;
  POINT last_{};
};

}  // namespace zolto
