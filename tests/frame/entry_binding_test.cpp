// Lazy binding of host entry points: every wrapper asks the resolver while its
// entry is missing, binds it on the first call that finds it, never asks again
// afterwards, passes its arguments through unchanged and yields its fallback while
// the host lacks the entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "../probe/probe_abi.h"
#include "../support/fresh_plugin.h"
#include "simhost/host.h"

namespace {

using simhost::CallArg;
using testsupport::FreshPlugin;

class EntryBinding : public ::testing::Test {
 protected:
  EntryBinding() : probe_("FrameProbe") {
    count_ = probe_.Symbol<ProbeWrapperCountFunction>("ProbeWrapperCount");
    name_ = probe_.Symbol<ProbeWrapperNameFunction>("ProbeWrapperName");
    call_ = probe_.Symbol<ProbeCallWrapperFunction>("ProbeCallWrapper");
  }

  // Host objects and records the calls pass along, so that the recorded arguments
  // can be compared with what went in.
  void SetUp() override {
    object_ = simhost::CreateObject(simhost::ObjectKind::Instance, "Probe");
    text_ = simhost::CreateString("text");
    args_ = ProbeArgs{object_, text_, reinterpret_cast<PictureDescription*>(&descriptionBytes_),
                      &classDefinition_, &moduleDefinition_, nameBytes_, 7, -3, 32, &integerOut_};
  }

  int IndexOf(const std::string& name) {
    for (int i = 0; i < count_(); ++i) {
      if (name == name_(i)) return i;
    }
    ADD_FAILURE() << "the probe has no wrapper " << name;
    return -1;
  }

  std::string WrapperName(int index) { return name_(index); }
  intptr_t Call(int index) { return call_(index, &args_); }

  // What the host must have received from each wrapper, given args_.
  std::vector<CallArg> ExpectedArgs(const std::string& name) {
    const void* object = object_;
    const void* text = text_;
    const void* description = &descriptionBytes_;
    const std::map<std::string, std::vector<CallArg>> expected = {
        {"REALLockObject", {object}},
        {"REALUnlockObject", {object}},
        {"REALLockPictureDescription", {object, description, int64_t{7}}},
        {"lockPictureDescription", {object, description}},
        {"unlockPictureDescription", {object}},
        {"newPicture", {int64_t{7}, int64_t{-3}, int64_t{32}}},
        {"pluginPictureGraphicsGetter", {object}},
        {"REALLoadObjectMethod", {object, std::string("Name")}},
        {"REALGetPropValueInt", {object, std::string("Name"), static_cast<const void*>(&integerOut_)}},
        {"REALPictureClearCache", {object}},
        {"PluginRegisterClassExtension", {static_cast<const void*>(&classDefinition_)}},
        {"PluginRegisterClass", {static_cast<const void*>(&classDefinition_)}},
        {"PluginRegisterModule", {static_cast<const void*>(&moduleDefinition_)}},
        {"PluginNewInstance", {std::string("Name")}},
        {"REALBuildString", {std::string("Name\0\0\0", 7), int64_t{7}}},
        {"REALSetStringEncoding", {text, int64_t{7}}},
        {"REALSetPropValueString", {object, std::string("Name"), text}},
        {"RuntimeRaiseException", {object}},
        {"REALUnlockString", {text}},
        {"RuntimeArrayCreateSingleDimBoundedArray", {int64_t{7}, int64_t{-3}}},
    };
    auto found = expected.find(name);
    return found == expected.end() ? std::vector<CallArg>{} : found->second;
  }

  FreshPlugin probe_;
  ProbeWrapperCountFunction count_ = nullptr;
  ProbeWrapperNameFunction name_ = nullptr;
  ProbeCallWrapperFunction call_ = nullptr;
  HostObject object_ = nullptr;
  HostString text_ = nullptr;
  char descriptionBytes_[24] = {};
  char nameBytes_[8] = "Name";  // REALBuildString reads 7 bytes of it
  ClassDefinition classDefinition_{};
  ModuleDefinition moduleDefinition_{};
  int32_t integerOut_ = 12345;
  ProbeArgs args_{};
};

TEST_F(EntryBinding, ProbeCoversEveryEntryOfTheFrame) {
  auto entryCount = probe_.Symbol<int (*)()>("ProbeFrameEntryCount");
  auto entryName = probe_.Symbol<const char* (*)(int)>("ProbeFrameEntryName");
  std::vector<std::string> frameNames, probeNames;
  for (int i = 0; i < entryCount(); ++i) frameNames.push_back(entryName(i));
  for (int i = 0; i < count_(); ++i) probeNames.push_back(name_(i));
  EXPECT_EQ(frameNames, probeNames);
  EXPECT_EQ(frameNames.size(), 20u);
}

TEST_F(EntryBinding, MissingEntryYieldsFallbackAndIsAskedAgainOnEveryCall) {
  for (int i = 0; i < count_(); ++i) simhost::SetEntryAbsent(WrapperName(i));
  probe_.Start();
  for (int i = 0; i < count_(); ++i) {
    const std::string name = WrapperName(i);
    SCOPED_TRACE(name);
    const int before = simhost::LookupCount(name);
    const size_t callsBefore = simhost::Calls().size();
    for (int attempt = 0; attempt < 3; ++attempt) {
      EXPECT_EQ(Call(i), 0) << "fallback is null, false or nothing";
    }
    EXPECT_EQ(simhost::LookupCount(name), before + 3);
    EXPECT_EQ(simhost::Calls().size(), callsBefore) << "nothing reaches the host";
  }
  EXPECT_EQ(integerOut_, 12345) << "REALGetPropValueInt leaves the integer untouched";
}

TEST_F(EntryBinding, PresentEntryIsLookedUpOnceAndReceivesArgumentsUnchanged) {
  probe_.Start();
  for (int i = 0; i < count_(); ++i) {
    const std::string name = WrapperName(i);
    SCOPED_TRACE(name);
    const size_t callsBefore = simhost::CallsOf(name).size();  // registration calls of start-up
    for (int attempt = 0; attempt < 4; ++attempt) Call(i);
    EXPECT_EQ(simhost::LookupCount(name), 1) << "one lookup in all, at start-up or at the first call";
    const auto calls = simhost::CallsOf(name);
    ASSERT_EQ(calls.size(), callsBefore + 4);
    EXPECT_EQ(calls.back().args, ExpectedArgs(name));
  }
}

TEST_F(EntryBinding, EntryAppearingLaterIsBoundByTheFirstCallThatFindsIt) {
  const int newPictureIndex = IndexOf("newPicture");
  simhost::SetEntryPresentFromLookup("newPicture", 3);
  EXPECT_EQ(Call(newPictureIndex), 0);  // before REALPluginMain: no resolver, asks nothing
  EXPECT_EQ(simhost::LookupCount("newPicture"), 0);
  probe_.Start();
  Call(newPictureIndex);
  Call(newPictureIndex);
  EXPECT_EQ(simhost::LookupCount("newPicture"), 2);
  EXPECT_TRUE(simhost::CallsOf("newPicture").empty());
  for (int i = 0; i < 5; ++i) Call(newPictureIndex);
  EXPECT_EQ(simhost::LookupCount("newPicture"), 3);
  EXPECT_EQ(simhost::CallsOf("newPicture").size(), 5u);
}

TEST_F(EntryBinding, ResultsComeBackFromTheHostUnchanged) {
  probe_.Start();
  const intptr_t instance = Call(IndexOf("PluginNewInstance"));
  ASSERT_NE(instance, 0);
  EXPECT_TRUE(simhost::IsAlive(reinterpret_cast<const void*>(instance)));
  EXPECT_EQ(simhost::ClassNameOf(reinterpret_cast<const void*>(instance)), "Name");

  const intptr_t text = Call(IndexOf("REALBuildString"));
  ASSERT_NE(text, 0);
  EXPECT_EQ(simhost::StringBytes(reinterpret_cast<const void*>(text)), std::string("Name\0\0\0", 7));
}

TEST_F(EntryBinding, NamesReachTheResolverInExactCase) {
  probe_.Start();
  for (int i = 0; i < count_(); ++i) Call(i);
  const auto& lookups = simhost::Lookups();
  for (const char* name : {"lockPictureDescription", "unlockPictureDescription", "newPicture",
                           "pluginPictureGraphicsGetter", "REALLockPictureDescription", "REALGetPropValueInt"}) {
    EXPECT_NE(std::find(lookups.begin(), lookups.end(), name), lookups.end()) << name;
  }
  for (const std::string& name : lookups) {
    EXPECT_NE(name, "LockPictureDescription");
    EXPECT_NE(name, "NewPicture");
  }
}

TEST_F(EntryBinding, DirectLookupsAskTheResolverOnEveryUse) {
  auto ask = probe_.Symbol<void* (*)(const char*)>("ProbeAskHostResolver");
  EXPECT_EQ(ask("REALGetRBVersion"), nullptr) << "no resolver before REALPluginMain";
  probe_.Start();
  const int before = simhost::LookupCount("REALGetRBVersion");
  for (int i = 0; i < 3; ++i) EXPECT_NE(ask("REALGetRBVersion"), nullptr);
  EXPECT_EQ(simhost::LookupCount("REALGetRBVersion"), before + 3);
}

}  // namespace
