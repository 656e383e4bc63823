// The box blur engine against the reference blur of the formula, in both forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "blur/radius.h"
#include "engine_fixture.h"
#include "test_pictures.h"

namespace blurtest {
namespace {

const Form kForms[] = {Form::Bitmap, Form::RowTable};

std::vector<uint32_t> Reds(const TestPicture& picture) {
  std::vector<uint32_t> reds;
  for (uint32_t pixel : picture.pixels) reds.push_back(Red(pixel));
  return reds;
}

// The reference blur of source at radius, checked exactly (fourth bytes 0 included).
void ExpectBlurOfReference(Form form, const TestPicture& source, double radius, int32_t sourcePad = 0,
                           int32_t outputPad = 0) {
  const TestPicture before = RandomPicture(source.width, source.height, 99);
  const uint64_t requestsBefore = simhost::ScratchRequests();
  const BlurRun run = RunBlur(form, source, before, radius, sourcePad, outputPad);
  EXPECT_EQ(run.output.pixels, ReferenceBlur(source, TruncateRadius(radius)).pixels);
  EXPECT_TRUE(run.sourceBytesUnchanged);
  EXPECT_TRUE(run.untouchedOutsidePixels);
  EXPECT_EQ(simhost::ScratchRequests() - requestsBefore, 5u);
  EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
}

using BoxBlur = EngineTest;

TEST_F(BoxBlur, MatchesTheReferenceOverTheTableOfSizesAndRadii) {
  for (Form form : kForms) {
    for (int32_t width : {1, 2, 3, 8, 9, 16, 17}) {
      for (int32_t height : {1, 2, 9}) {
        for (double radius : {1.0, 1.99, 2.0, 5.0, 40.0}) {
          SCOPED_TRACE(std::string(FormName(form)) + " " + std::to_string(width) + " x " + std::to_string(height) +
                       " radius " + std::to_string(radius));
          const TestPicture source = RandomPicture(width, height, static_cast<uint32_t>(width * 100 + height));
          ExpectBlurOfReference(form, source, radius);
        }
      }
    }
  }
}

TEST_F(BoxBlur, BitmapStridesLargerThanFourTimesTheWidth) {
  for (int32_t width : {1, 3, 8, 9, 17}) {
    SCOPED_TRACE(width);
    const TestPicture source = RandomPicture(width, 9, static_cast<uint32_t>(width));
    ExpectBlurOfReference(Form::Bitmap, source, 2.0, 12, 4);
    ExpectBlurOfReference(Form::Bitmap, source, 3.0, 4, 20);
    ExpectBlurOfReference(Form::Bitmap, source, 1.0, 3, 7);  // strides that are no multiple of 4
  }
}

TEST_F(BoxBlur, ThreeRedsAtRadiusOne) {
  for (Form form : kForms) {
    SCOPED_TRACE(FormName(form));
    const TestPicture source = RedRow({0, 0, 255});
    EXPECT_EQ(Reds(RunBlur(form, source, source, 1.0).output), (std::vector<uint32_t>{0, 85, 170}));
  }
}

TEST_F(BoxBlur, AWindowWiderThanThePictureRepeatsTheEdges) {
  for (Form form : kForms) {
    SCOPED_TRACE(FormName(form));
    const TestPicture source = RedRow({10, 200});
    // (101 × 10 + 100 × 200) / 201 and (100 × 10 + 101 × 200) / 201.
    EXPECT_EQ(Reds(RunBlur(form, source, source, 100.0).output), (std::vector<uint32_t>{104, 105}));
  }
}

TEST_F(BoxBlur, EachPassTruncates) {
  for (Form form : kForms) {
    SCOPED_TRACE(FormName(form));
    const TestPicture source{2, 2, {0u << 16, 0u << 16, 1u << 16, 2u << 16}};
    // Vertical averages of row 1 are 0 and 1; their horizontal averages are 0. One
    // 3 × 3 average would give 1 at the lower right.
    EXPECT_EQ(Reds(RunBlur(form, source, source, 1.0).output), (std::vector<uint32_t>{0, 0, 0, 0}));
  }
}

TEST_F(BoxBlur, OneColourStaysThatColourWithTheFourthByteZero) {
  for (Form form : kForms) {
    for (int32_t width : {1, 5, 17}) {
      for (double radius : {1.0, 4.0, 30.0}) {
        SCOPED_TRACE(std::string(FormName(form)) + " " + std::to_string(width) + " " + std::to_string(radius));
        const TestPicture source = UniformPicture(width, 6, 0xE17F3A05u);
        const TestPicture before = UniformPicture(width, 6, 0xFFFFFFFFu);
        EXPECT_EQ(RunBlur(form, source, before, radius).output.pixels, UniformPicture(width, 6, 0x007F3A05u).pixels);
      }
    }
  }
}

TEST_F(BoxBlur, AllChannelsAt255StayAt255) {
  for (Form form : kForms) {
    for (double radius : {1.0, 7.0, 1000.0}) {
      SCOPED_TRACE(std::string(FormName(form)) + " " + std::to_string(radius));
      const TestPicture source = UniformPicture(9, 4, 0xFFFFFFFFu);
      EXPECT_EQ(RunBlur(form, source, source, radius).output.pixels, UniformPicture(9, 4, 0x00FFFFFFu).pixels);
    }
  }
}

TEST_F(BoxBlur, OnePixelKeepsItsColour) {
  for (Form form : kForms) {
    SCOPED_TRACE(FormName(form));
    const TestPicture source{1, 1, {0x9A123456u}};
    for (double radius : {1.0, 2.5, 500.0}) {
      EXPECT_EQ(RunBlur(form, source, UniformPicture(1, 1, 0u), radius).output.pixels,
                std::vector<uint32_t>{0x00123456u});
    }
  }
}

TEST_F(BoxBlur, OnePixelWideIsOnlyAveragedVerticallyAndOneHighOnlyHorizontally) {
  for (Form form : kForms) {
    SCOPED_TRACE(FormName(form));
    const TestPicture column{1, 3, {0u, 0u, 255u << 16}};
    EXPECT_EQ(Reds(RunBlur(form, column, column, 1.0).output), (std::vector<uint32_t>{0, 85, 170}));
    const TestPicture row = RedRow({0, 0, 255});
    EXPECT_EQ(Reds(RunBlur(form, row, row, 1.0).output), (std::vector<uint32_t>{0, 85, 170}));
  }
}

TEST_F(BoxBlur, TheFourthByteHasNoInfluence) {
  for (Form form : kForms) {
    SCOPED_TRACE(FormName(form));
    TestPicture plain = RandomPicture(17, 9, 5);
    TestPicture garbage = plain;
    for (uint32_t& pixel : plain.pixels) pixel &= 0x00FFFFFFu;
    for (uint32_t& pixel : garbage.pixels) pixel |= 0xFF000000u;
    const BlurRun a = RunBlur(form, plain, UniformPicture(17, 9, 0u), 3.0);
    const BlurRun b = RunBlur(form, garbage, UniformPicture(17, 9, 0xFFFFFFFFu), 3.0);
    EXPECT_EQ(a.output.pixels, b.output.pixels);
    for (uint32_t pixel : b.output.pixels) EXPECT_EQ(pixel >> 24, 0u);
  }
}

TEST_F(BoxBlur, TheSourceIsUnchanged) {
  for (Form form : kForms) {
    SCOPED_TRACE(FormName(form));
    const TestPicture source = RandomPicture(16, 9, 77);
    const BlurRun run = RunBlur(form, source, UniformPicture(16, 9, 0u), 4.0, 8, 0);
    EXPECT_EQ(run.sourceAfter.pixels, source.pixels);
    EXPECT_TRUE(run.sourceBytesUnchanged);
  }
}

TEST_F(BoxBlur, RadiusOnePointNineNineBlursAsOneAndTwoUsesAWindowOfFive) {
  for (Form form : kForms) {
    SCOPED_TRACE(FormName(form));
    const TestPicture source = RandomPicture(9, 9, 3);
    const TestPicture before = UniformPicture(9, 9, 0u);
    EXPECT_EQ(RunBlur(form, source, before, 1.99).output.pixels, RunBlur(form, source, before, 1.0).output.pixels);
    const TestPicture spike = RedRow({0, 0, 0, 0, 250, 0, 0, 0, 0});
    EXPECT_EQ(Reds(RunBlur(form, spike, spike, 2.0).output), (std::vector<uint32_t>{0, 0, 50, 50, 50, 50, 50, 0, 0}));
  }
}

TEST_F(BoxBlur, BothFormsGiveTheSamePixels) {
  const TestPicture source = RandomPicture(17, 9, 11);
  const TestPicture before = UniformPicture(17, 9, 0u);
  EXPECT_EQ(RunBlur(Form::Bitmap, source, before, 3.0).output.pixels,
            RunBlur(Form::RowTable, source, before, 3.0).output.pixels);
}

TEST_F(BoxBlur, ARadiusBelowOneTouchesNothingAndAsksForNoMemory) {
  for (Form form : kForms) {
    for (double radius : {0.99, 0.0, -1.5, -1e300}) {
      SCOPED_TRACE(std::string(FormName(form)) + " " + std::to_string(radius));
      simhost::Reset();
      const TestPicture before = RandomPicture(4, 4, 8);
      EXPECT_EQ(RunBlur(form, RandomPicture(4, 4, 9), before, radius).output.pixels, before.pixels);
      EXPECT_EQ(simhost::ScratchRequests(), 0u);
    }
  }
}

}  // namespace
}  // namespace blurtest
