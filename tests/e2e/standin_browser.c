/* Stands in for the browser zolto_capture.exe runs (registered as msedge.exe
   or chrome.exe). Appends its arguments, as CommandLineToArgvW splits them,
   one a line in UTF-8, to browser.log beside itself. The file browser.mode
   beside it chooses what it does:
     missing or "ok"  writes a PNG of the --window-size=W,H, all magenta, to
                      the --screenshot= path (exit 2 without them)
     "fail"           writes nothing, exits 1
     "hang"           starts a copy of itself with --type=renderer, as a
                      browser starts its helpers; both sleep until ended
   The copy logs nothing. */
#define COBJMACROS
#include <windows.h>
#include <shellapi.h>
#include <wincodec.h>

#include <stdio.h>
#include <stdlib.h>
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

/* A PNG of width x height magenta pixels at path, through WIC. */
static int WritePng(const wchar_t *path, UINT width, UINT height) {
  IWICImagingFactory *factory = NULL;
  IWICStream *stream = NULL;
  IWICBitmapEncoder *encoder = NULL;
  IWICBitmapFrameEncode *frame = NULL;
  IPropertyBag2 *properties = NULL;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  UINT stride = width * 3, i;
  BYTE *pixels = malloc((size_t)stride * height);
  HRESULT result = pixels ? CoInitializeEx(NULL, COINIT_APARTMENTTHREADED) : E_OUTOFMEMORY;
  for (i = 0; pixels && i < stride * height; ++i) pixels[i] = i % 3 == 1 ? 0 : 255;
  if (SUCCEEDED(result))
    result = CoCreateInstance(&CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER,
                              &IID_IWICImagingFactory, (void **)&factory);
  if (SUCCEEDED(result)) result = IWICImagingFactory_CreateStream(factory, &stream);
  if (SUCCEEDED(result)) result = IWICStream_InitializeFromFilename(stream, path, GENERIC_WRITE);
  if (SUCCEEDED(result))
    result = IWICImagingFactory_CreateEncoder(factory, &GUID_ContainerFormatPng, NULL, &encoder);
  if (SUCCEEDED(result))
    result = IWICBitmapEncoder_Initialize(encoder, (IStream *)stream, WICBitmapEncoderNoCache);
  if (SUCCEEDED(result)) result = IWICBitmapEncoder_CreateNewFrame(encoder, &frame, &properties);
  if (SUCCEEDED(result)) result = IWICBitmapFrameEncode_Initialize(frame, properties);
  if (SUCCEEDED(result)) result = IWICBitmapFrameEncode_SetSize(frame, width, height);
  if (SUCCEEDED(result)) result = IWICBitmapFrameEncode_SetPixelFormat(frame, &format);
  if (SUCCEEDED(result))
    result = IWICBitmapFrameEncode_WritePixels(frame, height, stride, stride * height, pixels);
  if (SUCCEEDED(result)) result = IWICBitmapFrameEncode_Commit(frame);
  if (SUCCEEDED(result)) result = IWICBitmapEncoder_Commit(encoder);
  if (properties) IPropertyBag2_Release(properties);
  if (frame) IWICBitmapFrameEncode_Release(frame);
  if (encoder) IWICBitmapEncoder_Release(encoder);
  if (stream) IWICStream_Release(stream);
  if (factory) IWICImagingFactory_Release(factory);
  free(pixels);
  return SUCCEEDED(result);
}

int main(void) {
  int count = 0, i;
  wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const wchar_t *screenshot = NULL;
  UINT width = 0, height = 0;
  char mode[16] = "ok";
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
  if (screenshot == NULL || width == 0 || height == 0 || width > 8192 || height > 8192) return 2;
  return WritePng(screenshot, width, height) ? 0 : 3;
}
