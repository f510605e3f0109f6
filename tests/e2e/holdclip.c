/* Holds the clipboard open, as a program does in the middle of a copy:
 *   holdclip.exe FLAG
 * Opens the clipboard (leaving what it holds), creates the file FLAG, and
 * keeps the clipboard open until FLAG is deleted (at most 120 s). Exits 0,
 * or 1 when the clipboard could not be opened. */
#include <windows.h>

int main(int argc, char **argv) {
  if (argc != 2) return 2;
  if (!OpenClipboard(NULL)) return 1;
  HANDLE flag = CreateFileA(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (flag == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(flag);
  for (int i = 0; i < 1200 && GetFileAttributesA(argv[1]) != INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(100);
  CloseClipboard();
  return 0;
}
