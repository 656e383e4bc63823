// The engine's scratch memory: five requests, all made before any result is looked
// at, all released on every path; a refused request leaves the output byte for
// byte as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "blur/box_blur.h"
#include "engine_fixture.h"
#include "test_pictures.h"

namespace blurtest {
namespace {

const Form kForms[] = {Form::Bitmap, Form::RowTable};

using ScratchFailures = EngineTest;

TEST_F(ScratchFailures, ASuccessfulBlurMakesFiveRequestsAndLeavesNoBlockAlive) {
  for (Form form : kForms) {
    SCOPED_TRACE(FormName(form));
    simhost::Reset();
    RunBlur(form, RandomPicture(9, 9, 1), RandomPicture(9, 9, 2), 2.0);
    EXPECT_EQ(simhost::ScratchRequests(), 5u);
    EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
  }
}

TEST_F(ScratchFailures, EachRequestFailingInTurnLeavesTheOutputAsItWas) {
  for (Form form : kForms) {
    for (uint64_t failing = 1; failing <= 5; ++failing) {
      SCOPED_TRACE(std::string(FormName(form)) + ", request " + std::to_string(failing) + " fails");
      simhost::Reset();
      const TestPicture source = RandomPicture(17, 9, 3);
      const TestPicture before = RandomPicture(17, 9, 4);
      simhost::FailScratchRequest(failing, simhost::ScratchFailure::Once);
      const BlurRun run = RunBlur(form, source, before, 2.0, 4, 8);
      EXPECT_EQ(run.output.pixels, before.pixels);
      EXPECT_TRUE(run.untouchedOutsidePixels);
      EXPECT_TRUE(run.sourceBytesUnchanged);
      EXPECT_EQ(simhost::ScratchRequests(), 5u);  // the later requests are made all the same
      EXPECT_EQ(simhost::LiveScratchBlocks(), 0);

      // The shortage was transient: the next call blurs.
      EXPECT_EQ(RunBlur(form, source, before, 2.0).output.pixels, ReferenceBlur(source, 2).pixels);
      EXPECT_EQ(simhost::ScratchRequests(), 10u);
      EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
    }
  }
}

TEST_F(ScratchFailures, MemoryGoneFromARequestOnLeavesEveryLaterCallWithout) {
  for (Form form : kForms) {
    for (uint64_t failing = 1; failing <= 5; ++failing) {
      SCOPED_TRACE(std::string(FormName(form)) + ", from request " + std::to_string(failing) + " on");
      simhost::Reset();
      const TestPicture before = RandomPicture(8, 2, 6);
      simhost::FailScratchRequest(failing, simhost::ScratchFailure::FromThenOn);
      EXPECT_EQ(RunBlur(form, RandomPicture(8, 2, 5), before, 1.0).output.pixels, before.pixels);
      EXPECT_EQ(RunBlur(form, RandomPicture(8, 2, 5), before, 1.0).output.pixels, before.pixels);
      EXPECT_EQ(simhost::ScratchRequests(), 10u);
      EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
      simhost::ClearScratchFailure();
    }
  }
}

TEST_F(ScratchFailures, ARadiusWhoseSumsWouldOverflowIsRefusedTheTable) {
  // 255 × (2r + 1) > INT32_MAX: no table is asked for, in any build (a 32-bit
  // build could not represent its size either); the other four are asked for and
  // released.
  for (Form form : kForms) {
    for (double radius : {100000000.0, 4210752.0, 2147483647.0}) {
      SCOPED_TRACE(std::string(FormName(form)) + " " + std::to_string(radius));
      simhost::Reset();
      const TestPicture before = RandomPicture(3, 2, 7);
      EXPECT_EQ(RunBlur(form, RandomPicture(3, 2, 8), before, radius).output.pixels, before.pixels);
      EXPECT_EQ(simhost::ScratchRequests(), 4u);
      EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
    }
  }
}

#if defined(_WIN32)
TEST_F(ScratchFailures, TheRealGlobalAllocRefusesATableOfAlmostFourGigabytes) {
  // 2048 × 2000001 bytes fits a 32-bit size_t, and the sums fit 32 bits, so the
  // request reaches kernel32, which cannot grant it to a 32-bit process.
  ASSERT_GT(DivisionTableBytes(2000000), int64_t{0});
  for (Form form : kForms) {
    SCOPED_TRACE(FormName(form));
    simhost::Reset();
    const TestPicture before = RandomPicture(3, 2, 7);
    EXPECT_EQ(RunBlur(form, RandomPicture(3, 2, 8), before, 2000000.0).output.pixels, before.pixels);
    EXPECT_EQ(simhost::ScratchRequests(), 5u);
    EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
  }
}
#endif

TEST(DivisionTableBytes, Is2048TimesRPlusOneWhileTheSumsFit32Bits) {
  EXPECT_EQ(DivisionTableBytes(1), 4096);
  EXPECT_EQ(DivisionTableBytes(1000), 2050048);
  EXPECT_EQ(DivisionTableBytes(4210751), int64_t{2048} * 4210752);  // 255 × 8421503 = 2147483265
  EXPECT_EQ(DivisionTableBytes(4210752), -1);                        // 255 × 8421505 = 2147483775
  EXPECT_EQ(DivisionTableBytes(100000000), -1);
  EXPECT_EQ(DivisionTableBytes(std::numeric_limits<int32_t>::max()), -1);
  EXPECT_EQ(DivisionTableBytes(0), -1);
  EXPECT_EQ(DivisionTableBytes(std::numeric_limits<int32_t>::min()), -1);
}

}  // namespace
}  // namespace blurtest
