// imgctl.dll: the six exports the launcher finds with GetProcAddress. ToDIB
// decodes through the Windows Imaging Component (the system's own decoders);
// the rest works on the picture buffer of dib.cpp. A handle is a number from
// the DibTable, so a stale or made-up one is refused instead of followed.
// No export lets an exception out. imgctl.def keeps the names undecorated.

#include <windows.h>
#include <wincodec.h>

#include <cstring>
#include <memory>
#include <string>

#include "dib.h"
#include "platform/win32_owners.h"

namespace {

static_assert(sizeof(BITMAPINFOHEADER) == imgctl::kInfoHeaderSize);

imgctl::DibTable& Dibs() {
  static imgctl::DibTable table;
  return table;
}

std::uintptr_t Number(HANDLE handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

using win32::ComPtr;
using win32::ComScope;

// The first frame of the picture file as a 32-bit (BGRA) Dib; null when the
// file is missing, no decoder takes it, its size is 0 or above the limit, or
// decoding fails part way. Needs COM.
std::unique_ptr<imgctl::Dib> Decode(const wchar_t* path) {
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, factory.putVoid()))) {
    return nullptr;
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.put()))) {
    return nullptr;
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.put()))) return nullptr;
  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height))) return nullptr;
  if (width == 0 || height == 0 || width > UINT(imgctl::kMaxDimension) ||
      height > UINT(imgctl::kMaxDimension)) {
    return nullptr;
  }
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  auto dib = imgctl::NewDib(int(width), int(height), 32);
  if (!dib) return nullptr;
  if (FAILED(converter->CopyPixels(nullptr, dib->stride, UINT(dib->bits.size()),
                                   dib->bits.data()))) {
    return nullptr;
  }
  imgctl::FlipRows(*dib);  // WIC delivers the top row first
  return dib;
}

}  // namespace

extern "C" {

// Decodes the picture file at path (ANSI code page) into a new 32-bit DIB and
// returns its handle, or 0.
__declspec(dllexport) HANDLE ToDIB(const char* path) {
  try {
    if (path == nullptr) return nullptr;
    const std::wstring wide = win32::Widen(path, CP_ACP);
    if (wide.empty()) return nullptr;
    std::unique_ptr<imgctl::Dib> dib;
    {
      ComScope com;
      if (!com.usable()) return nullptr;
      dib = Decode(wide.c_str());
    }
    return reinterpret_cast<HANDLE>(Dibs().Add(std::move(dib)));
  } catch (...) {
    return nullptr;
  }
}

// Makes the DIB 24 bits per pixel; non-zero on success.
__declspec(dllexport) int DIBto24Bit(HANDLE dib) {
  try {
    return Dibs().With(Number(dib), [](imgctl::Dib& d) { return imgctl::ConvertTo24(d); });
  } catch (...) {
    return 0;
  }
}

// Fills the DIB's BITMAPINFOHEADER; non-zero on success.
__declspec(dllexport) int HeadDIB(HANDLE dib, BITMAPINFOHEADER* header) {
  if (header == nullptr) return 0;
  try {
    return Dibs().With(Number(dib), [header](imgctl::Dib& d) {
      std::uint8_t bytes[imgctl::kInfoHeaderSize];
      imgctl::WriteInfoHeader(d, bytes);
      std::memcpy(header, bytes, sizeof bytes);
      return true;
    });
  } catch (...) {
    return 0;
  }
}

// Scales the DIB in place; -1 for one dimension keeps the proportions.
// Non-zero on success.
__declspec(dllexport) int ResizeDIB(HANDLE dib, int width, int height) {
  try {
    return Dibs().With(Number(dib),
                       [=](imgctl::Dib& d) { return imgctl::ResizeDib(d, width, height); });
  } catch (...) {
    return 0;
  }
}

// With info or bits null: stores the sizes needed in *infoSize and *bitsSize.
// Otherwise copies the header and the rows when the sizes say there is room.
// Non-zero on success.
__declspec(dllexport) int GetDIB(HANDLE dib, BITMAPINFO* info, DWORD* infoSize, void* bits,
                                 DWORD* bitsSize) {
  try {
    std::uint32_t infoBytes = infoSize != nullptr ? *infoSize : 0;
    std::uint32_t bitsBytes = bitsSize != nullptr ? *bitsSize : 0;
    const bool done = Dibs().With(Number(dib), [&](imgctl::Dib& d) {
      return imgctl::CopyOut(d, info, infoSize != nullptr ? &infoBytes : nullptr, bits,
                             bitsSize != nullptr ? &bitsBytes : nullptr);
    });
    if (infoSize != nullptr) *infoSize = infoBytes;
    if (bitsSize != nullptr) *bitsSize = bitsBytes;
    return done;
  } catch (...) {
    return 0;
  }
}

// Frees the DIB; non-zero when the handle named one.
__declspec(dllexport) int DeleteDIB(HANDLE dib) {
  return Dibs().Remove(Number(dib));
}

}  // extern "C"
