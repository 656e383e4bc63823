// The blur radius as the engine and the blur method read it.
#pragma once

#include <cstdint>

// The radius truncated toward zero (2.9 gives 2, 0.99 gives 0, -1.5 gives -1).
// NaN, the infinities, every value whose truncation lies outside the 32-bit
// signed range, and every value of 2147483647.5 or more give INT32_MIN
// (-2147483648), so that they count as below 1. Exact, with no undefined
// conversion. The engine and the blur method share it.
int32_t TruncateRadius(double radius);
