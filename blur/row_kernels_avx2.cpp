// The row kernels eight pixels at a time with AVX2, in the two ways of the SSE2
// kernels (blue and red sharing a word with 16-bit division while every sum fits
// 16 bits; every channel apart with the single-precision quotient beyond). Runs
// only on CPUs that have AVX2.
#include <immintrin.h>

#include "blur/row_kernels.h"
#include "blur/row_kernels_template.h"

namespace {

struct Avx2Lanes {
  using V = __m256i;
  static constexpr int32_t kCount = 8;

  static V Load(const void* from) { return _mm256_loadu_si256(static_cast<const __m256i*>(from)); }
  static void Store(void* to, V value) { _mm256_storeu_si256(static_cast<__m256i*>(to), value); }
  static void StoreAround(void* to, V value) { _mm256_stream_si256(static_cast<__m256i*>(to), value); }
  static void FinishStoresAround() { _mm_sfence(); }
  static V Set(int32_t value) { return _mm256_set1_epi32(value); }
  static V Add(V a, V b) { return _mm256_add_epi32(a, b); }
  static V Sub(V a, V b) { return _mm256_sub_epi32(a, b); }
  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V Or(V a, V b) { return _mm256_or_si256(a, b); }
  template <int kBits>
  static V ShiftLeft(V a) {
    return _mm256_slli_epi32(a, kBits);
  }
  template <int kBits>
  static V ShiftRight(V a) {
    return _mm256_srli_epi32(a, kBits);
  }
  static V PrefixSum(V a) {
    // Within each half of four lanes, then the low half's total carried into the high half.
    a = _mm256_add_epi32(a, _mm256_slli_si256(a, 4));
    a = _mm256_add_epi32(a, _mm256_slli_si256(a, 8));
    const V lowHalfAbove = _mm256_permute2x128_si256(a, a, 0x08);  // low half zero, high half = low half
    return _mm256_add_epi32(a, _mm256_shuffle_epi32(lowHalfAbove, 0xFF));
  }
  static V BroadcastLast(V a) { return _mm256_permutevar8x32_epi32(a, _mm256_set1_epi32(7)); }

  struct Division {
    __m256 inverseAbove;  // 1 / e rounded to single precision, then one step up
  };
  static Division MakeDivision(const Divisor& divisor) {
    const __m256 inverse = _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_set1_ps(static_cast<float>(divisor.e)));
    return {_mm256_castsi256_ps(_mm256_add_epi32(_mm256_castps_si256(inverse), _mm256_set1_epi32(1)))};
  }
  static V Divide(V sums, const Division& division) {
    return _mm256_cvttps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(sums), division.inverseAbove));
  }
  static V MultiplyHigh16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
};

}  // namespace

extern const RowKernels kAvx2WideRowKernels =
    RowKernelsOver<Avx2Lanes, ChannelSums<Avx2Lanes>>::Record(false, kLargestComputedDivisor, &kPortableRowKernels);
extern const RowKernels kAvx2RowKernels =
    RowKernelsOver<Avx2Lanes, PackedSums<Avx2Lanes>>::Record(false, kLargestPackedDivisor, &kAvx2WideRowKernels);
