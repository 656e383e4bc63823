// Veilpix end to end: loading and registering, and BlurKWZ in each form a host
// keeps pictures in, with conversion by each drawing route, a radius below 1, and
// a second call once the first has settled the form.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../support/reference_blur.h"
#include "fault_runs.h"
#include "simhost/pictures.h"
#include "simhost/scratch_memory.h"

namespace faulttest {
namespace {

using simhost::PictureForm;
using simhost::PictureHostOptions;
using testsupport::ReferenceBlur;
using testsupport::TestPicture;

using BlurFunction = HostObject (*)(HostObject receiver, double radius);

constexpr char kBlurDeclaration[] = "BlurKWZ(Radius as double) as picture";

void VeilpixLoads(ScenarioRun& run) {
  run.Start();
  const std::vector<int32_t> announced = run.Touches("RegisterPluginVersion") ? std::vector<int32_t>{}
                                                                              : std::vector<int32_t>{9};
  EXPECT_EQ(simhost::AnnouncedVersions(), announced);
  const simhost::Registration* extension = simhost::FindRegistration("Picture");
  if (run.Touches("PluginRegisterClassExtension")) {
    EXPECT_TRUE(simhost::Registrations().empty());
    return;
  }
  ASSERT_NE(extension, nullptr);
  EXPECT_EQ(simhost::Registrations().size(), 1u);
  // Without the host's version the flags stay as stored.
  const uint32_t flags = run.Touches("REALGetRBVersion") ? 0x40000u : 0x40004u;
  EXPECT_EQ(extension->flags, flags);
  ASSERT_EQ(extension->methods.size(), 1u);
  EXPECT_EQ(extension->methods[0].declaration, kBlurDeclaration);
  EXPECT_EQ(extension->methods[0].flags, flags);
}

// ---- Blurring ----

struct Receiver {
  HostObject picture = nullptr;
  TestPicture pixels;
};

Receiver NewReceiver(ScenarioRun& run, int32_t width, int32_t height, int32_t depth, uint32_t seed) {
  Receiver receiver;
  receiver.picture = run.Own(simhost::CreatePicture(width, height, depth));
  receiver.pixels = testsupport::RandomTestPicture(width, height, depth, seed);
  simhost::SetPicturePixels(receiver.picture, receiver.pixels.pixels);
  return receiver;
}

// What a clean run of the scenario gives: the blurred receiver, or (where nothing
// can draw the converted copy) the copy as newPicture gave it, blurred: zeros.
enum class CleanResult { Blurred, Undrawn };

// One call of BlurKWZ as the host makes it, and the result checked against what
// the rules allow: under no fault exactly the clean result; under a scratch
// shortage a new picture, blurred or as newPicture gave it; under any other fault
// also nil. A radius below 1 gives the receiver with a reference more.
void BlurOnce(ScenarioRun& run, const Receiver& receiver, double radius, CleanResult clean) {
  const simhost::Registration* extension = simhost::FindRegistration("Picture");
  if (extension == nullptr || extension->methods.empty()) {
    EXPECT_TRUE(run.Touches("PluginRegisterClassExtension")) << "no method registered";
    return;
  }
  const auto blur = reinterpret_cast<BlurFunction>(extension->methods[0].function);
  HostObject result = blur(receiver.picture, radius);
  const int32_t r = static_cast<int32_t>(radius);
  EXPECT_EQ(simhost::PicturePixels(receiver.picture), receiver.pixels.pixels) << "the receiver was changed";
  if (r < 1) {
    // Without REALLockObject the receiver would reach the host without the
    // reference that comes with a result: nil instead.
    if (run.Touches("REALLockObject")) {
      EXPECT_EQ(result, nullptr);
      return;
    }
    EXPECT_EQ(result, receiver.picture);
    if (result == receiver.picture) {
      EXPECT_EQ(simhost::References(receiver.picture), 2);
      run.Own(result);
    }
    return;
  }
  if (result == nullptr) {
    EXPECT_NE(run.fault().kind, FaultKind::None) << "nil from a willing host";
    EXPECT_FALSE(run.fault().TouchesScratch()) << "nil for want of scratch memory";
    return;
  }
  run.Own(result);
  ASSERT_NE(result, receiver.picture);
  ASSERT_TRUE(simhost::IsPicture(result));
  EXPECT_EQ(simhost::References(result), 1) << "the result's one reference is the host's";
  EXPECT_EQ(simhost::PictureWidthOf(result), receiver.pixels.width);
  EXPECT_EQ(simhost::PictureHeightOf(result), receiver.pixels.height);
  EXPECT_EQ(simhost::PictureDepthOf(result), 32);
  const std::vector<uint32_t> pixels = simhost::PicturePixels(result);
  const std::vector<uint32_t> blurred = ReferenceBlur(receiver.pixels, r).pixels;
  const std::vector<uint32_t> undrawn(receiver.pixels.pixels.size(), 0u);
  if (run.fault().kind == FaultKind::None) {
    EXPECT_EQ(pixels, clean == CleanResult::Blurred ? blurred : undrawn);
  } else {
    EXPECT_TRUE(pixels == blurred || pixels == undrawn) << "neither blurred nor as newPicture gave it";
  }
}

void SetOptions(void (*change)(PictureHostOptions&)) {
  PictureHostOptions options;
  change(options);
  simhost::SetPictureHostOptions(options);
}

void BitmapHost() {}
void RowTableHost() {
  SetOptions([](PictureHostOptions& o) { o.form = PictureForm::RowTable; });
}
void RowTableHostRefusingTypedLocks() {
  SetOptions([](PictureHostOptions& o) {
    o.form = PictureForm::RowTable;
    o.refuseTypedLock = true;
  });
}
void BitmapHostWithoutDrawPictureMethod() {
  SetOptions([](PictureHostOptions& o) { o.offerDrawPictureMethod = false; });
}
void BitmapHostWithoutDrawing() {
  SetOptions([](PictureHostOptions& o) {
    o.offerDrawPictureMethod = false;
    o.offerRuntimeGraphicsDrawPicture = false;
  });
}

void BlurThirtyTwoBits(ScenarioRun& run) {
  run.Start();
  BlurOnce(run, NewReceiver(run, 5, 4, 32, 1), 2.0, CleanResult::Blurred);
}

void BlurTwice(ScenarioRun& run) {
  run.Start();
  BlurOnce(run, NewReceiver(run, 4, 3, 32, 2), 1.0, CleanResult::Blurred);
  BlurOnce(run, NewReceiver(run, 3, 5, 32, 3), 1.5, CleanResult::Blurred);
}

void BlurTwentyFourBits(ScenarioRun& run) {
  run.Start();
  BlurOnce(run, NewReceiver(run, 4, 3, 24, 4), 1.0, CleanResult::Blurred);
}

void BlurTwentyFourBitsUndrawn(ScenarioRun& run) {
  run.Start();
  BlurOnce(run, NewReceiver(run, 4, 3, 24, 5), 1.0, CleanResult::Undrawn);
}

void RadiusBelowOne(ScenarioRun& run) {
  run.Start();
  BlurOnce(run, NewReceiver(run, 3, 3, 32, 6), 0.5, CleanResult::Blurred);
}

const std::vector<std::string> kBlurCalls = {"newPicture"};
const std::vector<std::string> kConversionCalls = {"newPicture", "pluginPictureGraphicsGetter",
                                                   "REALLoadObjectMethod"};

}  // namespace

const std::vector<Scenario>& VeilpixScenarios() {
  static const std::vector<Scenario> scenarios = {
      {"VeilpixLoads", "Veilpix", nullptr, &VeilpixLoads, {}, 0},
      {"BlurOnBitmapHost", "Veilpix", &BitmapHost, &BlurThirtyTwoBits, kBlurCalls, 5},
      {"BlurTwiceOnBitmapHost", "Veilpix", &BitmapHost, &BlurTwice, kBlurCalls, 10},
      {"BlurOnRowTableHost", "Veilpix", &RowTableHost, &BlurThirtyTwoBits, kBlurCalls, 5},
      {"BlurTwiceOnRowTableHost", "Veilpix", &RowTableHost, &BlurTwice, kBlurCalls, 10},
      {"BlurWhereTypedLocksAreRefused", "Veilpix", &RowTableHostRefusingTypedLocks, &BlurThirtyTwoBits,
       kConversionCalls, 5},
      {"ConvertByDrawPictureMethod", "Veilpix", &BitmapHost, &BlurTwentyFourBits, kConversionCalls, 5},
      {"ConvertByRuntimeDrawing", "Veilpix", &BitmapHostWithoutDrawPictureMethod, &BlurTwentyFourBits,
       kConversionCalls, 5},
      {"ConvertWithoutDrawing", "Veilpix", &BitmapHostWithoutDrawing, &BlurTwentyFourBitsUndrawn,
       {"newPicture", "pluginPictureGraphicsGetter"}, 5},
      {"RadiusBelowOne", "Veilpix", &BitmapHost, &RadiusBelowOne, {}, 0},
  };
  return scenarios;
}

const std::vector<std::string>& VeilpixEntries() {
  static const std::vector<std::string> entries = {
      "REALLockObject",       "REALUnlockObject",           "REALLockPictureDescription",
      "lockPictureDescription", "unlockPictureDescription", "newPicture",
      "pluginPictureGraphicsGetter", "REALLoadObjectMethod", "REALGetPropValueInt",
      "REALPictureClearCache", "PluginRegisterClassExtension", "RegisterPluginVersion",
      "REALGetRBVersion",     "RuntimeGraphicsDrawPicture"};
  return entries;
}

}  // namespace faulttest
