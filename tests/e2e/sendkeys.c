/* Presses or releases keys through Wine's own input (SendInput), which keeps
 * the key state every Wine program reads, and exits.
 *   sendkeys.exe +ctrl -shift ?ctrl ...
 * '+' presses, '-' releases, '?' prints "KEY down" or "KEY up" as GetKeyState
 * tells it to this fresh program (what a program reads at its start); names:
 * shift, ctrl. Under Xvfb a key that xdotool releases after the focused Wine
 * window has closed reaches no Wine window, so Wine would go on seeing it
 * held; a release sent here ends that. Exits 0 when every key was sent. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static WORD KeyCode(const char *name) {
  if (_stricmp(name, "shift") == 0) return VK_SHIFT;
  if (_stricmp(name, "ctrl") == 0) return VK_CONTROL;
  return 0;
}

int main(int argc, char **argv) {
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    WORD key = (arg[0] == '+' || arg[0] == '-' || arg[0] == '?') ? KeyCode(arg + 1) : 0;
    if (!key) {
      fprintf(stderr, "usage: sendkeys +KEY|-KEY|?KEY ... (KEY: shift, ctrl), not %s\n", arg);
      return 2;
    }
    if (arg[0] == '?') {
      printf("%s %s\n", arg + 1, (GetKeyState(key) & 0x8000) ? "down" : "up");
      continue;
    }
    INPUT input = {0};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = (WORD)MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    input.ki.dwFlags = arg[0] == '-' ? KEYEVENTF_KEYUP : 0;
    if (SendInput(1, &input, sizeof input) != 1) {
      fprintf(stderr, "sendkeys: SendInput failed for %s (%lu)\n", arg, GetLastError());
      return 1;
    }
  }
  return 0;
}
