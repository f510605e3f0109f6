/* Prints every visible top-level window of the Wine desktop as one line of
 * UTF-8: its caption, then a tab and the text of each child window (a message
 * box's message, its buttons ...). Tests use it to read what a window says,
 * which the X side cannot tell. Exits 0. */
#include <windows.h>
#include <stdio.h>

static HANDLE out;

static void Put(const wchar_t *text) {
  char utf8[4096];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
  DWORD written;
  if (n > 1) WriteFile(out, utf8, (DWORD)(n - 1), &written, NULL);
}

static BOOL CALLBACK Child(HWND window, LPARAM unused) {
  wchar_t text[1024];
  if (GetWindowTextW(window, text, 1024) > 0 || SendMessageW(window, WM_GETTEXT, 1024, (LPARAM)text) > 0) {
    Put(L"\t");
    Put(text);
  }
  return TRUE;
}

static BOOL CALLBACK TopLevel(HWND window, LPARAM unused) {
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t caption[1024] = L"";
  GetWindowTextW(window, caption, 1024);
  Put(caption);
  EnumChildWindows(window, Child, 0);
  Put(L"\n");
  return TRUE;
}

int main(void) {
  out = GetStdHandle(STD_OUTPUT_HANDLE);
  EnumWindows(TopLevel, 0);
  return 0;
}
