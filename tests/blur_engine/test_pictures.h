// Test support for the engine: pictures as plain 0xAARRGGBB words and the
// reference blur (tests/support), and surfaces of both forms laid over
// plain memory.
#pragma once

#include <cstdint>
#include <vector>

#include "../support/reference_blur.h"
#include "blur/box_blur_paths.h"
#include "blur/surfaces.h"

namespace blurtest {

using testsupport::TestPicture;

TestPicture RandomPicture(int32_t width, int32_t height, uint32_t seed);
TestPicture UniformPicture(int32_t width, int32_t height, uint32_t pixel);
// One row of red values (green and blue 0).
TestPicture RedRow(const std::vector<uint32_t>& reds);

uint32_t Red(uint32_t pixel);
uint32_t Green(uint32_t pixel);
uint32_t Blue(uint32_t pixel);

// The reference blur of the formula (tests/support).
using testsupport::ReferenceBlur;

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
// The same through the entry that runs the given instruction-set path.
BlurRun RunBlurOnPath(BlurPath path, Form form, const TestPicture& source, const TestPicture& outputBefore,
                      double radius, int32_t sourcePad = 0, int32_t outputPad = 0);

}  // namespace blurtest
