// Flag adaptation to the host version, instance-size rounding and the records as
// the host receives them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <limits>
#include <vector>

#include "../probe/probe_abi.h"
#include "../support/fresh_plugin.h"
#include "simhost/host.h"

namespace {

using testsupport::FreshPlugin;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct FlagCase {
  double hostVersion;
  uint32_t flags;
  uint32_t adapted;
};

class FlagAdaptation : public ::testing::TestWithParam<FlagCase> {};

TEST_P(FlagAdaptation, AddsLowBitsOnlyFromVersion2010_029) {
  const FlagCase c = GetParam();
  FreshPlugin probe("FrameProbe");
  simhost::SetHostVersion(c.hostVersion);
  probe.Start();
  EXPECT_EQ(probe.Symbol<ProbeAdaptFlagWordFunction>("ProbeAdaptFlagWord")(c.flags), c.adapted);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, FlagAdaptation,
    ::testing::Values(FlagCase{2010.029, 0x40000, 0x40004}, FlagCase{2010.029, 0x80000, 0x80008},
                      FlagCase{2010.029, 0xC0000, 0xC000C}, FlagCase{2010.029, 0xC0004, 0xC000C},
                      FlagCase{2013.0, 0x40001, 0x40005}, FlagCase{2010.028, 0x40000, 0x40000},
                      FlagCase{0.0, 0xC0000, 0xC0000}, FlagCase{kNaN, 0xC0000, 0xC0000},
                      FlagCase{2010.029, 0x4, 0x4}, FlagCase{2010.028, 0x4, 0x4}, FlagCase{2010.029, 0, 0},
                      FlagCase{std::nextafter(2010.029, 0.0), 0x40000, 0x40000},
                      FlagCase{std::numeric_limits<double>::infinity(), 0x80000, 0x80008}),
    [](const ::testing::TestParamInfo<FlagCase>& p) {
      char name[64];
      std::snprintf(name, sizeof name, "case%zu_flags%X", p.index, p.param.flags);
      return std::string(name);
    });

TEST(FlagAdaptation, WithoutRealGetRBVersionNothingIsAdapted) {
  FreshPlugin probe("FrameProbe");
  simhost::SetEntryAbsent("REALGetRBVersion");
  probe.Start();
  EXPECT_EQ(probe.Symbol<ProbeAdaptFlagWordFunction>("ProbeAdaptFlagWord")(0xC0000), 0xC0000u);
}

// A class record whose every flag word asks for adaptation, with lists of two.
struct FlaggedClass {
  MethodDefinition methods[2] = {{nullptr, nullptr, "A", 0x40000}, {nullptr, nullptr, "B", 0x80000}};
  MethodDefinition classMethods[2] = {{nullptr, nullptr, "C", 0x40000}, {nullptr, nullptr, "D", 0}};
  PropertyDefinition properties[1] = {{0, "P", "Integer", 0x80000, kHostAccessor, kHostAccessor, 0, {0, 0, 0}}};
  PropertyDefinition classProperties[1] = {{0, "Q", "Integer", 0x40000, kHostAccessor, kHostAccessor, 0, {0, 0, 0}}};
  ClassDefinition definition{9, "Flagged", nullptr, 0, 0, nullptr, nullptr, properties, 1, methods, 2,
                             nullptr, 0, {0, 0, 0, 0, 0}, nullptr, 0, 0x40000, classProperties, 1, classMethods, 2};
};

TEST(FlagAdaptation, AdaptsClassAndEveryMemberListInPlaceAndIsIdempotent) {
  FreshPlugin probe("FrameProbe");
  probe.Start();  // host version 2010.029
  auto adapt = probe.Symbol<ProbeDefinitionFunction>("ProbeAdaptFlagsToHost");
  FlaggedClass c;
  for (int round = 0; round < 2; ++round) {
    adapt(&c.definition);
    EXPECT_EQ(c.definition.flags, 0x40004u);
    EXPECT_EQ(c.methods[0].flags, 0x40004u);
    EXPECT_EQ(c.methods[1].flags, 0x80008u);
    EXPECT_EQ(c.classMethods[0].flags, 0x40004u);
    EXPECT_EQ(c.classMethods[1].flags, 0u);
    EXPECT_EQ(c.properties[0].flags, 0x80008u);
    EXPECT_EQ(c.classProperties[0].flags, 0x40004u);
  }
}

TEST(FlagAdaptation, SkipsListsWithNullPointersOrNonPositiveCounts) {
  FreshPlugin probe("FrameProbe");
  probe.Start();
  auto adapt = probe.Symbol<ProbeDefinitionFunction>("ProbeAdaptFlagsToHost");
  FlaggedClass c;
  c.definition.methodCount = 0;
  c.definition.classMethodCount = -1;
  c.definition.properties = nullptr;  // count stays 1: must not be read
  c.definition.classProperties = nullptr;
  c.definition.classPropertyCount = 1000000;
  adapt(&c.definition);
  EXPECT_EQ(c.definition.flags, 0x40004u);
  EXPECT_EQ(c.methods[0].flags, 0x40000u);
  EXPECT_EQ(c.classMethods[0].flags, 0x40000u);
  EXPECT_EQ(c.properties[0].flags, 0x80000u);
  EXPECT_EQ(c.classProperties[0].flags, 0x40000u);
}

TEST(FlagAdaptation, RegisteredExtensionCarriesAdaptedFlagsFromNewHosts) {
  for (const auto& [version, classFlags, first, second] :
       std::vector<std::tuple<double, uint32_t, uint32_t, uint32_t>>{{2010.029, 0xC000C, 0x40004, 0x80008},
                                                                     {2010.028, 0xC0000, 0x40000, 0x80000}}) {
    SCOPED_TRACE(version);
    FreshPlugin probe("FrameProbe");
    simhost::SetHostVersion(version);
    probe.Start();
    const simhost::Registration* extension = simhost::FindRegistration("ProbeExtended");
    ASSERT_NE(extension, nullptr);
    EXPECT_EQ(extension->kind, simhost::RegistrationKind::ClassExtension);
    EXPECT_EQ(extension->flags, classFlags);
    ASSERT_EQ(extension->methods.size(), 2u);
    EXPECT_EQ(extension->methods[0].flags, first);
    EXPECT_EQ(extension->methods[1].flags, second);
    // RegisterClassAligned adapts no flags.
    EXPECT_EQ(simhost::FindRegistration("ProbeAligned")->flags, 0x40000u);
  }
}

struct SizeCase {
  int32_t size;
  int32_t registered;
};

class InstanceSizeRounding : public ::testing::TestWithParam<SizeCase> {};

TEST_P(InstanceSizeRounding, RoundsUpToSixteenInTheRecordAndRegisters) {
  FreshPlugin probe("FrameProbe");
  probe.Start();
  auto registerAligned = probe.Symbol<ProbeDefinitionFunction>("ProbeRegisterClassAligned");
  ClassDefinition definition{9, "Sized", nullptr, GetParam().size, 0, nullptr, nullptr, nullptr, 0, nullptr, 0,
                             nullptr, 0, {0, 0, 0, 0, 0}, nullptr, 0, 0, nullptr, 0, nullptr, 0};
  registerAligned(&definition);
  EXPECT_EQ(definition.instanceDataSize, GetParam().registered) << "the record itself is changed";
  registerAligned(&definition);
  EXPECT_EQ(definition.instanceDataSize, GetParam().registered) << "a second time changes nothing";
  const auto sized = simhost::CallsOf("PluginRegisterClass");
  ASSERT_EQ(sized.size(), 3u);  // the probe's own class, then ours twice
  EXPECT_EQ(simhost::Registrations().back().instanceDataSize, GetParam().registered);
}

INSTANTIATE_TEST_SUITE_P(Sizes, InstanceSizeRounding,
                         ::testing::Values(SizeCase{0, 0}, SizeCase{1, 16}, SizeCase{8, 16}, SizeCase{15, 16},
                                           SizeCase{16, 16}, SizeCase{17, 32}, SizeCase{48, 48},
                                           SizeCase{-5, 0}, SizeCase{-17, -16},
                                           SizeCase{INT32_MAX - 15, INT32_MAX - 15},
                                           // No multiple of 16 above it fits: left as it is, not wrapped.
                                           SizeCase{INT32_MAX, INT32_MAX}),
                         [](const ::testing::TestParamInfo<SizeCase>& p) {
                           const int32_t size = p.param.size;
                           return (size < 0 ? "minus" : "size") + std::to_string(size < 0 ? -int64_t{size} : size);
                         });

TEST(Registration, RecordsReachTheHostAsStored) {
  FreshPlugin probe("FrameProbe");
  probe.Start();
  const auto& registered = simhost::Registrations();
  ASSERT_EQ(registered.size(), 3u);
  EXPECT_EQ(registered[1].name, "ProbeAligned");
  EXPECT_EQ(registered[1].instanceDataSize, 16);
  EXPECT_EQ(registered[2].kind, simhost::RegistrationKind::Module);
  for (const auto& r : registered) {
    EXPECT_EQ(r.version, 9) << r.name;
    EXPECT_TRUE(r.reservedZero) << r.name;
  }
}

}  // namespace
