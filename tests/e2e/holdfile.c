/* Holds a file the way another program may hold the launcher's configuration:
 *   holdfile.exe deny PATH FLAG   opens PATH with no sharing at all
 *   holdfile.exe lock PATH FLAG   opens PATH shared and locks all its bytes
 * Once the hold is in place it creates the file FLAG, then keeps the hold
 * until FLAG is deleted (at most 120 s). Exits 0, or 1 when the hold failed. */
#include <windows.h>
#include <string.h>

int main(int argc, char **argv) {
  if (argc != 4) return 2;
  const int lock = strcmp(argv[1], "lock") == 0;
  HANDLE file = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE,
                            lock ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return 1;
  if (lock && !LockFile(file, 0, 0, MAXDWORD, MAXDWORD)) return 1;
  HANDLE flag = CreateFileA(argv[3], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (flag == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(flag);
  for (int i = 0; i < 1200 && GetFileAttributesA(argv[3]) != INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(100);
  CloseHandle(file);
  return 0;
}
