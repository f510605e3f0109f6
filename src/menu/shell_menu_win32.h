// The target's own Explorer context menu inside the popup menu, through the
// shell's COM interfaces.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <optional>

#include "app/run.h"
#include "platform/win32_owners.h"

namespace zolto {

class ShellMenu {
 public:
  explicit ShellMenu(RunState& run) : run_(run) {}
  ~ShellMenu() { Close(); }
  ShellMenu(const ShellMenu&) = delete;
  ShellMenu& operator=(const ShellMenu&) = delete;

  // Puts the shell's items for the targets in the first target's folder
  // into menu (merged), or into a new popup that it returns (submenu mode).
  // Returns nullptr, with nothing added, when the shell offers nothing.
  HMENU Add(HWND window, HMENU menu);
  void Invoke(HWND window, int id);
  // Hands a menu message to the shell's own items.
  void Forward(UINT message, WPARAM wParam, LPARAM lParam);
  // Releases everything the shell menu holds (at close).
  void Close();

 private:
  bool OpenShellAllocator();
  void ReleaseShellObjects();
  bool MakeContextMenu(HWND window);
  void FilterItems(HMENU menu, int first);

  RunState& run_;
  // COM, started when the first menu asks the shell, until the window closes.
  std::optional<win32::ComScope> com_;
  win32::ComPtr<IContextMenu2> context_;
  win32::ComPtr<IShellFolder> desktop_;
  win32::ComPtr<IMalloc> allocator_;
};

}  // namespace zolto
