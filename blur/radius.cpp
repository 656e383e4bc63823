#include "blur/radius.h"

#include <limits>

int32_t TruncateRadius(double radius) {
  // The doubles that truncate into [INT32_MIN, INT32_MAX], less those from
  // 2147483647.5 on: the host's own conversion overflows for them, and the blur
  // method must call them below 1 as it does. Both bounds are exact doubles, and
  // NaN fails the test.
  constexpr double kAbove = 2147483647.5;
  constexpr double kBelow = -2147483649.0;  // INT32_MIN - 1
  if (!(radius > kBelow && radius < kAbove)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(radius);  // truncates toward zero, in range
}
