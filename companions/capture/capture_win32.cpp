// zolto_capture.exe: the page-capture stand-in the tests give the launcher
// (see capture.h for what it does). GUI subsystem, so that the launcher
// starting it shows no console window. Exit status: 0 file written (also with
// --garbage), 1 --fail or --hang, 2 bad command line, 3 the file could not
// be written (a partly written file is removed).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "capture.h"

namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  FileHandle(FileHandle&&) = delete;
  FileHandle& operator=(FileHandle&&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool Close() {
    const bool closed = !valid() || CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

// Writes the bytes to the ANSI code page path, replacing what is there.
bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      break;
    }
    done += written;
  }
  if (file.Close() && done == bytes.size()) return true;
  DeleteFileA(path.c_str());
  return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  capture::Options options;
  std::string error;
  if (!capture::ParseCommandLine(GetCommandLineA(), &options, &error)) {
    std::fprintf(stderr, "zolto_capture: %s\n", error.c_str());
    return 2;
  }
  if (options.hangSeconds > 0) {
    Sleep(DWORD(options.hangSeconds) * 1000);
    return 1;
  }
  if (options.fail) return 1;
  try {
    const std::vector<std::uint8_t> bytes =
        options.garbage ? capture::GarbageBmp()
                        : capture::EncodeBmp(
                              capture::DrawPage(options.width, options.height, options.address));
    if (bytes.empty()) return 2;
    return WriteWholeFile(options.output, bytes) ? 0 : 3;
  } catch (const std::bad_alloc&) {
    return 3;
  }
}
