// zolto_capture.exe: renders the address with the Chromium-based browser
// Windows has and writes its picture as a BMP (see capture.h for the command
// line and options). Start reading at WinMain.
//
// GUI subsystem, so that the launcher starting it shows no console window.
// Exit status: 0 the picture was written; 1 the browser could not be run or
// wrote no picture; 2 a bad command line, option or address; 3 no browser
// was found; 4 the browser took too long and was ended; 5 its picture could
// not be converted or written.
// On any failure no output file exists that this run wrote, and neither the
// browser nor its temporary folder is left behind.

#include <windows.h>
#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wincodec.h>

#include <cstdio>
#include <string>

#include "capture.h"
#include "platform/win32_owners.h"

namespace {

// The exit statuses; kDone also stands for a browser that ended in time.
enum Status { kDone, kNoPicture, kRefused, kNoBrowser, kTooLong, kNotWritten };

using win32::ComPtr;
using win32::Utf8Of;
using win32::Widen;
using Handle = win32::UniqueHandle;

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- Finding the browser ----

// The default value of App Paths\<exe> under root, in one registry view.
std::wstring AppPath(HKEY root, REGSAM view, const char* exe) {
  const std::wstring key =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + Widen(exe);
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) {
    return L"";
  }
  wchar_t value[MAX_PATH * 2] = {};
  DWORD size = sizeof value - sizeof(wchar_t);  // room for the terminator
  const LONG read = RegGetValueW(opened, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
  RegCloseKey(opened);
  return read == ERROR_SUCCESS ? Widen(capture::UnquotePath(Utf8Of(value))) : L"";
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
  CoTaskMemFree(path);
  return folder;
}

// Edge, then Chrome: each where App Paths says (the user's, then the
// machine's, in both registry views), then in its usual install folders.
std::wstring FindBrowser() {
  const KNOWNFOLDERID* const folders[] = {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86,
                                          &FOLDERID_LocalAppData};
  for (const capture::Browser& browser : capture::kBrowsers) {
    const std::pair<HKEY, REGSAM> keys[] = {{HKEY_CURRENT_USER, 0},
                                            {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                                            {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}};
    for (const auto& [root, view] : keys) {
      const std::wstring path = AppPath(root, view, browser.exe);
      if (!path.empty() && IsFile(path)) return path;
    }
    for (const KNOWNFOLDERID* id : folders) {
      const std::wstring folder = KnownFolder(*id);
      if (folder.empty()) continue;
      const std::wstring path =
          folder + L"\\" + Widen(browser.folder) + L"\\" + Widen(browser.exe);
      if (IsFile(path)) return path;
    }
  }
  return L"";
}

// ---- A temporary folder for the profile and the screenshot ----

class TempFolder {
 public:
  TempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return;
    for (unsigned attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::wstring path = temp + std::wstring(L"zolto_capture.") +
                                std::to_wstring(GetCurrentProcessId()) + L"." +
                                std::to_wstring(attempt);
      if (CreateDirectoryW(path.c_str(), nullptr)) path_ = path;
    }
  }
  // The browser may hold files a moment after it ended: a few tries.
  ~TempFolder() {
    if (path_.empty()) return;
    std::wstring from = path_ + L'\0';  // a list of one, ended by two NULs
    for (int attempt = 0; attempt < 10; ++attempt) {
      SHFILEOPSTRUCTW operation{};
      operation.wFunc = FO_DELETE;
      operation.pFrom = from.c_str();
      operation.fFlags = FOF_NO_UI;
      if (SHFileOperationW(&operation) == 0 || GetFileAttributesW(path_.c_str()) ==
                                                   INVALID_FILE_ATTRIBUTES) {
        return;
      }
      Sleep(200);
    }
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  TempFolder(TempFolder&&) = delete;
  TempFolder& operator=(TempFolder&&) = delete;

  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// ---- Running the browser ----

// Waits up to timeoutMs for the job's processes to be gone.
void WaitUntilEmpty(HANDLE job, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info,
                                   nullptr) ||
        info.ActiveProcesses == 0) {
      return;
    }
    Sleep(50);
  }
}

// Runs the browser in a job object, so that it and every process it starts
// end together: when it is done, at the time limit, or when this program is
// ended (the job's last handle closes). The process starts suspended and
// joins the job before it runs a single instruction.
Status RunBrowser(const std::wstring& program, std::wstring commandLine, int timeoutSeconds) {
  Handle job(CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags =
      JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
  if (job.get() == nullptr ||
      !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                               sizeof limits)) {
    return kNoPicture;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process)) {
    return kNoPicture;
  }
  Handle processHandle(process.hProcess), thread(process.hThread);
  if (!AssignProcessToJobObject(job.get(), process.hProcess)) {
    TerminateProcess(process.hProcess, 1);
    return kNoPicture;
  }
  ResumeThread(process.hThread);
  const bool ended =
      WaitForSingleObject(process.hProcess, DWORD(timeoutSeconds) * 1000) == WAIT_OBJECT_0;
  // Helpers the browser leaves running go too, so that the folder is free.
  TerminateJobObject(job.get(), 1);
  WaitUntilEmpty(job.get(), 5000);
  return ended ? kDone : kTooLong;
}

// ---- The picture ----

// Decodes the screenshot, scales it to width (Fant: each pixel the average of
// those it covers) and encodes it as a 24-bit BMP (a BITMAPINFOHEADER, no
// compression) at target. Needs COM.
bool ConvertPicture(const std::wstring& png, const std::wstring& target, int width) {
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  UINT pngWidth = 0, pngHeight = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.put()))) ||
      FAILED(factory->CreateDecoderFromFilename(png.c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put())) ||
      FAILED(frame->GetSize(&pngWidth, &pngHeight)) || pngWidth > capture::kMaxSide ||
      pngHeight > capture::kMaxSide) {
    return false;
  }
  const int height = capture::ScaledHeight(int(pngWidth), int(pngHeight), width);
  ComPtr<IWICBitmapScaler> scaler;
  ComPtr<IWICFormatConverter> converter;
  if (height == 0 || FAILED(factory->CreateBitmapScaler(scaler.put())) ||
      FAILED(scaler->Initialize(frame.get(), UINT(width), UINT(height),
                                WICBitmapInterpolationModeFant)) ||
      FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(scaler.get(), GUID_WICPixelFormat24bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return false;
  }
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> output;
  ComPtr<IPropertyBag2> properties;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  return SUCCEEDED(factory->CreateStream(stream.put())) &&
         SUCCEEDED(stream->InitializeFromFilename(target.c_str(), GENERIC_WRITE)) &&
         SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatBmp, nullptr, encoder.put())) &&
         SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(output.put(), properties.put())) &&
         SUCCEEDED(output->Initialize(properties.get())) &&
         SUCCEEDED(output->SetSize(UINT(width), UINT(height))) &&
         SUCCEEDED(output->SetPixelFormat(&format)) &&
         IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
         SUCCEEDED(output->WriteSource(converter.get(), nullptr)) &&
         SUCCEEDED(output->Commit()) && SUCCEEDED(encoder->Commit());
}

// Writes the picture beside the output under another name and then moves it
// into place, so that a half-written output file never exists.
Status WritePicture(const std::wstring& png, const std::wstring& output, int width) {
  if (!IsFile(png)) return kNoPicture;
  const std::wstring part = output + L"." + std::to_wstring(GetCurrentProcessId()) + L".part";
  if (ConvertPicture(png, part, width) &&
      MoveFileExW(part.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return kDone;
  }
  DeleteFileW(part.c_str());
  return kNotWritten;
}

int Refuse(const std::string& message) {
  std::fprintf(stderr, "zolto_capture: %s\n", message.c_str());
  return kRefused;
}

// Reads the command line, finds the browser, runs it in a temporary folder
// of its own and converts its screenshot.
int Capture() {
  capture::Request request;
  capture::Options options;
  std::string error;
  if (!capture::ParseCommandLine(Utf8Of(GetCommandLineW()), &request, &error) ||
      !capture::ReadOptions(request.extras, &options, &error) ||
      !capture::CheckAddress(request.address, &error)) {
    return Refuse(error);
  }
  const std::wstring browser = options.browser.empty() ? FindBrowser() : Widen(options.browser);
  if (browser.empty() || !IsFile(browser)) return kNoBrowser;
  const TempFolder temp;
  if (temp.path().empty()) return kNoPicture;
  const std::wstring screenshot = temp.path() + L"\\page.png";
  const std::string line =
      capture::BrowserCommandLine(Utf8Of(browser), options, Utf8Of(temp.path() + L"\\profile"),
                                  Utf8Of(screenshot), request.address);
  const Status ran = RunBrowser(browser, Widen(line), options.timeoutSeconds);
  if (ran != kDone) return ran;
  return WritePicture(screenshot, Widen(request.output), options.width);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const win32::ComScope com;
  if (!com.usable()) return kNoPicture;
  try {
    return Capture();
  } catch (...) {  // out of memory: the destructors have cleaned up
    return kNoPicture;
  }
}
