// The picture buffer behind imgctl.dll, free of Win32 so that it builds and
// is tested natively. imgctl_dll.cpp decodes files through the Windows Imaging
// Component into a Dib and forwards the exports to the functions here.
//
// A Dib is what GDI calls a device-independent bitmap without a colour table:
// 24 (BGR) or 32 (BGRA) bits per pixel, rows bottom-up, each row padded to a
// multiple of 4 bytes. Every function refuses bad arguments by returning
// false (or 0) and leaves the Dib as it was; none throws.

#ifndef IMGCTL_DIB_H
#define IMGCTL_DIB_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace imgctl {

// The largest width or height accepted, decoded or scaled to.
inline constexpr int kMaxDimension = 16384;

// Size of the header GetDIB and HeadDIB write: a BITMAPINFOHEADER. The
// formats used here have no colour table, so it is all of the BITMAPINFO.
inline constexpr std::uint32_t kInfoHeaderSize = 40;

// Bytes of one row of `width` pixels of `bitsPerPixel` bits, padded to 4
// bytes, and of `height` such rows. False when an argument is not positive or
// the result does not fit in 32 bits.
bool RowBytes(int width, int bitsPerPixel, std::uint32_t* bytes);
bool ImageBytes(int width, int height, int bitsPerPixel, std::uint32_t* bytes);

struct Dib {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;              // 24 or 32
  std::uint32_t stride = 0;          // bytes per row, padded
  std::vector<std::uint8_t> bits;    // stride * height bytes, bottom row first
};

// A zeroed Dib of the given size; null when a dimension is outside
// 1..kMaxDimension, the depth is not 24 or 32, or memory runs out.
std::unique_ptr<Dib> NewDib(int width, int height, int bitsPerPixel);

// Reverses the order of the rows (turns top-down rows, as decoders deliver
// them, into the bottom-up order of a Dib).
void FlipRows(Dib& dib);

// Converts a 32-bit Dib to 24 bits by dropping the alpha byte; a 24-bit Dib is
// left as it is. True on success.
bool ConvertTo24(Dib& dib);

// The size ResizeDib scales to. -1 for one of the two dimensions keeps the
// proportions: it is computed from the other, rounded, and at least 1. Fails
// when both are -1, when one is 0 or negative other than -1, or when the
// result is above kMaxDimension.
bool TargetSize(int width, int height, int requestedWidth, int requestedHeight,
                int* newWidth, int* newHeight);

// Scales the Dib in place to the size TargetSize gives. Downscaling averages
// each output pixel over the area it covers; upscaling interpolates linearly.
// On failure (bad size, out of memory) the Dib is unchanged.
bool ResizeDib(Dib& dib, int requestedWidth, int requestedHeight);

// Writes the Dib's BITMAPINFOHEADER (little-endian, kInfoHeaderSize bytes):
// positive height (bottom-up), one plane, BI_RGB, biSizeImage = stride *
// height, no resolution, no colour table.
void WriteInfoHeader(const Dib& dib, std::uint8_t* header);

// GetDIB's two-call protocol. When info or bits is null, stores the sizes
// needed (header, pixel rows) in whichever of *infoSize and *bitsSize is given
// and succeeds unless both are null. Otherwise copies the header into info and
// the rows into bits when *infoSize and *bitsSize are large enough, and then
// stores the sizes written; when one is too small, stores the sizes needed and
// fails without writing into info or bits.
bool CopyOut(const Dib& dib, void* info, std::uint32_t* infoSize, void* bits,
             std::uint32_t* bitsSize);

// The Dibs handed out to the caller, behind opaque handles. A handle is a
// number that is never reused, so a stale or made-up handle finds nothing
// instead of freed memory. Thread-safe: With runs its function under the
// table's lock.
class DibTable {
 public:
  DibTable() = default;
  DibTable(const DibTable&) = delete;
  DibTable& operator=(const DibTable&) = delete;

  // Takes the Dib and returns its handle; 0 when dib is null or memory runs out.
  std::uintptr_t Add(std::unique_ptr<Dib> dib) noexcept;

  // Calls f(Dib&) for the handle's Dib and returns its result; false when the
  // handle names no Dib.
  template <class F>
  bool With(std::uintptr_t handle, F&& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = dibs_.find(handle);
    return it != dibs_.end() && f(*it->second);
  }

  // Frees the handle's Dib; false when it names none.
  bool Remove(std::uintptr_t handle) noexcept;

 private:
  std::mutex mutex_;
  std::map<std::uintptr_t, std::unique_ptr<Dib>> dibs_;
  std::uintptr_t lastHandle_ = 0;
};

}  // namespace imgctl

#endif  // IMGCTL_DIB_H
