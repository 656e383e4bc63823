// One scenario run under one fault.
#include "fault_runs.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "simhost/call_failures.h"
#include "simhost/instances.h"
#include "simhost/scratch_memory.h"

namespace faulttest {

std::string Fault::Describe() const {
  const std::string mode = persistent ? " and every later one" : " alone";
  switch (kind) {
    case FaultKind::None: return "no fault";
    case FaultKind::EntriesHidden: {
      std::string text = "hidden:";
      for (const std::string& name : hidden) text += " " + name;
      return text;
    }
    case FaultKind::ScratchRequestFails: return "GlobalAlloc request " + std::to_string(nth) + mode + " fails";
    case FaultKind::HostCallFails: return entry + " call " + std::to_string(nth) + mode + " fails";
  }
  return "?";
}

bool Fault::Touches(const std::string& entryName) const {
  switch (kind) {
    case FaultKind::EntriesHidden: return std::find(hidden.begin(), hidden.end(), entryName) != hidden.end();
    case FaultKind::HostCallFails: return entry == entryName;
    case FaultKind::None:
    case FaultKind::ScratchRequestFails: return false;
  }
  return false;
}

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// "<object> has N reference(s), expected M" with N above M.
bool ReportsExtraReferences(const std::string& line) {
  const size_t has = line.find(" has ");
  const size_t expected = line.find(" reference(s), expected ");
  if (has == std::string::npos || expected == std::string::npos || StartsWith(line, "string")) return false;
  return std::stoi(line.substr(has + 5)) > std::stoi(line.substr(expected + 24));
}

}  // namespace

bool Fault::Excuses(const std::string& ledgerLine) const {
  if (Touches("REALUnlockString") && StartsWith(ledgerLine, "leaked string ")) return true;
  if (Touches("unlockPictureDescription") && (StartsWith(ledgerLine, "description of a picture left locked") ||
                                               StartsWith(ledgerLine, "picture released while its description"))) {
    return true;
  }
  if (Touches("REALPictureClearCache") && StartsWith(ledgerLine, "picture written through its description")) {
    return true;
  }
  if (Touches("REALUnlockObject")) {
    return (StartsWith(ledgerLine, "leaked ") && !StartsWith(ledgerLine, "leaked string ")) ||
           ReportsExtraReferences(ledgerLine);
  }
  return false;
}

const std::vector<std::string>& FailableEntries() {
  static const std::vector<std::string> entries = {
      "newPicture",       "pluginPictureGraphicsGetter", "REALLoadObjectMethod",
      "REALBuildString",  "PluginNewInstance",           "RuntimeArrayCreateSingleDimBoundedArray"};
  return entries;
}

ScenarioRun::ScenarioRun(const Scenario& scenario, const Fault& fault) : fault_(fault) {
  simhost::Reset();
  const std::string plugin = scenario.plugin;
  std::string error;
  loaded_ = simhost::LoadFreshPlugin(simhost::PluginBesideExecutable(plugin), plugin_, error);
  EXPECT_TRUE(loaded_) << error;
  if (!loaded_) return;
  // A fresh copy's own imports (Windows); natively every caller is counted already.
  // Only Veilpix asks for scratch memory.
  const bool intercepted = simhost::InterceptScratchMemory(plugin_.module);
  if (plugin == "Veilpix") {
    EXPECT_TRUE(intercepted);
  }
  if (scenario.prepareHost != nullptr) scenario.prepareHost();
  switch (fault.kind) {
    case FaultKind::None: break;
    case FaultKind::EntriesHidden:
      for (const std::string& name : fault.hidden) simhost::SetEntryAbsent(name);
      break;
    case FaultKind::ScratchRequestFails:
      simhost::FailScratchRequest(fault.nth, fault.persistent ? simhost::ScratchFailure::FromThenOn
                                                              : simhost::ScratchFailure::Once);
      break;
    case FaultKind::HostCallFails:
      simhost::FailCall(fault.entry, fault.nth,
                        fault.persistent ? simhost::CallFailure::FromThenOn : simhost::CallFailure::Once);
      break;
  }
}

ScenarioRun::~ScenarioRun() {
  if (loaded_) simhost::UnloadPlugin(plugin_);
}

void ScenarioRun::Start() const {
  if (plugin_.pluginMain != nullptr) plugin_.pluginMain(simhost::Resolver());
}

PluginFunction ScenarioRun::RegisteredMethod(const std::string& owner, const std::string& declaration) const {
  const simhost::Registration* registration = simhost::FindRegistration(owner);
  if (registration == nullptr) return nullptr;
  for (const simhost::CapturedMethod& method : registration->methods) {
    if (method.declaration == declaration) return method.function;
  }
  return nullptr;
}

HostObject ScenarioRun::Own(HostObject object) {
  if (object != nullptr) owned_.push_back(object);
  return object;
}

std::vector<std::string> ScenarioRun::Finish() {
  for (HostObject object : owned_) {
    if (simhost::IsAlive(object)) {
      simhost::Release(object);
    } else {
      ADD_FAILURE() << "an object the scenario holds a reference to was released by someone else";
    }
  }
  owned_.clear();
  simhost::HandleRaisedExceptions();
  return simhost::LedgerReport();
}

CleanCounts RunScenario(const Scenario& scenario, const Fault& fault) {
  SCOPED_TRACE(std::string(scenario.name) + ", " + fault.Describe());
  CleanCounts counts;
  ScenarioRun run(scenario, fault);
  if (!run.loaded()) return counts;
  scenario.run(run);
  counts.scratchRequests = simhost::ScratchRequests();
  for (const std::string& entry : FailableEntries()) counts.calls[entry] = simhost::FailableCalls(entry);
  counts.lookups = simhost::Lookups();
  std::vector<std::string> left;
  for (const std::string& line : run.Finish()) {
    if (!fault.Excuses(line)) left.push_back(line);
  }
  EXPECT_EQ(left, std::vector<std::string>{}) << "left behind";
  return counts;
}

}  // namespace faulttest
