/* Stands in for the browser zolto_capture.exe runs (registered as msedge.exe
   or chrome.exe). Appends its arguments, as CommandLineToArgvW splits them,
   one a line in UTF-8, to browser.log beside itself. The file browser.mode
   beside it chooses what it does:
     missing or "ok"  copies the picture WxH.png beside it (the test makes it,
                      all magenta) for --window-size=W,H to the --screenshot=
                      path (exit 2 without them or without the picture)
     "fail"           writes nothing, exits 1
     "hang"           starts a copy of itself with --type=renderer, as a
                      browser starts its helpers; both sleep until ended
   The copy logs nothing. */
#include <windows.h>
#include <shellapi.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

static wchar_t folder[MAX_PATH];

static FILE *OpenBeside(const wchar_t *name, const wchar_t *mode) {
  wchar_t path[MAX_PATH + 32];
  _snwprintf(path, MAX_PATH + 32, L"%ls%ls", folder, name);
  path[MAX_PATH + 31] = 0;
  return _wfopen(path, mode);
}

static void LogArguments(int count, wchar_t **arguments) {
  char line[32768];
  FILE *log = OpenBeside(L"browser.log", L"ab");
  int i;
  if (log == NULL) return;
  for (i = 1; i < count; ++i) {
    if (WideCharToMultiByte(CP_UTF8, 0, arguments[i], -1, line, sizeof line, NULL, NULL) > 0)
      fprintf(log, "%s\n", line);
  }
  fclose(log);
}

static void Hang(void) {
  STARTUPINFOW startup;
  PROCESS_INFORMATION process;
  wchar_t self[MAX_PATH], line[MAX_PATH + 32];
  GetModuleFileNameW(NULL, self, MAX_PATH);
  _snwprintf(line, MAX_PATH + 32, L"\"%ls\" --type=renderer", self);
  line[MAX_PATH + 31] = 0;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  if (CreateProcessW(self, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  Sleep(INFINITE);
}

int main(void) {
  int count = 0, i;
  wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const wchar_t *screenshot = NULL;
  UINT width = 0, height = 0;
  char mode[16] = "ok";
  wchar_t picture[MAX_PATH + 32];
  FILE *file;
  wchar_t *slash;
  if (arguments == NULL) return 2;
  for (i = 1; i < count; ++i) {
    if (wcscmp(arguments[i], L"--type=renderer") == 0) Sleep(INFINITE);
  }
  GetModuleFileNameW(NULL, folder, MAX_PATH);
  slash = wcsrchr(folder, L'\\');
  if (slash != NULL) slash[1] = 0;
  LogArguments(count, arguments);
  file = OpenBeside(L"browser.mode", L"rb");
  if (file != NULL) {
    if (fscanf(file, "%15s", mode) != 1) strcpy(mode, "ok");
    fclose(file);
  }
  if (strcmp(mode, "fail") == 0) return 1;
  if (strcmp(mode, "hang") == 0) Hang();
  for (i = 1; i < count; ++i) {
    if (wcsncmp(arguments[i], L"--screenshot=", 13) == 0) screenshot = arguments[i] + 13;
    swscanf(arguments[i], L"--window-size=%u,%u", &width, &height);
  }
  if (screenshot == NULL || width == 0 || height == 0) return 2;
  _snwprintf(picture, MAX_PATH + 32, L"%ls%ux%u.png", folder, width, height);
  picture[MAX_PATH + 31] = 0;
  return CopyFileW(picture, screenshot, FALSE) ? 0 : 2;
}
