// Conversion by drawing: each drawing route in its order, the conversion's own
// edge cases, and the row copy with what it refuses.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "veilpix_fixture.h"

namespace veilpixtest {
namespace {

using simhost::PictureFault;
using simhost::PictureForm;

struct RouteCase {
  const char* name;
  bool offerMethod;
  bool offerRuntime;
  int methodDraws;   // per conversion
  int runtimeDraws;  // per conversion
  bool drawn;
};

class DrawingRoutes : public VeilpixTest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(DrawingRoutes, AreTakenInTheirOrderOnEveryConversion) {
  const RouteCase& c = GetParam();
  simhost::PictureHostOptions options;
  options.offerDrawPictureMethod = c.offerMethod;
  options.offerRuntimeGraphicsDrawPicture = c.offerRuntime;
  simhost::SetPictureHostOptions(options);
  for (int conversion = 1; conversion <= 2; ++conversion) {
    SCOPED_TRACE(conversion);
    const Receiver receiver = NewReceiver(6, 4, 24, static_cast<uint32_t>(conversion));
    HostObject result = Blur(receiver.picture, 1.0);
    if (c.drawn) {
      ExpectBlurred(result, receiver, 1);
    } else {
      ASSERT_NE(result, nullptr);
      EXPECT_EQ(simhost::PicturePixels(result), std::vector<uint32_t>(24, 0u));
    }
    EXPECT_EQ(CallCount("REALLoadObjectMethod"), conversion);
    EXPECT_EQ(CallCount("DrawPicture"), c.methodDraws * conversion);
    EXPECT_EQ(CallCount("RuntimeGraphicsDrawPicture"), c.runtimeDraws * conversion);
    // RuntimeGraphicsDrawPicture is asked of the host anew on every conversion.
    EXPECT_EQ(simhost::LookupCount("RuntimeGraphicsDrawPicture"), c.offerMethod ? 0 : conversion);
    for (const char* entry : {"DrawPicture", "RuntimeGraphicsDrawPicture"}) {
      for (const simhost::HostCall& call : simhost::CallsOf(entry)) {
        ASSERT_EQ(call.args.size(), 10u);
        EXPECT_EQ(std::get<const void*>(call.args[0]) != nullptr, true);
        const std::vector<int64_t> rectangles = {0, 0, 6, 4, 0, 0, 6, 4};
        for (size_t i = 0; i < rectangles.size(); ++i) EXPECT_EQ(std::get<int64_t>(call.args[i + 2]), rectangles[i]);
      }
    }
    // Without a drawing function the row copy was tried: a bitmap host answers
    // its type-10 request with a bitmap, which it refuses.
    int rowCopyLocks = 0;
    for (const simhost::HostCall& call : simhost::CallsOf("REALLockPictureDescription")) {
      if (std::get<int64_t>(call.args[2]) == 10) ++rowCopyLocks;
    }
    EXPECT_EQ(rowCopyLocks, c.drawn ? 0 : 2 * conversion);
  }
}

INSTANTIATE_TEST_SUITE_P(Routes, DrawingRoutes,
                         ::testing::Values(RouteCase{"DrawPictureMethod", true, true, 1, 0, true},
                                           RouteCase{"RuntimeGraphicsDrawPicture", false, true, 0, 1, true},
                                           RouteCase{"RowCopy", false, false, 0, 0, false}),
                         [](const ::testing::TestParamInfo<RouteCase>& test) { return std::string(test.param.name); });

using Conversion = VeilpixProbeTest;

TEST_F(Conversion, GivesNilWithoutANewPictureForNullOrSizelessPictures) {
  const auto convert = Hook<ProbeConvertFunction>("ProbeConvertTo32BitPicture");
  Start();
  EXPECT_EQ(convert(nullptr), nullptr);
  HostObject empty = Own(simhost::CreateEmptyPicture(0, 3, 24));
  EXPECT_EQ(convert(empty), nullptr);
  EXPECT_EQ(CallCount("newPicture"), 0);
}

TEST_F(Conversion, GivesNilWithoutANewPictureWhenTheSizeCannotBeRead) {
  const auto convert = Hook<ProbeConvertFunction>("ProbeConvertTo32BitPicture");
  Start();
  simhost::SetEntryAbsent("REALGetPropValueInt");
  HostObject picture = Own(simhost::CreatePicture(3, 3, 24));
  EXPECT_EQ(convert(picture), nullptr);
  EXPECT_EQ(CallCount("newPicture"), 0);
}

TEST_F(Conversion, DrawsIntoANew32BitPictureOfTheSameSize) {
  const auto convert = Hook<ProbeConvertFunction>("ProbeConvertTo32BitPicture");
  Start();
  const Receiver receiver = NewReceiver(7, 3, 24);
  HostObject copy = Own(convert(receiver.picture));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(simhost::References(copy), 1);
  EXPECT_EQ(simhost::PictureDepthOf(copy), 32);
  std::vector<uint32_t> colours = simhost::PicturePixels(copy);
  for (uint32_t& pixel : colours) pixel &= 0x00FFFFFFu;
  EXPECT_EQ(colours, receiver.pixels.pixels);
}

TEST_F(Conversion, ReturnsTheCopyUndrawnWithoutAGraphicsObject) {
  const auto convert = Hook<ProbeConvertFunction>("ProbeConvertTo32BitPicture");
  Start();
  simhost::SetEntryAbsent("pluginPictureGraphicsGetter");
  const Receiver receiver = NewReceiver(4, 2, 24);
  HostObject copy = Own(convert(receiver.picture));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(simhost::PictureWidthOf(copy), 4);
  EXPECT_EQ(simhost::PictureHeightOf(copy), 2);
  EXPECT_EQ(simhost::PicturePixels(copy), std::vector<uint32_t>(8, 0u));
  EXPECT_EQ(CallCount("DrawPicture"), 0);
}

// ---- The row copy ----

class RowCopy : public VeilpixProbeTest {
 protected:
  void SetUp() override {
    VeilpixProbeTest::SetUp();
    UseForm(PictureForm::RowTable);
    Start();
  }
  int32_t Copy(HostObject destination, HostObject source, const ProbeRectangles& r) {
    return Hook<ProbeCopyRowTableImageFunction>("ProbeCopyRowTableImage")(destination, source, &r);
  }
  // The host forgets what it cached of a picture the test saw written directly.
  static void ClearCache(HostObject picture) {
    reinterpret_cast<void (*)(HostObject)>(simhost::DefaultEntryAddress("REALPictureClearCache"))(picture);
  }
};

TEST_F(RowCopy, CopiesEveryRowOfTwoImagesOfTheSameSize) {
  const Receiver source = NewReceiver(5, 4);
  HostObject destination = Own(simhost::CreatePicture(5, 4, 32));
  EXPECT_EQ(Copy(destination, source.picture, {0, 0, 5, 4, 0, 0, 5, 4}), 1);
  EXPECT_EQ(simhost::PicturePixels(destination), source.pixels.pixels);
  EXPECT_EQ(CallCount("unlockPictureDescription"), 2);
  EXPECT_TRUE(simhost::PictureCacheStale(destination));
  ClearCache(destination);
}

TEST_F(RowCopy, RefusesAnythingButAWholeUnscaledCopyAtTheOriginWithoutLocking) {
  const Receiver source = NewReceiver(10, 10);
  HostObject destination = Own(simhost::CreatePicture(10, 10, 32));
  const ProbeRectangles refused[] = {{0, 0, 10, 10, 0, 0, 20, 10}, {0, 0, 10, 10, 0, 0, 10, 20},
                                     {1, 0, 10, 10, 0, 0, 10, 10}, {0, 1, 10, 10, 0, 0, 10, 10},
                                     {0, 0, 10, 10, 1, 0, 10, 10}, {0, 0, 10, 10, 0, 1, 10, 10}};
  for (const ProbeRectangles& r : refused) EXPECT_EQ(Copy(destination, source.picture, r), 0);
  EXPECT_EQ(Copy(nullptr, source.picture, {0, 0, 10, 10, 0, 0, 10, 10}), 0);
  EXPECT_EQ(Copy(destination, nullptr, {0, 0, 10, 10, 0, 0, 10, 10}), 0);
  EXPECT_EQ(CallCount("REALLockPictureDescription"), 0);
  EXPECT_EQ(simhost::PicturePixels(destination), std::vector<uint32_t>(100, 0u));
}

struct RefusalCase {
  const char* name;
  PictureFault sourceFault;
  PictureFault destinationFault;
  int32_t destinationHeight;
  PictureForm form;
};

class RowCopyRefusals : public RowCopy, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RowCopyRefusals, LeaveTheDestinationUntouchedAndBothUnlocked) {
  const RefusalCase& c = GetParam();
  UseForm(c.form);
  const Receiver source = NewReceiver(4, 3);
  HostObject destination = Own(simhost::CreatePicture(4, c.destinationHeight, 32));
  simhost::SetPictureFault(source.picture, c.sourceFault);
  simhost::SetPictureFault(destination, c.destinationFault);
  EXPECT_EQ(Copy(destination, source.picture, {0, 0, 4, 3, 0, 0, 4, 3}), 0);
  EXPECT_EQ(simhost::PicturePixels(destination), std::vector<uint32_t>(static_cast<size_t>(4 * c.destinationHeight), 0u));
  EXPECT_EQ(simhost::OpenDescriptionLocks(source.picture), 0);
  EXPECT_EQ(simhost::OpenDescriptionLocks(destination), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RowCopyRefusals,
    ::testing::Values(
        RefusalCase{"SourceLockRefused", PictureFault::LockRefused, PictureFault::None, 3, PictureForm::RowTable},
        RefusalCase{"DestinationLockRefused", PictureFault::None, PictureFault::LockRefused, 3, PictureForm::RowTable},
        RefusalCase{"HeightsDiffer", PictureFault::None, PictureFault::None, 2, PictureForm::RowTable},
        RefusalCase{"BitmapHost", PictureFault::None, PictureFault::None, 3, PictureForm::Bitmap},
        RefusalCase{"SourceInAThirdForm", PictureFault::ThirdForm, PictureFault::None, 3, PictureForm::RowTable},
        RefusalCase{"SourceWithoutImage", PictureFault::NoImage, PictureFault::None, 3, PictureForm::RowTable},
        RefusalCase{"DestinationWithoutImage", PictureFault::None, PictureFault::NoImage, 3, PictureForm::RowTable},
        RefusalCase{"SourceStateNonZero", PictureFault::ImageStateNonZero, PictureFault::None, 3, PictureForm::RowTable},
        RefusalCase{"SourceWithoutRowTable", PictureFault::NoRowTable, PictureFault::None, 3, PictureForm::RowTable},
        RefusalCase{"SourceMissingARow", PictureFault::MissingRow, PictureFault::None, 3, PictureForm::RowTable},
        RefusalCase{"DestinationMissingARow", PictureFault::None, PictureFault::MissingRow, 3, PictureForm::RowTable}),
    [](const ::testing::TestParamInfo<RefusalCase>& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace veilpixtest
