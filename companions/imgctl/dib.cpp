#include "dib.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace imgctl {

bool RowBytes(int width, int bitsPerPixel, std::uint32_t* bytes) {
  if (width <= 0 || bitsPerPixel <= 0) return false;
  const std::uint64_t bits = std::uint64_t(width) * std::uint64_t(bitsPerPixel);
  const std::uint64_t padded = (bits + 31) / 32 * 4;
  if (padded > UINT32_MAX) return false;
  *bytes = std::uint32_t(padded);
  return true;
}

bool ImageBytes(int width, int height, int bitsPerPixel, std::uint32_t* bytes) {
  std::uint32_t row = 0;
  if (height <= 0 || !RowBytes(width, bitsPerPixel, &row)) return false;
  const std::uint64_t total = std::uint64_t(row) * std::uint64_t(height);
  if (total > UINT32_MAX) return false;
  *bytes = std::uint32_t(total);
  return true;
}

std::unique_ptr<Dib> NewDib(int width, int height, int bitsPerPixel) {
  if (width < 1 || width > kMaxDimension || height < 1 || height > kMaxDimension) return nullptr;
  if (bitsPerPixel != 24 && bitsPerPixel != 32) return nullptr;
  std::uint32_t stride = 0, size = 0;
  if (!RowBytes(width, bitsPerPixel, &stride) || !ImageBytes(width, height, bitsPerPixel, &size)) {
    return nullptr;
  }
  try {
    auto dib = std::make_unique<Dib>();
    dib->width = width;
    dib->height = height;
    dib->bitsPerPixel = bitsPerPixel;
    dib->stride = stride;
    dib->bits.assign(size, 0);
    return dib;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void FlipRows(Dib& dib) {
  if (dib.height < 2 || dib.bits.size() < std::size_t(dib.height) * dib.stride) return;
  std::uint8_t* top = dib.bits.data();
  std::uint8_t* bottom = top + std::size_t(dib.height - 1) * dib.stride;
  for (; top < bottom; top += dib.stride, bottom -= dib.stride) {
    std::swap_ranges(top, top + dib.stride, bottom);
  }
}

bool ConvertTo24(Dib& dib) {
  if (dib.bitsPerPixel == 24) return true;
  if (dib.bitsPerPixel != 32) return false;
  std::uint32_t stride = 0, size = 0;
  if (!RowBytes(dib.width, 24, &stride) || !ImageBytes(dib.width, dib.height, 24, &size)) {
    return false;
  }
  // In place, front to back: a 24-bit pixel or row never starts after the
  // 32-bit one it comes from, so nothing is overwritten before it is read.
  std::uint8_t* bits = dib.bits.data();
  for (int y = 0; y < dib.height; ++y) {
    const std::uint8_t* from = bits + std::size_t(y) * dib.stride;
    std::uint8_t* to = bits + std::size_t(y) * stride;
    for (int x = 0; x < dib.width; ++x, from += 4, to += 3) {
      const std::uint8_t blue = from[0], green = from[1], red = from[2];
      to[0] = blue;
      to[1] = green;
      to[2] = red;
    }
    std::memset(to, 0, stride - 3 * std::uint32_t(dib.width));  // the padding
  }
  dib.bits.resize(size);
  dib.bitsPerPixel = 24;
  dib.stride = stride;
  return true;
}

bool TargetSize(int width, int height, int requestedWidth, int requestedHeight,
                int* newWidth, int* newHeight) {
  if (width <= 0 || height <= 0) return false;
  if (requestedWidth == -1 && requestedHeight == -1) return false;
  if ((requestedWidth <= 0 && requestedWidth != -1) ||
      (requestedHeight <= 0 && requestedHeight != -1)) {
    return false;
  }
  // The kept side in proportion: other * (requested / this), rounded.
  const auto proportional = [](int side, int requestedOther, int other, int* result) {
    const double exact = double(side) * double(requestedOther) / double(other);
    if (exact >= kMaxDimension + 0.5) return false;
    *result = std::max(1, int(std::lround(exact)));
    return true;
  };
  int w = requestedWidth, h = requestedHeight;
  if (w == -1 && !proportional(width, requestedHeight, height, &w)) return false;
  if (h == -1 && !proportional(height, requestedWidth, width, &h)) return false;
  if (w > kMaxDimension || h > kMaxDimension) return false;
  *newWidth = w;
  *newHeight = h;
  return true;
}

namespace {

// The source samples and their weights behind each output sample along one
// axis. The samples of output i are first[i], first[i] + 1, ... count[i] of
// them, with the weights at weights[offset[i]]; the weights add up to 1.
struct Taps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<std::size_t> offset;
  std::vector<float> weights;
};

Taps MakeTaps(int inLength, int outLength) {
  Taps taps;
  taps.first.resize(outLength);
  taps.count.resize(outLength);
  taps.offset.resize(outLength);
  const double scale = double(inLength) / double(outLength);
  std::vector<double> w;
  for (int i = 0; i < outLength; ++i) {
    w.clear();
    int first = 0;
    if (outLength < inLength) {
      // Shrinking: output i covers [lo, hi) of the source; each source sample
      // counts with the part of it inside.
      const double lo = i * scale, hi = (i + 1) * scale;
      first = std::min(int(lo), inLength - 1);
      const int last = std::clamp(int(std::ceil(hi)) - 1, first, inLength - 1);
      for (int j = first; j <= last; ++j) {
        w.push_back(std::max(0.0, std::min(j + 1.0, hi) - std::max(double(j), lo)));
      }
    } else {
      // Growing (or the same size): linear between the two nearest samples,
      // pixel centres aligned, the edge samples repeated outwards.
      const double centre = (i + 0.5) * scale - 0.5;
      const double below = std::floor(centre);
      const double fraction = centre - below;
      const int j = int(below);
      if (j < 0) {
        w.push_back(1.0);
      } else if (j >= inLength - 1) {
        first = inLength - 1;
        w.push_back(1.0);
      } else {
        first = j;
        w.push_back(1.0 - fraction);
        if (fraction > 0) w.push_back(fraction);
      }
    }
    double sum = 0;
    for (const double x : w) sum += x;
    if (sum <= 0) {  // cannot happen with the ranges above; stay safe
      w.assign(1, 1.0);
      sum = 1.0;
    }
    taps.first[i] = first;
    taps.count[i] = int(w.size());
    taps.offset[i] = taps.weights.size();
    for (const double x : w) taps.weights.push_back(float(x / sum));
  }
  return taps;
}

std::uint8_t ToByte(float value) {
  return std::uint8_t(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

// Scales `rows` rows of pixels of `channels` bytes along x, to taps.first.size()
// pixels a row.
void ScaleRows(const std::uint8_t* from, std::size_t fromStride, int rows, int channels,
               const Taps& taps, std::uint8_t* to, std::size_t toStride) {
  const std::size_t outLength = taps.first.size();
  for (int y = 0; y < rows; ++y) {
    const std::uint8_t* source = from + std::size_t(y) * fromStride;
    std::uint8_t* target = to + std::size_t(y) * toStride;
    for (std::size_t i = 0; i < outLength; ++i) {
      const std::uint8_t* p = source + std::size_t(taps.first[i]) * channels;
      const float* weight = &taps.weights[taps.offset[i]];
      float sum[4] = {0, 0, 0, 0};
      for (int k = 0; k < taps.count[i]; ++k, p += channels) {
        for (int c = 0; c < channels; ++c) sum[c] += weight[k] * p[c];
      }
      for (int c = 0; c < channels; ++c) target[i * channels + c] = ToByte(sum[c]);
    }
  }
}

// Scales rows of rowBytes bytes along y, to taps.first.size() rows.
void ScaleColumns(const std::uint8_t* from, std::size_t fromStride, std::size_t rowBytes,
                  const Taps& taps, std::uint8_t* to, std::size_t toStride) {
  std::vector<float> sum(rowBytes);
  for (std::size_t i = 0; i < taps.first.size(); ++i) {
    std::fill(sum.begin(), sum.end(), 0.0f);
    const float* weight = &taps.weights[taps.offset[i]];
    for (int k = 0; k < taps.count[i]; ++k) {
      const std::uint8_t* row = from + std::size_t(taps.first[i] + k) * fromStride;
      for (std::size_t x = 0; x < rowBytes; ++x) sum[x] += weight[k] * row[x];
    }
    std::uint8_t* target = to + i * toStride;
    for (std::size_t x = 0; x < rowBytes; ++x) target[x] = ToByte(sum[x]);
  }
}

}  // namespace

bool ResizeDib(Dib& dib, int requestedWidth, int requestedHeight) {
  int width = 0, height = 0;
  if (!TargetSize(dib.width, dib.height, requestedWidth, requestedHeight, &width, &height)) {
    return false;
  }
  if (width == dib.width && height == dib.height) return true;
  auto scaled = NewDib(width, height, dib.bitsPerPixel);
  if (!scaled) return false;
  try {
    const int channels = dib.bitsPerPixel / 8;
    const Taps alongX = MakeTaps(dib.width, width);
    const Taps alongY = MakeTaps(dib.height, height);
    // One axis after the other, through the smaller of the two possible
    // intermediate pictures (new width x old height, or the other way round).
    if (std::uint64_t(width) * dib.height <= std::uint64_t(dib.width) * height) {
      const std::size_t rowBytes = std::size_t(width) * channels;
      std::vector<std::uint8_t> middle(rowBytes * dib.height);
      ScaleRows(dib.bits.data(), dib.stride, dib.height, channels, alongX, middle.data(),
                rowBytes);
      ScaleColumns(middle.data(), rowBytes, rowBytes, alongY, scaled->bits.data(),
                   scaled->stride);
    } else {
      const std::size_t rowBytes = std::size_t(dib.width) * channels;
      std::vector<std::uint8_t> middle(rowBytes * height);
      ScaleColumns(dib.bits.data(), dib.stride, rowBytes, alongY, middle.data(), rowBytes);
      ScaleRows(middle.data(), rowBytes, height, channels, alongX, scaled->bits.data(),
                scaled->stride);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  dib = std::move(*scaled);
  return true;
}

namespace {

void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = std::uint8_t(value);
  at[1] = std::uint8_t(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  Put16(at, value);
  Put16(at + 2, value >> 16);
}

}  // namespace

void WriteInfoHeader(const Dib& dib, std::uint8_t* header) {
  std::memset(header, 0, kInfoHeaderSize);
  Put32(header, kInfoHeaderSize);                        // biSize
  Put32(header + 4, std::uint32_t(dib.width));           // biWidth
  Put32(header + 8, std::uint32_t(dib.height));          // biHeight: bottom-up
  Put16(header + 12, 1);                                 // biPlanes
  Put16(header + 14, std::uint32_t(dib.bitsPerPixel));   // biBitCount
  Put32(header + 16, 0);                                 // biCompression: BI_RGB
  Put32(header + 20, std::uint32_t(dib.bits.size()));    // biSizeImage
  // biXPelsPerMeter, biYPelsPerMeter, biClrUsed, biClrImportant: 0
}

bool CopyOut(const Dib& dib, void* info, std::uint32_t* infoSize, void* bits,
             std::uint32_t* bitsSize) {
  const std::uint32_t infoNeeded = kInfoHeaderSize;
  const std::uint32_t bitsNeeded = std::uint32_t(dib.bits.size());
  if (info == nullptr || bits == nullptr) {
    if (infoSize == nullptr && bitsSize == nullptr) return false;
    if (infoSize != nullptr) *infoSize = infoNeeded;
    if (bitsSize != nullptr) *bitsSize = bitsNeeded;
    return true;
  }
  if (infoSize == nullptr || bitsSize == nullptr) return false;
  if (*infoSize < infoNeeded || *bitsSize < bitsNeeded) {
    *infoSize = infoNeeded;
    *bitsSize = bitsNeeded;
    return false;
  }
  WriteInfoHeader(dib, static_cast<std::uint8_t*>(info));
  std::memcpy(bits, dib.bits.data(), bitsNeeded);
  *infoSize = infoNeeded;
  *bitsSize = bitsNeeded;
  return true;
}

std::uintptr_t DibTable::Add(std::unique_ptr<Dib> dib) noexcept {
  if (!dib) return 0;
  try {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::uintptr_t handle = lastHandle_ + 1;
    dibs_.emplace(handle, std::move(dib));
    lastHandle_ = handle;
    return handle;
  } catch (...) {
    return 0;
  }
}

bool DibTable::Remove(std::uintptr_t handle) noexcept {
  try {
    std::lock_guard<std::mutex> lock(mutex_);
    return dibs_.erase(handle) != 0;
  } catch (...) {
    return false;
  }
}

}  // namespace imgctl
