#include "blur/picture_conversion.h"

#include <cstddef>
#include <cstring>

#include "blur/picture_records.h"
#include "blur/pixel_access.h"
#include "frame/host_entries.h"

const char kDrawPictureDeclaration[] =
    "DrawPicture(Image as Picture, x as Integer, y as Integer, w as Integer, h as Integer, sx as Integer = 0, "
    "sy as Integer = 0, sw as Integer = -10000, sh as Integer = -10000)";

namespace {

// Row bytes are computed in 64 bits and must fit in 32.
constexpr int64_t kLargestRowBytes = 2147483647;

// Both drawing functions: the graphics object, the picture, then destination and
// source rectangles.
using DrawPictureFunction = void (*)(HostObject graphics, HostObject picture, int32_t x, int32_t y, int32_t w,
                                     int32_t h, int32_t sx, int32_t sy, int32_t sw, int32_t sh);

int32_t IntegerProperty(HostObject picture, const char* name) {
  int32_t value = 0;
  if (picture != nullptr && REALGetPropValueInt(picture, name, &value)) return value;
  return 0;
}

// The row-table image of a locked description, or null when it must not be read
// through: another type, no image record, a state word other than 0, no row
// table, a negative size, rows too long to count in 32 bits, or a null entry among its rows.
const void* CopyableImage(const PictureDescription& description) {
  if (description.type != kPictureTypeRowTable) return nullptr;
  const void* image = description.data;
  if (image == nullptr || RowTableImageState(image) != 0) return nullptr;
  uint32_t** rows = RowTableImageRows(image);
  if (rows == nullptr) return nullptr;
  if (RowTableImageWidth(image) < 0 || RowTableImageHeight(image) < 0) return nullptr;
  if (4 * int64_t{RowTableImageWidth(image)} > kLargestRowBytes) return nullptr;
  if (!AllRowsPresent(rows, RowTableImageHeight(image))) return nullptr;
  return image;
}

bool CopyRows(const PictureDescription& destination, const PictureDescription& source) {
  const void* to = CopyableImage(destination);
  const void* from = CopyableImage(source);
  if (to == nullptr || from == nullptr) return false;
  const int32_t width = RowTableImageWidth(from);
  const int32_t height = RowTableImageHeight(from);
  if (RowTableImageWidth(to) != width || RowTableImageHeight(to) != height) return false;
  uint32_t** toRows = RowTableImageRows(to);
  uint32_t** fromRows = RowTableImageRows(from);
  const size_t rowBytes = static_cast<size_t>(width) * 4u;
  for (int32_t i = 0; i < height; ++i) std::memcpy(toRows[i], fromRows[i], rowBytes);
  return true;
}

}  // namespace

int32_t PictureWidth(HostObject picture) { return IntegerProperty(picture, "Width"); }

int32_t PictureHeight(HostObject picture) { return IntegerProperty(picture, "Height"); }

HostObject ConvertTo32BitPicture(HostObject picture) {
  if (picture == nullptr) return nullptr;
  const int32_t width = PictureWidth(picture);
  const int32_t height = PictureHeight(picture);
  if (width <= 0 || height <= 0) return nullptr;
  HostObject copy = newPicture(width, height, 32);
  if (copy == nullptr) return nullptr;
  HostObject graphics = pluginPictureGraphicsGetter(copy);
  if (graphics == nullptr) return copy;  // undrawn, as newPicture made it
  DrawPictureInto(graphics, copy, picture, 0, 0, width, height, 0, 0, width, height);
  REALUnlockObject(graphics);
  return copy;
}

bool DrawPictureInto(HostObject graphics, HostObject destination, HostObject source, int32_t x, int32_t y,
                     int32_t w, int32_t h, int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (graphics != nullptr && source != nullptr) {
    if (auto draw = reinterpret_cast<DrawPictureFunction>(REALLoadObjectMethod(graphics, kDrawPictureDeclaration))) {
      draw(graphics, source, x, y, w, h, sx, sy, sw, sh);
      return true;
    }
    // Asked anew every time: never cached.
    if (auto draw = reinterpret_cast<DrawPictureFunction>(AskHostResolver("RuntimeGraphicsDrawPicture"))) {
      draw(graphics, source, x, y, w, h, sx, sy, sw, sh);
      return true;
    }
  }
  return CopyRowTableImage(destination, source, x, y, w, h, sx, sy, sw, sh);
}

bool CopyRowTableImage(HostObject destination, HostObject source, int32_t x, int32_t y, int32_t w, int32_t h,
                       int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
  if (destination == nullptr || source == nullptr) return false;
  if (sw != w || sh != h || x != 0 || y != 0 || sx != 0 || sy != 0) return false;
  PictureDescription sourceDescription{};
  PictureDescription destinationDescription{};
  if (!REALLockPictureDescription(source, &sourceDescription, kPictureTypeRowTable)) return false;
  if (!REALLockPictureDescription(destination, &destinationDescription, kPictureTypeRowTable)) {
    unlockPictureDescription(source);
    return false;
  }
  // The sizes copied are those of the two image records, not w and h.
  const bool copied = CopyRows(destinationDescription, sourceDescription);
  unlockPictureDescription(destination);
  unlockPictureDescription(source);
  return copied;
}
