// The row kernels four pixels at a time with SSE2 (the i686 baseline): with blue
// and red sharing a word and 16-bit division while every sum fits 16 bits
// (PackedSums), and with every channel apart beyond that (ChannelSums).
//
// There a quotient is computed in single precision as sum × u, truncated, u
// being 1 / e rounded and then raised by one step, so that u > 1 / e by less than
// 2^-22 / e.
// The sum (at most 255 × e, below 2^23) converts exactly. For sum = q × e + k
// (0 <= k < e) the product is at least q × e × u >= q, and q is a float, so rounding
// keeps it at q or above; it is below sum / e + 255 × 2^-22 < q + 1 − 1 / e +
// 2^-14, far enough below q + 1 (for e up to kLargestComputedDivisor) that rounding
// cannot reach it. Truncation gives q, the DivisionTable's entry; the engine tests
// check every sum of every such divisor on every path.
#include <emmintrin.h>

#include "blur/row_kernels.h"
#include "blur/row_kernels_template.h"

namespace {

struct Sse2Lanes {
  using V = __m128i;
  static constexpr int32_t kCount = 4;

  static V Load(const void* from) { return _mm_loadu_si128(static_cast<const __m128i*>(from)); }
  static void Store(void* to, V value) { _mm_storeu_si128(static_cast<__m128i*>(to), value); }
  static void StoreAround(void* to, V value) { _mm_stream_si128(static_cast<__m128i*>(to), value); }
  static void FinishStoresAround() { _mm_sfence(); }
  static V Set(int32_t value) { return _mm_set1_epi32(value); }
  static V Add(V a, V b) { return _mm_add_epi32(a, b); }
  static V Sub(V a, V b) { return _mm_sub_epi32(a, b); }
  static V And(V a, V b) { return _mm_and_si128(a, b); }
  static V Or(V a, V b) { return _mm_or_si128(a, b); }
  template <int kBits>
  static V ShiftLeft(V a) {
    return _mm_slli_epi32(a, kBits);
  }
  template <int kBits>
  static V ShiftRight(V a) {
    return _mm_srli_epi32(a, kBits);
  }
  static V PrefixSum(V a) {
    a = _mm_add_epi32(a, _mm_slli_si128(a, 4));
    return _mm_add_epi32(a, _mm_slli_si128(a, 8));
  }
  static V BroadcastLast(V a) { return _mm_shuffle_epi32(a, 0xFF); }

  struct Division {
    __m128 inverseAbove;  // 1 / e rounded to single precision, then one step up
  };
  static Division MakeDivision(const Divisor& divisor) {
    const __m128 inverse = _mm_div_ps(_mm_set1_ps(1.0f), _mm_set1_ps(static_cast<float>(divisor.e)));
    return {_mm_castsi128_ps(_mm_add_epi32(_mm_castps_si128(inverse), _mm_set1_epi32(1)))};
  }
  static V Divide(V sums, const Division& division) {
    return _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(sums), division.inverseAbove));
  }
  static V MultiplyHigh16(V a, V b) { return _mm_mulhi_epu16(a, b); }
};

}  // namespace

extern const RowKernels kSse2WideRowKernels =
    RowKernelsOver<Sse2Lanes, ChannelSums<Sse2Lanes>>::Record(false, kLargestComputedDivisor, &kPortableRowKernels);
extern const RowKernels kSse2RowKernels =
    RowKernelsOver<Sse2Lanes, PackedSums<Sse2Lanes>>::Record(false, kLargestPackedDivisor, &kSse2WideRowKernels);
