// The row kernels written once over a set of lanes: Lanes::kCount adjacent pixels
// are handled together, one channel in each vector of 32-bit lanes. Included by
// one source file per instruction set, each compiled with its own flags; hence
// the unnamed namespace: every file keeps its own copy of this code.
//
// A Lanes type provides: V (kCount 32-bit integer lanes), Load/Store of kCount
// pixels, Set, Add, Sub, And, Or, ShiftLeft<n>, ShiftRight<n> (logical),
// PrefixSum (lane i: the sum of lanes 0 .. i), BroadcastLast, and a Division made
// from a Divisor with Divide (lane by lane sum / e).
#pragma once

#include <cstdint>
#include <cstring>

#include "blur/row_kernels.h"

namespace {

template <typename Lanes>
struct RowKernelsOver {
  using V = typename Lanes::V;
  static constexpr int32_t kLanes = Lanes::kCount;
  // Sizes of the stack copies: kLanes sums, or kLanes pixels of 4 bytes.
  static constexpr size_t kSumSlots = static_cast<size_t>(kLanes);
  static constexpr size_t kBlockBytes = 4 * kSumSlots;

  static int32_t Clamp(int32_t v, int32_t n) { return v < 0 ? 0 : (v > n - 1 ? n - 1 : v); }
  static int32_t Smaller(int32_t a, int32_t b) { return a < b ? a : b; }

  // Channel values 0 .. 255 of kLanes pixels: blue at bit 0, green 8, red 16.
  template <int kShift>
  static V Channel(V pixels) {
    return Lanes::And(Lanes::template ShiftRight<kShift>(pixels), Lanes::Set(0xFF));
  }
  static V Pack(V red, V green, V blue) {
    return Lanes::Or(Lanes::Or(blue, Lanes::template ShiftLeft<8>(green)), Lanes::template ShiftLeft<16>(red));
  }
  static void CopyPixels(uint8_t* to, const uint8_t* from, int32_t count) {
    std::memcpy(to, from, static_cast<size_t>(count) * 4);
  }
  static void CopySums(int32_t* to, const int32_t* from, int32_t count) {
    std::memcpy(to, from, static_cast<size_t>(count) * sizeof(int32_t));
  }

  // ---- Vertical: kLanes columns ----

  static void AddBlock(int32_t* red, int32_t* green, int32_t* blue, const uint8_t* row) {
    const V pixels = Lanes::Load(row);
    Lanes::Store(red, Lanes::Add(Lanes::Load(red), Channel<16>(pixels)));
    Lanes::Store(green, Lanes::Add(Lanes::Load(green), Channel<8>(pixels)));
    Lanes::Store(blue, Lanes::Add(Lanes::Load(blue), Channel<0>(pixels)));
  }

  static void StepBlock(int32_t* red, int32_t* green, int32_t* blue, const uint8_t* entering, const uint8_t* leaving,
                        uint8_t* averages, const typename Lanes::Division& division) {
    const V in = Lanes::Load(entering);
    const V out = Lanes::Load(leaving);
    const V redSums = Lanes::Load(red);
    const V greenSums = Lanes::Load(green);
    const V blueSums = Lanes::Load(blue);
    Lanes::Store(averages, Pack(Lanes::Divide(redSums, division), Lanes::Divide(greenSums, division),
                                Lanes::Divide(blueSums, division)));
    Lanes::Store(red, Lanes::Add(redSums, Lanes::Sub(Channel<16>(in), Channel<16>(out))));
    Lanes::Store(green, Lanes::Add(greenSums, Lanes::Sub(Channel<8>(in), Channel<8>(out))));
    Lanes::Store(blue, Lanes::Add(blueSums, Lanes::Sub(Channel<0>(in), Channel<0>(out))));
  }

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
    int32_t x = 0;
    for (; width - x >= kLanes; x += kLanes) AddBlock(sums.red + x, sums.green + x, sums.blue + x, row + 4 * x);
    if (x < width) {
      TailColumns tail(sums, x, width - x);
      CopyPixels(tail.entering, row + 4 * x, width - x);
      AddBlock(tail.red, tail.green, tail.blue, tail.entering);
      tail.PutSumsBack(sums, x, width - x);
    }
  }

  static void VerticalStep(const ColumnSums& sums, const uint8_t* entering, const uint8_t* leaving, uint8_t* averages,
                           int32_t width, const Divisor& divisor) {
    const typename Lanes::Division division = Lanes::MakeDivision(divisor);
    int32_t x = 0;
    for (; width - x >= kLanes; x += kLanes) {
      StepBlock(sums.red + x, sums.green + x, sums.blue + x, entering + 4 * x, leaving + 4 * x, averages + 4 * x,
                division);
    }
    if (x < width) {
      TailColumns tail(sums, x, width - x);
      CopyPixels(tail.entering, entering + 4 * x, width - x);
      CopyPixels(tail.leaving, leaving + 4 * x, width - x);
      StepBlock(tail.red, tail.green, tail.blue, tail.entering, tail.leaving, tail.averages, division);
      tail.PutSumsBack(sums, x, width - x);
      CopyPixels(averages + 4 * x, tail.averages, width - x);
    }
  }

  // ---- Horizontal: kLanes pixels of a row ----

  // Per channel, the window sums of the pixel before the block, in every lane.
  struct WindowSums {
    V red;
    V green;
    V blue;
  };

  // With W(x) the window sum of pixel x: W(x) = W(x − 1) + averages[clamp(x + r)]
  // − averages[clamp(x − r − 1)]. entering and leaving hold those two pixels for
  // the block's kLanes pixels; a prefix sum of their differences gives the block's
  // window sums from the one before it.
  static V WindowBlock(V& before, V differences, const typename Lanes::Division& division) {
    const V sums = Lanes::Add(before, Lanes::PrefixSum(differences));
    before = Lanes::BroadcastLast(sums);
    return Lanes::Divide(sums, division);
  }
  static void HorizontalBlock(WindowSums& window, const uint8_t* entering, const uint8_t* leaving, uint8_t* output,
                              const typename Lanes::Division& division) {
    const V in = Lanes::Load(entering);
    const V out = Lanes::Load(leaving);
    const V red = WindowBlock(window.red, Lanes::Sub(Channel<16>(in), Channel<16>(out)), division);
    const V green = WindowBlock(window.green, Lanes::Sub(Channel<8>(in), Channel<8>(out)), division);
    const V blue = WindowBlock(window.blue, Lanes::Sub(Channel<0>(in), Channel<0>(out)), division);
    Lanes::Store(output, Pack(red, green, blue));
  }

  struct Rgb {
    int32_t red;
    int32_t green;
    int32_t blue;
  };
  static Rgb Channels(const uint8_t* pixel) { return {pixel[2], pixel[1], pixel[0]}; }

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
      red = Lanes::Add(red, Channel<16>(values));
      green = Lanes::Add(green, Channel<8>(values));
      blue = Lanes::Add(blue, Channel<0>(values));
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

  static void HorizontalRow(const uint8_t* averages, uint8_t* output, int32_t width, int32_t r,
                            const Divisor& divisor) {
    const typename Lanes::Division division = Lanes::MakeDivision(divisor);
    // W(−1), the sum of averages clamp(−r − 1) .. clamp(r − 1), in closed form:
    // pixel 0 counts r + 2 times, pixels 1 .. min(r − 1, width − 1) once, and the
    // last pixel once more for every window place past the right edge.
    const int32_t inside = Smaller(r - 1, width - 1);
    const int32_t pastRightEdge = r - width > 0 ? r - width : 0;
    const Rgb first = Channels(averages);
    const Rgb last = Channels(averages + 4 * (width - 1));
    const Rgb middle = SumPixels(averages + 4, inside);
    WindowSums window = {
        Lanes::Set((r + 2) * first.red + middle.red + pastRightEdge * last.red),
        Lanes::Set((r + 2) * first.green + middle.green + pastRightEdge * last.green),
        Lanes::Set((r + 2) * first.blue + middle.blue + pastRightEdge * last.blue),
    };
    for (int32_t x = 0; x < width; x += kLanes) {
      if (x - r - 1 >= 0 && x + kLanes - 1 + r <= width - 1) {
        HorizontalBlock(window, averages + 4 * (x + r), averages + 4 * (x - r - 1), output + 4 * x, division);
        continue;
      }
      // Near an edge the window's pixels are clamped one by one into copies.
      uint8_t entering[kBlockBytes];
      uint8_t leaving[kBlockBytes];
      uint8_t written[kBlockBytes];
      for (int32_t i = 0; i < kLanes; ++i) {
        CopyPixels(entering + 4 * i, averages + 4 * Clamp(x + i + r, width), 1);
        CopyPixels(leaving + 4 * i, averages + 4 * Clamp(x + i - r - 1, width), 1);
      }
      HorizontalBlock(window, entering, leaving, written, division);
      CopyPixels(output + 4 * x, written, Smaller(kLanes, width - x));
    }
  }

  static void Divide(const int32_t* sums, int32_t* quotients, int32_t count, const Divisor& divisor) {
    const typename Lanes::Division division = Lanes::MakeDivision(divisor);
    for (int32_t i = 0; i < count; i += kLanes) {
      int32_t in[kSumSlots] = {};
      int32_t out[kSumSlots];
      CopySums(in, sums + i, Smaller(kLanes, count - i));
      Lanes::Store(out, Lanes::Divide(Lanes::Load(in), division));
      CopySums(quotients + i, out, Smaller(kLanes, count - i));
    }
  }

  static constexpr RowKernels Record(bool looksUpQuotients, int32_t largestDivisor) {
    return {looksUpQuotients, largestDivisor, &AddSourceRow, &VerticalStep, &HorizontalRow, &Divide};
  }
};

}  // namespace
