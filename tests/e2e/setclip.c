/* Puts data on the clipboard and exits; the data stays there for the next
 * program.
 *   setclip.exe PATH...     a CF_HDROP list of the paths (ANSI)
 *   setclip.exe -t TEXT     TEXT as CF_TEXT
 *   setclip.exe -e          an empty clipboard
 * Exits 0 when the clipboard holds the data, 1 otherwise. */
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

static HGLOBAL FileList(int count, char **paths) {
  SIZE_T size = sizeof(DROPFILES) + 1; /* the list's final NUL */
  for (int i = 0; i < count; ++i) size += strlen(paths[i]) + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (!memory) return NULL;
  DROPFILES *drop = (DROPFILES *)GlobalLock(memory);
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = FALSE;
  char *at = (char *)drop + sizeof(DROPFILES);
  for (int i = 0; i < count; ++i) {
    size_t n = strlen(paths[i]) + 1;
    memcpy(at, paths[i], n);
    at += n;
  }
  GlobalUnlock(memory);
  return memory;
}

static HGLOBAL Text(const char *text) {
  SIZE_T size = strlen(text) + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return NULL;
  memcpy(GlobalLock(memory), text, size);
  GlobalUnlock(memory);
  return memory;
}

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: setclip PATH... | -t TEXT | -e\n");
    return 2;
  }
  /* The clipboard needs an owner window for SetClipboardData to succeed. */
  HWND owner = CreateWindowA("STATIC", "setclip", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
  BOOL open = FALSE;
  for (int attempt = 0; attempt < 50 && !(open = OpenClipboard(owner)); ++attempt) Sleep(20);
  if (!open) {
    fprintf(stderr, "setclip: the clipboard stays busy\n");
    return 1;
  }
  EmptyClipboard();
  BOOL ok = TRUE;
  if (strcmp(argv[1], "-t") == 0 && argc == 3) {
    ok = SetClipboardData(CF_TEXT, Text(argv[2])) != NULL;
  } else if (strcmp(argv[1], "-e") != 0) {
    ok = SetClipboardData(CF_HDROP, FileList(argc - 1, argv + 1)) != NULL;
  }
  CloseClipboard();
  if (!ok) fprintf(stderr, "setclip: SetClipboardData failed (%lu)\n", GetLastError());
  return ok ? 0 : 1;
}
