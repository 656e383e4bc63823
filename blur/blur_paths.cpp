// Which row kernels run: one record per instruction-set path, checked against the
// CPU at every call (the check reads what the compiler's runtime found at start-up).
#include <cstring>

#include "blur/box_blur_paths.h"

namespace {

bool Always() { return true; }

#if defined(__i386__) || defined(__x86_64__)
bool HasSse2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("sse2");
}
bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}
bool HasAvx512() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
}
#else
bool Never() { return false; }
#endif

struct PathRecord {
  BlurPath path;
  const char* name;
  const RowKernels* kernels;
  bool (*available)();
};

// In order of preference, the most preferred last.
const PathRecord kPathRecords[] = {
    {BlurPath::Portable, "portable", &kPortableRowKernels, &Always},
#if defined(__i386__) || defined(__x86_64__)
    {BlurPath::Sse2, "sse2", &kSse2RowKernels, &HasSse2},
    {BlurPath::Avx2, "avx2", &kAvx2RowKernels, &HasAvx2},
    {BlurPath::Avx512, "avx512", &kAvx512RowKernels, &HasAvx512},
#else
    {BlurPath::Sse2, "sse2", &kPortableRowKernels, &Never},
    {BlurPath::Avx2, "avx2", &kPortableRowKernels, &Never},
    {BlurPath::Avx512, "avx512", &kPortableRowKernels, &Never},
#endif
};

const PathRecord& RecordOf(BlurPath path) {
  for (const PathRecord& record : kPathRecords) {
    if (record.path == path) return record;
  }
  return kPathRecords[0];
}

}  // namespace

extern const BlurPath kBlurPaths[4] = {BlurPath::Portable, BlurPath::Sse2, BlurPath::Avx2, BlurPath::Avx512};

const char* BlurPathName(BlurPath path) { return RecordOf(path).name; }

bool BlurPathNamed(const char* name, BlurPath* path) {
  for (const PathRecord& record : kPathRecords) {
    if (std::strcmp(record.name, name) == 0) {
      *path = record.path;
      return true;
    }
  }
  return false;
}

bool BlurPathAvailable(BlurPath path) { return RecordOf(path).available(); }

BlurPath BestBlurPath() {
  BlurPath best = BlurPath::Portable;
  for (const PathRecord& record : kPathRecords) {
    if (record.available()) best = record.path;
  }
  return best;
}

const RowKernels& RowKernelsOf(BlurPath path) { return *RecordOf(path).kernels; }
