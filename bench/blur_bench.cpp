// Throughput of the box blur engine in megapixels per second, measured in one run
// beside a plain copy of the same picture (the bound: a blur reads the source and
// writes the output at least once) and, in the native build, OpenCV's cv::blur on
// the same picture (8-bit four-channel, replicated borders, one thread).
//
//   blur_bench [--reps N] [--save FILE] [--compare FILE] [--quick]
//
// Every figure is the median of N timed repetitions (default 5); a repetition runs
// the operation often enough to last at least 20 ms. --save writes the engine's
// seconds per call to FILE, --compare reads such a file (from the native build) and
// adds a column: this build's time divided by that one. --quick: 640 × 480 only.
#include <algorithm>
#include <chrono>
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

using Clock = std::chrono::steady_clock;

// Median seconds per call of operation over reps repetitions.
template <typename Operation>
double SecondsPerCall(int reps, Operation operation) {
  operation();  // warm: pages touched, caches and branch predictors primed
  std::vector<double> seconds;
  for (int rep = 0; rep < reps; ++rep) {
    int64_t calls = 0;
    const Clock::time_point start = Clock::now();
    double elapsed = 0.0;
    do {
      operation();
      ++calls;
      elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < 0.02);
    seconds.push_back(elapsed / static_cast<double>(calls));
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2];
}

// A picture's pixels in both engine forms over one block of memory each.
struct Pictures {
  PictureSize size;
  std::vector<uint32_t> source;
  std::vector<uint32_t> output;
  std::vector<uint32_t*> sourceRows;
  std::vector<uint32_t*> outputRows;
};

Pictures RandomPictures(PictureSize size) {
  Pictures p{size, {}, {}, {}, {}};
  const size_t pixels = static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
  std::mt19937 random(12345);
  p.source.resize(pixels);
  for (uint32_t& pixel : p.source) pixel = static_cast<uint32_t>(random());
  p.output.assign(pixels, 0u);
  for (int32_t y = 0; y < size.height; ++y) {
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(size.width);
    p.sourceRows.push_back(p.source.data() + row);
    p.outputRows.push_back(p.output.data() + row);
  }
  return p;
}

void BlurBitmap(Pictures& p, int32_t r) {
  BitmapSurface in{};
  in.base = reinterpret_cast<uint8_t*>(p.source.data());
  in.stride = 4 * p.size.width;
  in.width = p.size.width;
  in.height = p.size.height;
  in.bytesPerPixel = 4;
  BitmapSurface out = in;
  out.base = reinterpret_cast<uint8_t*>(p.output.data());
  BoxBlurBitmap(in, out, r);
}

void BlurRowTable(Pictures& p, int32_t r) {
  RowTableSurface in{};
  in.rowTable = p.sourceRows.data();
  in.rowBytes = 4 * p.size.width;
  in.width = p.size.width;
  in.height = p.size.height;
  in.bytesPerPixel = 4;
  RowTableSurface out = in;
  out.rowTable = p.outputRows.data();
  BoxBlurRowTable(in, out, r);
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
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--reps" && i + 1 < argc) {
      reps = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--save" && i + 1 < argc) {
      saveFile = argv[++i];
    } else if (arg == "--compare" && i + 1 < argc) {
      compareFile = argv[++i];
    } else if (arg == "--quick") {
      quick = true;
    } else {
      std::fprintf(stderr, "usage: %s [--reps N] [--save FILE] [--compare FILE] [--quick]\n", argv[0]);
      return 2;
    }
  }
#if KWZ_BENCH_OPENCV
  cv::setNumThreads(1);
#endif
  const std::map<std::string, double> native = compareFile != nullptr ? ReadSaved(compareFile) : std::map<std::string, double>{};
  std::FILE* save = saveFile != nullptr ? std::fopen(saveFile, "w") : nullptr;

  std::printf("median of %d repetitions; MP/s = megapixels per second, single thread\n", reps);
  std::printf("%-11s %6s %-9s %9s %9s %9s %9s %9s%s\n", "size", "radius", "form", "engine", "OpenCV", "copy",
              "÷OpenCV", "÷copy", compareFile != nullptr ? "  time÷native" : "");
  for (const PictureSize size : kSizes) {
    if (quick && size.width != 640) continue;
    Pictures p = RandomPictures(size);
    const double megapixels = static_cast<double>(size.width) * static_cast<double>(size.height) / 1e6;
    const size_t bytes = p.source.size() * sizeof(uint32_t);
    const double copy = megapixels / SecondsPerCall(reps, [&] { std::memcpy(p.output.data(), p.source.data(), bytes); });
    for (const int32_t r : kRadii) {
      double opencv = 0.0;
#if KWZ_BENCH_OPENCV
      cv::Mat in(size.height, size.width, CV_8UC4, p.source.data());
      cv::Mat out(size.height, size.width, CV_8UC4);
      opencv = megapixels / SecondsPerCall(reps, [&] {
                 cv::blur(in, out, cv::Size(2 * r + 1, 2 * r + 1), cv::Point(-1, -1), cv::BORDER_REPLICATE);
               });
#endif
      for (const char* form : {"bitmap", "row table"}) {
        const bool bitmap = std::strcmp(form, "bitmap") == 0;
        const double seconds = SecondsPerCall(reps, [&] { bitmap ? BlurBitmap(p, r) : BlurRowTable(p, r); });
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
