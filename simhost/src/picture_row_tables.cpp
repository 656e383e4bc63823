// The host's row-table images: a record of 7232 bytes or more whose words at
// offsets 0, 4, 8, 7224 and 7228 the plug-ins read, a row table, and rows of
// 0x00RRGGBB words.
#include <cstring>

#include "picture_store.h"

namespace simhost {
namespace pictures {
namespace {

constexpr size_t kStateOffset = 0;
constexpr size_t kWidthOffset = 4;
constexpr size_t kHeightOffset = 8;
constexpr size_t kReadyOffset = 7224;
constexpr size_t kRowsOffset = 7228;
constexpr size_t kRecordBytes = kRowsOffset + sizeof(void*);
// The bytes of the record the plug-ins have no business with.
constexpr unsigned char kHostByte = 0xB7;

template <typename T>
void Put(unsigned char* record, size_t offset, T value) {
  std::memcpy(record + offset, &value, sizeof value);
}

}  // namespace

void MakeRowTableImage(const Picture& picture, int32_t width, int32_t height, PictureFault fault,
                       RowTableImage* image) {
  image->width = width;
  image->height = height;
  image->record.reset(new unsigned char[kRecordBytes]);
  std::memset(image->record.get(), kHostByte, kRecordBytes);
  image->table.reset(new uint32_t*[static_cast<size_t>(height > 0 ? height : 1)]());
  image->rows.clear();
  for (int32_t y = 0; y < height; ++y) {
    // Exactly width words a row (one for an empty picture, so that the row exists).
    const size_t words = static_cast<size_t>(width > 0 ? width : 1);
    std::unique_ptr<uint32_t[]> row(new uint32_t[words]());
    for (int32_t x = 0; x < width && x < picture.width && y < picture.height; ++x) {
      row[static_cast<size_t>(x)] =
          picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x)];
    }
    image->table[static_cast<size_t>(y)] = row.get();
    image->rows.push_back(std::move(row));
  }
  if (fault == PictureFault::MissingRow && height > 0) {
    image->table[static_cast<size_t>(height - 1)] = nullptr;
  }
  unsigned char* record = image->record.get();
  Put<int32_t>(record, kStateOffset, fault == PictureFault::ImageStateNonZero ? 3 : 0);
  Put<int32_t>(record, kWidthOffset, width);
  Put<int32_t>(record, kHeightOffset, height);
  Put<uint32_t>(record, kReadyOffset, fault == PictureFault::ImageNotReady ? 0u : 0x52454459u);
  Put<uint32_t**>(record, kRowsOffset, fault == PictureFault::NoRowTable ? nullptr : image->table.get());
}

void ReadRowTableImage(const RowTableImage& image, Picture* picture) {
  for (int32_t y = 0; y < image.height && y < picture->height; ++y) {
    const uint32_t* row = image.table[static_cast<size_t>(y)];
    if (row == nullptr) continue;
    for (int32_t x = 0; x < image.width && x < picture->width; ++x) {
      picture->pixels[static_cast<size_t>(y) * static_cast<size_t>(picture->width) + static_cast<size_t>(x)] =
          StoredPixel(*picture, row[static_cast<size_t>(x)]);
    }
  }
}

}  // namespace pictures
}  // namespace simhost
