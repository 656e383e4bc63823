// Bitmaps natively: rows in plain memory, described to GetObjectA by a bitmap
// record of our Win32 stand-in; drawing is a plain pixel copy.
#include <cstring>

#include "picture_store.h"
#include "win32_standin/control.h"

namespace simhost {
namespace pictures {
namespace {

int32_t NaturalStride(int32_t width, int32_t depth) {
  return depth == 32 ? 4 * width : (3 * width + 3) / 4 * 4;
}

size_t Index(const Picture& picture, int32_t x, int32_t y) {
  return static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x);
}

}  // namespace

void MakeBitmap(const Picture& picture, int32_t width, int32_t height, bool withoutBits, int32_t rowPadding,
                int32_t understatement, bool tooSmallStride, Bitmap* bitmap) {
  const int32_t bytesPerPixel = picture.depth / 8;
  bitmap->width = width;
  bitmap->height = height;
  bitmap->depth = picture.depth;
  bitmap->stride = NaturalStride(width, picture.depth) + rowPadding;
  const size_t bytes = static_cast<size_t>(bitmap->stride) * static_cast<size_t>(height);
  bitmap->memory.reset(new uint8_t[bytes > 0 ? bytes : 1]);
  std::memset(bitmap->memory.get(), 0xA7, bytes > 0 ? bytes : 1);
  bitmap->bits = withoutBits ? nullptr : bitmap->memory.get();
  for (int32_t y = 0; y < height && y < picture.height; ++y) {
    for (int32_t x = 0; x < width && x < picture.width; ++x) {
      const uint32_t pixel = picture.pixels[Index(picture, x, y)];
      uint8_t* p = bitmap->memory.get() + static_cast<size_t>(y * bitmap->stride + x * bytesPerPixel);
      p[0] = static_cast<uint8_t>(pixel);
      p[1] = static_cast<uint8_t>(pixel >> 8);
      p[2] = static_cast<uint8_t>(pixel >> 16);
      if (bytesPerPixel == 4) p[3] = static_cast<uint8_t>(pixel >> 24);
    }
  }
  win32_standin::BitmapRecord record{};
  record.width = width;
  record.height = height;
  record.widthBytes = tooSmallStride ? 4 * width - 4 : bitmap->stride - understatement;
  record.bitsPerPixel = static_cast<uint16_t>(picture.depth);
  record.bits = bitmap->bits;
  bitmap->handle = win32_standin::CreateBitmapRecord(record);
}

void ReadBitmap(const Bitmap& bitmap, Picture* picture) {
  if (bitmap.bits == nullptr) return;
  const int32_t bytesPerPixel = bitmap.depth / 8;
  for (int32_t y = 0; y < bitmap.height && y < picture->height; ++y) {
    for (int32_t x = 0; x < bitmap.width && x < picture->width; ++x) {
      const uint8_t* p = bitmap.bits + static_cast<size_t>(y * bitmap.stride + x * bytesPerPixel);
      uint32_t pixel = static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
      if (bytesPerPixel == 4) pixel |= static_cast<uint32_t>(p[3]) << 24;
      picture->pixels[Index(*picture, x, y)] = StoredPixel(*picture, pixel);
    }
  }
}

void DestroyBitmap(Bitmap* bitmap) {
  if (bitmap->handle != nullptr) win32_standin::DestroyBitmapRecord(bitmap->handle);
  *bitmap = Bitmap{};
}

void DrawPixels(Picture* destination, const Picture& source, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (sw == -10000) sw = source.width - sx;
  if (sh == -10000) sh = source.height - sy;
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  for (int32_t j = 0; j < h; ++j) {
    const int32_t ty = y + j;
    const int32_t fy = sy + static_cast<int32_t>(int64_t{j} * sh / h);
    if (ty < 0 || ty >= destination->height || fy < 0 || fy >= source.height) continue;
    for (int32_t i = 0; i < w; ++i) {
      const int32_t tx = x + i;
      const int32_t fx = sx + static_cast<int32_t>(int64_t{i} * sw / w);
      if (tx < 0 || tx >= destination->width || fx < 0 || fx >= source.width) continue;
      destination->pixels[Index(*destination, tx, ty)] = StoredPixel(*destination, source.pixels[Index(source, fx, fy)]);
    }
  }
}

}  // namespace pictures
}  // namespace simhost
