#include "test_pictures.h"

#include <cstring>

#include "blur/box_blur.h"

namespace blurtest {

uint32_t Red(uint32_t pixel) { return (pixel >> 16) & 0xFFu; }
uint32_t Green(uint32_t pixel) { return (pixel >> 8) & 0xFFu; }
uint32_t Blue(uint32_t pixel) { return pixel & 0xFFu; }

TestPicture RandomPicture(int32_t width, int32_t height, uint32_t seed) {
  return testsupport::RandomTestPicture(width, height, 32, seed);
}

TestPicture UniformPicture(int32_t width, int32_t height, uint32_t pixel) {
  return {width, height, std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height), pixel)};
}

TestPicture RedRow(const std::vector<uint32_t>& reds) {
  TestPicture picture{static_cast<int32_t>(reds.size()), 1, {}};
  for (uint32_t red : reds) picture.pixels.push_back(red << 16);
  return picture;
}

BitmapMemory MakeBitmap(const TestPicture& picture, int32_t stride, uint8_t padByte) {
  BitmapMemory memory{picture.width, picture.height, stride,
                      std::vector<uint8_t>(static_cast<size_t>(stride) * static_cast<size_t>(picture.height), padByte)};
  for (int32_t y = 0; y < picture.height; ++y) {
    for (int32_t x = 0; x < picture.width; ++x) {
      const uint32_t pixel = picture.At(x, y);
      uint8_t* p = &memory.bytes[static_cast<size_t>(y * stride + 4 * x)];
      p[0] = static_cast<uint8_t>(Blue(pixel));
      p[1] = static_cast<uint8_t>(Green(pixel));
      p[2] = static_cast<uint8_t>(Red(pixel));
      p[3] = static_cast<uint8_t>(pixel >> 24);
    }
  }
  return memory;
}

BitmapSurface BitmapMemory::Surface() {
  BitmapSurface surface{};
  surface.base = bytes.data();
  surface.stride = stride;
  surface.width = width;
  surface.height = height;
  surface.bytesPerPixel = 4;
  return surface;
}

TestPicture BitmapMemory::Picture() const {
  TestPicture picture{width, height, {}};
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* p = &bytes[static_cast<size_t>(y * stride + 4 * x)];
      picture.pixels.push_back(static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
                               static_cast<uint32_t>(p[1]) << 8 | p[0]);
    }
  }
  return picture;
}

RowTableMemory MakeRowTable(const TestPicture& picture) {
  RowTableMemory memory{picture.width, picture.height, {}, {}};
  memory.rows.resize(static_cast<size_t>(picture.height));
  for (int32_t y = picture.height - 1; y >= 0; --y) {
    std::vector<uint32_t>& row = memory.rows[static_cast<size_t>(y)];
    row.resize(static_cast<size_t>(picture.width));  // bottom row allocated first
    for (int32_t x = 0; x < picture.width; ++x) row[static_cast<size_t>(x)] = picture.At(x, y);
  }
  for (std::vector<uint32_t>& row : memory.rows) memory.table.push_back(row.data());
  return memory;
}

RowTableSurface RowTableMemory::Surface() {
  RowTableSurface surface{};
  surface.rowTable = table.data();
  surface.rowBytes = 4 * width;
  surface.width = width;
  surface.height = height;
  surface.bytesPerPixel = 4;
  return surface;
}

TestPicture RowTableMemory::Picture() const {
  TestPicture picture{width, height, {}};
  for (const uint32_t* row : table) picture.pixels.insert(picture.pixels.end(), row, row + width);
  return picture;
}

}  // namespace blurtest

namespace blurtest {
namespace {

constexpr uint8_t kSourcePad = 0x5C;
constexpr uint8_t kOutputPad = 0xC3;

bool PaddingIs(const BitmapMemory& memory, uint8_t pad) {
  for (int32_t y = 0; y < memory.height; ++y) {
    for (int32_t i = 4 * memory.width; i < memory.stride; ++i) {
      if (memory.bytes[static_cast<size_t>(y * memory.stride + i)] != pad) return false;
    }
  }
  return true;
}

}  // namespace

const char* FormName(Form form) { return form == Form::Bitmap ? "bitmap" : "row table"; }

namespace {

// One engine call per form, on a path or through the public entries.
struct Entries {
  const BlurPath* path;  // null: BoxBlurBitmap and BoxBlurRowTable
  void Bitmap(const BitmapSurface& source, BitmapSurface& output, double radius) const {
    if (path == nullptr) {
      BoxBlurBitmap(source, output, radius);
    } else {
      BoxBlurBitmapOnPath(*path, source, output, radius);
    }
  }
  void RowTable(const RowTableSurface& source, RowTableSurface& output, double radius) const {
    if (path == nullptr) {
      BoxBlurRowTable(source, output, radius);
    } else {
      BoxBlurRowTableOnPath(*path, source, output, radius);
    }
  }
};

BlurRun RunBlurThrough(const Entries& entries, Form form, const TestPicture& source, const TestPicture& outputBefore,
                       double radius, int32_t sourcePad, int32_t outputPad) {
  BlurRun run;
  if (form == Form::Bitmap) {
    BitmapMemory in = MakeBitmap(source, 4 * source.width + sourcePad, kSourcePad);
    BitmapMemory out = MakeBitmap(outputBefore, 4 * outputBefore.width + outputPad, kOutputPad);
    const std::vector<uint8_t> sourceBytes = in.bytes;
    BitmapSurface inSurface = in.Surface();
    BitmapSurface outSurface = out.Surface();
    entries.Bitmap(inSurface, outSurface, radius);
    run.output = out.Picture();
    run.sourceAfter = in.Picture();
    run.untouchedOutsidePixels = PaddingIs(out, kOutputPad) && PaddingIs(in, kSourcePad);
    run.sourceBytesUnchanged = in.bytes == sourceBytes;
  } else {
    RowTableMemory in = MakeRowTable(source);
    RowTableMemory out = MakeRowTable(outputBefore);
    const std::vector<uint32_t*> sourceTable = in.table;
    RowTableSurface inSurface = in.Surface();
    RowTableSurface outSurface = out.Surface();
    entries.RowTable(inSurface, outSurface, radius);
    run.output = out.Picture();
    run.sourceAfter = in.Picture();
    run.sourceBytesUnchanged = in.table == sourceTable && run.sourceAfter.pixels == source.pixels;
  }
  return run;
}

}  // namespace

BlurRun RunBlur(Form form, const TestPicture& source, const TestPicture& outputBefore, double radius,
                int32_t sourcePad, int32_t outputPad) {
  return RunBlurThrough(Entries{nullptr}, form, source, outputBefore, radius, sourcePad, outputPad);
}

BlurRun RunBlurOnPath(BlurPath path, Form form, const TestPicture& source, const TestPicture& outputBefore,
                      double radius, int32_t sourcePad, int32_t outputPad) {
  return RunBlurThrough(Entries{&path}, form, source, outputBefore, radius, sourcePad, outputPad);
}

}  // namespace blurtest
