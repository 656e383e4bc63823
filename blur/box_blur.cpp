// One algorithm (BoxBlur) over two ways of finding rows (BitmapForm, RowTableForm);
// the per-row work is done by the row kernels of the chosen instruction-set path
// (row_kernels.h). The comments number its steps: 1 r and e, 2 request the five
// blocks, 3 fill the DivisionTable, 4 and 5 the vertical window and sweep, 6 the
// horizontal sweep, 7 release the blocks.
#include "blur/box_blur.h"

#include <cstddef>
#include <cstring>
#include <limits>

#include "blur/box_blur_paths.h"
#include "blur/radius.h"
#include "blur/row_kernels.h"
#include "blur/win32.h"

namespace {

constexpr int32_t kPixelBytes = 4;     // the step between pixels of a source or output row
constexpr int64_t kBlockSlack = 20;    // extra bytes of every ColumnSums and RowScratch block
// From this many output bytes on, the output rows are written past the caches:
// a picture this large would not stay in them, so filling the caches with its
// rows only slows down the writing.
constexpr int64_t kOutputBytesPastCaches = int64_t{16} << 20;

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
};

// Rows from the row table; a pixel is one 32-bit word 0x00RRGGBB, whose bytes lie
// in memory in the order of a bitmap pixel (little-endian), so the row kernels
// serve both forms.
struct RowTableForm {
  using Surface = RowTableSurface;
  static const uint8_t* SourceRow(const Surface& surface, int32_t y) {
    return reinterpret_cast<const uint8_t*>(surface.rowTable[y]);
  }
  static uint8_t* OutputRow(const Surface& surface, int32_t y) {
    return reinterpret_cast<uint8_t*>(surface.rowTable[y]);
  }
  static int32_t RowScratchBytes(const Surface& output) { return output.rowBytes; }
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

// Step 3: entry i = i / e for i = 0 .. 256 × e − 1, written as 256 runs of e equal
// quotients (no division); the last 256 entries stay 0.
void FillDivisionTable(int32_t* table, int32_t e) {
  for (int32_t quotient = 0; quotient < 256; ++quotient) {
    int32_t* run = table + static_cast<ptrdiff_t>(quotient) * e;
    for (int32_t i = 0; i < e; ++i) run[i] = quotient;
  }
}

// Steps 4 to 6 as one sweep over the rows: for row y the vertical averages of the
// current window go into RowScratch, the window moves down one row, and the
// horizontal averages of RowScratch go into output row y. The output is written
// once, with what the two passes over it would leave there.
template <typename Form>
void Sweep(const RowKernels& kernels, const Divisor& divisor, const ColumnSums& sums, uint8_t* rowScratch,
           const typename Form::Surface& source, const typename Form::Surface& output, int32_t r) {
  const int32_t width = source.width;
  const int32_t height = source.height;
  const bool outputAroundCaches = int64_t{kPixelBytes} * width * height >= kOutputBytesPastCaches;
  // Step 4 in closed form: the window of row 0 covers rows clamp(−r) .. clamp(r),
  // that is row 0 r + 1 times, rows 1 .. min(r, height − 1) once, and the last row
  // once more for every row of the window below the picture.
  kernels.addSourceRowTimes(sums, Form::SourceRow(source, 0), width, r + 1);
  const int32_t insideRows = r < height - 1 ? r : height - 1;
  for (int32_t y = 1; y <= insideRows; ++y) kernels.addSourceRow(sums, Form::SourceRow(source, y), width);
  if (r > height - 1) kernels.addSourceRowTimes(sums, Form::SourceRow(source, height - 1), width, r - (height - 1));

  for (int32_t y = 0; y < height; ++y) {
    const int64_t entering = int64_t{y} + r + 1;
    const int64_t leaving = int64_t{y} - r;
    kernels.blurRow(sums, Form::SourceRow(source, Clamp(entering, height)), Form::SourceRow(source, Clamp(leaving, height)),
                    rowScratch, Form::OutputRow(output, y), width, r, divisor, outputAroundCaches);
  }
}

template <typename Form>
void BoxBlur(const RowKernels& preferred, const typename Form::Surface& source, const typename Form::Surface& output,
             double radius) {
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
    // The table exists, so 255 × e fits 32 bits and every sum below fits too.
    const int32_t e = 2 * r + 1;
    const RowKernels* kernels = &preferred;
    while (e > kernels->largestDivisor) kernels = kernels->beyond;  // the portable kernels take any e
    int32_t* const table = static_cast<int32_t*>(blocks[kDivisionTable]);
    if (kernels->looksUpQuotients) FillDivisionTable(table, e);  // step 3
    const ColumnSums sums = {static_cast<int32_t*>(blocks[kRedSums]), static_cast<int32_t*>(blocks[kGreenSums]),
                             static_cast<int32_t*>(blocks[kBlueSums])};
    Sweep<Form>(*kernels, Divisor{e, table}, sums, static_cast<uint8_t*>(blocks[kRowScratch]), source, output, r);
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
  BoxBlur<BitmapForm>(RowKernelsOf(BestBlurPath()), source, output, radius);
}

void BoxBlurRowTable(const RowTableSurface& source, RowTableSurface& output, double radius) {
  BoxBlur<RowTableForm>(RowKernelsOf(BestBlurPath()), source, output, radius);
}

void BoxBlurBitmapOnPath(BlurPath path, const BitmapSurface& source, BitmapSurface& output, double radius) {
  BoxBlur<BitmapForm>(RowKernelsOf(path), source, output, radius);
}

void BoxBlurRowTableOnPath(BlurPath path, const RowTableSurface& source, RowTableSurface& output, double radius) {
  BoxBlur<RowTableForm>(RowKernelsOf(path), source, output, radius);
}
