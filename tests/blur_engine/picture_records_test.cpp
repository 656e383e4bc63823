// The host's picture records: RowTableImage fields at their byte offsets, the row
// table pointer read from its unaligned place in a 64-bit build.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "blur/picture_records.h"

namespace {

template <typename T>
void Put(std::vector<unsigned char>& record, size_t offset, T value) {
  std::memcpy(record.data() + offset, &value, sizeof value);
}

TEST(PictureRecords, RowTableImageFieldsAreReadAtTheirOffsets) {
  std::vector<unsigned char> record(kRowTableImageExtent + 16, 0xEE);
  uint32_t row0[2] = {};
  uint32_t row1[2] = {};
  uint32_t* rows[2] = {row0, row1};
  Put<int32_t>(record, 0, 0);
  Put<int32_t>(record, 4, 2);
  Put<int32_t>(record, 8, 7);
  Put<uint32_t>(record, 7224, 0x80000001u);
  Put<uint32_t**>(record, 7228, rows);
  EXPECT_EQ(RowTableImageState(record.data()), 0);
  EXPECT_EQ(RowTableImageWidth(record.data()), 2);
  EXPECT_EQ(RowTableImageHeight(record.data()), 7);
  EXPECT_EQ(RowTableImageReady(record.data()), 0x80000001u);
  EXPECT_EQ(RowTableImageRows(record.data()), rows);

  Put<int32_t>(record, 0, -3);
  EXPECT_EQ(RowTableImageState(record.data()), -3);
}

TEST(PictureRecords, PictureDescriptionFieldsComeInTheHostsOrder) {
  EXPECT_EQ(offsetof(PictureDescription, type), 0u);
  EXPECT_LT(offsetof(PictureDescription, type), offsetof(PictureDescription, data));
  EXPECT_LT(offsetof(PictureDescription, data), offsetof(PictureDescription, width));
  EXPECT_EQ(offsetof(PictureDescription, height), offsetof(PictureDescription, width) + 4);
  EXPECT_EQ(offsetof(PictureDescription, hostWord16), offsetof(PictureDescription, height) + 4);
  EXPECT_EQ(offsetof(PictureDescription, hostWord20), offsetof(PictureDescription, height) + 8);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(sizeof(PictureDescription), 24u);
  }
  const PictureDescription zero{};
  EXPECT_NE(zero.type, kPictureTypeBitmap);
  EXPECT_NE(zero.type, kPictureTypeRowTable);
}

}  // namespace
