// A locked picture's pixels in the host's two forms.
// The box blur engine reads only the pixel fields; picture pixel access fills
// them all and uses the last three to tie a surface to its host picture.
#pragma once

#include <cstdint>

#include "blur/picture_records.h"
#include "frame/host_abi.h"

// A 32-bit GDI bitmap (description type 7). Row y starts at base + y × stride;
// a pixel is 4 bytes in memory order blue, green, red and a fourth byte.
struct BitmapSurface {
  // Pixel fields.
  uint8_t* base;          // first byte of row 0 (bmBits)
  int32_t stride;         // bytes from one row to the next, positive (bmWidthBytes, Windows 2000 rule)
  int32_t width;          // bmWidth
  int32_t height;         // bmHeight
  int32_t bytesPerPixel;  // always 4
  // The picture.
  bool descriptionLocked;  // output: from the description lock until its unlock
  HostObject picture;      // source: one reference of its own; output: newPicture's reference
  PictureDescription description;
};

// The host's row-table image (description type 10). Row y starts at
// rowTable[y]; a pixel is one 32-bit word 0x00RRGGBB.
struct RowTableSurface {
  // Pixel fields.
  uint32_t** rowTable;    // the RowTableImage's row table
  int32_t rowBytes;       // description width × 4
  int32_t width;          // description width
  int32_t height;         // description height
  int32_t bytesPerPixel;  // always 4
  // The picture.
  bool descriptionLocked;
  HostObject picture;
  PictureDescription description;
};
