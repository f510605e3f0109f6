// The check of the page-capture program's picture: the input is the file.
// When the check accepts it, the fields it reports are read again here, on
// their own, and every pixel row it promises is read from the input, so a
// check that lets a short or odd file through shows as a crash.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_common.h"
#include "menu/menu.h"

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t Le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zolto;
  CaptureBitmap info;
  if (!ValidateCaptureBitmap(zolto::fuzz::AsText(data, size), info)) return 0;

  FUZZ_CHECK(size >= 54 && data[0] == 'B' && data[1] == 'M');
  const std::int64_t width = static_cast<std::int32_t>(Le32(data + 18));
  const std::int64_t height = static_cast<std::int32_t>(Le32(data + 22));
  const int bitCount = Le16(data + 28);
  FUZZ_CHECK(info.width == width && info.height == height && info.bitCount == bitCount);
  FUZZ_CHECK(Le32(data + 10) == 54 && Le32(data + 14) == 40 && Le16(data + 26) == 1);
  FUZZ_CHECK(Le32(data + 30) == 0);
  FUZZ_CHECK(bitCount == 24 || bitCount == 32);
  FUZZ_CHECK(width >= 1 && width <= 8192 && height != 0 && height >= -8192 && height <= 8192);
  const std::int64_t rows = height < 0 ? -height : height;
  const std::int64_t rowBytes = width * (bitCount / 8);
  const std::int64_t stride = (width * bitCount + 31) / 32 * 4;
  FUZZ_CHECK(info.pixelOffset == 54);
  FUZZ_CHECK(static_cast<std::int64_t>(info.pixelBytes) == stride * rows);
  FUZZ_CHECK(54 + rows * rowBytes <= static_cast<std::int64_t>(size));
  FUZZ_CHECK(54 + rows * stride <= static_cast<std::int64_t>(size));

  // Read every row as a drawing would: first and last byte of its pixels.
  unsigned sum = 0;
  for (std::int64_t r = 0; r < rows; ++r) {
    const std::uint8_t* row = data + info.pixelOffset + static_cast<size_t>(r * stride);
    sum += row[0] + row[rowBytes - 1];
  }
  if (sum == 0xFFFFFFFFu) std::abort();  // keeps the reads
  return 0;
}
