// TruncateRadius: toward zero, and INT32_MIN for anything without a 32-bit answer.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "blur/radius.h"

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(TruncateRadius, TruncatesTowardZeroAndRefusesWhatHasNo32BitAnswer) {
  const struct {
    double radius;
    int32_t r;
  } cases[] = {
      {2.9, 2},
      {1.0, 1},
      {1.99, 1},
      {2.0, 2},
      {0.99, 0},
      {0.0, 0},
      {-0.0, 0},
      {-0.99, 0},
      {-1.5, -1},
      {100000000.0, 100000000},
      {2147483647.0, 2147483647},
      {2147483647.25, 2147483647},
      {2147483647.5, kMin},  // from here on the host's conversion overflows
      {2147483647.999999, kMin},
      {2147483648.0, kMin},
      {-2147483648.0, kMin},
      {-2147483648.5, kMin},  // truncates to -2147483648 itself
      {-2147483648.999999, kMin},
      {-2147483649.0, kMin},
      {-2147483647.5, -2147483647},
      {1e300, kMin},
      {-1e300, kMin},
      {std::numeric_limits<double>::infinity(), kMin},
      {-std::numeric_limits<double>::infinity(), kMin},
      {std::numeric_limits<double>::quiet_NaN(), kMin},
      {-std::numeric_limits<double>::quiet_NaN(), kMin},
      {std::numeric_limits<double>::denorm_min(), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(TruncateRadius(c.radius), c.r) << c.radius;
}

}  // namespace
