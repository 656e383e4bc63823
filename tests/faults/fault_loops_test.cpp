// The fault loops: every scenario of both plug-ins under each host entry hidden in
// turn, each GlobalAlloc request refused in turn and each failable host call
// refused in turn, once and from then on.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "fault_runs.h"

namespace faulttest {
namespace {

class FaultLoops : public ::testing::TestWithParam<Scenario> {
 protected:
  // The clean run, whose counts the loops go up to.
  CleanCounts Clean() {
    const CleanCounts counts = RunScenario(GetParam(), Fault{});
    EXPECT_FALSE(HasFailure()) << "the scenario fails without any fault";
    return counts;
  }
};

TEST_P(FaultLoops, ACleanRunMakesTheCallsTheLoopsGoThrough) {
  const CleanCounts counts = Clean();
  for (const std::string& entry : GetParam().mustCall) EXPECT_GT(counts.calls.at(entry), 0u) << entry;
  EXPECT_GE(counts.scratchRequests, GetParam().minimumScratchRequests);
}

TEST_P(FaultLoops, EachEntryHiddenInTurn) {
  const CleanCounts counts = Clean();
  if (HasFailure()) return;
  std::set<std::string> names(counts.lookups.begin(), counts.lookups.end());
  for (const std::string& name : simhost::EntryNames()) names.insert(name);
  for (const std::string& name : names) {
    Fault fault;
    fault.kind = FaultKind::EntriesHidden;
    fault.hidden = {name};
    RunScenario(GetParam(), fault);
    if (HasFailure()) return;  // the first fault that breaks the scenario is enough
  }
}

TEST_P(FaultLoops, EachGlobalAllocRequestRefusedInTurn) {
  const CleanCounts counts = Clean();
  if (HasFailure()) return;
  for (bool persistent : {false, true}) {
    for (uint64_t nth = 1; nth <= counts.scratchRequests; ++nth) {
      Fault fault;
      fault.kind = FaultKind::ScratchRequestFails;
      fault.nth = nth;
      fault.persistent = persistent;
      RunScenario(GetParam(), fault);
      if (HasFailure()) return;
    }
  }
}

TEST_P(FaultLoops, EachFailableHostCallRefusedInTurn) {
  const CleanCounts counts = Clean();
  if (HasFailure()) return;
  for (const std::string& entry : FailableEntries()) {
    for (bool persistent : {false, true}) {
      for (uint64_t nth = 1; nth <= counts.calls.at(entry); ++nth) {
        Fault fault;
        fault.kind = FaultKind::HostCallFails;
        fault.entry = entry;
        fault.nth = nth;
        fault.persistent = persistent;
        RunScenario(GetParam(), fault);
        if (HasFailure()) return;
      }
    }
  }
}

using VeilpixEntryPairs = FaultLoops;

TEST_P(VeilpixEntryPairs, EveryPairOfEntriesHidden) {
  Clean();
  if (HasFailure()) return;
  const std::vector<std::string>& entries = VeilpixEntries();
  for (size_t first = 0; first < entries.size(); ++first) {
    for (size_t second = first + 1; second < entries.size(); ++second) {
      Fault fault;
      fault.kind = FaultKind::EntriesHidden;
      fault.hidden = {entries[first], entries[second]};
      RunScenario(GetParam(), fault);
      if (HasFailure()) return;
    }
  }
}

TEST(VeilpixEntryList, HoldsEveryEntryVeilpixAsksFor) {
  for (const Scenario& scenario : VeilpixScenarios()) {
    const CleanCounts counts = RunScenario(scenario, Fault{});
    for (const std::string& name : counts.lookups) {
      EXPECT_NE(std::find(VeilpixEntries().begin(), VeilpixEntries().end(), name), VeilpixEntries().end())
          << scenario.name << " asks for " << name;
    }
  }
}

std::string ScenarioName(const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Tillbridge, FaultLoops, ::testing::ValuesIn(StoreScenarios()), ScenarioName);
INSTANTIATE_TEST_SUITE_P(Veilpix, FaultLoops, ::testing::ValuesIn(VeilpixScenarios()), ScenarioName);
INSTANTIATE_TEST_SUITE_P(Veilpix, VeilpixEntryPairs, ::testing::ValuesIn(VeilpixScenarios()), ScenarioName);

}  // namespace
}  // namespace faulttest
