// Every instruction-set path of the engine, forced in turn, against the reference
// blur on random pictures; and the quotients that the vector paths compute against
// the DivisionTable's entries.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "blur/box_blur_paths.h"
#include "blur/radius.h"
#include "blur/row_kernels.h"
#include "engine_fixture.h"
#include "test_pictures.h"

namespace blurtest {
namespace {

struct RandomCase {
  int32_t widthBelow;  // width 1 .. widthBelow − 1, height likewise
  int32_t heightBelow;
  std::vector<double> radii;  // one picked per trial, plus a random fraction below 1
  int trials;
};

// Narrow and wide pictures, windows well inside and far beyond them, and radii on
// both sides of the largest packed divisor (r = 100) and of the largest computed
// divisor (r = 1000, past which the vector paths use the DivisionTable).
const RandomCase kRandomCases[] = {
    {40, 12, {1, 2, 3, 4, 7, 8, 15, 16, 17}, 40},
    {300, 5, {1, 2, 5, 9, 16, 31, 50, 120}, 12},
    {12, 40, {1, 3, 6, 20, 60}, 12},
    {150, 6, {99, 100, 101, 128, 129}, 8},
    {10, 10, {999, 1000, 1001, 1500}, 8},
    // Rows long enough for the vertical and horizontal passes to take several
    // turns along them, with windows shorter and longer than a turn.
    {1700, 4, {1, 2, 7, 16, 50, 100, 101, 600}, 12},
};

using BlurPaths = EngineTest;

TEST_F(BlurPaths, EachPathForcedInTurnMatchesTheReferenceOnRandomPictures) {
  int pathsRun = 0;
  for (BlurPath path : kBlurPaths) {
    if (!BlurPathAvailable(path)) continue;  // this CPU lacks its instructions
    ++pathsRun;
    std::mt19937 random(20240607u);
    for (const RandomCase& randomCase : kRandomCases) {
      for (int trial = 0; trial < randomCase.trials; ++trial) {
        const int32_t width = 1 + static_cast<int32_t>(random() % static_cast<uint32_t>(randomCase.widthBelow - 1));
        const int32_t height = 1 + static_cast<int32_t>(random() % static_cast<uint32_t>(randomCase.heightBelow - 1));
        const double radius =
            randomCase.radii[random() % randomCase.radii.size()] + static_cast<double>(random() % 100) / 100.0;
        const Form form = random() % 2 == 0 ? Form::Bitmap : Form::RowTable;
        const int32_t sourcePad = form == Form::Bitmap ? static_cast<int32_t>(random() % 13) : 0;
        const int32_t outputPad = form == Form::Bitmap ? static_cast<int32_t>(random() % 13) : 0;
        SCOPED_TRACE(std::string(BlurPathName(path)) + " " + FormName(form) + " " + std::to_string(width) + " x " +
                     std::to_string(height) + " radius " + std::to_string(radius) + " pads " +
                     std::to_string(sourcePad) + ", " + std::to_string(outputPad));
        const TestPicture source = RandomPicture(width, height, static_cast<uint32_t>(random()));
        const TestPicture before = RandomPicture(width, height, static_cast<uint32_t>(random()));
        const uint64_t requestsBefore = simhost::ScratchRequests();
        const BlurRun run = RunBlurOnPath(path, form, source, before, radius, sourcePad, outputPad);
        ASSERT_EQ(run.output.pixels, ReferenceBlur(source, TruncateRadius(radius)).pixels);
        EXPECT_TRUE(run.sourceBytesUnchanged);
        EXPECT_TRUE(run.untouchedOutsidePixels);
        EXPECT_EQ(simhost::ScratchRequests() - requestsBefore, 5u);
        EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
      }
    }
  }
  EXPECT_GE(pathsRun, 1);
}

TEST_F(BlurPaths, EachPathGivesTheSamePixelsAsThePublicEntriesOnALargerPicture) {
  const TestPicture source = RandomPicture(203, 61, 31);
  const TestPicture before = UniformPicture(203, 61, 0u);
  for (Form form : {Form::Bitmap, Form::RowTable}) {
    for (double radius : {1.0, 6.0, 33.0}) {
      const std::vector<uint32_t> expected = ReferenceBlur(source, TruncateRadius(radius)).pixels;
      EXPECT_EQ(RunBlur(form, source, before, radius).output.pixels, expected);
      for (BlurPath path : kBlurPaths) {
        if (!BlurPathAvailable(path)) continue;
        SCOPED_TRACE(std::string(BlurPathName(path)) + " " + FormName(form) + " " + std::to_string(radius));
        EXPECT_EQ(RunBlurOnPath(path, form, source, before, radius).output.pixels, expected);
      }
    }
  }
}

TEST(BlurPathChoice, TheChosenPathRunsOnThisCpuAndThePortableOneEverywhere) {
  EXPECT_TRUE(BlurPathAvailable(BlurPath::Portable));
  EXPECT_TRUE(BlurPathAvailable(BestBlurPath()));
  for (BlurPath path : kBlurPaths) {
    BlurPath named = BlurPath::Portable;
    ASSERT_TRUE(BlurPathNamed(BlurPathName(path), &named));
    EXPECT_EQ(named, path);
  }
}

// A computed quotient must be the table's entry: sum / e truncated, for every sum
// 0 .. 255 × e the blur can form and every divisor the path computes for.
TEST(ComputedQuotients, EqualTheDivisionTableOverTheWholeRangeForEveryDivisorUsed) {
  std::vector<int32_t> sums(static_cast<size_t>(255 * kLargestComputedDivisor + 1));
  for (size_t i = 0; i < sums.size(); ++i) sums[i] = static_cast<int32_t>(i);
  std::vector<int32_t> quotients(sums.size());
  int recordsChecked = 0;
  for (BlurPath path : kBlurPaths) {
    if (!BlurPathAvailable(path)) continue;
    // The path's kernels and those that take over from them for larger divisors.
    for (const RowKernels* kernels = &RowKernelsOf(path); kernels != nullptr; kernels = kernels->beyond) {
      if (kernels->looksUpQuotients) continue;
      SCOPED_TRACE(std::string(BlurPathName(path)) + ", divisors up to " + std::to_string(kernels->largestDivisor));
      ASSERT_LE(kernels->largestDivisor, kLargestComputedDivisor);
      ++recordsChecked;
      for (int32_t e = 3; e <= kernels->largestDivisor; e += 2) {
        const int32_t count = 255 * e + 1;
        kernels->divide(sums.data(), quotients.data(), count, Divisor{e, nullptr});
        int64_t wrong = 0;
        int32_t firstWrong = -1;
        for (int32_t quotient = 0, sum = 0; sum < count; ++quotient) {
          for (int32_t i = 0; i < e && sum < count; ++i, ++sum) {
            if (quotients[static_cast<size_t>(sum)] != quotient) {
              if (wrong++ == 0) firstWrong = sum;
            }
          }
        }
        ASSERT_EQ(wrong, 0) << "e = " << e << ", first wrong sum " << firstWrong << " gives "
                            << quotients[static_cast<size_t>(firstWrong < 0 ? 0 : firstWrong)];
      }
    }
  }
#if defined(__i386__) || defined(__x86_64__)
  EXPECT_GE(recordsChecked, 2);  // at least the SSE2 path's two ways of dividing
#endif
}

TEST(ComputedQuotients, ThePortablePathLooksEveryQuotientUp) {
  const RowKernels& kernels = RowKernelsOf(BlurPath::Portable);
  ASSERT_TRUE(kernels.looksUpQuotients);
  // A table with entries no division would give: the quotients must be its entries.
  const std::vector<int32_t> table = {7, 3, 9, 1, 4};
  const std::vector<int32_t> sums = {4, 0, 2, 2, 1, 3};
  std::vector<int32_t> quotients(sums.size());
  kernels.divide(sums.data(), quotients.data(), static_cast<int32_t>(sums.size()), Divisor{3, table.data()});
  EXPECT_EQ(quotients, (std::vector<int32_t>{4, 7, 9, 9, 3, 1}));
}

}  // namespace
}  // namespace blurtest

namespace blurtest {
namespace {

// out(x) = (sum over j = −r .. r of averages[clamp(x + j)]) / e, per channel, fourth byte 0.
std::vector<uint32_t> HorizontalReference(const std::vector<uint32_t>& averages, int32_t r) {
  const int32_t width = static_cast<int32_t>(averages.size());
  const uint32_t e = 2 * static_cast<uint32_t>(r) + 1;
  std::vector<uint32_t> out(averages.size(), 0u);
  for (int32_t x = 0; x < width; ++x) {
    for (int shift : {0, 8, 16}) {
      uint32_t sum = 0;
      for (int32_t j = -r; j <= r; ++j) {
        const int32_t k = x + j < 0 ? 0 : (x + j > width - 1 ? width - 1 : x + j);
        sum += (averages[static_cast<size_t>(k)] >> shift) & 0xFFu;
      }
      out[static_cast<size_t>(x)] |= (sum / e) << shift;
    }
  }
  return out;
}

TEST(RowKernels, OutputRowsWrittenPastTheCachesHoldTheSamePixels) {
  std::mt19937 random(77);
  for (BlurPath path : kBlurPaths) {
    if (!BlurPathAvailable(path)) continue;
    for (const RowKernels* kernels = &RowKernelsOf(path); kernels != nullptr; kernels = kernels->beyond) {
      for (int32_t width : {1, 15, 16, 17, 64, 100, 257}) {
        for (int32_t r : {1, 3, 40, 300, 1200}) {
          const int32_t e = 2 * r + 1;
          if (e > kernels->largestDivisor) continue;
          SCOPED_TRACE(std::string(BlurPathName(path)) + " up to " + std::to_string(kernels->largestDivisor) +
                       ", width " + std::to_string(width) + ", r " + std::to_string(r));
          std::vector<int32_t> table(256 * static_cast<size_t>(e + 1), 0);
          for (int32_t i = 0; i < 256 * e; ++i) table[static_cast<size_t>(i)] = i / e;
          std::vector<uint32_t> averages(static_cast<size_t>(width));
          for (uint32_t& pixel : averages) pixel = static_cast<uint32_t>(random()) & 0x00FFFFFFu;
          // Two output rows starting on a 64-byte boundary, so that the vector
          // kernels may write past the caches.
          std::vector<uint32_t> storage(2 * (static_cast<size_t>(width) + 16), 0xFFFFFFFFu);
          uint32_t* plain = storage.data() + ((64 - reinterpret_cast<uintptr_t>(storage.data()) % 64) % 64) / 4;
          uint32_t* around = plain + ((static_cast<size_t>(width) + 15) / 16) * 16;
          const auto bytes = [](const uint32_t* pixels) { return reinterpret_cast<const uint8_t*>(pixels); };
          const auto writable = [](uint32_t* pixels) { return reinterpret_cast<uint8_t*>(pixels); };
          kernels->horizontalRow(bytes(averages.data()), writable(plain), width, r, Divisor{e, table.data()}, false);
          kernels->horizontalRow(bytes(averages.data()), writable(around), width, r, Divisor{e, table.data()}, true);
          const std::vector<uint32_t> expected = HorizontalReference(averages, r);
          EXPECT_EQ(std::vector<uint32_t>(plain, plain + width), expected);
          EXPECT_EQ(std::vector<uint32_t>(around, around + width), expected);
          EXPECT_EQ(around[width], 0xFFFFFFFFu);  // nothing written past the row
        }
      }
    }
  }
}

}  // namespace
}  // namespace blurtest
