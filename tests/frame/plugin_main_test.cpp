// REALPluginMain and ReadHostVersion: the order of the start-up steps, the host
// version, and a host that offers less than everything.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "../probe/probe_abi.h"
#include "../support/fresh_plugin.h"
#include "simhost/host.h"

namespace {

using testsupport::FreshPlugin;

TEST(PluginMain, AnnouncesVersionNineReadsTheHostVersionThenRegisters) {
  FreshPlugin probe("FrameProbe");
  simhost::SetHostVersion(2012.5);
  probe.Start();
  EXPECT_EQ(simhost::CallSequence(),
            (std::vector<std::string>{"RegisterPluginVersion", "REALGetRBVersion", "PluginRegisterClassExtension",
                                      "PluginRegisterClass", "PluginRegisterModule"}));
  EXPECT_EQ(simhost::AnnouncedVersions(), std::vector<int32_t>{9});
  EXPECT_EQ(probe.Symbol<ProbeHostVersionFunction>("ProbeHostVersion")(), 2012.5);
  EXPECT_TRUE(simhost::LedgerReport().empty());
}

TEST(PluginMain, HostVersionIsZeroUntilRead) {
  FreshPlugin probe("FrameProbe");
  EXPECT_EQ(probe.Symbol<ProbeHostVersionFunction>("ProbeHostVersion")(), 0.0);
}

TEST(PluginMain, MissingVersionEntriesLeaveTheVersionAtZeroAndLoadingGoesOn) {
  FreshPlugin probe("FrameProbe");
  simhost::SetEntryAbsent("RegisterPluginVersion");
  simhost::SetEntryAbsent("REALGetRBVersion");
  probe.Start();
  EXPECT_TRUE(simhost::AnnouncedVersions().empty());
  EXPECT_EQ(probe.Symbol<ProbeHostVersionFunction>("ProbeHostVersion")(), 0.0);
  EXPECT_EQ(simhost::Registrations().size(), 3u);
}

TEST(PluginMain, ReadingAgainWithoutTheEntryKeepsTheVersion) {
  FreshPlugin probe("FrameProbe");
  simhost::SetHostVersion(2011.0);
  probe.Start();
  simhost::SetEntryAbsent("REALGetRBVersion");
  probe.Symbol<void (*)()>("ProbeReadHostVersion")();
  EXPECT_EQ(probe.Symbol<ProbeHostVersionFunction>("ProbeHostVersion")(), 2011.0);
}

TEST(PluginMain, ResolverOfferingNothingRegistersNothing) {
  FreshPlugin probe("FrameProbe");
  for (const std::string& name : simhost::EntryNames()) simhost::SetEntryAbsent(name);
  probe.Start();
  EXPECT_TRUE(simhost::Calls().empty());
  EXPECT_TRUE(simhost::Registrations().empty());
  EXPECT_GE(simhost::LookupCount("PluginRegisterClass"), 1);
}

TEST(PluginMain, MissingRegistrationEntrySkipsOnlyThatStep) {
  FreshPlugin probe("FrameProbe");
  simhost::SetEntryAbsent("PluginRegisterClass");
  probe.Start();
  ASSERT_EQ(simhost::Registrations().size(), 2u);
  EXPECT_EQ(simhost::Registrations()[0].name, "ProbeExtended");
  EXPECT_EQ(simhost::Registrations()[1].name, "ProbeModule");
}

TEST(PluginMain, EachFreshCopyStartsWithItsOwnState) {
  {
    FreshPlugin first("FrameProbe");
    simhost::SetHostVersion(2015.0);
    first.Start();
    EXPECT_EQ(first.Symbol<ProbeHostVersionFunction>("ProbeHostVersion")(), 2015.0);
  }
  FreshPlugin second("FrameProbe");
  EXPECT_EQ(second.Symbol<ProbeHostVersionFunction>("ProbeHostVersion")(), 0.0);
  auto call = second.Symbol<ProbeCallWrapperFunction>("ProbeCallWrapper");
  second.Start();
  const int before = simhost::LookupCount("REALLockObject");
  ProbeArgs args{};
  call(0, &args);  // entry 0 is REALLockObject: the cache of the first copy is not shared
  EXPECT_EQ(simhost::LookupCount("REALLockObject"), before + 1);
}

}  // namespace
