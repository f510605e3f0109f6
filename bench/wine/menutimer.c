/* Times programs from process start to their popup menu: starts the command
 * line, polls for a visible menu window (class "#32768") every millisecond,
 * notes the time, closes the menu with Escape and waits for the program to
 * end. Prints one line per run: the milliseconds, or "-1" when no menu came
 * within 20 s (the program is then ended).
 *   menutimer RUNS COMMAND-LINE */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

static HWND VisibleMenu(void) {
  HWND menu = FindWindowW(L"#32768", NULL);
  return menu && IsWindowVisible(menu) ? menu : NULL;
}

static double TimeOne(wchar_t *command) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
    return -2;
  double ms = -1;
  HWND menu = NULL;
  for (;;) {
    QueryPerformanceCounter(&now);
    double elapsed = (double)(now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    if ((menu = VisibleMenu()) != NULL) {
      ms = elapsed;
      break;
    }
    if (elapsed > 20000 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (menu) {
    /* The menu's own loop reads keys from its thread's queue. */
    for (int i = 0; i < 50 && WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT; ++i) {
      if ((menu = VisibleMenu()) != NULL) {
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0);
      }
    }
  }
  if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    ms = -1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ms;
}

int wmain(int argc, wchar_t **argv) {
  if (argc < 3) {
    fwprintf(stderr, L"usage: menutimer RUNS COMMAND-LINE\n");
    return 2;
  }
  int runs = _wtoi(argv[1]);
  /* The command line as given, after the run count. */
  wchar_t *line = GetCommandLineW();
  wchar_t *rest = wcsstr(line, argv[1]) + wcslen(argv[1]);
  while (*rest == L' ') ++rest;
  size_t size = wcslen(rest) + 1;
  for (int i = 0; i < runs; ++i) {
    wchar_t *copy = malloc(size * sizeof *copy);
    wcscpy(copy, rest);
    printf("%.1f\n", TimeOne(copy));
    fflush(stdout);
    free(copy);
    Sleep(200);
  }
  return 0;
}
