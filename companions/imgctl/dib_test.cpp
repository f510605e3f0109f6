#include "dib.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

namespace imgctl {
namespace {

struct Colour {
  std::uint8_t blue, green, red;
};

std::unique_ptr<Dib> Filled(int width, int height, int bitsPerPixel, Colour colour) {
  auto dib = NewDib(width, height, bitsPerPixel);
  if (!dib) return nullptr;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = dib->bits.data() + std::size_t(y) * dib->stride + x * (bitsPerPixel / 8);
      p[0] = colour.blue;
      p[1] = colour.green;
      p[2] = colour.red;
      if (bitsPerPixel == 32) p[3] = 255;
    }
  }
  return dib;
}

const std::uint8_t* Pixel(const Dib& dib, int x, int y) {
  return dib.bits.data() + std::size_t(y) * dib.stride + x * (dib.bitsPerPixel / 8);
}

void SetGrey(Dib& dib, int x, int y, std::uint8_t value) {
  std::uint8_t* p = dib.bits.data() + std::size_t(y) * dib.stride + x * (dib.bitsPerPixel / 8);
  std::memset(p, value, dib.bitsPerPixel / 8);
}

// True when every padding byte at the end of the rows is 0.
bool PaddingClear(const Dib& dib) {
  const std::size_t used = std::size_t(dib.width) * (dib.bitsPerPixel / 8);
  for (int y = 0; y < dib.height; ++y) {
    for (std::size_t i = used; i < dib.stride; ++i) {
      if (dib.bits[std::size_t(y) * dib.stride + i] != 0) return false;
    }
  }
  return true;
}

std::uint32_t Get32(const std::uint8_t* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | std::uint32_t(at[3]) << 24;
}

TEST(SizeArithmetic, RowsArePaddedToFourBytes) {
  struct Case {
    int width, bitsPerPixel;
    std::uint32_t expected;
  } cases[] = {{1, 24, 4},   {2, 24, 8},    {3, 24, 12},  {5, 24, 16},   {67, 24, 204},
               {800, 24, 2400}, {1, 32, 4}, {7, 32, 28}, {16384, 32, 65536}};
  for (const Case& c : cases) {
    std::uint32_t bytes = 0;
    ASSERT_TRUE(RowBytes(c.width, c.bitsPerPixel, &bytes)) << c.width << "x" << c.bitsPerPixel;
    EXPECT_EQ(bytes, c.expected) << c.width << " pixels of " << c.bitsPerPixel << " bits";
  }
  std::uint32_t bytes = 0;
  ASSERT_TRUE(ImageBytes(67, 50, 24, &bytes));
  EXPECT_EQ(bytes, 204u * 50u);
  ASSERT_TRUE(ImageBytes(16384, 16384, 32, &bytes));
  EXPECT_EQ(bytes, 1u << 30);
}

TEST(SizeArithmetic, RefusesWhatDoesNotFitIn32Bits) {
  std::uint32_t bytes = 12345;
  EXPECT_FALSE(RowBytes(0, 24, &bytes));
  EXPECT_FALSE(RowBytes(-1, 24, &bytes));
  EXPECT_FALSE(RowBytes(INT_MIN, 32, &bytes));
  EXPECT_FALSE(RowBytes(INT_MAX, 32, &bytes));    // 8 GiB for one row
  EXPECT_FALSE(ImageBytes(65536, 65536, 32, &bytes));
  EXPECT_FALSE(ImageBytes(INT_MAX, 2, 8, &bytes));   // 2 rows of 2 GiB
  EXPECT_FALSE(ImageBytes(1, INT_MAX, 32, &bytes));  // 2^31 rows of 4 bytes
  EXPECT_FALSE(ImageBytes(10, 0, 24, &bytes));
  EXPECT_FALSE(ImageBytes(10, -5, 24, &bytes));
  EXPECT_EQ(bytes, 12345u) << "a refusal wrote a size";
  ASSERT_TRUE(ImageBytes(INT_MAX, 1, 8, &bytes));    // just fits: 2^31 bytes
  EXPECT_EQ(bytes, 1u << 31);
}

TEST(NewDib, RefusesAbsurdSizesAndDepths) {
  EXPECT_EQ(NewDib(0, 10, 24), nullptr);
  EXPECT_EQ(NewDib(10, 0, 24), nullptr);
  EXPECT_EQ(NewDib(-10, 10, 24), nullptr);
  EXPECT_EQ(NewDib(kMaxDimension + 1, 1, 24), nullptr);
  EXPECT_EQ(NewDib(1, kMaxDimension + 1, 32), nullptr);
  EXPECT_EQ(NewDib(INT_MAX, INT_MAX, 32), nullptr);
  EXPECT_EQ(NewDib(10, 10, 8), nullptr);
  EXPECT_EQ(NewDib(10, 10, 16), nullptr);

  auto widest = NewDib(kMaxDimension, 1, 24);
  ASSERT_NE(widest, nullptr);
  EXPECT_EQ(widest->bits.size(), std::size_t(kMaxDimension) * 3);

  auto small = NewDib(5, 3, 24);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(small->stride, 16u);
  EXPECT_EQ(small->bits.size(), 48u);
}

TEST(FlipRows, ReversesTheRowOrder) {
  for (const int height : {1, 2, 5}) {
    auto dib = NewDib(3, height, 24);
    ASSERT_NE(dib, nullptr);
    for (int y = 0; y < height; ++y) SetGrey(*dib, 1, y, std::uint8_t(10 + y));
    FlipRows(*dib);
    for (int y = 0; y < height; ++y) {
      EXPECT_EQ(Pixel(*dib, 1, y)[0], 10 + (height - 1 - y)) << "row " << y << " of " << height;
    }
  }
}

TEST(ConvertTo24, DropsAlphaAndPadsRows) {
  auto dib = NewDib(3, 2, 32);
  ASSERT_NE(dib, nullptr);
  for (std::size_t i = 0; i < dib->bits.size(); ++i) dib->bits[i] = std::uint8_t(i + 1);
  ASSERT_TRUE(ConvertTo24(*dib));
  EXPECT_EQ(dib->bitsPerPixel, 24);
  EXPECT_EQ(dib->stride, 12u);
  ASSERT_EQ(dib->bits.size(), 24u);
  // Pixel (x, y) came from bytes 12y + 4x + 1 .. + 3 of the 32-bit rows.
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(Pixel(*dib, x, y)[c], 12 * y + 4 * x + c + 1) << x << "," << y << "/" << c;
      }
    }
  }
  EXPECT_TRUE(PaddingClear(*dib));

  const std::vector<std::uint8_t> before = dib->bits;
  ASSERT_TRUE(ConvertTo24(*dib)) << "a 24-bit picture is already converted";
  EXPECT_EQ(dib->bits, before);
}

TEST(TargetSize, KeepsProportionsForMinusOne) {
  struct Case {
    int width, height, requestedWidth, requestedHeight, expectedWidth, expectedHeight;
  } cases[] = {
      {800, 600, 200, -1, 200, 150},  {600, 800, -1, 200, 150, 200},
      {800, 600, -1, 150, 200, 150},  {200, 150, -1, 50, 67, 50},     // 66.67 rounds up
      {3, 2, 2, -1, 2, 1},            {1000, 1, 10, -1, 10, 1},       // 0.01 becomes 1
      {1, 1000, -1, 10, 1, 10},       {10, 20, 5, 7, 5, 7},           // both given
      {1, 1, kMaxDimension, -1, kMaxDimension, kMaxDimension},
  };
  for (const Case& c : cases) {
    int w = 0, h = 0;
    ASSERT_TRUE(TargetSize(c.width, c.height, c.requestedWidth, c.requestedHeight, &w, &h))
        << c.width << "x" << c.height << " to " << c.requestedWidth << "," << c.requestedHeight;
    EXPECT_EQ(w, c.expectedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(h, c.expectedHeight) << c.width << "x" << c.height;
  }
}

TEST(TargetSize, RefusesBadRequestsAndHugeResults) {
  const int requests[][4] = {
      {800, 600, -1, -1},   {800, 600, 0, 100},  {800, 600, 100, 0},  {800, 600, -2, 100},
      {800, 600, 100, -2},  {800, 600, INT_MIN, -1}, {800, 600, kMaxDimension + 1, 10},
      {800, 600, 10, kMaxDimension + 1}, {2, 1, -1, kMaxDimension},  // width 32768
      {1, kMaxDimension, kMaxDimension, -1}, {kMaxDimension, 1, -1, INT_MAX},
      {0, 600, 10, -1},     {800, -600, 10, -1},
  };
  for (const auto& r : requests) {
    int w = 77, h = 77;
    EXPECT_FALSE(TargetSize(r[0], r[1], r[2], r[3], &w, &h))
        << r[0] << "x" << r[1] << " to " << r[2] << "," << r[3];
    EXPECT_EQ(w, 77);
    EXPECT_EQ(h, 77);
  }
}

TEST(ResizeDib, ScalesToTheProportionalSize) {
  auto landscape = Filled(800, 600, 24, {1, 2, 3});
  ASSERT_NE(landscape, nullptr);
  ASSERT_TRUE(ResizeDib(*landscape, 200, -1));
  EXPECT_EQ(landscape->width, 200);
  EXPECT_EQ(landscape->height, 150);
  EXPECT_EQ(landscape->stride, 600u);
  EXPECT_EQ(landscape->bits.size(), 600u * 150u);

  auto portrait = Filled(600, 800, 32, {1, 2, 3});
  ASSERT_NE(portrait, nullptr);
  ASSERT_TRUE(ResizeDib(*portrait, -1, 200));
  EXPECT_EQ(portrait->width, 150);
  EXPECT_EQ(portrait->height, 200);
  EXPECT_EQ(portrait->bits.size(), 150u * 4u * 200u);

  // 200x150 to a height of 50: 67 pixels of 3 bytes, rows padded to 204.
  ASSERT_TRUE(ResizeDib(*landscape, -1, 50));
  EXPECT_EQ(landscape->width, 67);
  EXPECT_EQ(landscape->stride, 204u);
  EXPECT_EQ(landscape->bits.size(), 204u * 50u);
  EXPECT_TRUE(PaddingClear(*landscape));
}

TEST(ResizeDib, RefusalsLeaveThePictureAsItWas) {
  auto dib = Filled(40, 30, 24, {9, 8, 7});
  ASSERT_NE(dib, nullptr);
  const std::vector<std::uint8_t> before = dib->bits;
  const int requests[][2] = {{-1, -1}, {0, 10}, {10, 0}, {-5, 10}, {kMaxDimension + 1, -1},
                             {-1, 20000}, {INT_MAX, INT_MAX}};
  for (const auto& r : requests) {
    EXPECT_FALSE(ResizeDib(*dib, r[0], r[1])) << r[0] << "," << r[1];
    EXPECT_EQ(dib->width, 40);
    EXPECT_EQ(dib->height, 30);
    EXPECT_EQ(dib->bits, before);
  }
}

TEST(ResizeDib, SmoothsInsteadOfPickingPixels) {
  for (const int depth : {24, 32}) {
    // Black and white side by side, shrunk to one pixel: grey.
    auto pair = NewDib(2, 1, depth);
    ASSERT_NE(pair, nullptr);
    SetGrey(*pair, 1, 0, 255);
    ASSERT_TRUE(ResizeDib(*pair, 1, 1));
    for (int c = 0; c < depth / 8; ++c) {
      EXPECT_NEAR(Pixel(*pair, 0, 0)[c], 128, 1) << depth << " bits, byte " << c;
    }

    // The same pair stretched to 4 pixels: a ramp, not two steps.
    auto ramp = NewDib(2, 1, depth);
    ASSERT_NE(ramp, nullptr);
    SetGrey(*ramp, 1, 0, 255);
    ASSERT_TRUE(ResizeDib(*ramp, 4, 1));
    ASSERT_EQ(ramp->height, 1);
    EXPECT_EQ(Pixel(*ramp, 0, 0)[0], 0);
    EXPECT_GT(Pixel(*ramp, 1, 0)[0], 32);
    EXPECT_LT(Pixel(*ramp, 1, 0)[0], 128);
    EXPECT_GT(Pixel(*ramp, 2, 0)[0], 128);
    EXPECT_LT(Pixel(*ramp, 2, 0)[0], 224);
    EXPECT_EQ(Pixel(*ramp, 3, 0)[0], 255);
  }

  // A one-pixel checkerboard shrunk by 2 (aligned) and by 8/3 (not aligned):
  // mid-grey everywhere, never black or white.
  struct Case {
    int size, target, tolerance;
  } cases[] = {{8, 4, 1}, {8, 3, 48}, {9, 2, 48}, {640, 100, 24}};
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

TEST(ResizeDib, KeepsColoursAndOrientation) {
  // A plain colour stays exactly that colour, growing or shrinking.
  const Colour colour{10, 200, 77};
  const int sizes[][2] = {{11, 50}, {37, 23}, {1, 1}, {100, 3}};
  for (const auto& size : sizes) {
    auto dib = Filled(37, 23, 24, colour);
    ASSERT_NE(dib, nullptr);
    ASSERT_TRUE(ResizeDib(*dib, size[0], size[1]));
    for (int y = 0; y < dib->height; ++y) {
      for (int x = 0; x < dib->width; ++x) {
        const std::uint8_t* p = Pixel(*dib, x, y);
        ASSERT_TRUE(p[0] == colour.blue && p[1] == colour.green && p[2] == colour.red)
            << "to " << size[0] << "x" << size[1] << " at " << x << "," << y;
      }
    }
    EXPECT_TRUE(PaddingClear(*dib));
  }

  // Bottom rows red, top rows blue, scaled along x only and then along y only:
  // the rows stay where they were. Then left red, right blue the other way.
  auto rows = NewDib(6, 4, 24);
  ASSERT_NE(rows, nullptr);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      std::uint8_t* p = rows->bits.data() + std::size_t(y) * rows->stride + 3 * x;
      p[y < 2 ? 2 : 0] = 255;
    }
  }
  ASSERT_TRUE(ResizeDib(*rows, 3, 4));
  ASSERT_TRUE(ResizeDib(*rows, 3, 2));
  EXPECT_EQ(Pixel(*rows, 1, 0)[2], 255);
  EXPECT_EQ(Pixel(*rows, 1, 0)[0], 0);
  EXPECT_EQ(Pixel(*rows, 1, 1)[0], 255);
  EXPECT_EQ(Pixel(*rows, 1, 1)[2], 0);

  auto columns = NewDib(4, 6, 32);
  ASSERT_NE(columns, nullptr);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 4; ++x) {
      std::uint8_t* p = columns->bits.data() + std::size_t(y) * columns->stride + 4 * x;
      p[x < 2 ? 2 : 0] = 255;
    }
  }
  ASSERT_TRUE(ResizeDib(*columns, 2, 3));
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(Pixel(*columns, 0, y)[2], 255) << y;
    EXPECT_EQ(Pixel(*columns, 0, y)[0], 0) << y;
    EXPECT_EQ(Pixel(*columns, 1, y)[0], 255) << y;
    EXPECT_EQ(Pixel(*columns, 1, y)[2], 0) << y;
  }
}

TEST(InfoHeader, DescribesABottomUpUncompressedPicture) {
  auto dib = NewDib(67, 50, 24);
  ASSERT_NE(dib, nullptr);
  std::uint8_t header[kInfoHeaderSize + 4];
  std::memset(header, 0xCC, sizeof header);
  WriteInfoHeader(*dib, header);
  EXPECT_EQ(Get32(header), 40u);
  EXPECT_EQ(Get32(header + 4), 67u);
  EXPECT_EQ(Get32(header + 8), 50u);                  // positive: bottom-up
  EXPECT_EQ(header[12] | header[13] << 8, 1);         // planes
  EXPECT_EQ(header[14] | header[15] << 8, 24);        // bits per pixel
  EXPECT_EQ(Get32(header + 16), 0u);                  // BI_RGB
  EXPECT_EQ(Get32(header + 20), 204u * 50u);
  for (int i = 24; i < 40; ++i) EXPECT_EQ(header[i], 0) << "byte " << i;
  EXPECT_EQ(header[40], 0xCC) << "wrote past the header";
}

TEST(CopyOut, FollowsTheTwoCallProtocol) {
  auto dib = Filled(5, 3, 24, {1, 2, 3});
  ASSERT_NE(dib, nullptr);

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
  EXPECT_EQ(Get32(info.data()), 40u);
  EXPECT_EQ(Get32(info.data() + 4), 5u);
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
