/* Starts a program with an exact command line, for capture/smoke.sh: Wine
   would quote and escape arguments it is given on its own command line. The
   line comes from the environment variable ZOLTO_CAPTURE_LINE; the program
   gets ZOLTO_CAPTURE_WAIT_MS milliseconds (default 30000) to end. Prints the
   time it took and returns its exit status, 124 when it was ended for taking
   too long, 125 when it could not be started. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main(void) {
  static char line[32768];
  char wait[32];
  DWORD waitMs = 30000, status = 125, start, length;
  STARTUPINFOA startup;
  PROCESS_INFORMATION process;
  length = GetEnvironmentVariableA("ZOLTO_CAPTURE_LINE", line, sizeof line);
  if (length == 0 || length >= sizeof line) {
    printf("capture_run: ZOLTO_CAPTURE_LINE is not set or too long\n");
    return 125;
  }
  length = GetEnvironmentVariableA("ZOLTO_CAPTURE_WAIT_MS", wait, sizeof wait);
  if (length > 0 && length < sizeof wait) {
    waitMs = strtoul(wait, NULL, 10);
  }
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  start = GetTickCount();
  if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
    printf("capture_run: cannot start %s: error %lu\n", line, GetLastError());
    return 125;
  }
  if (WaitForSingleObject(process.hProcess, waitMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &status);
  } else {
    TerminateProcess(process.hProcess, 124);
    WaitForSingleObject(process.hProcess, 5000);
    status = 124;
  }
  printf("capture_run: status %lu after %lu ms\n", status, GetTickCount() - start);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return (int)status;
}
