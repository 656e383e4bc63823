// The simulated host's planned call failures: the nth call from the plan on fails,
// once or from then on; a failing call is recorded and yields null; Reset forgets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simhost/call_failures.h"
#include "simhost/host.h"

namespace {

using BuildStringFunction = HostString (*)(const char*, int32_t);
using NewInstanceFunction = HostObject (*)(const char*);
using CreateArrayFunction = HostObject (*)(int32_t, int32_t);

// One call of an entry through the resolver, as a plug-in makes it: true when it
// yielded something. What it yielded is released.
bool CallYields(const std::string& entry) {
  void* address = simhost::Resolver()(entry.c_str());
  const void* result = nullptr;
  if (entry == "REALBuildString") {
    result = reinterpret_cast<BuildStringFunction>(address)("abc", 3);
  } else if (entry == "PluginNewInstance") {
    result = reinterpret_cast<NewInstanceFunction>(address)("Exception");
  } else if (entry == "RuntimeArrayCreateSingleDimBoundedArray") {
    result = reinterpret_cast<CreateArrayFunction>(address)(4, -1);
  } else {
    ADD_FAILURE() << "no way to call " << entry;
  }
  if (result != nullptr) simhost::Release(result);
  return result != nullptr;
}

const char* const kEntries[] = {"REALBuildString", "PluginNewInstance", "RuntimeArrayCreateSingleDimBoundedArray"};

struct PlanCase {
  const char* label;
  uint64_t callsBeforePlan;
  uint64_t nth;
  simhost::CallFailure mode;
  std::vector<bool> yields;  // the calls after the plan
};

TEST(CallFailures, TheNthCallFromThePlanOnFailsOnceOrFromThenOn) {
  const PlanCase cases[] = {
      {"first once", 0, 1, simhost::CallFailure::Once, {false, true, true}},
      {"second once", 0, 2, simhost::CallFailure::Once, {true, false, true, true}},
      {"second from then on", 0, 2, simhost::CallFailure::FromThenOn, {true, false, false, false}},
      {"counted from the plan", 2, 1, simhost::CallFailure::Once, {false, true}},
      {"no plan", 0, 0, simhost::CallFailure::FromThenOn, {true, true}},
  };
  for (const char* entry : kEntries) {
    for (const PlanCase& c : cases) {
      SCOPED_TRACE(std::string(entry) + ", " + c.label);
      simhost::Reset();
      for (uint64_t call = 0; call < c.callsBeforePlan; ++call) ASSERT_TRUE(CallYields(entry));
      simhost::FailCall(entry, c.nth, c.mode);
      std::vector<bool> yields;
      uint64_t failures = 0;
      for (size_t call = 0; call < c.yields.size(); ++call) {
        yields.push_back(CallYields(entry));
        if (!yields.back()) ++failures;
      }
      EXPECT_EQ(yields, c.yields);
      EXPECT_EQ(simhost::FailableCalls(entry), c.callsBeforePlan + c.yields.size());
      EXPECT_EQ(simhost::FailedCalls(entry), failures);
      EXPECT_EQ(simhost::CallsOf(entry).size(), c.callsBeforePlan + c.yields.size()) << "failed calls are recorded";
      EXPECT_EQ(simhost::LedgerReport(), std::vector<std::string>{});
    }
  }
}

TEST(CallFailures, PlansAreKeptPerEntryAndForgottenOnClearOrReset) {
  simhost::Reset();
  simhost::FailCall("REALBuildString", 1, simhost::CallFailure::FromThenOn);
  simhost::FailCall("PluginNewInstance", 1, simhost::CallFailure::FromThenOn);
  EXPECT_FALSE(CallYields("REALBuildString"));
  EXPECT_FALSE(CallYields("PluginNewInstance"));
  EXPECT_TRUE(CallYields("RuntimeArrayCreateSingleDimBoundedArray"));
  simhost::ClearCallFailures();
  EXPECT_TRUE(CallYields("REALBuildString"));
  simhost::FailCall("REALBuildString", 1, simhost::CallFailure::FromThenOn);
  simhost::Reset();
  EXPECT_TRUE(CallYields("REALBuildString"));
  EXPECT_EQ(simhost::FailableCalls("REALBuildString"), 1u);
  EXPECT_EQ(simhost::FailedCalls("REALBuildString"), 0u);
}

}  // namespace
