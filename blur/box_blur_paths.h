// The engine's instruction-set paths. BoxBlurBitmap and BoxBlurRowTable run the
// fastest path the CPU has; the entries below run a chosen one, so that tests and
// the benchmark can run every path in turn. All paths give the same pixels.
#pragma once

#include "blur/row_kernels.h"
#include "blur/surfaces.h"

enum class BlurPath { Portable, Sse2, Avx2, Avx512 };

// Every path, the portable one first.
extern const BlurPath kBlurPaths[4];

const char* BlurPathName(BlurPath path);
// False when no path has that name.
bool BlurPathNamed(const char* name, BlurPath* path);
// Whether this CPU (and its operating system) can run the path.
bool BlurPathAvailable(BlurPath path);
// The path the engine's entries run.
BlurPath BestBlurPath();
const RowKernels& RowKernelsOf(BlurPath path);

// As BoxBlurBitmap and BoxBlurRowTable, on path (which must be available).
void BoxBlurBitmapOnPath(BlurPath path, const BitmapSurface& source, BitmapSurface& output, double radius);
void BoxBlurRowTableOnPath(BlurPath path, const RowTableSurface& source, RowTableSurface& output, double radius);
