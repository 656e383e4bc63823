// The two picture forms: source locks and unlocks, output creation and finishing,
// the process-wide latches, and the checks that keep every surface within the
// memory its picture really has.
#include "blur/pixel_access.h"

#include "blur/picture_conversion.h"
#include "blur/picture_records.h"
#include "blur/win32.h"
#include "blur/windows_version.h"
#include "frame/host_entries.h"

namespace {

AccessPathLatch gSourceLatch = kAccessPathUntried;
AccessPathLatch gOutputLatch = kAccessPathUntried;

constexpr int64_t kInt32Max = 2147483647;

// What a surface takes from a 32-bit bitmap.
struct BitmapLayout {
  uint8_t* base;
  int32_t stride;
  int32_t width;
  int32_t height;
};

// The stride to use: on Windows 2000 bmWidthBytes is raised to the next multiple
// of 4 (6 becomes 8); elsewhere it is used as it is. -1 when the raised stride
// does not fit in 32 bits.
int64_t StrideToUse(int32_t widthBytes) {
  int64_t stride = widthBytes;
  if (IsWindows2000()) stride = (stride + 3) / 4 * 4;
  return stride <= kInt32Max ? stride : -1;
}

// Reads the bitmap of a type-7 description. False, and nothing to read through,
// for a null handle, a handle GetObjectA cannot describe, a depth other than 32,
// a bitmap without a pixel address (a device-dependent bitmap), a negative size,
// or rows shorter than 4 × width bytes.
bool ReadBitmapLayout(const PictureDescription& description, BitmapLayout* layout) {
  if (description.data == nullptr) return false;
  BITMAP bitmap{};
  if (GetObjectA(description.data, static_cast<int>(sizeof bitmap), &bitmap) == 0) return false;
  if (bitmap.bmBitsPixel != 32 || bitmap.bmBits == nullptr) return false;
  if (bitmap.bmWidth < 0 || bitmap.bmHeight < 0) return false;
  const int64_t stride = StrideToUse(bitmap.bmWidthBytes);
  if (stride < 4 * int64_t{bitmap.bmWidth}) return false;
  layout->base = static_cast<uint8_t*>(bitmap.bmBits);
  layout->stride = static_cast<int32_t>(stride);
  layout->width = bitmap.bmWidth;
  layout->height = bitmap.bmHeight;
  return true;
}

void SetPixelFields(BitmapSurface* surface, const BitmapLayout& layout) {
  surface->base = layout.base;
  surface->stride = layout.stride;
  surface->width = layout.width;
  surface->height = layout.height;
  surface->bytesPerPixel = 4;
}

// Whether the RowTableImage of a type-10 description may be read through for the
// description's size: an image record whose state word is 0 and ready word
// non-zero, a row table with every one of the record's rows present, and a
// description no wider and no taller than the record (so that no row is used
// beyond those tested, nor read past its end), whose row bytes fit in 32 bits.
bool RowTableImageUsable(const PictureDescription& description) {
  const void* image = description.data;
  if (image == nullptr) return false;
  if (RowTableImageState(image) != 0) return false;
  uint32_t** rows = RowTableImageRows(image);
  if (rows == nullptr) return false;
  if (RowTableImageReady(image) == 0) return false;
  if (!AllRowsPresent(rows, RowTableImageHeight(image))) return false;
  if (description.width < 0 || description.height < 0) return false;
  if (description.width > RowTableImageWidth(image) || description.height > RowTableImageHeight(image)) return false;
  return 4 * int64_t{description.width} <= kInt32Max;
}

void SetPixelFields(RowTableSurface* surface) {
  surface->rowTable = RowTableImageRows(surface->description.data);
  surface->rowBytes = 4 * surface->description.width;
  surface->width = surface->description.width;
  surface->height = surface->description.height;
  surface->bytesPerPixel = 4;
}

// Undoes an output being created: its description unlocked, its picture dropped
// (and so gone).
template <typename Surface>
void CleanUpOutput(Surface* surface) {
  if (surface->descriptionLocked) {
    surface->descriptionLocked = false;
    unlockPictureDescription(surface->picture);
  }
  REALUnlockObject(surface->picture);
  surface->picture = nullptr;
}

template <typename Surface>
void UnlockSource(Surface* surface) {
  if (surface->picture == nullptr) return;
  unlockPictureDescription(surface->picture);
  REALUnlockObject(surface->picture);
  surface->picture = nullptr;
}

template <typename Surface>
HostObject FinishOutput(Surface* surface) {
  HostObject picture = surface->picture;
  surface->picture = nullptr;
  if (surface->descriptionLocked) {
    surface->descriptionLocked = false;
    if (picture != nullptr) unlockPictureDescription(picture);
  }
  if (picture != nullptr) REALPictureClearCache(picture);
  return picture;
}

}  // namespace

AccessPathLatch SourceAccessPath() { return gSourceLatch; }
AccessPathLatch OutputAccessPath() { return gOutputLatch; }

bool LockSourceBitmap(BitmapSurface* surface, HostObject picture, bool allowConversion) {
  if (gSourceLatch == kAccessPathRowTable) return false;
  *surface = BitmapSurface{};
  if (picture != nullptr && REALLockPictureDescription(picture, &surface->description, kPictureTypeBitmap)) {
    if (surface->description.type == kPictureTypeRowTable) {
      // This host keeps row-table images: no conversion, the other form serves it.
      unlockPictureDescription(picture);
      return false;
    }
    BitmapLayout layout{};
    if (surface->description.type == kPictureTypeBitmap && ReadBitmapLayout(surface->description, &layout)) {
      REALLockObject(picture);
      gSourceLatch = kAccessPathBitmap;
      SetPixelFields(surface, layout);
      surface->picture = picture;
      return true;  // the description stays locked until the unlock
    }
    unlockPictureDescription(picture);
  }
  if (!allowConversion) return false;
  HostObject copy = ConvertTo32BitPicture(picture);
  if (copy == nullptr) return false;
  // The surface takes a reference of its own on the copy; ours goes, so the copy
  // lives until the surface is unlocked (or is gone now if the lock failed).
  const bool locked = LockSourceBitmap(surface, copy, false);
  REALUnlockObject(copy);
  return locked;
}

bool LockSourceRowTable(RowTableSurface* surface, HostObject picture) {
  if (gSourceLatch == kAccessPathBitmap) return false;
  *surface = RowTableSurface{};
  if (picture == nullptr) return false;
  lockPictureDescription(picture, &surface->description);
  if (surface->description.type != kPictureTypeRowTable) {
    unlockPictureDescription(picture);
    return false;
  }
  // The host answers with row-table images: that stays so, even if this image is refused.
  gSourceLatch = kAccessPathRowTable;
  if (!RowTableImageUsable(surface->description)) {
    unlockPictureDescription(picture);
    return false;
  }
  REALLockObject(picture);
  surface->picture = picture;
  SetPixelFields(surface);
  return true;
}

void UnlockSourceBitmap(BitmapSurface* surface) { UnlockSource(surface); }

void UnlockSourceRowTable(RowTableSurface* surface) { UnlockSource(surface); }

bool CreateOutputBitmap(BitmapSurface* surface, int32_t width, int32_t height) {
  if (gOutputLatch == kAccessPathRowTable) return false;
  *surface = BitmapSurface{};
  if (width <= 0 || height <= 0) return false;
  surface->picture = newPicture(width, height, 32);
  if (surface->picture == nullptr) return false;
  if (!REALLockPictureDescription(surface->picture, &surface->description, kPictureTypeBitmap)) {
    REALUnlockObject(surface->picture);
    surface->picture = nullptr;
    return false;
  }
  surface->descriptionLocked = true;
  if (surface->description.type != kPictureTypeBitmap) {
    CleanUpOutput(surface);
    return false;
  }
  // The host describes new pictures as bitmaps: that stays so, even if this one is refused.
  gOutputLatch = kAccessPathBitmap;
  BitmapLayout layout{};
  // A bitmap of another size than asked for would be written past its end.
  if (!ReadBitmapLayout(surface->description, &layout) || layout.width != width || layout.height != height) {
    CleanUpOutput(surface);
    return false;
  }
  SetPixelFields(surface, layout);
  return true;
}

bool CreateOutputRowTable(RowTableSurface* surface, int32_t width, int32_t height) {
  if (gOutputLatch == kAccessPathBitmap) return false;
  *surface = RowTableSurface{};
  if (width <= 0 || height <= 0) return false;
  surface->picture = newPicture(width, height, 32);
  if (surface->picture == nullptr) return false;
  lockPictureDescription(surface->picture, &surface->description);
  surface->descriptionLocked = true;
  if (surface->description.type != kPictureTypeRowTable) {
    CleanUpOutput(surface);
    return false;
  }
  // The host describes new pictures as row-table images: that stays so, even if this one is refused.
  gOutputLatch = kAccessPathRowTable;
  // An image of another size than asked for would be written past its end.
  if (!RowTableImageUsable(surface->description) || surface->description.width != width ||
      surface->description.height != height) {
    CleanUpOutput(surface);
    return false;
  }
  SetPixelFields(surface);
  return true;
}

HostObject FinishOutputBitmap(BitmapSurface* surface) {
  HostObject picture = FinishOutput(surface);
  surface->base = nullptr;
  return picture;
}

HostObject FinishOutputRowTable(RowTableSurface* surface) {
  HostObject picture = FinishOutput(surface);
  surface->rowTable = nullptr;
  return picture;
}

bool AllRowsPresent(uint32_t* const* rowTable, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    if (rowTable[i] == nullptr) return false;
  }
  return true;
}
