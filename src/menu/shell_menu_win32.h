// The target's own Explorer context menu inside the popup menu, through the
// shell's COM interfaces.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include "app/run.h"

namespace zolto {

// An owned COM interface pointer.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  T** Out() {
    Reset();
    return &pointer_;
  }
  void Reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  T* pointer_ = nullptr;
};

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
  ComPtr<IContextMenu2> context_;
  ComPtr<IShellFolder> desktop_;
  ComPtr<IMalloc> allocator_;
  bool comStarted_ = false;
};

}  // namespace zolto
