// The program's version: the one place it is written. CMake reads it for the
// project and the release's name; the version resources, the about box and
// the help texts take it from here.
#pragma once

#define ZOLTO_VERSION_MAJOR 0
#define ZOLTO_VERSION_MINOR 1
#define ZOLTO_VERSION_PATCH 0

#define ZOLTO_VERSION_TEXT_(major, minor, patch) #major "." #minor "." #patch
#define ZOLTO_VERSION_TEXT(major, minor, patch) ZOLTO_VERSION_TEXT_(major, minor, patch)
#define ZOLTO_VERSION \
  ZOLTO_VERSION_TEXT(ZOLTO_VERSION_MAJOR, ZOLTO_VERSION_MINOR, ZOLTO_VERSION_PATCH)
