#include "dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace imgctl {
namespace {

std::uint8_t* Pixel(Dib& dib, int x, int y) {
  return dib.bits.data() + std::size_t(y) * dib.stride + x * (dib.bitsPerPixel / 8);
}

// Sizes that are not positive or do not fit in 32 bits are refused, with
// nothing written or allocated.
TEST(Dib, SizesThatDoNotFitAreRefused) {
  std::uint32_t bytes = 12345;
  EXPECT_FALSE(RowBytes(INT_MAX, 32, &bytes));       // 8 GiB for one row
  EXPECT_FALSE(ImageBytes(INT_MAX, 2, 8, &bytes));   // 2 rows of 2 GiB
  EXPECT_FALSE(ImageBytes(10, 0, 24, &bytes));
  EXPECT_EQ(bytes, 12345u) << "a refusal wrote a size";
  ASSERT_TRUE(ImageBytes(INT_MAX, 1, 8, &bytes));    // just fits: 2^31 bytes
  EXPECT_EQ(bytes, 1u << 31);
  const int refused[][3] = {{0, 10, 24}, {1, kMaxDimension + 1, 32}, {10, 10, 16}};
  for (const auto& r : refused)
    EXPECT_EQ(NewDib(r[0], r[1], r[2]), nullptr) << r[0] << "x" << r[1] << "x" << r[2];
  auto widest = NewDib(kMaxDimension, 1, 24);
  ASSERT_NE(widest, nullptr);
  EXPECT_EQ(widest->bits.size(), std::size_t(kMaxDimension) * 3);
}

// The conversion runs in place: a wrong order would overwrite pixels before they are read.
TEST(Dib, ConvertTo24DropsAlphaAndPadsRows) {
  auto dib = NewDib(5, 2, 32);
  for (std::size_t i = 0; i < dib->bits.size(); ++i) dib->bits[i] = std::uint8_t(i + 1);
  ASSERT_TRUE(ConvertTo24(*dib));
  EXPECT_EQ(dib->stride, 16u);
  const std::vector<std::uint8_t> expected = {1,  2,  3,  5,  6,  7,  9,  10, 11, 13, 14, 15, 17,
                                              18, 19, 0,  21, 22, 23, 25, 26, 27, 29, 30, 31, 33,
                                              34, 35, 37, 38, 39, 0};
  EXPECT_EQ(dib->bits, expected);
  ASSERT_TRUE(ConvertTo24(*dib)) << "a 24-bit picture is already converted";
  EXPECT_EQ(dib->bits, expected);
}

// From a size to a requested one; -1 keeps the proportions. 0x0: refused,
// and then ResizeDib leaves the picture as it was.
struct SizeRow {
  int width, height, requestedWidth, requestedHeight, expectWidth, expectHeight;
};

const SizeRow kSizes[] = {
    {800, 600, 200, -1, 200, 150},  {800, 600, -1, 150, 200, 150},
    {200, 150, -1, 50, 67, 50},     {3, 2, 2, -1, 2, 1},  // 66.67 up, 1.33 down
    {1000, 1, 10, -1, 10, 1},       {10, 20, 5, 7, 5, 7},  // 0.01 becomes 1; both given
    {1, 1, kMaxDimension, -1, kMaxDimension, kMaxDimension},
    {800, 600, -1, -1, 0, 0},       {800, 600, 0, 100, 0, 0},
    {800, 600, 100, -2, 0, 0},
    {800, 600, kMaxDimension + 1, 10, 0, 0}, {2, 1, -1, kMaxDimension, 0, 0},  // width 32768
    {kMaxDimension, 1, -1, INT_MAX, 0, 0},   {0, 600, 10, -1, 0, 0},
};

TEST(Dib, TargetSizeAndRefusedResizes) {
  for (const SizeRow& r : kSizes) {
    SCOPED_TRACE(std::to_string(r.width) + "x" + std::to_string(r.height) + " to " +
                 std::to_string(r.requestedWidth) + "," + std::to_string(r.requestedHeight));
    int w = 0, h = 0;
    EXPECT_EQ(TargetSize(r.width, r.height, r.requestedWidth, r.requestedHeight, &w, &h),
              r.expectWidth > 0);
    EXPECT_EQ(w, r.expectWidth);
    EXPECT_EQ(h, r.expectHeight);
    if (r.expectWidth > 0 || r.width <= 0 || r.width * r.height > 1000000) continue;
    auto dib = NewDib(r.width, r.height, 24);
    for (std::size_t i = 0; i < dib->bits.size(); ++i) dib->bits[i] = std::uint8_t(i);
    const std::vector<std::uint8_t> before = dib->bits;
    EXPECT_FALSE(ResizeDib(*dib, r.requestedWidth, r.requestedHeight));
    EXPECT_EQ(dib->width * 10000 + dib->height, r.width * 10000 + r.height);
    EXPECT_EQ(dib->bits, before);
  }
}

TEST(Dib, ResizeSmoothsAndKeepsColoursAndOrientation) {
  // Black and white side by side, stretched to four pixels: a ramp, not two steps.
  for (const int depth : {24, 32}) {
    auto ramp = NewDib(2, 1, depth);
    std::memset(Pixel(*ramp, 1, 0), 255, depth / 8);
    ASSERT_TRUE(ResizeDib(*ramp, 4, 1));
    EXPECT_EQ(Pixel(*ramp, 0, 0)[0], 0);
    EXPECT_NEAR(Pixel(*ramp, 1, 0)[0], 80, 47) << depth;
    EXPECT_NEAR(Pixel(*ramp, 2, 0)[0], 176, 47) << depth;
    EXPECT_EQ(Pixel(*ramp, 3, 0)[0], 255);
  }
  // A one-pixel checkerboard shrunk by 8/3 (not aligned): mid-grey everywhere.
  auto board = NewDib(8, 8, 24);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) std::memset(Pixel(*board, x, y), (x + y) % 2 ? 255 : 0, 3);
  ASSERT_TRUE(ResizeDib(*board, 3, -1));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_NEAR(Pixel(*board, x, y)[1], 128, 48) << x << "," << y;
  // A plain colour stays exactly that colour, growing or shrinking, and the
  // padding stays clear (3, 1, 0 and 2 bytes a row here).
  const std::uint8_t colour[3] = {10, 200, 77};
  const std::pair<int, int> sizes[] = {{11, 50}, {1, 1}, {100, 3}, {-1, 46}};
  for (const auto& size : sizes) {
    auto dib = NewDib(37, 23, 24);
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x) std::memcpy(Pixel(*dib, x, y), colour, 3);
    ASSERT_TRUE(ResizeDib(*dib, size.first, size.second));
    std::vector<std::uint8_t> row(dib->stride, 0);
    for (int x = 0; x < dib->width; ++x) std::memcpy(&row[3 * x], colour, 3);
    for (int y = 0; y < dib->height; ++y)
      ASSERT_EQ(std::memcmp(row.data(), Pixel(*dib, 0, y), row.size()), 0)
          << size.first << " row " << y;
  }
  // Red bottom rows under blue ones, scaled along both: the colours stay where they were.
  auto rows = NewDib(6, 4, 32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) Pixel(*rows, x, y)[y < 2 ? 2 : 0] = 255;
  ASSERT_TRUE(ResizeDib(*rows, 3, 2));
  EXPECT_TRUE(Pixel(*rows, 1, 0)[2] == 255 && Pixel(*rows, 1, 0)[0] == 0);
  EXPECT_TRUE(Pixel(*rows, 1, 1)[2] == 0 && Pixel(*rows, 1, 1)[0] == 255);
}

TEST(Dib, CopyOutFollowsTheTwoCallProtocol) {
  auto dib = NewDib(5, 3, 24);
  for (std::size_t i = 0; i < dib->bits.size(); ++i) dib->bits[i] = std::uint8_t(i + 1);
  std::uint32_t infoSize = 0, bitsSize = 0;
  ASSERT_TRUE(CopyOut(*dib, nullptr, &infoSize, nullptr, &bitsSize));  // the sizes only
  const auto needed = std::pair(40u, 48u);
  EXPECT_EQ(std::pair(infoSize, bitsSize), needed);
  EXPECT_FALSE(CopyOut(*dib, nullptr, nullptr, nullptr, nullptr)) << "no size to write";
  EXPECT_TRUE(CopyOut(*dib, nullptr, nullptr, nullptr, &bitsSize)) << "one size alone";
  std::vector<std::uint8_t> info(41, 0xEE), bits(49, 0xEE);
  const std::pair<std::uint32_t, std::uint32_t> tooSmall[] = {{39, 48}, {40, 47}};
  for (const auto& room : tooSmall) {  // one byte short: nothing written
    infoSize = room.first, bitsSize = room.second;
    EXPECT_FALSE(CopyOut(*dib, info.data(), &infoSize, bits.data(), &bitsSize));
    EXPECT_EQ(std::pair(infoSize, bitsSize), needed) << "the size needed is reported";
    EXPECT_EQ(info[0] + bits[0], 2 * 0xEE);
  }
  EXPECT_FALSE(CopyOut(*dib, info.data(), nullptr, bits.data(), &bitsSize));
  infoSize = 41, bitsSize = 49;  // room to spare: the header and the rows, nothing more
  ASSERT_TRUE(CopyOut(*dib, info.data(), &infoSize, bits.data(), &bitsSize));
  EXPECT_EQ(std::pair(infoSize, bitsSize), needed);
  // Size, width, height (positive: bottom-up), planes, bits, BI_RGB, image size.
  const std::uint8_t head[24] = {40, 0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0,
                                 1,  0, 24, 0, 0, 0, 0, 0, 48, 0, 0, 0};
  EXPECT_EQ(std::memcmp(info.data(), head, 24), 0);
  EXPECT_EQ(std::count(info.begin() + 24, info.begin() + 40, 0), 16)
      << "no resolution or colour table";
  EXPECT_EQ(info[40], 0xEE);
  EXPECT_TRUE(std::equal(dib->bits.begin(), dib->bits.end(), bits.begin()));
  EXPECT_EQ(bits[48], 0xEE);
  // Every byte of a field counts: 300 wide, 90,000 bytes of rows.
  std::uint8_t big[kInfoHeaderSize];
  WriteInfoHeader(*NewDib(300, 100, 24), big);
  const std::uint8_t bigHead[24] = {40, 0, 0, 0, 0x2C, 1, 0, 0, 100, 0, 0, 0,
                                    1,  0, 24, 0, 0, 0, 0, 0, 0x90, 0x5F, 1, 0};
  EXPECT_EQ(std::memcmp(big, bigHead, 24), 0);
  EXPECT_EQ(std::count(big + 24, big + 40, 0), 16);
}

TEST(Dib, HandlesAreCheckedAndNeverReused) {
  DibTable table;
  EXPECT_EQ(table.Add(nullptr), 0u);
  const std::uintptr_t first = table.Add(NewDib(2, 2, 24)), second = table.Add(NewDib(3, 3, 24));
  int width = 0;
  EXPECT_TRUE(table.With(second, [&](Dib& dib) { width = dib.width; return true; }));
  EXPECT_EQ(width, 3);
  const auto found = [&](std::uintptr_t handle) {
    return table.With(handle, [](Dib&) { return true; });
  };
  EXPECT_FALSE(found(0) || found(second + 1000));
  EXPECT_TRUE(table.Remove(first));
  EXPECT_FALSE(table.Remove(first)) << "freed twice";
  EXPECT_TRUE(!found(first) && found(second));
  const std::uintptr_t third = table.Add(NewDib(2, 2, 24));
  EXPECT_TRUE(third != first && third != second && first != second && first != 0);
}

}  // namespace
}  // namespace imgctl
