// Veilpix's registration: one extension of the host's "Picture" class with the
// BlurKWZ method, its flags adapted to the host's version.
#include <gtest/gtest.h>

#include "veilpix_fixture.h"

namespace veilpixtest {
namespace {

struct VersionCase {
  const char* name;
  double version;  // 0: the host lacks REALGetRBVersion
  uint32_t flags;
};

class PictureExtension : public VeilpixTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(PictureExtension, IsRegisteredOnceWithTheFlagsOfTheHostVersion) {
  if (GetParam().version == 0.0) {
    simhost::SetEntryAbsent("REALGetRBVersion");
  } else {
    simhost::SetHostVersion(GetParam().version);
  }
  Start();
  ASSERT_EQ(CallCount("PluginRegisterClassExtension"), 1);
  ASSERT_EQ(simhost::Registrations().size(), 1u);
  const simhost::Registration& r = simhost::Registrations()[0];
  EXPECT_EQ(r.kind, simhost::RegistrationKind::ClassExtension);
  EXPECT_EQ(r.version, 9);
  EXPECT_EQ(r.name, "Picture");
  EXPECT_FALSE(r.superclassName.has_value());
  EXPECT_EQ(r.instanceDataSize, 0);
  EXPECT_EQ(r.constructorFunction, nullptr);
  EXPECT_EQ(r.destructorFunction, nullptr);
  EXPECT_EQ(r.flags, GetParam().flags);
  EXPECT_EQ(r.methodCount, 1);
  EXPECT_EQ(r.propertyCount + r.eventCount + r.constantCount + r.classPropertyCount + r.classMethodCount, 0);
  EXPECT_TRUE(r.reservedZero);
  ASSERT_EQ(r.methods.size(), 1u);
  EXPECT_EQ(r.methods[0].declaration, kBlurDeclaration);
  EXPECT_EQ(r.methods[0].flags, GetParam().flags);
  EXPECT_NE(r.methods[0].function, nullptr);
  EXPECT_EQ(r.methods[0].setterFunction, nullptr);
}

INSTANTIATE_TEST_SUITE_P(HostVersions, PictureExtension,
                         ::testing::Values(VersionCase{"V2010_029", 2010.029, 0x40004},
                                           VersionCase{"V2013", 2013.0, 0x40004},
                                           VersionCase{"V2010_028", 2010.028, 0x40000},
                                           VersionCase{"NoVersionEntry", 0.0, 0x40000}),
                         [](const ::testing::TestParamInfo<VersionCase>& test) { return test.param.name; });

}  // namespace
}  // namespace veilpixtest
