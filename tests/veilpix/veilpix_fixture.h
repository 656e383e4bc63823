// The blur method's tests: a fresh Veilpix (or VeilpixProbe) in a freshly reset
// host, scratch memory counted, the method called as the host calls it, and the
// ledger checked at the end of every test once the test has dropped what it owns.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../probe/veilpix_probe_abi.h"
#include "../support/fresh_plugin.h"
#include "../support/reference_blur.h"
#include "simhost/host.h"
#include "simhost/pictures.h"
#include "simhost/scratch_memory.h"
#if !defined(_WIN32)
#include "win32_standin/control.h"
#endif

namespace veilpixtest {

using testsupport::ReferenceBlur;
using testsupport::TestPicture;

using BlurFunction = HostObject (*)(HostObject receiver, double radius);

constexpr char kBlurDeclaration[] = "BlurKWZ(Radius as double) as picture";

inline const char* FormName(simhost::PictureForm form) {
  return form == simhost::PictureForm::Bitmap ? "Bitmap" : "RowTable";
}

// A host picture of random pixels and what it holds.
struct Receiver {
  HostObject picture = nullptr;
  TestPicture pixels;
};

class VeilpixTest : public ::testing::Test {
 protected:
  // The plug-in each test loads; VeilpixProbe for tests that read its latches.
  virtual const char* PluginName() const { return "Veilpix"; }

  void SetUp() override {
#if !defined(_WIN32)
    win32_standin::ResetOsVersion();
#endif
    plugin_ = std::make_unique<testsupport::FreshPlugin>(PluginName());
    ASSERT_TRUE(plugin_->loaded());
    ASSERT_TRUE(simhost::InterceptScratchMemory(plugin_->module()));
  }

  void TearDown() override {
    for (HostObject object : owned_) {
      if (object != nullptr) simhost::Release(object);
    }
    simhost::ClearScratchFailure();
    const std::vector<std::string> report = simhost::LedgerReport();
    EXPECT_TRUE(report.empty()) << ::testing::PrintToString(report);
    plugin_.reset();
  }

  // REALPluginMain, then the method function registered on the "Picture" extension.
  void Start() {
    plugin_->Start();
    started_ = true;
    const simhost::Registration* extension = simhost::FindRegistration("Picture");
    ASSERT_NE(extension, nullptr);
    ASSERT_EQ(extension->methods.size(), 1u);
    ASSERT_EQ(extension->methods[0].declaration, kBlurDeclaration);
    blur_ = reinterpret_cast<BlurFunction>(extension->methods[0].function);
  }

  // The method as the host calls it: the receiver, then the radius as a double.
  // The result is the test's to drop (it is dropped at the end of the test).
  HostObject Blur(HostObject receiver, double radius) {
    if (!started_) Start();
    if (blur_ == nullptr) {
      ADD_FAILURE() << "no method function";
      return nullptr;
    }
    return Own(blur_(receiver, radius));
  }

  // Drops one reference of object at the end of the test, before the ledger check.
  HostObject Own(HostObject object) {
    owned_.push_back(object);
    return object;
  }
  // Drops one reference now (and not at the end).
  void Drop(HostObject object) {
    for (auto it = owned_.begin(); it != owned_.end(); ++it) {
      if (*it == object) {
        owned_.erase(it);
        simhost::Release(object);
        return;
      }
    }
    ADD_FAILURE() << "dropping an object the test does not own";
  }

  Receiver NewReceiver(int32_t width, int32_t height, int32_t depth = 32, uint32_t seed = 7) {
    Receiver receiver;
    receiver.picture = Own(simhost::CreatePicture(width, height, depth));
    receiver.pixels =
        testsupport::RandomTestPicture(width, height, depth, seed + static_cast<uint32_t>(width * 131 + height));
    simhost::SetPicturePixels(receiver.picture, receiver.pixels.pixels);
    return receiver;
  }

  // result is a new 32-bit picture of the receiver's size holding the reference
  // blur at r, and the receiver is unchanged.
  static void ExpectBlurred(HostObject result, const Receiver& receiver, int32_t r) {
    ASSERT_NE(result, nullptr);
    EXPECT_NE(result, receiver.picture);
    EXPECT_EQ(simhost::PictureWidthOf(result), receiver.pixels.width);
    EXPECT_EQ(simhost::PictureHeightOf(result), receiver.pixels.height);
    EXPECT_EQ(simhost::PictureDepthOf(result), 32);
    EXPECT_EQ(simhost::References(result), 1);
    EXPECT_EQ(simhost::PicturePixels(result), ReferenceBlur(receiver.pixels, r).pixels);
    EXPECT_EQ(simhost::PicturePixels(receiver.picture), receiver.pixels.pixels);
  }

  // A hook of the loaded plug-in (VeilpixProbe).
  template <typename Function>
  Function Hook(const char* name) const {
    return plugin_->Symbol<Function>(name);
  }
  int32_t SourceLatch() const { return Hook<ProbeLatchFunction>("ProbeSourceLatch")(); }
  int32_t OutputLatch() const { return Hook<ProbeLatchFunction>("ProbeOutputLatch")(); }

  static void UseForm(simhost::PictureForm form) {
    simhost::PictureHostOptions options = simhost::CurrentPictureHostOptions();
    options.form = form;
    simhost::SetPictureHostOptions(options);
  }

  static int CallCount(const std::string& entry) { return static_cast<int>(simhost::CallsOf(entry).size()); }

 private:
  std::unique_ptr<testsupport::FreshPlugin> plugin_;
  std::vector<HostObject> owned_;
  bool started_ = false;
  BlurFunction blur_ = nullptr;
};

class VeilpixProbeTest : public VeilpixTest {
 protected:
  const char* PluginName() const override { return "VeilpixProbe"; }
};

}  // namespace veilpixtest
