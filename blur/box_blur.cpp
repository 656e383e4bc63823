// One algorithm (BoxBlur) over two ways of finding rows and reading and writing
// pixels (BitmapForm, RowTableForm). Written plainly. The comments number its
// steps: 1 r and e, 2 request the five blocks, 3 fill the DivisionTable, 4 and 5
// the vertical window and sweep, 6 the horizontal sweep, 7 release the blocks.
#include "blur/box_blur.h"

#include <cstddef>
#include <cstring>
#include <limits>

#include "blur/radius.h"
#include "blur/win32.h"

namespace {

constexpr int32_t kPixelBytes = 4;     // the step between pixels of a source or output row
constexpr int64_t kBlockSlack = 20;    // extra bytes of every ColumnSums and RowScratch block

struct Rgb {
  int32_t red;
  int32_t green;
  int32_t blue;
};

// ---- The two forms ----

// Bitmap rows at base + y × stride; a pixel is blue, green, red, fourth byte.
struct BitmapForm {
  using Surface = BitmapSurface;
  static const uint8_t* SourceRow(const Surface& surface, int32_t y) {
    return surface.base + static_cast<ptrdiff_t>(y) * surface.stride;
  }
  static uint8_t* OutputRow(const Surface& surface, int32_t y) {
    return surface.base + static_cast<ptrdiff_t>(y) * surface.stride;
  }
  static int32_t RowScratchBytes(const Surface& output) { return output.stride; }
  static Rgb Read(const uint8_t* pixel) { return {pixel[2], pixel[1], pixel[0]}; }
  static void Write(uint8_t* pixel, Rgb value) {
    pixel[0] = static_cast<uint8_t>(value.blue);
    pixel[1] = static_cast<uint8_t>(value.green);
    pixel[2] = static_cast<uint8_t>(value.red);
    pixel[3] = 0;
  }
};

// Rows from the row table; a pixel is one 32-bit word 0x00RRGGBB.
struct RowTableForm {
  using Surface = RowTableSurface;
  static const uint8_t* SourceRow(const Surface& surface, int32_t y) {
    return reinterpret_cast<const uint8_t*>(surface.rowTable[y]);
  }
  static uint8_t* OutputRow(const Surface& surface, int32_t y) {
    return reinterpret_cast<uint8_t*>(surface.rowTable[y]);
  }
  static int32_t RowScratchBytes(const Surface& output) { return output.rowBytes; }
  static Rgb Read(const uint8_t* pixel) {
    uint32_t word;
    std::memcpy(&word, pixel, sizeof word);
    return {static_cast<int32_t>((word >> 16) & 0xFFu), static_cast<int32_t>((word >> 8) & 0xFFu),
            static_cast<int32_t>(word & 0xFFu)};
  }
  static void Write(uint8_t* pixel, Rgb value) {
    const uint32_t word = static_cast<uint32_t>(value.red) << 16 | static_cast<uint32_t>(value.green) << 8 |
                          static_cast<uint32_t>(value.blue);
    std::memcpy(pixel, &word, sizeof word);
  }
};

// ---- Scratch memory ----

enum Block { kDivisionTable, kRedSums, kGreenSums, kBlueSums, kRowScratch, kBlockCount };

// A zero-filled block of bytes bytes, or null. A size below 0 or beyond size_t
// is a failed request that asks for no memory.
void* RequestBlock(int64_t bytes) {
  if (bytes < 0) return nullptr;
#if SIZE_MAX < INT64_MAX
  if (bytes > static_cast<int64_t>(SIZE_MAX)) return nullptr;
#endif
  return GlobalAlloc(GMEM_ZEROINIT, static_cast<SIZE_T>(bytes));
}

// ---- The steps ----

int32_t Clamp(int64_t v, int32_t n) {
  if (v < 0) return 0;
  if (v > n - 1) return n - 1;
  return static_cast<int32_t>(v);
}

// Columns 0 .. width - 1, eight at a time while more than eight remain, then one by one.
template <typename Column>
void ForEachColumn(int32_t width, Column column) {
  int32_t x = 0;
  for (; width - x > 8; x += 8) {
    column(x);
    column(x + 1);
    column(x + 2);
    column(x + 3);
    column(x + 4);
    column(x + 5);
    column(x + 6);
    column(x + 7);
  }
  for (; x < width; ++x) column(x);
}

const uint8_t* PixelAt(const uint8_t* row, int32_t x, int32_t pixelBytes) {
  return row + static_cast<ptrdiff_t>(x) * pixelBytes;
}
uint8_t* PixelAt(uint8_t* row, int32_t x, int32_t pixelBytes) {
  return row + static_cast<ptrdiff_t>(x) * pixelBytes;
}

struct ColumnSums {
  int32_t* red;
  int32_t* green;
  int32_t* blue;
};

struct Engine {
  const int32_t* table;  // DivisionTable
  ColumnSums sums;
  uint8_t* rowScratch;
  int32_t r;
  int32_t width;
  int32_t height;
  int32_t scratchPixelBytes;  // source bytes per pixel
  int32_t rowScratchBytes;    // bytes copied into RowScratch per row

  int32_t Average(int32_t sum) const { return table[static_cast<size_t>(sum)]; }
  Rgb Average(Rgb sums3) const { return {Average(sums3.red), Average(sums3.green), Average(sums3.blue)}; }
};

// Step 3: entry i = i / e for i = 0 .. 256 × e − 1; the last 256 entries stay 0.
void FillDivisionTable(int32_t* table, int64_t e) {
  for (int64_t i = 0; i < 256 * e; ++i) table[i] = static_cast<int32_t>(i / e);
}

template <typename Form>
void AddSourceRow(const Engine& engine, const uint8_t* row) {
  ForEachColumn(engine.width, [&](int32_t x) {
    const Rgb pixel = Form::Read(PixelAt(row, x, kPixelBytes));
    engine.sums.red[x] += pixel.red;
    engine.sums.green[x] += pixel.green;
    engine.sums.blue[x] += pixel.blue;
  });
}

template <typename Form>
void SubtractSourceRow(const Engine& engine, const uint8_t* row) {
  ForEachColumn(engine.width, [&](int32_t x) {
    const Rgb pixel = Form::Read(PixelAt(row, x, kPixelBytes));
    engine.sums.red[x] -= pixel.red;
    engine.sums.green[x] -= pixel.green;
    engine.sums.blue[x] -= pixel.blue;
  });
}

// Steps 4 and 5: vertical averages of the source into the output.
template <typename Form>
void VerticalSweep(const Engine& engine, const typename Form::Surface& source,
                   const typename Form::Surface& output) {
  const int64_t r = engine.r;
  for (int64_t k = -r; k <= r; ++k) AddSourceRow<Form>(engine, Form::SourceRow(source, Clamp(k, engine.height)));
  for (int32_t y = 0; y < engine.height; ++y) {
    uint8_t* outRow = Form::OutputRow(output, y);
    ForEachColumn(engine.width, [&](int32_t x) {
      const Rgb sums = {engine.sums.red[x], engine.sums.green[x], engine.sums.blue[x]};
      Form::Write(PixelAt(outRow, x, kPixelBytes), engine.Average(sums));
    });
    SubtractSourceRow<Form>(engine, Form::SourceRow(source, Clamp(y - r, engine.height)));
    AddSourceRow<Form>(engine, Form::SourceRow(source, Clamp(y + r + 1, engine.height)));
  }
}

// Step 6: horizontal averages of each output row, read from a copy of the row.
template <typename Form>
void HorizontalSweep(const Engine& engine, const typename Form::Surface& output) {
  const int64_t r = engine.r;
  const auto scratchPixel = [&](int64_t column) {
    return Form::Read(PixelAt(engine.rowScratch, Clamp(column, engine.width), engine.scratchPixelBytes));
  };
  for (int32_t y = 0; y < engine.height; ++y) {
    uint8_t* row = Form::OutputRow(output, y);
    std::memcpy(engine.rowScratch, row, static_cast<size_t>(engine.rowScratchBytes));
    Rgb window = {0, 0, 0};
    for (int64_t k = -r; k <= r; ++k) {
      const Rgb pixel = scratchPixel(k);
      window.red += pixel.red;
      window.green += pixel.green;
      window.blue += pixel.blue;
    }
    for (int32_t x = 0; x < engine.width; ++x) {
      Form::Write(PixelAt(row, x, kPixelBytes), engine.Average(window));
      const Rgb entering = scratchPixel(x + r + 1);
      const Rgb leaving = scratchPixel(x - r);
      window.red += entering.red - leaving.red;
      window.green += entering.green - leaving.green;
      window.blue += entering.blue - leaving.blue;
    }
  }
}

template <typename Form>
void BoxBlur(const typename Form::Surface& source, const typename Form::Surface& output, double radius) {
  // Step 1.
  const int32_t r = TruncateRadius(radius);
  const int32_t width = source.width;
  const int32_t height = source.height;
  const int32_t rowScratchBytes = Form::RowScratchBytes(output);
  if (r < 1 || width < 1 || height < 1 || source.bytesPerPixel != kPixelBytes ||
      rowScratchBytes < int64_t{kPixelBytes} * width) {
    return;  // outside what the caller guarantees
  }

  // Step 2: all five requests before any result is looked at.
  const int64_t columnSumBytes = int64_t{4} * width + kBlockSlack;
  void* const blocks[kBlockCount] = {
      RequestBlock(DivisionTableBytes(r)), RequestBlock(columnSumBytes), RequestBlock(columnSumBytes),
      RequestBlock(columnSumBytes),        RequestBlock(int64_t{rowScratchBytes} + kBlockSlack),
  };
  bool allObtained = true;
  for (void* block : blocks) allObtained = allObtained && block != nullptr;

  if (allObtained) {
    const Engine engine = {
        static_cast<const int32_t*>(blocks[kDivisionTable]),
        {static_cast<int32_t*>(blocks[kRedSums]), static_cast<int32_t*>(blocks[kGreenSums]),
         static_cast<int32_t*>(blocks[kBlueSums])},
        static_cast<uint8_t*>(blocks[kRowScratch]),
        r,
        width,
        height,
        source.bytesPerPixel,
        rowScratchBytes,
    };
    FillDivisionTable(static_cast<int32_t*>(blocks[kDivisionTable]), 2 * int64_t{r} + 1);  // step 3
    VerticalSweep<Form>(engine, source, output);                                          // steps 4, 5
    HorizontalSweep<Form>(engine, output);                                                // step 6
  }

  // Step 7, and the failure path of step 2.
  for (void* block : blocks) {
    if (block != nullptr) GlobalFree(block);
  }
}

}  // namespace

int64_t DivisionTableBytes(int32_t r) {
  if (r < 1) return -1;
  const int64_t e = 2 * int64_t{r} + 1;
  if (255 * e > std::numeric_limits<int32_t>::max()) return -1;  // the running sums would overflow
  return 2048 * (int64_t{r} + 1);
}

void BoxBlurBitmap(const BitmapSurface& source, BitmapSurface& output, double radius) {
  BoxBlur<BitmapForm>(source, output, radius);
}

void BoxBlurRowTable(const RowTableSurface& source, RowTableSurface& output, double radius) {
  BoxBlur<RowTableForm>(source, output, radius);
}
