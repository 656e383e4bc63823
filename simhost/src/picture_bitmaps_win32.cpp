// Bitmaps on Windows: DIB sections (or, for a bitmap without bits, a
// device-dependent bitmap) made with GDI; drawing is GDI's BitBlt or StretchBlt
// between memory device contexts.
#include <windows.h>

#include <cstring>

#include "picture_store.h"

namespace simhost {
namespace pictures {
namespace {

int32_t DibStride(int32_t width, int32_t depth) { return (width * depth + 31) / 32 * 4; }

size_t Index(const Picture& picture, int32_t x, int32_t y) {
  return static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x);
}

// A top-down DIB section of that size and depth; null when GDI refuses it.
HBITMAP MakeDib(int32_t width, int32_t height, int32_t depth, uint8_t** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(depth);
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  *bits = bitmap != nullptr ? static_cast<uint8_t*>(pixels) : nullptr;
  return bitmap;
}

void WriteRows(const Picture& picture, uint8_t* bits, int32_t width, int32_t height, int32_t depth) {
  const int32_t stride = DibStride(width, depth);
  const int32_t bytesPerPixel = depth / 8;
  for (int32_t y = 0; y < height && y < picture.height; ++y) {
    for (int32_t x = 0; x < width && x < picture.width; ++x) {
      const uint32_t pixel = picture.pixels[Index(picture, x, y)];
      uint8_t* p = bits + static_cast<size_t>(y * stride + x * bytesPerPixel);
      p[0] = static_cast<uint8_t>(pixel);
      p[1] = static_cast<uint8_t>(pixel >> 8);
      p[2] = static_cast<uint8_t>(pixel >> 16);
      if (bytesPerPixel == 4) p[3] = static_cast<uint8_t>(pixel >> 24);
    }
  }
}

void ReadRows(const uint8_t* bits, int32_t width, int32_t height, int32_t depth, Picture* picture) {
  const int32_t stride = DibStride(width, depth);
  const int32_t bytesPerPixel = depth / 8;
  for (int32_t y = 0; y < height && y < picture->height; ++y) {
    for (int32_t x = 0; x < width && x < picture->width; ++x) {
      const uint8_t* p = bits + static_cast<size_t>(y * stride + x * bytesPerPixel);
      uint32_t pixel = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
      if (bytesPerPixel == 4) pixel |= static_cast<uint32_t>(p[3]) << 24;
      picture->pixels[Index(*picture, x, y)] = StoredPixel(*picture, pixel);
    }
  }
}

}  // namespace

void MakeBitmap(const Picture& picture, int32_t width, int32_t height, bool withoutBits, int32_t, int32_t, bool,
                Bitmap* bitmap) {
  bitmap->width = width;
  bitmap->height = height;
  bitmap->depth = picture.depth;
  bitmap->stride = DibStride(width, picture.depth);
  if (withoutBits) {
    bitmap->handle = CreateBitmap(width, height, 1, static_cast<UINT>(picture.depth), nullptr);
    bitmap->bits = nullptr;
    return;
  }
  bitmap->handle = MakeDib(width, height, picture.depth, &bitmap->bits);
  if (bitmap->bits != nullptr) WriteRows(picture, bitmap->bits, width, height, picture.depth);
}

void ReadBitmap(const Bitmap& bitmap, Picture* picture) {
  if (bitmap.bits == nullptr) return;
  GdiFlush();
  ReadRows(bitmap.bits, bitmap.width, bitmap.height, bitmap.depth, picture);
}

void DestroyBitmap(Bitmap* bitmap) {
  if (bitmap->handle != nullptr) DeleteObject(static_cast<HGDIOBJ>(bitmap->handle));
  *bitmap = Bitmap{};
}

void DrawPixels(Picture* destination, const Picture& source, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (sw == -10000) sw = source.width - sx;
  if (sh == -10000) sh = source.height - sy;
  uint8_t* sourceBits = nullptr;
  uint8_t* destinationBits = nullptr;
  HBITMAP from = MakeDib(source.width, source.height, source.depth, &sourceBits);
  HBITMAP to = MakeDib(destination->width, destination->height, destination->depth, &destinationBits);
  HDC fromDc = CreateCompatibleDC(nullptr);
  HDC toDc = CreateCompatibleDC(nullptr);
  if (from != nullptr && to != nullptr && fromDc != nullptr && toDc != nullptr) {
    WriteRows(source, sourceBits, source.width, source.height, source.depth);
    WriteRows(*destination, destinationBits, destination->width, destination->height, destination->depth);
    HGDIOBJ oldFrom = SelectObject(fromDc, from);
    HGDIOBJ oldTo = SelectObject(toDc, to);
    if (w == sw && h == sh) {
      BitBlt(toDc, x, y, w, h, fromDc, sx, sy, SRCCOPY);
    } else {
      SetStretchBltMode(toDc, COLORONCOLOR);
      StretchBlt(toDc, x, y, w, h, fromDc, sx, sy, sw, sh, SRCCOPY);
    }
    GdiFlush();
    ReadRows(destinationBits, destination->width, destination->height, destination->depth, destination);
    SelectObject(fromDc, oldFrom);
    SelectObject(toDc, oldTo);
  }
  if (fromDc != nullptr) DeleteDC(fromDc);
  if (toDc != nullptr) DeleteDC(toDc);
  if (from != nullptr) DeleteObject(from);
  if (to != nullptr) DeleteObject(to);
}

}  // namespace pictures
}  // namespace simhost
