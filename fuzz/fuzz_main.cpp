// The entry point of the fuzz targets of the core and the matcher. Each
// executable <name>_fuzz of fuzz/CMakeLists.txt is this file compiled with
// ZOLTO_FUZZ_TARGET set to the function of its row there; its seeds are
// fuzz/corpus/<name>/, and scripts/fuzz.sh knows its input size and
// dictionary. The functions say how they read the input and what they check;
// a broken promise stops the run through FUZZ_CHECK.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zolto::fuzz {
void ZOLTO_FUZZ_TARGET(std::string_view input);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zolto::fuzz::ZOLTO_FUZZ_TARGET({reinterpret_cast<const char*>(data), size});
  return 0;
}
