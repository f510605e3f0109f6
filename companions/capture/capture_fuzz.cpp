// libFuzzer target: any command line is parsed without a fault, and what it
// yields is drawn (at a small size) and encoded.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "capture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  capture::Options options;
  std::string error;
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  if (capture::ParseCommandLine(line, &options, &error)) {
    const capture::Picture page = capture::DrawPage(std::min(options.width, 64),
                                                    std::min(options.height, 64), options.address);
    if (capture::EncodeBmp(page).empty()) __builtin_trap();
  }
  return 0;
}
