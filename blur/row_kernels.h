// The engine's per-row work, as one record of functions per instruction set: the
// box blur itself (box_blur.cpp) finds the rows, starts the vertical window and
// runs these on every row. All of them read and write 32-bit pixels whose bytes
// are blue, green, red and a fourth byte, the layout both surface forms share on
// a little-endian machine.
#pragma once

#include <cstdint>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the row kernels read row-table words as bitmap bytes: little-endian machines only"
#endif

// The three zero-filled ColumnSums blocks, named for the channel each holds when
// every channel has its own 32-bit sum per column: the source rows of the
// current vertical window added up. Row kernels may keep the sums otherwise in
// the same blocks (see PackedSums in row_kernels_template.h); only the functions
// of one record ever touch them during a call.
struct ColumnSums {
  int32_t* red;
  int32_t* green;
  int32_t* blue;
};

// Division by e = 2r + 1 of a sum of e channel values (0 .. 255 × e). table is the
// DivisionTable, filled only when the kernels in use look their quotients up.
struct Divisor {
  int32_t e;
  const int32_t* table;
};

struct RowKernels {
  // True: quotients are DivisionTable entries. False: they are computed, exactly
  // equal to the entries for every divisor up to largestDivisor.
  bool looksUpQuotients;
  int32_t largestDivisor;
  // The kernels that take over for a larger divisor (null: none is larger).
  const RowKernels* beyond;
  // sums += the channels of row's width pixels.
  void (*addSourceRow)(const ColumnSums& sums, const uint8_t* row, int32_t width);
  // sums += count × the channels of row's width pixels (a row the window holds count times).
  void (*addSourceRowTimes)(const ColumnSums& sums, const uint8_t* row, int32_t width, int32_t count);
  // Writes the averages of the current sums into averages (width pixels, fourth
  // byte 0), then moves the window: sums += entering row − leaving row.
  void (*verticalStep)(const ColumnSums& sums, const uint8_t* entering, const uint8_t* leaving, uint8_t* averages,
                       int32_t width, const Divisor& divisor);
  // Writes into output the horizontal averages of the row averages (width pixels,
  // fourth byte 0): for pixel x, the sum of averages clamp(x − r) .. clamp(x + r),
  // divided. Reads averages only; output and averages are different rows. With
  // aroundCaches, vector kernels write an aligned output row past the caches (for
  // pictures too large to stay in them), and the writes are complete on return.
  void (*horizontalRow)(const uint8_t* averages, uint8_t* output, int32_t width, int32_t r, const Divisor& divisor,
                        bool aroundCaches);
  // verticalStep, then horizontalRow from averages into output, done in turns
  // along the row so that the averages are read back soon after they are written;
  // what it leaves in sums, averages and output is what the two calls leave.
  void (*blurRow)(const ColumnSums& sums, const uint8_t* entering, const uint8_t* leaving, uint8_t* averages,
                  uint8_t* output, int32_t width, int32_t r, const Divisor& divisor, bool aroundCaches);
  // quotients[i] = sums[i] / e, the way the row functions divide (for the tests;
  // kernels that divide two sums in one word check both halves, see PackedSums).
  void (*divide)(const int32_t* sums, int32_t* quotients, int32_t count, const Divisor& divisor);
};

// One pixel at a time, quotients looked up in the DivisionTable; any divisor.
extern const RowKernels kPortableRowKernels;
#if defined(__i386__) || defined(__x86_64__)
// 4, 8 and 16 columns at a time; each runs only where the CPU has its
// instructions. The first of each pair keeps blue and red in one word and
// divides in 16 bits (e up to kLargestPackedDivisor), the second keeps every
// channel apart and divides in single precision (e up to
// kLargestComputedDivisor), then the portable kernels take over.
extern const RowKernels kSse2RowKernels;
extern const RowKernels kSse2WideRowKernels;
extern const RowKernels kAvx2RowKernels;
extern const RowKernels kAvx2WideRowKernels;
extern const RowKernels kAvx512RowKernels;
extern const RowKernels kAvx512WideRowKernels;
#endif

// r up to 100: every sum is below 2^16, and the 16-bit division is exact.
constexpr int32_t kLargestPackedDivisor = 201;
// r up to 1000. The engine tests check every divisor up to these over the whole
// range 0 .. 255 × e.
constexpr int32_t kLargestComputedDivisor = 2001;
