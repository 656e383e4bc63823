// BlurKWZ end to end in both picture forms: results against the reference blur,
// the radii that return the receiver, receivers that give nil, and a radius too
// large for the engine's working memory.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "veilpix_fixture.h"

namespace veilpixtest {
namespace {

class BlurInForm : public VeilpixTest, public ::testing::WithParamInterface<simhost::PictureForm> {
 protected:
  void SetUp() override {
    VeilpixTest::SetUp();
    UseForm(GetParam());
  }
};

TEST_P(BlurInForm, MatchesTheReferenceOverATableOfSizesAndRadii) {
  const int32_t sizes[][2] = {{1, 1}, {2, 3}, {3, 1}, {1, 7}, {8, 8}, {9, 5}, {17, 3}, {33, 21}};
  const double radii[] = {1.0, 1.9, 2.0, 3.0, 7.5, 40.0};
  for (const auto& size : sizes) {
    for (double radius : radii) {
      SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]) + " radius " + std::to_string(radius));
      const Receiver receiver = NewReceiver(size[0], size[1]);
      HostObject result = Blur(receiver.picture, radius);
      ExpectBlurred(result, receiver, static_cast<int32_t>(radius));
      EXPECT_FALSE(simhost::PictureCacheStale(result));
      Drop(result);
    }
  }
}

TEST_P(BlurInForm, RadiusOnePointNineBlursAsOneAndTwoBlursOverFive) {
  const Receiver receiver = NewReceiver(11, 9);
  HostObject one = Blur(receiver.picture, 1.0);
  HostObject onePointNine = Blur(receiver.picture, 1.9);
  HostObject two = Blur(receiver.picture, 2.0);
  ASSERT_NE(one, nullptr);
  ASSERT_NE(onePointNine, nullptr);
  EXPECT_EQ(simhost::PicturePixels(onePointNine), simhost::PicturePixels(one));
  ExpectBlurred(one, receiver, 1);
  ExpectBlurred(two, receiver, 2);
  EXPECT_NE(simhost::PicturePixels(two), simhost::PicturePixels(one));
}

TEST_P(BlurInForm, RadiiBelowOneReturnTheReceiverWithOneMoreReference) {
  const double radii[] = {0.9, 0.0, -0.0, -3.0, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                          2147483647.5, 1e300};
  const Receiver receiver = NewReceiver(4, 3);
  int references = 1;
  for (double radius : radii) {
    SCOPED_TRACE(radius);
    EXPECT_EQ(Blur(receiver.picture, radius), receiver.picture);
    EXPECT_EQ(simhost::References(receiver.picture), ++references);
  }
  EXPECT_EQ(CallCount("newPicture"), 0);
  EXPECT_EQ(CallCount("REALLockPictureDescription") + CallCount("lockPictureDescription"), 0);
  EXPECT_EQ(simhost::PicturePixels(receiver.picture), receiver.pixels.pixels);
}

TEST_P(BlurInForm, NullReceiversGiveNilAndTakeNoReference) {
  EXPECT_EQ(Blur(nullptr, 0.9), nullptr);
  EXPECT_EQ(Blur(nullptr, 5.0), nullptr);
  EXPECT_EQ(CallCount("REALLockObject"), 0);
  EXPECT_EQ(CallCount("newPicture"), 0);
}

TEST_P(BlurInForm, ZeroSizedReceiversGiveNilWithoutANewPicture) {
  for (const auto& size : {std::pair<int32_t, int32_t>{0, 4}, {4, 0}, {0, 0}}) {
    SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
    HostObject receiver = Own(simhost::CreateEmptyPicture(size.first, size.second, 32));
    ASSERT_NE(receiver, nullptr);
    EXPECT_EQ(Blur(receiver, 5.0), nullptr);
    EXPECT_EQ(simhost::References(receiver), 1);
  }
  EXPECT_EQ(CallCount("newPicture"), 0);
}

TEST_P(BlurInForm, ARadiusTooLargeForTheEnginesMemoryGivesANewUnblurredPicture) {
  const Receiver receiver = NewReceiver(6, 5);
  HostObject result = Blur(receiver.picture, 100000000.0);
  ASSERT_NE(result, nullptr);
  EXPECT_NE(result, receiver.picture);
  EXPECT_EQ(simhost::PictureWidthOf(result), 6);
  EXPECT_EQ(simhost::PictureHeightOf(result), 5);
  EXPECT_EQ(simhost::PictureDepthOf(result), 32);
  EXPECT_EQ(simhost::PicturePixels(result), std::vector<uint32_t>(30, 0u));  // as newPicture made it
  EXPECT_EQ(simhost::PicturePixels(receiver.picture), receiver.pixels.pixels);
  EXPECT_EQ(simhost::LiveScratchBlocks(), 0);
}

INSTANTIATE_TEST_SUITE_P(Forms, BlurInForm,
                         ::testing::Values(simhost::PictureForm::Bitmap, simhost::PictureForm::RowTable),
                         [](const ::testing::TestParamInfo<simhost::PictureForm>& test) {
                           return std::string(FormName(test.param));
                         });

}  // namespace
}  // namespace veilpixtest
