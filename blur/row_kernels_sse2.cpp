// The row kernels four pixels at a time with SSE2 (the i686 baseline). A quotient
// is computed in single precision as (sum + 0.5) × (1 / e), truncated: the sum and
// sum + 0.5 are exact (below 2^23), and the two roundings stay far below the
// margin of 0.5 / e that the half keeps from every integer, for every divisor up
// to kLargestComputedDivisor.
#include <emmintrin.h>

#include "blur/row_kernels.h"
#include "blur/row_kernels_template.h"

namespace {

struct Sse2Lanes {
  using V = __m128i;
  static constexpr int32_t kCount = 4;

  static V Load(const void* from) { return _mm_loadu_si128(static_cast<const __m128i*>(from)); }
  static void Store(void* to, V value) { _mm_storeu_si128(static_cast<__m128i*>(to), value); }
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
    __m128 inverse;
  };
  static Division MakeDivision(const Divisor& divisor) {
    return {_mm_div_ps(_mm_set1_ps(1.0f), _mm_set1_ps(static_cast<float>(divisor.e)))};
  }
  static V Divide(V sums, const Division& division) {
    return _mm_cvttps_epi32(_mm_mul_ps(_mm_add_ps(_mm_cvtepi32_ps(sums), _mm_set1_ps(0.5f)), division.inverse));
  }
};

}  // namespace

extern const RowKernels kSse2RowKernels = RowKernelsOver<Sse2Lanes>::Record(false, kLargestComputedDivisor);
