// The box blur engine: a (2r + 1) × (2r + 1) box blur of a source
// surface into an output surface of the same size, as two passes of running sums.
#pragma once

#include <cstdint>

#include "blur/surfaces.h"

// Blurs source into output (two different pictures of the source's size), r being
// radius truncated toward zero. Reads only the pixel fields of both surfaces and
// never writes the source. When a scratch block cannot be had, the output is left
// exactly as it was. A call outside the caller's guarantees (r < 1, a size below
// 1, bytes per pixel other than 4, an output stride or row bytes below 4 × width)
// returns at once and touches nothing.
void BoxBlurBitmap(const BitmapSurface& source, BitmapSurface& output, double radius);
void BoxBlurRowTable(const RowTableSurface& source, RowTableSurface& output, double radius);

// The size of the DivisionTable request for r >= 1: 2048 × (r + 1) bytes, in 64
// bits. -1 (a request that fails without asking for memory) where 255 × (2r + 1)
// exceeds INT32_MAX, so that the 32-bit running sums could overflow, and for r < 1.
int64_t DivisionTableBytes(int32_t r);
