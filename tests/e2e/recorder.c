/* Stands in for the programs the launcher starts. Each run appends one line
 * to a log: the full command line, a tab, the current folder, a tab, and the
 * moment the process was created (milliseconds on the system clock, the
 * same clock for every process, so the gaps between starts can be read
 * without the process's own start-up time in them), a tab, and each argument
 * in UTF-8 as the file system resolves it (the long path of an existing file
 * or folder, GetLongPathNameW, else the argument as given), joined by '|':
 * which file a short name or a quoted name opens. The log is recorder.log
 * beside this program.
 * Lines end with a bare LF so that shell tests can read them as they are.
 * A console-less program, so it never shows a window of its own. */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

/* Appends the resolved arguments, in UTF-8, to buffer (size bytes). */
static void ResolvedArguments(char *buffer, int size) {
  int count = 0;
  LPWSTR *words = CommandLineToArgvW(GetCommandLineW(), &count);
  int used = 0;
  buffer[0] = '\0';
  for (int i = 1; words && i < count && used < size - 1; ++i) {
    WCHAR resolved[MAX_PATH * 4];
    DWORD n = GetLongPathNameW(words[i], resolved, MAX_PATH * 4);
    const WCHAR *shown = n > 0 && n < MAX_PATH * 4 ? resolved : words[i];
    if (i > 1) buffer[used++] = '|';
    int wrote = WideCharToMultiByte(CP_UTF8, 0, shown, -1, buffer + used, size - 1 - used, NULL, NULL);
    used += wrote > 0 ? wrote - 1 : 0;
    buffer[used] = '\0';
  }
  LocalFree(words);
}

static void LogPath(char *path, DWORD size) {
  DWORD n = GetModuleFileNameA(NULL, path, size);
  if (n == 0 || n >= size) {
    lstrcpynA(path, "recorder.log", (int)size);
    return;
  }
  char *slash = strrchr(path, '\\');
  char *base = slash ? slash + 1 : path;
  lstrcpynA(base, "recorder.log", (int)(size - (DWORD)(base - path)));
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR tail, int show) {
  char path[MAX_PATH * 2];
  char folder[MAX_PATH * 2];
  LogPath(path, sizeof path);
  DWORD folderLength = GetCurrentDirectoryA(sizeof folder, folder);
  if (folderLength == 0 || folderLength >= sizeof folder) folder[0] = '\0';
  const char *commandLine = GetCommandLineA();
  FILETIME created, exited, kernel, user;
  unsigned long long createdMs = 0;
  if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
    createdMs = (((unsigned long long)created.dwHighDateTime << 32) | created.dwLowDateTime) / 10000;
  char stamp[32];
  snprintf(stamp, sizeof stamp, "\t%llu\t", createdMs);
  char resolved[MAX_PATH * 8];
  ResolvedArguments(resolved, sizeof resolved);

  /* Several recorders may run at once: retry while another holds the log. */
  HANDLE log = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100; ++attempt) {
    log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, NULL);
    if (log != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
    Sleep(20);
  }
  if (log == INVALID_HANDLE_VALUE) return 1;

  DWORD written;
  BOOL ok = WriteFile(log, commandLine, (DWORD)strlen(commandLine), &written, NULL) &&
            WriteFile(log, "\t", 1, &written, NULL) &&
            WriteFile(log, folder, (DWORD)strlen(folder), &written, NULL) &&
            WriteFile(log, stamp, (DWORD)strlen(stamp), &written, NULL) &&
            WriteFile(log, resolved, (DWORD)strlen(resolved), &written, NULL) &&
            WriteFile(log, "\n", 1, &written, NULL);
  CloseHandle(log);
  return ok ? 0 : 1;
}
