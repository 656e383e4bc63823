// Throughput of the box blur engine in megapixels per second, measured in one run
// beside a plain copy of the same picture (the bound: a blur reads the source and
// writes the output at least once) and, in the native build, OpenCV's cv::blur on
// the same picture (8-bit four-channel, replicated borders, one thread).
//
//   blur_bench [--reps N] [--save FILE] [--compare FILE] [--path NAME] [--quick]
//
// Time is the thread's own processor time (user and kernel), so that time spent
// waiting for a shared core is not counted. Every figure is the fastest of N timed
// repetitions (default 5), the one least disturbed by other work on the machine; a
// repetition is one batch of calls lasting at least 20 ms (200 ms on Windows, whose
// thread clock ticks every 10 ms under Wine), the clock read around the batch
// only. --save writes the engine's seconds per call to FILE, --compare reads such
// a file (from the native build) and adds a column: this build's time divided by
// that one. --path runs the engine on one instruction-set path instead of the one
// it chooses. --quick: 640 × 480 only.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "blur/box_blur.h"
#include "blur/box_blur_paths.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

#if KWZ_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

struct PictureSize {
  int32_t width;
  int32_t height;
};

const PictureSize kSizes[] = {{640, 480}, {1920, 1080}, {4096, 4096}};
const int32_t kRadii[] = {1, 5, 50, 500};

#if defined(_WIN32)
constexpr double kBatchSeconds = 0.2;
double ThreadSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto ticks = [](FILETIME t) { return static_cast<double>(uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime); };
  return (ticks(kernel) + ticks(user)) * 1e-7;
}
#else
constexpr double kBatchSeconds = 0.02;
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
#endif

// Seconds per call of operation, the fastest of reps repetitions. A repetition is
// a batch of calls timed as a whole: the clock is read before and after the batch,
// never between its calls, since one reading of the thread clock under Wine takes
// about 65 µs (a quarter of what a 640 × 480 blur took when it was read after
// every call). The batch size doubles until a batch lasts kBatchSeconds; batches
// that fall short are not counted.
template <typename Operation>
double SecondsPerCall(int reps, Operation operation) {
  operation();  // warm: pages touched, caches and branch predictors primed
  std::vector<double> seconds;
  int64_t calls = 1;
  while (static_cast<int>(seconds.size()) < reps) {
    const double start = ThreadSeconds();
    for (int64_t call = 0; call < calls; ++call) operation();
    const double elapsed = ThreadSeconds() - start;
    if (elapsed < kBatchSeconds) {
      calls *= 2;
    } else {
      seconds.push_back(elapsed / static_cast<double>(calls));
    }
  }
  return *std::min_element(seconds.begin(), seconds.end());
}

// Pixels starting on a 64-byte boundary, as a DIB section's do (page-aligned).
struct AlignedPixels {
  std::vector<uint32_t> storage;
  uint32_t* data = nullptr;

  explicit AlignedPixels(size_t pixels) : storage(pixels + 16, 0u) {
    const uintptr_t address = reinterpret_cast<uintptr_t>(storage.data());
    data = storage.data() + ((64 - address % 64) % 64) / sizeof(uint32_t);
  }
};

// A picture's pixels in both engine forms over one block of memory each.
struct Pictures {
  PictureSize size;
  size_t pixels;
  AlignedPixels source;
  AlignedPixels output;
  std::vector<uint32_t*> sourceRows;
  std::vector<uint32_t*> outputRows;

  explicit Pictures(PictureSize pictureSize)
      : size(pictureSize),
        pixels(static_cast<size_t>(size.width) * static_cast<size_t>(size.height)),
        source(pixels),
        output(pixels) {
    std::mt19937 random(12345);
    for (size_t i = 0; i < pixels; ++i) source.data[i] = static_cast<uint32_t>(random());
    for (int32_t y = 0; y < size.height; ++y) {
      const size_t row = static_cast<size_t>(y) * static_cast<size_t>(size.width);
      sourceRows.push_back(source.data + row);
      outputRows.push_back(output.data + row);
    }
  }
};

void BlurBitmap(Pictures& p, int32_t r, const BlurPath* path) {
  BitmapSurface in{};
  in.base = reinterpret_cast<uint8_t*>(p.source.data);
  in.stride = 4 * p.size.width;
  in.width = p.size.width;
  in.height = p.size.height;
  in.bytesPerPixel = 4;
  BitmapSurface out = in;
  out.base = reinterpret_cast<uint8_t*>(p.output.data);
  if (path != nullptr) {
    BoxBlurBitmapOnPath(*path, in, out, r);
  } else {
    BoxBlurBitmap(in, out, r);
  }
}

void BlurRowTable(Pictures& p, int32_t r, const BlurPath* path) {
  RowTableSurface in{};
  in.rowTable = p.sourceRows.data();
  in.rowBytes = 4 * p.size.width;
  in.width = p.size.width;
  in.height = p.size.height;
  in.bytesPerPixel = 4;
  RowTableSurface out = in;
  out.rowTable = p.outputRows.data();
  if (path != nullptr) {
    BoxBlurRowTableOnPath(*path, in, out, r);
  } else {
    BoxBlurRowTable(in, out, r);
  }
}

std::string Key(PictureSize size, int32_t r, const char* form) {
  return std::to_string(size.width) + "x" + std::to_string(size.height) + " r" + std::to_string(r) + " " + form;
}

std::map<std::string, double> ReadSaved(const char* file) {
  std::map<std::string, double> saved;
  std::ifstream in(file);
  std::string size, radius, form;
  double seconds = 0.0;
  while (in >> size >> radius >> form >> seconds) saved[size + " " + radius + " " + form] = seconds;
  if (saved.empty()) std::fprintf(stderr, "no saved results in %s\n", file);
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  int reps = 5;
  const char* saveFile = nullptr;
  const char* compareFile = nullptr;
  bool quick = false;
  BlurPath chosenPath{};
  const BlurPath* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--reps" && i + 1 < argc) {
      reps = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--save" && i + 1 < argc) {
      saveFile = argv[++i];
    } else if (arg == "--compare" && i + 1 < argc) {
      compareFile = argv[++i];
    } else if (arg == "--path" && i + 1 < argc) {
      if (!BlurPathNamed(argv[++i], &chosenPath) || !BlurPathAvailable(chosenPath)) {
        std::fprintf(stderr, "no such path on this CPU: %s\n", argv[i]);
        return 2;
      }
      path = &chosenPath;
    } else if (arg == "--quick") {
      quick = true;
    } else {
      std::fprintf(stderr, "usage: %s [--reps N] [--save FILE] [--compare FILE] [--path NAME] [--quick]\n", argv[0]);
      return 2;
    }
  }
#if KWZ_BENCH_OPENCV
  cv::setNumThreads(1);
#endif
  const std::map<std::string, double> native = compareFile != nullptr ? ReadSaved(compareFile) : std::map<std::string, double>{};
  std::FILE* save = saveFile != nullptr ? std::fopen(saveFile, "w") : nullptr;

  std::printf("engine path: %s; fastest of %d repetitions; MP/s = megapixels per second of thread time\n",
              BlurPathName(path != nullptr ? *path : BestBlurPath()), reps);
  std::printf("%-11s %6s %-9s %9s %9s %9s %9s %9s%s\n", "size", "radius", "form", "engine", "OpenCV", "copy",
              "÷OpenCV", "÷copy", compareFile != nullptr ? "  time÷native" : "");
  for (const PictureSize size : kSizes) {
    if (quick && size.width != 640) continue;
    Pictures p(size);
    const double megapixels = static_cast<double>(size.width) * static_cast<double>(size.height) / 1e6;
    const size_t bytes = p.pixels * sizeof(uint32_t);
    const double copy = megapixels / SecondsPerCall(reps, [&] { std::memcpy(p.output.data, p.source.data, bytes); });
    for (const int32_t r : kRadii) {
      double opencv = 0.0;
#if KWZ_BENCH_OPENCV
      cv::Mat in(size.height, size.width, CV_8UC4, p.source.data);
      cv::Mat out(size.height, size.width, CV_8UC4);
      opencv = megapixels / SecondsPerCall(reps, [&] {
                 cv::blur(in, out, cv::Size(2 * r + 1, 2 * r + 1), cv::Point(-1, -1), cv::BORDER_REPLICATE);
               });
#endif
      for (const char* form : {"bitmap", "row table"}) {
        const bool bitmap = std::strcmp(form, "bitmap") == 0;
        const double seconds = SecondsPerCall(reps, [&] { bitmap ? BlurBitmap(p, r, path) : BlurRowTable(p, r, path); });
        const double engine = megapixels / seconds;
        const std::string key = Key(size, r, bitmap ? "bitmap" : "rowtable");
        char versusOpencv[32] = "-";
        char opencvColumn[32] = "-";
        if (opencv > 0.0) {
          std::snprintf(versusOpencv, sizeof versusOpencv, "%.2f", engine / opencv);
          std::snprintf(opencvColumn, sizeof opencvColumn, "%.0f", opencv);
        }
        std::string versusNative;
        const auto found = native.find(key);
        if (found != native.end()) versusNative = "  " + std::to_string(seconds / found->second).substr(0, 4);
        std::printf("%4dx%-6d %6d %-9s %9.0f %9s %9.0f %9s %9.2f%s\n", size.width, size.height, r, form, engine,
                    opencvColumn, copy, versusOpencv, engine / copy, versusNative.c_str());
        std::fflush(stdout);
        if (save != nullptr) std::fprintf(save, "%s %.9g\n", key.c_str(), seconds);
      }
    }
  }
  if (save != nullptr) std::fclose(save);
  return 0;
}
