/* Puts data on the clipboard and exits; the data stays there for the next
 * program. Arguments are read wide, so any name reaches the clipboard as it
 * was given.
 *   setclip.exe PATH...     a CF_HDROP list of the paths (UTF-16)
 *   setclip.exe -t TEXT     TEXT as CF_UNICODETEXT
 *   setclip.exe -e          an empty clipboard
 *   setclip.exe -k SECONDS  stays that long with a window: keeps Wine's
 *                           desktop process, which holds the clipboard
 *                           between programs, running
 * Exits 0 when the clipboard holds the data, 1 otherwise. */
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <wchar.h>

static HGLOBAL FileList(int count, LPWSTR *paths) {
  SIZE_T size = sizeof(DROPFILES) + sizeof(WCHAR); /* the list's final NUL */
  for (int i = 0; i < count; ++i) size += (wcslen(paths[i]) + 1) * sizeof(WCHAR);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (!memory) return NULL;
  DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  WCHAR *at = (WCHAR *)((char *)drop + sizeof(DROPFILES));
  for (int i = 0; i < count; ++i) {
    size_t n = wcslen(paths[i]) + 1;
    memcpy(at, paths[i], n * sizeof(WCHAR));
    at += n;
  }
  GlobalUnlock(memory);
  return memory;
}

static HGLOBAL Text(const WCHAR *text) {
  SIZE_T size = (wcslen(text) + 1) * sizeof(WCHAR);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return NULL;
  memcpy(GlobalLock(memory), text, size);
  GlobalUnlock(memory);
  return memory;
}

/* Under Wine the data reaches the X11 clipboard manager (which keeps it for
 * the next program) a moment after the clipboard is closed: the helper
 * waits that moment before it ends. */
int main(void) {
  int argc = 0;
  LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) {
    fprintf(stderr, "usage: setclip PATH... | -t TEXT | -e\n");
    return 2;
  }
  /* The clipboard needs an owner window for SetClipboardData to succeed. */
  HWND owner = CreateWindowA("STATIC", "setclip", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
  if (wcscmp(argv[1], L"-k") == 0 && argc == 3) { /* keeps Wine's desktop process alive */
    Sleep((DWORD)_wtoi(argv[2]) * 1000);
    return 0;
  }
  BOOL open = FALSE;
  for (int attempt = 0; attempt < 50 && !(open = OpenClipboard(owner)); ++attempt) Sleep(20);
  if (!open) {
    fprintf(stderr, "setclip: the clipboard stays busy\n");
    return 1;
  }
  EmptyClipboard();
  BOOL ok = TRUE;
  UINT format = 0;
  if (wcscmp(argv[1], L"-t") == 0 && argc == 3) {
    ok = SetClipboardData(format = CF_UNICODETEXT, Text(argv[2])) != NULL;
  } else if (wcscmp(argv[1], L"-e") != 0) {
    ok = SetClipboardData(format = CF_HDROP, FileList(argc - 1, argv + 1)) != NULL;
  }
  CloseClipboard();
  if (ok && format) Sleep(500);
  if (!ok) fprintf(stderr, "setclip: SetClipboardData failed (%lu)\n", GetLastError());
  return ok ? 0 : 1;
}
