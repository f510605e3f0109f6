/* A page-capture program that crashes half-way: it writes the first 30
 * bytes of a 320x240 BMP to the path after "-o" (up to the next blank), then
 * dies of an access violation, as a capture program that breaks mid-write
 * does. Its own exception filter ends it at once with the crash's code
 * (0xC0000005) instead of the system's crash report, which under Wine would
 * wait for a click. GUI subsystem, like the programs it stands in for. */
#include <windows.h>
#include <string.h>

static LONG WINAPI EndAtOnce(EXCEPTION_POINTERS *exception) {
  (void)exception;
  return EXCEPTION_EXECUTE_HANDLER;
}

static void WriteHalfBitmap(const char *commandLine) {
  const char *at = strstr(commandLine, " -o");
  if (!at) return;
  char path[MAX_PATH];
  size_t n = strcspn(at + 3, " ");
  if (n == 0 || n >= sizeof path) return;
  memcpy(path, at + 3, n);
  path[n] = '\0';
  /* "BM", the file size, two reserved words, the pixel offset, then the
   * start of the info header: size 40, width 320, height 240, one plane. */
  static const unsigned char head[30] = {
      'B', 'M', 0x36, 0x84, 0x03, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0,
      0,   0,   0x40, 0x01, 0,    0, 0xF0, 0, 0, 0, 1, 0, 24, 0};
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, head, sizeof head, &written, NULL);
  CloseHandle(file);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR tail, int show) {
  (void)instance, (void)previous, (void)tail, (void)show;
  SetUnhandledExceptionFilter(EndAtOnce);
  WriteHalfBitmap(GetCommandLineA());
  volatile int *nowhere = NULL;
  *nowhere = 1;
  return 0;
}
