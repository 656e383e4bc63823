// The row kernels sixteen pixels at a time with AVX-512 (F and BW), in the two
// ways of the SSE2 kernels (blue and red sharing a word with 16-bit division while
// every sum fits 16 bits; every channel apart with the single-precision quotient
// beyond). Runs only on CPUs that have AVX-512F and AVX-512BW.
//
// GCC 12's AVX-512 conversions start from a deliberately undefined vector, which
// -Wmaybe-uninitialized reports wherever they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include "blur/row_kernels.h"
#include "blur/row_kernels_template.h"

namespace {

struct Avx512Lanes {
  using V = __m512i;
  static constexpr int32_t kCount = 16;

  static V Load(const void* from) { return _mm512_loadu_si512(from); }
  static void Store(void* to, V value) { _mm512_storeu_si512(to, value); }
  static void StoreAround(void* to, V value) { _mm512_stream_si512(static_cast<__m512i*>(to), value); }
  static void FinishStoresAround() { _mm_sfence(); }
  static V Set(int32_t value) { return _mm512_set1_epi32(value); }
  static V Add(V a, V b) { return _mm512_add_epi32(a, b); }
  static V Sub(V a, V b) { return _mm512_sub_epi32(a, b); }
  static V And(V a, V b) { return _mm512_and_si512(a, b); }
  static V Or(V a, V b) { return _mm512_or_si512(a, b); }
  template <int kBits>
  static V ShiftLeft(V a) {
    return _mm512_slli_epi32(a, kBits);
  }
  template <int kBits>
  static V ShiftRight(V a) {
    return _mm512_srli_epi32(a, kBits);
  }
  static V PrefixSum(V a) {
    // Lane i gets lane i − k added, for k = 1, 2, 4, 8 (zeros shifted in below).
    const V zero = _mm512_setzero_si512();
    a = _mm512_add_epi32(a, _mm512_alignr_epi32(a, zero, 15));
    a = _mm512_add_epi32(a, _mm512_alignr_epi32(a, zero, 14));
    a = _mm512_add_epi32(a, _mm512_alignr_epi32(a, zero, 12));
    return _mm512_add_epi32(a, _mm512_alignr_epi32(a, zero, 8));
  }
  static V BroadcastLast(V a) { return _mm512_permutexvar_epi32(_mm512_set1_epi32(15), a); }

  struct Division {
    __m512 inverseAbove;  // 1 / e rounded to single precision, then one step up
  };
  static Division MakeDivision(const Divisor& divisor) {
    const __m512 inverse = _mm512_div_ps(_mm512_set1_ps(1.0f), _mm512_set1_ps(static_cast<float>(divisor.e)));
    return {_mm512_castsi512_ps(_mm512_add_epi32(_mm512_castps_si512(inverse), _mm512_set1_epi32(1)))};
  }
  static V Divide(V sums, const Division& division) {
    return _mm512_cvttps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(sums), division.inverseAbove));
  }
  static V MultiplyHigh16(V a, V b) { return _mm512_mulhi_epu16(a, b); }
};

}  // namespace

extern const RowKernels kAvx512WideRowKernels =
    RowKernelsOver<Avx512Lanes, ChannelSums<Avx512Lanes>>::Record(false, kLargestComputedDivisor, &kPortableRowKernels);
extern const RowKernels kAvx512RowKernels =
    RowKernelsOver<Avx512Lanes, PackedSums<Avx512Lanes>>::Record(false, kLargestPackedDivisor, &kAvx512WideRowKernels);
