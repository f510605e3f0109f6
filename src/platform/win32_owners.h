// Owners of Win32 handles and COM objects, and the text conversions the
// wide functions need: shared by the launcher, its checker and the
// companions. Each owner frees what it holds when it goes out of scope (or
// is reset); owners cannot be copied, and a move hands the handle over.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>
#include <string_view>
#include <utility>

namespace win32 {

// A handle of type Handle freed by Traits::Free, empty when Traits::Valid
// says so.
template <typename Handle, typename Traits>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  ~Owned() { reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::Valid(handle_); }
  Handle release() { return std::exchange(handle_, Handle{}); }
  void reset(Handle handle = Handle{}) {
    if (Traits::Valid(handle_)) Traits::Free(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_{};
};

template <typename Handle, auto FreeFunction>
struct NullIsEmpty {
  static bool Valid(Handle handle) { return handle != nullptr; }
  static void Free(Handle handle) { FreeFunction(handle); }
};

struct KernelTraits {
  static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Free(HANDLE handle) { CloseHandle(handle); }
};

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }

using UniqueHandle = Owned<HANDLE, KernelTraits>;  // files, processes, jobs
using Bitmap = Owned<HBITMAP, NullIsEmpty<HBITMAP, DeleteGdiObject>>;
using Font = Owned<HFONT, NullIsEmpty<HFONT, DeleteGdiObject>>;
using Brush = Owned<HBRUSH, NullIsEmpty<HBRUSH, DeleteGdiObject>>;
using MemoryDc = Owned<HDC, NullIsEmpty<HDC, DeleteDC>>;
using Icon = Owned<HICON, NullIsEmpty<HICON, DestroyIcon>>;
using Library = Owned<HMODULE, NullIsEmpty<HMODULE, FreeLibrary>>;
using Hook = Owned<HHOOK, NullIsEmpty<HHOOK, UnhookWindowsHookEx>>;

// A window's device context, released to its window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context; the one it replaced is put back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (previous_) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// An owned COM interface pointer.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For functions that hand out an interface: releases the one held first.
  T** put() {
    reset();
    return &pointer_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  T* pointer_ = nullptr;
};

// COM on this thread for as long as the object lives. A thread whose COM is
// already set up for the other model (RPC_E_CHANGED_MODE) keeps it, and COM
// is usable all the same; each successful start, S_FALSE included, is
// balanced.
class ComScope {
 public:
  explicit ComScope(DWORD model = COINIT_APARTMENTTHREADED) {
    const HRESULT result = CoInitializeEx(nullptr, model);
    started_ = SUCCEEDED(result);
    usable_ = started_ || result == RPC_E_CHANGED_MODE;
  }
  ~ComScope() {
    if (started_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool usable() const { return usable_; }

 private:
  bool started_ = false;
  bool usable_ = false;
};

// Text of a code page (UTF-8 by default; CP_ACP for the ANSI code page) as
// UTF-16, and UTF-16 as UTF-8.
inline std::wstring Widen(std::string_view text, UINT codePage = CP_UTF8) {
  if (text.empty()) return L"";
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (n <= 0) return L"";
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n);
  return wide;
}

inline std::string Utf8Of(std::wstring_view wide) {
  if (wide.empty()) return "";
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return "";
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
  return utf8;
}

}  // namespace win32
