// The simulated host's pictures inside: the stored pixels of each picture, the
// form a locked picture is described in, and the platform's bitmaps and drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "simhost/pictures.h"

namespace simhost {
namespace pictures {

// The host's own view of a picture description: type, data, width, height and
// two words of its own. Natively data is pointer-sized (and aligned), the layout
// the plug-ins' records have there.
struct Description {
  int32_t type;
  void* data;
  int32_t width;
  int32_t height;
  uint32_t word16;
  uint32_t word20;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(Description) == 24, "a description is 24 bytes");
static_assert(offsetof(Description, data) == 4, "");
static_assert(offsetof(Description, width) == 8, "");
static_assert(offsetof(Description, height) == 12, "");
#endif

// A platform bitmap made from a picture's pixels for the time of a lock.
struct Bitmap {
  void* handle = nullptr;  // HBITMAP
  uint8_t* bits = nullptr;  // first byte of row 0 (rows top down), null without one
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;  // real distance between rows
  int32_t depth = 0;
  std::unique_ptr<uint8_t[]> memory;  // natively: the rows
};

// The host's row-table image: its record, its row table and its rows, each row
// a block of exactly width words.
struct RowTableImage {
  std::unique_ptr<unsigned char[]> record;
  std::unique_ptr<uint32_t*[]> table;
  std::vector<std::unique_ptr<uint32_t[]>> rows;
  int32_t width = 0;
  int32_t height = 0;
};

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 32;
  std::vector<uint32_t> pixels;  // 0xXXRRGGBB, row-major; 24-bit pictures keep the fourth byte 0
  PictureFault fault = PictureFault::None;
  bool alive = true;
  int openLocks = 0;
  bool cacheStale = false;
  // While locked: the form it is described in.
  bool lockedAsBitmap = false;
  Bitmap bitmap;
  RowTableImage rowTable;
};

// The stored picture of a handle this host made (alive or released), or null.
Picture* Find(const void* handle);

// ---- Bitmaps (picture_bitmaps_*.cpp) ----

// A top-down bitmap of width × height of the picture's depth holding its pixels
// (the overlapping part); without bits when withoutBits (a device-dependent
// bitmap). Natively rows are padded by rowPadding bytes and GetObjectA reports a
// stride understated by understatement bytes (or, for tooSmallStride, 4 bytes
// below 4 × width). Handle null when the system refuses such a bitmap.
void MakeBitmap(const Picture& picture, int32_t width, int32_t height, bool withoutBits, int32_t rowPadding,
                int32_t understatement, bool tooSmallStride, Bitmap* bitmap);
// The bitmap's pixels back into the picture (the overlapping part).
void ReadBitmap(const Bitmap& bitmap, Picture* picture);
void DestroyBitmap(Bitmap* bitmap);

// Draws the source rectangle (sw, sh of -10000: to the source's right or bottom
// edge) of source into the destination rectangle of destination, scaled.
void DrawPixels(Picture* destination, const Picture& source, int32_t x, int32_t y, int32_t w, int32_t h,
                int32_t sx, int32_t sy, int32_t sw, int32_t sh);

// ---- Row-table images (picture_row_tables.cpp) ----

// An image record of width × height holding the picture's pixels (the
// overlapping part), with the record-level faults of fault applied.
void MakeRowTableImage(const Picture& picture, int32_t width, int32_t height, PictureFault fault,
                       RowTableImage* image);
// The image's rows back into the picture (the overlapping part, present rows).
void ReadRowTableImage(const RowTableImage& image, Picture* picture);

// ---- Graphics objects (picture_graphics.cpp) ----

void DefineGraphicsEntries();
void ResetGraphics();
// Width or Height of a graphics object (its picture's); false for anything else.
bool GraphicsIntegerProperty(const void* object, const char* name, int32_t* value);

// ---- Pixel words ----

inline uint32_t StoredPixel(const Picture& picture, uint32_t pixel) {
  return picture.depth == 32 ? pixel : (pixel & 0x00FFFFFFu);
}

}  // namespace pictures
}  // namespace simhost
