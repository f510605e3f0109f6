/* Checks the resources linked into a built executable:
 *   rescheck.exe EXE EDITION-NAME
 * The dialog template "OPTION" is exactly the 24-byte empty modal frame, the
 * icon groups MYICON (16, 32, 48 px) and MYSYS (one 32x32 16-colour image)
 * are there, the manifest (id 1) asks for what the program relies on, and the
 * version information names EDITION-NAME at version 0.1.0. Prints one line
 * per problem; exits 0 when there is none. A Linux path (/tmp/x.exe) is taken
 * as the same path on drive Z:. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static int failures = 0;

static void Fail(const char *what) {
  printf("FAIL: %s\n", what);
  ++failures;
}

static const BYTE *Resource(HMODULE module, LPCSTR name, LPCSTR type, DWORD *size) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return NULL;
  HGLOBAL loaded = LoadResource(module, found);
  *size = SizeofResource(module, found);
  return loaded ? (const BYTE *)LockResource(loaded) : NULL;
}

#pragma pack(push, 2)
typedef struct {
  BYTE width, height, colorCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
} GroupIconEntry;
typedef struct {
  WORD reserved, type, count;
  GroupIconEntry entries[1];
} GroupIconDir;
#pragma pack(pop)

static void CheckDialog(HMODULE module) {
  static const BYTE expected[24] = {0x80, 0x00, 0x00, 0x80};  /* style, then zeros */
  DWORD size = 0;
  const BYTE *data = Resource(module, "OPTION", MAKEINTRESOURCEA(5) /* RT_DIALOG */, &size);
  if (!data) return Fail("no dialog template named OPTION");
  if (size != 24) {
    printf("FAIL: dialog OPTION is %lu bytes, not 24\n", (unsigned long)size);
    ++failures;
    return;
  }
  if (memcmp(data, expected, sizeof expected) != 0)
    Fail("dialog OPTION is not WS_POPUP|DS_MODALFRAME with no items, zero size, no menu, "
         "default class and empty caption");
}

static void CheckIcons(HMODULE module) {
  DWORD size = 0;
  const GroupIconDir *group =
      (const GroupIconDir *)Resource(module, "MYICON", MAKEINTRESOURCEA(14), &size);
  if (!group) {
    Fail("no group icon MYICON");
  } else {
    int seen16 = 0, seen32 = 0, seen48 = 0;
    for (WORD i = 0; i < group->count; ++i) {
      const GroupIconEntry *e = &group->entries[i];
      if (e->width == 16 && e->height == 16) seen16 = 1;
      if (e->width == 32 && e->height == 32) seen32 = 1;
      if (e->width == 48 && e->height == 48) seen48 = 1;
      if (!FindResourceA(module, MAKEINTRESOURCEA(e->id), MAKEINTRESOURCEA(3)))
        Fail("MYICON names an icon image that is missing");
    }
    if (!(seen16 && seen32 && seen48)) Fail("MYICON lacks a 16, 32 or 48 px image");
  }

  group = (const GroupIconDir *)Resource(module, "MYSYS", MAKEINTRESOURCEA(14), &size);
  if (!group) {
    Fail("no group icon MYSYS");
  } else if (group->count != 1) {
    Fail("MYSYS does not hold exactly one image");
  } else {
    const GroupIconEntry *e = &group->entries[0];
    if (e->width != 32 || e->height != 32 || e->colorCount != 16 || e->bitCount != 4)
      Fail("MYSYS is not one 32x32 image in 16 colours");
    if (!FindResourceA(module, MAKEINTRESOURCEA(e->id), MAKEINTRESOURCEA(3)))
      Fail("MYSYS names an icon image that is missing");
  }
}

static void CheckManifest(HMODULE module) {
  DWORD size = 0;
  const BYTE *data = Resource(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), &size);
  if (!data) return Fail("no manifest with id 1");
  static const char *needed[] = {
      "level=\"asInvoker\"", "Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"",
      ">true/pm<", "PerMonitorV2",
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", /* Windows 7 */
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", /* Windows 10 and 11 */
  };
  char text[8192];
  DWORD n = size < sizeof text - 1 ? size : sizeof text - 1;
  memcpy(text, data, n);
  text[n] = '\0';
  for (size_t i = 0; i < sizeof needed / sizeof needed[0]; ++i) {
    if (!strstr(text, needed[i])) {
      printf("FAIL: the manifest lacks %s\n", needed[i]);
      ++failures;
    }
  }
}

static void CheckVersion(const char *path, const char *edition) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  static BYTE info[16384];
  if (size == 0 || size > sizeof info || !GetFileVersionInfoA(path, 0, size, info))
    return Fail("no version information");

  VS_FIXEDFILEINFO *fixed = NULL;
  UINT length = 0;
  if (!VerQueryValueA(info, "\\", (void **)&fixed, &length) || !fixed)
    return Fail("no fixed version information");
  if (fixed->dwFileVersionMS != MAKELONG(1, 0) || fixed->dwFileVersionLS != 0 ||
      fixed->dwProductVersionMS != MAKELONG(1, 0) || fixed->dwProductVersionLS != 0)
    Fail("the file or product version is not 0.1.0.0");

  WORD *translation = NULL;
  if (!VerQueryValueA(info, "\\VarFileInfo\\Translation", (void **)&translation, &length) ||
      length < 4)
    return Fail("no version translation");
  static const char *keys[] = {"ProductName", "FileDescription"};
  for (int i = 0; i < 2; ++i) {
    char query[128];
    char *value = NULL;
    snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0],
             translation[1], keys[i]);
    if (!VerQueryValueA(info, query, (void **)&value, &length) || !value) {
      printf("FAIL: no %s in the version information\n", keys[i]);
      ++failures;
    } else if (strcmp(value, edition) != 0) {
      printf("FAIL: %s is \"%s\", expected \"%s\"\n", keys[i], value, edition);
      ++failures;
    }
  }
}

int main(int argc, char **argv) {
  if (argc != 3) {
    printf("usage: rescheck EXE EDITION-NAME\n");
    return 2;
  }
  char path[MAX_PATH * 2];
  if (argv[1][0] == '/') {
    snprintf(path, sizeof path, "Z:%s", argv[1]);
    for (char *c = path; *c; ++c)
      if (*c == '/') *c = '\\';
  } else {
    snprintf(path, sizeof path, "%s", argv[1]);
  }
  HMODULE module = LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) {
    printf("FAIL: cannot load %s (error %lu)\n", path, (unsigned long)GetLastError());
    return 1;
  }
  CheckDialog(module);
  CheckIcons(module);
  CheckManifest(module);
  CheckVersion(path, argv[2]);
  FreeLibrary(module);
  if (failures == 0) printf("resources of %s are as expected\n", path);
  return failures == 0 ? 0 : 1;
}
