/* The end-to-end tests' helper under Wine: what the X side cannot do.
 *   zt wintext               each visible top-level window as a line of UTF-8:
 *                            its caption, then a tab and the text of each child
 *                            (a message box's message, its buttons ...)
 *   zt setclip PATH...       a CF_HDROP list of the paths on the clipboard
 *   zt setclip -t TEXT       TEXT as CF_UNICODETEXT; "zt setclip -e" empties it
 *   zt unshift               releases Shift through SendInput, Wine's own key
 *                            state: an X release after a menu closed reaches
 *                            no Wine window
 *   zt hold deny PATH FLAG   holds PATH open without sharing,
 *   zt hold lock PATH FLAG   or shared with all its bytes locked,
 *   zt hold clip FLAG        or the clipboard open, as a program in a copy does;
 *                            creates FLAG once it holds and lets go when FLAG is
 *                            deleted (at most 120 s)
 *   zt run                   runs the command line in ZT_LINE exactly as
 *                            written (Wine would quote the arguments of its
 *                            own command line); exits with its exit status,
 *                            124 when it ran over 25 s, 125 when it never ran
 *   zt keep SECONDS          stays that long with a window: keeps Wine's
 *                            desktop process, which holds the clipboard
 *                            between programs, running
 * Arguments are read wide, so any name arrives as given. Data put on the
 * clipboard stays there for the next program. Exits 0 on success, 1 when the
 * system refused, 2 on bad usage. */
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <wchar.h>

static void Put(const wchar_t *text) {
  char utf8[4096];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
  DWORD written;
  if (n > 1) WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8, (DWORD)(n - 1), &written, NULL);
}

static BOOL CALLBACK PutChild(HWND window, LPARAM unused) {
  wchar_t text[1024];
  if (GetWindowTextW(window, text, 1024) > 0 || SendMessageW(window, WM_GETTEXT, 1024, (LPARAM)text) > 0) {
    Put(L"\t");
    Put(text);
  }
  return TRUE;
}

static BOOL CALLBACK PutTopLevel(HWND window, LPARAM unused) {
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t caption[1024] = L"";
  GetWindowTextW(window, caption, 1024);
  Put(caption);
  EnumChildWindows(window, PutChild, 0);
  Put(L"\n");
  return TRUE;
}

static HGLOBAL Global(const void *data, SIZE_T size, SIZE_T extraZeros) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + extraZeros);
  if (memory) {
    memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
  }
  return memory;
}

/* A DROPFILES header, then each path and its NUL, then the list's final NUL. */
static HGLOBAL FileList(int count, LPWSTR *paths) {
  static BYTE list[65536];
  DROPFILES *drop = (DROPFILES *)list;
  memset(drop, 0, sizeof *drop);
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  SIZE_T used = sizeof(DROPFILES);
  for (int i = 0; i < count; ++i) {
    SIZE_T n = (wcslen(paths[i]) + 1) * sizeof(WCHAR);
    if (used + n + sizeof(WCHAR) > sizeof list) return NULL;
    memcpy(list + used, paths[i], n);
    used += n;
  }
  return Global(list, used, sizeof(WCHAR));
}

static int SetClip(int argc, LPWSTR *argv) {
  /* The clipboard needs an owner window for SetClipboardData to succeed. */
  HWND owner = CreateWindowA("STATIC", "zt", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
  BOOL open = FALSE;
  for (int attempt = 0; attempt < 50 && !(open = OpenClipboard(owner)); ++attempt) Sleep(20);
  if (!open) return 1;
  EmptyClipboard();
  HANDLE set = owner;
  if (argc == 2 && wcscmp(argv[0], L"-t") == 0)
    set = SetClipboardData(CF_UNICODETEXT, Global(argv[1], (wcslen(argv[1]) + 1) * sizeof(WCHAR), 0));
  else if (argc > 0 && wcscmp(argv[0], L"-e") != 0)
    set = SetClipboardData(CF_HDROP, FileList(argc, argv));
  CloseClipboard();
  /* Wine's clipboard manager hands new data on to X and opens the clipboard
   * meanwhile: wait until it has been free for half a second (at most 5 s),
   * so that the next program does not find it held. */
  for (int free = 0, i = 0; free < 5 && i < 50; ++i) {
    Sleep(100);
    free = OpenClipboard(owner) ? (CloseClipboard(), free + 1) : 0;
  }
  return set ? 0 : 1;
}

/* Releases Shift through SendInput, Wine's own key state. */
static int Unshift(void) {
  INPUT input = {.type = INPUT_KEYBOARD};
  input.ki.wVk = VK_SHIFT;
  input.ki.wScan = (WORD)MapVirtualKeyA(VK_SHIFT, MAPVK_VK_TO_VSC);
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(1, &input, sizeof input) == 1 ? 0 : 1;
}

static int Hold(int argc, LPWSTR *argv) {
  const BOOL clip = argc == 2 && wcscmp(argv[0], L"clip") == 0;
  const BOOL lock = argc == 3 && wcscmp(argv[0], L"lock") == 0;
  HANDLE file = INVALID_HANDLE_VALUE;
  if (clip) {
    if (!OpenClipboard(NULL)) return 1;
  } else if (lock || (argc == 3 && wcscmp(argv[0], L"deny") == 0)) {
    file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, lock ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0,
                       NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE || (lock && !LockFile(file, 0, 0, MAXDWORD, MAXDWORD))) return 1;
  } else {
    return 2;
  }
  const wchar_t *flag = argv[argc - 1];
  HANDLE mark = CreateFileW(flag, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (mark == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(mark);
  for (int i = 0; i < 1200 && GetFileAttributesW(flag) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  if (clip) CloseClipboard(); else CloseHandle(file);
  return 0;
}

static int Run(void) {
  static wchar_t line[32768];
  const DWORD length = GetEnvironmentVariableW(L"ZT_LINE", line, 32768);
  STARTUPINFOW startup = {.cb = sizeof startup};
  PROCESS_INFORMATION process;
  if (length == 0 || length >= 32768 ||
      !CreateProcessW(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
    return 125;
  DWORD status = 124;
  if (WaitForSingleObject(process.hProcess, 25000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &status);
  else {
    TerminateProcess(process.hProcess, 124);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return (int)status;
}

int main(void) {
  int argc = 0;
  LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv && argc >= 2 && wcscmp(argv[1], L"wintext") == 0) return !EnumWindows(PutTopLevel, 0);
  if (argv && argc >= 2 && wcscmp(argv[1], L"setclip") == 0) return SetClip(argc - 2, argv + 2);
  if (argv && argc == 2 && wcscmp(argv[1], L"unshift") == 0) return Unshift();
  if (argv && argc >= 3 && wcscmp(argv[1], L"hold") == 0) return Hold(argc - 2, argv + 2);
  if (argv && argc == 2 && wcscmp(argv[1], L"run") == 0) return Run();
  if (argv && argc == 3 && wcscmp(argv[1], L"keep") == 0) {
    CreateWindowA("STATIC", "zt", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    Sleep((DWORD)_wtoi(argv[2]) * 1000);
    return 0;
  }
  fprintf(stderr, "usage: zt wintext | setclip PATH...|-t TEXT|-e | "
                  "hold deny|lock PATH FLAG | hold clip FLAG | run | keep SECONDS | unshift\n");
  return 2;
}
