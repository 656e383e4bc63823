// Which picture form serves: the latches over several calls, hosts that answer
// row-table images or refuse the bitmap lock, new pictures of another depth,
// descriptions that must not be read through, and hosts lacking an entry.
#include <gtest/gtest.h>

#include <string>

#include "veilpix_fixture.h"

namespace veilpixtest {
namespace {

using simhost::PictureFault;
using simhost::PictureForm;

// Locks of type 7 asked of REALLockPictureDescription.
int BitmapLockRequests() {
  int requests = 0;
  for (const simhost::HostCall& call : simhost::CallsOf("REALLockPictureDescription")) {
    if (std::get<int64_t>(call.args[2]) == 7) ++requests;
  }
  return requests;
}

using HostForms = VeilpixProbeTest;

TEST_F(HostForms, ARowTableAnswerToTheBitmapLockMakesTheRowTableFormServeWithoutConversion) {
  UseForm(PictureForm::RowTable);
  const Receiver first = NewReceiver(7, 5);
  ExpectBlurred(Blur(first.picture, 2.0), first, 2);
  EXPECT_EQ(BitmapLockRequests(), 1);
  EXPECT_EQ(CallCount("newPicture"), 1);  // the output only: nothing was converted
  EXPECT_EQ(CallCount("REALGetPropValueInt"), 0);
  EXPECT_EQ(SourceLatch(), 2);
  EXPECT_EQ(OutputLatch(), 2);

  const Receiver second = NewReceiver(4, 9);
  ExpectBlurred(Blur(second.picture, 1.0), second, 1);
  EXPECT_EQ(BitmapLockRequests(), 1);  // the bitmap form is refused at once from then on
}

TEST_F(HostForms, ARefusedBitmapLockConvertsOnceThenTheRowTableFormServes) {
  simhost::PictureHostOptions options;
  options.form = PictureForm::RowTable;
  options.refuseTypedLock = true;
  simhost::SetPictureHostOptions(options);
  const Receiver first = NewReceiver(6, 6);
  HostObject result = Blur(first.picture, 3.0);
  ExpectBlurred(result, first, 3);
  // The copy was made, drawn, refused as a bitmap and dropped.
  EXPECT_EQ(CallCount("newPicture"), 2);
  EXPECT_EQ(CallCount("DrawPicture"), 1);
  EXPECT_EQ(simhost::LiveObjects(), (std::vector<const void*>{first.picture, result}));
  EXPECT_EQ(SourceLatch(), 2);
  EXPECT_EQ(OutputLatch(), 2);

  const Receiver second = NewReceiver(5, 2);
  const int locksBefore = CallCount("REALLockPictureDescription");
  ExpectBlurred(Blur(second.picture, 1.0), second, 1);
  EXPECT_EQ(CallCount("REALLockPictureDescription"), locksBefore);
  EXPECT_EQ(CallCount("newPicture"), 3);  // no conversion any more
}

TEST_F(HostForms, TwentyFourBitReceiversAreBlurredThroughA32BitCopyThatIsGoneAfterwards) {
  const Receiver receiver = NewReceiver(9, 7, 24);
  HostObject result = Blur(receiver.picture, 2.0);
  ExpectBlurred(result, receiver, 2);
  EXPECT_EQ(CallCount("newPicture"), 2);
  EXPECT_EQ(CallCount("DrawPicture"), 1);
  EXPECT_EQ(simhost::LiveObjects(), (std::vector<const void*>{receiver.picture, result}));
  EXPECT_EQ(SourceLatch(), 1);
}

TEST_F(HostForms, AfterABitmapSuccessTheRowTableFormIsRefusedAtOnce) {
  const Receiver first = NewReceiver(5, 5);
  ExpectBlurred(Blur(first.picture, 1.0), first, 1);
  EXPECT_EQ(SourceLatch(), 1);
  EXPECT_EQ(OutputLatch(), 1);
  // A receiver that cannot be locked as a bitmap, whose copy cannot be made.
  const Receiver second = NewReceiver(5, 5);
  simhost::SetPictureFault(second.picture, PictureFault::LockRefused);
  simhost::PictureHostOptions options;
  options.newPictureFailsFrom = 2;
  simhost::SetPictureHostOptions(options);
  EXPECT_EQ(Blur(second.picture, 1.0), nullptr);
  EXPECT_EQ(CallCount("lockPictureDescription"), 0);
  EXPECT_EQ(SourceLatch(), 1);
}

TEST_F(HostForms, NewPicturesOfAnotherDepthGiveNilYetKeepTheBitmapFormForOutputs) {
  simhost::PictureHostOptions options;
  options.newPictureDepth = 24;
  simhost::SetPictureHostOptions(options);
  const Receiver receiver = NewReceiver(4, 4);
  EXPECT_EQ(Blur(receiver.picture, 1.0), nullptr);
  EXPECT_EQ(CallCount("newPicture"), 1);
  EXPECT_EQ(CallCount("lockPictureDescription"), 0);
  EXPECT_EQ(SourceLatch(), 1);
  EXPECT_EQ(OutputLatch(), 1);
  EXPECT_EQ(simhost::LiveObjects(), std::vector<const void*>{receiver.picture});
}

// ---- Descriptions that must not be read through ----

enum class Outcome { Blurred, Nil };

struct FaultCase {
  const char* name;
  PictureForm form;
  PictureFault receiverFault;
  PictureFault newPictureFault;
  Outcome outcome;
  bool converted;       // the receiver was redrawn into a copy
  int32_t sourceLatch;  // after the call
  int32_t outputLatch;
  bool nativeOnly;      // a fault Windows' own bitmaps cannot show
};

class DescriptionFaults : public VeilpixProbeTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(DescriptionFaults, AreRefusedWithoutReadingThrough) {
  const FaultCase& c = GetParam();
#if defined(_WIN32)
  if (c.nativeOnly) GTEST_SKIP() << "GDI's bitmaps report their real stride";
#endif
  simhost::PictureHostOptions options;
  options.form = c.form;
  options.newPictureFault = c.newPictureFault;
  simhost::SetPictureHostOptions(options);
  const Receiver receiver = NewReceiver(6, 5);
  simhost::SetPictureFault(receiver.picture, c.receiverFault);
  HostObject result = Blur(receiver.picture, 2.0);
  if (c.outcome == Outcome::Blurred) {
    ExpectBlurred(result, receiver, 2);
  } else {
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(simhost::LiveObjects(), std::vector<const void*>{receiver.picture});
  }
  EXPECT_EQ(CallCount("REALGetPropValueInt") > 0, c.converted);
  EXPECT_EQ(SourceLatch(), c.sourceLatch);
  EXPECT_EQ(OutputLatch(), c.outputLatch);
  EXPECT_EQ(simhost::PicturePixels(receiver.picture), receiver.pixels.pixels);
}

constexpr PictureForm kBitmap = PictureForm::Bitmap;
constexpr PictureForm kRows = PictureForm::RowTable;
constexpr PictureFault kNone = PictureFault::None;

INSTANTIATE_TEST_SUITE_P(
    Faults, DescriptionFaults,
    ::testing::Values(
        // Receivers the bitmap form cannot take are converted.
        FaultCase{"BitmapWithoutBits", kBitmap, PictureFault::BitmapWithoutBits, kNone, Outcome::Blurred, true, 1, 1, false},
        FaultCase{"NoBitmapHandle", kBitmap, PictureFault::NoBitmapHandle, kNone, Outcome::Blurred, true, 1, 1, false},
        FaultCase{"ThirdForm", kBitmap, PictureFault::ThirdForm, kNone, Outcome::Blurred, true, 1, 1, false},
        FaultCase{"StrideTooSmall", kBitmap, PictureFault::StrideTooSmall, kNone, Outcome::Blurred, true, 1, 1, true},
        // New pictures the bitmap form cannot take are cleaned up.
        FaultCase{"OutputWithoutBits", kBitmap, kNone, PictureFault::BitmapWithoutBits, Outcome::Nil, false, 1, 1, false},
        FaultCase{"OutputWithoutHandle", kBitmap, kNone, PictureFault::NoBitmapHandle, Outcome::Nil, false, 1, 1, false},
        FaultCase{"OutputStrideTooSmall", kBitmap, kNone, PictureFault::StrideTooSmall, Outcome::Nil, false, 1, 1, true},
        FaultCase{"OutputBitmapOfAnotherSize", kBitmap, kNone, PictureFault::SizeDiffers, Outcome::Nil, false, 1, 1, false},
        FaultCase{"OutputInAThirdForm", kBitmap, kNone, PictureFault::ThirdForm, Outcome::Nil, false, 1, 0, false},
        // Row-table images that are not to be used.
        FaultCase{"NoImage", kRows, PictureFault::NoImage, kNone, Outcome::Nil, false, 2, 0, false},
        FaultCase{"ImageStateNonZero", kRows, PictureFault::ImageStateNonZero, kNone, Outcome::Nil, false, 2, 0, false},
        FaultCase{"ImageNotReady", kRows, PictureFault::ImageNotReady, kNone, Outcome::Nil, false, 2, 0, false},
        FaultCase{"NoRowTable", kRows, PictureFault::NoRowTable, kNone, Outcome::Nil, false, 2, 0, false},
        FaultCase{"MissingLastRow", kRows, PictureFault::MissingRow, kNone, Outcome::Nil, false, 2, 0, false},
        FaultCase{"DescriptionWiderThanImage", kRows, PictureFault::DescriptionWiderThanImage, kNone, Outcome::Nil, false, 2, 0, false},
        FaultCase{"DescriptionTallerThanImage", kRows, PictureFault::DescriptionTallerThanImage, kNone, Outcome::Nil, false, 2, 0, false},
        FaultCase{"OutputImageNotReady", kRows, kNone, PictureFault::ImageNotReady, Outcome::Nil, false, 2, 2, false},
        FaultCase{"OutputMissingLastRow", kRows, kNone, PictureFault::MissingRow, Outcome::Nil, false, 2, 2, false},
        FaultCase{"OutputDescriptionTallerThanImage", kRows, kNone, PictureFault::DescriptionTallerThanImage, Outcome::Nil, false, 2, 2, false},
        FaultCase{"OutputImageOfAnotherSize", kRows, kNone, PictureFault::SizeDiffers, Outcome::Nil, false, 2, 2, false}),
    [](const ::testing::TestParamInfo<FaultCase>& test) { return std::string(test.param.name); });

// ---- Hosts lacking an entry ----

enum class Result { Blurred, Nil, Undrawn };

struct MissingEntryCase {
  const char* entry;
  PictureForm form;
  int32_t depth;
  Result result;
};

class MissingEntry : public VeilpixTest, public ::testing::WithParamInterface<MissingEntryCase> {};

TEST_P(MissingEntry, GivesTheFallbackOfItsForm) {
  const MissingEntryCase& c = GetParam();
  UseForm(c.form);
  simhost::SetEntryAbsent(c.entry);
  const Receiver receiver = NewReceiver(5, 4, c.depth);
  HostObject result = Blur(receiver.picture, 1.0);
  switch (c.result) {
    case Result::Blurred:
      ExpectBlurred(result, receiver, 1);
      break;
    case Result::Nil:
      EXPECT_EQ(result, nullptr);
      break;
    case Result::Undrawn:  // a copy nothing could draw into, blurred
      ASSERT_NE(result, nullptr);
      EXPECT_EQ(simhost::PicturePixels(result), std::vector<uint32_t>(20, 0u));
      break;
  }
  EXPECT_EQ(simhost::PicturePixels(receiver.picture), receiver.pixels.pixels);
}

TEST_F(VeilpixTest, WithoutREALLockObjectARadiusBelowOneGivesNilAndTheReceiverKeepsItsReference) {
  simhost::SetEntryAbsent("REALLockObject");
  const Receiver receiver = NewReceiver(3, 2);
  EXPECT_EQ(Blur(receiver.picture, 0.5), nullptr);
  EXPECT_EQ(simhost::References(receiver.picture), 1);
  EXPECT_EQ(CallCount("REALUnlockObject"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, MissingEntry,
    ::testing::Values(MissingEntryCase{"REALLockPictureDescription", PictureForm::Bitmap, 32, Result::Nil},
                      MissingEntryCase{"REALLockPictureDescription", PictureForm::RowTable, 32, Result::Blurred},
                      MissingEntryCase{"newPicture", PictureForm::Bitmap, 32, Result::Nil},
                      MissingEntryCase{"newPicture", PictureForm::RowTable, 32, Result::Nil},
                      MissingEntryCase{"REALGetPropValueInt", PictureForm::Bitmap, 24, Result::Nil},
                      MissingEntryCase{"pluginPictureGraphicsGetter", PictureForm::Bitmap, 24, Result::Undrawn},
                      MissingEntryCase{"REALLoadObjectMethod", PictureForm::Bitmap, 24, Result::Blurred},
                      MissingEntryCase{"RuntimeGraphicsDrawPicture", PictureForm::Bitmap, 24, Result::Blurred},
                      // No reference taken on the source, so none dropped: the
                      // receiver keeps its one, a converted copy lives until the
                      // unlock (the ledger checks both).
                      MissingEntryCase{"REALLockObject", PictureForm::Bitmap, 32, Result::Blurred},
                      MissingEntryCase{"REALLockObject", PictureForm::RowTable, 32, Result::Blurred},
                      MissingEntryCase{"REALLockObject", PictureForm::Bitmap, 24, Result::Blurred},
                      // No lock taken, so no unlock given (the ledger checks).
                      MissingEntryCase{"lockPictureDescription", PictureForm::RowTable, 32, Result::Nil}),
    [](const ::testing::TestParamInfo<MissingEntryCase>& test) {
      return std::string(test.param.entry) + FormName(test.param.form) + (test.param.depth == 24 ? "24Bits" : "");
    });

}  // namespace
}  // namespace veilpixtest
