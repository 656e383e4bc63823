// The host's picture records: the PictureDescription that every
// picture lock fills, and read access to the RowTableImage that a type-10
// description points to.
//
// The host lays both out little-endian with 32-bit pointers; the static_asserts
// pin that layout in 32-bit builds. Natively `data` and the row table pointer are
// pointer-sized, which is the layout our simulated host uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Description types the system uses.
constexpr int32_t kPictureTypeBitmap = 7;     // data: a GDI bitmap handle
constexpr int32_t kPictureTypeRowTable = 10;  // data: a RowTableImage

struct PictureDescription {
  int32_t type;         // kPictureTypeBitmap, kPictureTypeRowTable, or a form not used
  void* data;           // bitmap handle (type 7) or RowTableImage address (type 10)
  int32_t width;        // pixels; read for type 10
  int32_t height;       // pixels; read for type 10
  uint32_t hostWord16;  // the host's, not read
  uint32_t hostWord20;  // the host's, not read
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(PictureDescription) == 24, "PictureDescription is 24 bytes");
static_assert(offsetof(PictureDescription, type) == 0, "");
static_assert(offsetof(PictureDescription, data) == 4, "");
static_assert(offsetof(PictureDescription, width) == 8, "");
static_assert(offsetof(PictureDescription, height) == 12, "");
static_assert(offsetof(PictureDescription, hostWord16) == 16, "");
static_assert(offsetof(PictureDescription, hostWord20) == 20, "");
#endif

// ---- RowTableImage: the host's record, read field by field at its byte offsets ----
// Every other byte of the record is the host's and is never read or written.

constexpr size_t kRowTableImageStateOffset = 0;     // int32: must be 0 for the image to be used
constexpr size_t kRowTableImageWidthOffset = 4;     // int32: width in pixels
constexpr size_t kRowTableImageHeightOffset = 8;    // int32: rows that must be present in the table
constexpr size_t kRowTableImageReadyOffset = 7224;  // 32 bits: must be non-zero for the image to be used
constexpr size_t kRowTableImageRowsOffset = 7228;   // pointer: the row table, row 0 first
// Bytes up to and including the row table pointer (a record at least this long).
constexpr size_t kRowTableImageExtent = kRowTableImageRowsOffset + sizeof(void*);

inline int32_t RowTableImageInt32At(const void* image, size_t offset) {
  int32_t value;
  std::memcpy(&value, static_cast<const unsigned char*>(image) + offset, sizeof value);
  return value;
}

inline int32_t RowTableImageState(const void* image) { return RowTableImageInt32At(image, kRowTableImageStateOffset); }
inline int32_t RowTableImageWidth(const void* image) { return RowTableImageInt32At(image, kRowTableImageWidthOffset); }
inline int32_t RowTableImageHeight(const void* image) { return RowTableImageInt32At(image, kRowTableImageHeightOffset); }
inline uint32_t RowTableImageReady(const void* image) {
  return static_cast<uint32_t>(RowTableImageInt32At(image, kRowTableImageReadyOffset));
}

// The row table: one row address per row, each row holding width 0x00RRGGBB words.
// Read with memcpy: offset 7228 is not pointer-aligned in a 64-bit build.
inline uint32_t** RowTableImageRows(const void* image) {
  uint32_t** rows;
  std::memcpy(&rows, static_cast<const unsigned char*>(image) + kRowTableImageRowsOffset, sizeof rows);
  return rows;
}
