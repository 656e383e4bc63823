// The row kernels one pixel at a time, in plain C++: every quotient is looked up
// in the DivisionTable. They serve any CPU and any divisor.
#include <cstring>

#include "blur/row_kernels.h"
#include "blur/row_kernels_template.h"

namespace {

struct PortableLanes {
  using V = int32_t;
  static constexpr int32_t kCount = 1;

  static V Load(const void* from) {
    uint32_t word;
    std::memcpy(&word, from, sizeof word);
    return static_cast<int32_t>(word);
  }
  static void Store(void* to, V value) { std::memcpy(to, &value, sizeof value); }
  static void StoreAround(void* to, V value) { Store(to, value); }
  static void FinishStoresAround() {}
  static V Set(int32_t value) { return value; }
  static V Add(V a, V b) { return a + b; }
  static V Sub(V a, V b) { return a - b; }
  static V And(V a, V b) { return a & b; }
  static V Or(V a, V b) { return a | b; }
  template <int kBits>
  static V ShiftLeft(V a) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) << kBits);
  }
  template <int kBits>
  static V ShiftRight(V a) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) >> kBits);
  }
  static V PrefixSum(V a) { return a; }
  static V BroadcastLast(V a) { return a; }

  struct Division {
    const int32_t* table;
  };
  static Division MakeDivision(const Divisor& divisor) { return {divisor.table}; }
  static V Divide(V sum, const Division& division) { return division.table[sum]; }
};

}  // namespace

extern const RowKernels kPortableRowKernels =
    RowKernelsOver<PortableLanes, ChannelSums<PortableLanes>>::Record(true, INT32_MAX, nullptr);
