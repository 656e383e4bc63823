// Test support for the engine: pictures as plain 0xAARRGGBB words, the reference
// blur written straight from the formula, and surfaces of both forms laid over
// plain memory.
#pragma once

#include <cstdint>
#include <vector>

#include "blur/surfaces.h"

namespace blurtest {

// A picture's pixels, row by row, one word a pixel: red in bits 16 to 23, green
// 8 to 15, blue 0 to 7, and bits 24 to 31 the fourth byte.
struct TestPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};

TestPicture RandomPicture(int32_t width, int32_t height, uint32_t seed);
TestPicture UniformPicture(int32_t width, int32_t height, uint32_t pixel);
// One row of red values (green and blue 0).
TestPicture RedRow(const std::vector<uint32_t>& reds);

uint32_t Red(uint32_t pixel);
uint32_t Green(uint32_t pixel);
uint32_t Blue(uint32_t pixel);

// The blur from its formula, for r >= 1: V(x, y) = (sum over i = -r..r of
// S(x, clamp(y + i))) / e, truncated; out(x, y) = (sum over j = -r..r of
// V(clamp(x + j), y)) / e, truncated; e = 2r + 1, each channel on its own, the
// fourth byte 0.
TestPicture ReferenceBlur(const TestPicture& source, int32_t r);

// Bitmap memory: height rows of stride bytes, pixels as blue, green, red, fourth
// byte; the bytes past 4 × width in each row are filled with padByte.
struct BitmapMemory {
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;
  std::vector<uint8_t> bytes;

  BitmapSurface Surface();
  TestPicture Picture() const;
};
BitmapMemory MakeBitmap(const TestPicture& picture, int32_t stride, uint8_t padByte = 0xC3);

// Row-table memory: each row in a block of its own of exactly 4 × width bytes (so
// that the sanitizers see any access past a row), the bottom row allocated first,
// and the table of their addresses, row 0 first.
struct RowTableMemory {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<std::vector<uint32_t>> rows;
  std::vector<uint32_t*> table;

  RowTableSurface Surface();
  TestPicture Picture() const;
};
RowTableMemory MakeRowTable(const TestPicture& picture);

// ---- One engine call over plain memory ----

enum class Form { Bitmap, RowTable };
const char* FormName(Form form);

struct BlurRun {
  TestPicture output;       // the output's pixels after the call, fourth bytes included
  TestPicture sourceAfter;  // the source's pixels after the call
  bool untouchedOutsidePixels = true;  // bitmap rows' bytes past 4 × width kept their pad byte, source's too
  bool sourceBytesUnchanged = true;    // every byte of the source's memory, padding included
};

// Lays source and outputBefore (same size) over memory of the form and calls its
// engine entry once. Bitmaps get strides of 4 × width + sourcePad and 4 × width +
// outputPad bytes.
BlurRun RunBlur(Form form, const TestPicture& source, const TestPicture& outputBefore, double radius,
                int32_t sourcePad = 0, int32_t outputPad = 0);

}  // namespace blurtest
