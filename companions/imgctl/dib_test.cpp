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

void SetGrey(Dib& dib, int x, int y, std::uint8_t value) {
  std::memset(Pixel(dib, x, y), value, dib.bitsPerPixel / 8);
}

// Sizes that are not positive or do not fit in 32 bits are refused, with
// nothing written or allocated.
TEST(Sizes, RefusesWhatDoesNotFit) {
  std::uint32_t bytes = 12345;
  EXPECT_FALSE(RowBytes(0, 24, &bytes));
  EXPECT_FALSE(RowBytes(INT_MIN, 32, &bytes));
  EXPECT_FALSE(RowBytes(INT_MAX, 32, &bytes));       // 8 GiB for one row
  EXPECT_FALSE(ImageBytes(INT_MAX, 2, 8, &bytes));   // 2 rows of 2 GiB
  EXPECT_FALSE(ImageBytes(1, INT_MAX, 32, &bytes));  // 2^31 rows of 4 bytes
  EXPECT_FALSE(ImageBytes(10, 0, 24, &bytes));
  EXPECT_FALSE(ImageBytes(10, -5, 24, &bytes));
  EXPECT_EQ(bytes, 12345u) << "a refusal wrote a size";
  ASSERT_TRUE(ImageBytes(INT_MAX, 1, 8, &bytes));    // just fits: 2^31 bytes
  EXPECT_EQ(bytes, 1u << 31);

  EXPECT_EQ(NewDib(0, 10, 24), nullptr);
  EXPECT_EQ(NewDib(10, 0, 24), nullptr);
  EXPECT_EQ(NewDib(-10, 10, 24), nullptr);
  EXPECT_EQ(NewDib(kMaxDimension + 1, 1, 24), nullptr);
  EXPECT_EQ(NewDib(1, kMaxDimension + 1, 32), nullptr);
  EXPECT_EQ(NewDib(10, 10, 16), nullptr);
  auto widest = NewDib(kMaxDimension, 1, 24);
  ASSERT_NE(widest, nullptr);
  EXPECT_EQ(widest->bits.size(), std::size_t(kMaxDimension) * 3);
}

// The conversion runs in place: a wrong order would overwrite pixels before
// they are read.
TEST(ConvertTo24, DropsAlphaAndPadsRows) {
  auto dib = NewDib(3, 2, 32);
  ASSERT_NE(dib, nullptr);
  for (std::size_t i = 0; i < dib->bits.size(); ++i) dib->bits[i] = std::uint8_t(i + 1);
  ASSERT_TRUE(ConvertTo24(*dib));
  EXPECT_EQ(dib->bitsPerPixel, 24);
  EXPECT_EQ(dib->stride, 12u);
  // Bytes 1-3 of each 4, then 3 bytes of padding a row.
  const std::vector<std::uint8_t> expected = {1,  2,  3,  5,  6,  7,  9,  10, 11, 0, 0, 0,
                                              13, 14, 15, 17, 18, 19, 21, 22, 23, 0, 0, 0};
  EXPECT_EQ(dib->bits, expected);

  const std::vector<std::uint8_t> before = dib->bits;
  ASSERT_TRUE(ConvertTo24(*dib)) << "a 24-bit picture is already converted";
  EXPECT_EQ(dib->bits, before);
}

TEST(TargetSize, KeepsProportionsForMinusOne) {
  const int cases[][6] = {  // from, requested, expected
      {800, 600, 200, -1, 200, 150},  {800, 600, -1, 150, 200, 150},
      {200, 150, -1, 50, 67, 50},     {3, 2, 2, -1, 2, 1},             // 66.67 up, 1.33 down
      {1000, 1, 10, -1, 10, 1},       {10, 20, 5, 7, 5, 7},            // 0.01 becomes 1; both given
      {1, 1, kMaxDimension, -1, kMaxDimension, kMaxDimension},
  };
  for (const auto& c : cases) {
    int w = 0, h = 0;
    ASSERT_TRUE(TargetSize(c[0], c[1], c[2], c[3], &w, &h))
        << c[0] << "x" << c[1] << " to " << c[2] << "," << c[3];
    EXPECT_EQ(w, c[4]) << c[0] << "x" << c[1] << " to " << c[2] << "," << c[3];
    EXPECT_EQ(h, c[5]) << c[0] << "x" << c[1] << " to " << c[2] << "," << c[3];
  }
}

TEST(TargetSize, RefusesBadRequestsAndHugeResults) {
  const int requests[][4] = {
      {800, 600, -1, -1},     {800, 600, 0, 100},       {800, 600, 100, -2},
      {800, 600, INT_MIN, -1}, {800, 600, kMaxDimension + 1, 10}, {800, 600, 10, kMaxDimension + 1},
      {2, 1, -1, kMaxDimension},  // width 32768
      {1, kMaxDimension, kMaxDimension, -1}, {kMaxDimension, 1, -1, INT_MAX},
      {0, 600, 10, -1},       {800, -600, 10, -1},
  };
  for (const auto& r : requests) {
    int w = 77, h = 77;
    EXPECT_FALSE(TargetSize(r[0], r[1], r[2], r[3], &w, &h))
        << r[0] << "x" << r[1] << " to " << r[2] << "," << r[3];
    EXPECT_EQ(w, 77);
    EXPECT_EQ(h, 77);
  }
}

TEST(ResizeDib, RefusalsLeaveThePictureAsItWas) {
  auto dib = NewDib(40, 30, 24);
  ASSERT_NE(dib, nullptr);
  for (std::size_t i = 0; i < dib->bits.size(); ++i) dib->bits[i] = std::uint8_t(i);
  const std::vector<std::uint8_t> before = dib->bits;
  const int requests[][2] = {{-1, -1}, {0, 10}, {-5, 10}, {-1, 20000}, {INT_MAX, INT_MAX}};
  for (const auto& r : requests) {
    EXPECT_FALSE(ResizeDib(*dib, r[0], r[1])) << r[0] << "," << r[1];
    EXPECT_EQ(dib->width, 40);
    EXPECT_EQ(dib->height, 30);
    EXPECT_EQ(dib->bits, before);
  }
}

TEST(ResizeDib, SmoothsInsteadOfPickingPixels) {
  // Black and white side by side, stretched to four pixels: a ramp, not two
  // steps.
  for (const int depth : {24, 32}) {
    auto ramp = NewDib(2, 1, depth);
    ASSERT_NE(ramp, nullptr);
    SetGrey(*ramp, 1, 0, 255);
    ASSERT_TRUE(ResizeDib(*ramp, 4, 1));
    ASSERT_EQ(ramp->height, 1);
    EXPECT_EQ(Pixel(*ramp, 0, 0)[0], 0);
    EXPECT_NEAR(Pixel(*ramp, 1, 0)[0], 80, 47) << depth << " bits";
    EXPECT_NEAR(Pixel(*ramp, 2, 0)[0], 176, 47) << depth << " bits";
    EXPECT_EQ(Pixel(*ramp, 3, 0)[0], 255);
  }

  // A one-pixel checkerboard shrunk by 2 (aligned), by 8/3 (not aligned) and
  // by 6.4 (many source pixels each): mid-grey everywhere.
  struct Case {
    int size, target, tolerance;
  } cases[] = {{8, 4, 1}, {8, 3, 48}, {640, 100, 24}};
  for (const Case& c : cases) {
    auto board = NewDib(c.size, c.size, 24);
    ASSERT_NE(board, nullptr);
    for (int y = 0; y < c.size; ++y) {
      for (int x = 0; x < c.size; ++x) SetGrey(*board, x, y, (x + y) % 2 ? 255 : 0);
    }
    ASSERT_TRUE(ResizeDib(*board, c.target, -1));
    ASSERT_EQ(board->height, c.target);
    for (int y = 0; y < c.target; ++y) {
      for (int x = 0; x < c.target; ++x) {
        EXPECT_NEAR(Pixel(*board, x, y)[1], 128, c.tolerance)
            << c.size << " to " << c.target << " at " << x << "," << y;
      }
    }
  }
}

TEST(ResizeDib, KeepsSizeColoursAndOrientation) {
  // A plain colour stays exactly that colour, growing or shrinking, and the
  // padding stays clear (3, 1, 0 and 2 bytes a row here).
  const std::uint8_t colour[3] = {10, 200, 77};
  const int sizes[][4] = {{11, 50, 11, 50}, {1, 1, 1, 1}, {100, 3, 100, 3}, {-1, 46, 74, 46}};
  for (const auto& size : sizes) {
    auto dib = NewDib(37, 23, 24);
    ASSERT_NE(dib, nullptr);
    for (int y = 0; y < 23; ++y) {
      for (int x = 0; x < 37; ++x) std::memcpy(Pixel(*dib, x, y), colour, 3);
    }
    ASSERT_TRUE(ResizeDib(*dib, size[0], size[1]));
    ASSERT_EQ(dib->width, size[2]);
    ASSERT_EQ(dib->height, size[3]);
    std::vector<std::uint8_t> row(dib->stride, 0);
    for (int x = 0; x < dib->width; ++x) std::memcpy(&row[3 * x], colour, 3);
    for (int y = 0; y < dib->height; ++y) {
      ASSERT_TRUE(std::equal(row.begin(), row.end(), Pixel(*dib, 0, y)))
          << "to " << size[0] << "x" << size[1] << ", row " << y;
    }
  }

  // Red bottom rows under blue ones, scaled along x and then along y (each
  // order of the two passes once); red left of blue, at 32 bits, scaled along
  // both: the colours stay where they were.
  auto rows = NewDib(6, 4, 24);
  auto columns = NewDib(4, 6, 32);
  ASSERT_TRUE(rows && columns);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      if (y < 4) Pixel(*rows, x, y)[y < 2 ? 2 : 0] = 255;
      if (x < 4) Pixel(*columns, x, y)[x < 2 ? 2 : 0] = 255;
    }
  }
  ASSERT_TRUE(ResizeDib(*rows, 3, 4));
  ASSERT_TRUE(ResizeDib(*rows, 3, 2));
  ASSERT_TRUE(ResizeDib(*columns, 2, 3));
  const auto red = [](const std::uint8_t* p) { return p[2] == 255 && p[0] == 0; };
  const auto blue = [](const std::uint8_t* p) { return p[0] == 255 && p[2] == 0; };
  EXPECT_TRUE(red(Pixel(*rows, 1, 0)));
  EXPECT_TRUE(blue(Pixel(*rows, 1, 1)));
  for (int y = 0; y < 3; ++y) {
    EXPECT_TRUE(red(Pixel(*columns, 0, y))) << y;
    EXPECT_TRUE(blue(Pixel(*columns, 1, y))) << y;
  }
}

TEST(CopyOut, FollowsTheTwoCallProtocol) {
  auto dib = NewDib(5, 3, 24);
  ASSERT_NE(dib, nullptr);
  for (std::size_t i = 0; i < dib->bits.size(); ++i) dib->bits[i] = std::uint8_t(i + 1);

  // First call: the sizes only.
  std::uint32_t infoSize = 0, bitsSize = 0;
  ASSERT_TRUE(CopyOut(*dib, nullptr, &infoSize, nullptr, &bitsSize));
  EXPECT_EQ(infoSize, 40u);
  EXPECT_EQ(bitsSize, 48u);
  std::uint8_t scratch[8];
  bitsSize = 0;
  EXPECT_TRUE(CopyOut(*dib, scratch, nullptr, nullptr, &bitsSize)) << "one size asked for";
  EXPECT_EQ(bitsSize, 48u);
  EXPECT_FALSE(CopyOut(*dib, nullptr, nullptr, nullptr, nullptr)) << "no size to write";

  // Buffers one byte short, each in turn: refused, nothing written.
  std::vector<std::uint8_t> info(41, 0xEE), bits(49, 0xEE);
  for (int shortOne = 0; shortOne < 2; ++shortOne) {
    infoSize = shortOne == 0 ? 39 : 40;
    bitsSize = shortOne == 1 ? 47 : 48;
    EXPECT_FALSE(CopyOut(*dib, info.data(), &infoSize, bits.data(), &bitsSize));
    EXPECT_EQ(infoSize, 40u) << "the size needed is reported";
    EXPECT_EQ(bitsSize, 48u);
    EXPECT_EQ(info[0], 0xEE);
    EXPECT_EQ(bits[0], 0xEE);
  }
  EXPECT_FALSE(CopyOut(*dib, info.data(), nullptr, bits.data(), &bitsSize));
  EXPECT_FALSE(CopyOut(*dib, info.data(), &infoSize, bits.data(), nullptr));

  // Second call with room to spare: the header and the rows, nothing more.
  infoSize = 41;
  bitsSize = 49;
  ASSERT_TRUE(CopyOut(*dib, info.data(), &infoSize, bits.data(), &bitsSize));
  EXPECT_EQ(infoSize, 40u);
  EXPECT_EQ(bitsSize, 48u);
  const std::uint8_t head[12] = {40, 0, 0, 0, 5, 0, 0, 0, 3, 0, 0, 0};
  EXPECT_EQ(std::memcmp(info.data(), head, 12), 0) << "biSize, biWidth, biHeight (bottom-up)";
  for (int i = 24; i < 40; ++i) EXPECT_EQ(info[i], 0) << "no resolution or colour table: " << i;
  EXPECT_EQ(info[40], 0xEE);
  EXPECT_TRUE(std::equal(dib->bits.begin(), dib->bits.end(), bits.begin()));
  EXPECT_EQ(bits[48], 0xEE);
}

TEST(DibTable, HandlesAreCheckedAndNeverReused) {
  DibTable table;
  EXPECT_EQ(table.Add(nullptr), 0u);
  const std::uintptr_t first = table.Add(NewDib(2, 2, 24));
  const std::uintptr_t second = table.Add(NewDib(3, 3, 24));
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  EXPECT_NE(first, second);

  int width = 0;
  EXPECT_TRUE(table.With(second, [&](Dib& dib) { width = dib.width; return true; }));
  EXPECT_EQ(width, 3);
  EXPECT_FALSE(table.With(second, [](Dib&) { return false; })) << "the function's result";

  const auto found = [&](std::uintptr_t handle) {
    return table.With(handle, [](Dib&) { return true; });
  };
  EXPECT_FALSE(found(0));
  EXPECT_FALSE(found(second + 1000));
  EXPECT_TRUE(table.Remove(first));
  EXPECT_FALSE(table.Remove(first)) << "freed twice";
  EXPECT_FALSE(found(first));
  EXPECT_TRUE(found(second));
  const std::uintptr_t third = table.Add(NewDib(2, 2, 24));
  EXPECT_NE(third, first);
  EXPECT_NE(third, second);
  EXPECT_FALSE(table.Remove(0));
}

}  // namespace
}  // namespace imgctl
