// The row kernels written once over a set of lanes and a way of keeping the sums.
// Lanes::kCount adjacent pixels are handled together in vectors of 32-bit lanes,
// one pixel a lane. Included by one source file per instruction set, each
// compiled with its own flags; hence the unnamed namespace: every file keeps its
// own copy of this code.
//
// A Lanes type provides: V (kCount 32-bit integer lanes), Load/Store of kCount
// lanes, StoreAround (a store that bypasses the caches, to an address aligned to
// the vector's size) and FinishStoresAround, Set, Add, Sub, And, Or,
// ShiftLeft<n>, ShiftRight<n> (logical),
// PrefixSum (lane i: the sum of lanes 0 .. i), BroadcastLast, and a Division
// made from a Divisor with Divide (lane by lane sum / e). Lanes used with
// PackedSums also provide MultiplyHigh16 (of 16-bit halves, unsigned).
#pragma once

#include <cstdint>
#include <cstring>

#include "blur/row_kernels.h"

namespace {

// Channel values 0 .. 255 of a vector of pixels: blue at bit 0, green 8, red 16.
template <typename Lanes, int kShift>
typename Lanes::V Channel(typename Lanes::V pixels) {
  return Lanes::And(Lanes::template ShiftRight<kShift>(pixels), Lanes::Set(0xFF));
}

// Blue and red of a vector of pixels, where they lie: blue in bits 0 to 7, red in
// bits 16 to 23 of the lane.
template <typename Lanes>
typename Lanes::V BlueAndRed(typename Lanes::V pixels) {
  return Lanes::And(pixels, Lanes::Set(0x00FF00FF));
}

// With W(x) the window sum of pixel x: W(x) = W(x − 1) + averages[clamp(x + r)]
// − averages[clamp(x − r − 1)]. For a block of pixels, the prefix sum of those
// differences added to the window sum before the block gives the block's window
// sums; its last lane is the window sum before the next block.
template <typename Lanes>
typename Lanes::V AdvanceWindow(typename Lanes::V& before, typename Lanes::V differences) {
  const typename Lanes::V sums = Lanes::Add(before, Lanes::PrefixSum(differences));
  before = Lanes::BroadcastLast(sums);
  return sums;
}

// Sums of any size (e up to the Lanes' division): one 32-bit sum per channel, in
// the red, green and blue ColumnSums.
template <typename Lanes>
struct ChannelSums {
  using V = typename Lanes::V;
  using Division = typename Lanes::Division;
  static Division MakeDivision(const Divisor& divisor) { return Lanes::MakeDivision(divisor); }

  static V Averages(V red, V green, V blue, const Division& division) {
    return Lanes::Or(Lanes::Or(Lanes::Divide(blue, division), Lanes::template ShiftLeft<8>(Lanes::Divide(green, division))),
                     Lanes::template ShiftLeft<16>(Lanes::Divide(red, division)));
  }

  static void Add(int32_t* red, int32_t* green, int32_t* blue, V pixels) {
    Lanes::Store(red, Lanes::Add(Lanes::Load(red), Channel<Lanes, 16>(pixels)));
    Lanes::Store(green, Lanes::Add(Lanes::Load(green), Channel<Lanes, 8>(pixels)));
    Lanes::Store(blue, Lanes::Add(Lanes::Load(blue), Channel<Lanes, 0>(pixels)));
  }

  // The averages of the sums, then sums += entering − leaving.
  static V Step(int32_t* red, int32_t* green, int32_t* blue, V entering, V leaving, const Division& division) {
    const V redSums = Lanes::Load(red);
    const V greenSums = Lanes::Load(green);
    const V blueSums = Lanes::Load(blue);
    Lanes::Store(red, Lanes::Add(redSums, Lanes::Sub(Channel<Lanes, 16>(entering), Channel<Lanes, 16>(leaving))));
    Lanes::Store(green, Lanes::Add(greenSums, Lanes::Sub(Channel<Lanes, 8>(entering), Channel<Lanes, 8>(leaving))));
    Lanes::Store(blue, Lanes::Add(blueSums, Lanes::Sub(Channel<Lanes, 0>(entering), Channel<Lanes, 0>(leaving))));
    return Averages(redSums, greenSums, blueSums, division);
  }

  static void AddTimes(int32_t& red, int32_t& green, int32_t& blue, const uint8_t* pixel, int32_t count) {
    red += count * pixel[2];
    green += count * pixel[1];
    blue += count * pixel[0];
  }

  struct Window {
    V red;
    V green;
    V blue;
  };
  static Window StartWindow(int32_t red, int32_t green, int32_t blue) {
    return {Lanes::Set(red), Lanes::Set(green), Lanes::Set(blue)};
  }
  static V Horizontal(Window& window, V entering, V leaving, const Division& division) {
    const V red = AdvanceWindow<Lanes>(window.red, Lanes::Sub(Channel<Lanes, 16>(entering), Channel<Lanes, 16>(leaving)));
    const V green = AdvanceWindow<Lanes>(window.green, Lanes::Sub(Channel<Lanes, 8>(entering), Channel<Lanes, 8>(leaving)));
    const V blue = AdvanceWindow<Lanes>(window.blue, Lanes::Sub(Channel<Lanes, 0>(entering), Channel<Lanes, 0>(leaving)));
    return Averages(red, green, blue, division);
  }

  static V DivideLanes(V sums, const Division& division) { return Lanes::Divide(sums, division); }
};

// Sums below 2^16 (e up to kLargestPackedDivisor): blue and red share one 32-bit
// word, blue in the low and red in the high 16 bits, kept in the red ColumnSums;
// green is kept 256 times over, where a pixel holds it (bits 8 to 23), in the
// green ColumnSums: one And takes it from a pixel, where a shift and an And
// take it down to bit 0, and a pixel whose fourth byte is 0 minus its blue and
// red leaves it without any. The blue ColumnSums stay unused. Adding and
// subtracting whole words keeps both halves exact: every true sum lies in
// 0 .. 2^16 − 1, and the word holds blue + 2^16 × red modulo 2^32 whatever the
// partial results. Both halves are divided at once: q = high16(sum × m) >> s with
// s = floor(log2 e) and m = ceil(2^(16 + s) / e), below 2^16 for odd e. That is
// exact for every sum 0 .. 255 × e of every odd e up to 201 (not of some larger
// ones, 203 the first); the engine tests check it sum by sum.
template <typename Lanes>
struct PackedSums {
  using V = typename Lanes::V;
  struct Division {
    V multiplier;  // m in both 16-bit halves
    V shift;       // 2^(16 − s) in both halves: high16(x × 2^(16 − s)) = x >> s
  };
  static Division MakeDivision(const Divisor& divisor) {
    const uint32_t e = static_cast<uint32_t>(divisor.e);
    int shift = 0;
    while ((2u << shift) <= e) ++shift;  // 2^shift <= e < 2^(shift + 1)
    const uint32_t multiplier = ((1u << (16 + shift)) + e - 1) / e;
    const uint32_t shiftFactor = 1u << (16 - shift);
    return {Lanes::Set(static_cast<int32_t>(multiplier | multiplier << 16)),
            Lanes::Set(static_cast<int32_t>(shiftFactor | shiftFactor << 16))};
  }
  // The shift is a second multiplication: one instruction on every path, where a
  // shift of 16-bit halves by a count held in a register is two.
  static V Divide(V sums, const Division& division) {
    return Lanes::MultiplyHigh16(Lanes::MultiplyHigh16(sums, division.multiplier), division.shift);
  }
  // Blue and red quotients lie where a pixel keeps them; green moves to bits 8 to 15.
  static V Averages(V blueAndRed, V greenTimes256, const Division& division) {
    const V green = Lanes::template ShiftRight<8>(greenTimes256);
    return Lanes::Or(Divide(blueAndRed, division), Lanes::template ShiftLeft<8>(Divide(green, division)));
  }

  static V GreenTimes256(V pixels) { return Lanes::And(pixels, Lanes::Set(0xFF00)); }

  static void Add(int32_t* red, int32_t* green, int32_t*, V pixels) {
    Lanes::Store(red, Lanes::Add(Lanes::Load(red), BlueAndRed<Lanes>(pixels)));
    Lanes::Store(green, Lanes::Add(Lanes::Load(green), GreenTimes256(pixels)));
  }

  static V Step(int32_t* red, int32_t* green, int32_t*, V entering, V leaving, const Division& division) {
    const V blueAndRedSums = Lanes::Load(red);
    const V greenTimes256Sums = Lanes::Load(green);
    Lanes::Store(red, Lanes::Add(blueAndRedSums, Lanes::Sub(BlueAndRed<Lanes>(entering), BlueAndRed<Lanes>(leaving))));
    Lanes::Store(green,
                 Lanes::Add(greenTimes256Sums, Lanes::Sub(GreenTimes256(entering), GreenTimes256(leaving))));
    return Averages(blueAndRedSums, greenTimes256Sums, division);
  }

  static void AddTimes(int32_t& red, int32_t& green, int32_t&, const uint8_t* pixel, int32_t count) {
    const uint32_t blueAndRed = static_cast<uint32_t>(count * pixel[0]) | static_cast<uint32_t>(count * pixel[2]) << 16;
    red = static_cast<int32_t>(static_cast<uint32_t>(red) + blueAndRed);
    green += count * pixel[1] * 256;
  }

  struct Window {
    V blueAndRed;
    V greenTimes256;
  };
  static Window StartWindow(int32_t red, int32_t green, int32_t blue) {
    return {Lanes::Set(static_cast<int32_t>(static_cast<uint32_t>(blue) | static_cast<uint32_t>(red) << 16)),
            Lanes::Set(green * 256)};
  }
  // Row averages have fourth byte 0, so the difference of two pixel words less
  // the difference of their blue and red is 256 times the difference of their green.
  static V Horizontal(Window& window, V entering, V leaving, const Division& division) {
    const V blueAndRedDifferences = Lanes::Sub(BlueAndRed<Lanes>(entering), BlueAndRed<Lanes>(leaving));
    const V greenTimes256Differences = Lanes::Sub(Lanes::Sub(entering, leaving), blueAndRedDifferences);
    const V blueAndRed = AdvanceWindow<Lanes>(window.blueAndRed, blueAndRedDifferences);
    const V greenTimes256 = AdvanceWindow<Lanes>(window.greenTimes256, greenTimes256Differences);
    return Averages(blueAndRed, greenTimes256, division);
  }

  // For the tests: the sum put in both halves and divided; the quotient where both
  // halves agree, a value no quotient has (at least 2^16 or negative) where not.
  static V DivideLanes(V sums, const Division& division) {
    const V quotients = Divide(Lanes::Or(sums, Lanes::template ShiftLeft<16>(sums)), division);
    const V low = Lanes::And(quotients, Lanes::Set(0xFFFF));
    const V high = Lanes::template ShiftRight<16>(quotients);
    return Lanes::Or(low, Lanes::template ShiftLeft<16>(Lanes::Sub(low, high)));
  }
};

template <typename Lanes, typename Sums>
struct RowKernelsOver {
  using V = typename Lanes::V;
  using Division = typename Sums::Division;
  static constexpr int32_t kLanes = Lanes::kCount;
  // Sizes of the stack copies: kLanes sums, or kLanes pixels of 4 bytes.
  static constexpr size_t kSumSlots = static_cast<size_t>(kLanes);
  static constexpr size_t kBlockBytes = 4 * kSumSlots;

  // How far ahead along the entering and leaving rows the vertical step asks for
  // their bytes: on pictures too large for the caches it keeps the hardware's
  // fetching ahead across page boundaries (a few per cent at 4096 × 4096; a
  // prefetch past the end of a row is a hint that never faults).
  static constexpr int32_t kPrefetchBytes = 1024;
  static int32_t Clamp(int32_t v, int32_t n) { return v < 0 ? 0 : (v > n - 1 ? n - 1 : v); }
  static int32_t Smaller(int32_t a, int32_t b) { return a < b ? a : b; }
  static void CopyPixels(uint8_t* to, const uint8_t* from, int32_t count) {
    std::memcpy(to, from, static_cast<size_t>(count) * 4);
  }
  static void CopySums(int32_t* to, const int32_t* from, int32_t count) {
    std::memcpy(to, from, static_cast<size_t>(count) * sizeof(int32_t));
  }
  static int32_t PixelWord(const uint8_t* pixel) {
    uint32_t word;
    std::memcpy(&word, pixel, sizeof word);
    return static_cast<int32_t>(word);
  }

  // ---- Vertical: kLanes columns at a time ----

  // The last width % kLanes columns go through copies on the stack, so that no
  // vector reaches past the end of a row.
  struct TailColumns {
    int32_t red[kSumSlots] = {};
    int32_t green[kSumSlots] = {};
    int32_t blue[kSumSlots] = {};
    uint8_t entering[kBlockBytes] = {};
    uint8_t leaving[kBlockBytes] = {};
    uint8_t averages[kBlockBytes] = {};

    TailColumns(const ColumnSums& sums, int32_t x, int32_t count) {
      CopySums(red, sums.red + x, count);
      CopySums(green, sums.green + x, count);
      CopySums(blue, sums.blue + x, count);
    }
    void PutSumsBack(const ColumnSums& sums, int32_t x, int32_t count) const {
      CopySums(sums.red + x, red, count);
      CopySums(sums.green + x, green, count);
      CopySums(sums.blue + x, blue, count);
    }
  };

  static void AddSourceRow(const ColumnSums& sums, const uint8_t* row, int32_t width) {
    int32_t* const red = sums.red;
    int32_t* const green = sums.green;
    int32_t* const blue = sums.blue;
    int32_t x = 0;
    for (; width - x >= kLanes; x += kLanes) Sums::Add(red + x, green + x, blue + x, Lanes::Load(row + 4 * x));
    if (x < width) {
      TailColumns tail(sums, x, width - x);
      CopyPixels(tail.entering, row + 4 * x, width - x);
      Sums::Add(tail.red, tail.green, tail.blue, Lanes::Load(tail.entering));
      tail.PutSumsBack(sums, x, width - x);
    }
  }

  static void AddSourceRowTimes(const ColumnSums& sums, const uint8_t* row, int32_t width, int32_t count) {
    for (int32_t x = 0; x < width; ++x) Sums::AddTimes(sums.red[x], sums.green[x], sums.blue[x], row + 4 * x, count);
  }

  static void VerticalStep(const ColumnSums& sums, const uint8_t* entering, const uint8_t* leaving, uint8_t* averages,
                           int32_t width, const Divisor& divisor) {
    const Division division = Sums::MakeDivision(divisor);
    int32_t* const red = sums.red;
    int32_t* const green = sums.green;
    int32_t* const blue = sums.blue;
    int32_t x = 0;
    for (; width - x >= kLanes; x += kLanes) {
      __builtin_prefetch(entering + 4 * x + kPrefetchBytes);
      __builtin_prefetch(leaving + 4 * x + kPrefetchBytes);
      Lanes::Store(averages + 4 * x, Sums::Step(red + x, green + x, blue + x, Lanes::Load(entering + 4 * x),
                                                Lanes::Load(leaving + 4 * x), division));
    }
    if (x < width) {
      TailColumns tail(sums, x, width - x);
      CopyPixels(tail.entering, entering + 4 * x, width - x);
      CopyPixels(tail.leaving, leaving + 4 * x, width - x);
      Lanes::Store(tail.averages, Sums::Step(tail.red, tail.green, tail.blue, Lanes::Load(tail.entering),
                                             Lanes::Load(tail.leaving), division));
      tail.PutSumsBack(sums, x, width - x);
      CopyPixels(averages + 4 * x, tail.averages, width - x);
    }
  }

  // ---- Horizontal: kLanes pixels of a row at a time ----

  // Pixels clamp(first) .. clamp(first + kLanes − 1) of a row: loaded as they lie
  // when all are inside, the edge pixel in every lane when all are clamped to the
  // same edge, and one by one otherwise (at most two blocks a row).
  static V ClampedPixels(const uint8_t* row, int32_t width, int32_t first) {
    if (first >= 0 && first + kLanes - 1 <= width - 1) return Lanes::Load(row + 4 * first);
    if (first + kLanes - 1 <= 0) return Lanes::Set(PixelWord(row));
    if (first >= width - 1) return Lanes::Set(PixelWord(row + 4 * (width - 1)));
    uint8_t pixels[kBlockBytes];
    for (int32_t i = 0; i < kLanes; ++i) CopyPixels(pixels + 4 * i, row + 4 * Clamp(first + i, width), 1);
    return Lanes::Load(pixels);
  }

  struct Rgb {
    int32_t red;
    int32_t green;
    int32_t blue;
  };

  // The channels of pixels 0 .. count − 1 added up.
  static Rgb SumPixels(const uint8_t* pixels, int32_t count) {
    V red = Lanes::Set(0);
    V green = Lanes::Set(0);
    V blue = Lanes::Set(0);
    uint8_t tail[kBlockBytes] = {};
    for (int32_t x = 0; x < count; x += kLanes) {
      const uint8_t* block = pixels + 4 * x;
      if (count - x < kLanes) {
        CopyPixels(tail, block, count - x);
        block = tail;
      }
      const V values = Lanes::Load(block);
      red = Lanes::Add(red, Channel<Lanes, 16>(values));
      green = Lanes::Add(green, Channel<Lanes, 8>(values));
      blue = Lanes::Add(blue, Channel<Lanes, 0>(values));
    }
    int32_t lanes[3][kSumSlots];
    Lanes::Store(lanes[0], red);
    Lanes::Store(lanes[1], green);
    Lanes::Store(lanes[2], blue);
    Rgb sum = {0, 0, 0};
    for (int32_t i = 0; i < kLanes; ++i) {
      sum.red += lanes[0][i];
      sum.green += lanes[1][i];
      sum.blue += lanes[2][i];
    }
    return sum;
  }

  // The horizontal pass over one row, a block of kLanes pixels at a time, so that
  // it can follow the vertical step through the row (BlurRow).
  struct HorizontalPass {
    const uint8_t* averages;
    uint8_t* output;
    int32_t width;
    int32_t r;
    Division division;
    bool storeAround;
    typename Sums::Window window;
    int32_t x;  // the first pixel not yet written

    // The averages Start reads: pixels 0 .. min(r, width − 1) (and the last pixel,
    // which this includes when r is at least width).
    static int32_t AveragesToStart(int32_t width, int32_t r) { return Smaller(r + 1, width); }

    HorizontalPass(const uint8_t* rowAverages, uint8_t* outputRow, int32_t rowWidth, int32_t radius,
                   const Divisor& divisor, bool aroundCaches)
        : averages(rowAverages),
          output(outputRow),
          width(rowWidth),
          r(radius),
          division(Sums::MakeDivision(divisor)),
          // Every block of the row is aligned when its first one is.
          storeAround(aroundCaches && reinterpret_cast<uintptr_t>(outputRow) % kBlockBytes == 0),
          window(),
          x(0) {}

    void Start() {
      // W(−1), the sum of averages clamp(−r − 1) .. clamp(r − 1), in closed form:
      // pixel 0 counts r + 2 times, pixels 1 .. min(r − 1, width − 1) once, and the
      // last pixel once more for every window place past the right edge.
      const Rgb inside = SumPixels(averages + 4, Smaller(r - 1, width - 1));
      const int32_t pastRightEdge = r - width > 0 ? r - width : 0;
      const uint8_t* first = averages;
      const uint8_t* last = averages + 4 * (width - 1);
      window = Sums::StartWindow((r + 2) * first[2] + inside.red + pastRightEdge * last[2],
                                 (r + 2) * first[1] + inside.green + pastRightEdge * last[1],
                                 (r + 2) * first[0] + inside.blue + pastRightEdge * last[0]);
    }

    // Writes the whole blocks whose window lies within averages 0 .. ready − 1
    // (all of them when ready is width).
    void WriteBlocks(int32_t ready) {
      const int32_t end = ready == width ? width : Smaller(width, ready - r);
      for (; end - x >= kLanes; x += kLanes) {
        const V averaged = Sums::Horizontal(window, ClampedPixels(averages, width, x + r),
                                            ClampedPixels(averages, width, x - r - 1), division);
        if (storeAround) {
          Lanes::StoreAround(output + 4 * x, averaged);
        } else {
          Lanes::Store(output + 4 * x, averaged);
        }
      }
    }

    // The last width % kLanes pixels, through a copy; then the writes are complete.
    void Finish() {
      if (storeAround) Lanes::FinishStoresAround();
      if (x < width) {
        uint8_t written[kBlockBytes];
        Lanes::Store(written, Sums::Horizontal(window, ClampedPixels(averages, width, x + r),
                                               ClampedPixels(averages, width, x - r - 1), division));
        CopyPixels(output + 4 * x, written, width - x);
      }
    }
  };

  static void HorizontalRow(const uint8_t* averages, uint8_t* output, int32_t width, int32_t r,
                            const Divisor& divisor, bool aroundCaches) {
    HorizontalPass pass(averages, output, width, r, divisor, aroundCaches);
    pass.Start();
    pass.WriteBlocks(width);
    pass.Finish();
  }

  // Columns of the vertical step between two horizontal turns: a multiple of
  // kLanes, so that only the row's last turn has a tail, and few enough that the
  // averages are read back from the first-level cache. With 512, rows of 4096
  // pixels blur 10 to 15 per cent faster than in one turn (1024 and 2048 gain
  // less); rows that fit the caches lose 2 to 3 per cent to the turns.
  static constexpr int32_t kColumnsPerTurn = 512;

  // VerticalStep and HorizontalRow on one row, taking turns along it: each turn
  // adds kColumnsPerTurn columns of averages, and the horizontal pass writes the
  // blocks those complete.
  static void BlurRow(const ColumnSums& sums, const uint8_t* entering, const uint8_t* leaving, uint8_t* averages,
                      uint8_t* output, int32_t width, int32_t r, const Divisor& divisor, bool aroundCaches) {
    HorizontalPass pass(averages, output, width, r, divisor, aroundCaches);
    const int32_t toStart = HorizontalPass::AveragesToStart(width, r);
    bool started = false;
    for (int32_t ready = 0; ready < width;) {
      const int32_t count = Smaller(kColumnsPerTurn, width - ready);
      const ColumnSums turnSums = {sums.red + ready, sums.green + ready, sums.blue + ready};
      VerticalStep(turnSums, entering + 4 * ready, leaving + 4 * ready, averages + 4 * ready, count, divisor);
      ready += count;
      if (!started && ready >= toStart) {
        pass.Start();
        started = true;
      }
      if (started) pass.WriteBlocks(ready);
    }
    pass.Finish();
  }

  static void Divide(const int32_t* sums, int32_t* quotients, int32_t count, const Divisor& divisor) {
    const Division division = Sums::MakeDivision(divisor);
    for (int32_t i = 0; i < count; i += kLanes) {
      int32_t in[kSumSlots] = {};
      int32_t out[kSumSlots];
      CopySums(in, sums + i, Smaller(kLanes, count - i));
      Lanes::Store(out, Sums::DivideLanes(Lanes::Load(in), division));
      CopySums(quotients + i, out, Smaller(kLanes, count - i));
    }
  }

  static constexpr RowKernels Record(bool looksUpQuotients, int32_t largestDivisor, const RowKernels* beyond) {
    return {looksUpQuotients, largestDivisor, beyond,      &AddSourceRow, &AddSourceRowTimes,
            &VerticalStep,    &HorizontalRow, &BlurRow, &Divide};
  }
};

}  // namespace
